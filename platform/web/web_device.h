// The browser device under the software platform: the front drawn into the page's
// canvas, the browser's mouse and keyboard events as input, Web Audio pulling the
// mixer, text from the glyph atlas and the show's files in the page's file system.
// The browser side of each of these lives in page.js.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/soft/soft.h"
#include "platform/web/glyph_atlas.h"

class WebDevice final : public SoftDevice {
  public:
    bool open_display() override;
    bool create_window(const char* title, int x, int y, int width, int height) override;
    void destroy_window() override;
    bool open_screen() override;
    void present(const SoftFrame& front, const std::vector<DirtyRect>& changed) override;
    bool wait_for_input() override;
    void set_relative_mouse(bool on) override;
    int64_t now_us() override;
    void sleep_until_us(int64_t when) override;
    void message_box(const char* text, const char* caption) override;
    void debug_output(const char* text) override;
    void sound_trace(const char* line) override;
    bool render_text(const SoftText& text, CoverageMask* mask) override;
    bool open_audio(int rate) override;
    void close_audio() override;

    // The end of the run: frees every object and closes the audio.
    void shutdown();

  private:
    bool window_open_ = false;
    std::vector<uint8_t> canvas_pixels_;  // RGBA, what the canvas shows
    bool atlas_tried_ = false;
    GlyphAtlas atlas_;
};

WebDevice& web_device();

// The show file as the browser keeps it: SCR1.BIL in the page's storage, by show.
// Before the program starts in the show's directory, a copy kept by an earlier visit
// replaces the packed one.
void restore_saved_show_file();
// After the editor saved SCR1.BIL, the page keeps it and offers it for download.
void keep_show_file_when_saved();
