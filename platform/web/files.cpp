// The show's files arrive over the network as the program opens them. The page keeps
// the files it has fetched in its file system; a file opened for reading that is not
// there yet is fetched first, while the program waits (the wait hands the browser its
// turn). A file the site does not hold stays missing, as on the desktop. The program
// is linked with fopen wrapped, so every open for reading passes here.
#include <emscripten.h>

#include <cstdio>

extern "C" std::FILE* __real_fopen(const char* name, const char* mode);

namespace {

// clang-format off
EM_JS(int, page_file_at_hand, (const char* name), {
    return qzFiles.atHand(UTF8ToString(name)) ? 1 : 0;
});
EM_ASYNC_JS(void, page_fetch_file, (const char* name), {
    await qzFiles.fetchOpened(UTF8ToString(name));
});
// clang-format on

bool opens_for_reading(const char* mode) {
    return mode != nullptr && mode[0] == 'r';
}

}  // namespace

extern "C" std::FILE* __wrap_fopen(const char* name, const char* mode) {
    // Asking first keeps a file already in the page from costing a turn of the browser.
    if (name != nullptr && opens_for_reading(mode) && page_file_at_hand(name) == 0)
        page_fetch_file(name);
    return __real_fopen(name, mode);
}
