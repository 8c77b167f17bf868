// A small show on disk for whole-program tests, and a script builder that steers the
// pointer to screen points the way a user moves the mouse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support.h"

// The picture table as the tests expect it, kept independently of the program.
struct ExpectedShow {
    int32_t first_picture = 1;
    int32_t picture_count = 0;
    int32_t pic_file[500] = {};
    int32_t pic_box1[500] = {};
    int32_t pic_wave[500] = {};
    int32_t pic_level[500] = {};
    uint8_t pic_marked[500] = {};
    int32_t pic_box1_x[500] = {};
    int32_t pic_box1_y[500] = {};
    int32_t pic_box2[500] = {};
    int32_t pic_box2_x[500] = {};
    int32_t pic_box2_y[500] = {};
    int32_t pic_box3[500] = {};
    int32_t pic_box3_x[500] = {};
    int32_t pic_box3_y[500] = {};

    ExpectedShow();  // every entry with the table's defaults
    std::vector<uint8_t> file_bytes() const;
};

// Screenshot n is a solid colour of its own; so is box n.
uint32_t screenshot_colour(int32_t number);
uint32_t box_colour(int32_t number);

// Writes the sheet, the title (scs00002), screenshots 100..100+count-1, boxes 1..9
// and, when show is given, SCR1.BIL.
void write_show_files(int screenshots, const ExpectedShow* show);

// qzview-show run in this process, with what it printed.
struct ToolRun {
    int status;
    std::string out;
    std::string err;
};
ToolRun run_tool(const std::vector<std::string>& arguments);

class Script {
  public:
    // Moves the pointer to (x, y). The device moves it two pixels a count, so a
    // target of the other parity is reached by way of an edge.
    Script& to(int x, int y);
    Script& click(int x, int y) { return to(x, y).line("click left"); }
    Script& right() { return line("click right"); }
    Script& left() { return line("click left"); }
    Script& line(const std::string& text);
    Script& type(const std::string& text) { return line("type " + text); }
    Script& enter() { return line("char 13"); }
    Script& escape() { return line("char 27"); }
    // The bar button n of the editor (1..16), clicked once.
    Script& bar(int button);
    // The navigation panel's buttons: 2 menu, 3 previous, 4 next.
    Script& nav_button(int button);
    Script& next() { return nav_button(4); }
    Script& previous() { return nav_button(3); }
    Script& menu_button() { return nav_button(2); }
    // Menu rows 1..5, clicked after the menu is open.
    Script& menu_row(int row);
    Script& editor_switch();

    const std::vector<std::string>& lines() const { return script_lines; }
    int x() const { return pointer_x; }
    int y() const { return pointer_y; }

  private:
    std::vector<std::string> script_lines;
    int pointer_x = 497;
    int pointer_y = 369;
};
