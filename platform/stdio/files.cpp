// The file layer over stdio and POSIX, for every backend on the software platform. The programs
// users run call the file system straight; the scripted backend compiles this file
// with QZVIEW_FILE_FAULTS, so that single operations fail when a test asks.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/soft/soft.h"

#ifdef QZVIEW_FILE_FAULTS
#include "platform/common/file_faults.h"
#define FAIL_ON_DEMAND(operation, failure) \
    if (file_operation_should_fail(operation)) return failure
#else
#define FAIL_ON_DEMAND(operation, failure) static_cast<void>(0)
#endif

struct PlatformFile {
    FILE* stream;
};

namespace {

PlatformFile* open_stream(const char* name, const char* mode) {
    FILE* stream = std::fopen(name, mode);
    if (stream == nullptr) return nullptr;
    return new PlatformFile{stream};
}

}  // namespace

FileHandle file_open_read(const char* name) {
    FAIL_ON_DEMAND("file-open", nullptr);
    PlatformFile* file = open_stream(name, "rb");
    if (file == nullptr) soft_device().file_trouble(name, std::strerror(errno));
    return file;
}

FileHandle file_open_write(const char* name) {
    FAIL_ON_DEMAND("file-create", nullptr);
    return open_stream(name, "wb");
}

size_t file_read(FileHandle file, void* data, size_t size) {
    return std::fread(data, 1, size, file->stream);
}

int file_seek(FileHandle file, uint64_t offset) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return -1;
    return fseeko(file->stream, static_cast<off_t>(offset), SEEK_SET) == 0 ? 0 : -1;
}

size_t file_write(FileHandle file, const void* data, size_t size) {
    FAIL_ON_DEMAND("file-write", 0);
    return std::fwrite(data, 1, size, file->stream);
}

int file_flush_to_disk(FileHandle file) {
    FAIL_ON_DEMAND("file-flush", -1);
    if (std::fflush(file->stream) != 0) return -1;
    return fsync(fileno(file->stream)) == 0 ? 0 : -1;
}

int file_close(FileHandle file) {
    const bool closed = std::fclose(file->stream) == 0;
    delete file;
    FAIL_ON_DEMAND("file-close", -1);
    return closed ? 0 : -1;
}

int file_rename_over(const char* from_name, const char* to_name) {
    FAIL_ON_DEMAND("file-rename", -1);
    // A file its user may not write (a show someone has made read-only) stays as it
    // is: writing it in place would be refused, and rename() alone would replace it.
    if (access(to_name, F_OK) == 0 && access(to_name, W_OK) != 0) return -1;
    return std::rename(from_name, to_name) == 0 ? 0 : -1;
}

int file_remove(const char* name) {
    return std::remove(name) == 0 ? 0 : -1;
}
