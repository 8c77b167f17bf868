// Reads RIFF WAVE files: the PCM format of the "fmt " chunk and the samples of the
// "data" chunk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound.h"
#include "platform/types.h"

struct WaveFile {
    FileHandle file = nullptr;
    uint64_t riff_end = 0;  // the chunk search stops here
};

// false, with nothing left open, when the file is missing or not a PCM WAVE file.
// On success the read position is the first sample byte.
bool open_wave_file(const char* name, WaveFile* wave, WaveFormat* wave_format,
                    uint32_t* wave_data_size);
// Bytes copied; fewer than count only when the file ends first.
size_t read_wave_data(WaveFile* wave, void* destination, size_t count);
void close_wave_file(WaveFile* wave);
