#include "tools/show/show_sheet.h"

#include <SDL.h>
#include <SDL_image.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "show/picture_table.h"
#include "tools/demo/canvas.h"
#include "tools/show/canvas_text.h"
#include "tools/show/options.h"
#include "tools/show/show_frames.h"
#include "tools/show/tool_support.h"

namespace show_tool {

const char* const sheet_help =
    "usage: qzview-show sheet [DIR] -o FILE.png|FILE.jpg [--columns C] [--width W]\n"
    "\n"
    "Draws the whole show of DIR (by default the working directory) into one picture\n"
    "for review and print: first the title screen and the graphics sheet, then every\n"
    "entry in show order, each as the viewer sees it (screenshot, boxes at their\n"
    "places, level strip, mark and panel) composed by the program's own presentation\n"
    "code. Under each picture: the entry number, the screenshot's file number and the\n"
    "one-time sound, then its boxes, level strip and mark. A picture whose files are\n"
    "missing or do not load is framed in red with the reason underneath; where the\n"
    "screenshot itself is missing, black stands in for it.\n"
    "\n"
    "  -o FILE        the picture to write (relative to the working directory, not\n"
    "                 DIR): a PNG for a name ending in .png, a JPEG (quality 90) for\n"
    "                 .jpg or .jpeg, in any letter case; other names are refused\n"
    "  --columns C    pictures in a row, 1 to 16 (default 4)\n"
    "  --width W      the page's width in pixels, 400 to 16384 (default 1600)\n"
    "\n"
    "Exit status: 0 written, 1 the picture could not be written, 2 the show file\n"
    "cannot be read (or a wrong command line).\n";

namespace {

constexpr const char* COMMAND = "sheet";
constexpr int FRAME_CELLS = 2;  // the title and the graphics sheet
constexpr int MIN_THUMBNAIL_WIDTH = 64;
// Under a picture: label and facts, details, and this many lines of problems.
constexpr int CAPTION_PROBLEM_LINES = 2;
constexpr const char* WARNING_SIGN = "\xE2\x9A\xA0 ";

constexpr uint32_t PAGE = 0xFFFFFF;
constexpr uint32_t INK = 0x1E1E1E;
constexpr uint32_t MUTED = 0x6E6E6E;
constexpr uint32_t RULE = 0xB4B4B4;
constexpr uint32_t WARNING = 0xC81414;

struct SheetRequest {
    std::string directory = ".";
    std::string output;
    int64_t columns = SHEET_DEFAULT_COLUMNS;
    int64_t width = SHEET_DEFAULT_WIDTH;
};

struct SheetFonts {
    CanvasFont regular, bold, header;
};

SheetFonts open_fonts(const SheetLayout& layout) {
    return {CanvasFont::of_size(CAPTION_FONT, layout.font_pixels),
            CanvasFont::of_size(CAPTION_BOLD_FONT, layout.font_pixels),
            CanvasFont::of_size(CAPTION_BOLD_FONT, 2 * layout.font_pixels)};
}

int frame_rows(const SheetLayout& layout) {
    return (FRAME_CELLS + layout.columns - 1) / layout.columns;
}

int entry_rows(const SheetLayout& layout) {
    return (layout.entries + layout.columns - 1) / layout.columns;
}

int row_pitch(const SheetLayout& layout) {
    return layout.thumbnail_height + layout.caption_height + layout.gap;
}

// --- drawing ---

struct Caption {
    std::string label;  // bold
    std::string facts;  // after the label
    std::string details;
    std::vector<std::string> problems;
};

// The label and facts, the details in grey, then up to CAPTION_PROBLEM_LINES problems
// in red, one a line.
void draw_caption(demo::Canvas& page, const SheetLayout& layout, const SheetFonts& fonts,
                  const Placement& place, const Caption& caption) {
    const int width = place.width;
    int y = place.y + place.height + layout.line_height / 3;
    const std::string label = fonts.bold.fitted(caption.label, width);
    fonts.bold.draw(page, place.x, y, label, INK);
    const int facts_x = place.x + fonts.bold.width(label + "  ");
    fonts.regular.draw(page, facts_x, y,
                       fonts.regular.fitted(caption.facts, place.x + width - facts_x), INK);
    if (!caption.details.empty()) {
        y += layout.line_height;
        fonts.regular.draw(page, place.x, y, fonts.regular.fitted(caption.details, width), MUTED);
    }
    const size_t shown = std::min(caption.problems.size(), size_t{CAPTION_PROBLEM_LINES});
    for (size_t i = 0; i < shown; ++i) {
        y += layout.line_height;
        std::string line = WARNING_SIGN + caption.problems[i];
        if (i + 1 == shown && shown < caption.problems.size())
            line += " and " + std::to_string(caption.problems.size() - shown) + " more";
        fonts.bold.draw(page, place.x, y, fonts.bold.fitted(line, width), WARNING);
    }
}

// A red frame round the picture, outside it, so that the picture itself stays as the
// viewer sees it.
void draw_marker(demo::Canvas& page, const Placement& place) {
    const int thickness = std::max(4, place.width / 60);
    demo::frame_rect(page, place.x - thickness, place.y - thickness, place.width + 2 * thickness,
                     place.height + 2 * thickness, thickness, WARNING);
}

void draw_thumbnail(demo::Canvas& page, const SheetLayout& layout, const SheetFonts& fonts,
                    int cell, const ShowFrame& frame, const Caption& caption) {
    const Placement place = thumbnail_place(layout, cell);
    paste(page, scale_by_area(frame.picture, place.width, place.height), place.x, place.y);
    demo::frame_rect(page, place.x - 1, place.y - 1, place.width + 2, place.height + 2, 1, RULE);
    if (!frame.problems.empty()) draw_marker(page, place);
    draw_caption(page, layout, fonts, place, caption);
}

std::string join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

Caption entry_caption(int32_t entry, const ShowFrame& frame) {
    Caption caption;
    caption.label = "Entry " + std::to_string(entry);
    const int32_t sound = picture_table.pic_wave[entry];
    caption.facts = "file " + std::to_string(picture_table.pic_file[entry]) + " \xC2\xB7 " +
                    (sound > 0 ? "sound " + std::to_string(sound) : std::string("no sound"));
    std::vector<std::string> boxes, details;
    for (int32_t box : {picture_table.pic_box1[entry], picture_table.pic_box2[entry],
                        picture_table.pic_box3[entry]})
        if (box > 0) boxes.push_back(std::to_string(box));
    if (!boxes.empty())
        details.push_back((boxes.size() == 1 ? "box " : "boxes ") + join(boxes, ", "));
    if (picture_table.pic_level[entry] > 0)
        details.push_back("level " + std::to_string(picture_table.pic_level[entry]));
    if (picture_table.pic_marked[entry] != 0) details.push_back("marked");
    caption.details = join(details, " \xC2\xB7 ");
    caption.problems = frame.problems;
    return caption;
}

void draw_heading(demo::Canvas& page, const SheetLayout& layout, const SheetFonts& fonts, int y,
                  const std::string& text) {
    fonts.bold.draw(page, layout.margin, y, text, INK);
    const int rule_y = y + layout.line_height + layout.line_height / 6;
    demo::fill_rect(page, layout.margin, rule_y, layout.width - 2 * layout.margin, 1, RULE);
}

void draw_header(demo::Canvas& page, const SheetLayout& layout, const SheetFonts& fonts,
                 const std::string& directory, int entries_with_problems) {
    const std::string name = std::filesystem::path(directory).filename().string();
    const int width = layout.width - 2 * layout.margin;
    fonts.header.draw(page, layout.margin, layout.margin,
                      fonts.header.fitted("Show \xE2\x80\x9C" + name + "\xE2\x80\x9D", width), INK);
    const int y = layout.margin + 2 * layout.line_height + layout.line_height / 4;
    std::string facts = directory + "  \xC2\xB7  " + std::to_string(layout.entries) +
                        (layout.entries == 1 ? " entry" : " entries") + "  \xC2\xB7  ";
    fonts.regular.draw(page, layout.margin, y, fonts.regular.fitted(facts, width), MUTED);
    const int status_x = layout.margin + fonts.regular.width(facts);
    const std::string status = entries_with_problems == 0
                                   ? "all files present"
                                   : std::to_string(entries_with_problems) +
                                         " with files missing or not loadable, marked in red";
    fonts.bold.draw(page, status_x, y, fonts.bold.fitted(status, layout.margin + width - status_x),
                    entries_with_problems == 0 ? MUTED : WARNING);
}

// Draws every picture; gives the number of pictures with problems.
int draw_pictures(demo::Canvas& page, const SheetLayout& layout, const SheetFonts& fonts,
                  ShowFrames& show) {
    const int frame_top = layout.margin + layout.header_height;
    draw_heading(page, layout, fonts, frame_top, "Title screen and graphics sheet");
    const ShowFrame title = show.title();
    draw_thumbnail(page, layout, fonts, 0, title,
                   {"Title", "scs00002.BMP", "the screen the show starts with", title.problems});
    const ShowFrame sheet = show.graphics_sheet();
    draw_thumbnail(
        page, layout, fonts, 1, sheet,
        {"Graphics sheet", "scs00001.BMP", "the program's own graphics", sheet.problems});
    int with_problems = (title.problems.empty() ? 0 : 1) + (sheet.problems.empty() ? 0 : 1);

    const int entries_top =
        frame_top + layout.heading_height + frame_rows(layout) * row_pitch(layout);
    draw_heading(page, layout, fonts, entries_top,
                 "Entries 1\xE2\x80\x93" + std::to_string(layout.entries) + " in show order");
    for (int32_t entry = 1; entry <= layout.entries; ++entry) {
        const ShowFrame frame = show.entry(entry);
        draw_thumbnail(page, layout, fonts, entry + 1, frame, entry_caption(entry, frame));
        if (!frame.problems.empty()) ++with_problems;
    }
    return with_problems;
}

enum class PageForm { png, jpeg, unknown };

PageForm page_form(const std::string& path) {
    const std::string ending = std::filesystem::path(path).extension().string();
    if (strcasecmp(ending.c_str(), ".png") == 0) return PageForm::png;
    if (strcasecmp(ending.c_str(), ".jpg") == 0 || strcasecmp(ending.c_str(), ".jpeg") == 0)
        return PageForm::jpeg;
    return PageForm::unknown;
}

constexpr int JPEG_QUALITY = 90;

bool write_page(demo::Canvas& page, const std::string& path, std::string* reason) {
    // The surface lends the page's own pixels: a long show's page is hundreds of MB.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        page.pixels.data(), page.width, page.height, 32, page.width * 4, SDL_PIXELFORMAT_RGB888);
    const bool saved = surface != nullptr && (page_form(path) == PageForm::jpeg
                                                  ? IMG_SaveJPG(surface, path.c_str(), JPEG_QUALITY)
                                                  : IMG_SavePNG(surface, path.c_str())) == 0;
    if (!saved) *reason = surface != nullptr ? IMG_GetError() : SDL_GetError();
    SDL_FreeSurface(surface);
    return saved;
}

// false after reporting a wrong command line (*status is then the exit status).
bool parse_request(const std::vector<std::string>& arguments, SheetRequest* request,
                   std::ostream& out, std::ostream& err, int* status) {
    CommandLine line;
    std::string error;
    const bool parsed =
        parse_command_line(arguments, {"-o", "--columns", "--width"}, &line, &error) &&
        number_option(line, "--columns", 1, 16, &request->columns, &error) &&
        number_option(line, "--width", 400, 16384, &request->width, &error);
    if (parsed && line.values.count("-o") == 0) error = "-o FILE.png is missing";
    if (parsed && line.operands.size() > 1) error = "too many arguments";
    if (error.empty() && page_form(line.values["-o"]) == PageForm::unknown)
        error = "-o takes a name ending in .png, .jpg or .jpeg, not '" + line.values["-o"] + "'";
    if (error.empty() &&
        plan_sheet(static_cast<int>(request->width), static_cast<int>(request->columns), 0)
                .thumbnail_width < MIN_THUMBNAIL_WIDTH)
        error = "a page " + std::to_string(request->width) + " pixels wide has no room for " +
                std::to_string(request->columns) + " columns";
    if (!command_line_accepted(parsed && line.help, error, COMMAND, sheet_help, out, err, status))
        return false;
    request->output = line.values["-o"];
    if (!line.operands.empty()) request->directory = line.operands[0];
    return true;
}

}  // namespace

SheetLayout plan_sheet(int width, int columns, int32_t entries) {
    SheetLayout layout;
    layout.width = width;
    layout.columns = columns;
    layout.entries = entries;
    layout.margin = std::max(16, width * 3 / 100);
    layout.gap = std::max(10, width / 64);
    layout.thumbnail_width = (width - 2 * layout.margin - (columns - 1) * layout.gap) / columns;
    layout.thumbnail_height = (layout.thumbnail_width * 3 + 2) / 4;
    layout.font_pixels = std::clamp(layout.thumbnail_width / 18, 10, 36);
    layout.line_height = (layout.font_pixels * 4 + 2) / 3;
    layout.caption_height =
        (2 + CAPTION_PROBLEM_LINES) * layout.line_height + layout.line_height / 3;
    layout.header_height = 3 * layout.line_height + layout.gap;
    layout.heading_height = layout.line_height + layout.gap;
    layout.height = layout.margin + layout.header_height + 2 * layout.heading_height +
                    (frame_rows(layout) + entry_rows(layout)) * row_pitch(layout) + layout.margin -
                    layout.gap;
    return layout;
}

Placement thumbnail_place(const SheetLayout& layout, int cell) {
    int top = layout.margin + layout.header_height + layout.heading_height;
    int index = cell;
    if (cell >= FRAME_CELLS) {
        top += frame_rows(layout) * row_pitch(layout) + layout.heading_height;
        index = cell - FRAME_CELLS;
    }
    const int row = index / layout.columns, column = index % layout.columns;
    return Placement{layout.margin + column * (layout.thumbnail_width + layout.gap),
                     top + row * row_pitch(layout), layout.thumbnail_width,
                     layout.thumbnail_height};
}

namespace {

struct DrawnSheet {
    demo::Canvas page{0, 0};
    int32_t entries = 0;
    int with_problems = 0;
};

// Draws the show of the request's directory; false with the reason when its show file
// cannot be read.
bool draw_sheet(const SheetRequest& request, const std::string& shown_directory, DrawnSheet* sheet,
                std::string* reason) {
    ShowDirectory show_directory(request.directory);
    ShowFrames show;
    *reason = show_directory.why_not();
    if (!show_directory.entered() || !show.start(reason)) return false;
    sheet->entries = show.entries();
    const SheetLayout layout = plan_sheet(static_cast<int>(request.width),
                                          static_cast<int>(request.columns), sheet->entries);
    const SheetFonts fonts = open_fonts(layout);
    sheet->page = demo::Canvas(layout.width, layout.height, PAGE);
    sheet->with_problems = draw_pictures(sheet->page, layout, fonts, show);
    draw_header(sheet->page, layout, fonts, shown_directory, sheet->with_problems);
    return true;
}

}  // namespace

int run_sheet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    SheetRequest request;
    int status = STATUS_DONE;
    if (!parse_request(arguments, &request, out, err, &status)) return status;
    std::error_code error;
    const std::filesystem::path output = std::filesystem::absolute(request.output, error);
    std::filesystem::path directory =
        std::filesystem::absolute(request.directory, error).lexically_normal();
    if (directory.filename().empty()) directory = directory.parent_path();

    FontLibrary font_library;
    DrawnSheet sheet;
    std::string reason;
    if (!draw_sheet(request, directory.string(), &sheet, &reason)) {
        err << PROGRAM << ": sheet: cannot read " << show_file_path(request.directory) << ": "
            << reason << '\n';
        return STATUS_USAGE_OR_UNREADABLE;
    }
    if (!write_page(sheet.page, output.string(), &reason)) {
        err << PROGRAM << ": sheet: cannot write " << request.output << ": " << reason << '\n';
        return STATUS_FAILED;
    }
    out << request.output << ": " << sheet.entries << (sheet.entries == 1 ? " entry" : " entries")
        << " on a page of " << sheet.page.width << "x" << sheet.page.height << " pixels";
    if (sheet.with_problems > 0)
        out << "; " << sheet.with_problems << " with files missing or not loadable, marked in red";
    out << '\n';
    return STATUS_DONE;
}

}  // namespace show_tool
