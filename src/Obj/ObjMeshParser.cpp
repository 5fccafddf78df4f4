#include "ObjMeshParser.h"

#include <boost/filesystem/operations.hpp>
#include <cstdio>
#include <istream>
#include <limits>
#include <locale>
#include <streambuf>
#include <typeinfo>
#include <vector>

#include "Exception.h"
#include "Logger.h"
#include "Mesh.h"
#include "MtlParser.h"
#include "ObjDirectReader.h"
#include "ObjFileBuffer.h"

boost::filesystem::path CObjMeshParser::m_branchPath;
std::map<std::string, SMaterial> CObjMeshParser::m_materialMap;
std::vector<std::string>* CObjMeshParser::m_mtlWarnings = nullptr;

namespace {

// Progress lines only for files larger than this, one per 10 %.
const std::streamoff PROGRESS_MIN_SIZE = 1048576;
const int MAX_FACE_CORNERS = 10;
// Stored for a corner written without a texture-coordinate or normal index:
// the placeholder, harmless to draw and overwritten by generateFlatNormals().
const int NO_INDEX = 0;

// Skips white space as formatted input would; true when a line feed was
// among it.
bool skipSpace(std::istream& in) {
    std::streambuf* buf = in.rdbuf();
    bool lineFeed = false;
    for (int c = buf->sgetc();; c = buf->snextc()) {
        if (c == '\n') {
            lineFeed = true;
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f') {
            return lineFeed;
        }
    }
}

// The file's buffer when the characters can be taken from it directly: the
// stream reads a file and is in good state; else null.
CObjFileBuffer* fileBuffer(std::istream& in) {
    if (in.rdstate() != std::ios::goodbit) {
        return nullptr;
    }
    // Cheaper than a dynamic_cast, which showed in the profile: the class is final.
    std::streambuf* const buf = in.rdbuf();
    return buf != nullptr && typeid(*buf) == typeid(CObjFileBuffer)
               ? static_cast<CObjFileBuffer*>(buf)
               : nullptr;
}

// The same when the stream also skips white space, as a statement's reading
// expects.
CObjFileBuffer* directBuffer(std::istream& in) {
    return in.flags() & std::ios::skipws ? fileBuffer(in) : nullptr;
}

// Reads the three numbers of a "v" or "vn" statement into c, which may run on
// into the following lines. When one cannot be read it and the ones after it
// are 0, the stream is usable again and the rest of the statement's own line
// is skipped; a line that the failed read reached is left to be read as the
// next statement. A number that ends at the end of the file counts as read.
bool readTriple(std::istream& in, float (&c)[3]) {
    bool crossedLine = false;
    for (int i = 0; i < 3; ++i) {
        crossedLine = skipSpace(in) || crossedLine;
        in >> c[i];
        if (in.fail()) {
            for (int j = i; j < 3; ++j) {
                c[j] = 0;
            }
            in.clear();
            if (!crossedLine) {
                CObjMeshParser::skipLine(in);
            }
            return false;
        }
    }
    return true;
}

}  // namespace

void CObjMeshParser::parse(boost::shared_ptr<CMesh>& mesh, const std::string& fileName,
                           std::vector<std::string>& mtlWarnings) {
    // Back to the strict reading however the lenient one ends.
    struct Lenient {
        explicit Lenient(std::vector<std::string>& warnings) { m_mtlWarnings = &warnings; }
        ~Lenient() { m_mtlWarnings = nullptr; }
        Lenient(const Lenient&) = delete;
        Lenient& operator=(const Lenient&) = delete;
    } lenient(mtlWarnings);
    parse(mesh, fileName);
}

void CObjMeshParser::parse(boost::shared_ptr<CMesh>& mesh, const std::string& fileName) {
    m_branchPath = boost::filesystem::path(fileName).parent_path();

    // A directory or a device opens but has no size to read through.
    boost::system::error_code error;
    if (!boost::filesystem::is_regular_file(fileName, error)) {
        throw CFileNotFoundException(fileName);
    }
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        throw CFileNotFoundException(fileName);
    }
    CObjFileBuffer buffer(file);
    const bool measured = fseeko(file, 0, SEEK_END) == 0;
    const std::streamoff size = measured ? ftello(file) : -1;
    if (size < 0 || fseeko(file, 0, SEEK_SET) != 0) {
        throw CFileNotFoundException(fileName);
    }
    if (size == 0) {
        throw CEmptyFileException();
    }
    std::istream in(&buffer);
    in.imbue(std::locale::classic());

    CLogger& log = CLogger::get();
    log << "Parsing file \"" << fileName << "\" (file size = " << size << " bytes)...\n"
        << std::flush;
    mesh->clear();

    std::streamoff nextProgress = 10;
    while (skipCommentLine(in)) {
        if (size > PROGRESS_MIN_SIZE) {
            // A jump over several steps shows once, with the largest step reached.
            const std::streamoff percent = buffer.position() * 100 / size;
            if (percent >= nextProgress) {
                const std::streamoff shown = percent / 10 * 10;
                log << "  " << shown << " % done...\n" << std::flush;
                nextProgress = shown + 10;
            }
        }
        if (!processLine(mesh, in)) {
            break;
        }
    }

    log << "File \"" << fileName << "\" fully parsed.\n";
    log << "  Total vertices: " << mesh->getNumVertices() << ".\n";
    log << "  Total texture coords: " << mesh->getNumTextureCoords() << ".\n";
    log << "  Total normals: " << mesh->getNumNormals() << ".\n";
    log << "  Total faces: " << mesh->getNumFaces() << ".\n";
    log << "Approximative mesh size: " << mesh->getByteSize() << " bytes (reduced to "
        << std::flush;
    mesh->shrinkToFit();
    log << mesh->getByteSize() << " bytes).\n";
}

bool CObjMeshParser::processLine(boost::shared_ptr<CMesh>& mesh, std::istream& in) {
    CObjFileBuffer* const buffer = directBuffer(in);
    if (buffer != nullptr && CObjDirectReader::readStatement(*mesh, *buffer)) {
        return true;
    }
    std::string keyword;
    if (!(in >> keyword)) {
        return false;
    }
    if (keyword == "v") {
        float c[3];
        readTriple(in, c);
        mesh->addVertex(SVertex(c[0], c[1], c[2]));
    } else if (keyword == "vt") {
        // Numbers that do not read are 0, so "vt u v" is enough.
        float c[3] = {0, 0, 0};
        for (float& value : c) {
            if (!(in >> value)) {
                value = 0;
                break;
            }
        }
        in.clear();
        mesh->addTextureCoord(SVertex(c[0], c[1], c[2]));
    } else if (keyword == "vn") {
        readNormal(*mesh, in);
    } else if (keyword == "f") {
        readFace(*mesh, in);
    } else if (keyword == "mtllib") {
        std::string name;
        if (in >> name) {
            parseMtlLib(name);
        }
    } else if (keyword == "usemtl") {
        std::string name;
        if (in >> name) {
            const auto found = m_materialMap.find(name);
            if (found != m_materialMap.end()) {
                mesh->setMaterial(found->second);
            } else {
                CLogger::get() << "  * Material not found in current mtllib :\"" << name
                               << "\". Ignoring material.\n";
            }
        }
    } else {
        skipLine(in);
    }
    return true;
}

void CObjMeshParser::readNormal(CMesh& mesh, std::istream& in) {
    float c[3];
    if (!readTriple(in, c)) {
        c[0] = c[1] = c[2] = 0;
    }
    mesh.addNormal(SVertex(c[0], c[1], c[2]));
}

// Up to MAX_FACE_CORNERS corners, in the syntax that the elements read so far
// call for: p, p/t, p/t/n or p//n. The separators are any single non-white
// characters. The face ends at the first corner that does not read; later
// corners stay in the stream and are then taken for a statement.
void CObjMeshParser::readFace(CMesh& mesh, std::istream& in) {
    const bool withTexture = mesh.hasTextureCoords();
    const bool withNormal = mesh.hasNormals();
    SPolygonFace face;
    for (int i = 0; i < MAX_FACE_CORNERS; ++i) {
        int p = 0;
        int t = NO_INDEX;
        int n = NO_INDEX;
        char separator = 0;
        in >> p;
        if (withTexture) {
            in >> separator >> t;
        }
        if (withNormal) {
            if (!withTexture) {
                in >> separator;
            }
            in >> separator >> n;
        }
        if (in.fail()) {
            break;
        }
        face.addVertTexNorm(p, t, n);
    }
    mesh.addFace(face);
    in.clear();
}

void CObjMeshParser::parseMtlLib(const std::string& name) {
    const boost::filesystem::path path = m_branchPath / name;
    CLogger::get() << "  Parsing mtllib \"" << name << "\"...\n";
    if (m_mtlWarnings != nullptr) {
        CMtlParser::parseLenient(m_materialMap, path.string(), *m_mtlWarnings);
    } else {
        CMtlParser::parse(m_materialMap, path.string());
    }
    CLogger::get() << "  \"" << name << "\" fully parsed.\n";
}

bool CObjMeshParser::skipCommentLine(std::istream& in) {
    CObjFileBuffer* const buffer = fileBuffer(in);
    if (buffer != nullptr && CObjDirectReader::skipCommentLines(*buffer)) {
        in.setf(std::ios::skipws);
        return true;
    }
    for (;;) {
        char c = 0;
        if (!(in >> std::skipws >> c)) {
            return false;
        }
        in.putback(c);
        if (c != '#') {
            return true;
        }
        skipLine(in);
    }
}

void CObjMeshParser::skipLine(std::istream& in) {
    in >> std::noskipws;
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}
