// The statements of the new shapes: what they read, where they stop, and
// the errors of bad ones, through the scene reader.
#include "shapes/shape_statements.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "camera.h"
#include "light.h"
#include "scene_file.h"
#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/mesh.h"
#include "shapes/transformed.h"
#include "test_support.h"

using testing_support::tokensOf;

namespace {

struct Read {
    std::vector<GeomObject*> objects;
    std::vector<Light*> lights;
    Camera camera = Camera(Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(1, 0, 0),
                           Vector3(0, 0, -1), 4, 3);
    ~Read() {
        for (GeomObject* object : objects) deleteSceneObject(object);
        for (Light* light : lights) delete light;
    }
    // Through the streaming reader, with its smallest window.
    void scene(const std::string& text) {
        std::istringstream in(text);
        testing::internal::CaptureStdout();
        try {
            read_scene(in, {128, 96}, objects, lights, &camera, 17);
        } catch (...) {
            testing::internal::GetCapturedStdout();
            throw;
        }
        testing::internal::GetCapturedStdout();
    }
};

std::string errorOf(const std::string& text) {
    Read read;
    try {
        read.scene(text);
    } catch (const SceneError& error) {
        return sceneErrorLine("s.pov", error);
    }
    return "no error";
}

}  // namespace

TEST(ShapeStatements, ReadWhatTheyAreGivenAndStopAtTheNextStatement) {
    Read read;
    read.scene(
        "cylinder { <0, 0, 0>, <0, 2, 0>, 0.5 open pigment { color rgb <1, 0, 0> } }\n"
        "cone { <0, 0, 0>, 1, <0, 1, 0>, 0 }\n"
        "disc { <1, 1, 1>, <0, 2, 0>, 2 }\n"
        "disc { <1, 1, 1>, <0, 2, 0>, 2, 1 finish { ambient 0.5 } }\n"
        "sphere { <0, 0, 0>, 1 scale 2 } sphere { <0, 0, 0>, 1 scale <1, 2, 3> }\n"
        "mesh { triangle { <0, 0, 0>, <1, 0, 0>, <0, 1, 0> }\n"
        "       triangle { <0, 0, 1>, <1, 0, 1>, <0, 1, 1> pigment { color rgb <0, 1, 0> } }\n"
        "       rotate <0, 90, 0> }\n"
        "triangle { <0, 0, 0>, <1, 0, 0>, <0, 1, 0> }\n");
    ASSERT_EQ(read.objects.size(), 8u);
    const auto* cylinder = dynamic_cast<const Cone*>(read.objects[0]);
    ASSERT_NE(cylinder, nullptr);
    EXPECT_TRUE(cylinder->open);
    EXPECT_EQ(cylinder->capRadius, 0.5);
    EXPECT_EQ(read.objects[0]->color.r, 1);
    EXPECT_FALSE(dynamic_cast<const Cone*>(read.objects[1])->open);
    EXPECT_EQ(dynamic_cast<const Disc*>(read.objects[2])->holeRadius, 0);
    EXPECT_EQ(dynamic_cast<const Disc*>(read.objects[3])->holeRadius, 1);
    EXPECT_EQ(read.objects[3]->finish.ambient, 0.5);
    // One factor or three.
    EXPECT_EQ(read.objects[4]->getCorner2(), Point(2, 2, 2));
    EXPECT_EQ(read.objects[5]->getCorner2(), Point(1, 2, 3));
    // The mesh's last triangle's pigment is the mesh's; its turn applies
    // to all; the triangle after it is a statement of its own.
    const auto* turned = dynamic_cast<const TransformedObject*>(read.objects[6]);
    ASSERT_NE(turned, nullptr);
    const auto* mesh = dynamic_cast<const Mesh*>(&turned->inner());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->faces.size(), 2u);
    EXPECT_EQ(mesh->color.g, 1);
    EXPECT_NE(dynamic_cast<const Triangle*>(read.objects[7]), nullptr);
}

TEST(ShapeStatements, BadStatementsAreErrorsAtTheirToken) {
    EXPECT_EQ(errorOf("cylinder { <0, 0, 0>, <0, 0, 0>, 1 }"),
              "s.pov:1:34: expected a cap apart from the base after \"0, 0, 0>,\", "
              "found \"1\" (condition 'base != cap')");
    EXPECT_EQ(errorOf("cone { <0, 0, 0>, -1, <0, 1, 0>, 0 }"),
              "s.pov:1:19: expected a non-negative radius after \"0, 0, 0>,\", found "
              "\"-1\" (condition 'base radius >= 0')");
    EXPECT_EQ(errorOf("disc { <0, 0, 0>, <0, 0, 0>, 1 }"),
              "s.pov:1:30: expected a disc with a normal after \"0, 0, 0>,\", found "
              "\"1\" (condition 'normal != <0, 0, 0>')");
    EXPECT_EQ(errorOf("sphere { <0, 0, 0>, 1 scale 0 }"),
              "s.pov:1:29: expected a non-zero number after \"0>, 1 scale\", found \"0\" "
              "(condition 'scale factor != 0')");
    EXPECT_EQ(errorOf("mesh { pigment { color rgb <1, 1, 1> } }"),
              "s.pov:1:8: expected \"triangle\" or \"smooth_triangle\" after \"mesh {\", found "
              "\"pigment\" (condition 'a mesh has triangles')");
    EXPECT_NE(errorOf("sphere { <0, 0, 0>, 1 translate <1, 2 }").find("expected a number"),
              std::string::npos);
    EXPECT_NE(errorOf("smooth_triangle { <0, 0, 0>, <0, 0, 1> }").find("expected a number"),
              std::string::npos);
}

TEST(ShapeStatements, WindowAndWholeQueueReadTheSame) {
    // "scale 2" then numbers that belong to no statement: the window must
    // see the token after the factor to tell one factor from three.
    const std::string text =
        "sphere { <0, 0, 0>, 1 scale 2 } 5 sphere { <0, 0, 0>, 1 scale 2 2 2 }"
        " obj_mesh { \"no such model.obj\" }";
    Read window;
    std::string streamed, whole;
    try {
        window.scene(text);
    } catch (const SceneError& error) {
        streamed = sceneErrorLine("s.pov", error);
    }
    Read queue;
    std::deque<std::string> tokens = tokensOf(text);
    testing::internal::CaptureStdout();
    try {
        parse_statements(tokens, {128, 96}, queue.objects, queue.lights, &queue.camera);
    } catch (const SceneError& error) {
        whole = sceneErrorLine("s.pov", error);
    }
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(window.objects.size(), 2u);
    ASSERT_EQ(queue.objects.size(), 2u);
    EXPECT_EQ(window.objects[0]->getCorner2(), queue.objects[0]->getCorner2());
    EXPECT_EQ(window.objects[1]->getCorner2(), queue.objects[1]->getCorner2());
    EXPECT_NE(streamed.find("(condition 'the model can be read')"), std::string::npos);
    EXPECT_NE(whole.find("(condition 'the model can be read')"), std::string::npos);
}
