// Which files a show needs (graphics sheet, title picture, and the screenshots,
// boxes and sounds of its entries), and which of them are missing or do not load
// with the program's own loaders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace show_tool {

enum class FileUse { graphics_sheet, title_picture, screenshot, box1, box2, box3, sound };

struct NeededFile {
    std::string name;  // as the program looks it up in the show's directory
    bool is_sound = false;
    std::vector<std::pair<FileUse, int32_t>> uses;  // with the entry; 0 for sheet and title
};

enum class FileState { present, missing, not_loadable };

struct FileProblem {
    std::string name;
    FileState state = FileState::missing;
    bool is_sound = false;
    std::string uses;  // "graphics sheet; screenshot of entries 3-5, 7"
};

struct CheckResult {
    std::vector<std::string> warnings;
    std::vector<FileProblem> problems;  // in the order the show first needs the files
    // Screenshot files (scs*.bmp in any letter case) in the directory that neither the
    // show's entries nor the sheet and title use, by name.
    std::vector<std::string> unused_screenshots;
    size_t files_checked = 0;
};

// From the table in the state record: the sheet, the title picture, then for entries
// 1..picture_count the screenshot, the boxes above 0 and the sound above 0. Each file
// once, in the order of its first use.
std::vector<NeededFile> files_the_show_needs();

// The files one entry 1..499 of the table needs: its screenshot, the boxes above 0 and
// the sound above 0.
std::vector<NeededFile> files_of_entry(int32_t entry);

// Looks the file up in the working directory and loads it as the program would.
FileState check_needed_file(const NeededFile& file);
// "missing", "does not load as a bitmap", "does not load as a PCM WAVE file".
const char* describe_file_state(FileState state, bool is_sound);

std::string describe_uses(const NeededFile& file);

// "entry 3", "entries 3-5, 7".
std::string describe_entries(const std::vector<int32_t>& entries);

// Runs in the show's directory: reads SCR1.BIL with the program's loader into the
// state record and checks every file the show needs. false with a reason when the
// show file cannot be read.
bool check_show(CheckResult* result, std::string* error);

}  // namespace show_tool
