// Whole-file reading over the WINMM multimedia file functions (buffered), and writing
// over the Win32 file API, which can push the data down to the disk and replace the
// old file in one step.
#include <climits>
#include <string>

#include "platform/files.h"
#include "platform/win32/win32.h"

// One of the two is set: a handle knows which side it was opened for.
struct PlatformFile {
    HMMIO reader = nullptr;
    HANDLE writer = INVALID_HANDLE_VALUE;
};

namespace {

// The largest piece one read or write call takes (their counts are 32-bit signed or
// unsigned; staying under both keeps one rule for both sides).
constexpr size_t LARGEST_PIECE = 1u << 30;

size_t piece_size(size_t remaining) {
    return remaining < LARGEST_PIECE ? remaining : LARGEST_PIECE;
}

// mmioOpenA looks for a bare file name along the whole search path, as OpenFile does:
// the program's own folder first, then the system folders and PATH. The program's
// files belong to the working directory only (that is also where a save writes), so a
// bare name is pinned there.
std::string name_in_working_directory(const char* name) {
    const std::string text(name);
    if (text.find_first_of(":\\/") != std::string::npos) return text;
    return ".\\" + text;
}

}  // namespace

FileHandle file_open_read(const char* name) {
    // A writable copy: mmioOpenA's name parameter is not const (it only reads it here).
    std::string writable_name = name_in_working_directory(name);
    HMMIO reader = mmioOpenA(writable_name.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (reader == nullptr) return nullptr;
    auto* file = new PlatformFile;
    file->reader = reader;
    return file;
}

size_t file_read(FileHandle file, void* data, size_t size) {
    if (file->reader == nullptr) return 0;
    auto* into = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const LONG got =
            mmioRead(file->reader, into + done, static_cast<LONG>(piece_size(size - done)));
        if (got <= 0) break;  // end of file (0) or a read error (-1)
        done += static_cast<size_t>(got);
    }
    return done;
}

int file_seek(FileHandle file, uint64_t offset) {
    if (file->reader == nullptr || offset > static_cast<uint64_t>(LONG_MAX)) return -1;
    const auto target = static_cast<LONG>(offset);
    return mmioSeek(file->reader, target, SEEK_SET) == target ? 0 : -1;
}

int file_close(FileHandle file) {
    bool closed = false;
    if (file->reader != nullptr) closed = mmioClose(file->reader, 0) == MMSYSERR_NOERROR;
    if (file->writer != INVALID_HANDLE_VALUE) closed = CloseHandle(file->writer) != FALSE;
    delete file;
    return closed ? 0 : -1;
}

FileHandle file_open_write(const char* name) {
    HANDLE writer =
        CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) return nullptr;
    auto* file = new PlatformFile;
    file->writer = writer;
    return file;
}

size_t file_write(FileHandle file, const void* data, size_t size) {
    if (file->writer == INVALID_HANDLE_VALUE) return 0;
    const auto* from = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(piece_size(size - done));
        if (!WriteFile(file->writer, from + done, piece, &written, nullptr) || written == 0) break;
        done += written;
    }
    return done;
}

int file_flush_to_disk(FileHandle file) {
    if (file->writer == INVALID_HANDLE_VALUE) return -1;
    return FlushFileBuffers(file->writer) ? 0 : -1;
}

int file_rename_over(const char* from_name, const char* to_name) {
    return MoveFileExA(from_name, to_name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                               : -1;
}

int file_remove(const char* name) {
    return DeleteFileA(name) ? 0 : -1;
}
