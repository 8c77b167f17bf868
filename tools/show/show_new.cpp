#include "tools/show/show_new.h"

#include <filesystem>
#include <set>

#include "platform/common/bmp_writer.h"
#include "platform/common/cp1252.h"
#include "tools/demo/demo_show.h"
#include "tools/demo/graphics_sheet.h"
#include "tools/demo/scenes.h"
#include "tools/show/canvas_text.h"
#include "tools/show/options.h"
#include "tools/show/tool_support.h"

namespace show_tool {

const char* const new_help =
    "usage: qzview-show new DIR [--title TEXT]\n"
    "\n"
    "Writes the frame of a new show into DIR (created if needed): the graphics sheet\n"
    "scs00001.BMP (pointer, panel, mark, menu, level strips, editor bar), the title\n"
    "picture scs00002.BMP with TEXT written large over a castle at dusk, TITLE.TXT\n"
    "holding TEXT, the click sounds bsou1.WAV to bsou7.WAV and the background loop\n"
    "bsou101.WAV, all made by qzview's own demo drawing and sound code but naming no\n"
    "game. The program's title screen shows TITLE.TXT's line where it otherwise names\n"
    "the demo game.\n"
    "\n"
    "TEXT is taken in capitals (as all the show's own text), at most 60 characters of\n"
    "Windows-1252 (German umlauts and the other Western European letters); without\n"
    "--title it is \"KLEINE SCREENSHOW\".\n"
    "\n"
    "A file that is already there is kept as it is (to give a show a new title, remove\n"
    "its scs00002.BMP and TITLE.TXT first). No show script is written: the first\n"
    "'qzview-show add --dir DIR FILES...' starts it.\n"
    "\n"
    "Exit status: 0 the frame is complete, 1 a file could not be written, 2 a wrong\n"
    "command line (a TEXT that is too long or has characters Windows-1252 lacks).\n";

namespace {

constexpr const char* COMMAND = "new";

constexpr const char* DEFAULT_TITLE = "KLEINE SCREENSHOW";
constexpr size_t LONGEST_TITLE = 60;
constexpr int TITLE_TOP = 110;
constexpr int TITLE_MOST_WIDTH = 960;

// A Windows-1252 letter in capitals; ß and the signs stay as they are.
char capital(char byte) {
    const auto c = static_cast<unsigned char>(byte);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char(c - 0x20);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return char(c - 0x10);  // š œ ž
    if (c == 0xFF) return char(0x9F);                                // ÿ
    return byte;
}

// The title as the program's Windows-1252 line; false with a message when it cannot be.
bool title_line(const std::string& utf8, std::string* line, std::string* error) {
    *line = utf8_to_cp1252(utf8);
    if (cp1252_to_utf8(*line) != utf8) {
        *error = "--title has characters that Windows-1252 does not hold";
        return false;
    }
    for (char& c : *line) {
        if (static_cast<unsigned char>(c) < 0x20) {
            *error = "--title must be one line without control characters";
            return false;
        }
        c = capital(c);
    }
    if (line->empty() || line->size() > LONGEST_TITLE) {
        *error = "--title takes 1 to 60 characters, not " + std::to_string(line->size());
        return false;
    }
    return true;
}

// The title in large letters on the sky, with a dark shadow, as large as fits.
demo::Canvas title_picture(const std::string& line) {
    demo::Canvas picture = demo::draw_title_scenery();
    const FontLibrary library;
    const std::string text = cp1252_to_utf8(line);
    int size = 110;
    CanvasFont font = CanvasFont::of_size(CAPTION_BOLD_FONT, size);
    while (size > 20 && font.width(text) > TITLE_MOST_WIDTH)
        font = CanvasFont::of_size(CAPTION_BOLD_FONT, size -= 6);
    const std::string shown = font.fitted(text, TITLE_MOST_WIDTH);
    const int x = (picture.width - font.width(shown)) / 2;
    font.draw(picture, x + 4, TITLE_TOP + 5, shown, demo::rgb(30, 14, 6));
    font.draw(picture, x, TITLE_TOP, shown, demo::rgb(250, 210, 90));
    return picture;
}

std::vector<demo::DemoFile> frame_files(const std::string& title) {
    // The demo's one-time sounds belong to its own pictures, not to a new show.
    const std::set<std::string> frame_sounds = {"bsou1.WAV", "bsou2.WAV",  "bsou3.WAV",
                                                "bsou4.WAV", "bsou5.WAV",  "bsou6.WAV",
                                                "bsou7.WAV", "bsou101.WAV"};
    auto bitmap = [](const demo::Canvas& canvas) {
        return bmp_encode_24(canvas.width, canvas.height, canvas.pixels.data());
    };
    std::vector<demo::DemoFile> files = {
        {"scs00001.BMP", bitmap(demo::make_graphics_sheet(""))},
        {"scs00002.BMP", bitmap(title_picture(title))},
        {"TITLE.TXT", std::vector<uint8_t>(title.begin(), title.end())}};
    files.back().bytes.insert(files.back().bytes.end(), {'\r', '\n'});
    for (demo::DemoFile& sound : demo::make_sound_files())
        if (frame_sounds.count(sound.name) != 0) files.push_back(std::move(sound));
    return files;
}

}  // namespace

int run_new(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    std::string error;
    const bool parsed = parse_command_line(arguments, {"--title"}, &line, &error);
    if (parsed && line.operands.size() != 1)
        error = line.operands.empty() ? "DIR is missing" : "too many arguments";
    std::string title;
    const auto given = line.values.find("--title");
    if (parsed && error.empty())
        title_line(given != line.values.end() ? given->second : DEFAULT_TITLE, &title, &error);
    int status = STATUS_DONE;
    if (!command_line_accepted(parsed && line.help, error, COMMAND, new_help, out, err, &status))
        return status;
    const std::string& directory = line.operands[0];

    std::error_code code;
    std::filesystem::create_directories(directory, code);
    ShowDirectory show_directory(directory);
    if (!show_directory.entered()) {
        err << PROGRAM << ": new: cannot make " << directory << ": "
            << (code ? code.message() : show_directory.why_not()) << '\n';
        return STATUS_FAILED;
    }
    for (const demo::DemoFile& file : frame_files(title)) {
        const std::string path = path_in(directory, file.name);
        std::string reason;
        switch (write_new_file(file.name, file.bytes, &reason)) {
            case NewFile::written:
                out << path << " written\n";
                break;
            case NewFile::exists:
                out << path << " kept: it is already there\n";
                break;
            case NewFile::failed:
                err << PROGRAM << ": new: cannot write " << path << ": " << reason << '\n';
                status = STATUS_FAILED;
                break;
        }
    }
    return status;
}

}  // namespace show_tool
