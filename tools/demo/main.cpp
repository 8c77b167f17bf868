// qzview-demo DIR: writes a complete demo show (graphics, screenshots, boxes, sounds
// and show script) into DIR, ready for the program to run there.
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
    "Files of the same names in DIR are replaced.\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be written, 2 a wrong command line.\n";

int refuse(const std::string& why) {
    std::fprintf(stderr, "qzview-demo: %s\n%s", why.c_str(), usage);
    return 2;
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
    std::string error;
    if (!demo::write_demo_show(dir, &error)) {
        std::fprintf(stderr, "qzview-demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("qzview-demo: demo show written to %s\n", dir.c_str());
    return 0;
}
