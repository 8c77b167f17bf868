#include "tools/show/tool_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "show/picture_table.h"
#include "show/show_file.h"

namespace show_tool {

ShowDirectory::ShowDirectory(const std::string& path)
    : previous(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    entered_ok = previous >= 0 && chdir(path.c_str()) == 0;
    if (!entered_ok) reason = std::strerror(errno);
}

ShowDirectory::~ShowDirectory() {
    if (previous < 0) return;
    if (entered_ok && fchdir(previous) != 0)
        std::perror("qzview-show: cannot return to the working directory");
    close(previous);
}

std::string path_in(const std::string& directory, const std::string& name) {
    if (directory == ".") return name;
    const bool has_slash = !directory.empty() && directory.back() == '/';
    return directory + (has_slash ? "" : "/") + name;
}

std::string show_file_path(const std::string& directory) {
    build_show_file_name();
    return path_in(directory, picture_table.show_file_name);
}

void warn(std::ostream& err, const std::string& warning) {
    if (!warning.empty()) err << PROGRAM << ": warning: " << warning << '\n';
}

int usage_error(std::ostream& err, const std::string& command, const std::string& message) {
    const std::string prefix = command.empty() ? std::string(PROGRAM) : PROGRAM + (" " + command);
    err << prefix << ": " << message << '\n' << "Try '" << prefix << " --help'.\n";
    return STATUS_USAGE_OR_UNREADABLE;
}

bool command_line_accepted(bool help_asked, const std::string& error, const std::string& command,
                           const char* help, std::ostream& out, std::ostream& err, int* status) {
    if (help_asked) {
        out << help;
        *status = STATUS_DONE;
        return false;
    }
    if (error.empty()) return true;
    *status = usage_error(err, command, error);
    return false;
}

// The decoder clamps the picture count, the file keeps it as the image gives it.
bool put_into_table(const ShowImage& image) {
    decode_show_file(image.data(), image.size());
    picture_table.picture_count =
        static_cast<int32_t>(value_at(image, block_named("picture_count"), 0));
    ShowImage encoded{};
    encode_show_file(encoded.data());
    return encoded == image;
}

namespace {

bool write_all(int descriptor, const std::vector<uint8_t>& bytes, Flush flush) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return flush == Flush::later || fsync(descriptor) == 0;
}

}  // namespace

NewFile write_new_file(const std::string& name, const std::vector<uint8_t>& bytes,
                       std::string* reason, Flush flush) {
    const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        if (errno == EEXIST) return NewFile::exists;
        *reason = std::strerror(errno);
        return NewFile::failed;
    }
    const bool written = write_all(descriptor, bytes, flush);
    const int error = errno;
    if (close(descriptor) != 0 || !written) {
        *reason = std::strerror(written ? errno : error);
        unlink(name.c_str());
        return NewFile::failed;
    }
    return NewFile::written;
}

bool flush_directory(std::string* reason) {
    const int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = directory >= 0 && syncfs(directory) == 0;
    if (!flushed) *reason = std::strerror(errno);
    if (directory >= 0) close(directory);
    return flushed;
}

}  // namespace show_tool
