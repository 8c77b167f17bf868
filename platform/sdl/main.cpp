// qzview: the show on the desktop, through SDL2.
#include <cstdio>

#include "app/program.h"
#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

int main() {
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
