// The preview's marks for the lights: the first as it always was, the
// others small in their colours, with their aim and their rectangles.
#include "lighting/light_markers.h"

#include <gtest/gtest.h>

#include "light.h"

namespace {

bool samePoint(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

TEST(LightMarkers, EveryLightIsMarkedAtItsPlace) {
    EXPECT_TRUE(lightMarkers({}).empty());
    Light first(Point(1, 2, 3), Color(0.2, 0.3, 0.4));
    Light spot(Point(0, 5, 0), Color(2, 0.5, 0));
    spot.modifiers.spotlight = true;
    spot.modifiers.pointAt = Point(0, 0, -1);
    Light area(Point(4, 4, 4), Color(0, 0, 1));
    area.modifiers.axis1 = Vector3(2, 0, 0);
    area.modifiers.axis2 = Vector3(0, 0, 4);
    area.modifiers.samples1 = 3;
    area.modifiers.samples2 = 3;
    const std::vector<LightMarker> markers = lightMarkers({&first, &spot, &area});
    ASSERT_EQ(markers.size(), 3u);

    // The first keeps the large white ball, whatever its colour.
    EXPECT_TRUE(samePoint(markers[0].at, first.location));
    EXPECT_EQ(markers[0].radius, 0.5);
    EXPECT_EQ(markers[0].color.r, 1);
    EXPECT_EQ(markers[0].color.g, 1);
    EXPECT_EQ(markers[0].color.b, 1);
    EXPECT_FALSE(markers[0].aimed);
    EXPECT_FALSE(markers[0].area);

    // The others are smaller, in their colour clipped to what a window shows.
    EXPECT_LT(markers[1].radius, markers[0].radius);
    EXPECT_EQ(markers[1].color.r, 1);
    EXPECT_EQ(markers[1].color.g, 0.5);
    EXPECT_TRUE(markers[1].aimed);
    EXPECT_TRUE(samePoint(markers[1].aimAt, Point(0, 0, -1)));
    EXPECT_FALSE(markers[1].area);

    // The area light's rectangle is centred on its place.
    ASSERT_TRUE(markers[2].area);
    EXPECT_FALSE(markers[2].aimed);
    EXPECT_TRUE(samePoint(markers[2].corners[0], Point(3, 4, 2)));
    EXPECT_TRUE(samePoint(markers[2].corners[1], Point(5, 4, 2)));
    EXPECT_TRUE(samePoint(markers[2].corners[2], Point(5, 4, 6)));
    EXPECT_TRUE(samePoint(markers[2].corners[3], Point(3, 4, 6)));
}
