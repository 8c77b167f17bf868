// The sound device and its static buffers, mixed by our own mixer into the device's
// audio output at 11025 frames a second.
#include <algorithm>

#include "platform/soft/machine.h"
#include "platform/sound.h"

namespace {

// Buffers are set to play at 11025 frames a second: with the output at that rate the
// mixer only steps through them, with no resampling of its own.
constexpr int OUTPUT_RATE = 11025;
constexpr uint16_t FORMAT_PCM = 1;
constexpr uint32_t SIZE_MAX_BYTES = 0x0FFFFFFF;
constexpr uint32_t FREQUENCY_MIN = 100;
constexpr uint32_t FREQUENCY_MAX = 200000;
constexpr int32_t VOLUME_MIN = -10000;
// A device hands out buffer memory with whatever it held before: make that visible.
constexpr uint8_t FRESH_BUFFER_BYTE = 0xA5;

// Every change the audio side could see happens with the audio locked.
class AudioLock {
  public:
    AudioLock() { soft_device().lock_audio(); }
    ~AudioLock() { soft_device().unlock_audio(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
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

void soft_mix_audio(int16_t* out, int frames, int channels) {
    const PlatformSoundDevice* device = machine().audio;
    if (device == nullptr) {
        std::fill(out, out + frames * channels, int16_t{0});
        return;
    }
    mix_voices(device->voices.data(), device->voices.size(), out, frames, channels, OUTPUT_RATE);
}

bool soft_sounding() {
    const PlatformSoundDevice* device = machine().audio;
    if (device == nullptr) return false;
    return std::any_of(device->voices.begin(), device->voices.end(),
                       [](const Voice* voice) { return voice->playing; });
}

int32_t sound_device_create(SoundDevice* device) {
    *device = nullptr;
    if (should_fail("sound-device") || machine().audio != nullptr) return RESULT_FAIL;
    if (!soft_device().open_audio(OUTPUT_RATE)) return RESULT_FAIL;
    PlatformSoundDevice* created = adopt(new PlatformSoundDevice, "sound-device");
    AudioLock lock;
    machine().audio = created;
    *device = created;
    return RESULT_OK;
}

int32_t sound_device_set_exclusive(SoundDevice device, WindowHandle) {
    return should_fail("sound-coop") || device == nullptr ? RESULT_FAIL : RESULT_OK;
}

// Buffers the program still holds stay usable, silent.
void sound_device_release(SoundDevice device) {
    if (device == nullptr) return;
    soft_device().close_audio();
    machine().audio = nullptr;
    for (PlatformSoundBuffer* buffer : device->buffers) {
        buffer->device = nullptr;
        buffer->voice.playing = false;
    }
    dispose_object(device);
}

int32_t sound_buffer_create(SoundDevice device, const WaveFormat* format, uint32_t size,
                            SoundBuffer* buffer) {
    *buffer = nullptr;
    if (should_fail("sound-buffer") || device == nullptr || size == 0 || size > SIZE_MAX_BYTES ||
        !playable(*format))
        return RESULT_FAIL;
    PlatformSoundBuffer* created = adopt(new PlatformSoundBuffer, "sound-buffer");
    created->device = device;
    created->block_align = format->channels * (format->bits_per_sample / 8u);
    created->bytes.assign(size, FRESH_BUFFER_BYTE);
    Voice& voice = created->voice;
    voice.data = created->bytes.data();
    voice.frames = size / created->block_align;
    voice.channels = format->channels;
    voice.bytes_per_sample = format->bits_per_sample / 8;
    voice.frequency = std::clamp(format->samples_per_second, FREQUENCY_MIN, FREQUENCY_MAX);
    ++machine().counters.sound_buffers_created;
    AudioLock lock;
    device->buffers.push_back(created);
    device->voices.push_back(&created->voice);
    *buffer = created;
    return RESULT_OK;
}

int32_t sound_buffer_lock(SoundBuffer buffer, uint32_t size, void** data, uint32_t* length) {
    *data = nullptr;
    *length = 0;
    if (should_fail("sound-lock")) return RESULT_FAIL;
    AudioLock lock;
    if (buffer->locked) return RESULT_FAIL;
    buffer->locked = true;
    *data = buffer->bytes.data();
    *length = std::min<uint32_t>(size, static_cast<uint32_t>(buffer->bytes.size()));
    return RESULT_OK;
}

int32_t sound_buffer_unlock(SoundBuffer buffer, void*, uint32_t) {
    AudioLock lock;
    if (!buffer->locked) return RESULT_FAIL;
    buffer->locked = false;
    return RESULT_OK;
}

int32_t sound_buffer_set_position(SoundBuffer buffer, uint32_t position) {
    AudioLock lock;
    voice_set_frame(&buffer->voice, position / buffer->block_align);
    return RESULT_OK;
}

int32_t sound_buffer_set_frequency(SoundBuffer buffer, uint32_t samples_per_second) {
    if (samples_per_second < FREQUENCY_MIN || samples_per_second > FREQUENCY_MAX)
        return RESULT_FAIL;
    AudioLock lock;
    buffer->voice.frequency = samples_per_second;
    return RESULT_OK;
}

// Volume in hundredths of a decibel, 0 = full.
int32_t sound_buffer_set_volume(SoundBuffer buffer, int32_t volume) {
    if (volume > 0 || volume < VOLUME_MIN) return RESULT_FAIL;
    AudioLock lock;
    buffer->volume = volume;
    buffer->voice.gain = gain_of_volume(volume);
    return RESULT_OK;
}

// Without a device there is nothing to play on: the buffer stays silent and idle.
int32_t sound_buffer_play(SoundBuffer buffer, uint32_t flags) {
    AudioLock lock;
    buffer->voice.looping = (flags & SOUND_PLAY_LOOPING) != 0;
    buffer->voice.playing = buffer->device != nullptr;
    return RESULT_OK;
}

int32_t sound_buffer_stop(SoundBuffer buffer) {
    AudioLock lock;
    buffer->voice.playing = false;
    return RESULT_OK;
}

int32_t sound_buffer_get_status(SoundBuffer buffer, uint32_t* status) {
    *status = 0;
    if (should_fail("sound-status")) return RESULT_FAIL;
    AudioLock lock;
    if (buffer->voice.playing)
        *status = SOUND_STATUS_PLAYING | (buffer->voice.looping ? SOUND_STATUS_LOOPING : 0);
    return RESULT_OK;
}

void sound_buffer_release(SoundBuffer buffer) {
    if (buffer == nullptr) return;
    if (buffer->device != nullptr) {
        AudioLock lock;
        forget_buffer(buffer->device, buffer);
    }
    dispose_object(buffer);
}

void sound_trace(const char* line) {
    soft_device().sound_trace(line);
}

SoftSoundState soft_sound_state(SoundBuffer buffer) {
    SoftSoundState state;
    if (!is_live(buffer, "sound-buffer")) return state;
    AudioLock lock;
    state.exists = true;
    state.size = static_cast<uint32_t>(buffer->bytes.size());
    state.position = voice_frame(buffer->voice) * buffer->block_align;
    state.frequency = buffer->voice.frequency;
    state.volume = buffer->volume;
    state.playing = buffer->voice.playing;
    state.looping = buffer->voice.looping;
    state.bytes = buffer->bytes;
    return state;
}
