// The full-screen display on DirectDraw (the first interfaces, IDirectDraw and
// IDirectDrawSurface), and text on its surfaces through GDI.
#include "platform/display.h"

#include "platform/win32/win32.h"

namespace {

// The record's size differs between 32-bit (108 bytes) and 64-bit builds (120, for the
// surface pointer inside it): DirectDraw checks dwSize, so it must be this build's own.
DDSURFACEDESC empty_surface_description() {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    return description;
}

int32_t create_surface(DisplayDevice device, DDSURFACEDESC* description, Surface* surface) {
    IDirectDrawSurface* created = nullptr;
    const HRESULT result = as_directdraw(device)->CreateSurface(description, &created, nullptr);
    *surface = result == DD_OK ? as_surface(created) : nullptr;
    return result;
}

}  // namespace

int32_t display_create(DisplayDevice* device) {
    IDirectDraw* created = nullptr;
    const HRESULT result = DirectDrawCreate(nullptr, &created, nullptr);
    *device = result == DD_OK ? as_display(created) : nullptr;
    return result;
}

int32_t display_set_exclusive_fullscreen(DisplayDevice device, WindowHandle window) {
    return as_directdraw(device)->SetCooperativeLevel(as_hwnd(window),
                                                      DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
}

int32_t display_set_mode(DisplayDevice device, int width, int height, int bits_per_pixel) {
    return as_directdraw(device)->SetDisplayMode(
        static_cast<DWORD>(width), static_cast<DWORD>(height), static_cast<DWORD>(bits_per_pixel));
}

int32_t display_create_primary(DisplayDevice device, Surface* primary) {
    DDSURFACEDESC description = empty_surface_description();
    description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    description.dwBackBufferCount = 1;
    return create_surface(device, &description, primary);
}

int32_t display_get_back_buffer(Surface primary, Surface* back) {
    DDSCAPS caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface* attached = nullptr;
    const HRESULT result = as_ddsurface(primary)->GetAttachedSurface(&caps, &attached);
    *back = result == DD_OK ? as_surface(attached) : nullptr;
    return result;
}

int32_t display_create_offscreen(DisplayDevice device, int width, int height, Surface* surface) {
    DDSURFACEDESC description = empty_surface_description();
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    return create_surface(device, &description, surface);
}

void display_release(DisplayDevice device) {
    as_directdraw(device)->Release();
}

int32_t surface_set_black_color_key(Surface surface) {
    DDCOLORKEY black = {};
    black.dwColorSpaceLowValue = 0;
    black.dwColorSpaceHighValue = 0;
    return as_ddsurface(surface)->SetColorKey(DDCKEY_SRCBLT, &black);
}

int32_t surface_fast_copy(Surface dest, int dest_x, int dest_y, Surface source, int x, int y,
                          int width, int height, bool keyed) {
    RECT source_rect = {x, y, x + width, y + height};
    const DWORD flags = DDBLTFAST_WAIT | (keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY);
    // A negative corner becomes a huge unsigned one, which DirectDraw refuses like any
    // other corner off the surface.
    return as_ddsurface(dest)->BltFast(static_cast<DWORD>(dest_x), static_cast<DWORD>(dest_y),
                                       as_ddsurface(source), &source_rect, flags);
}

int32_t surface_flip(Surface primary) {
    return as_ddsurface(primary)->Flip(nullptr, DDFLIP_WAIT);
}

int32_t surface_restore(Surface surface) {
    return as_ddsurface(surface)->Restore();
}

int32_t surface_get_size(Surface surface, int* width, int* height) {
    DDSURFACEDESC description = empty_surface_description();
    const HRESULT result = as_ddsurface(surface)->GetSurfaceDesc(&description);
    *width = result == DD_OK ? static_cast<int>(description.dwWidth) : 0;
    *height = result == DD_OK ? static_cast<int>(description.dwHeight) : 0;
    return result;
}

void surface_release(Surface surface) {
    as_ddsurface(surface)->Release();
}

int32_t surface_get_dc(Surface surface, DeviceContext* dc) {
    HDC lent = nullptr;
    const HRESULT result = as_ddsurface(surface)->GetDC(&lent);
    *dc = result == DD_OK ? as_dc(lent) : nullptr;
    return result;
}

void surface_release_dc(Surface surface, DeviceContext dc) {
    if (dc != nullptr) as_ddsurface(surface)->ReleaseDC(as_hdc(dc));
}

void dc_set_transparent_background(DeviceContext dc) {
    SetBkMode(as_hdc(dc), TRANSPARENT);
}

void dc_select_font(DeviceContext dc, FontHandle font) {
    SelectObject(as_hdc(dc), as_hfont(font));
}

void dc_set_text_color(DeviceContext dc, ColorRef color) {
    SetTextColor(as_hdc(dc), color);
}

void dc_text_out(DeviceContext dc, int x, int y, const char* text, int length) {
    TextOutA(as_hdc(dc), x, y, text, length);
}

FontHandle font_stock_fixed() {
    return as_font(GetStockObject(SYSTEM_FIXED_FONT));
}

FontHandle font_create(int height) {
    return as_font(CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                               OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH,
                               nullptr));
}

void font_delete(FontHandle font) {
    DeleteObject(as_hfont(font));
}
