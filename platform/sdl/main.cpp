// qzview: the show on the desktop, through SDL2.
#include <cstdio>
#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/program.h"
#include "cli/viewer_command_line.h"
#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

namespace {

// Every picture is read and decoded into blocks of 2 to 3 MB. Left to itself, the C
// library gives such blocks back to the system when they are freed, and the next
// picture's blocks then come as fresh pages, each cleared by the system at its first
// touch: about 1.5 ms a block here. Kept in the heap, they are used again.
void keep_picture_blocks() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const cli::ViewerStart start = cli::start_viewer({argv + 1, argv + argc}, std::cout, std::cerr);
    if (!start.run_show) return start.exit_status;
    keep_picture_blocks();
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
