#include "tests/show_fixture.h"

#include <algorithm>
#include <sstream>

#include "tools/show/show_tool.h"

#include "display/layout.h"

ExpectedShow::ExpectedShow() {
    for (int i = 0; i < 500; ++i) {
        pic_box1_x[i] = 100;
        pic_box1_y[i] = 100;
        pic_box2_x[i] = 750;
        pic_box2_y[i] = 180;
        pic_box3_x[i] = 50;
        pic_box3_y[i] = 50;
    }
}

std::vector<uint8_t> ExpectedShow::file_bytes() const {
    std::vector<uint8_t> out;
    auto column = [&](const int32_t* values) {
        for (int i = 0; i < 500; ++i)
            append_le32(out, values[i]);
    };
    append_le32(out, first_picture);
    append_le32(out, picture_count);
    column(pic_file);
    column(pic_box1);
    column(pic_wave);
    column(pic_level);
    out.insert(out.end(), pic_marked, pic_marked + 500);
    column(pic_box1_x);
    column(pic_box1_y);
    column(pic_box2);
    column(pic_box2_x);
    column(pic_box2_y);
    column(pic_box3);
    column(pic_box3_x);
    column(pic_box3_y);
    return out;
}

uint32_t screenshot_colour(int32_t number) {
    return 0x010101u * static_cast<uint32_t>(number % 100) + 0x400000u;
}

uint32_t box_colour(int32_t number) {
    return 0x000040u * static_cast<uint32_t>(number) + 0x002000u;
}

void write_show_files(int screenshots, const ExpectedShow* show) {
    write_test_sheet("scs00001.BMP");
    write_solid_bitmap("scs00002.BMP", 1024, 768, 0x202040);
    for (int n = 100; n < 100 + screenshots; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "scs%05d.BMP", n);
        write_solid_bitmap(name, 1024, 768, screenshot_colour(n));
    }
    for (int n = 1; n <= 9; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "scb%05d.BMP", n);
        write_solid_bitmap(name, 40, 30, box_colour(n));
    }
    if (show != nullptr) write_file_bytes("SCR1.BIL", show->file_bytes());
}

ToolRun run_tool(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = show_tool::run_show_tool(arguments, out, err);
    return ToolRun{status, out.str(), err.str()};
}

Script& Script::to(int x, int y) {
    // A target of the other parity is reached by way of an edge: 0 is even, the
    // largest positions 1007 and 751 are odd.
    const bool x_parity_differs = ((x - pointer_x) % 2) != 0;
    const bool y_parity_differs = ((y - pointer_y) % 2) != 0;
    if (x_parity_differs || y_parity_differs) {
        const int edge_dx = !x_parity_differs ? 0 : (x % 2 == 0 ? -4000 : 4000);
        const int edge_dy = !y_parity_differs ? 0 : (y % 2 == 0 ? -4000 : 4000);
        pointer_x = std::clamp(pointer_x + 2 * edge_dx, 0, 1007);
        pointer_y = std::clamp(pointer_y + 2 * edge_dy, 0, 751);
        line("move " + std::to_string(edge_dx) + " " + std::to_string(edge_dy));
    }
    const int dx = (x - pointer_x) / 2;
    const int dy = (y - pointer_y) / 2;
    pointer_x = std::clamp(pointer_x + 2 * dx, 0, 1007);
    pointer_y = std::clamp(pointer_y + 2 * dy, 0, 751);
    return line("move " + std::to_string(dx) + " " + std::to_string(dy));
}

Script& Script::bar(int button) {
    const int x = layout::EDITOR_BUTTON_WIDTH * (button - 1) + layout::EDITOR_BUTTON_WIDTH / 2;
    return click(x, (layout::EDITOR_BAR_TOP + layout::EDITOR_BAR_BOTTOM) / 2);
}

Script& Script::nav_button(int button) {
    const layout::Point centre = layout::NAV_PANEL.centre();
    const int button_centre_x = layout::NAV_PANEL.x + layout::NAV_BUTTON_WIDTH * (button - 1) +
                                layout::NAV_BUTTON_WIDTH / 2;
    return click(button_centre_x, centre.y);
}

Script& Script::menu_row(int row) {
    const layout::Rect& column = layout::MENU_CHOICES;
    return click(column.centre().x,
                 column.y + layout::MENU_ROW_HEIGHT * (row - 1) + layout::MENU_ROW_HEIGHT / 2);
}

Script& Script::editor_switch() {
    const layout::Point centre = layout::MENU_EDITOR_SWITCH.centre();
    return click(centre.x, centre.y);
}

Script& Script::line(const std::string& text) {
    script_lines.push_back(text);
    return *this;
}
