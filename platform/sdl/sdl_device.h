// The desktop device under the software platform: one SDL window with the front shown
// letterboxed on its surface, SDL's events as input, the SDL audio callback, text
// through SDL2_ttf and the real clock.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/letterbox.h"
#include "platform/soft/soft.h"

class SdlDevice final : public SoftDevice {
  public:
    bool refuses(const char* operation) override;
    bool open_display() override;
    void screen_size(int* width, int* height) override;
    bool create_window(const char* title, int x, int y, int width, int height) override;
    void show_window() override;
    void destroy_window() override;
    bool open_screen() override;
    void present(const SoftFrame& front, const std::vector<DirtyRect>& changed) override;
    bool wait_for_input() override;
    SoftWait wait_for_input_until(int64_t deadline_us) override;
    void set_relative_mouse(bool on) override;
    void message_box(const char* text, const char* caption) override;
    void debug_output(const char* text) override;
    void file_trouble(const char* file_name, const char* why) override;
    void sound_trace(const char* line) override;
    bool render_text(const SoftText& text, CoverageMask* mask) override;
    bool open_audio(int rate) override;
    void lock_audio() override;
    void unlock_audio() override;
    void close_audio() override;

    // A resizable window of this size instead of full screen (0: full screen), and
    // whether the debugger's lines, missing files and the sound library's complaints
    // reach standard error. Both are set before the program starts.
    void set_window_size(int width, int height);
    void set_verbose(bool verbose) { verbose_ = verbose; }
    // In a window the system pointer stays free, so that it can reach the window's
    // frame: its motion over the show, at (x, y) of the window, moves the show's pointer
    // to the same place.
    bool windowed() const { return window_width_ > 0; }
    void pointer_over_show(int x, int y);

    // Why no display could be opened; empty when one was.
    const std::string& display_failure() const { return display_failure_; }
    SDL_Window* window() const { return window_; }
    // The window's contents were lost or its size changed: paint it all anew.
    void refit_screen();
    // The audio output is to be closed while nothing sounds, or SDL's audio given up
    // after an output that did not open; settle_audio does it.
    bool audio_settling_due();
    void settle_audio();
    // The end of the run, or a test's fresh start: frees every object and closes SDL.
    void shutdown();
    // The font the glyph source draws cells of this height with; nullptr when none.
    TTF_Font* font_of_height(int height);

  private:
    // How the front reaches the window's surface: copied, or scaled into a letterbox
    // when that surface is not 1024x768.
    struct Screen {
        SDL_Surface* scaled = nullptr;  // the front at the letterbox's size; nullptr: unscaled
        Letterbox box{};                // where the front lands on the window surface
        int target_width = 0;           // the window surface size the letterbox fits
        int target_height = 0;
    };

    void free_screen();
    bool fit_to(SDL_Surface* target, const SDL_Surface* front);
    void present_rects(SDL_Surface* target, SDL_Surface* front, const std::vector<DirtyRect>& rects,
                       bool whole_target);
    TTF_Font* open_font_of_height(int height);
    void report_font_failure();
    static void SDLCALL fill_output(void* userdata, Uint8* stream, int length);
    bool open_output();

    bool wait_for_event(SDL_Event* event, int timeout_ms);
    int window_width_ = 0;  // 0: full screen
    int window_height_ = 0;
    bool verbose_ = false;
    // The show pixel the show's pointer was last sent to in a window, with the odd
    // pixel each axis carries over (two pixels a count); not placed until the first
    // motion after the mouse is taken.
    struct ShowPointer {
        bool placed = false;
        int x = 0;
        int y = 0;
        int carry_x = 0;
        int carry_y = 0;
    } show_pointer_;
    bool video_tried_ = false;
    bool video_ready_ = false;
    std::string display_failure_;
    SDL_Window* window_ = nullptr;
    Screen screen_;
    bool ttf_ready_ = false;
    std::unique_ptr<void, void (*)(void*)> font_file_{nullptr, SDL_free};  // read once
    size_t font_file_size_ = 0;
    bool font_failure_reported_ = false;
    std::map<int, TTF_Font*> fonts_;  // by cell height; nullptr: none of that height
    SDL_AudioSpec audio_wanted_{};    // to open the output again
    bool audio_in_use_ = false;       // the sound device is open, the output maybe closed
    bool audio_lost_ = false;         // the output did not open again
    SDL_AudioDeviceID audio_ = 0;     // 0 while the output is closed
    int audio_channels_ = 2;
    SDL_atomic_t quiet_told_{0};  // 1: the audio thread found nothing sounding
    int audio_quits_due_ = 0;     // SDL audio set up for an output that did not open
};

SdlDevice& sdl_device();

// SDL's events as the mouse records, key presses, characters and window messages the
// program knows from Windows.
void translate_sdl_event(const SDL_Event& event);
