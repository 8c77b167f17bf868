#include "platform/soft/mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t VOLUME_SILENT = -10000;

int sample_at(const Voice& voice, uint32_t frame, int channel) {
    const size_t index =
        (static_cast<size_t>(frame) * voice.channels + channel) * voice.bytes_per_sample;
    if (voice.bytes_per_sample == 1) return (static_cast<int>(voice.data[index]) - 128) * 256;
    return static_cast<int16_t>(voice.data[index] | (voice.data[index + 1] << 8));
}

// One frame of the voice as the output wants it: a mono voice goes to both sides,
// a stereo voice is averaged for mono output.
void read_frame(const Voice& voice, uint32_t frame, int out_channels, int* left, int* right) {
    const int first = sample_at(voice, frame, 0);
    const int second = voice.channels == 2 ? sample_at(voice, frame, 1) : first;
    if (out_channels == 1) {
        *left = (first + second) / 2;
    } else {
        *left = first;
        *right = second;
    }
}

// Adds the voice into sum; a voice played once stops where its data ends.
void mix_voice(Voice* voice, int32_t* sum, int frames, int out_channels, int output_rate) {
    if (voice->frames == 0 || voice->data == nullptr) {
        voice->playing = false;
        return;
    }
    const uint64_t step = (static_cast<uint64_t>(voice->frequency) << 32) / output_rate;
    const uint64_t end = static_cast<uint64_t>(voice->frames) << 32;
    for (int i = 0; i < frames; ++i) {
        if (voice->position >= end) {
            if (!voice->looping) {
                voice->playing = false;
                voice->position = 0;
                return;
            }
            voice->position %= end;
        }
        int left = 0, right = 0;
        read_frame(*voice, voice_frame(*voice), out_channels, &left, &right);
        sum[i * out_channels] += static_cast<int32_t>(std::lround(left * voice->gain));
        if (out_channels == 2)
            sum[i * out_channels + 1] += static_cast<int32_t>(std::lround(right * voice->gain));
        voice->position += step;
    }
    // A sound that ends exactly with this block is over now, not one block later.
    if (!voice->looping && voice->position >= end) {
        voice->playing = false;
        voice->position = 0;
    }
}

}  // namespace

float gain_of_volume(int32_t volume) {
    if (volume <= VOLUME_SILENT) return 0.0f;
    return static_cast<float>(std::pow(10.0, std::min(volume, 0) / 2000.0));
}

void mix_voices(Voice* const* voices, size_t count, int16_t* out, int frames, int out_channels,
                int output_rate) {
    // The audio thread must not wait for the allocator: sum a block at a time on the stack.
    constexpr int BLOCK_FRAMES = 256;
    int32_t sum[BLOCK_FRAMES * 2];
    for (int done = 0; done < frames; done += BLOCK_FRAMES) {
        const int block = std::min(BLOCK_FRAMES, frames - done);
        const int samples = block * out_channels;
        std::fill(sum, sum + samples, 0);
        for (size_t v = 0; v < count; ++v)
            if (voices[v]->playing) mix_voice(voices[v], sum, block, out_channels, output_rate);
        int16_t* to = out + static_cast<size_t>(done) * out_channels;
        for (int i = 0; i < samples; ++i)
            to[i] = static_cast<int16_t>(std::clamp<int32_t>(sum[i], -32768, 32767));
    }
}
