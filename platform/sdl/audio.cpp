// The audio output: SDL's callback, on SDL's audio thread, asks the mixer for frames.
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_device.h"

namespace {

constexpr int OUTPUT_FRAMES = 512;

void SDLCALL fill_output(void* userdata, Uint8* stream, int length) {
    const int channels = *static_cast<const int*>(userdata);
    soft_mix_audio(reinterpret_cast<int16_t*>(stream), length / (2 * channels), channels);
}

}  // namespace

bool SdlDevice::open_audio(int rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = OUTPUT_FRAMES;
    wanted.callback = fill_output;
    wanted.userdata = &audio_channels_;
    SDL_AudioSpec obtained{};
    audio_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (audio_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audio_channels_ = obtained.channels == 1 ? 1 : 2;
    SDL_PauseAudioDevice(audio_, 0);
    return true;
}

void SdlDevice::lock_audio() {
    if (audio_ != 0) SDL_LockAudioDevice(audio_);
}

void SdlDevice::unlock_audio() {
    if (audio_ != 0) SDL_UnlockAudioDevice(audio_);
}

void SdlDevice::close_audio() {
    if (audio_ == 0) return;
    SDL_CloseAudioDevice(audio_);
    audio_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The scripted runner keeps a sound log; here it is only for looking on.
void SdlDevice::sound_trace(const char* line) {
    if (std::getenv("QZVIEW_SOUND_TRACE") != nullptr) std::fprintf(stderr, "sound: %s\n", line);
}
