#include <gtest/gtest.h>

#include "platform/soft/dirty_region.h"

namespace {

void add(DirtyRegion* region, int x, int y, int width, int height) {
    dirty_add(region, DirtyRect{x, y, width, height}, 1024, 768);
}

TEST(DirtyRegion, NeighbouringColumnsBecomeOneRectangle) {
    DirtyRegion region;
    for (int x = 511; x >= 504; --x)
        add(&region, x, 0, 1, 768);
    ASSERT_EQ(region.rects.size(), 1u);
    EXPECT_EQ(region.rects[0].x, 504);
    EXPECT_EQ(region.rects[0].width, 8);
    EXPECT_EQ(region.rects[0].height, 768);
}

TEST(DirtyRegion, TransitionStepsBetweenPausesStayTwoNarrowStrips) {
    // Steps 9 to 16 of the centre-out reveal: columns 503..496 and 520..527.
    DirtyRegion region;
    for (int step = 8; step < 16; ++step) {
        add(&region, 511 - step, 0, 1, 768);
        add(&region, 512 + step, 0, 1, 768);
    }
    ASSERT_EQ(region.rects.size(), 2u);
    EXPECT_EQ(region.rects[0].width + region.rects[1].width, 16);
}

TEST(DirtyRegion, AJoinThatBridgesTwoRectanglesJoinsAllThree) {
    DirtyRegion region;
    add(&region, 0, 0, 10, 10);
    add(&region, 20, 0, 10, 10);
    add(&region, 10, 0, 10, 10);
    ASSERT_EQ(region.rects.size(), 1u);
    EXPECT_EQ(region.rects[0].width, 30);
}

TEST(DirtyRegion, DistantRectanglesStayApart) {
    DirtyRegion region;
    add(&region, 0, 0, 16, 16);
    add(&region, 500, 300, 16, 16);
    EXPECT_EQ(region.rects.size(), 2u);
}

TEST(DirtyRegion, TooManyRectanglesCollapseIntoTheirBoundingBox) {
    DirtyRegion region;
    for (size_t i = 0; i <= DIRTY_RECTS_MAX; ++i)
        add(&region, static_cast<int>(i) * 20, 5, 2, 3);
    ASSERT_EQ(region.rects.size(), 1u);
    EXPECT_EQ(region.rects[0].x, 0);
    EXPECT_EQ(region.rects[0].y, 5);
    EXPECT_EQ(region.rects[0].width, static_cast<int>(DIRTY_RECTS_MAX) * 20 + 2);
    EXPECT_EQ(region.rects[0].height, 3);
}

TEST(DirtyRegion, OnlyThePartOnTheSurfaceCounts) {
    DirtyRegion region;
    add(&region, -5, 760, 20, 20);
    ASSERT_EQ(region.rects.size(), 1u);
    EXPECT_EQ(region.rects[0].x, 0);
    EXPECT_EQ(region.rects[0].y, 760);
    EXPECT_EQ(region.rects[0].width, 15);
    EXPECT_EQ(region.rects[0].height, 8);
    add(&region, 1024, 0, 10, 10);
    add(&region, 0, 0, 0, 10);
    EXPECT_EQ(region.rects.size(), 1u);
}

}  // namespace
