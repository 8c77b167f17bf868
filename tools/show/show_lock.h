// One writer at a time on a show: the commands that change SCR1.BIL hold an exclusive
// lock on a file in the show's directory for the whole of their work, so that a second
// one waits and then reads the show the first one left.
#pragma once

#include <string>

namespace show_tool {

constexpr const char* LOCK_FILE_NAME = ".qzview-show.lock";
constexpr int DEFAULT_LOCK_WAIT_SECONDS = 60;

class ShowLock {
  public:
    ShowLock() = default;
    ~ShowLock();
    ShowLock(const ShowLock&) = delete;
    ShowLock& operator=(const ShowLock&) = delete;

    // Takes the lock of the show in the working directory, waiting up to wait_seconds for
    // another holder to let go. false with a reason naming directory's lock file when it
    // cannot be made or is still held.
    bool take(const std::string& directory, int wait_seconds, std::string* reason);

  private:
    int descriptor = -1;
};

}  // namespace show_tool
