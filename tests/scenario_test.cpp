// The whole program on the scripted machine, clicked and typed as a user would.
#include <gtest/gtest.h>

#include "app/program.h"
#include "display/display.h"
#include "editor/editor.h"
#include "platform/headless/headless.h"
#include "show/picture_table.h"
#include "tests/show_fixture.h"

namespace {

class ScenarioTest : public ScratchTest {
  protected:
    // A show of three pictures, 100, 101 and 102.
    void SetUp() override {
        ScratchTest::SetUp();
        show.picture_count = 3;
        for (int i = 1; i <= 3; ++i)
            show.pic_file[i] = 99 + i;
        show.pic_box1[2] = 4;
        show.pic_level[3] = 2;
        write_show_files(5, &show);
    }
    // Runs the script, then takes a last screenshot before the window goes.
    int run(const Script& script) {
        Script with_shot = script;
        with_shot.line("shot last.bmp");
        return run_program(with_shot.lines());
    }
    void start_again() {
        headless_reset();
        reset_global_state();
    }
    // The picture on the screen at the end, told by a pixel no layer covers.
    int32_t shown_screenshot() {
        const uint32_t seen = shot_pixel("last.bmp", 600, 400);
        for (int32_t n = 100; n < 105; ++n)
            if (seen == screenshot_colour(n)) return n;
        return 0;
    }
    bool texts_contain(const std::string& text) {
        for (const HeadlessText& t : headless_texts())
            if (t.text == text) return true;
        return false;
    }
    ExpectedShow show;
};

TEST_F(ScenarioTest, TitleFirstThenTheFirstClickOnlyEndsIt) {
    Script script;
    script.line("shot title.bmp").next().line("shot first.bmp");
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(read_file_bytes("title.bmp").size(), 54u + 1024 * 768 * 3);
    // The click on "next" that ended the title did not step on.
    EXPECT_EQ(picture_table.current_picture, 1);
    EXPECT_TRUE(texts_contain("KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < "));
    EXPECT_TRUE(texts_contain("KLICK"));
    EXPECT_EQ(soft_live_total() - soft_live("destroyed-window"), 0);
}

TEST_F(ScenarioTest, NextAndPreviousWrapAtBothEnds) {
    EXPECT_EQ(run(Script().left().next()), 0);
    EXPECT_EQ(shown_screenshot(), 101);
    start_again();
    run(Script().left().next().next().next());  // 2, 3, then round to 1
    EXPECT_EQ(picture_table.current_picture, 1);
    EXPECT_EQ(shown_screenshot(), 100);
    start_again();
    run(Script().left().previous());  // from the first back to the last
    EXPECT_EQ(picture_table.current_picture, 3);
    EXPECT_EQ(shown_screenshot(), 102);
}

TEST_F(ScenarioTest, ClicksOutsideThePanelAndOnItsEdgeAreIgnored) {
    Script script;
    // Elsewhere, on the panel's left and top edge pixels, and on button 1.
    script.left().click(501, 301).click(782, 730).click(1000, 702).click(810, 730);
    run(script);
    EXPECT_EQ(picture_table.current_picture, 1);
    EXPECT_EQ(screen.last_choice, 1);
}

TEST_F(ScenarioTest, MenuChoicesJumpAndQuit) {
    Script script;
    script.left().right().menu_row(3);  // last picture
    run(Script(script).line("shot x.bmp"));
    EXPECT_EQ(picture_table.current_picture, 3);

    start_again();
    run(Script(script).next().menu_button().menu_row(2));  // round to 1 via next, then first
    EXPECT_EQ(picture_table.current_picture, 1);

    start_again();
    Script quit;
    quit.left().right().menu_row(1).line("click left");
    EXPECT_EQ(run(quit), 0);
    EXPECT_EQ(headless_script_lines_left(), 2u);  // ended at the quit click
    EXPECT_EQ(soft_live_total() - soft_live("destroyed-window") - soft_live("window"), 0);
}

TEST_F(ScenarioTest, MenuIgnoresClicksOutsideItsAreasAndRightClickGoesBack) {
    Script script;
    script.left().next().right().click(400, 120).click(170, 340).click(680, 200).right();
    run(script);
    EXPECT_EQ(screen.last_choice, 5);
    EXPECT_EQ(picture_table.current_picture, 2);
    EXPECT_EQ(editor.editor_active, 0);
}

TEST_F(ScenarioTest, EditorSwitchTurnsOnStatusLinesAndPlainFlips) {
    Script script;
    script.left().right().editor_switch();
    run(script);
    EXPECT_EQ(editor.editor_active, 1);
    EXPECT_EQ(editor.status_lines_on, 1);
    EXPECT_EQ(editor.transition_on, 0);
    EXPECT_TRUE(texts_contain("EDITMODUS W\xC4HLEN !"));
    EXPECT_TRUE(texts_contain("FILENR.  100 BILD    1 VON    3 BOX    0 *    0 *    0"));
}

TEST_F(ScenarioTest, EditorButtonsNeedTwoClicksAndAnotherButtonOnlySelects) {
    Script script;
    script.left().right().editor_switch().bar(5).bar(6).bar(6);
    run(script);
    EXPECT_EQ(picture_table.picture_count, 2);  // 5 was only selected, 6 carried out: deleted
    EXPECT_EQ(picture_table.pic_file[1], 101);
    EXPECT_EQ(editor.selected_edit_mode, 6);
}

TEST_F(ScenarioTest, AppendThroughThePromptAndSave) {
    Script script;
    script.left().right().editor_switch().bar(1).bar(1).enter().bar(2).bar(2).bar(8).bar(8);
    EXPECT_EQ(run(script), 0);
    show.picture_count = 4;
    show.pic_file[4] = 103;
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), show.file_bytes());
    EXPECT_EQ(editor.editor_active, 0);  // saving leaves the editor
    EXPECT_EQ(editor.transition_on, 1);
    EXPECT_EQ(picture_table.current_picture, 4);
}

TEST_F(ScenarioTest, PromptTakesTypedDigitsAndEnterStoresThem) {
    Script script;
    script.left().right().editor_switch().next().bar(10).bar(10).type("2").enter();
    run(script);
    EXPECT_EQ(picture_table.pic_box1[2], 42);  // offered 4, typed 2
    EXPECT_TRUE(texts_contain("MODUS 10 BOXNUMMER EINGEBEN ( AKTUELL )"));
    EXPECT_TRUE(texts_contain("42_"));
    EXPECT_EQ(editor.prompt_mode, 0);
}

TEST_F(ScenarioTest, PromptEditingKeys) {
    Script script;
    script.left().right().editor_switch().bar(11).bar(11);
    // Tab empties, Backspace on nothing keeps it empty, a space is refused as the
    // first character, letters and umlauts are taken, the sharp s and minus are not.
    script.line("char 9").line("char 8").type(" 1").type("\xC3\x9F-").type("7 9").enter();
    run(script);
    EXPECT_EQ(picture_table.pic_level[1], 17);  // "17 9" reads as 17
    EXPECT_TRUE(texts_contain("17 9_"));
}

TEST_F(ScenarioTest, TabThenEnterCancelsAndClearsTheTypedNumbers) {
    Script script;
    script.left().right().editor_switch().bar(3).bar(3).line("char 9").enter();
    run(script);
    EXPECT_EQ(picture_table.pic_file[1], 100);
    EXPECT_EQ(picture_table.exchange_file_number, 0);
    EXPECT_EQ(editor.prompt_mode, 0);
}

TEST_F(ScenarioTest, ExchangeThroughThePrompt) {
    Script script;
    script.left().right().editor_switch().bar(3).bar(3).line("char 8").type("4").enter();
    script.bar(4).bar(4);
    run(script);
    EXPECT_EQ(picture_table.pic_file[1], 104);
    EXPECT_EQ(shown_screenshot(), 104);
}

TEST_F(ScenarioTest, AClickWhilePromptIsOpenCancelsEverything) {
    Script script;
    script.left().right().editor_switch().bar(9).bar(9).type("5").bar(9);
    run(script);
    EXPECT_EQ(editor.prompt_mode, 0);
    EXPECT_EQ(editor.selected_edit_mode, 0);
    EXPECT_EQ(editor.edit_mode, 0);
    EXPECT_EQ(picture_table.pic_wave[1], 0);
}

TEST_F(ScenarioTest, LeavingTheEditorLeavesAnOpenPromptOpen) {
    Script script;
    script.left().right().editor_switch().bar(16).bar(16).right().type("8").enter();
    run(script);
    EXPECT_EQ(editor.editor_active, 0);
    EXPECT_EQ(picture_table.pic_box3[1], 8);  // "0" offered, "8" typed: 08
}

TEST_F(ScenarioTest, PlacingABoxByClicksAndArrowKeys) {
    Script script;
    script.left().right().editor_switch().bar(14).click(301, 201);
    EXPECT_EQ(script.x(), 301);
    script.line("key left").line("key up").line("key up").click(981, 731);  // the panel too
    script.line("key right").right().line("key right");  // ends placing; the key then does nothing
    run(script);
    EXPECT_EQ(picture_table.pic_box2_x[1], 982);
    EXPECT_EQ(picture_table.pic_box2_y[1], 731);
    EXPECT_EQ(picture_table.current_picture, 1);  // the click on "next" placed the box instead
    EXPECT_EQ(editor.editor_active, 1);
    EXPECT_EQ(editor.edit_mode, 0);
}

TEST_F(ScenarioTest, ArrowKeysMoveBoxThreeLeftPastZero) {
    show.pic_box3_x[1] = 3;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    Script script;
    script.left().right().editor_switch().bar(15);
    for (int i = 0; i < 5; ++i)
        script.line("key left");
    run(script);
    EXPECT_EQ(picture_table.pic_box3_x[1], -2);
}

TEST_F(ScenarioTest, AppendIsRefusedWhenTheTableIsFull) {
    show.picture_count = 499;
    for (int i = 1; i <= 499; ++i)
        show.pic_file[i] = 100 + i % 5;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    Script script;
    script.left().right().editor_switch().bar(1).bar(1).enter().bar(2).bar(2);
    run(script);
    EXPECT_EQ(picture_table.picture_count, 499);
    EXPECT_EQ(picture_table.new_file_number, 0);
}

TEST_F(ScenarioTest, MarkInsertAndSaveGiveTheExpectedFile) {
    Script script;
    script.left().right().editor_switch().next().bar(7).bar(7).bar(5).bar(5).next().bar(12).bar(12);
    script.type("6").enter().bar(8).bar(8);
    run(script);
    // Entry 2 marked, then a slot opened after it: entries 2 and 3 both show 101,
    // the mark stays at index 2; box 2 of entry 3 set to 6.
    show.picture_count = 4;
    show.pic_marked[2] = 1;
    show.pic_file[3] = 101;
    show.pic_box1[3] = 4;
    show.pic_file[4] = 102;
    show.pic_level[4] = 2;
    show.pic_level[3] = 0;
    show.pic_box2[3] = 6;
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), show.file_bytes());
}

TEST_F(ScenarioTest, WithoutAShowFileTheShowIsPicture100) {
    std::remove("SCR1.BIL");
    run(Script().left());
    EXPECT_EQ(picture_table.picture_count, 1);
    EXPECT_EQ(picture_table.pic_file[1], 100);
    EXPECT_EQ(shown_screenshot(), 100);
}

TEST_F(ScenarioTest, SoundsOfStartUpClicksOneTimeSoundAndBackgroundToggle) {
    for (int n : {1, 2, 3, 4, 5, 6, 7, 101, 201})
        write_test_wave("bsou" + std::to_string(n) + ".WAV", 11025);
    show.pic_wave[2] = 201;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    Script script;
    script.left().next().next().previous().right().menu_row(4).right().menu_row(4);
    run(script);
    const std::vector<std::string> expected = {
        // start-up: the pool and the background loop, which then starts looping
        "load 2 1", "load 3 2", "load 4 3", "load 1 101", "stop 1", "play 1 loop",
        // next: click 7 into the first idle pool channel, then picture 2's sound once
        "stop 2", "release 2", "load 2 7", "play 2 once", "stop 4", "release 4", "load 4 201",
        "play 4 once",
        // next: channel 2 already holds 7; picture 3 stops the one-time sound
        "play 2 once", "stop 4",
        // previous: back on picture 2, whose sound has been played already
        "play 2 once",
        // the menu's music choice twice: off, then on again where it stopped
        "stop 1", "play 1 loop",
        // the window goes at the end of the script
        "release 1", "release 2", "release 3", "release 4"};
    EXPECT_EQ(headless_sound_lines(), expected);
    EXPECT_EQ(picture_table.pic_wave_played[2], 1);
}

TEST_F(ScenarioTest, WithoutASoundDeviceTheShowRunsSilent) {
    write_test_wave("bsou201.WAV", 100);
    show.pic_wave[2] = 201;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    headless_fail("sound-device");
    EXPECT_EQ(run(Script().left().next().right().menu_row(4)), 0);
    EXPECT_EQ(headless_sound_lines(), std::vector<std::string>{"device none"});
    EXPECT_EQ(picture_table.pic_wave_played[2], 1);  // the file exists: marked as played
    EXPECT_EQ(picture_table.one_time_sound_started, 0);
}

TEST_F(ScenarioTest, ClosingTheWindowEndsTheProgram) {
    Script script;
    script.left().line("close").next();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(headless_script_lines_left(), 3u);  // the move, click and shot after the close
    EXPECT_EQ(soft_live_total() - soft_live("destroyed-window"), 0);
}

}  // namespace
