#include "MtlParser.h"

#include <boost/filesystem/path.hpp>
// Spirit Classic's match values hold a boost::optional that GCC, once the
// sanitizers change its inlining, wrongly reports as maybe uninitialized.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/spirit/include/classic_core.hpp>
#include <boost/spirit/include/classic_file_iterator.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "Exception.h"
#include "MtlActions.h"
#include "MtlMapManager.h"

namespace sc = boost::spirit::classic;

namespace {

typedef sc::file_iterator<char> Iterator;

// The lenient reading's action for a statement it does not know: a warning
// with the file and line. Without a list of warnings the reading is strict.
struct CSkipWarning {
    Iterator begin;
    const std::string* fileName;
    std::vector<std::string>* warnings;

    void operator()(const Iterator& first, const Iterator& last) const {
        const auto line = 1 + std::count(begin, first, '\n');
        warnings->push_back(*fileName + ":" + std::to_string(line) +
                            ": warning: skipped the statement \"" + std::string(first, last) +
                            "\", which the material reader does not know");
    }
};

}  // namespace

// The accepted language, at character level (white space only where a rule
// says so). blanks: spaces and tabs, within a line. space: any white space,
// across lines. word: non-white characters, possibly none. A file opens with
// at least one comment, then a newmtl; every following statement is one of
// the alternatives of `statement`, tried in order, and must reach the end of
// the file. Numbers are stored as soon as they are parsed.
class CMtlGrammar : public sc::grammar<CMtlGrammar> {
public:
    // Lenient when skip has a list of warnings: see CMtlParser::parseLenient.
    CMtlGrammar(CMtlActions& actions, const CSkipWarning& skip)
        : m_actions(actions), m_skip(skip) {}

    template <typename ScannerT>
    struct definition {
        sc::rule<ScannerT> file, statement, lineEnd, blanks, space, word, restOfLine, comment,
            commentBlock, newmtl, ka, kd, ks, ns, mapKd, ignored, dissolve, tr, ni, illum, unknown;

        explicit definition(const CMtlGrammar& self) {
            const CMtlActions& a = self.m_actions;

            lineEnd = sc::str_p("\r\n") | sc::ch_p('\r') | sc::ch_p('\n');
            blanks = *sc::blank_p;
            space = *sc::space_p;
            word = *(sc::anychar_p - sc::space_p);
            restOfLine = *(sc::anychar_p - lineEnd);
            comment = sc::ch_p('#') >> restOfLine >> (lineEnd | sc::end_p);
            commentBlock = +(comment >> space);

            newmtl = sc::str_p("newmtl") >> blanks >> word[a.m_setMtl] >> space;
            ka = sc::str_p("Ka") >> blanks >> sc::real_p[a.m_ka0] >> blanks >>
                 sc::real_p[a.m_ka1] >> blanks >> sc::real_p[a.m_ka2] >> space;
            kd = sc::str_p("Kd") >> blanks >> sc::real_p[a.m_kd0] >> blanks >>
                 sc::real_p[a.m_kd1] >> blanks >> sc::real_p[a.m_kd2] >> space;
            ks = sc::str_p("Ks") >> blanks >> sc::real_p[a.m_ks0] >> blanks >>
                 sc::real_p[a.m_ks1] >> blanks >> sc::real_p[a.m_ks2] >> space;
            ns = sc::str_p("Ns") >> blanks >> sc::real_p[a.m_ns] >> space;
            mapKd = sc::str_p("map_Kd") >> blanks >> word[a.m_mapKd] >> space;
            // Read past to the line end whatever follows the keyword, so any
            // statement that merely begins with one (disp, decal) is read past too.
            ignored = (sc::str_p("sharpness") | "map_Bump" | "illum" | "map_Ka" | "map_Ks" |
                       "map_d" | "refl" | "Ni" | "d") >>
                      restOfLine >> space;

            if (self.m_skip.warnings != nullptr) {
                // The values the strict reading passes over, stored; then
                // anything else, skipped to the line end with a warning.
                dissolve = sc::str_p("d") >> blanks >> sc::real_p[a.m_d] >> restOfLine >> space;
                tr = sc::str_p("Tr") >> blanks >> sc::real_p[a.m_tr] >> restOfLine >> space;
                ni = sc::str_p("Ni") >> blanks >> sc::real_p[a.m_ni] >> restOfLine >> space;
                illum = sc::str_p("illum") >> blanks >> sc::int_p[a.m_illum] >> restOfLine >> space;
                unknown = (+(sc::anychar_p - sc::space_p))[self.m_skip] >> restOfLine >> space;
                statement = commentBlock | newmtl | ka | kd | ks | ns | mapKd | dissolve | tr | ni |
                            illum | ignored | unknown;
                file = space >> !commentBlock >> newmtl >> *statement >> sc::end_p;
                return;
            }
            statement = commentBlock | newmtl | ka | kd | ks | ns | mapKd | ignored;
            file = space >> commentBlock >> newmtl >> *statement >> sc::end_p;
        }

        const sc::rule<ScannerT>& start() const { return file; }
    };

private:
    CMtlActions& m_actions;
    CSkipWarning m_skip;
};

namespace {

// The strict reading without warnings, the lenient one with them.
void readMaterials(std::map<std::string, SMaterial>& materials, const std::string& fileName,
                   std::vector<std::string>* warnings) {
    // An empty file cannot be mapped and is reported like a missing one.
    Iterator first(fileName);
    if (!first) {
        throw CFileNotFoundException(fileName);
    }
    const Iterator last = first.make_end();

    CMtlMapManager manager(materials, boost::filesystem::path(fileName).parent_path());
    CMtlActions actions(manager);
    const CMtlGrammar grammar(actions, CSkipWarning{first, &fileName, warnings});
    if (!sc::parse(first, last, grammar).full) {
        throw CParseErrorException(fileName, -1);
    }
}

}  // namespace

void CMtlParser::parse(std::map<std::string, SMaterial>& materials, const std::string& fileName) {
    readMaterials(materials, fileName, nullptr);
}

void CMtlParser::parseLenient(std::map<std::string, SMaterial>& materials,
                              const std::string& fileName, std::vector<std::string>& warnings) {
    readMaterials(materials, fileName, &warnings);
}
