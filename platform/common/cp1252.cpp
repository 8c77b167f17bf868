#include "platform/common/cp1252.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80..0x9F; 0 where Windows-1252 leaves the byte undefined.
const uint16_t high_control_block[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return high_control_block[byte - 0x80];
    return byte;
}

void append_utf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

int cp1252_byte_of(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (high_control_block[i] != 0 && high_control_block[i] == cp) return 0x80 + i;
    return -1;
}

std::string cp1252_to_utf8(const std::string& bytes) {
    std::string out;
    for (unsigned char byte : bytes) {
        const uint32_t cp = code_point_of(byte);
        if (cp != 0 || byte == 0) append_utf8(out, cp);
    }
    return out;
}

std::string utf8_to_cp1252(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        uint32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            ++i;  // a stray continuation byte
            continue;
        }
        bool well_formed = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                well_formed = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!well_formed) {
            ++i;
            continue;
        }
        i += 1 + extra;
        const int byte = cp1252_byte_of(cp);
        if (byte >= 0) out += static_cast<char>(byte);
    }
    return out;
}
