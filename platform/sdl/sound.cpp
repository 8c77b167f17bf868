// The sound device: SDL's audio output at 11025 Hz and a mixer of our own for the
// static buffers, run on SDL's audio thread.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/machine.h"
#include "platform/sound.h"

namespace {

// Buffers are set to play at 11025 frames a second: with the device at that rate the
// mixer only steps through them, with no resampling of its own.
constexpr int OUTPUT_RATE = 11025;
constexpr int OUTPUT_FRAMES = 512;
constexpr uint16_t FORMAT_PCM = 1;
constexpr uint32_t FREQUENCY_MIN = 100;
constexpr uint32_t FREQUENCY_MAX = 200000;
constexpr int32_t VOLUME_MIN = -10000;

// The main thread closes the output once nothing sounds; it hears of a sound that ended
// by itself through this event, which wakes its wait.
Uint32 quiet_event_type = 0;

bool anything_playing(const PlatformSoundDevice* device) {
    for (const Voice* voice : device->voices)
        if (voice->playing) return true;
    return false;
}

void SDLCALL fill_output(void* userdata, Uint8* stream, int length) {
    auto* device = static_cast<PlatformSoundDevice*>(userdata);
    const int frames = length / (2 * device->channels);
    mix_voices(device->voices.data(), device->voices.size(), reinterpret_cast<int16_t*>(stream),
               frames, device->channels, device->rate);
    if (!device->quiet_told && !anything_playing(device)) {
        device->quiet_told = true;
        SDL_Event quiet{};
        quiet.type = quiet_event_type;
        SDL_PushEvent(&quiet);
    }
}

// SDL's audio thread wakes for every block of 512 frames, 21 times a second, whether
// anything sounds or not, and also while the device is paused: so the output is open
// only while something sounds.
bool open_output(PlatformSoundDevice* device) {
    if (device->id != 0) return true;
    SDL_AudioSpec obtained{};
    device->id = SDL_OpenAudioDevice(nullptr, 0, &device->wanted, &obtained,
                                     SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device->id == 0) return false;
    device->channels = obtained.channels == 1 ? 1 : 2;
    device->rate = obtained.freq;
    device->quiet_told = false;
    SDL_PauseAudioDevice(device->id, 0);
    return true;
}

void close_output_if_quiet(PlatformSoundDevice* device) {
    if (device == nullptr || device->id == 0) return;
    SDL_LockAudioDevice(device->id);
    const bool quiet = !anything_playing(device);
    SDL_UnlockAudioDevice(device->id);
    if (!quiet) return;
    SDL_CloseAudioDevice(device->id);
    device->id = 0;
}

// Every change the audio thread could see happens under the device's lock.
class DeviceLock {
  public:
    explicit DeviceLock(const PlatformSoundDevice* device)
        : id_(device != nullptr ? device->id : 0) {
        if (id_ != 0) SDL_LockAudioDevice(id_);
    }
    ~DeviceLock() {
        if (id_ != 0) SDL_UnlockAudioDevice(id_);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    SDL_AudioDeviceID id_;
};

bool playable(const WaveFormat& format) {
    return format.format_tag == FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
           (format.bits_per_sample == 8 || format.bits_per_sample == 16);
}

void forget_buffer(PlatformSoundDevice* device, PlatformSoundBuffer* buffer) {
    auto& buffers = device->buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), buffer), buffers.end());
    auto& voices = device->voices;
    voices.erase(std::remove(voices.begin(), voices.end(), &buffer->voice), voices.end());
}

}  // namespace

int32_t sound_device_create(SoundDevice* device) {
    *device = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return RESULT_FAIL;
    auto* created = new PlatformSoundDevice;
    SDL_AudioSpec& wanted = created->wanted;
    wanted.freq = OUTPUT_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = OUTPUT_FRAMES;
    wanted.callback = fill_output;
    wanted.userdata = created;
    quiet_event_type = SDL_RegisterEvents(1);
    if (!open_output(created)) {
        delete created;
        // Giving SDL's audio up waits for ALSA's device watcher to end its 100 ms sleep:
        // done once the show waits for input, it does not hold up the start.
        ++machine().audio_quits_due;
        return RESULT_FAIL;
    }
    machine().sound = created;
    *device = created;
    return RESULT_OK;
}

bool sound_settling_due() {
    const PlatformSoundDevice* device = machine().sound;
    return machine().audio_quits_due > 0 ||
           (device != nullptr && device->id != 0 && device->quiet_told);
}

void sound_settle() {
    for (; machine().audio_quits_due > 0; --machine().audio_quits_due)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    close_output_if_quiet(machine().sound);
}

int32_t sound_device_set_exclusive(SoundDevice device, WindowHandle) {
    return device != nullptr ? RESULT_OK : RESULT_FAIL;
}

void sound_device_release(SoundDevice device) {
    if (device == nullptr) return;
    if (device->id != 0) SDL_CloseAudioDevice(device->id);
    if (machine().sound == device) machine().sound = nullptr;
    // Buffers the program still holds stay usable, silent.
    for (PlatformSoundBuffer* buffer : device->buffers)
        buffer->device = nullptr;
    delete device;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int32_t sound_buffer_create(SoundDevice device, const WaveFormat* format, uint32_t size,
                            SoundBuffer* buffer) {
    *buffer = nullptr;
    if (device == nullptr || size == 0 || !playable(*format)) return RESULT_FAIL;
    auto* created = new PlatformSoundBuffer;
    created->device = device;
    created->block_align = format->channels * (format->bits_per_sample / 8u);
    created->bytes.assign(size, 0);
    Voice& voice = created->voice;
    voice.data = created->bytes.data();
    voice.frames = size / created->block_align;
    voice.channels = format->channels;
    voice.bytes_per_sample = format->bits_per_sample / 8;
    voice.frequency = std::clamp(format->samples_per_second, FREQUENCY_MIN, FREQUENCY_MAX);
    DeviceLock lock(device);
    device->buffers.push_back(created);
    device->voices.push_back(&created->voice);
    *buffer = created;
    return RESULT_OK;
}

int32_t sound_buffer_lock(SoundBuffer buffer, uint32_t size, void** data, uint32_t* length) {
    *data = nullptr;
    *length = 0;
    DeviceLock lock(buffer->device);
    if (buffer->locked) return RESULT_FAIL;
    buffer->locked = true;
    *data = buffer->bytes.data();
    *length = std::min<uint32_t>(size, static_cast<uint32_t>(buffer->bytes.size()));
    return RESULT_OK;
}

int32_t sound_buffer_unlock(SoundBuffer buffer, void*, uint32_t) {
    DeviceLock lock(buffer->device);
    if (!buffer->locked) return RESULT_FAIL;
    buffer->locked = false;
    return RESULT_OK;
}

int32_t sound_buffer_set_position(SoundBuffer buffer, uint32_t position) {
    DeviceLock lock(buffer->device);
    voice_set_frame(&buffer->voice, position / buffer->block_align);
    return RESULT_OK;
}

int32_t sound_buffer_set_frequency(SoundBuffer buffer, uint32_t samples_per_second) {
    if (samples_per_second < FREQUENCY_MIN || samples_per_second > FREQUENCY_MAX)
        return RESULT_FAIL;
    DeviceLock lock(buffer->device);
    buffer->voice.frequency = samples_per_second;
    return RESULT_OK;
}

int32_t sound_buffer_set_volume(SoundBuffer buffer, int32_t volume) {
    if (volume > 0 || volume < VOLUME_MIN) return RESULT_FAIL;
    DeviceLock lock(buffer->device);
    buffer->voice.gain = gain_of_volume(volume);
    return RESULT_OK;
}

int32_t sound_buffer_play(SoundBuffer buffer, uint32_t flags) {
    {
        DeviceLock lock(buffer->device);
        buffer->voice.looping = (flags & SOUND_PLAY_LOOPING) != 0;
        // Without a device there is nothing to play on: the buffer stays silent and idle.
        buffer->voice.playing = buffer->device != nullptr;
        if (buffer->device != nullptr) buffer->device->quiet_told = false;
    }
    if (buffer->device != nullptr && !open_output(buffer->device)) buffer->voice.playing = false;
    return RESULT_OK;
}

int32_t sound_buffer_stop(SoundBuffer buffer) {
    DeviceLock lock(buffer->device);
    buffer->voice.playing = false;
    return RESULT_OK;
}

int32_t sound_buffer_get_status(SoundBuffer buffer, uint32_t* status) {
    DeviceLock lock(buffer->device);
    *status = 0;
    if (buffer->voice.playing)
        *status = SOUND_STATUS_PLAYING | (buffer->voice.looping ? SOUND_STATUS_LOOPING : 0);
    return RESULT_OK;
}

void sound_buffer_release(SoundBuffer buffer) {
    if (buffer == nullptr) return;
    if (buffer->device != nullptr) {
        DeviceLock lock(buffer->device);
        forget_buffer(buffer->device, buffer);
    }
    delete buffer;
}

// The scripted runner keeps a sound log; here it is only for looking on.
void sound_trace(const char* line) {
    if (std::getenv("QZVIEW_SOUND_TRACE") != nullptr) std::fprintf(stderr, "sound: %s\n", line);
}
