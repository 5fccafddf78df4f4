#include "scene/warning_tracker.h"

#include <utility>

#include "geom.h"
#include "parser.h"

namespace {

// How many of the braces opened in the text are still open; a "//" comment
// runs to the end of its line.
long openBraces(std::string_view text) {
    long depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}') {
            --depth;
        } else if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            const std::size_t end = text.find('\n', i);
            if (end == std::string_view::npos) {
                break;
            }
            i = end;
        }
    }
    return depth;
}

std::string placeText(const TokenPlace& at) {
    return std::to_string(at.line) + ":" + std::to_string(at.column());
}

const std::size_t kQuotedWords = 3;

}  // namespace

void WarningTracker::statement(std::string_view keyword, const TokenPlace& at) {
    endRun();
    m_keyword = keyword;
    m_statement = at;
    m_afterStatement = true;
    m_afterCarriageReturn = false;
}

void WarningTracker::note(const TokenPlace& at, std::string text) {
    m_warnings.add(at.line, at.column(), std::move(text));
}

void WarningTracker::object(const GeomObject& object) {
    const Finish& finish = object.finish;
    if (finish.ambient == 0 && finish.diffuse == 0 && finish.specular == 0 &&
        finish.reflection == 0 && finish.refraction == 0) {
        m_warnings.add(m_statement.line, m_statement.column(),
                       "the " + m_keyword +
                           " shows no light: ambient, diffuse, specular, reflection and "
                           "refraction are all 0, so it renders black; give it a finish such as "
                           "'finish { ambient 0.2 diffuse 0.6 }'");
    } else if (object.color.r == 0 && object.color.g == 0 && object.color.b == 0 &&
               finish.specular == 0 && finish.reflection == 0 && finish.refraction == 0) {
        m_warnings.add(m_statement.line, m_statement.column(),
                       "the " + m_keyword +
                           " shows no light: its pigment is black (or missing) and it has no "
                           "specular, reflection or refraction, so it renders black; give it a "
                           "pigment such as 'pigment { color rgb <1, 1, 1> }'");
    }
}

void WarningTracker::skipped(std::string_view word, const TokenPlace& at, const SceneLexer& lexer) {
    if (m_runWords == 0) {
        // The carriage return at the end of each line of a CR LF file is a
        // word to the reader, but skipping it loses nothing.
        if (word == "\r") {
            m_afterCarriageReturn = true;
            return;
        }
        m_runStart = at;
        m_runText.clear();
        m_runContext.clear();
        if (m_afterStatement && openBraces(lexer.text(m_statement.offset, at.offset)) > 0) {
            m_runContext =
                "ignored inside the " + m_keyword + " that starts at " + placeText(m_statement);
            if (m_afterCarriageReturn) {
                // The statement stopped at the carriage return before it.
                m_runContext +=
                    " (a carriage return ends the statement: save the file with "
                    "LF line ends)";
            }
        }
        m_suggestion = std::string(suggestKeyword(word));
    }
    if (m_runWords < kQuotedWords) {
        m_runText += (m_runWords == 0 ? "" : " ") + std::string(word);
    }
    ++m_runWords;
}

void WarningTracker::endRun() {
    if (m_runWords == 0) {
        return;
    }
    std::string text = "skipped ";
    if (m_runWords <= kQuotedWords) {
        text += SceneError::quoted(m_runText);
    } else {
        text += std::to_string(m_runWords) + " words starting " +
                SceneError::quoted(m_runText + " ...");
    }
    text += m_runContext.empty() ? ", words that no statement reads" : ", " + m_runContext;
    if (!m_suggestion.empty()) {
        text += "; did you mean '" + m_suggestion + "'?";
    }
    m_warnings.add(m_runStart.line, m_runStart.column(), std::move(text));
    m_runWords = 0;
}

void WarningTracker::end(bool hasCamera, bool hasLight, bool hasObject) {
    endRun();
    if (!hasCamera) {
        m_warnings.addForFile("the scene has no camera statement, so there is no view to trace");
    }
    if (!hasLight) {
        m_warnings.addForFile(
            "the scene has no light_source; only the objects' ambient light will show");
    }
    if (!hasObject) {
        m_warnings.addForFile("the scene has no object; the picture will show only the background");
    }
}
