#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/soft/mixer.h"

namespace {

constexpr int RATE = 11025;

Voice voice_over(const std::vector<uint8_t>& bytes, int channels, int bytes_per_sample) {
    Voice voice;
    voice.data = bytes.data();
    voice.channels = channels;
    voice.bytes_per_sample = bytes_per_sample;
    voice.frames = static_cast<uint32_t>(bytes.size() / (channels * bytes_per_sample));
    voice.playing = true;
    return voice;
}

std::vector<int16_t> mix(std::vector<Voice*> voices, int frames, int channels) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels, 12345);
    mix_voices(voices.data(), voices.size(), out.data(), frames, channels, RATE);
    return out;
}

std::vector<uint8_t> le16(std::initializer_list<int16_t> samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) {
        bytes.push_back(static_cast<uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
    return bytes;
}

TEST(Mixer, EightBitMonoGoesToBothSidesCentredOnZero) {
    const std::vector<uint8_t> bytes = {0xC0, 0x80, 0x40, 0xFF};
    Voice voice = voice_over(bytes, 1, 1);
    voice.looping = true;
    const auto out = mix({&voice}, 4, 2);
    const std::vector<int16_t> expected = {16384, 16384, 0, 0, -16384, -16384, 32512, 32512};
    EXPECT_EQ(out, expected);
}

TEST(Mixer, VolumeIsHundredthsOfADecibel) {
    EXPECT_FLOAT_EQ(gain_of_volume(0), 1.0f);
    EXPECT_NEAR(gain_of_volume(-600), 0.501f, 0.001f);
    EXPECT_NEAR(gain_of_volume(-1200), 0.251f, 0.001f);
    EXPECT_EQ(gain_of_volume(-10000), 0.0f);

    const std::vector<uint8_t> bytes = le16({20000});
    Voice voice = voice_over(bytes, 1, 2);
    voice.looping = true;
    voice.gain = gain_of_volume(-600);
    EXPECT_NEAR(mix({&voice}, 1, 1)[0], 10024, 2);
}

TEST(Mixer, ASoundPlayedOnceEndsAndStandsAtItsStartAgain) {
    const std::vector<uint8_t> bytes = le16({1000, 2000, 3000});
    Voice voice = voice_over(bytes, 1, 2);
    const auto out = mix({&voice}, 5, 1);
    const std::vector<int16_t> expected = {1000, 2000, 3000, 0, 0};
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(voice.playing);
    EXPECT_EQ(voice_frame(voice), 0u);
}

TEST(Mixer, ASoundEndingWithTheBlockIsOverAtOnce) {
    const std::vector<uint8_t> bytes = le16({1000, 2000});
    Voice voice = voice_over(bytes, 1, 2);
    mix({&voice}, 2, 1);
    EXPECT_FALSE(voice.playing);
    EXPECT_EQ(voice_frame(voice), 0u);
}

TEST(Mixer, ALoopingSoundStartsOver) {
    const std::vector<uint8_t> bytes = le16({1, 2, 3});
    Voice voice = voice_over(bytes, 1, 2);
    voice.looping = true;
    const auto out = mix({&voice}, 7, 1);
    const std::vector<int16_t> expected = {1, 2, 3, 1, 2, 3, 1};
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(voice_frame(voice), 1u);
}

TEST(Mixer, PlayingResumesWhereItStood) {
    const std::vector<uint8_t> bytes = le16({1, 2, 3, 4, 5});
    Voice voice = voice_over(bytes, 1, 2);
    mix({&voice}, 2, 1);
    voice.playing = false;
    EXPECT_EQ(mix({&voice}, 2, 1), (std::vector<int16_t>{0, 0}));
    voice.playing = true;
    EXPECT_EQ(mix({&voice}, 3, 1), (std::vector<int16_t>{3, 4, 5}));
}

TEST(Mixer, TwiceTheOutputRateStepsOverEveryOtherFrame) {
    const std::vector<uint8_t> bytes = le16({10, 20, 30, 40, 50, 60});
    Voice voice = voice_over(bytes, 1, 2);
    voice.frequency = 2 * RATE;
    EXPECT_EQ(mix({&voice}, 4, 1), (std::vector<int16_t>{10, 30, 50, 0}));
    EXPECT_FALSE(voice.playing);
}

TEST(Mixer, AVoiceAtHalfTheOutputRatePlaysEachFrameTwice) {
    const std::vector<uint8_t> bytes = le16({10, 20});
    Voice voice = voice_over(bytes, 1, 2);
    std::vector<int16_t> out(5, 0);
    Voice* voices[] = {&voice};
    mix_voices(voices, 1, out.data(), 5, 1, 2 * RATE);
    EXPECT_EQ(out, (std::vector<int16_t>{10, 10, 20, 20, 0}));
}

TEST(Mixer, StereoIsAveragedForMonoOutputAndKeptApartForStereo) {
    const std::vector<uint8_t> bytes = le16({1000, 3000});
    Voice mono_out = voice_over(bytes, 2, 2);
    mono_out.looping = true;
    EXPECT_EQ(mix({&mono_out}, 1, 1)[0], 2000);
    Voice stereo_out = voice_over(bytes, 2, 2);
    stereo_out.looping = true;
    EXPECT_EQ(mix({&stereo_out}, 1, 2), (std::vector<int16_t>{1000, 3000}));
}

TEST(Mixer, VoicesAddUpAndTheSumIsClipped) {
    const std::vector<uint8_t> loud = le16({30000, -30000});
    const std::vector<uint8_t> quiet = le16({100, 100});
    Voice a = voice_over(loud, 1, 2), b = voice_over(loud, 1, 2), c = voice_over(quiet, 1, 2);
    EXPECT_EQ(mix({&a, &b}, 2, 1), (std::vector<int16_t>{32767, -32768}));
    Voice d = voice_over(loud, 1, 2);
    EXPECT_EQ(mix({&d, &c}, 2, 1), (std::vector<int16_t>{30100, -29900}));
}

TEST(Mixer, IdleVoicesLeaveSilence) {
    const std::vector<uint8_t> bytes = le16({500});
    Voice voice = voice_over(bytes, 1, 2);
    voice.playing = false;
    EXPECT_EQ(mix({&voice}, 3, 2), (std::vector<int16_t>(6, 0)));
}

TEST(Mixer, LongOutputsAreMixedInFull) {
    std::vector<uint8_t> bytes(3000, 0xFF);
    Voice voice = voice_over(bytes, 1, 1);
    const auto out = mix({&voice}, 1000, 2);
    for (int16_t sample : out)
        ASSERT_EQ(sample, 32512);
    EXPECT_EQ(voice_frame(voice), 1000u);
}

}  // namespace
