// The sound device and its static secondary buffers (DirectSound on Windows).
// Results: RESULT_OK or a failure code.
#pragma once

#include <cstdint>

#include "platform/types.h"

// The PCM format record handed to the device: the layout of WAVEFORMATEX, 18 bytes.
#pragma pack(push, 1)
struct WaveFormat {
    uint16_t format_tag;
    uint16_t channels;
    uint32_t samples_per_second;
    uint32_t average_bytes_per_second;
    uint16_t block_align;
    uint16_t bits_per_sample;
    uint16_t extension_size;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18, "WaveFormat must match WAVEFORMATEX");

// Play flags and status bits.
constexpr uint32_t SOUND_PLAY_ONCE = 0;
constexpr uint32_t SOUND_PLAY_LOOPING = 1;
constexpr uint32_t SOUND_STATUS_PLAYING = 0x1;
constexpr uint32_t SOUND_STATUS_LOOPING = 0x4;

int32_t sound_device_create(SoundDevice* device);
int32_t sound_device_set_exclusive(SoundDevice device, WindowHandle window);
void sound_device_release(SoundDevice device);

// A static buffer with volume, pan and frequency control (flags 0xE2); fails for size 0.
int32_t sound_buffer_create(SoundDevice device, const WaveFormat* format, uint32_t size,
                            SoundBuffer* buffer);
// Locks the whole buffer for writing from offset 0.
int32_t sound_buffer_lock(SoundBuffer buffer, uint32_t size, void** data, uint32_t* length);
int32_t sound_buffer_unlock(SoundBuffer buffer, void* data, uint32_t length);
int32_t sound_buffer_set_position(SoundBuffer buffer, uint32_t position);
int32_t sound_buffer_set_frequency(SoundBuffer buffer, uint32_t samples_per_second);
// Volume in hundredths of a decibel, 0 = full, negative attenuates.
int32_t sound_buffer_set_volume(SoundBuffer buffer, int32_t volume);
// Starts from the current position; a playing buffer only takes the new flags.
int32_t sound_buffer_play(SoundBuffer buffer, uint32_t flags);
int32_t sound_buffer_stop(SoundBuffer buffer);
int32_t sound_buffer_get_status(SoundBuffer buffer, uint32_t* status);
void sound_buffer_release(SoundBuffer buffer);

// A line for the sound log of the scripted runner; other platforms ignore it.
void sound_trace(const char* line);
