#pragma once

#include <deque>
#include <string>

class GeomObject;
class TokenViews;

// mesh { triangle { ... } smooth_triangle { ... } ... modifiers }, from the
// "mesh" token on, with its modifiers and transforms. The separators drop
// the braces, so an inner triangle's pigment and finish are those that
// follow its vertices; after the last one they are the mesh's, which every
// triangle without its own takes. The mesh's transforms move every
// triangle's pattern with the mesh.
GeomObject* readMesh(std::deque<std::string>& tokens);
GeomObject* readMesh(TokenViews& tokens);
