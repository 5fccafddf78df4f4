#include "shapes/mesh_statement.h"

#include <memory>
#include <string_view>

#include "parser.h"
#include "pigment/pigment.h"
#include "scene/reader_output.h"
#include "shapes/mesh.h"
#include "shapes/shape_statements.h"

using namespace std::string_view_literals;

namespace {

bool startsModifier(std::string_view token) {
    return token == "pigment"sv || token == "finish"sv;
}

// The inner triangles' patterns were written in the mesh's own space, as
// the mesh's own pattern was before the transforms after it: they move
// with the mesh as it does.
void moveInnerPatterns(Mesh& mesh, const Transform& transform) {
    for (Mesh::Material& material : mesh.materials) {
        if (material.pattern) {
            material.pattern =
                std::make_shared<const Pigment>(material.pattern->movedBy(transform.toObject));
            material.finish.pattern = material.pattern.get();
        }
    }
}

template <typename Tokens>
GeomObject* readMeshStatement(Tokens& tokens) {
    tokens.pop_front();
    auto mesh = std::make_unique<Mesh>();
    bool lastHasOwn = false;
    while (!tokens.empty() &&
           (tokens.front() == "triangle"sv || tokens.front() == "smooth_triangle"sv)) {
        const bool smooth = tokens.front() == "smooth_triangle"sv;
        tokens.pop_front();
        Mesh::Face face{};
        for (int i = 0; i < 3; ++i) {
            face.v[i] = static_cast<std::uint32_t>(mesh->positions.size());
            mesh->positions.push_back(Parser::parse_vector(tokens));
            face.n[i] = Mesh::kNone;
            if (smooth) {
                face.n[i] = static_cast<std::uint32_t>(mesh->normals.size());
                mesh->normals.push_back(Parser::parse_vector(tokens));
            }
        }
        if (smooth) {
            // Unit normals; a zero one stands for the flat normal.
            const Point* p[3] = {&mesh->positions[face.v[0]], &mesh->positions[face.v[1]],
                                 &mesh->positions[face.v[2]]};
            const Vector3 flat = (*p[1] - *p[0]).cross(*p[2] - *p[0]).normalize();
            for (const std::uint32_t n : face.n) {
                Vector3& normal = mesh->normals[n];
                normal = normal * normal == 0 ? flat : normal.normalize();
            }
        }
        face.material = Mesh::kNone;
        lastHasOwn = !tokens.empty() && startsModifier(tokens.front());
        if (lastHasOwn) {
            Triangle scratch(Point(0, 0, 0), Point(0, 0, 0), Point(0, 0, 0));
            scratch.parseOptions(tokens);
            face.material = static_cast<std::uint32_t>(mesh->materials.size());
            // The material keeps the pattern alive: the scratch triangle goes.
            mesh->materials.push_back({scratch.color, scratch.finish, scratch.pattern, nullptr});
        }
        mesh->faces.push_back(face);
    }
    if (mesh->faces.empty()) {
        if (tokens.empty()) {
            throw SceneError::endOfFile(R"("triangle" or "smooth_triangle")");
        }
        throw SceneError("a mesh has triangles", R"("triangle" or "smooth_triangle")",
                         SceneError::quoted(tokens.front()));
    }
    if (lastHasOwn) {
        // The last triangle's modifiers are the mesh's.
        mesh->color = mesh->materials.back().color;
        mesh->finish = mesh->materials.back().finish;
        mesh->pattern = mesh->materials.back().pattern;
        mesh->materials.pop_back();
        mesh->faces.back().material = Mesh::kNone;
    }
    (OutputLine() << "parsed mesh with " << static_cast<double>(mesh->faces.size())
                  << " triangles")
        .print();
    mesh->build();
    // The mesh's modifiers; the rgbf filter of the last triangle's, which
    // are the mesh's, carries on.
    Transform transform;
    const bool transformed = lastHasOwn ? readRemainingModifiers(*mesh, tokens, transform)
                                        : readModifiers(*mesh, tokens, transform);
    if (transformed) {
        moveInnerPatterns(*mesh, transform);
    }
    return withTransform(mesh.release(), transformed ? &transform : nullptr);
}

}  // namespace

GeomObject* readMesh(std::deque<std::string>& tokens) { return readMeshStatement(tokens); }

GeomObject* readMesh(TokenViews& tokens) { return readMeshStatement(tokens); }
