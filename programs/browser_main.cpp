// qzview in a web page: the show's files lie in the page's file system under /show,
// where the program runs as it does in a show directory on the desktop.
#include <emscripten.h>
#include <unistd.h>

#include "app/program.h"
#include "platform/web/web_device.h"

namespace {

constexpr const char* SHOW_DIRECTORY = "/show";

// clang-format off
EM_JS(void, page_show_ended, (int status), { qz.showEnded(status); });
// clang-format on

}  // namespace

int main() {
    int status = 1;
    if (chdir(SHOW_DIRECTORY) == 0) {
        restore_saved_show_file();
        const int result = program_main(nullptr, 1);
        keep_show_file_when_saved();
        status = program_exit_status(result);
    }
    web_device().shutdown();
    page_show_ended(status);
    return status;
}
