#include "tools/show/show_check.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

#include "display/bitmap_loader.h"
#include "display/layout.h"
#include "platform/common/bmp_decoder.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "sound/wave_file.h"
#include "tools/show/show_image.h"

namespace show_tool {

namespace {

constexpr int32_t GRAPHICS_SHEET_PICTURE = 1;
constexpr int32_t TITLE_PICTURE = 2;
// The sheet has label strips for levels 1 to 48; higher levels get the last one.
constexpr int32_t HIGHEST_LEVEL_STRIP = layout::LEVEL_STRIPS;

std::string picture_file_name(int32_t number) {
    if (number <= 0) return NO_PICTURE_FILE;
    char name[FILE_NAME_SIZE];
    build_picture_file_name(name, number);
    return name;
}

std::string box_file_name(int32_t number) {
    char name[FILE_NAME_SIZE];
    build_box_file_name(name, number);
    return name;
}

std::string sound_file_name(int32_t number) {
    char name[FILE_NAME_SIZE];
    std::snprintf(name, sizeof name, "bsou%d.WAV", static_cast<int>(number));
    return name;
}

// Collects the files with their uses, each name once, in the order of first use.
class NeedList {
  public:
    void add(const std::string& name, bool is_sound, FileUse use, int32_t entry) {
        auto [at, is_new] = index_by_name.emplace(name, files.size());
        if (is_new) files.push_back(NeededFile{name, is_sound, {}});
        files[at->second].uses.emplace_back(use, entry);
    }
    std::vector<NeededFile> files;

  private:
    std::unordered_map<std::string, size_t> index_by_name;
};

void add_entry_needs(NeedList& needs, int32_t entry) {
    needs.add(picture_file_name(picture_table.pic_file[entry]), false, FileUse::screenshot, entry);
    const int32_t boxes[] = {picture_table.pic_box1[entry], picture_table.pic_box2[entry],
                             picture_table.pic_box3[entry]};
    const FileUse box_uses[] = {FileUse::box1, FileUse::box2, FileUse::box3};
    for (int box = 0; box < 3; ++box)
        if (boxes[box] > 0) needs.add(box_file_name(boxes[box]), false, box_uses[box], entry);
    if (picture_table.pic_wave[entry] > 0)
        needs.add(sound_file_name(picture_table.pic_wave[entry]), true, FileUse::sound, entry);
}

const char* use_name(FileUse use) {
    switch (use) {
        case FileUse::graphics_sheet:
            return "graphics sheet";
        case FileUse::title_picture:
            return "title picture";
        case FileUse::screenshot:
            return "screenshot";
        case FileUse::box1:
            return "box 1";
        case FileUse::box2:
            return "box 2";
        case FileUse::box3:
            return "box 3";
        case FileUse::sound:
            return "sound";
    }
    return "";
}

bool is_per_entry(FileUse use) {
    return use != FileUse::graphics_sheet && use != FileUse::title_picture;
}

std::string describe_picture_count(int64_t count) {
    if (count >= 1 && count <= MAX_PICTURES) return "";
    const int64_t clamped = count < 1 ? 1 : MAX_PICTURES;
    return "the picture count " + std::to_string(count) + " is outside 1.." +
           std::to_string(MAX_PICTURES) + ": the program clamps it to " + std::to_string(clamped);
}

std::vector<std::string> describe_high_levels() {
    std::map<int32_t, std::vector<int32_t>> entries_by_level;
    for (int32_t entry = 1; entry <= picture_table.picture_count; ++entry)
        if (picture_table.pic_level[entry] > HIGHEST_LEVEL_STRIP)
            entries_by_level[picture_table.pic_level[entry]].push_back(entry);
    std::vector<std::string> lines;
    for (const auto& [level, entries] : entries_by_level) {
        lines.push_back("level " + std::to_string(level) + " of " + describe_entries(entries) +
                        " is above " + std::to_string(HIGHEST_LEVEL_STRIP) +
                        ": the program draws the strip of level " +
                        std::to_string(HIGHEST_LEVEL_STRIP));
    }
    return lines;
}

void add_warning(CheckResult* result, const std::string& warning) {
    if (!warning.empty()) result->warnings.push_back(warning);
}

}  // namespace

std::vector<NeededFile> files_the_show_needs() {
    NeedList needs;
    needs.add(picture_file_name(GRAPHICS_SHEET_PICTURE), false, FileUse::graphics_sheet, 0);
    needs.add(picture_file_name(TITLE_PICTURE), false, FileUse::title_picture, 0);
    for (int32_t entry = 1; entry <= picture_table.picture_count; ++entry)
        add_entry_needs(needs, entry);
    return needs.files;
}

std::vector<NeededFile> files_of_entry(int32_t entry) {
    NeedList needs;
    add_entry_needs(needs, entry);
    return needs.files;
}

FileState check_needed_file(const NeededFile& file) {
    struct stat info;
    if (stat(file.name.c_str(), &info) != 0) return FileState::missing;
    if (file.is_sound) {
        WaveFile wave;
        WaveFormat format{};
        uint32_t data_size = 0;
        if (!open_wave_file(file.name.c_str(), &wave, &format, &data_size))
            return FileState::not_loadable;
        close_wave_file(&wave);
        return FileState::present;
    }
    DecodedImage image;
    return bmp_decode_file(file.name.c_str(), PixelFormat::xrgb8888, &image)
               ? FileState::present
               : FileState::not_loadable;
}

const char* describe_file_state(FileState state, bool is_sound) {
    if (state == FileState::missing) return "missing";
    if (state == FileState::present) return "present";
    return is_sound ? "does not load as a PCM WAVE file" : "does not load as a bitmap";
}

std::string describe_entries(const std::vector<int32_t>& entries) {
    std::string text = entries.size() == 1 ? "entry " : "entries ";
    for (size_t i = 0; i < entries.size();) {
        size_t last = i;
        while (last + 1 < entries.size() && entries[last + 1] == entries[last] + 1)
            ++last;
        if (i > 0) text += ", ";
        text += std::to_string(entries[i]);
        if (last > i) text += "-" + std::to_string(entries[last]);
        i = last + 1;
    }
    return text;
}

std::string describe_uses(const NeededFile& file) {
    std::map<FileUse, std::vector<int32_t>> entries_by_use;
    for (const auto& [use, entry] : file.uses)
        entries_by_use[use].push_back(entry);
    std::string text;
    for (const auto& [use, entries] : entries_by_use) {
        if (!text.empty()) text += "; ";
        text += use_name(use);
        if (is_per_entry(use)) text += " of " + describe_entries(entries);
    }
    return text;
}

namespace {

bool looks_like_screenshot(const std::string& name) {
    return name.size() > 7 && strncasecmp(name.c_str(), "scs", 3) == 0 &&
           strcasecmp(name.c_str() + name.size() - 4, ".bmp") == 0;
}

// The program looks its files up by their exact names, so a name that differs in
// letter case only is not used either.
std::vector<std::string> unused_screenshots(const std::vector<NeededFile>& needs) {
    std::set<std::string> needed;
    for (const NeededFile& file : needs)
        needed.insert(file.name);
    std::vector<std::string> unused;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(".", error)) {
        const std::string name = item.path().filename().string();
        if (looks_like_screenshot(name) && needed.count(name) == 0 && !item.is_directory(error))
            unused.push_back(name);
    }
    std::sort(unused.begin(), unused.end());
    return unused;
}

}  // namespace

bool check_show(CheckResult* result, std::string* error) {
    build_show_file_name();
    ShowFileContents contents;
    if (!read_show_file_contents(picture_table.show_file_name, &contents, error)) return false;
    // The table as the program itself reads it, clamped count and all.
    set_up_startup_table();
    if (!load_show_file()) {
        *error = "it cannot be opened";
        return false;
    }
    *result = CheckResult{};
    add_warning(result, describe_unusual_size(contents.file_size));
    add_warning(result,
                describe_picture_count(value_at(contents.image, block_named("picture_count"), 0)));
    for (const std::string& warning : describe_high_levels())
        add_warning(result, warning);

    const std::vector<NeededFile> needs = files_the_show_needs();
    for (const NeededFile& file : needs) {
        const FileState file_state = check_needed_file(file);
        if (file_state != FileState::present)
            result->problems.push_back(
                FileProblem{file.name, file_state, file.is_sound, describe_uses(file)});
    }
    result->files_checked = needs.size();
    result->unused_screenshots = unused_screenshots(needs);
    return true;
}

}  // namespace show_tool
