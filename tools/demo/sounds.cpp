#include "tools/demo/sounds.h"

#include <algorithm>
#include <cmath>

#include "platform/common/le_bytes.h"

namespace demo {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double NYQUIST = DEMO_SAMPLE_RATE / 2.0;

using Signal = std::vector<double>;

enum class Wave { sine, square, saw, bell };

struct Envelope {
    double attack;   // seconds to full level
    double release;  // seconds to fade out at the end of the note
    double decay;    // exponential fall per second after the attack; 0 keeps the level
};

size_t seconds_to_samples(double seconds) {
    return static_cast<size_t>(std::lround(seconds * DEMO_SAMPLE_RATE));
}

double midi_frequency(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Band-limited by adding harmonics only below the Nyquist frequency, so that square
// and saw waves do not fold back into harsh tones at this low rate.
double wave_value(Wave wave, double phase, double frequency) {
    switch (wave) {
        case Wave::sine:
            return std::sin(phase);
        case Wave::bell:
            return std::sin(phase) + 0.35 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase);
        case Wave::square:
        case Wave::saw: {
            double sum = 0;
            const int step = wave == Wave::square ? 2 : 1;
            for (int k = 1; k * frequency < NYQUIST && k <= 24; k += step)
                sum += std::sin(k * phase) / k;
            return sum * (wave == Wave::square ? 4 / PI : 2 / PI) * 0.8;
        }
    }
    return 0;
}

double envelope_level(const Envelope& envelope, double t, double length) {
    double level = envelope.attack > 0 ? std::min(1.0, t / envelope.attack) : 1.0;
    if (envelope.decay > 0 && t > envelope.attack)
        level *= std::exp(-envelope.decay * (t - envelope.attack));
    const double left = length - t;
    if (envelope.release > 0 && left < envelope.release)
        level *= std::max(0.0, left / envelope.release);
    return level;
}

struct Note {
    double start;  // seconds
    double length;
    double frequency;
    double end_frequency;  // a sweep when it differs from frequency
    Wave wave;
    double level;
    Envelope envelope;
    double vibrato = 0;  // depth as a fraction of the frequency, at 5 Hz
};

// Adds the note into the signal; with wrap, samples past the end continue at the start,
// so that a looping sound has no seam.
void add_note(Signal& signal, const Note& note, bool wrap) {
    const size_t first = seconds_to_samples(note.start);
    const size_t count = seconds_to_samples(note.length);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / DEMO_SAMPLE_RATE;
        double frequency =
            note.frequency + (note.end_frequency - note.frequency) * (t / note.length);
        frequency *= 1 + note.vibrato * std::sin(2 * PI * 5 * t);
        const double value = wave_value(note.wave, phase, frequency) * note.level *
                             envelope_level(note.envelope, t, note.length);
        phase += 2 * PI * frequency / DEMO_SAMPLE_RATE;
        size_t index = first + i;
        if (index >= signal.size()) {
            if (!wrap) break;
            index %= signal.size();
        }
        signal[index] += value;
    }
}

// A repeatable noise source: the same sequence on every run.
struct NoiseSource {
    uint32_t state = 0x1234567u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2 - 1;
    }
};

// Scales the sound so its loudest sample reaches peak: every sound gets a level of its
// own choosing, whatever its notes add up to.
Signal normalised(Signal signal, double peak) {
    double loudest = 0;
    for (double v : signal)
        loudest = std::max(loudest, std::fabs(v));
    if (loudest > 0)
        for (double& v : signal)
            v *= peak / loudest;
    return signal;
}

std::vector<uint8_t> to_pcm8(const Signal& signal) {
    std::vector<uint8_t> samples;
    samples.reserve(signal.size());
    for (double v : signal)
        samples.push_back(static_cast<uint8_t>(std::lround(128 + 127 * std::clamp(v, -1.0, 1.0))));
    return samples;
}

Signal tone(double seconds, double from, double to, Wave wave, double level, Envelope envelope) {
    Signal signal(seconds_to_samples(seconds), 0.0);
    add_note(signal, {0, seconds, from, to, wave, level, envelope}, false);
    return signal;
}

Signal two_tone_confirmation() {
    Signal signal(seconds_to_samples(0.2), 0.0);
    add_note(signal, {0, 0.07, 660, 660, Wave::bell, 0.45, {0.004, 0.02, 10}}, false);
    add_note(signal, {0.07, 0.13, 990, 990, Wave::bell, 0.45, {0.004, 0.05, 12}}, false);
    return signal;
}

// Noise through a low-pass filter whose corner rises and falls: air moving past.
Signal soft_swoosh() {
    const double seconds = 0.32;
    Signal signal(seconds_to_samples(seconds), 0.0);
    NoiseSource noise;
    double low = 0, lower = 0;
    for (size_t i = 0; i < signal.size(); ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(signal.size());
        const double bell_curve = std::sin(PI * t);
        const double corner = 300 + 2200 * bell_curve;
        const double k = 1 - std::exp(-2 * PI * corner / DEMO_SAMPLE_RATE);
        low += k * (noise.next() - low);
        lower += k * (low - lower);
        signal[i] = lower * 1.6 * bell_curve * bell_curve;
    }
    return signal;
}

Signal low_buzz() {
    return tone(0.3, 110, 98, Wave::square, 0.5, {0.01, 0.06, 2});
}

// Four bars of held chords (Am, F, C, G) over a bass in half bars.
void add_background_harmony(Signal& signal, double beat) {
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
    const int bass[4] = {45, 41, 48, 43};
    for (int bar = 0; bar < 4; ++bar) {
        const double start = bar * 4 * beat;
        for (int note : chords[bar])
            add_note(signal,
                     {start,
                      4.4 * beat,
                      midi_frequency(note),
                      midi_frequency(note),
                      Wave::sine,
                      0.07,
                      {0.6, 0.8, 0}},
                     true);
        for (int half = 0; half < 2; ++half)
            add_note(signal,
                     {start + half * 2 * beat,
                      2 * beat,
                      midi_frequency(bass[bar]),
                      midi_frequency(bass[bar]),
                      Wave::bell,
                      0.16,
                      {0.02, 0.3, 1.2}},
                     true);
    }
}

void add_background_melody(Signal& signal, double beat) {
    struct MelodyNote {
        double beat;
        double length;
        int note;
    };
    const MelodyNote melody[] = {
        {0, 1, 76},    {1, 0.5, 72},    {1.5, 0.5, 74}, {2, 1, 76},  {3, 1, 69},    {4, 1, 72},
        {5, 1, 77},    {6, 1, 76},      {7, 1, 72},     {8, 1, 67},  {9, 0.5, 72},  {9.5, 0.5, 74},
        {10, 1.5, 76}, {11.5, 0.5, 74}, {12, 1, 74},    {13, 1, 71}, {14, 1.5, 67}, {15.5, 0.5, 71},
    };
    for (const MelodyNote& m : melody)
        add_note(signal,
                 {m.beat * beat,
                  (m.length + 0.6) * beat,
                  midi_frequency(m.note),
                  midi_frequency(m.note),
                  Wave::bell,
                  0.13,
                  {0.015, 0.25, 1.6},
                  0.004},
                 true);
}

// A calm four-bar tune in A minor (Am, F, C, G) at 80 beats a minute: 12 seconds,
// rendered with wrap-around so that the loop joins without a click.
Signal background_loop() {
    const double beat = 0.75;
    Signal signal(seconds_to_samples(16 * beat), 0.0);
    add_background_harmony(signal, beat);
    add_background_melody(signal, beat);
    return signal;
}

// A short brass call rising to a held C major chord.
Signal little_fanfare() {
    Signal signal(seconds_to_samples(2.0), 0.0);
    const Envelope brass = {0.025, 0.06, 0.6};
    const struct {
        double start;
        double length;
        int note;
    } calls[] = {
        {0.0, 0.14, 67}, {0.16, 0.14, 72}, {0.32, 0.14, 76}, {0.48, 0.4, 79}, {0.9, 0.12, 76}};
    for (const auto& call : calls)
        add_note(signal,
                 {call.start, call.length, midi_frequency(call.note), midi_frequency(call.note),
                  Wave::saw, 0.3, brass},
                 false);
    for (int note : {72, 76, 79, 84})
        add_note(signal,
                 {1.04,
                  0.95,
                  midi_frequency(note),
                  midi_frequency(note),
                  Wave::saw,
                  0.14,
                  {0.03, 0.35, 0.8},
                  0.006},
                 false);
    return signal;
}

// A struck bell: inharmonic partials, the high ones dying away first.
Signal bell_strike() {
    const double seconds = 2.6;
    Signal signal(seconds_to_samples(seconds), 0.0);
    const double base = 523.25;
    const struct {
        double ratio;
        double level;
        double decay;
    } partials[] = {{0.5, 0.22, 1.3}, {1.0, 0.35, 1.6},  {1.19, 0.14, 2.2}, {1.5, 0.12, 2.6},
                    {2.0, 0.14, 3.0}, {2.74, 0.08, 4.5}, {3.76, 0.05, 6.0}, {5.4, 0.03, 8.0}};
    for (const auto& partial : partials)
        add_note(signal,
                 {0,
                  seconds,
                  base * partial.ratio,
                  base * partial.ratio,
                  Wave::sine,
                  partial.level,
                  {0.002, 0.2, partial.decay}},
                 false);
    return signal;
}

// Byte by byte: GCC 12 at -O3 takes a range insert of the four bytes into a fresh
// vector for an overflow (a false -Wstringop-overflow).
void put_id(std::vector<uint8_t>& out, const char (&id)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(id[i]));
}

}  // namespace

std::vector<uint8_t> wav_encode_pcm8_mono(const std::vector<uint8_t>& samples) {
    const auto data_size = static_cast<uint32_t>(samples.size());
    const uint32_t pad = data_size % 2;  // chunks start at even offsets
    std::vector<uint8_t> out;
    put_id(out, "RIFF");
    append_le32(out, 4 + (8 + 16) + (8 + data_size + pad));
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    append_le32(out, 16);
    append_le16(out, 1);  // PCM
    append_le16(out, 1);  // mono
    append_le32(out, DEMO_SAMPLE_RATE);
    append_le32(out, DEMO_SAMPLE_RATE);  // bytes a second: one byte a sample
    append_le16(out, 1);
    append_le16(out, 8);
    put_id(out, "data");
    append_le32(out, data_size);
    out.insert(out.end(), samples.begin(), samples.end());
    if (pad != 0) out.push_back(128);
    return out;
}

std::vector<DemoSound> make_demo_sounds() {
    const Envelope click = {0.002, 0.01, 60};
    const Envelope blip = {0.003, 0.015, 30};
    return {
        {1, to_pcm8(normalised(tone(0.03, 2000, 2000, Wave::sine, 1, click), 0.55))},
        {2, to_pcm8(normalised(tone(0.045, 1400, 1400, Wave::sine, 1, blip), 0.55))},
        {3, to_pcm8(normalised(tone(0.06, 1000, 1250, Wave::sine, 1, blip), 0.55))},
        {4, to_pcm8(normalised(tone(0.05, 1760, 1900, Wave::bell, 1, blip), 0.5))},
        {5, to_pcm8(normalised(low_buzz(), 0.45))},
        {6, to_pcm8(normalised(two_tone_confirmation(), 0.5))},
        {7, to_pcm8(normalised(soft_swoosh(), 0.4))},
        // The background plays under everything else for the whole show: kept low.
        {101, to_pcm8(normalised(background_loop(), 0.3))},
        {201, to_pcm8(normalised(little_fanfare(), 0.6))},
        {202, to_pcm8(normalised(bell_strike(), 0.6))},
    };
}

}  // namespace demo
