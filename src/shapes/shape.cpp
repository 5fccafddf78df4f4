#include "shapes/shape.h"

#include <cassert>

void deleteSceneObject(GeomObject* object) {
    if (auto* shape = dynamic_cast<Shape*>(object)) {
        delete shape;
    } else if (auto* sphere = dynamic_cast<Sphere*>(object)) {
        delete sphere;
    } else if (auto* plane = dynamic_cast<Plane*>(object)) {
        delete plane;
    } else if (auto* triangle = dynamic_cast<Triangle*>(object)) {
        delete triangle;
    } else if (auto* box = dynamic_cast<Box*>(object)) {
        delete box;
    } else {
        assert(object == nullptr && "an object the scene reader does not make");
    }
}
