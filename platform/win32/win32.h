// What the Windows backend's files share: the Windows and DirectX headers in the one
// order that works, and the conversions between the seam's opaque handles and the
// real Windows types behind them. Each seam handle is the Windows handle or COM
// interface pointer itself, so a conversion is only a cast.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

// clang-format off
// windows.h first, then mmsystem.h (which the lean windows.h leaves out): the DirectX
// headers rely on their types.
#include <windows.h>
#include <mmsystem.h>
#include <ddraw.h>
#include <dinput.h>
#include <dsound.h>
// clang-format on

#include "platform/types.h"

// The buffered mouse record must stay the 16-byte 0x0500 layout (no application data).
static_assert(sizeof(DIDEVICEOBJECTDATA) == 16, "DirectInput 0x0500 record expected");

inline HINSTANCE instance_or_own_module(InstanceHandle instance) {
    return instance != nullptr ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

inline HWND as_hwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle as_window(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

inline IDirectDraw* as_directdraw(DisplayDevice device) {
    return reinterpret_cast<IDirectDraw*>(device);
}
inline DisplayDevice as_display(IDirectDraw* device) {
    return reinterpret_cast<DisplayDevice>(device);
}

inline IDirectDrawSurface* as_ddsurface(Surface surface) {
    return reinterpret_cast<IDirectDrawSurface*>(surface);
}
inline Surface as_surface(IDirectDrawSurface* surface) {
    return reinterpret_cast<Surface>(surface);
}

inline HDC as_hdc(DeviceContext dc) {
    return reinterpret_cast<HDC>(dc);
}
inline DeviceContext as_dc(HDC dc) {
    return reinterpret_cast<DeviceContext>(dc);
}

inline HFONT as_hfont(FontHandle font) {
    return reinterpret_cast<HFONT>(font);
}
inline FontHandle as_font(HGDIOBJ font) {
    return reinterpret_cast<FontHandle>(font);
}

inline HBITMAP as_hbitmap(BitmapHandle bitmap) {
    return reinterpret_cast<HBITMAP>(bitmap);
}
inline BitmapHandle as_bitmap(HANDLE bitmap) {
    return reinterpret_cast<BitmapHandle>(bitmap);
}

inline IDirectInputA* as_dinput(InputObject input) {
    return reinterpret_cast<IDirectInputA*>(input);
}
inline InputObject as_input(IDirectInputA* input) {
    return reinterpret_cast<InputObject>(input);
}

inline IDirectInputDeviceA* as_didevice(MouseDevice mouse) {
    return reinterpret_cast<IDirectInputDeviceA*>(mouse);
}
inline MouseDevice as_mouse(IDirectInputDeviceA* mouse) {
    return reinterpret_cast<MouseDevice>(mouse);
}

inline HANDLE as_handle(EventHandle event) {
    return reinterpret_cast<HANDLE>(event);
}
inline EventHandle as_event(HANDLE event) {
    return reinterpret_cast<EventHandle>(event);
}

inline IDirectSound* as_dsound(SoundDevice device) {
    return reinterpret_cast<IDirectSound*>(device);
}
inline SoundDevice as_sound_device(IDirectSound* device) {
    return reinterpret_cast<SoundDevice>(device);
}

inline IDirectSoundBuffer* as_dsbuffer(SoundBuffer buffer) {
    return reinterpret_cast<IDirectSoundBuffer*>(buffer);
}
inline SoundBuffer as_sound_buffer(IDirectSoundBuffer* buffer) {
    return reinterpret_cast<SoundBuffer>(buffer);
}
