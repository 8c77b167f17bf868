// The show's keys, the wheel and the slideshow delay, each held against what the
// panel's buttons and the menu do in the same show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless.h"
#include "tests/show_fixture.h"

namespace {

// What a run left behind: the picture shown at its end, what it played, how it ended.
struct Outcome {
    uint32_t shown;
    std::vector<std::string> sounds;
    int status;
    size_t lines_left;
};

class ShowKeysTest : public ScratchTest {
  protected:
    // A show of three pictures, 100, 101 and 102.
    void SetUp() override {
        ScratchTest::SetUp();
        show.picture_count = 3;
        for (int i = 1; i <= 3; ++i)
            show.pic_file[i] = 99 + i;
        write_show_files(3, &show);
        for (const char* sound :
             {"bsou1.WAV", "bsou2.WAV", "bsou3.WAV", "bsou7.WAV", "bsou101.WAV"})
            write_test_wave(sound, 2000);
    }
    Outcome run(const Script& script, ShowOptions options = {true, 0}) {
        headless_reset();
        reset_global_state();
        Script with_shot = script;
        with_shot.line("shot last.bmp");
        const int status = run_program(with_shot.lines(), options);
        return {shot_pixel("last.bmp", 600, 400), headless_sound_lines(), status,
                headless_script_lines_left()};
    }
    // The title ended, then each line.
    static Script after_title(const std::vector<std::string>& lines) {
        Script script;
        script.left();
        for (const std::string& line : lines)
            script.line(line);
        return script;
    }
    ExpectedShow show;
};

TEST_F(ShowKeysTest, KeysAndWheelStepAsThePanelsButtons) {
    const Outcome two_on = run(Script().left().next().next());
    const Outcome one_back = run(Script().left().previous());
    EXPECT_EQ(two_on.shown, screenshot_colour(102));
    EXPECT_EQ(std::count(two_on.sounds.begin(), two_on.sounds.end(), "load 2 7"), 1);
    for (const char* key : {"key right", "key space", "key pagedown", "wheel -1"}) {
        const Outcome by_key = run(after_title({key, key}));
        EXPECT_EQ(by_key.shown, two_on.shown) << key;
        EXPECT_EQ(by_key.sounds, two_on.sounds) << key;  // click sound 7 included
    }
    for (const char* key : {"key left", "key backspace", "key pageup", "wheel 1"}) {
        const Outcome by_key = run(after_title({key}));
        EXPECT_EQ(by_key.shown, one_back.shown) << key;
        EXPECT_EQ(by_key.sounds, one_back.sounds) << key;
    }
}

TEST_F(ShowKeysTest, HomeEndAndMusicAsTheMenusChoices) {
    Script to_last = Script().left().right().menu_row(3);
    EXPECT_EQ(run(after_title({"key end"})).shown, run(to_last).shown);
    Script to_first = Script(to_last).right().menu_row(2);
    EXPECT_EQ(run(after_title({"key end", "key home"})).shown, run(to_first).shown);
    Script music_off = Script().left().right().menu_row(4);
    EXPECT_EQ(run(after_title({"key m"})).sounds, run(music_off).sounds);
}

TEST_F(ShowKeysTest, EscapeAndQOpenTheMenuWhereEscapeGoesBackAndQQuits) {
    for (const char* key : {"key escape", "key q"}) {
        run(after_title({key}));
        EXPECT_EQ(shot_pixel("last.bmp", 150, 150), sheet_colour::menu) << key;
    }
    run(after_title({"key escape", "key escape"}));
    EXPECT_EQ(shot_pixel("last.bmp", 150, 150), screenshot_colour(100));
    const Outcome quit = run(after_title({"key q", "key q", "key right"}));
    EXPECT_EQ(quit.status, 0);
    EXPECT_EQ(quit.lines_left, 2u);  // the right key and the shot were never taken
}

TEST_F(ShowKeysTest, WithoutTheOptionAndInTheEditorTheKeysKeepTheirMeaning) {
    const std::vector<std::string> keys = {"key right",  "key space", "key end", "wheel -1",
                                           "key escape", "key q",     "key m"};
    const Outcome still = run(Script().left());
    const Outcome ignored = run(after_title(keys), ShowOptions{});
    EXPECT_EQ(ignored.shown, still.shown);
    EXPECT_EQ(ignored.sounds, still.sounds);

    // In the editor Escape only cancels the prompt, and Right moves the box placed.
    Script editor = Script().left().right().editor_switch().bar(10).bar(10);
    editor.line("key escape").bar(13).bar(13).click(300, 300).line("key right").right();
    editor.line("wheel -1").line("key pagedown");
    EXPECT_EQ(run(editor).shown, screenshot_colour(100));
    EXPECT_NE(shot_pixel("last.bmp", 150, 150), sheet_colour::menu);
    bool moved = false;
    for (const HeadlessText& text : headless_texts())
        moved = moved || text.text.rfind("X 301 Y 300", 0) == 0;
    EXPECT_TRUE(moved);
}

TEST_F(ShowKeysTest, DelayMovesOnAsTheNextButtonWhileNoInputComes) {
    const ShowOptions every_5s{false, 5000};
    const Outcome two_on = run(Script().left().next().next());
    const Outcome by_delay = run(after_title({"wait 12000"}), every_5s);
    EXPECT_EQ(by_delay.shown, two_on.shown);
    EXPECT_EQ(by_delay.sounds, two_on.sounds);
    // Input within the delay starts it again; the title waits for it as well.
    EXPECT_EQ(run(after_title({"wait 4000", "move 1 0", "wait 4000"}), every_5s).shown,
              screenshot_colour(100));
    EXPECT_EQ(run(Script().line("wait 6000"), every_5s).shown, screenshot_colour(100));
    // Not in the editor.
    Script editor = Script().left().right().editor_switch().line("wait 20000");
    EXPECT_EQ(run(editor, every_5s).shown, screenshot_colour(100));
}

}  // namespace
