// qzview-show sheet: one PNG of the whole show for its author to review and print:
// the title screen and the graphics sheet, then every entry as the viewer sees it,
// each with its entry, file and sound numbers, and files that are missing or do not
// load marked in red.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/show/picture_scaling.h"

namespace show_tool {

extern const char* const sheet_help;

constexpr int SHEET_DEFAULT_WIDTH = 1600;
constexpr int SHEET_DEFAULT_COLUMNS = 4;

// The page: a header, a row for the title and the graphics sheet, then the entries in
// show order, row by row.
struct SheetLayout {
    int width = 0;
    int height = 0;
    int columns = 0;
    int margin = 0;
    int gap = 0;
    int font_pixels = 0;  // captions; the header is twice as large
    int line_height = 0;
    int header_height = 0;
    int heading_height = 0;  // above the frame row and above the entries
    int thumbnail_width = 0;
    int thumbnail_height = 0;
    int caption_height = 0;
    int32_t entries = 0;
};

SheetLayout plan_sheet(int width, int columns, int32_t entries);
// The thumbnail of the title (cell 0), the graphics sheet (cell 1) or entry e (cell
// e + 1) on the page.
Placement thumbnail_place(const SheetLayout& layout, int cell);

// The arguments after "sheet"; gives the exit status.
int run_sheet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace show_tool
