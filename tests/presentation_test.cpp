// What one presentation puts on the screen, the prompts drawn over it, the menu's
// hit areas and the transition.
#include <gtest/gtest.h>

#include <climits>

#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "editor/editor.h"
#include "editor/prompt.h"
#include "input/mouse.h"
#include "platform/headless/headless.h"
#include "screens/menu.h"
#include "screens/presentation.h"
#include "screens/title.h"
#include "screens/transition.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tests/show_fixture.h"

namespace {

class PresentationTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        write_show_files(2, nullptr);
        ASSERT_TRUE(init_display(nullptr, 1));
        ASSERT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::loaded);
        init_picture_table();
        picture_table.picture_count = 2;
        picture_table.pic_file[1] = 100;
        picture_table.pic_file[2] = 101;
        build_show_file_name();
    }
    void TearDown() override {
        shutdown_all();
        ScratchTest::TearDown();
    }
    uint32_t on_screen(int x, int y) { return headless_pixel(screen.front_surface, x, y); }
    std::vector<HeadlessText> texts_at(int y) {
        std::vector<HeadlessText> found;
        for (const HeadlessText& t : headless_texts())
            if (t.y == y || t.y == y + 1) found.push_back(t);
        return found;
    }
};

TEST_F(PresentationTest, EveryLayerOfAFullFrame) {
    picture_table.pic_box3[1] = 7;
    picture_table.pic_box3_x[1] = 300;
    picture_table.pic_box3_y[1] = 300;
    picture_table.pic_level[1] = 60;
    picture_table.pic_marked[1] = 1;
    editor.editor_active = 1;
    editor.edit_mode = 4;
    picture_table.exchange_file_number = 55;
    present_edited_picture();

    const uint32_t picture = screenshot_colour(100);
    EXPECT_EQ(on_screen(600, 400), picture);
    EXPECT_EQ(on_screen(310, 310), box_colour(7));
    EXPECT_EQ(on_screen(105, 105), picture);                // box 1 is 0: not drawn
    EXPECT_EQ(on_screen(80, 50), sheet_colour::level(48));  // level 60 draws strip 48
    EXPECT_EQ(on_screen(279, 65), sheet_colour::level(48));
    EXPECT_EQ(on_screen(280, 50), picture);
    EXPECT_EQ(on_screen(840, 740), sheet_colour::panel);
    EXPECT_EQ(on_screen(839, 740), picture);   // button 1 is left undrawn
    EXPECT_EQ(on_screen(1013, 740), picture);  // black of the panel graphic is see-through
    EXPECT_EQ(on_screen(870, 690), sheet_colour::mark);
    EXPECT_EQ(on_screen(909, 707), sheet_colour::mark);  // over the panel
    EXPECT_EQ(on_screen(0, 700), sheet_colour::bar_left);
    EXPECT_EQ(on_screen(399, 749), sheet_colour::bar_left);
    EXPECT_EQ(on_screen(400, 700), sheet_colour::bar_right);
    EXPECT_EQ(on_screen(799, 749), sheet_colour::bar_right);
    EXPECT_EQ(on_screen(800, 720), picture);
    EXPECT_EQ(screen.nav_panel_left, 782);
    EXPECT_EQ(screen.nav_panel_top, 702);
    EXPECT_EQ(screen.nav_panel_right, 1014);
    EXPECT_EQ(screen.nav_panel_bottom, 760);
    EXPECT_EQ(picture_table.shown_box3, 7);

    const std::string line1 = "FILENR.  100 BILD    1 VON    2 BOX    0 *    0 *    7";
    const std::string line2 = "X 100 Y 100 X 750 Y 180 X 300 Y 300";
    const std::string mode_line = "EDITMODE 4 BILD 100 GEGNEN BILD NUMMER 55 AUSTAUSCHEN";
    const std::vector<HeadlessText>& texts = headless_texts();
    ASSERT_EQ(texts.size(), 6u);
    const struct {
        const std::string& text;
        int x, y;
    } expected[] = {{line1, 10, 6}, {line2, 10, 24}, {mode_line, 10, 660}};
    for (int i = 0; i < 3; ++i) {
        const HeadlessText& shadow = texts[2 * i];
        const HeadlessText& white = texts[2 * i + 1];
        EXPECT_EQ(shadow.text, expected[i].text);
        EXPECT_EQ(white.text, expected[i].text);
        EXPECT_EQ(shadow.x, expected[i].x + 1);
        EXPECT_EQ(shadow.y, expected[i].y + 1);
        EXPECT_EQ(shadow.color, 0x00000Au);
        EXPECT_EQ(white.x, expected[i].x);
        EXPECT_EQ(white.y, expected[i].y);
        EXPECT_EQ(white.color, 0xFFFFFFu);
        EXPECT_EQ(white.font, "medium");
        EXPECT_EQ(white.surface, "back");
    }
}

TEST_F(PresentationTest, ShowModeDrawsNoTextAndNoBar) {
    picture_table.pic_level[1] = -3;
    present_picture(false, false);
    EXPECT_TRUE(headless_texts().empty());
    EXPECT_EQ(on_screen(0, 700), screenshot_colour(100));
    EXPECT_EQ(on_screen(80, 50), screenshot_colour(100));
    EXPECT_EQ(on_screen(840, 740), sheet_colour::panel);
}

TEST_F(PresentationTest, NoDeviceContextShowsTheFrameWithoutText) {
    picture_table.current_picture = 2;
    present_picture(false, false);
    headless_fail("dc");
    editor.editor_active = 1;
    present_edited_picture();
    EXPECT_TRUE(headless_texts().empty());
    EXPECT_EQ(on_screen(600, 400), screenshot_colour(101));
}

TEST_F(PresentationTest, SameScreenshotIsNotReadAgain) {
    present_picture(false, false);
    const int reads = soft_counters().bitmap_file_reads;
    present_picture(false, false);
    picture_table.pic_file[2] = 100;
    picture_table.current_picture = 2;
    present_picture(false, false);
    EXPECT_EQ(soft_counters().bitmap_file_reads, reads);
}

TEST_F(PresentationTest, WideNumbersWidenTheirFields) {
    picture_table.pic_file[1] = 123456;
    picture_table.picture_count = 2;
    picture_table.pic_box1[1] = -5;
    picture_table.shown_box1 = -5;
    char line[LINE_SIZE];
    format_status_line_1(line);
    EXPECT_STREQ(line, "FILENR. 123456 BILD    1 VON    2 BOX   -5 *    0 *    0");
}

TEST_F(PresentationTest, EditModeLines) {
    const struct {
        int mode;
        const char* line;
    } cases[] = {
        {0, "EDITMODUS W\xC4HLEN !"},
        {1, "EDITMODE 1 NEUE BILDNUMMER 7 ( F\xDCR ANH\xC4NGEN EINGEBEN )"},
        {2, "EDITMODE 2 BILDNUMMER 7 ANH\xC4NGEN !"},
        {3, "EDITMODE 3 BILDNUMMER 9 ( AUSTAUSCHEN ) EINGEBEN"},
        {5, "EDITMODE 5 INSERT PLATZ SCHAFFEN"},
        {6, "EDITMODE 6"},
        {7, "EDITMODE 7 MARKIEREN"},
        {8, "EDITMODE 8 SPEICHERN SCR1.BIL"},
        {9, "EDITMODE 9 WAVENUMMER EINGEBEN ( 201 )"},
        {10, "EDITMODE 10 BOXNUMMER EINGEBEN ( 1 )"},
        {11, "EDITMODE 11 LEVELNR. EINGEBEN ( 11 )"},
        {12, "EDITMODE 12 2.BOXNUMMER EINGEBEN ( 2 )"},
        {13, "EDITMODE 13 BOX 1 POS"},
        {14, "EDITMODE 14 BOX 2 POS"},
        {15, "EDITMODE 15 BOX 3 POS"},
        {16, "EDITMODE 16 3.BOXNUMMER EINGEBEN ( 3 )"},
    };
    picture_table.current_picture = 1;
    picture_table.new_file_number = 7;
    picture_table.exchange_file_number = 9;
    picture_table.pic_wave[1] = 201;
    picture_table.pic_box1[1] = 1;
    picture_table.pic_box2[1] = 2;
    picture_table.pic_box3[1] = 3;
    picture_table.pic_level[1] = 11;
    for (const auto& c : cases) {
        editor.edit_mode = c.mode;
        char line[LINE_SIZE];
        format_edit_mode_line(line);
        EXPECT_STREQ(line, c.line);
    }
}

TEST_F(PresentationTest, TransitionUncoversTheFrameColumnByColumn) {
    present_picture(false, false);
    pointer.pointer_x = pointer.pointer_y = 20;
    draw_pointer();
    headless_clear_texts();
    const SoftCounters before = soft_counters();
    picture_table.current_picture = 2;
    present_picture(false, true);
    const SoftCounters& after = soft_counters();
    EXPECT_EQ(after.flips, before.flips);  // no flip: columns copied to the front
    EXPECT_EQ(after.pauses - before.pauses, 64);
    EXPECT_EQ(after.paused_ms - before.paused_ms, 64);
    for (int x : {0, 20, 511, 512, 1023})
        EXPECT_EQ(on_screen(x, 300), screenshot_colour(101)) << x;
    EXPECT_EQ(pointer.pointer_visible, 1);
    EXPECT_EQ(pointer.pointer_saved, 0);
}

TEST_F(PresentationTest, TransitionCopiesOneThousandTwentyFourColumns) {
    present_picture(false, false);
    const int copies = soft_counters().copies;
    pointer.pointer_saved = 0;
    run_transition();
    EXPECT_EQ(soft_counters().copies - copies, 1024);
}

TEST_F(PresentationTest, TitleLines) {
    show_title_screen();
    const std::vector<HeadlessText>& texts = headless_texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].y, 670);
    EXPECT_EQ(texts[0].font, "fixed");
    EXPECT_EQ(texts[0].color, 0xFFFFFFu);
    EXPECT_EQ(texts[1].text, "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < ");
    EXPECT_EQ(texts[1].y, 684);
    EXPECT_EQ(texts[1].font, "large");
    EXPECT_EQ(texts[1].color, 0x00FFFFu);  // COLORREF of yellow
    EXPECT_EQ(texts[2].text, "KLICK");
    EXPECT_EQ(texts[2].y, 710);
    EXPECT_EQ(texts[2].font, "large");
    EXPECT_EQ(on_screen(512, 300), 0x202040u);
    EXPECT_EQ(pointer.pointer_saved, 0);
}

// A show's TITLE.TXT replaces the title line, in the same font, colour and place; a
// file whose line is no title leaves the built-in one.
TEST_F(PresentationTest, TheShowsOwnTitleLine) {
    const std::string own = "MEINE REISE NACH \xC4GYPTEN";  // Windows-1252
    const struct {
        std::string file;
        std::string shown;
    } cases[] = {
        {own + "\r\nsecond line", own},
        {std::string(60, 'X'), std::string(60, 'X')},
        {std::string(61, 'X'), "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < "},
        {"\r\n", "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < "},
        {"TAB\tIN IT", "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        write_file_bytes("TITLE.TXT", std::vector<uint8_t>(c.file.begin(), c.file.end()));
        const size_t before = headless_texts().size();
        show_title_screen();
        const std::vector<HeadlessText>& texts = headless_texts();
        ASSERT_EQ(texts.size(), before + 3);
        const HeadlessText& line = texts[before + 1];
        EXPECT_EQ(line.text, c.shown);
        EXPECT_EQ(line.y, 684);
        EXPECT_EQ(line.x, 10);
        EXPECT_EQ(line.font, "large");
        EXPECT_EQ(line.color, 0x00FFFFu);
    }
}

// --- prompts ---

class PromptTest : public PresentationTest {
  protected:
    // The prompt of editor button `button`, offering `offered`.
    void open(int button, const char* offered) {
        std::snprintf(editor.entry_text, sizeof editor.entry_text, "%s", offered);
        editor.prompt_mode = editor_buttons[button].prompt_kind;
        number_entry_key(0);
    }
    std::string last_entry_drawn() {
        for (auto it = headless_texts().rbegin(); it != headless_texts().rend(); ++it)
            if (it->y == 60) return it->text;
        return "";
    }
};

TEST_F(PromptTest, DrawnStraightOntoTheScreen) {
    present_edited_picture();
    headless_clear_texts();
    open(10, "7");
    const std::vector<HeadlessText>& texts = headless_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].surface, "front");
    EXPECT_EQ(texts[0].text, "MODUS 10 BOXNUMMER EINGEBEN ( AKTUELL )");
    EXPECT_EQ(texts[0].x, 20);
    EXPECT_EQ(texts[0].y, 50);
    EXPECT_EQ(texts[0].color, 0x6464C8u);
    EXPECT_EQ(texts[0].font, "fixed");
    EXPECT_EQ(texts[1].text, "7_");
    EXPECT_EQ(texts[1].font, "large");
    number_entry_key('2');
    EXPECT_EQ(last_entry_drawn(), "72_");
    number_entry_key(13);
    EXPECT_EQ(picture_table.pic_box1[1], 72);
    EXPECT_EQ(editor.prompt_mode, 0);
}

TEST_F(PromptTest, SeventeenCharactersAtMost) {
    picture_table.current_picture = 1;
    open(11, "1234567890123456");
    number_entry_key('7');
    EXPECT_STREQ(editor.entry_text, "12345678901234567");
    const size_t drawn = headless_texts().size();
    const int copies = soft_counters().copies;
    number_entry_key('8');
    EXPECT_STREQ(editor.entry_text, "12345678901234567");
    EXPECT_EQ(headless_texts().size(), drawn);  // not redrawn
    EXPECT_EQ(soft_counters().copies, copies);
    number_entry_key(8);
    EXPECT_STREQ(editor.entry_text, "1234567890123456");
    EXPECT_EQ(last_entry_drawn(), "1234567890123456_");
    number_entry_key(13);
    EXPECT_EQ(picture_table.pic_level[1], INT32_MAX);  // beyond the range: clamped
}

TEST_F(PromptTest, WhichBytesAreTaken) {
    open(9, "");
    for (uint8_t key : {uint8_t{' '}, uint8_t{'1'}, uint8_t{' '}, uint8_t{'x'}, uint8_t{' '},
                        uint8_t{0xDF}, uint8_t{'-'}, uint8_t{0xC4}, uint8_t{'['}, uint8_t{0x80},
                        uint8_t{'z'}, uint8_t{'{'}, uint8_t{0xFC}})
        number_entry_key(key);
    EXPECT_STREQ(editor.entry_text, "1x \xC4[z\xFC");
    number_entry_key(9);
    EXPECT_STREQ(editor.entry_text, "");
    number_entry_key(8);  // nothing to remove: still drawn
    EXPECT_EQ(last_entry_drawn(), "_");
}

TEST_F(PromptTest, EnterOnEmptyTextCancelsAndEscapeClearsTheNumbers) {
    picture_table.current_picture = 1;
    picture_table.pic_wave[1] = 5;
    picture_table.new_file_number = 3;
    picture_table.exchange_file_number = 4;
    open(9, "");
    number_entry_key(13);
    EXPECT_EQ(picture_table.pic_wave[1], 5);
    EXPECT_EQ(picture_table.new_file_number, 0);
    EXPECT_EQ(picture_table.exchange_file_number, 0);
    EXPECT_EQ(editor.prompt_mode, 0);
    picture_table.new_file_number = 3;
    open(1, "12");
    number_entry_key(27);
    EXPECT_EQ(picture_table.new_file_number, 0);
}

TEST_F(PromptTest, NumberConversion) {
    EXPECT_EQ(entry_text_value("12AB"), 12);
    EXPECT_EQ(entry_text_value("AB"), 0);
    EXPECT_EQ(entry_text_value(""), 0);
    EXPECT_EQ(entry_text_value("1 2"), 1);
    EXPECT_EQ(entry_text_value("  -42"), -42);
    EXPECT_EQ(entry_text_value("+7"), 7);
    EXPECT_EQ(entry_text_value("2147483647"), INT32_MAX);
    EXPECT_EQ(entry_text_value("2147483648"), INT32_MAX);
    EXPECT_EQ(entry_text_value("-2147483648"), INT32_MIN);
    EXPECT_EQ(entry_text_value("99999999999999999"), INT32_MAX);
    EXPECT_EQ(entry_text_value("-99999999999999999"), INT32_MIN);
}

// --- the menu ---

class MenuTest : public PresentationTest {
  protected:
    // The choice for a click at (x, y), or 2 (the row clicked next) when the click
    // at (x, y) hits nothing.
    int32_t choice_for_click_at(int x, int y) {
        headless_clear_script();
        pointer.mouse_x = 497;  // the pointer starts where a new run starts it
        pointer.mouse_y = 369;
        Script script;
        script.click(x, y).click(401, 171);
        for (const std::string& line : script.lines())
            headless_add_script_line(line, nullptr);
        return menu_screen_as_the_show_opens_it();
    }
    // The editor switch asks the caller to switch the editor on, as the show does.
    int32_t menu_screen_as_the_show_opens_it() {
        bool editor_switch = false;
        const int32_t choice = menu_screen(&editor_switch);
        if (editor_switch) switch_editor_on();
        return choice;
    }
};

TEST_F(MenuTest, HitAreasHaveExclusiveBounds) {
    const struct {
        int x, y;
        int32_t choice;
    } cases[] = {{400, 120, 2},   {400, 121, 1}, {400, 369, 5}, {350, 200, 2},   {351, 200, 2},
                 {679, 300, 4},   {680, 300, 2}, {170, 340, 2}, {171, 340, 101}, {121, 321, 100},
                 {269, 369, 102}, {270, 340, 2}, {131, 120, 2}, {140, 125, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(choice_for_click_at(c.x, c.y), c.choice) << c.x << "," << c.y;
        EXPECT_EQ(editor.editor_active, 0);
    }
}

TEST_F(MenuTest, EditorSwitchAndRightClick) {
    EXPECT_EQ(choice_for_click_at(140, 120), 5);
    EXPECT_EQ(editor.editor_active, 1);
    EXPECT_EQ(editor.transition_on, 0);
    EXPECT_EQ(editor.status_lines_on, 1);
    editor.editor_active = 0;
    headless_clear_script();
    headless_add_script_line("click right", nullptr);
    EXPECT_EQ(menu_screen_as_the_show_opens_it(), 5);
    EXPECT_EQ(editor.editor_active, 0);
}

TEST_F(MenuTest, PanelIsShownOverTheCurrentPicture) {
    picture_table.current_picture = 2;
    headless_add_script_line("click right", nullptr);
    menu_screen_as_the_show_opens_it();
    EXPECT_EQ(on_screen(100, 100), sheet_colour::menu);
    EXPECT_EQ(on_screen(699, 549), sheet_colour::menu);
    EXPECT_EQ(on_screen(700, 549), screenshot_colour(101));
    EXPECT_EQ(on_screen(99, 100), screenshot_colour(101));
}

}  // namespace
