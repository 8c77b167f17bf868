// The mixer behind the sound buffers: static PCM buffers played once or looping,
// each at its own frequency and volume, summed into the device's 16-bit output.
#pragma once

#include <cstddef>
#include <cstdint>

struct Voice {
    const uint8_t* data = nullptr;  // PCM frames: 8-bit unsigned or 16-bit signed little-endian
    uint32_t frames = 0;
    int channels = 1;          // 1 or 2
    int bytes_per_sample = 1;  // 1 or 2
    uint64_t position = 0;     // in frames, 32.32 fixed point
    uint32_t frequency = 11025;
    float gain = 1.0f;
    bool playing = false;
    bool looping = false;
};

// The frame the voice stands at, and how to put it somewhere else.
inline uint32_t voice_frame(const Voice& voice) {
    return static_cast<uint32_t>(voice.position >> 32);
}
inline void voice_set_frame(Voice* voice, uint32_t frame) {
    voice->position = static_cast<uint64_t>(frame < voice->frames ? frame : voice->frames) << 32;
}

// Hundredths of a decibel, 0 full and -10000 silent, as an amplitude factor.
float gain_of_volume(int32_t volume);

// Fills out (frames x out_channels interleaved samples) with the sum of the playing
// voices and moves each on by frequency / output_rate frames per output frame. A voice
// played once that reaches its end stops and stands at its start again; a looping
// voice starts over.
void mix_voices(Voice* const* voices, size_t count, int16_t* out, int frames, int out_channels,
                int output_rate);
