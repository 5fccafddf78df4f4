#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "parser.h"
#include "shapes/modifiers.h"
#include "shapes/shape.h"
#include "shapes/transformed.h"

// The statements of the shapes in this folder: cylinder, cone, disc,
// smooth_triangle, mesh and obj_mesh.
bool isShapeKeyword(std::string_view token);
// The words that keep these statements going beyond the original
// modifiers: the transforms, "open", "smooth" and a mesh's inner triangles.
bool continuesShapeStatement(std::string_view token);

// Reads the statement at the front of the queue, whose keyword
// isShapeKeyword accepts, with its modifiers; wrapped when it has a
// transform. sceneFile names the scene, whose folder model paths are
// relative to.
GeomObject* readShapeStatement(std::deque<std::string>& tokens, const std::string& sceneFile);
GeomObject* readShapeStatement(TokenViews& tokens, const std::string& sceneFile);

// An original statement's object with the modifiers from its first
// transform on, wrapped when it has one. The object is deleted when they
// cannot be read.
template <typename Tokens>
GeomObject* withRemainingModifiers(GeomObject* object, Tokens& tokens) {
    if (tokens.empty() || !isTransformWord(tokens.front())) {
        return object;
    }
    std::unique_ptr<GeomObject, void (*)(GeomObject*)> owned(object, deleteSceneObject);
    Transform transform;
    readRemainingModifiers(*object, tokens, transform);
    return withTransform(owned.release(), &transform);
}

// A shape's modifiers, then the shape as the scene holds it: wrapped when
// they have a transform. continuing: some of its modifiers were read
// already (their rgbf filter carries on). The shape is deleted when they
// cannot be read.
template <typename Tokens>
GeomObject* finishShape(GeomObject* shape, Tokens& tokens, bool continuing = false) {
    std::unique_ptr<GeomObject, void (*)(GeomObject*)> owned(shape, deleteSceneObject);
    Transform transform;
    const bool transformed = continuing ? readRemainingModifiers(*shape, tokens, transform)
                                        : readModifiers(*shape, tokens, transform);
    return withTransform(owned.release(), transformed ? &transform : nullptr);
}
