// qzview: the show on the desktop, through SDL2.
#include <cstdio>
#include <iostream>

#include "app/program.h"
#include "cli/viewer_command_line.h"
#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

int main(int argc, char** argv) {
    const cli::ViewerStart start = cli::start_viewer({argv + 1, argv + argc}, std::cout, std::cerr);
    if (!start.run_show) return start.exit_status;
    const int result = program_main(nullptr, 1);
    if (!sdl_device().display_failure().empty())
        std::fprintf(stderr, "qzview: no display could be opened: %s\n",
                     sdl_device().display_failure().c_str());
    if (const char* failure = program_startup_failure_text())
        std::fprintf(stderr, "qzview: %s\n", cp1252_to_utf8(failure).c_str());
    const int status = program_exit_status(result);
    sdl_device().shutdown();
    return status;
}
