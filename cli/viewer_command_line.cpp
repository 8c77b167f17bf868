#include "cli/viewer_command_line.h"

#include <filesystem>
#include <system_error>

#include "cli/version.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

const char* const usage_line = "usage: qzview [OPTIONS] [DIR]\n";

const char* const help_text =
    "\n"
    "Runs the screenshot show in DIR (default: the working directory) full screen.\n"
    "Everything is done with the mouse; the menu (right button) has the way out.\n"
    "\n"
    "DIR holds the show: the graphics sheet scs00001.BMP, the title picture\n"
    "scs00002.BMP, screenshots scsNNNNN.BMP, boxes scbNNNNN.BMP, sounds bsouN.WAV and\n"
    "the show script SCR1.BIL, which the editor saves there. A directory with neither\n"
    "SCR1.BIL nor scs00001.BMP holds no show; 'qzview-demo DIR' writes a demo show.\n"
    "Files that are missing from a show are simply not drawn or played.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Environment:\n"
    "  QZVIEW_DEPTH=16        run as if the 32-bit display mode were refused\n"
    "  QZVIEW_FONT=FILE       draw text with this TrueType font\n"
    "                         (default: DejaVu Sans Mono Bold)\n"
    "  QZVIEW_SOUND_TRACE=1   write the sound operations to standard error\n"
    "  SDL_VIDEODRIVER, SDL_AUDIODRIVER\n"
    "                         SDL's drivers; 'dummy' runs without screen or sound card\n"
    "\n"
    "Exit status: 0 after quitting through the menu; 1 when DIR holds no show or no\n"
    "display could be opened; 2 for a wrong command line or a DIR that cannot be read.\n";

// Names in the show directory that make it a show: the show script or the graphics sheet.
const char* const show_script_name = "SCR1.BIL";
const char* const graphics_sheet_name = "scs00001.BMP";

ViewerStart end_with(int status) {
    return {false, status};
}

ViewerStart refuse_usage(const std::string& why, std::ostream& err) {
    err << "qzview: " << why << '\n' << usage_line << "Try 'qzview --help'.\n";
    return end_with(STATUS_USAGE);
}

// Why `dir` cannot be a show's directory, or empty when it is a readable directory;
// `holds_show` tells whether one of the show's key files is in it.
std::string read_directory(const fs::path& dir, bool* holds_show) {
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    if (status.type() == fs::file_type::not_found) return "no such directory";
    if (error) return error.message();
    if (!fs::is_directory(status)) return "not a directory";
    *holds_show = false;
    fs::directory_iterator entry(dir, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path name = entry->path().filename();
        if (name == show_script_name || name == graphics_sheet_name) *holds_show = true;
    }
    if (error) return "cannot be read (" + error.message() + ")";
    return "";
}

ViewerStart open_show(const std::string& dir_argument, std::ostream& err) {
    std::error_code error;
    const std::string shown_name =
        dir_argument.empty() ? fs::current_path(error).string() : dir_argument;
    const fs::path dir = dir_argument.empty() ? fs::path(".") : fs::path(dir_argument);
    bool holds_show = false;
    const std::string problem = read_directory(dir, &holds_show);
    if (!problem.empty()) {
        err << "qzview: " << shown_name << ": " << problem << '\n';
        return end_with(STATUS_USAGE);
    }
    if (!holds_show) {
        err << "qzview: " << shown_name << " holds no show (neither " << show_script_name << " nor "
            << graphics_sheet_name << "); 'qzview-demo " << shown_name
            << "' writes a demo show there\n";
        return end_with(STATUS_NOT_A_SHOW);
    }
    fs::current_path(dir, error);
    if (error) {
        err << "qzview: " << shown_name << ": cannot be entered (" << error.message() << ")\n";
        return end_with(STATUS_USAGE);
    }
    return {true, 0};
}

}  // namespace

ViewerStart start_viewer(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err) {
    std::string dir;
    bool dir_given = false;
    bool options_ended = false;
    for (const std::string& argument : arguments) {
        const bool is_option = !options_ended && argument.size() > 1 && argument[0] == '-';
        if (is_option && (argument == "--help" || argument == "-h")) {
            out << usage_line << help_text;
            return end_with(0);
        } else if (is_option && argument == "--version") {
            out << version_line() << '\n';
            return end_with(0);
        } else if (is_option && argument == "--") {
            options_ended = true;
        } else if (is_option) {
            return refuse_usage("unknown option '" + argument + "'", err);
        } else if (dir_given) {
            return refuse_usage("only one show directory can be given", err);
        } else {
            dir = argument;
            dir_given = true;
        }
    }
    if (dir_given && dir.empty()) return refuse_usage("the show directory is an empty name", err);
    return open_show(dir, err);
}

}  // namespace cli
