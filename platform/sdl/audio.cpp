// The audio output: SDL's callback, on SDL's audio thread, asks the mixer for frames.
//
// SDL's audio thread wakes for every block of 512 frames, 21 times a second, whether
// anything sounds or not, and also while the output is paused. So the output is open
// only while something sounds: the audio thread tells the main thread when all has gone
// quiet, the main thread closes the output once it has been left alone for a moment,
// and the next sound opens it again.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_device.h"

namespace {

constexpr int OUTPUT_FRAMES = 512;

// The event by which the audio thread wakes the main thread's wait when all is quiet.
Uint32 quiet_event_type() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void say_nothing(const char*, int, const char*, int, const char*, ...) {}

// ALSA's library tells standard error of every device it cannot open, eight "ALSA lib"
// lines on a machine without a sound card, where the show simply runs silent. SDL loads
// the library by name; loaded here first, the same library is given a handler that
// says nothing, and is kept loaded for as long as SDL uses it.
void silence_alsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto set_handler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler != nullptr) set_handler(say_nothing);
}

}  // namespace

void SDLCALL SdlDevice::fill_output(void* userdata, Uint8* stream, int length) {
    auto* device = static_cast<SdlDevice*>(userdata);
    const int channels = device->audio_channels_;
    soft_mix_audio(reinterpret_cast<int16_t*>(stream), length / (2 * channels), channels);
    if (SDL_AtomicGet(&device->quiet_told_) == 0 && !soft_sounding()) {
        SDL_AtomicSet(&device->quiet_told_, 1);
        SDL_Event quiet{};
        quiet.type = quiet_event_type();
        SDL_PushEvent(&quiet);
    }
}

bool SdlDevice::open_output() {
    SDL_AudioSpec obtained{};
    audio_ =
        SDL_OpenAudioDevice(nullptr, 0, &audio_wanted_, &obtained, SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (audio_ == 0) return false;
    audio_channels_ = obtained.channels == 1 ? 1 : 2;
    SDL_AtomicSet(&quiet_told_, 0);
    SDL_PauseAudioDevice(audio_, 0);
    return true;
}

bool SdlDevice::open_audio(int rate) {
    if (!verbose_) silence_alsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    quiet_event_type();
    audio_wanted_ = SDL_AudioSpec{};
    audio_wanted_.freq = rate;
    audio_wanted_.format = AUDIO_S16SYS;
    audio_wanted_.channels = 2;
    audio_wanted_.samples = OUTPUT_FRAMES;
    audio_wanted_.callback = fill_output;
    audio_wanted_.userdata = this;
    if (!open_output()) {
        // Giving SDL's audio up waits for ALSA's device watcher to end its 100 ms sleep:
        // done once the show waits for input, it does not hold up the start.
        ++audio_quits_due_;
        return false;
    }
    audio_in_use_ = true;
    return true;
}

void SdlDevice::lock_audio() {
    if (audio_ != 0) SDL_LockAudioDevice(audio_);
}

// A change that set something sounding opens a closed output again; one that does so
// while the audio thread has just told of quiet takes that back. When the output does
// not open again, sounds stay silent from then on.
void SdlDevice::unlock_audio() {
    if (audio_ != 0) {
        if (SDL_AtomicGet(&quiet_told_) != 0 && soft_sounding()) SDL_AtomicSet(&quiet_told_, 0);
        SDL_UnlockAudioDevice(audio_);
    } else if (audio_in_use_ && !audio_lost_ && soft_sounding()) {
        audio_lost_ = !open_output();
    }
}

bool SdlDevice::audio_settling_due() {
    return audio_quits_due_ > 0 || (audio_ != 0 && SDL_AtomicGet(&quiet_told_) != 0);
}

void SdlDevice::settle_audio() {
    for (; audio_quits_due_ > 0; --audio_quits_due_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (audio_ == 0) return;
    SDL_LockAudioDevice(audio_);
    const bool quiet = !soft_sounding();
    SDL_UnlockAudioDevice(audio_);
    if (!quiet) return;
    SDL_CloseAudioDevice(audio_);
    audio_ = 0;
}

void SdlDevice::close_audio() {
    if (!audio_in_use_ && audio_ == 0) return;
    if (audio_ != 0) SDL_CloseAudioDevice(audio_);
    audio_ = 0;
    audio_in_use_ = false;
    audio_lost_ = false;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The scripted runner keeps a sound log; here it is only for looking on.
void SdlDevice::sound_trace(const char* line) {
    if (std::getenv("QZVIEW_SOUND_TRACE") != nullptr) std::fprintf(stderr, "sound: %s\n", line);
}
