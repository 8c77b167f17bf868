// Little-endian fields appended to a byte buffer, as Windows file formats store them.
#pragma once

#include <cstdint>
#include <vector>

inline void append_le16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void append_le32(std::vector<uint8_t>& out, uint32_t value) {
    append_le16(out, value & 0xFFFF);
    append_le16(out, value >> 16);
}
