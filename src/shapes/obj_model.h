#pragma once

#include <deque>
#include <string>

#include "geom.h"

class TokenViews;
struct SMaterial;
class Mesh;
class CMesh;

// obj_mesh { "path/model.obj" [smooth] modifiers }, from the "obj_mesh"
// token on: the model read by the mesh library (its material libraries
// leniently, their warnings on standard error), its faces as a Mesh, with
// its modifiers and transforms. The path is relative to the scene file's
// folder; the separators end tokens, so a run of them inside the quotes
// reads as one space. A pigment or finish on the statement replaces the
// file's materials. A model that cannot be read, or a face that indexes
// beyond the model's arrays, is a scene error at the path.
GeomObject* readObjMesh(std::deque<std::string>& tokens, const std::string& sceneFile);
GeomObject* readObjMesh(TokenViews& tokens, const std::string& sceneFile);

// The surface an OBJ material stands for, as the README's table says.
void mapObjMaterial(const SMaterial& material, Color& color, Finish& finish);

// The mesh library's model as faces of mesh: polygons as fans from their
// first corner, vertex normals where every corner has one, otherwise
// area-weighted normals when smooth, otherwise flat; each face with the
// material the last usemtl before it chose. Returns an empty string, or
// what makes the model unusable.
std::string convertObjModel(const CMesh& model, bool smooth, Mesh& mesh);
