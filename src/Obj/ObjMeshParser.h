#pragma once

#include <boost/filesystem/path.hpp>
#include <boost/shared_ptr.hpp>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "Material.h"

class CMesh;

// Reads a Wavefront OBJ file, statement by statement, into a mesh, with the
// material libraries it names, and logs the reading. Numbers are read as
// white-space separated tokens, so a statement's numbers may run on into
// the next line. Only static members: the reader is not reentrant.
class CObjMeshParser {
public:
    // Clears *mesh and fills it. Throws CFileNotFoundException or
    // CEmptyFileException before touching the mesh, and lets the MTL reader's
    // exceptions through, the mesh then holding what was read so far.
    static void parse(boost::shared_ptr<CMesh>& mesh, const std::string& fileName);
    // The same with the libraries read by CMtlParser::parseLenient, their
    // warnings appended to mtlWarnings.
    static void parse(boost::shared_ptr<CMesh>& mesh, const std::string& fileName,
                      std::vector<std::string>& mtlWarnings);
    // One statement; false when no keyword could be read.
    static bool processLine(boost::shared_ptr<CMesh>& mesh, std::istream& in);
    // Reads the library next to the OBJ file into the material map.
    static void parseMtlLib(const std::string& name);
    // Skips white space and comment lines; false at the end of the input.
    static bool skipCommentLine(std::istream& in);
    // Skips the rest of the line and its line feed.
    static void skipLine(std::istream& in);

private:
    static void readFace(CMesh& mesh, std::istream& in);
    static void readNormal(CMesh& mesh, std::istream& in);

    static boost::filesystem::path m_branchPath;  // directory of the file being read
    // The lenient reading's warnings while one runs; null otherwise.
    static std::vector<std::string>* m_mtlWarnings;
    // Every material of every library read so far; never cleared, so usemtl
    // may name a material that an earlier file's library defined.
    static std::map<std::string, SMaterial> m_materialMap;
};
