// The program's icon, a picture frame around a small landscape, drawn pixel by pixel:
// the Windows program's icon resource and the desktop's icons are made from it.
#pragma once

#include <cstdint>
#include <vector>

constexpr int PROGRAM_ICON_SIZE = 32;

struct IconColour {
    uint8_t red, green, blue, alpha;
};

// PROGRAM_ICON_SIZE rows of as many pixels, row 0 at the top; alpha 0 is transparent.
using ProgramIcon = std::vector<IconColour>;

ProgramIcon draw_program_icon();
