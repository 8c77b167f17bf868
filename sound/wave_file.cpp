#include "sound/wave_file.h"

#include <cstring>

#include "platform/files.h"

namespace {

constexpr uint64_t RIFF_HEADER_SIZE = 12;  // "RIFF", size, form type
constexpr uint64_t CHUNK_HEADER_SIZE = 8;  // id, size
constexpr uint64_t RIFF_DATA_OFFSET = 8;   // the RIFF chunk's contents start at its form type
constexpr uint32_t FORMAT_RECORD_SIZE = 16;
constexpr uint16_t FORMAT_TAG_PCM = 1;

uint32_t read_le32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

uint16_t read_le16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

bool read_exactly(FileHandle file, void* data, size_t size) {
    return file_read(file, data, size) == size;
}

// Where the chunk whose contents start at data_offset ends, its pad byte included.
// Sizes come straight from the file, so this is 64-bit: a size near 4 GiB must not
// wrap round to a position inside the chunk.
uint64_t chunk_end(uint64_t data_offset, uint32_t size) {
    return data_offset + size + (size & 1u);
}

// Walks the chunks from position on, inside the RIFF chunk only, until one carries
// the id. On success the read position is the chunk's first data byte.
bool find_chunk(const WaveFile* wave, uint64_t position, const char* id, uint64_t* data_offset,
                uint32_t* size) {
    for (;;) {
        if (position + CHUNK_HEADER_SIZE > wave->riff_end) return false;
        uint8_t header[CHUNK_HEADER_SIZE];
        if (file_seek(wave->file, position) != 0) return false;
        if (!read_exactly(wave->file, header, sizeof header)) return false;
        const uint32_t chunk_size = read_le32(header + 4);
        const uint64_t contents = position + CHUNK_HEADER_SIZE;
        if (std::memcmp(header, id, 4) == 0) {
            *data_offset = contents;
            *size = chunk_size;
            return true;
        }
        position = chunk_end(contents, chunk_size);
    }
}

// Checks "RIFF" and "WAVE" and notes where the RIFF chunk ends.
bool read_riff_header(WaveFile* wave) {
    uint8_t header[RIFF_HEADER_SIZE];
    if (!read_exactly(wave->file, header, sizeof header)) return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    wave->riff_end = RIFF_DATA_OFFSET + read_le32(header + 4);
    return true;
}

WaveFormat decode_format_record(const uint8_t* record) {
    WaveFormat format{};
    format.format_tag = read_le16(record);
    format.channels = read_le16(record + 2);
    format.samples_per_second = read_le32(record + 4);
    format.average_bytes_per_second = read_le32(record + 8);
    format.block_align = read_le16(record + 12);
    format.bits_per_sample = read_le16(record + 14);
    format.extension_size = 0;
    return format;
}

// Finds "fmt ", takes its PCM record and gives the position just behind the chunk.
bool read_format_chunk(const WaveFile* wave, WaveFormat* wave_format, uint64_t* behind) {
    uint64_t contents = 0;
    uint32_t size = 0;
    if (!find_chunk(wave, RIFF_HEADER_SIZE, "fmt ", &contents, &size)) return false;
    if (size < FORMAT_RECORD_SIZE) return false;
    uint8_t record[FORMAT_RECORD_SIZE];
    if (!read_exactly(wave->file, record, sizeof record)) return false;
    const WaveFormat format = decode_format_record(record);
    if (format.format_tag != FORMAT_TAG_PCM) return false;
    *wave_format = format;
    *behind = chunk_end(contents, size);
    return true;
}

// The walk itself; the caller closes the file when this fails.
bool walk_to_samples(WaveFile* wave, WaveFormat* wave_format, uint32_t* wave_data_size) {
    if (!read_riff_header(wave)) return false;
    WaveFormat format{};
    uint64_t behind_format = 0;
    if (!read_format_chunk(wave, &format, &behind_format)) return false;
    // "data" is looked for only behind "fmt ": a file that puts its samples first fails.
    uint64_t data_offset = 0;
    uint32_t data_size = 0;
    if (!find_chunk(wave, behind_format, "data", &data_offset, &data_size)) return false;
    *wave_format = format;
    *wave_data_size = data_size;
    return true;
}

}  // namespace

bool open_wave_file(const char* name, WaveFile* wave, WaveFormat* wave_format,
                    uint32_t* wave_data_size) {
    wave->file = file_open_read(name);
    wave->riff_end = 0;
    if (wave->file == nullptr) return false;
    if (!walk_to_samples(wave, wave_format, wave_data_size)) {
        close_wave_file(wave);
        return false;
    }
    return true;
}

size_t read_wave_data(WaveFile* wave, void* destination, size_t count) {
    if (wave->file == nullptr || count == 0) return 0;
    return file_read(wave->file, destination, count);
}

void close_wave_file(WaveFile* wave) {
    if (wave->file == nullptr) return;
    file_close(wave->file);
    wave->file = nullptr;
}
