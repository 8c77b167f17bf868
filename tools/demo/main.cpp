// qzview-demo DIR: writes a complete demo show (graphics, screenshots, boxes, sounds
// and show script) into DIR, ready for the program to run there.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/version.h"
#include "tools/demo/demo_show.h"

namespace {

const char* const usage =
    "usage: qzview-demo DIR\n"
    "       qzview-demo --help | --version\n";

const char* const help =
    "\n"
    "Writes a complete demo show into DIR (created if needed): the graphics sheet, the\n"
    "title picture, fourteen screenshots, six boxes, the click sounds, a background loop,\n"
    "two one-time sounds and the show script SCR1.BIL. 'qzview DIR' then runs it.\n"
    "A DIR that already holds a show (SCR1.BIL or the graphics sheet scs00001.BMP) is\n"
    "refused and left as it is; other files of the same names in DIR are replaced.\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be written or DIR holds a show, 2 a\n"
    "wrong command line.\n";

int refuse(const std::string& why) {
    std::fprintf(stderr, "qzview-demo: %s\n%s", why.c_str(), usage);
    return 2;
}

// A show's own files are never overwritten by the demo's: the first of them found, or "".
std::string show_file_in(const std::string& dir) {
    for (const char* name : {"SCR1.BIL", "scs00001.BMP"}) {
        const std::string path = dir + (dir.back() == '/' ? "" : "/") + name;
        if (access(path.c_str(), F_OK) == 0) return path;
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (cli::answered_version(arguments, std::cout)) return 0;
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::printf("%s%s", usage, help);
        return 0;
    }
    if (arguments.size() != 1) return refuse("give one directory");
    const std::string& dir = arguments[0];
    if (dir.size() > 1 && dir[0] == '-') return refuse("unknown option '" + dir + "'");
    const std::string existing = show_file_in(dir);
    if (!existing.empty()) {
        std::fprintf(stderr,
                     "qzview-demo: %s holds a show already (%s); nothing written.\n"
                     "Give the demo an empty or new directory.\n",
                     dir.c_str(), existing.c_str());
        return 1;
    }
    std::string error;
    if (!demo::write_demo_show(dir, &error)) {
        std::fprintf(stderr, "qzview-demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("qzview-demo: demo show written to %s\n", dir.c_str());
    return 0;
}
