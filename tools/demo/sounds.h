// The demo's sounds, synthesised from sine and square waves with envelopes: the click
// sounds 1 to 7, the background loop 101 and the one-time sounds 201 and 202. The
// program plays every sound at 11025 samples a second, so they are made at that rate.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

constexpr int DEMO_SAMPLE_RATE = 11025;

struct DemoSound {
    int number;                    // the n of bsouN.WAV
    std::vector<uint8_t> samples;  // 8-bit unsigned mono, 128 = silence
};

std::vector<DemoSound> make_demo_sounds();

// A RIFF WAVE file: "fmt " (PCM, mono, 8 bits, 11025 Hz) and "data".
std::vector<uint8_t> wav_encode_pcm8_mono(const std::vector<uint8_t>& samples);

}  // namespace demo
