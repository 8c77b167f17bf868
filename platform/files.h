// Whole-file reading and writing in the working directory (mmio and the C runtime on
// Windows, stdio elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

// Read side; nullptr when the file cannot be opened.
FileHandle file_open_read(const char* name);
// Bytes read, fewer than asked only at the end of the file (or on a read error).
size_t file_read(FileHandle file, void* data, size_t size);
// Moves the read position to an absolute offset; 0 on success.
int file_seek(FileHandle file, uint64_t offset);
// Read side close; 0 on success.
int file_close(FileHandle file);

// Write side: creates or truncates; nullptr on failure.
FileHandle file_open_write(const char* name);
// Bytes written; anything short of size is a failure.
size_t file_write(FileHandle file, const void* data, size_t size);
// Pushes everything written so far down to the disk; 0 on success.
int file_flush_to_disk(FileHandle file);
// Replaces to_name by from_name in one step; 0 on success.
int file_rename_over(const char* from_name, const char* to_name);
int file_remove(const char* name);
