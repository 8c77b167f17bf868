// The show file in the browser's storage. The program saves SCR1.BIL in the page's
// file system as anywhere else; the device notices a save by the file's new identity
// (a save renames a fresh file over the old one) and has the page keep it.
#include <emscripten.h>
#include <sys/stat.h>

#include "platform/web/web_device.h"

namespace {

constexpr const char* SHOW_FILE = "SCR1.BIL";

struct FileIdentity {
    ino_t inode = 0;
    int64_t modified_ns = 0;
    bool exists = false;
    bool operator==(const FileIdentity& other) const {
        return inode == other.inode && modified_ns == other.modified_ns && exists == other.exists;
    }
};

FileIdentity identity_of(const char* name) {
    struct stat status;
    if (stat(name, &status) != 0) return {};
    return {status.st_ino,
            static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
            true};
}

FileIdentity& last_seen() {
    static FileIdentity identity;
    return identity;
}

// clang-format off
EM_ASYNC_JS(void, page_restore_show_file, (), { await qz.restoreShowFile(); });
EM_JS(void, page_keep_show_file, (), { qz.keepShowFile(); });
// clang-format on

}  // namespace

void restore_saved_show_file() {
    page_restore_show_file();
    last_seen() = identity_of(SHOW_FILE);
}

void keep_show_file_when_saved() {
    const FileIdentity now = identity_of(SHOW_FILE);
    if (now == last_seen()) return;
    last_seen() = now;
    if (now.exists) page_keep_show_file();
}
