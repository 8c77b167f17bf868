// Any bytes as a sound file: the reader must refuse or accept without a crash, give
// only PCM formats, never read more than asked, and never leave a file open.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sound/wave_file.h"

namespace {

// One file per fuzzing process, removed again after every input.
const std::string& scratch_path() {
    static const std::string path =
        "/tmp/qzview-wave-fuzz-" + std::to_string(static_cast<long>(getpid())) + ".wav";
    return path;
}

void write_input(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(scratch_path().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

// The lowest free descriptor moves up when a file is left open.
int lowest_free_descriptor() {
    const int fd = dup(2);
    if (fd >= 0) close(fd);
    return fd;
}

// Reads the samples the way the channels do, in pieces so a huge stated size costs
// no memory; the file's own length ends it.
void read_all_samples(WaveFile* wave, uint32_t data_size) {
    uint8_t piece[4096];
    uint64_t left = data_size;
    while (left > 0) {
        const size_t want = left < sizeof piece ? static_cast<size_t>(left) : sizeof piece;
        const size_t got = read_wave_data(wave, piece, want);
        if (got > want) std::abort();
        if (got < want) break;
        left -= got;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Taken per input: libFuzzer itself opens and closes files between inputs.
    const int free_descriptor = lowest_free_descriptor();
    write_input(data, size);
    WaveFile wave;
    WaveFormat format{};
    uint32_t data_size = 0;
    if (open_wave_file(scratch_path().c_str(), &wave, &format, &data_size)) {
        if (wave.file == nullptr || format.format_tag != 1 || format.extension_size != 0)
            std::abort();
        // RIFF header, "fmt " header and record, "data" header: nothing shorter passes.
        if (size < 12 + 8 + 16 + 8) std::abort();
        read_all_samples(&wave, data_size);
        close_wave_file(&wave);
    } else if (wave.file != nullptr) {
        std::abort();
    }
    std::remove(scratch_path().c_str());
    if (lowest_free_descriptor() != free_descriptor) std::abort();
    return 0;
}
