// qzview-show COMMAND: check, dump or load the show script of a show directory, make
// a new show, add image files to it, or draw its contact sheet.
#include <iostream>
#include <string>
#include <vector>

#include "cli/version.h"
#include "tools/show/show_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (cli::answered_version(arguments, std::cout)) return 0;
    return show_tool::run_show_tool(arguments, std::cout, std::cerr);
}
