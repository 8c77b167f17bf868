// The show as its viewer sees it, frame by frame: the program's own start-up and
// presentation code run on the scripted backend, and the finished frames read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/demo/canvas.h"

namespace show_tool {

struct ShowFrame {
    demo::Canvas picture{0, 0};         // 1024 x 768
    std::vector<std::string> problems;  // "scs00105.BMP: missing", one for each file
};

// Runs in the show's directory. Starts the program's display, graphics sheet and show
// file on the scripted backend, and takes everything down again at the end. The
// backend echoes the bitmap loader's debug lines ("handle is null") on standard error;
// the frames name their missing files themselves, so while they are made standard
// error goes nowhere.
class ShowFrames {
  public:
    ShowFrames();
    ~ShowFrames();
    ShowFrames(const ShowFrames&) = delete;
    ShowFrames& operator=(const ShowFrames&) = delete;

    // false with a reason when the show file cannot be read or the display not started.
    bool start(std::string* reason);
    int32_t entries() const;
    // The title screen, as the show starts with it.
    ShowFrame title();
    // The graphics sheet as the program holds it.
    ShowFrame graphics_sheet();
    // Entry 1..entries() presented as in the show: editor off, no status lines, no
    // transition. Where the screenshot does not load the frame has black under the
    // other layers instead of whatever the previous entry left.
    ShowFrame entry(int32_t entry);

  private:
    int saved_standard_error = -1;
};

}  // namespace show_tool
