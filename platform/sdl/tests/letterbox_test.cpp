#include <gtest/gtest.h>

#include "platform/sdl/letterbox.h"

namespace {

TEST(Letterbox, TheShowsOwnSizeFillsTheScreen) {
    const Letterbox box = letterbox_for(1024, 768, 1024, 768);
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 0);
    EXPECT_EQ(box.width, 1024);
    EXPECT_EQ(box.height, 768);
}

TEST(Letterbox, AWideScreenGetsBarsLeftAndRight) {
    const Letterbox box = letterbox_for(1920, 1080, 1024, 768);
    EXPECT_EQ(box.width, 1440);
    EXPECT_EQ(box.height, 1080);
    EXPECT_EQ(box.x, 240);
    EXPECT_EQ(box.y, 0);
}

TEST(Letterbox, ATallScreenGetsBarsAboveAndBelow) {
    const Letterbox box = letterbox_for(1280, 1024, 1024, 768);
    EXPECT_EQ(box.width, 1280);
    EXPECT_EQ(box.height, 960);
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 32);
}

TEST(Letterbox, ASmallerScreenShrinksTheShow) {
    const Letterbox box = letterbox_for(800, 600, 1024, 768);
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 600);
}

// Every box pixel in the span shows a show pixel of the range, and none outside does.
void expect_exact_span(int from, int to, int show, int box) {
    int first = 0, end = 0;
    box_span(from, to, show, box, &first, &end);
    for (int b = 0; b < box; ++b) {
        const int s = show_index_of(b, box, show);
        const bool inside = b >= first && b < end;
        ASSERT_EQ(inside, s >= from && s < to) << "box " << b << " shows " << s;
    }
}

TEST(Letterbox, SpansCoverExactlyThePixelsThatShowTheRange) {
    expect_exact_span(511, 512, 1024, 1280);
    expect_exact_span(0, 1, 1024, 1440);
    expect_exact_span(1016, 1024, 1024, 1280);
    expect_exact_span(100, 300, 768, 960);
    expect_exact_span(511, 513, 1024, 800);  // shrinking: some columns show on no pixel
    expect_exact_span(0, 1024, 1024, 1440);
}

TEST(Letterbox, TheWholeBoxIsCoveredByTheWholeShow) {
    int first = 0, end = 0;
    box_span(0, 768, 768, 1080, &first, &end);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 1080);
    EXPECT_EQ(show_index_of(1079, 1080, 768), 767);
}

}  // namespace
