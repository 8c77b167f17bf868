#include "cli/viewer_command_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "cli/instant_show.h"
#include "cli/version.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

const char* const usage_line = "usage: qzview [OPTIONS] [DIR | PICTURES...]\n";

const char* const help_text =
    "\n"
    "Runs the screenshot show in DIR (default: the working directory) full screen.\n"
    "Everything is done with the mouse; the menu (right button) has the way out.\n"
    "\n"
    "DIR holds the show: the graphics sheet scs00001.BMP, the title picture\n"
    "scs00002.BMP, screenshots scsNNNNN.BMP, boxes scbNNNNN.BMP, sounds bsouN.WAV and\n"
    "the show script SCR1.BIL, which the editor saves there. Files that are missing\n"
    "from a show are simply not drawn or played.\n"
    "\n"
    "Given picture files (png, jpg, jpeg, webp, gif, bmp, tif, tiff), or a DIR with\n"
    "pictures but neither SCR1.BIL nor scs00001.BMP, qzview makes a show of the\n"
    "pictures in the order of their names (shot2 before shot10) with qzview-show,\n"
    "keeps it in $XDG_CACHE_HOME/qzview (default ~/.cache/qzview) for the next start\n"
    "with the same files, and runs it. The pictures themselves are only read.\n"
    "A directory with neither a show nor pictures holds no show; qzview then prints\n"
    "the qzview-show commands that make one ('qzview-demo DIR' writes a demo show).\n"
    "\n"
    "Options:\n"
    "  --keys           keys work the show: Right, Space, Page Down or the wheel down\n"
    "                   the next picture; Left, Backspace, Page Up or the wheel up the\n"
    "                   previous one; Home, End the first, the last; Esc or Q the menu\n"
    "                   (there Esc goes back, Q quits); M background sound on or off\n"
    "  --window[=WxH]   a window of W x H pixels (1024x768) instead of full screen\n"
    "  --delay SECONDS  move on to the next picture after SECONDS without input\n"
    "  --verbose        name each file of the show that is missing or cannot be read\n"
    "  -h, --help       print this help and exit\n"
    "  --version        print the version and exit\n"
    "  --rebuild        make the show of the pictures again, not from the cache\n"
    "\n"
    "Environment:\n"
    "  QZVIEW_DEPTH=16        run as if the 32-bit display mode were refused\n"
    "  QZVIEW_FONT=FILE       draw text with this TrueType font\n"
    "                         (default: DejaVu Sans Mono Bold)\n"
    "  QZVIEW_SOUND_TRACE=1   write the sound operations to standard error\n"
    "  SDL_VIDEODRIVER, SDL_AUDIODRIVER\n"
    "                         SDL's drivers; 'dummy' runs without screen or sound card\n"
    "\n"
    "Exit status: 0 after quitting through the menu; 1 when DIR holds no show, no show\n"
    "could be made of the pictures or no display could be opened; 2 for a wrong command\n"
    "line, a DIR that cannot be read or a name that is not a picture.\n";

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

// A name as the shell takes it back: quoted unless it is made of safe characters only.
std::string shell_word(const std::string& text) {
    const bool plain = !text.empty() && text.find_first_not_of(
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789_-+=./,:@%") == std::string::npos;
    if (plain) return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Says that `shown_name` holds no show and how to make one there.
ViewerStart refuse_no_show(const std::string& shown_name, bool empty, std::ostream& err) {
    const std::string dir = shell_word(shown_name);
    err << "qzview: " << shown_name << " holds no show (neither " << show_script_name << " nor "
        << graphics_sheet_name << ") and no pictures; to make a show there:\n"
        << "  qzview-show new " << dir << "\n"
        << "  qzview-show add --dir " << dir << " PICTURES...\n";
    if (empty) err << "or, for a demo show: qzview-demo " << dir << "\n";
    return end_with(STATUS_NOT_A_SHOW);
}

ViewerStart enter(const std::string& dir, const std::string& shown_name, std::ostream& err) {
    std::error_code error;
    fs::current_path(dir, error);
    if (error) {
        err << "qzview: " << shown_name << ": cannot be entered (" << error.message() << ")\n";
        return end_with(STATUS_USAGE);
    }
    return {true, 0};
}

ViewerStart run_instant_show(const std::vector<std::string>& pictures, bool rebuild,
                             std::ostream& err) {
    const InstantShow show = make_instant_show(pictures, rebuild, err);
    if (show.directory.empty()) return end_with(show.exit_status);
    return enter(show.directory, show.directory, err);
}

// DIR's show, else a show of the pictures it holds.
ViewerStart open_show(const std::string& dir_argument, bool rebuild, std::ostream& err) {
    std::error_code error;
    const std::string shown_name =
        dir_argument.empty() ? fs::current_path(error).string() : dir_argument;
    const std::string dir = dir_argument.empty() ? "." : dir_argument;
    bool holds_show = false;
    const std::string problem = read_directory(dir, &holds_show);
    if (!problem.empty()) {
        err << "qzview: " << shown_name << ": " << problem << '\n';
        return end_with(STATUS_USAGE);
    }
    if (holds_show) return enter(dir, shown_name, err);
    const std::vector<std::string> pictures = pictures_in(dir);
    if (!pictures.empty()) return run_instant_show(pictures, rebuild, err);
    return refuse_no_show(shown_name, fs::is_empty(dir, error), err);
}

// Pictures named on the command line: each must be a picture file.
ViewerStart open_pictures(const std::vector<std::string>& pictures, bool rebuild,
                          std::ostream& err) {
    for (const std::string& picture : pictures) {
        std::error_code error;
        const fs::file_status status = fs::status(picture, error);
        std::string problem;
        if (status.type() == fs::file_type::not_found)
            problem = "no such file or directory";
        else if (fs::is_directory(status))
            problem = "a directory is shown alone, not with other names";
        else if (!is_picture_name(picture))
            problem = "not a picture (png, jpg, jpeg, webp, gif, bmp, tif or tiff)";
        if (!problem.empty()) return refuse_usage(picture + ": " + problem, err);
    }
    return run_instant_show(pictures, rebuild, err);
}

enum class OptionOutcome { taken, wrong, not_one };

// "WxH" of --window=WxH: two whole numbers from 64 to 16384.
bool read_window_size(const std::string& size, ViewerStart* choices) {
    int width = 0, height = 0;
    char x = 0, rest = 0;
    std::istringstream in(size);
    if (!(in >> width >> x >> height) || (x != 'x' && x != 'X') || in >> rest) return false;
    const auto fits = [](int side) { return side >= 64 && side <= 16384; };
    if (!fits(width) || !fits(height)) return false;
    choices->window_width = width;
    choices->window_height = height;
    return true;
}

// The options that change how the show runs; *i moves past a value taken with one.
OptionOutcome read_show_option(const std::vector<std::string>& arguments, size_t* i,
                               ViewerStart* choices, std::string* problem) {
    const std::string& option = arguments[*i];
    const auto wrong = [problem](const std::string& why) {
        *problem = why;
        return OptionOutcome::wrong;
    };
    if (option == "--keys") {
        choices->keys = true;
    } else if (option == "--verbose") {
        choices->verbose = true;
    } else if (option == "--window") {
        choices->window_width = DEFAULT_WINDOW_WIDTH;
        choices->window_height = DEFAULT_WINDOW_HEIGHT;
    } else if (option.rfind("--window=", 0) == 0) {
        if (!read_window_size(option.substr(9), choices))
            return wrong("--window takes a size as WxH, such as 1280x720");
    } else if (option == "--delay" || option.rfind("--delay=", 0) == 0) {
        const bool joined = option != "--delay";
        if (!joined && *i + 1 >= arguments.size()) return wrong("--delay needs SECONDS");
        const std::string seconds = joined ? option.substr(8) : arguments[++*i];
        choices->delay_ms = delay_milliseconds(seconds);
        if (choices->delay_ms == 0)
            return wrong("--delay takes a number of seconds above 0, such as 5 or 2.5");
    } else {
        return OptionOutcome::not_one;
    }
    return OptionOutcome::taken;
}

// The show of the names given: DIR's (or the working directory's), or of pictures.
ViewerStart open_names(const std::vector<std::string>& names, bool rebuild, std::ostream& err) {
    std::error_code error;
    if (names.empty()) return open_show("", rebuild, err);
    const bool one_directory =
        names.size() == 1 && (fs::is_directory(names[0], error) ||
                              (!fs::exists(names[0], error) && !is_picture_name(names[0])));
    if (one_directory) return open_show(names[0], rebuild, err);
    return open_pictures(names, rebuild, err);
}

}  // namespace

int delay_milliseconds(const std::string& seconds) {
    constexpr double A_DAY = 24 * 60 * 60;
    char* end = nullptr;
    const double value = std::strtod(seconds.c_str(), &end);
    if (seconds.empty() || *end != '\0' || !(value > 0) || value > A_DAY) return 0;
    return std::max(1, static_cast<int>(std::lround(value * 1000)));
}

ViewerStart start_viewer(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err) {
    std::vector<std::string> names;
    bool rebuild = false;
    bool options_ended = false;
    ViewerStart choices;
    std::string problem;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool is_option = !options_ended && argument.size() > 1 && argument[0] == '-';
        const OptionOutcome outcome = is_option
                                          ? read_show_option(arguments, &i, &choices, &problem)
                                          : OptionOutcome::not_one;
        if (outcome == OptionOutcome::wrong) return refuse_usage(problem, err);
        if (outcome == OptionOutcome::taken) continue;
        if (is_option && (argument == "--help" || argument == "-h")) {
            out << usage_line << help_text;
            return end_with(0);
        } else if (is_option && argument == "--version") {
            out << version_line() << '\n';
            return end_with(0);
        } else if (is_option && argument == "--rebuild") {
            rebuild = true;
        } else if (is_option && argument == "--") {
            options_ended = true;
        } else if (is_option) {
            return refuse_usage("unknown option '" + argument + "'", err);
        } else if (argument.empty()) {
            return refuse_usage("an empty name was given", err);
        } else {
            names.push_back(argument);
        }
    }
    const ViewerStart start = open_names(names, rebuild, err);
    if (!start.run_show) return start;
    choices.run_show = true;
    return choices;
}

}  // namespace cli
