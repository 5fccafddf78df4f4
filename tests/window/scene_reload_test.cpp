#include "window/scene_reload.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "main.h"
#include "scene_file.h"
#include "state.h"
#include "test_support.h"

using testing_support::writeFile;

namespace {

const std::string CAMERA =
    "camera { location <0, 2, 10> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }\n";
const std::string LIGHT = "light_source { <4, 5, 6> color rgb <1, 1, 1> }\n";
const std::string RED_SCENE = CAMERA + LIGHT +
                              "sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0, 0> } }\n"
                              "box { <2, 0, 0>, <3, 1, 1> }\n"
                              "plane { <0, 1, 0>, -1 }\n";
const std::string BLUE_SCENE = CAMERA + LIGHT +
                               "sphere { <0, 0, 0>, 1 pigment { color rgb <0, 0, 1> } }\n"
                               "plane { <0, 1, 0>, -1 }\n";

// A save the watch can tell from the previous one even when it has the same
// size: file times are kept at a granularity of a few milliseconds.
std::string save(const std::string& text) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return writeFile("reload.pov", text);
}

// The scene as start-up reads it, with the file's own progress lines hidden.
void startWith(const std::string& text) {
    testing_support::resetGlobals();
    gInputFileName = save(text);
    testing::internal::CaptureStdout();
    parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera);
    testing::internal::GetCapturedStdout();
    buildHierarchy();
}

// Polls quietly; what the reader prints goes nowhere, errors are returned.
bool poll(SceneWatch& watch, std::string* errors = nullptr) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool replaced = watch.poll();
    testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (errors != nullptr) *errors = err;
    // These scenes warn (objects without a finish); what they warn is tested
    // on its own below.
    EXPECT_TRUE(errors != nullptr || testing_support::withoutWarnings(err).empty()) << err;
    return replaced;
}

void freeScene() {
    deleteObjects(gObjects);
    deleteObjects(gNodeList);
    deleteLights(lights);
    testing_support::resetGlobals();
}

}  // namespace

TEST(SceneReload, ASaveIsReadOnceItHoldsStillAndKeepsTheMovedCamera) {
    startWith(RED_SCENE);
    SceneWatch watch(camera);
    camera.zoom(0.5);
    const Camera moved = camera;
    ASSERT_EQ(gNodeList.size(), 3u);  // two leaves and their parent
    gBvhStep = 3;
    EXPECT_FALSE(poll(watch));

    // Caught half-written, then complete: only the version that held still
    // for one call is read.
    save(BLUE_SCENE.substr(0, BLUE_SCENE.size() / 2));
    EXPECT_FALSE(poll(watch));
    save(BLUE_SCENE);
    EXPECT_FALSE(poll(watch));
    EXPECT_EQ(gObjects.size(), 3u);
    EXPECT_TRUE(poll(watch));
    EXPECT_FALSE(poll(watch));

    ASSERT_EQ(gObjects.size(), 2u);
    EXPECT_EQ(gObjects[0]->color.r, 0);
    EXPECT_EQ(gObjects[0]->color.b, 1);
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->location, Vector3(4, 5, 6));
    // The hierarchy is the new scene's, and the boxes shown stay within it.
    EXPECT_EQ(gNodeList.size(), 1u);
    EXPECT_EQ(gBvhStep, 1);
    // Same camera statement: the view the user moved to stays.
    EXPECT_EQ(camera.eye, moved.eye);
    EXPECT_EQ(camera.lookAt, moved.lookAt);
    freeScene();
}

TEST(SceneReload, ANewCameraStatementReplacesTheViewAndItsTurn) {
    startWith(RED_SCENE);
    SceneWatch watch(camera);
    camera.zoom(0.5);
    gRotate = 30;
    gPixelWidth = 200;  // the window was resized
    gPixelHeight = 150;
    std::string text = RED_SCENE;
    text.replace(text.find("<0, 2, 10>"), 10, "<1, 2, 10>");
    save(text);
    poll(watch);
    EXPECT_TRUE(poll(watch));
    EXPECT_EQ(camera.eye, Vector3(1, 2, 10));
    EXPECT_EQ(camera.lookAt, Vector3(0, 0, 0));
    EXPECT_EQ(camera.right, Vector3(1.33, 0, 0));
    EXPECT_EQ(camera.xRes, 200);
    EXPECT_EQ(camera.yRes, 150);
    EXPECT_EQ(gRotate, 0);

    freeScene();
}

TEST(SceneReload, ASaveThatDoesNotReadIsReportedOnceAndTheSceneStays) {
    startWith(RED_SCENE);
    SceneWatch watch(camera);
    const auto objects = gObjects;
    const Camera before = camera;
    const struct {
        std::string text;
        std::string error;
    } bad[] = {
        {"sphere { <0, 0, 0>, x }",
         ":1:21: expected a number after \"0, 0, 0>,\", found \"x\" (condition 'ss')"},
        // A camera the renderer would refuse: the view direction overflows.
        {"camera { location <1e308, 0, 0> up <0, 1, 0> right <1, 0, 0> look_at <-1e308, 0, 0> }",
         ": the camera's location, look_at and up give no usable view directions "
         "(condition 'fabs(u * v) < 0.00000001')"},
    };
    for (const auto& version : bad) {
        save(version.text);
        std::string errors;
        EXPECT_FALSE(poll(watch, &errors));
        EXPECT_FALSE(poll(watch, &errors));
        EXPECT_EQ(testing_support::withoutWarnings(errors), gInputFileName + version.error + "\n");
        EXPECT_FALSE(poll(watch, &errors));
        EXPECT_EQ(errors, "");
        EXPECT_EQ(gObjects, objects);
        EXPECT_EQ(camera.eye, before.eye);
    }

    // A missing file is one more version that does not read.
    std::remove(gInputFileName.c_str());
    std::string errors;
    poll(watch, &errors);
    EXPECT_FALSE(poll(watch, &errors));
    EXPECT_EQ(errors, gInputFileName + ": cannot open scene file: No such file or directory\n");

    // The next good save is read.
    save(BLUE_SCENE);
    poll(watch);
    EXPECT_TRUE(poll(watch));
    EXPECT_EQ(gObjects.size(), 2u);
    freeScene();
}

TEST(SceneReload, ASaveThatChangesOnlyTheRightReplacesTheCamera) {
    startWith(RED_SCENE);
    SceneWatch watch(camera);
    camera.zoom(0.5);
    std::string text = RED_SCENE;
    text.replace(text.find("<1.33, 0, 0>"), 12, "<2.5, 0, 0>");
    save(text);
    poll(watch);
    EXPECT_TRUE(poll(watch));
    EXPECT_EQ(camera.right, Vector3(2.5, 0, 0));
    // The whole statement is the file's again, the zoom undone.
    EXPECT_EQ(camera.eye, Vector3(0, 2, 10));
    freeScene();
}

TEST(SceneReload, WarningsArePrintedOncePerSaveAndStrictRefusesTheSave) {
    const std::string clean =
        CAMERA + LIGHT +
        "sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0, 0> } finish { ambient 1 } }\n";
    const std::string typo = CAMERA + LIGHT +
                             "sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0, 0> } "
                             "finish { ambient 1 } }\nshpere { <1, 0, 0>, 1 }\n";
    const std::string warning =
        ":4:1: warning: skipped 5 words starting \"shpere 1 0 ...\", words that no statement "
        "reads; did you mean 'sphere'?\n";
    for (const bool strict : {false, true}) {
        startWith(clean);
        SceneWatch watch(camera, strict);
        const auto objects = gObjects;
        save(typo);
        std::string errors;
        EXPECT_FALSE(poll(watch, &errors));
        EXPECT_EQ(errors, "");
        EXPECT_EQ(poll(watch, &errors), !strict);
        if (strict) {
            EXPECT_EQ(errors, gInputFileName + warning + gInputFileName +
                                  ": the scene warns and --strict is on: it is not shown\n");
            EXPECT_EQ(gObjects, objects);
        } else {
            EXPECT_EQ(errors, gInputFileName + warning);
        }
        EXPECT_FALSE(poll(watch, &errors));
        EXPECT_EQ(errors, "");
        freeScene();
    }
}
