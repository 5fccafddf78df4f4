// effects_bench: what each light, surface and camera effect costs. One
// scene (four spheres and a box on a floor under one light) is rendered at
// 640 x 480 on one thread with each effect in turn, and a Markdown table
// gives the fastest of five runs: seconds, rays cast, rays per second and
// the time against the plain scene.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "accel/trace_accel.h"
#include "camera.h"
#include "generated_scene.h"
#include "main.h"
#include "parser.h"
#include "scene_file.h"
#include "trace/render_job.h"
#include "window/scene_reload.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

const char* const kObjects = R"(
plane { <0, 1, 0>, -1 FLOOR finish { ambient 0.1 diffuse 0.8 } }
sphere { <-2.5, 0, 0>, 1 pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <0, 0.5, -1.5>, 1.5 pigment { color rgb <0.9, 0.9, 0.9> } finish { ambient 0.1 diffuse 0.3 reflection 0.6 } }
sphere { <2.5, -0.3, 1>, 0.7 pigment { color rgb <0.3, 0.4, 0.9> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
box { <1.5, -1, -3>, <3, 1.5, -1.5> pigment { color rgb <0.9, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.7 } }
)";

struct Case {
    const char* name;
    const char* light;   // what follows the light's colour
    const char* camera;  // what follows the camera's keys
    const char* extra;   // further statements
    bool checker;
};

const Case kCases[] = {
    {"plain point light", "", "", "", false},
    {"area_light 1x1", "area_light <2, 0, 0>, <0, 0, 2>, 1, 1", "", "", false},
    {"area_light 3x3", "area_light <2, 0, 0>, <0, 0, 2>, 3, 3", "", "", false},
    {"area_light 5x5", "area_light <2, 0, 0>, <0, 0, 2>, 5, 5", "", "", false},
    {"area_light 5x5 jitter", "area_light <2, 0, 0>, <0, 0, 2>, 5, 5 jitter", "", "", false},
    {"spotlight", "spotlight radius 15 falloff 25 point_at <0, -1, 0>", "", "", false},
    {"parallel", "parallel point_at <0, 0, 0>", "", "", false},
    {"fade", "fade_distance 8 fade_power 2", "", "", false},
    {"background + fog", "", "", "background { color rgb <0.3, 0.5, 0.8> } fog { distance 20 color rgb <0.6, 0.7, 0.8> }", false},
    {"checker floor", "", "", "", true},
    {"focal blur 4", "", "aperture 0.4 focal_point <0, 0.5, -1.5> blur_samples 4", "", false},
    {"focal blur 16", "", "aperture 0.4 focal_point <0, 0.5, -1.5> blur_samples 16", "", false},
};

std::string sceneText(const Case& c) {
    std::string objects = kObjects;
    const std::string floor = c.checker
                                  ? "pigment { checker color rgb <0.9, 0.9, 0.9> color rgb <0.2, 0.3, 0.5> }"
                                  : "pigment { color rgb <0.9, 0.9, 0.9> }";
    objects.replace(objects.find("FLOOR"), 5, floor);
    return std::string("camera { location <0, 4, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> ") +
           c.camera + " }\nlight_source { <-6, 10, 6> color rgb <1, 1, 1> " + c.light + " }\n" +
           c.extra + "\n" + objects;
}

struct Timed {
    double seconds;
    std::uint64_t rays;
};

Timed measure(const Case& c) {
    gPixelWidth = kWidth;
    gPixelHeight = kHeight;
    std::vector<GeomObject*> objects;
    std::vector<Light*> lightList;
    Camera view(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), kWidth,
                kHeight);
    std::deque<std::string> tokens;
    tokenize_line(sceneText(c), tokens);
    parse_statements(tokens, {kWidth, kHeight}, objects, lightList, &view);
    RenderJob job;
    job.objects = objects;
    for (const Light* light : lightList) job.lights.push_back(*light);
    job.camera = view;
    job.toWorld = view.quietVectorTransform();
    job.width = kWidth;
    job.height = kHeight;
    job.threads = 1;
    const TraceAccel index(objects);
    ImageBuffer image(kWidth, kHeight);
    Timed best{1e300, 0};
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t rays = renderImage(job, index, image.columns()).rays;
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (s < best.seconds) best = {s, rays};
    }
    deleteObjects(objects);
    deleteLights(lightList);
    return best;
}

}  // namespace

int main() {
    // The reader's lines go nowhere; the table goes to the original output.
    std::fflush(stdout);
    FILE* table = fdopen(dup(STDOUT_FILENO), "w");
    const int null = open("/dev/null", O_WRONLY);
    if (table == nullptr || null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        std::perror("effects_bench");
        return 1;
    }
    std::fprintf(table, "effects_bench: %d x %d, one thread, fastest of five runs\n\n", kWidth, kHeight);
    std::fprintf(table, "| effect | seconds | rays | rays/s | time vs plain |\n|---|---|---|---|---|\n");
    double plain = 0;
    for (const Case& c : kCases) {
        const Timed t = measure(c);
        if (plain == 0) plain = t.seconds;
        std::fprintf(table, "| %s | %.3f | %.2fM | %.2fM | %.2f |\n", c.name, t.seconds, t.rays / 1e6,
                    t.rays / t.seconds / 1e6, t.seconds / plain);
    }
    std::fclose(table);
    return 0;
}
