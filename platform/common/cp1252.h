// Conversions between Windows-1252, the program's character set, and UTF-8.
#pragma once

#include <cstdint>
#include <string>

std::string cp1252_to_utf8(const std::string& bytes);
// Characters that Windows-1252 cannot hold (and malformed UTF-8) are dropped.
std::string utf8_to_cp1252(const std::string& text);
// A character's Windows-1252 byte, or -1 when it has none.
int cp1252_byte_of(uint32_t code_point);
