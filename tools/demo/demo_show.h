// The whole demo show: graphics sheet, title picture, screenshots, boxes, sounds and
// the show script, as named files. The same bytes on every run: nothing depends on
// the time or on a random seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct DemoFile {
    std::string name;  // as the program looks it up: scs00001.BMP, bsou7.WAV, SCR1.BIL
    std::vector<uint8_t> bytes;
};

// The show in parts, for whoever needs only some of it.
std::vector<DemoFile> make_graphics_files();    // the sheet scs00001.BMP and title scs00002.BMP
std::vector<DemoFile> make_screenshot_files();  // scs00100.BMP and on
std::vector<DemoFile> make_box_files();         // scb00001.BMP and on
std::vector<DemoFile> make_sound_files();       // bsouN.WAV
// SCR1.BIL; built through the global state record (see show_script.h).
DemoFile make_show_script_file();
// All of the above.
std::vector<DemoFile> make_demo_show();
// Creates the directory if needed and writes every file into it; false with a reason
// when something cannot be written.
bool write_demo_show(const std::string& directory, std::string* error);

}  // namespace demo
