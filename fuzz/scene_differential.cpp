#include "scene_differential.h"

#include <cstdio>
#include <deque>
#include <iostream>
#include <sstream>
#include <vector>

#include "main.h"
#include "parser.h"
#include "pigment/pigment.h"
#include "scene/scene_lexer.h"
#include "scene_file.h"
#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/mesh.h"
#include "shapes/smooth_triangle.h"
#include "shapes/transformed.h"
#include "window/scene_reload.h"

namespace {

void put(std::string& text, const char* name, const Vector3& v) {
    char line[160];
    std::snprintf(line, sizeof line, " %s %a %a %a", name, v.x, v.y, v.z);
    text += line;
}

void putPattern(std::string& text, const Pigment* pattern) {
    if (pattern == nullptr) {
        return;
    }
    // Points that tell moved patterns apart.
    for (const Vector3& p : {Vector3(1.5, 0.5, 0.5), Vector3(0.7, 2.2, -1.3)}) {
        const Color seen = pattern->at(p);
        put(text, "pattern", Vector3(seen.r, seen.g, seen.b));
    }
}

void putSurface(std::string& text, const GeomObject& object) {
    put(text, "color", Vector3(object.color.r, object.color.g, object.color.b));
    const Finish& f = object.finish;
    put(text, "finish", Vector3(f.ambient, f.diffuse, f.specular));
    put(text, "", Vector3(f.roughness, f.ior, f.reflection));
    put(text, "", Vector3(f.refraction, f.filter, 0));
    putPattern(text, f.pattern);
    text += '\n';
}

// What the reader made, released with the lists, and its camera.
struct Scene : SceneLists {
    Camera camera =
        Camera(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), 0, 0);

    std::string dump() const {
        std::string text;
        for (const GeomObject* object : objects) {
            dumpObject(text, object);
        }
        for (const Light* light : lights) {
            put(text, "light", light->location);
            put(text, "color", Vector3(light->color.r, light->color.g, light->color.b));
            const LightModifiers& m = light->modifiers;
            put(text, "spot", Vector3(m.spotlight ? m.radius : -1, m.falloff, m.tightness));
            put(text, "point_at", m.pointAt);
            put(text, "fade", Vector3(m.fadeDistance, m.fadePower, m.parallel + 2 * m.shadowless));
            put(text, "area", m.axis1);
            put(text, "", m.axis2);
            put(text, "", Vector3(m.samples1, m.samples2, m.jitter));
            text += '\n';
        }
        put(text, "camera", camera.eye);
        put(text, "", camera.up);
        put(text, "", camera.right);
        put(text, "", camera.lookAt);
        put(text, "lens", Vector3(camera.lens.aperture, camera.lens.blurSamples, 0));
        put(text, "", camera.lens.focalPoint);
        const Atmosphere& air = camera.atmosphere;
        put(text, "background", Vector3(air.background.r, air.background.g, air.background.b));
        put(text, "fog", Vector3(air.fogColor.r, air.fogColor.g, air.fogColor.b));
        put(text, "", Vector3(air.fogDistance, 0, 0));
        return text + " " + std::to_string(camera.xRes) + " " + std::to_string(camera.yRes) + "\n";
    }

    // The shapes of shapes/ and a transform's matrix and object.
    static bool dumpShape(std::string& text, const GeomObject* object) {
        if (const auto* w = dynamic_cast<const TransformedObject*>(object)) {
            for (const auto& row : w->transform().toWorld.m) {
                put(text, "transform", Vector3(row[0], row[1], row[2]));
                put(text, "", Vector3(row[3], 0, 0));
            }
            dumpObject(text, &w->inner());
        } else if (const auto* c = dynamic_cast<const Cone*>(object)) {
            put(text, "cone", c->base);
            put(text, "", c->cap);
            put(text, "", Vector3(c->baseRadius, c->capRadius, c->open));
        } else if (const auto* d = dynamic_cast<const Disc*>(object)) {
            put(text, "disc", d->center);
            put(text, "", d->normal);
            put(text, "", Vector3(d->radius, d->holeRadius, 0));
        } else if (const auto* t = dynamic_cast<const SmoothTriangle*>(object)) {
            for (int i = 0; i < 3; ++i) {
                put(text, "smooth_triangle", t->v[i]);
                put(text, "", t->n[i]);
            }
        } else if (const auto* m = dynamic_cast<const Mesh*>(object)) {
            for (const Point& p : m->positions) put(text, "mesh", p);
            for (const Vector3& n : m->normals) put(text, "normal", n);
            for (const Mesh::Face& f : m->faces) {
                put(text, "face", Vector3(f.v[0], f.v[1], f.v[2]));
                put(text, "", Vector3(f.n[0], f.material, 0));
            }
            for (const Mesh::Material& material : m->materials) {
                put(text, "material", Vector3(material.color.r, material.color.g,
                                              material.color.b));
                put(text, "", Vector3(material.finish.ambient, material.finish.diffuse,
                                      material.finish.filter));
                putPattern(text, material.finish.pattern);
            }
        } else {
            return false;
        }
        return true;
    }

    static void dumpObject(std::string& text, const GeomObject* object) {
        {
            if (dumpShape(text, object)) {
            } else if (const auto* s = dynamic_cast<const Sphere*>(object)) {
                put(text, "sphere", s->_center);
                put(text, "radius", Vector3(s->_radius, 0, 0));
            } else if (const auto* p = dynamic_cast<const Plane*>(object)) {
                put(text, "plane", p->_normal);
                put(text, "p0", p->p0);
            } else if (const auto* t = dynamic_cast<const Triangle*>(object)) {
                put(text, "triangle", t->v1);
                put(text, "", t->v2);
                put(text, "", t->v3);
            } else {
                const auto* b = static_cast<const Box*>(object);
                put(text, "box", b->corner1);
                put(text, "", b->corner2);
            }
            putSurface(text, *object);
        }
    }
};

// Runs read with std::cout captured and fills the reading.
template <typename Read>
SceneReading capture(Read read) {
    std::stringbuf printed;
    std::streambuf* const saved = std::cout.rdbuf(&printed);
    SceneReading reading;
    Scene scene;
    try {
        read(scene);
    } catch (const SceneError& error) {
        reading.error = error.what();
        reading.line = error.line();
        reading.column = error.column();
        reading.report = sceneErrorLine("scene.pov", error);
    }
    std::cout.rdbuf(saved);
    reading.out = printed.str();
    reading.scene = scene.dump();
    return reading;
}

}  // namespace

SceneReading readWhole(const std::string& text) {
    // There are fewer tokens than bytes.
    return readStreaming(text, text.size() + 17);
}

bool readsBraces(const std::string& text) {
    std::istringstream in(text);
    SceneLexer lexer(in);
    std::string_view token;
    TokenPlace place;
    std::size_t end = 0;  // of the token before
    std::ptrdiff_t depth = 0;
    bool afterPigment = false;
    std::ptrdiff_t pigmentDepth = 0;
    while (lexer.next(token, place)) {
        depth += braceSteps(std::string_view(text).substr(end, place.offset - end)).net;
        end = place.offset + token.size();
        if (token == "pigment") {
            afterPigment = true;
            pigmentDepth = depth;
        } else if (afterPigment && depth > pigmentDepth &&
                   (token == "translate" || token == "rotate" || token == "scale")) {
            return true;
        }
    }
    return false;
}

SceneReading readQueue(const std::string& text) {
    return capture([&](Scene& scene) {
        std::istringstream in(text);
        SceneLexer lexer(in);
        std::deque<std::string> tokens;
        std::vector<TokenPlace> places;
        std::string_view token;
        TokenPlace place;
        while (lexer.next(token, place)) {
            tokens.emplace_back(token);
            places.push_back(place);
        }
        try {
            parse_statements(tokens, {gPixelWidth, gPixelHeight}, scene.objects, scene.lights,
                             &scene.camera);
        } catch (SceneError& error) {
            if (error.atEndOfFile() || error.atToken()) {
                const TokenPlace at =
                    error.atEndOfFile() ? lexer.lastEnd() : places[places.size() - tokens.size()];
                error.place(at.line, at.column(), "");
            }
            throw;
        }
    });
}

SceneReading readStreaming(const std::string& text, std::size_t window) {
    return capture([&](Scene& scene) {
        std::istringstream in(text);
        read_scene(in, {gPixelWidth, gPixelHeight}, scene.objects, scene.lights, &scene.camera,
                   window);
    });
}
