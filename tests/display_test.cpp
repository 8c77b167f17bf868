// Start-up of the window, mouse and display, its numbered failures, and the shutdown.
#include <gtest/gtest.h>

#include <ostream>

#include "app/program.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "display/display.h"
#include "input/mouse.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

namespace {

using DisplayTest = ScratchTest;

int live_objects_but_windows() {
    return soft_live_total() - soft_live("window") - soft_live("destroyed-window");
}

TEST_F(DisplayTest, StartsWithFiveSurfacesAndThreeFonts) {
    ASSERT_TRUE(init_display(nullptr, 1));
    EXPECT_EQ(screen.startup_error, 0);
    EXPECT_EQ(soft_live("surface"), 5);
    EXPECT_EQ(soft_live("font"), 2);  // plus the stock fixed font, which is not created
    EXPECT_NE(screen.font_fixed, nullptr);
    EXPECT_EQ(soft_surface_bits(screen.front_surface), 32);
    EXPECT_EQ(soft_surface_role(screen.back_surface), "back");
    EXPECT_EQ(pointer.app_active, 1);  // showing the window activated it
    EXPECT_TRUE(headless_message_boxes().empty());
    shutdown_all();
    EXPECT_EQ(live_objects_but_windows(), 0);
}

struct StartupFailure {
    const char* fault;
    uint8_t code;
    const char* text;
};

// Test logs name the failing operation instead of dumping the struct's bytes.
void PrintTo(const StartupFailure& failure, std::ostream* out) {
    *out << failure.fault;
}

class StartupFailureTest : public ScratchTest,
                           public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureTest, ReleasesEverythingThenShowsTheNumberedMessage) {
    const StartupFailure& failure = GetParam();
    ASSERT_TRUE(headless_fail(failure.fault));
    if (std::string(failure.fault) == "mode16") headless_fail("mode32");
    EXPECT_NE(run_program({"click left"}), 0);
    EXPECT_EQ(screen.startup_error, failure.code);
    ASSERT_EQ(headless_message_boxes().size(), 1u);
    EXPECT_EQ(headless_message_boxes()[0].caption, "QZVIEW");
    EXPECT_EQ(headless_message_boxes()[0].text, failure.text);
    EXPECT_EQ(headless_message_boxes()[0].live_objects, 0);
    EXPECT_EQ(live_objects_but_windows(), 0);
    EXPECT_EQ(soft_live("window"), 0);  // destroyed after the message
    EXPECT_STREQ(program_startup_failure_text(), failure.text);
    EXPECT_EQ(headless_script_lines_left(), 1u);  // nothing waited for input
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, StartupFailureTest,
    ::testing::Values(
        StartupFailure{"mouse-input", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-device", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-format", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-coop", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-event", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-notify", 8, "MAUSINIT FEHLER"},
        StartupFailure{"mouse-buffer", 8, "MAUSINIT FEHLER"},
        StartupFailure{"ddraw", 2, "2 DIREKTX-OBJEKT kann nicht erstellt werden"},
        StartupFailure{"coop", 3, "3 FULLSCREENMODE kann nicht erstellt werden"},
        StartupFailure{"mode16", 4, "4 VIDEOMODUS 1024 x 768 kann nicht eingestellt werden"},
        StartupFailure{"primary", 5, "5 Zuwenig Ram-Speicher auf der VGA-KARTE (min. 16 MB)"},
        StartupFailure{"backbuffer", 6, "6 Backbuffer kann nicht initalisiert werden"},
        StartupFailure{"offscreen1", 7, "7 Zuwenig freier Hauptspeicher (min. 128 MB)"},
        StartupFailure{"offscreen2", 7, "7 Zuwenig freier Hauptspeicher (min. 128 MB)"},
        StartupFailure{"offscreen3", 7, "7 Zuwenig freier Hauptspeicher (min. 128 MB)"}),
    [](const ::testing::TestParamInfo<StartupFailure>& info) {
        std::string name = info.param.fault;
        for (char& c : name)
            if (c == '-') c = '_';
        return name;
    });

TEST_F(DisplayTest, NoWindowEndsSilently) {
    headless_fail("window");
    EXPECT_NE(run_program({"click left"}), 0);
    EXPECT_EQ(screen.startup_error, 1);
    EXPECT_TRUE(headless_message_boxes().empty());
    EXPECT_EQ(soft_live_total(), 0);
    EXPECT_STREQ(program_startup_failure_text(), "1 Kann kein Windows-Fenster \366ffnen");
}

TEST_F(DisplayTest, MouseFailureNeverChangesTheDisplayMode) {
    headless_fail("mouse-buffer");
    EXPECT_FALSE(init_display(nullptr, 1));
    EXPECT_EQ(screen.display_device, nullptr);
    EXPECT_EQ(pointer.input_object, nullptr);
    EXPECT_EQ(pointer.mouse_event, nullptr);
}

TEST_F(DisplayTest, SixteenBitModeIsUsedSilently) {
    headless_fail("mode32");
    ASSERT_TRUE(init_display(nullptr, 1));
    EXPECT_TRUE(headless_message_boxes().empty());
    for (Surface s : {screen.front_surface, screen.back_surface, screen.sheet_surface,
                      screen.picture_surface, screen.spare_surface})
        EXPECT_EQ(soft_surface_bits(s), 16);
    shutdown_all();
}

TEST_F(DisplayTest, ShutdownIsSafeBeforeStartAndTwice) {
    shutdown_all();
    ASSERT_TRUE(init_display(nullptr, 1));
    shutdown_all();
    shutdown_all();
    EXPECT_EQ(screen.front_surface, nullptr);
    EXPECT_EQ(screen.back_surface, nullptr);
    EXPECT_EQ(screen.display_device, nullptr);
    EXPECT_EQ(screen.font_large, nullptr);
    EXPECT_EQ(pointer.mouse_device, nullptr);
    EXPECT_EQ(live_objects_but_windows(), 0);
}

TEST_F(DisplayTest, FontsPresentBeforeStartAreReplaced) {
    screen.font_medium = font_create(24);
    screen.font_large = font_create(32);
    ASSERT_TRUE(init_display(nullptr, 1));
    EXPECT_EQ(soft_live("font"), 2);
    shutdown_all();
}

}  // namespace
