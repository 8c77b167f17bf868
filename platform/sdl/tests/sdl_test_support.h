// The SDL device's tests run on SDL's dummy video and audio drivers, so they need
// neither a display nor a sound card; the machine fixture opens what start-up opens.
#pragma once

#include <cstdint>

#include "platform/sdl/sdl_device.h"
#include "platform/soft/tests/machine_fixture.h"

// What the window's surface shows at (x, y), as 0xRRGGBB.
uint32_t screen_pixel(int x, int y);
