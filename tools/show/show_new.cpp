#include "tools/show/show_new.h"

#include <filesystem>
#include <set>

#include "tools/demo/demo_show.h"
#include "tools/show/options.h"
#include "tools/show/tool_support.h"

namespace show_tool {

const char* const new_help =
    "usage: qzview-show new DIR\n"
    "\n"
    "Writes the frame of a new show into DIR (created if needed): the graphics sheet\n"
    "scs00001.BMP (pointer, panel, mark, menu, level strips, editor bar), the title\n"
    "picture scs00002.BMP, the click sounds bsou1.WAV to bsou7.WAV and the background\n"
    "loop bsou101.WAV, all made by qzview's own demo drawing and sound code. A file\n"
    "that is already there is kept as it is. No show script is written: the first\n"
    "'qzview-show add --dir DIR FILES...' starts it.\n"
    "\n"
    "Exit status: 0 the frame is complete, 1 a file could not be written, 2 a wrong\n"
    "command line.\n";

namespace {

constexpr const char* COMMAND = "new";

std::vector<demo::DemoFile> frame_files() {
    // The demo's one-time sounds belong to its own pictures, not to a new show.
    const std::set<std::string> frame_sounds = {"bsou1.WAV", "bsou2.WAV",  "bsou3.WAV",
                                                "bsou4.WAV", "bsou5.WAV",  "bsou6.WAV",
                                                "bsou7.WAV", "bsou101.WAV"};
    std::vector<demo::DemoFile> files = demo::make_graphics_files();
    for (demo::DemoFile& sound : demo::make_sound_files())
        if (frame_sounds.count(sound.name) != 0) files.push_back(std::move(sound));
    return files;
}

}  // namespace

int run_new(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    std::string error;
    const bool parsed = parse_command_line(arguments, {}, &line, &error);
    if (parsed && line.operands.size() != 1)
        error = line.operands.empty() ? "DIR is missing" : "too many arguments";
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
    for (const demo::DemoFile& file : frame_files()) {
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
