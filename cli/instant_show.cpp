#include "cli/instant_show.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/version.h"

extern char** environ;

namespace cli {

namespace {

namespace fs = std::filesystem;

const char* const show_tool_name = "qzview-show";
const char* const partial_marker = ".partial-";
// A half-made show older than this was left by a run that was interrupted.
constexpr auto abandoned_after = std::chrono::hours(1);

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The run of digits at `at`, without its leading zeros; `at` moves past it.
std::string digits_at(const std::string& text, size_t* at) {
    size_t end = *at;
    while (end < text.size() && is_digit(text[end]))
        ++end;
    size_t first = *at;
    while (first + 1 < end && text[first] == '0')
        ++first;
    *at = end;
    return text.substr(first, end - first);
}

// -1, 0 or 1 as `a` sorts before, with or after `b`, comparing runs of digits by value.
int natural_compare(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const std::string x = digits_at(a, &i), y = digits_at(b, &j);
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (x != y) return x < y ? -1 : 1;
            continue;
        }
        const int x = std::tolower(static_cast<unsigned char>(a[i++]));
        const int y = std::tolower(static_cast<unsigned char>(b[j++]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// FNV-1a, 64 bits: stable across builds and machines, which is all a cache key needs.
uint64_t fnv1a(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The key of a set of pictures: a new version of the program, a picture renamed,
// changed or touched, or another order, all give another show.
std::string cache_key(const std::vector<std::string>& pictures, std::string* why_not) {
    std::string description = version_line() + '\n';
    for (const std::string& picture : pictures) {
        std::error_code error;
        const fs::path path = fs::weakly_canonical(fs::absolute(picture), error);
        const uintmax_t size = fs::file_size(path, error);
        const auto modified = fs::last_write_time(path, error);
        if (error) {
            *why_not = picture + ": " + error.message();
            return "";
        }
        description += path.string() + '\0' + std::to_string(size) + '\0' +
                       std::to_string(modified.time_since_epoch().count()) + '\n';
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(fnv1a(description)));
    return key;
}

// $XDG_CACHE_HOME/qzview, or ~/.cache/qzview; empty when neither can be named.
fs::path cache_base() {
    const char* cache_home = std::getenv("XDG_CACHE_HOME");
    if (cache_home != nullptr && cache_home[0] == '/') return fs::path(cache_home) / "qzview";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return fs::path(home) / ".cache" / "qzview";
    return {};
}

bool is_executable(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

// qzview-show beside the running program (the build directory, or /usr/bin), else
// the first on PATH; empty when there is none.
fs::path find_show_tool() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error && is_executable(self.parent_path() / show_tool_name))
        return self.parent_path() / show_tool_name;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / show_tool_name;
        if (end > start && is_executable(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

// Reports one line of the show tool's output: each added picture's line names it.
class Progress {
  public:
    Progress(size_t total, std::ostream& err)
        : total_(total), err_(err), on_terminal_(isatty(STDERR_FILENO) == 1) {
        show();
    }
    void line_read(const std::string& line) {
        if (line.find(" -> ") == std::string::npos || done_ == total_) return;
        ++done_;
        show();
    }
    void finish() {
        if (on_terminal_) err_ << '\n' << std::flush;
    }

  private:
    void show() {
        err_ << (on_terminal_ ? "\r" : "") << "qzview: " << done_ << " of " << total_ << " pictures"
             << (on_terminal_ ? "" : "\n") << std::flush;
    }
    size_t total_;
    size_t done_ = 0;
    std::ostream& err_;
    bool on_terminal_;
};

// Runs the show tool with `arguments`; its standard output goes line by line to
// `progress` (or nowhere without one), its standard error to ours. The exit status,
// or -1 when it could not be started.
int run_show_tool(const fs::path& tool, const std::vector<std::string>& arguments,
                  Progress* progress) {
    std::vector<char*> argv;
    std::string name = tool.string();
    argv.push_back(name.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);

    std::string pending;
    char buffer[4096];
    ssize_t count = 0;
    while (spawned == 0 && (count = read(pipe_ends[0], buffer, sizeof buffer)) != 0) {
        if (count < 0) {
            if (errno == EINTR) continue;
            break;
        }
        pending.append(buffer, static_cast<size_t>(count));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            if (progress != nullptr) progress->line_read(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
    close(pipe_ends[0]);
    if (spawned != 0) return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Half-made shows that interrupted runs left behind.
void remove_abandoned(const fs::path& base) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator entry(base, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code ignored;
        if (name.find(partial_marker) != std::string::npos &&
            now - fs::last_write_time(entry->path(), ignored) > abandoned_after)
            fs::remove_all(entry->path(), ignored);
    }
}

InstantShow failed(std::ostream& err, const std::string& why) {
    err << "qzview: " << why << '\n';
    return {"", STATUS_NO_INSTANT_SHOW};
}

// Makes the show of `pictures` in a new directory beside `target` and renames it into
// place once the show tool has made it; `replace`: in place of the show there.
InstantShow build_show(const fs::path& tool, const std::vector<std::string>& pictures,
                       const fs::path& target, bool replace, std::ostream& err) {
    std::string partial = target.string() + partial_marker + "XXXXXX";
    if (mkdtemp(partial.data()) == nullptr)
        return failed(err, "cannot make a directory in " + target.parent_path().string() + ": " +
                               std::strerror(errno));
    std::error_code error;
    std::vector<std::string> add = {"add", "--dir", partial, "--"};
    for (const std::string& picture : pictures)
        add.push_back(fs::absolute(picture, error).string());
    Progress progress(pictures.size(), err);
    const bool made = run_show_tool(tool, {"new", partial}, nullptr) == 0 &&
                      run_show_tool(tool, add, &progress) >= 0 &&
                      fs::exists(fs::path(partial) / "SCR1.BIL", error);
    progress.finish();
    if (made) {
        if (replace) fs::remove_all(target, error);
        if (std::rename(partial.c_str(), target.c_str()) == 0) return {target.string(), 0};
    }
    fs::remove_all(partial, error);
    // Another qzview may have made the same show meanwhile; it may be running it.
    if (made && fs::exists(target / "SCR1.BIL", error)) return {target.string(), 0};
    return failed(err, "no show could be made of the pictures");
}

}  // namespace

bool is_picture_name(const std::string& name) {
    static const char* const extensions[] = {".png", ".jpg", ".jpeg", ".webp",
                                             ".gif", ".bmp", ".tif",  ".tiff"};
    const std::string extension = lower(fs::path(name).extension().string());
    return std::any_of(std::begin(extensions), std::end(extensions),
                       [&](const char* known) { return extension == known; });
}

bool natural_less(const std::string& a, const std::string& b) {
    const int order = natural_compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

void sort_by_name(std::vector<std::string>* paths) {
    std::stable_sort(paths->begin(), paths->end(), [](const std::string& a, const std::string& b) {
        const std::string name_a = fs::path(a).filename(), name_b = fs::path(b).filename();
        return name_a != name_b ? natural_less(name_a, name_b) : natural_less(a, b);
    });
}

std::vector<std::string> pictures_in(const std::string& dir) {
    std::vector<std::string> pictures;
    std::error_code error;
    for (fs::directory_iterator entry(dir, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (entry->is_regular_file(ignored) && is_picture_name(entry->path().filename()))
            pictures.push_back(entry->path().string());
    }
    sort_by_name(&pictures);
    return pictures;
}

InstantShow make_instant_show(std::vector<std::string> pictures, bool rebuild, std::ostream& err) {
    sort_by_name(&pictures);
    std::string why_not;
    const std::string key = cache_key(pictures, &why_not);
    if (key.empty()) return failed(err, why_not);
    const fs::path base = cache_base();
    if (base.empty()) return failed(err, "neither XDG_CACHE_HOME nor HOME names a cache directory");
    const fs::path target = base / key;
    std::error_code error;
    if (!rebuild && fs::exists(target / "SCR1.BIL", error)) return {target.string(), 0};

    const fs::path tool = find_show_tool();
    if (tool.empty())
        return failed(err, std::string("showing pictures needs ") + show_tool_name +
                               ", which is not installed (Debian: apt install qzview-tools)");
    // Pictures of one's own are nobody else's business: a new cache is the user's alone.
    if (fs::create_directories(base, error)) fs::permissions(base, fs::perms::owner_all, error);
    if (error) return failed(err, "cannot make " + base.string() + ": " + error.message());
    remove_abandoned(base);
    return build_show(tool, pictures, target, rebuild, err);
}

}  // namespace cli
