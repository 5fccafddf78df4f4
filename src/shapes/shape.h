#pragma once

#include "geom.h"

// Base of the shapes added beside the four original primitives. Unlike
// GeomObject it may be deleted through: a transformed object owns the one
// it wraps, and the scene's lists free what they hold on reload.
class Shape : public GeomObject {
public:
    Shape() = default;
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;
    virtual ~Shape() = default;
};

// Deletes any object that the scene reader makes, by its dynamic type.
void deleteSceneObject(GeomObject* object);
