#include "Vertex.h"

#include <type_traits>

static_assert(sizeof(SVertex) == 3 * sizeof(float) && std::is_standard_layout<SVertex>::value,
              "OpenGL reads an SVertex as an array of three floats");

SVertex::SVertex(float f1, float f2, float f3) : x(f1), y(f2), z(f3) {}

void SVertex::set(float f1, float f2, float f3) {
    x = f1;
    y = f2;
    z = f3;
}
