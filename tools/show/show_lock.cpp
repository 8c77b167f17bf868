#include "tools/show/show_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "tools/show/tool_support.h"

namespace show_tool {

ShowLock::~ShowLock() {
    if (descriptor >= 0) close(descriptor);  // closing lets go of the lock
}

bool ShowLock::take(const std::string& directory, int wait_seconds, std::string* reason) {
    const std::string path = path_in(directory, LOCK_FILE_NAME);
    descriptor = open(LOCK_FILE_NAME, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        *reason = "cannot make the lock file " + path + ": " + std::strerror(errno);
        return false;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(wait_seconds);
    while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *reason = "cannot lock " + path + ": " + std::strerror(errno);
            return false;
        }
        if (Clock::now() >= give_up) {
            *reason = path + " is still held by another qzview-show after " +
                      std::to_string(wait_seconds) + " s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace show_tool
