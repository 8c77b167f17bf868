// The command line of the Linux program: qzview [OPTIONS] [DIR | PICTURES...].
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit statuses of a start that ends before the show runs.
constexpr int STATUS_NOT_A_SHOW = 1;
constexpr int STATUS_USAGE = 2;  // a wrong command line, or a DIR that cannot be read

// What the program does once its command line has been read.
struct ViewerStart {
    bool run_show = false;  // run the show, from the working directory
    int exit_status = 0;    // when not: end at once with this status
    // What the options ask of the run; the show as it always is by default.
    bool keys = false;     // --keys
    int delay_ms = 0;      // --delay SECONDS; 0: none
    int window_width = 0;  // --window[=WxH]; 0: full screen
    int window_height = 0;
    bool verbose = false;  // --verbose
};

// The window --window opens when it names no size.
constexpr int DEFAULT_WINDOW_WIDTH = 1024;
constexpr int DEFAULT_WINDOW_HEIGHT = 768;

// SECONDS of --delay (a number above 0, fractions allowed, at most a day) in
// milliseconds; 0 when it is no such number.
int delay_milliseconds(const std::string& seconds);

// Reads the arguments after the program's name. --help and --version are answered on
// `out`; a wrong command line, a DIR that is not a readable directory and a DIR that
// holds neither a show nor pictures get their message on `err`. Pictures, or a DIR of
// pictures without a show, are made into a show in the user's cache directory, whose
// progress is reported on `err`. Only the file system is looked at, so nothing
// appears on the screen for a show that is not there. When the show is to run, DIR
// (or the pictures' show) has become the working directory: the show reads its files
// there and the editor saves its show script there, as when the program is started
// in DIR.
ViewerStart start_viewer(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err);

}  // namespace cli
