// qzview-headless: the program on the scripted backend, driven by a script file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/program.h"
#include "cli/version.h"
#include "cli/viewer_command_line.h"
#include "platform/common/cp1252.h"
#include "platform/headless/headless.h"

namespace {

const char* const usage =
    "usage: qzview-headless [--fail OP]... [--depth 16] [--keys] [--delay SECONDS]\n"
    "                       [--text-log FILE] [--sound-log FILE] SCRIPT\n"
    "       qzview-headless --help | --version\n"
    "\n"
    "Runs the show in the working directory with input from SCRIPT instead of a screen,\n"
    "mouse and keyboard. Script lines (blank lines and lines starting with # are skipped)\n"
    "take effect when the program next waits for input:\n"
    "  move DX DY              mouse motion in device counts (the pointer moves twice as far)\n"
    "  click left|right        a button press and its release\n"
    "  press left|right        a button press alone\n"
    "  release left|right      a button release alone\n"
    "  key NAME                a key press, with the character it types: left, up, right,\n"
    "                          down, pageup, pagedown, home, end, space, escape, backspace,\n"
    "                          q, m\n"
    "  wheel N                 the mouse wheel, N notches (away from the user positive)\n"
    "  type TEXT               one character per character of TEXT (the rest of the line)\n"
    "  char N                  one character with byte N (enter 13, esc 27, backspace 8, tab 9)\n"
    "  activate 1|0            the window gains or loses activation\n"
    "  lose                    the mouse is taken away from the program (input lost)\n"
    "  wait MS                 the simulated clock moves on by MS milliseconds\n"
    "  shot FILE               write what the screen shows now as a 24-bit BMP\n"
    "  close                   close the window\n"
    "When the script ends before the program has quit, the window is destroyed.\n"
    "\n"
    "--text-log FILE   one line per text drawn: SURFACE X Y RRGGBB FONT TEXT (UTF-8)\n"
    "--sound-log FILE  one line per sound operation: load C N, play C once|loop, stop C,\n"
    "                  release C, device none\n"
    "--depth 16        the 32-bit display mode is refused (same as --fail mode32)\n"
    "--keys            the show's keys and the wheel work the show, as qzview --keys\n"
    "--delay SECONDS   the show moves on after SECONDS without input (simulated clock)\n"
    "--fail OP         make one platform operation fail; OP is one of:\n";

void print_usage(FILE* to) {
    std::fputs(usage, to);
    for (const HeadlessFaultName& fault : headless_fault_names())
        std::fprintf(to, "  %-14s %s\n", fault.name, fault.meaning);
}

int refuse(const std::string& why) {
    std::fprintf(stderr, "qzview-headless: %s\n", why.c_str());
    print_usage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    headless_reset();
    std::string script;
    ShowOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            print_usage(stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("%s\n", cli::version_line().c_str());
            return 0;
        } else if (arg == "--fail" && has_value) {
            if (!headless_fail(argv[++i]))
                return refuse(std::string("unknown operation ") + argv[i]);
        } else if (arg == "--depth" && has_value) {
            const std::string depth = argv[++i];
            if (depth == "16") {
                headless_fail("mode32");
            } else if (depth != "32") {
                return refuse("--depth takes 16 or 32");
            }
        } else if (arg == "--keys") {
            options.keys = true;
        } else if (arg == "--delay" && has_value) {
            options.delay_ms = cli::delay_milliseconds(argv[++i]);
            if (options.delay_ms <= 0) return refuse("--delay takes a number of seconds above 0");
        } else if (arg == "--text-log" && has_value) {
            headless_set_text_log(argv[++i]);
        } else if (arg == "--sound-log" && has_value) {
            headless_set_sound_log(argv[++i]);
        } else if (!arg.empty() && arg[0] == '-') {
            return refuse("unknown option " + arg);
        } else if (script.empty()) {
            script = arg;
        } else {
            return refuse("only one script");
        }
    }
    if (script.empty()) return refuse("no script given");
    std::string error;
    if (!headless_load_script(script, &error)) return refuse(error);

    const int result = program_main(nullptr, 1, options);
    if (const char* failure = program_startup_failure_text())
        std::fprintf(stderr, "qzview: %s\n", cp1252_to_utf8(failure).c_str());
    const int status = program_exit_status(result);
    headless_reset();  // closes the logs
    return status;
}
