#include "tools/show/show_add.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>

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
#include "tools/show/show_lock.h"
#include "tools/show/tool_support.h"

namespace show_tool {

const char* const add_help =
    "usage: qzview-show add [--dir DIR] [--at N] [--box1 B] [--level L] [--sound S]\n"
    "                       [--background COLOR] [--fit fill|down] [--wait SECONDS] FILES...\n"
    "\n"
    "Adds each image file (JPEG, PNG, WebP, GIF's first frame, TIFF, HEIF and AVIF where\n"
    "the system's libvips reads them, BMP, TGA, ICO and the other forms SDL2_image reads)\n"
    "to the show in DIR, by default the working directory:\n"
    "  - the picture is turned upright by its EXIF orientation and converted to sRGB\n"
    "    (CMYK and embedded colour profiles too); see-through pixels lie over the\n"
    "    background colour;\n"
    "  - it is written as the next free screenshot scsNNNNN.BMP, a 24-bit bitmap of\n"
    "    1024 x 768; a picture of another size is scaled to fit, with bars of the\n"
    "    background colour where its aspect ratio differs (each new pixel the mean of\n"
    "    the picture's area under it, which keeps text and edges sharp);\n"
    "  - numbers start at 100, above the highest screenshot number the directory or\n"
    "    the show already uses; no file is ever replaced;\n"
    "  - a new entry for it is appended to SCR1.BIL, or with --at N inserted after\n"
    "    entry N (0: before the first); the entries after it move up by one, marks\n"
    "    and all. Without SCR1.BIL the first picture becomes entry 1.\n"
    "\n"
    "  --background COLOR  the bars and what lies under see-through pixels: black\n"
    "                      (the default), white, gray, silver, red, maroon, lime,\n"
    "                      green, blue, navy, yellow, olive, cyan, teal, magenta,\n"
    "                      purple, or #RRGGBB\n"
    "  --fit fill|down     fill (the default): every picture as large as fits;\n"
    "                      down: a picture smaller than 1024 x 768 keeps its size,\n"
    "                      centred, and only larger ones are scaled down\n"
    "  --wait SECONDS      how long to wait for another qzview-show working on the same\n"
    "                      show (default 60)\n"
    "\n"
    "Each new entry has box 1 = B, level strip L and one-time sound S (all 0, none, by\n"
    "default), no box 2 or 3, the program's default box positions and no mark.\n"
    "\n"
    "Each file is decoded in a process of its own with a memory limit of 2 GB and 60 s\n"
    "of processor time: a file that crashes the decoder or runs out of memory is named\n"
    "with the reason, and the other files still go in. Pictures larger than 16384\n"
    "pixels on a side or 100 megapixels are refused, with their size, before they are\n"
    "decoded. One line per file is printed as soon as it is done: the file, the\n"
    "screenshot written and its entry, or the file and why it was not added.\n"
    "\n"
    "The show's directory is locked (DIR/.qzview-show.lock) from before SCR1.BIL is\n"
    "read until it is saved, once, at the end, as the program's editor saves it; an\n"
    "'add' or 'load' started meanwhile waits and then works on the show as this one\n"
    "left it. When SCR1.BIL cannot be saved, or the command is interrupted, the new\n"
    "screenshots are removed again: no screenshot is left that no entry uses.\n"
    "\n"
    "Exit status: 0 every file added, 1 some file not added, the show not writable or\n"
    "still locked after the wait, 2 a wrong command line (no files, --at beyond the\n"
    "show, a negative number, an unknown colour).\n";

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
    int64_t wait_seconds = DEFAULT_LOCK_WAIT_SECONDS;
    ImportSettings settings;
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
    ImportedPicture picture;
    int32_t number = 0;
    std::string file_name;
    int32_t entry = 0;
};

// The screenshots this batch has written, removed again when the batch does not end in a
// saved show: on a failed save, and on an interrupt or termination, whose handler may
// only use what is already in place.
class BatchFiles {
  public:
    BatchFiles() {
        count = 0;
        struct sigaction action {};
        action.sa_handler = remove_and_end;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(SIGNALS); ++i)
            sigaction(SIGNALS[i], &action, &previous[i]);
    }
    ~BatchFiles() {
        for (size_t i = 0; i < std::size(SIGNALS); ++i)
            sigaction(SIGNALS[i], &previous[i], nullptr);
    }
    BatchFiles(const BatchFiles&) = delete;
    BatchFiles& operator=(const BatchFiles&) = delete;

    // Interrupts wait while a screenshot is written and recorded, so that none can end
    // the batch between the two.
    class Held {
      public:
        Held() {
            sigset_t held;
            sigemptyset(&held);
            for (int signal : SIGNALS)
                sigaddset(&held, signal);
            sigprocmask(SIG_BLOCK, &held, &before);
        }
        ~Held() { sigprocmask(SIG_SETMASK, &before, nullptr); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

      private:
        sigset_t before;
    };

    void written(const std::string& name) {
        std::snprintf(names[count], FILE_NAME_SIZE, "%s", name.c_str());
        count = count + 1;
    }
    static void remove_all() {
        for (sig_atomic_t i = 0; i < count; ++i)
            unlink(names[i]);
        count = 0;
    }
    void keep() { count = 0; }

  private:
    static constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
    static void remove_and_end(int signal) {
        remove_all();
        std::signal(signal, SIG_DFL);
        raise(signal);
    }
    static char names[MAX_PICTURES][FILE_NAME_SIZE];
    static volatile sig_atomic_t count;
    struct sigaction previous[std::size(SIGNALS)];
};

char BatchFiles::names[MAX_PICTURES][FILE_NAME_SIZE];
volatile sig_atomic_t BatchFiles::count = 0;

int fail(std::ostream& err, const std::string& message) {
    err << PROGRAM << ": " << COMMAND << ": " << message << '\n';
    return STATUS_FAILED;
}

// false after reporting a wrong command line (*status is then the exit status).
bool parse_request(const std::vector<std::string>& arguments, AddRequest* request,
                   std::ostream& out, std::ostream& err, int* status) {
    CommandLine line;
    std::string error;
    const bool parsed = parse_command_line(arguments,
                                           {"--dir", "--at", "--box1", "--level", "--sound",
                                            "--background", "--fit", "--wait"},
                                           &line, &error) &&
                        number_option(line, "--at", 0, MAX_PICTURES, &request->after, &error) &&
                        number_option(line, "--box1", 0, INT32_MAX, &request->box1, &error) &&
                        number_option(line, "--level", 0, INT32_MAX, &request->level, &error) &&
                        number_option(line, "--sound", 0, INT32_MAX, &request->sound, &error) &&
                        number_option(line, "--wait", 0, 86400, &request->wait_seconds, &error) &&
                        colour_option(line, "--background", &request->settings.background, &error);
    const auto fit = line.values.find("--fit");
    if (parsed && fit != line.values.end()) {
        if (fit->second == "down") request->settings.fit = Fit::down;
        if (fit->second != "down" && fit->second != "fill")
            error = "--fit takes fill or down, not '" + fit->second + "'";
    }
    if (parsed && error.empty() && line.operands.empty()) error = "no image files given";
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
        const NewFile result = write_new_file(name, bytes, reason, Flush::later);
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

bool write_recorded(const demo::Canvas& screen, int32_t* next, AddedPicture* added,
                    BatchFiles* batch, std::string* reason) {
    const BatchFiles::Held interrupts_wait;
    if (!write_screenshot(screen, next, added, reason)) return false;
    batch->written(added->file_name);
    return true;
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
    const ImportedPicture& picture = added.picture;
    const std::string size = std::to_string(picture.width) + "x" + std::to_string(picture.height);
    if (picture.placed.width != picture.width || picture.placed.height != picture.height) {
        line += " (" + size + " scaled to " + std::to_string(picture.placed.width) + "x" +
                std::to_string(picture.placed.height) + ")";
    } else if (picture.width != layout::SCREEN_WIDTH || picture.height != layout::SCREEN_HEIGHT) {
        line += " (" + size + ", centred)";
    }
    return line;
}

// Takes in every file it can, saying at once how each went; false when one of them
// could not be added.
bool add_files(const AddRequest& request, Show* show, std::vector<AddedPicture>* added,
               BatchFiles* batch, std::ostream& out, std::ostream& err) {
    const ShowImage defaults = startup_image();
    int32_t next = first_free_number(*show);
    int32_t after = request.after < 0 ? show->entries : static_cast<int32_t>(request.after);
    bool all_added = true;
    PictureBatch pictures(request.paths, request.settings);
    for (size_t i = 0; i < request.files.size(); ++i) {
        AddedPicture picture{request.files[i], {}, 0, "", after + 1};
        std::string reason;
        if (show->entries >= MAX_PICTURES) {
            reason = "not added: the show has 499 entries, as many as it can hold";
        } else if (pictures.next(&picture.picture, &reason) &&
                   write_recorded(picture.picture.screen, &next, &picture, batch, &reason)) {
            insert_entry(show, after, request, picture.number, defaults);
            picture.picture.screen = demo::Canvas(0, 0);
            out << describe_added(picture, request.directory) << std::endl;
            added->push_back(std::move(picture));
            ++after;
            continue;
        }
        fail(err, request.files[i] + ": " + reason);
        err.flush();
        all_added = false;
    }
    return all_added;
}

// The screenshots reach the disk before the show that names them.
bool save_show(const Show& show) {
    std::string unused;
    if (!flush_directory(&unused) || !put_into_table(show.image)) return false;
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
    ShowLock lock;
    std::string reason;
    if (!lock.take(request.directory, static_cast<int>(request.wait_seconds), &reason))
        return fail(err, reason + "; nothing added");
    Show show;
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
    BatchFiles batch;
    const bool all_added = add_files(request, &show, &added, &batch, out, err);
    if (added.empty()) return STATUS_FAILED;
    if (!save_show(show)) {
        BatchFiles::remove_all();
        return fail(err, "cannot write " + show_file_path(request.directory) +
                             "; nothing added, the new screenshots are removed again");
    }
    batch.keep();
    out << show_file_path(request.directory) << ": " << added.size()
        << (added.size() == 1 ? " entry" : " entries") << " added, " << show.entries
        << " in the show" << std::endl;
    return all_added ? STATUS_DONE : STATUS_FAILED;
}

}  // namespace show_tool
