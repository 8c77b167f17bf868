// The screen is the page's 1024x768 canvas, scaled by the page to fit its window; the
// clock is the browser's; a message box is the browser's own.
#include <emscripten.h>

#include <algorithm>

#include "platform/common/cp1252.h"
#include "platform/web/web_device.h"

namespace {

// clang-format off
EM_JS(int, page_has_canvas, (), { return qz.canvas() !== null; });
EM_JS(void, page_show_rect, (uint8_t* rgba, int x, int y, int width, int height), {
    qz.showRect(rgba, x, y, width, height);
});
EM_JS(void, page_alert, (const char* text), { qz.alert(UTF8ToString(text)); });
EM_JS(void, page_log, (const char* text), { console.log(UTF8ToString(text)); });
EM_ASYNC_JS(void, page_sleep_until, (double until_ms), { await qz.sleepUntil(until_ms); });
// clang-format on

// The canvas takes bytes R, G, B, A.
void to_rgba(const SoftFrame& frame, const DirtyRect& r, uint8_t* rgba) {
    const int bytes_per_pixel = frame.bits / 8;
    for (int y = r.y; y < r.y + r.height; ++y) {
        const uint8_t* from =
            frame.pixels + (static_cast<size_t>(y) * frame.width + r.x) * bytes_per_pixel;
        uint8_t* to = rgba + (static_cast<size_t>(y) * frame.width + r.x) * 4;
        for (int x = 0; x < r.width; ++x, from += bytes_per_pixel, to += 4) {
            const uint32_t pixel = bytes_per_pixel == 4
                                       ? uint32_t{from[0]} | from[1] << 8 | from[2] << 16
                                       : uint32_t{from[0]} | from[1] << 8;
            const uint32_t rgb = rgb_from_pixel(pixel, frame.bits);
            to[0] = static_cast<uint8_t>(rgb >> 16);
            to[1] = static_cast<uint8_t>(rgb >> 8);
            to[2] = static_cast<uint8_t>(rgb);
            to[3] = 255;
        }
    }
}

}  // namespace

SoftDevice& soft_device() {
    return web_device();
}

WebDevice& web_device() {
    static WebDevice device;
    return device;
}

bool WebDevice::open_display() {
    return page_has_canvas() != 0;
}

bool WebDevice::create_window(const char*, int, int, int, int) {
    window_open_ = open_display();
    return window_open_;
}

void WebDevice::destroy_window() {
    window_open_ = false;
}

bool WebDevice::open_screen() {
    canvas_pixels_.assign(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * 4, 0);
    return window_open_;
}

void WebDevice::present(const SoftFrame& frame, const std::vector<DirtyRect>& changed) {
    if (!window_open_ || frame.width != SCREEN_WIDTH || frame.height != SCREEN_HEIGHT) return;
    for (const DirtyRect& r : changed) {
        to_rgba(frame, r, canvas_pixels_.data());
        page_show_rect(canvas_pixels_.data(), r.x, r.y, r.width, r.height);
    }
}

int64_t WebDevice::now_us() {
    return static_cast<int64_t>(emscripten_get_now() * 1000.0);
}

// Waiting hands the browser its turn: it draws, plays and takes input meanwhile.
void WebDevice::sleep_until_us(int64_t when) {
    if (when > now_us()) page_sleep_until(static_cast<double>(when) / 1000.0);
}

void WebDevice::message_box(const char* text, const char* caption) {
    const std::string line = cp1252_to_utf8(caption) + ": " + cp1252_to_utf8(text);
    page_alert(line.c_str());
}

void WebDevice::debug_output(const char* text) {
    page_log(text);
}

void WebDevice::shutdown() {
    close_audio();
    destroy_window();
    soft_reset();
}
