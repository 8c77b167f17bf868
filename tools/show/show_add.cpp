#include "tools/show/show_add.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "display/layout.h"
#include "platform/common/bmp_writer.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tools/show/options.h"
#include "tools/show/picture_import.h"
#include "tools/show/picture_scaling.h"
#include "tools/show/show_check.h"
#include "tools/show/tool_support.h"

namespace show_tool {

const char* const add_help =
    "usage: qzview-show add [--dir DIR] [--at N] [--box1 B] [--level L] [--sound S] FILES...\n"
    "\n"
    "Adds each image file (PNG, JPEG, WebP, BMP, GIF's first frame, and the other forms\n"
    "SDL2_image reads) to the show in DIR, by default the working directory:\n"
    "  - the picture is written as the next free screenshot scsNNNNN.BMP, a 24-bit\n"
    "    bitmap of 1024 x 768; a picture of another size is scaled to fit, with black\n"
    "    bars where its aspect ratio differs (each new pixel the mean of the picture's\n"
    "    area under it, which keeps text and edges sharp);\n"
    "  - numbers start at 100, above the highest screenshot number the directory or\n"
    "    the show already uses; no file is ever replaced;\n"
    "  - a new entry for it is appended to SCR1.BIL, or with --at N inserted after\n"
    "    entry N (0: before the first); the entries after it move up by one, marks\n"
    "    and all. Without SCR1.BIL the first picture becomes entry 1.\n"
    "\n"
    "Each new entry has box 1 = B, level strip L and one-time sound S (all 0, none, by\n"
    "default), no box 2 or 3, the program's default box positions and no mark.\n"
    "SCR1.BIL is saved once at the end as the program's editor saves it.\n"
    "\n"
    "Prints one line per file: the file, the screenshot written and its entry. A file\n"
    "that cannot be decoded is named with the decoder's reason, and one that does not\n"
    "fit into the show's 499 entries is named too; the other files still go in.\n"
    "When SCR1.BIL or the directory cannot be written, nothing is added and no new\n"
    "screenshot is left behind.\n"
    "\n"
    "Exit status: 0 every file added, 1 some file not added or the show not writable,\n"
    "2 a wrong command line (no files, --at beyond the show, a negative number).\n";

namespace {

constexpr const char* COMMAND = "add";
constexpr int32_t FIRST_SCREENSHOT_NUMBER = 100;
constexpr int32_t HIGHEST_LEVEL_STRIP = 48;

struct AddRequest {
    std::string directory = ".";
    int64_t after = -1;  // -1: append
    int64_t box1 = 0;
    int64_t level = 0;
    int64_t sound = 0;
    std::vector<std::string> files;  // as given
    std::vector<std::string> paths;  // the same, to be opened from the show's directory
};

// The show script being extended, as the program reads it.
struct Show {
    ShowImage image{};
    int32_t entries = 0;  // 0 when the directory has no show file yet
    bool has_file = false;
};

struct AddedPicture {
    std::string source;
    int width, height;
    int32_t number;
    std::string file_name;
    int32_t entry;
};

int fail(std::ostream& err, const std::string& message) {
    err << PROGRAM << ": " << COMMAND << ": " << message << '\n';
    return STATUS_FAILED;
}

// false after reporting a wrong command line (*status is then the exit status).
bool parse_request(const std::vector<std::string>& arguments, AddRequest* request,
                   std::ostream& out, std::ostream& err, int* status) {
    CommandLine line;
    std::string error;
    const bool parsed =
        parse_command_line(arguments, {"--dir", "--at", "--box1", "--level", "--sound"}, &line,
                           &error) &&
        number_option(line, "--at", 0, MAX_PICTURES, &request->after, &error) &&
        number_option(line, "--box1", 0, INT32_MAX, &request->box1, &error) &&
        number_option(line, "--level", 0, INT32_MAX, &request->level, &error) &&
        number_option(line, "--sound", 0, INT32_MAX, &request->sound, &error);
    if (parsed && line.operands.empty()) error = "no image files given";
    if (!command_line_accepted(parsed && line.help, error, COMMAND, add_help, out, err, status))
        return false;
    if (line.values.count("--dir") != 0) request->directory = line.values["--dir"];
    request->files = line.operands;
    for (const std::string& file : request->files) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(file, error);
        request->paths.push_back(error ? file : path.string());
    }
    return true;
}

bool read_show(Show* show, std::string* reason) {
    build_show_file_name();
    struct stat info;
    if (stat(picture_table.show_file_name, &info) != 0 && errno == ENOENT) {
        show->image = startup_image();
        return true;
    }
    ShowFileContents contents;
    if (!read_show_file_contents(picture_table.show_file_name, &contents, reason)) return false;
    *reason = describe_unusual_size(contents.file_size);
    show->image = contents.image;
    show->has_file = true;
    // The picture count as the program takes it.
    const int64_t stored = value_at(show->image, block_named("picture_count"), 0);
    show->entries = static_cast<int32_t>(std::clamp<int64_t>(stored, 1, MAX_PICTURES));
    return true;
}

// "scs00123.BMP" in any letter case: 123; otherwise 0.
int32_t screenshot_number_of(const std::string& name) {
    if (name.size() < 8 || strncasecmp(name.c_str(), "scs", 3) != 0 ||
        strcasecmp(name.c_str() + name.size() - 4, ".bmp") != 0)
        return 0;
    int64_t number = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size() - 4;
    const auto [stop, problem] = std::from_chars(first, last, number);
    if (problem != std::errc() || stop != last || number > INT32_MAX) return 0;
    return static_cast<int32_t>(number);
}

// New pictures go above every screenshot number the directory or the show uses, so
// that an entry whose file has gone missing never shows a newcomer instead.
int32_t first_free_number(const Show& show) {
    int32_t highest = FIRST_SCREENSHOT_NUMBER - 1;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(".", error))
        highest = std::max(highest, screenshot_number_of(item.path().filename().string()));
    const ShowFileBlock& files = block_named("pic_file");
    for (int32_t entry = 1; entry <= show.entries; ++entry)
        highest = std::max(highest, static_cast<int32_t>(value_at(show.image, files, entry)));
    return highest == INT32_MAX ? INT32_MAX : highest + 1;
}

// Opens a slot after entry `after` and fills it as a fresh entry. Every column moves,
// the marks too, so the rest of the show stays as it was.
void insert_entry(Show* show, int32_t after, const AddRequest& request, int32_t number,
                  const ShowImage& defaults) {
    const int32_t entry = after + 1;
    for (const ShowFileBlock& block : show_file_blocks) {
        if (!is_entry_column(block)) continue;
        for (int32_t i = show->entries; i >= entry; --i)
            set_value_at(&show->image, block, i + 1, value_at(show->image, block, i));
        set_value_at(&show->image, block, entry, value_at(defaults, block, 0));
    }
    set_value_at(&show->image, block_named("pic_file"), entry, number);
    set_value_at(&show->image, block_named("pic_box1"), entry, request.box1);
    set_value_at(&show->image, block_named("pic_level"), entry, request.level);
    set_value_at(&show->image, block_named("pic_wave"), entry, request.sound);
    show->entries += 1;
    set_value_at(&show->image, block_named("picture_count"), 0, show->entries);
}

// Writes the screenshot under the first free number from *next on; false with the
// reason when it cannot be written.
bool write_screenshot(const demo::Canvas& screen, int32_t* next, AddedPicture* added,
                      std::string* reason) {
    const std::vector<uint8_t> bytes =
        bmp_encode_24(screen.width, screen.height, screen.pixels.data());
    for (;; ++*next) {
        char name[FILE_NAME_SIZE];
        build_picture_file_name(name, *next);
        const NewFile result = write_new_file(name, bytes, reason);
        if (result == NewFile::exists && *next < INT32_MAX) continue;
        if (result != NewFile::written) {
            if (result == NewFile::exists) *reason = "no free screenshot number is left";
            *reason = std::string("cannot write ") + name + ": " + *reason;
            return false;
        }
        added->number = *next;
        added->file_name = name;
        ++*next;
        return true;
    }
}

// Nothing can be added when the save would fail; saying so before anything is written.
bool check_writable(const Show& show, const AddRequest& request, std::string* reason) {
    if (access(".", W_OK) != 0) {
        *reason = "cannot write in " + request.directory + ": " + std::strerror(errno);
        return false;
    }
    if (show.has_file && access(picture_table.show_file_name, W_OK) != 0) {
        *reason = show_file_path(request.directory) + " cannot be written: " + std::strerror(errno);
        return false;
    }
    return true;
}

void warn_about_numbers(const AddRequest& request, std::ostream& err) {
    char name[FILE_NAME_SIZE];
    if (request.box1 > 0) {
        build_box_file_name(name, static_cast<int32_t>(request.box1));
        if (access(name, F_OK) != 0)
            warn(err, "box 1 is " + path_in(request.directory, name) + ", which is not there");
    }
    if (request.sound > 0) {
        const std::string sound = "bsou" + std::to_string(request.sound) + ".WAV";
        if (access(sound.c_str(), F_OK) != 0)
            warn(err, "the sound is " + path_in(request.directory, sound) + ", which is not there");
    }
    if (request.level > HIGHEST_LEVEL_STRIP)
        warn(err, "level " + std::to_string(request.level) +
                      " is above 48: the program draws the strip of level 48");
}

std::string describe_added(const AddedPicture& added, const std::string& directory) {
    std::string line = added.source + " -> " + path_in(directory, added.file_name) + ", entry " +
                       std::to_string(added.entry);
    if (added.width != layout::SCREEN_WIDTH || added.height != layout::SCREEN_HEIGHT) {
        const Placement fit =
            fit_inside(added.width, added.height, layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT);
        line += " (" + std::to_string(added.width) + "x" + std::to_string(added.height) +
                " scaled to " + std::to_string(fit.width) + "x" + std::to_string(fit.height) + ")";
    }
    return line;
}

// Takes in every file it can; false when one of them could not be added.
bool add_files(const AddRequest& request, Show* show, std::vector<AddedPicture>* added,
               std::ostream& err) {
    const ShowImage defaults = startup_image();
    int32_t next = first_free_number(*show);
    int32_t after = request.after < 0 ? show->entries : static_cast<int32_t>(request.after);
    bool all_added = true;
    for (size_t i = 0; i < request.files.size(); ++i) {
        const std::string& file = request.files[i];
        std::string reason;
        demo::Canvas picture(0, 0);
        if (show->entries >= MAX_PICTURES) {
            reason = "not added: the show has 499 entries, as many as it can hold";
        } else {
            decode_image_file(request.paths[i], &picture, &reason);
        }
        AddedPicture picture_added{file, picture.width, picture.height, 0, "", after + 1};
        if (reason.empty() &&
            write_screenshot(fit_with_bars(picture, layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT),
                             &next, &picture_added, &reason)) {
            insert_entry(show, after, request, picture_added.number, defaults);
            added->push_back(picture_added);
            ++after;
            continue;
        }
        fail(err, file + ": " + reason);
        all_added = false;
    }
    return all_added;
}

bool save_show(const Show& show) {
    if (!put_into_table(show.image)) return false;
    build_show_file_name();
    return save_show_file();
}

}  // namespace

int run_add(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    AddRequest request;
    int status = STATUS_DONE;
    if (!parse_request(arguments, &request, out, err, &status)) return status;

    ShowDirectory directory(request.directory);
    if (!directory.entered())
        return fail(err, "cannot enter " + request.directory + ": " + directory.why_not());
    Show show;
    std::string reason;
    if (!read_show(&show, &reason))
        return fail(err, "cannot read " + show_file_path(request.directory) + ": " + reason);
    warn(err, reason);
    if (request.after > show.entries)
        return usage_error(err, COMMAND,
                           "--at " + std::to_string(request.after) + " is beyond the show's " +
                               std::to_string(show.entries) + " entries");
    if (!check_writable(show, request, &reason)) return fail(err, reason + "; nothing added");
    warn_about_numbers(request, err);

    std::vector<AddedPicture> added;
    const bool all_added = add_files(request, &show, &added, err);
    if (added.empty()) return STATUS_FAILED;
    if (!save_show(show)) {
        for (const AddedPicture& picture : added)
            unlink(picture.file_name.c_str());
        return fail(err, "cannot write " + show_file_path(request.directory) +
                             "; nothing added, the new screenshots are removed again");
    }
    for (const AddedPicture& picture : added)
        out << describe_added(picture, request.directory) << '\n';
    out << show_file_path(request.directory) << ": " << added.size()
        << (added.size() == 1 ? " entry" : " entries") << " added, " << show.entries
        << " in the show\n";
    return all_added ? STATUS_DONE : STATUS_FAILED;
}

}  // namespace show_tool
