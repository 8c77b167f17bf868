// qzview: the show on the desktop, through SDL2.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

#include "app/program.h"
#include "cli/viewer_command_line.h"
#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

namespace {

#if defined(__GLIBC__)
// The first pictures' blocks, the graphics sheet's and the title's, are fresh heap all
// the same. Where the system offers 2 MB pages, the heap they come from is marked for
// them: two page faults a block instead of 768, about 2 ms less at the start.
void picture_heap_in_huge_pages() {
#if defined(MADV_HUGEPAGE)
    constexpr size_t PICTURE_HEAP = size_t{10} << 20;
    constexpr uintptr_t HUGE_PAGE = uintptr_t{2} << 20;
    void* block = std::malloc(PICTURE_HEAP);
    if (block == nullptr) return;
    const auto at = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (at + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (at + PICTURE_HEAP) & ~(HUGE_PAGE - 1);
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    // Back to the heap, which keeps it for the pictures.
    std::free(block);
#endif
}
#endif

// Every picture is read and decoded into blocks of 2 to 3 MB. Left to itself, the C
// library gives such blocks back to the system when they are freed, and the next
// picture's blocks then come as fresh pages, each cleared by the system at its first
// touch: about 1.5 ms a block here. Kept in the heap, they are used again.
void keep_picture_blocks() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    picture_heap_in_huge_pages();
#endif
}

// Without a display, one line says so (SDL's reason too with --verbose); any other
// failed start in the program's own words.
void report_failed_start(bool verbose) {
    const std::string& no_display = sdl_device().display_failure();
    if (!no_display.empty()) {
        std::fprintf(stderr, "qzview: no display could be opened%s%s\n", verbose ? ": " : "",
                     verbose ? no_display.c_str() : "");
    } else if (const char* failure = program_startup_failure_text()) {
        std::fprintf(stderr, "qzview: %s\n", cp1252_to_utf8(failure).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const cli::ViewerStart start = cli::start_viewer({argv + 1, argv + argc}, std::cout, std::cerr);
    if (!start.run_show) return start.exit_status;
    keep_picture_blocks();
    sdl_device().set_window_size(start.window_width, start.window_height);
    sdl_device().set_verbose(start.verbose);
    const int result = program_main(nullptr, 1, {start.keys, start.delay_ms});
    report_failed_start(start.verbose);
    const int status = program_exit_status(result);
    sdl_device().shutdown();
    return status;
}
