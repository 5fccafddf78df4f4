#include "shapes/obj_model.h"

#include <boost/shared_ptr.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <iostream>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "Obj/Exception.h"
#include "Obj/Material.h"
#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"
#include "parser.h"
#include "pigment/image_map.h"
#include "scene/reader_output.h"
#include "shapes/mesh.h"
#include "shapes/shape_statements.h"

using namespace std::string_view_literals;

namespace {

// A material's map_Kd picture (PNG by its name's ending, else BMP); a file
// that cannot be read leaves the material its Kd colour, with a warning.
std::shared_ptr<const ImageMap> readTexture(const std::string& path) {
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    int width = 0;
    int height = 0;
    try {
        std::vector<Color> pixels = readPicture(path, ending == ".png", width, height);
        return std::make_shared<const ImageMap>(width, height, std::move(pixels),
                                                ImageMap::Projection::Planar, false, true);
    } catch (const SceneError& error) {
        std::cerr << path << ": warning: " << error.what()
                  << "; the material keeps its Kd colour\n";
        return nullptr;
    }
}

}  // namespace

void mapObjMaterial(const SMaterial& m, Color& color, Finish& finish) {
    const auto mean = [](const float c[4]) { return (c[0] + c[1] + c[2]) / 3.0; };
    color = Color(m.Kd[0], m.Kd[1], m.Kd[2]);
    finish = Finish();
    if (m.illum == 0) {
        // Colour alone, unlit.
        finish.ambient = 1;
        return;
    }
    // Viewers light Ka by a dim scene-wide ambient light; a floor keeps
    // the unlit side of a model from going black.
    finish.ambient = std::max(0.1, 0.2 * mean(m.Ka));
    finish.diffuse = 1;
    if (m.illum >= 2) {
        finish.specular = mean(m.Ks);
        finish.roughness = 1 / std::min(1000.0, std::max(1.0, static_cast<double>(m.Ns)));
    }
    // The ray-traced reflection models.
    if (m.illum == 3 || m.illum == 5 || m.illum == 7) {
        finish.reflection = std::min(1.0, std::max(0.0, mean(m.Ks)));
    }
    if (m.d < 1) {
        finish.refraction = 1;
        finish.filter = std::min(1.0, std::max(0.0, 1.0 - m.d));
        finish.ior = m.Ni > 0 ? m.Ni : 1;
    }
}

namespace {

bool finite(const SVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Point pointOf(const SVertex& v) { return Point(v.x, v.y, v.z); }

}  // namespace

std::string convertObjModel(const CMesh& model, bool smooth, Mesh& mesh) {
    const int vertices = model.getNumVertices();
    mesh.positions.reserve(static_cast<std::size_t>(vertices));
    for (int i = 1; i <= vertices; ++i) {
        const SVertex& v = model.getVertex(i);
        if (!finite(v)) {
            return "vertex " + std::to_string(i) + " is not a finite point";
        }
        mesh.positions.push_back(pointOf(v));
    }
    // The file's normals, made unit, then one per position for smooth.
    const int fileNormals = model.getNumNormals();
    mesh.normals.reserve(static_cast<std::size_t>(fileNormals));
    for (int i = 1; i <= fileNormals; ++i) {
        const SVertex& n = model.getNormal(i);
        mesh.normals.push_back(finite(n) ? pointOf(n).normalize() : Vector3(0, 0, 0));
    }
    const auto smoothBase = static_cast<std::uint32_t>(mesh.normals.size());
    if (smooth) {
        mesh.normals.resize(mesh.normals.size() + mesh.positions.size(), Vector3(0, 0, 0));
    }

    // Materials: one per usemtl, the file's defaults before the first.
    const auto& runs = model.getMaterialRuns();
    mapObjMaterial(SMaterial(), mesh.color, mesh.finish);
    std::map<std::string, std::shared_ptr<const ImageMap>> textures;
    for (const auto& run : runs) {
        Mesh::Material material;
        mapObjMaterial(run.material, material.color, material.finish);
        if (!run.material.map_Kd.empty()) {
            auto found = textures.find(run.material.map_Kd);
            if (found == textures.end()) {
                found = textures.emplace(run.material.map_Kd, readTexture(run.material.map_Kd))
                            .first;
            }
            material.texture = found->second;
        }
        mesh.materials.push_back(material);
    }
    const bool textured = !textures.empty() && model.getNumTextureCoords() > 0;
    if (textured) {
        const int coords = model.getNumTextureCoords();
        mesh.textureCoords.reserve(static_cast<std::size_t>(coords));
        for (int i = 1; i <= coords; ++i) {
            const SVertex& t = model.getTextureCoord(i);
            mesh.textureCoords.push_back({std::isfinite(t.x) ? t.x : 0.0,
                                          std::isfinite(t.y) ? t.y : 0.0});
        }
    }

    // One triangle per corner past the second: the arrays get their final
    // size at once, without a vector's doubling at a million faces.
    const int faces = model.getNumFaces();
    std::size_t triangles = 0;
    for (int f = 0; f < faces; ++f) {
        triangles += std::max<std::size_t>(model.getFace(f).v.size(), 2) - 2;
    }
    mesh.faces.reserve(triangles);
    if (textured) {
        mesh.faceTextureCoords.reserve(triangles);
    }
    std::size_t run = 0;
    for (int f = 0; f < faces; ++f) {
        const SPolygonFace& polygon = model.getFace(f);
        if (!model.hasValidIndices(polygon)) {
            return "face " + std::to_string(f + 1) +
                   " has fewer than three corners or an index out of range";
        }
        while (run < runs.size() && runs[run].firstFace <= f) ++run;
        const std::uint32_t material = run == 0 ? Mesh::kNone : static_cast<std::uint32_t>(run - 1);
        const bool withNormals = std::all_of(polygon.vn.begin(), polygon.vn.end(),
                                             [](int n) { return n != 0; });
        for (std::size_t c = 1; c + 1 < polygon.v.size(); ++c) {
            const std::size_t corners[3] = {0, c, c + 1};
            Mesh::Face face{};
            for (int i = 0; i < 3; ++i) {
                const std::size_t corner = corners[i];
                face.v[i] = static_cast<std::uint32_t>(polygon.v[corner] - 1);
                face.n[i] = withNormals ? static_cast<std::uint32_t>(polygon.vn[corner] - 1)
                            : smooth    ? smoothBase + face.v[i]
                                        : Mesh::kNone;
            }
            face.material = material;
            mesh.faces.push_back(face);
            if (textured) {
                std::array<std::uint32_t, 3> coords{Mesh::kNone, Mesh::kNone, Mesh::kNone};
                if (std::all_of(polygon.vt.begin(), polygon.vt.end(),
                                [](int t) { return t != 0; })) {
                    for (int i = 0; i < 3; ++i) {
                        coords[static_cast<std::size_t>(i)] =
                            static_cast<std::uint32_t>(polygon.vt[corners[i]] - 1);
                    }
                }
                mesh.faceTextureCoords.push_back(coords);
            }
        }
    }
    if (smooth) {
        // Area-weighted: each face adds its unnormalised normal, twice its
        // area long, to its corners' positions.
        for (const Mesh::Face& face : mesh.faces) {
            if (face.n[0] < smoothBase) continue;
            const Point& a = mesh.positions[face.v[0]];
            const Vector3 n =
                (mesh.positions[face.v[1]] - a).cross(mesh.positions[face.v[2]] - a);
            for (const std::uint32_t v : face.v) {
                Vector3& sum = mesh.normals[smoothBase + v];
                sum = sum + n;
            }
        }
        for (std::size_t i = smoothBase; i < mesh.normals.size(); ++i) {
            mesh.normals[i] = mesh.normals[i].normalize();
        }
    }
    // A zero normal stands for the flat one: the face is flat.
    for (Mesh::Face& face : mesh.faces) {
        if (face.n[0] == Mesh::kNone) continue;
        for (const std::uint32_t n : face.n) {
            if (mesh.normals[n] * mesh.normals[n] == 0) {
                face.n[0] = face.n[1] = face.n[2] = Mesh::kNone;
                break;
            }
        }
    }
    return std::string();
}

namespace {

// The scene file's folder joined with a relative path.
std::string besideScene(const std::string& sceneFile, const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    const std::size_t slash = sceneFile.rfind('/');
    return slash == std::string::npos ? path : sceneFile.substr(0, slash + 1) + path;
}

// A place in the queue to go back to: the view queue's front is a pointer;
// the string queue gets the consumed tokens back instead.
int placeOf(const std::deque<std::string>&) { return 0; }
TokenViews placeOf(const TokenViews& tokens) { return tokens; }

void restorePlace(std::deque<std::string>& tokens, int, const std::vector<std::string>& popped,
                  bool smooth) {
    if (smooth) tokens.emplace_front("smooth");
    for (auto it = popped.rbegin(); it != popped.rend(); ++it) tokens.push_front(*it);
}

void restorePlace(TokenViews& tokens, const TokenViews& place, const std::vector<std::string>&,
                  bool) {
    tokens = place;
}

template <typename Tokens>
GeomObject* readObjMeshStatement(Tokens& tokens, const std::string& sceneFile) {
    tokens.pop_front();
    if (tokens.empty()) {
        throw SceneError::endOfFile("a path in double quotes");
    }
    if (tokens.front().size() < 1 || tokens.front()[0] != '"') {
        throw SceneError("obj_mesh path in quotes", "a path in double quotes",
                         SceneError::quoted(tokens.front()));
    }
    // Where the path starts, so that an error can point at it.
    const auto atPath = placeOf(tokens);
    std::vector<std::string> popped;
    std::string path(tokens.front().substr(1));
    popped.emplace_back(tokens.front());
    tokens.pop_front();
    while (path.empty() || path.back() != '"') {
        if (tokens.empty()) {
            throw SceneError::endOfFile("the closing double quote of the path");
        }
        path += ' ';
        path += tokens.front();
        popped.emplace_back(tokens.front());
        tokens.pop_front();
    }
    path.pop_back();
    bool smooth = false;
    if (!tokens.empty() && tokens.front() == "smooth"sv) {
        smooth = true;
        tokens.pop_front();
    }

    // Errors point at the path: its tokens go back to the queue.
    const auto fail = [&](const std::string& problem) {
        restorePlace(tokens, atPath, popped, smooth);
        return SceneError("the model can be read", "a readable OBJ model",
                          SceneError::quoted(path) + " (" + problem + ")");
    };
    const std::string fileName = besideScene(sceneFile, path);
    boost::shared_ptr<CMesh> model(new CMesh());
    std::vector<std::string> warnings;
    try {
        CObjMeshParser::parse(model, fileName, warnings);
    } catch (const CException& error) {
        throw fail(error.getMessage());
    }
    for (const std::string& warning : warnings) {
        std::cerr << warning << '\n';
    }
    auto mesh = std::make_unique<Mesh>();
    const std::string problem = convertObjModel(*model, smooth, *mesh);
    if (!problem.empty()) {
        throw fail(fileName + ": " + problem);
    }
    model.reset();
    mesh->build();
    (OutputLine() << "parsed obj_mesh \"" << path << "\" with "
                  << static_cast<double>(mesh->faces.size()) << " triangles, "
                  << mesh->bytesPerFace() << " bytes per triangle")
        .print();

    std::unique_ptr<GeomObject, void (*)(GeomObject*)> owned(mesh.release(), deleteSceneObject);
    auto* shape = static_cast<Mesh*>(owned.get());
    const Color fileColor = shape->color;
    const Finish fileFinish = shape->finish;
    Transform transform;
    bool surfaced = false;
    const bool transformed = readModifiers(*shape, tokens, transform, &surfaced);
    if (surfaced) {
        // The statement's surface replaces the file's materials.
        for (Mesh::Face& face : shape->faces) face.material = Mesh::kNone;
        shape->materials.clear();
    } else {
        shape->color = fileColor;
        shape->finish = fileFinish;
    }
    return withTransform(owned.release(), transformed ? &transform : nullptr);
}

}  // namespace

GeomObject* readObjMesh(std::deque<std::string>& tokens, const std::string& sceneFile) {
    return readObjMeshStatement(tokens, sceneFile);
}

GeomObject* readObjMesh(TokenViews& tokens, const std::string& sceneFile) {
    return readObjMeshStatement(tokens, sceneFile);
}
