// The title screen shown before the first picture.
#pragma once

#include <cstdint>

void show_title_screen(int32_t title_picture);
