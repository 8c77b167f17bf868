// Handles and result codes shared by every platform header.
//
// Each handle is a pointer to an opaque struct that only a backend defines, so the
// program can hold and compare handles but never look inside them. On Windows the
// backend casts them straight to HWND, IDirectDrawSurface* and friends.
#pragma once

#include <cstdint>

struct PlatformWindow;
struct PlatformDisplay;
struct PlatformSurface;
struct PlatformFont;
struct PlatformDC;
struct PlatformBitmap;
struct PlatformInput;
struct PlatformMouse;
struct PlatformEvent;
struct PlatformSoundDevice;
struct PlatformSoundBuffer;
struct PlatformFile;

using InstanceHandle = void*;
using WindowHandle = PlatformWindow*;
using DisplayDevice = PlatformDisplay*;
using Surface = PlatformSurface*;
using FontHandle = PlatformFont*;
using DeviceContext = PlatformDC*;
using BitmapHandle = PlatformBitmap*;
using InputObject = PlatformInput*;
using MouseDevice = PlatformMouse*;
using EventHandle = PlatformEvent*;
using SoundDevice = PlatformSoundDevice*;
using SoundBuffer = PlatformSoundBuffer*;
using FileHandle = PlatformFile*;

// Results follow the Windows conventions the program was designed on: 0 is success;
// the display treats anything else as failure, the mouse only negative values.
constexpr int32_t RESULT_OK = 0;
constexpr int32_t RESULT_FAIL = static_cast<int32_t>(0x80004005u);  // E_FAIL

// A COLORREF: 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr ColorRef rgb(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
