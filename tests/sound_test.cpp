// The sound channels on the scripted machine, whose buffers play against a simulated
// clock: start-up, the background channel, the effect pool, a picture's one-time
// sound, device refusals and the sound log.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "show/picture_table.h"
#include "sound/sound.h"
#include "tests/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

// At 11025 frames a second, 8-bit mono: every default sound lasts one second.
constexpr size_t SOUND_BYTES = 11025;

// Sample bytes that tell one sound from another.
Bytes sound_samples(int number, size_t count = SOUND_BYTES) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(number * 13 + i);
    return out;
}

struct WaveSpec {
    uint16_t channels = 1;
    uint32_t rate = 22050;  // deliberately not the rate the channels play at
    uint16_t bits = 8;
    int64_t stated_size = -1;  // the "data" size field, when not the real count
};

Bytes wave_file(const Bytes& pcm, const WaveSpec& shape = {}) {
    const uint16_t align = static_cast<uint16_t>(shape.channels * shape.bits / 8);
    Bytes out;
    auto id = [&](const char* text) { out.insert(out.end(), text, text + 4); };
    id("RIFF");
    append_le32(out, static_cast<int32_t>(4 + 24 + 8 + pcm.size() + pcm.size() % 2));
    id("WAVE");
    id("fmt ");
    append_le32(out, 16);
    append_le16(out, 1);
    append_le16(out, shape.channels);
    append_le32(out, static_cast<int32_t>(shape.rate));
    append_le32(out, static_cast<int32_t>(shape.rate * align));
    append_le16(out, align);
    append_le16(out, shape.bits);
    id("data");
    append_le32(out, static_cast<int32_t>(shape.stated_size >= 0 ? shape.stated_size : pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    if (pcm.size() % 2 == 1) out.push_back(0);
    return out;
}

std::string sound_name(int number) {
    return "bsou" + std::to_string(number) + ".WAV";
}

void write_sound(int number, const Bytes& pcm, const WaveSpec& shape = {}) {
    write_file_bytes(sound_name(number), wave_file(pcm, shape));
}

SoftSoundState channel_state(int channel) {
    return soft_sound_state(sound.channel_buffer[channel]);
}

class SoundTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 101, 102})
            write_sound(number, sound_samples(number));
        descriptors_before = open_descriptor_count();
    }

    void TearDown() override {
        release_sound();
        EXPECT_EQ(soft_live("sound-buffer"), 0);
        EXPECT_EQ(soft_live("sound-device"), 0);
        EXPECT_EQ(open_descriptor_count(), descriptors_before);
        ScratchTest::TearDown();
    }

    // Starts the sound as the program does and forgets the start-up's log lines.
    void start() {
        sound_init();
        new_lines();
    }

    // Sound log lines written since the last call.
    Lines new_lines() {
        const Lines& all = headless_sound_lines();
        Lines fresh(all.begin() + static_cast<long>(lines_seen), all.end());
        lines_seen = all.size();
        return fresh;
    }

    int descriptors_before = 0;
    size_t lines_seen = 0;
};

TEST_F(SoundTest, StartUpLoadsPoolThenBackgroundAndPlaysNothing) {
    sound_init();
    EXPECT_EQ(sound.sound_available, 1);
    EXPECT_EQ(new_lines(), (Lines{"load 2 1", "load 3 2", "load 4 3", "load 1 101"}));
    const int expected_number[] = {0, 101, 1, 2, 3};
    const int32_t expected_volume[] = {0, -1200, -900, -900, -900};
    for (int channel = 1; channel <= 4; ++channel) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(sound.channel_sound_number[channel], expected_number[channel]);
        const SoftSoundState buffer = channel_state(channel);
        ASSERT_TRUE(buffer.exists);
        EXPECT_FALSE(buffer.playing);
        EXPECT_EQ(buffer.position, 0u);
        EXPECT_EQ(buffer.frequency, 11025u);
        EXPECT_EQ(buffer.volume, expected_volume[channel]);
        EXPECT_EQ(buffer.bytes, sound_samples(expected_number[channel]));
    }
}

TEST_F(SoundTest, WithoutDeviceEverythingIsSilentButPicturesAreMarked) {
    headless_fail("sound-device");
    sound_init();
    EXPECT_EQ(sound.sound_available, 0);
    EXPECT_EQ(sound.sound_device, nullptr);
    load_channel_sound(1, 101);
    sound_command(1, 1);
    sound_command(4, 2);
    play_effect_sound(5);
    picture_table.current_picture = 3;
    play_picture_sound(6);
    EXPECT_EQ(picture_table.pic_wave_played[3], 1);
    EXPECT_EQ(picture_table.one_time_sound_started, 0);
    // A missing file leaves the picture's sound due even without a device.
    picture_table.current_picture = 4;
    play_picture_sound(77);
    EXPECT_EQ(picture_table.pic_wave_played[4], 0);
    EXPECT_EQ(soft_counters().sound_buffers_created, 0);
    EXPECT_EQ(new_lines(), (Lines{"device none"}));
}

TEST_F(SoundTest, RefusedCooperationKeepsTheDeviceUntilRelease) {
    headless_fail("sound-coop");
    sound_init();
    EXPECT_EQ(sound.sound_available, 0);
    EXPECT_NE(sound.sound_device, nullptr);
    EXPECT_EQ(soft_live("sound-device"), 1);
    EXPECT_EQ(soft_counters().sound_buffers_created, 0);
    EXPECT_EQ(new_lines(), (Lines{"device none"}));
    release_sound();
    EXPECT_EQ(sound.sound_device, nullptr);
    EXPECT_EQ(soft_live("sound-device"), 0);
}

TEST_F(SoundTest, LoadingTheHeldSoundKeepsItPlayingWhereItIs) {
    start();
    sound_command(1, 1);
    headless_advance_clock(300);
    const SoundBuffer before = sound.channel_buffer[1];
    const uint32_t position = channel_state(1).position;
    ASSERT_GT(position, 0u);
    load_channel_sound(1, 101);
    EXPECT_EQ(sound.channel_buffer[1], before);
    const SoftSoundState after = channel_state(1);
    EXPECT_TRUE(after.playing);
    EXPECT_TRUE(after.looping);
    EXPECT_EQ(after.position, position);
    EXPECT_EQ(soft_counters().sound_buffers_created, 4);
    EXPECT_EQ(new_lines(), (Lines{"play 1 loop"}));
}

TEST_F(SoundTest, LoadingAnotherSoundStopsAndReleasesTheOldBuffer) {
    start();
    sound_command(1, 1);
    headless_advance_clock(100);
    load_channel_sound(1, 102);
    EXPECT_EQ(new_lines(), (Lines{"play 1 loop", "stop 1", "release 1", "load 1 102"}));
    EXPECT_EQ(sound.channel_sound_number[1], 102);
    EXPECT_EQ(soft_live("sound-buffer"), 4);
    const SoftSoundState buffer = channel_state(1);
    EXPECT_FALSE(buffer.playing);
    EXPECT_EQ(buffer.position, 0u);
    EXPECT_EQ(buffer.volume, -1200);
    EXPECT_EQ(buffer.bytes, sound_samples(102));
}

TEST_F(SoundTest, FailedLoadLeavesTheChannelEmptyAndReloadable) {
    start();
    load_channel_sound(2, 50);  // no such file
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2"}));
    EXPECT_EQ(sound.channel_buffer[2], nullptr);
    EXPECT_EQ(sound.channel_sound_number[2], 0);
    // Sound 1 is gone from channel 2, so asking for it loads it afresh: into channel 3,
    // the first idle one, since an empty channel is never idle.
    play_effect_sound(1);
    EXPECT_EQ(new_lines(), (Lines{"stop 3", "release 3", "load 3 1", "play 3 once"}));
    load_channel_sound(2, 1);
    EXPECT_EQ(new_lines(), (Lines{"load 2 1"}));
    EXPECT_EQ(channel_state(2).bytes, sound_samples(1));
}

TEST_F(SoundTest, DeviceRefusalsLeaveTheChannelWithoutBuffer) {
    start();
    write_sound(20, {});  // a "data" chunk of size 0, which the device refuses
    load_channel_sound(2, 20);
    EXPECT_EQ(sound.channel_buffer[2], nullptr);
    EXPECT_EQ(sound.channel_sound_number[2], 0);

    headless_fail("sound-lock");
    load_channel_sound(3, 4);
    EXPECT_EQ(sound.channel_buffer[3], nullptr);
    EXPECT_EQ(sound.channel_sound_number[3], 0);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2", "stop 3", "release 3", "release 3"}));
    EXPECT_EQ(soft_live("sound-buffer"), 2);

    headless_fail("sound-buffer");
    load_channel_sound(4, 5);
    EXPECT_EQ(sound.channel_buffer[4], nullptr);
    EXPECT_EQ(soft_live("sound-buffer"), 1);
    EXPECT_EQ(open_descriptor_count(), descriptors_before);
}

TEST_F(SoundTest, BackgroundChannelFollowsMusicOnAndResumesAfterStop) {
    start();
    sound.music_on = 0;
    sound_command(1, 1);
    EXPECT_FALSE(channel_state(1).playing);
    EXPECT_TRUE(new_lines().empty());

    sound.music_on = 1;
    sound_command(1, 1);
    EXPECT_TRUE(channel_state(1).looping);
    headless_advance_clock(1500);  // past the sound's end: looping goes round
    EXPECT_TRUE(channel_state(1).playing);

    // Stopping does not look at music_on, and keeps the position.
    sound.music_on = 0;
    sound_command(1, 2);
    const uint32_t stopped_at = channel_state(1).position;
    EXPECT_FALSE(channel_state(1).playing);
    EXPECT_NEAR(static_cast<double>(stopped_at), SOUND_BYTES / 2.0, 20.0);
    headless_advance_clock(1000);
    sound.music_on = 1;
    sound_command(1, 1);
    EXPECT_EQ(channel_state(1).position, stopped_at);
    EXPECT_EQ(new_lines(), (Lines{"play 1 loop", "stop 1", "play 1 loop"}));
}

TEST_F(SoundTest, CommandsOnOtherChannelsIgnoreMusicOn) {
    start();
    sound.music_on = 0;
    sound_command(3, 0);
    EXPECT_TRUE(channel_state(3).playing);
    EXPECT_FALSE(channel_state(3).looping);
    for (int channel : {-1, 0, 5}) {
        sound_command(channel, 1);
        sound_command(channel, 2);
        load_channel_sound(channel, 4);
    }
    EXPECT_EQ(new_lines(), (Lines{"play 3 once"}));
    EXPECT_EQ(soft_counters().sound_buffers_created, 4);
    load_channel_sound(2, 50);  // no such file: channel 2 is left empty
    new_lines();
    sound_command(2, 2);
    sound_command(2, 1);
    EXPECT_TRUE(new_lines().empty());
}

TEST_F(SoundTest, FirstClickGoesToChannel2AndARepeatDoesNotRestartIt) {
    start();
    play_effect_sound(5);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2", "load 2 5", "play 2 once"}));
    headless_advance_clock(200);
    const uint32_t position = channel_state(2).position;
    ASSERT_GT(position, 0u);
    play_effect_sound(5);
    EXPECT_EQ(new_lines(), (Lines{"play 2 once"}));
    EXPECT_EQ(channel_state(2).position, position);
    EXPECT_TRUE(channel_state(2).playing);
    EXPECT_EQ(sound.channel_sound_number[3], 2);
    EXPECT_EQ(sound.channel_sound_number[4], 3);
}

TEST_F(SoundTest, ASoundHeldByAnyPoolChannelIsPlayedThereWithoutReading) {
    start();
    std::remove("bsou3.WAV");  // channel 4 holds sound 3: the file is not needed again
    play_effect_sound(3);
    EXPECT_EQ(new_lines(), (Lines{"play 4 once"}));
    EXPECT_TRUE(channel_state(4).playing);
    // The background channel is not part of the pool, even when it holds the sound.
    play_effect_sound(101);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2", "load 2 101", "play 2 once"}));
}

TEST_F(SoundTest, IdleChannelHoldingAnotherSoundTakesTheNewOne) {
    start();
    play_effect_sound(4);
    headless_advance_clock(1200);  // sound 4 has ended: channel 2 is idle again
    new_lines();
    play_effect_sound(6);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2", "load 2 6", "play 2 once"}));
    EXPECT_EQ(sound.channel_sound_number[3], 2);
    EXPECT_EQ(sound.channel_sound_number[4], 3);
}

TEST_F(SoundTest, WithEveryPoolChannelSoundingChannel4GivesWay) {
    start();
    play_effect_sound(4);
    play_effect_sound(5);
    play_effect_sound(6);
    EXPECT_EQ(sound.channel_sound_number[2], 4);
    EXPECT_EQ(sound.channel_sound_number[3], 5);
    EXPECT_EQ(sound.channel_sound_number[4], 6);
    headless_advance_clock(100);
    new_lines();
    play_effect_sound(7);
    EXPECT_EQ(new_lines(), (Lines{"stop 4", "release 4", "load 4 7", "play 4 once"}));
    EXPECT_TRUE(channel_state(2).playing);
    EXPECT_TRUE(channel_state(3).playing);
    EXPECT_EQ(channel_state(4).position, 0u);
}

TEST_F(SoundTest, EmptyChannelsAreNeverIdleAndChannel4IsTheFallback) {
    std::remove("bsou2.WAV");
    std::remove("bsou3.WAV");
    start();
    ASSERT_EQ(sound.channel_buffer[3], nullptr);
    ASSERT_EQ(sound.channel_buffer[4], nullptr);
    play_effect_sound(4);
    play_effect_sound(5);  // channel 2 sounds, 3 is empty: the fallback, also empty
    EXPECT_EQ(new_lines(),
              (Lines{"stop 2", "release 2", "load 2 4", "play 2 once", "load 4 5", "play 4 once"}));
    EXPECT_EQ(sound.channel_buffer[3], nullptr);
}

TEST_F(SoundTest, FailedStatusQueryCountsAsBusy) {
    start();
    headless_fail("sound-status");
    play_effect_sound(4);
    EXPECT_EQ(new_lines(), (Lines{"stop 4", "release 4", "load 4 4", "play 4 once"}));
    EXPECT_EQ(sound.channel_sound_number[2], 1);
}

TEST_F(SoundTest, MissingClickSoundSilencesTheChosenChannel) {
    start();
    play_effect_sound(99);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2"}));
    EXPECT_EQ(sound.channel_buffer[2], nullptr);
}

TEST_F(SoundTest, PictureSoundPlaysOnceOnChannel4AndMarksThePicture) {
    start();
    picture_table.current_picture = 5;
    play_picture_sound(8);
    EXPECT_EQ(new_lines(), (Lines{"stop 4", "release 4", "load 4 8", "play 4 once"}));
    EXPECT_EQ(picture_table.one_time_sound_started, 1);
    EXPECT_EQ(picture_table.pic_wave_played[5], 1);
    EXPECT_TRUE(channel_state(4).playing);
    EXPECT_FALSE(channel_state(4).looping);
    headless_advance_clock(1100);
    EXPECT_FALSE(channel_state(4).playing);
}

TEST_F(SoundTest, MissingPictureSoundStaysDue) {
    start();
    picture_table.current_picture = 5;
    play_picture_sound(77);
    EXPECT_TRUE(new_lines().empty());
    EXPECT_EQ(picture_table.one_time_sound_started, 0);
    EXPECT_EQ(picture_table.pic_wave_played[5], 0);
    EXPECT_EQ(sound.channel_sound_number[4], 3);
    EXPECT_EQ(open_descriptor_count(), descriptors_before);
}

TEST_F(SoundTest, UnreadablePictureSoundStillCountsAsPlayed) {
    start();
    write_file_bytes(sound_name(30), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    picture_table.current_picture = 2;
    play_picture_sound(30);
    EXPECT_EQ(new_lines(), (Lines{"stop 4", "release 4"}));
    EXPECT_EQ(picture_table.one_time_sound_started, 1);
    EXPECT_EQ(picture_table.pic_wave_played[2], 1);
}

TEST_F(SoundTest, SameSoundOnTheNextPictureResumesWhereItWasCut) {
    start();
    picture_table.current_picture = 5;
    play_picture_sound(8);
    headless_advance_clock(300);
    // The next presentation ends the one-time sound first.
    sound_command(4, 2);
    picture_table.one_time_sound_started = 0;
    const uint32_t cut_at = channel_state(4).position;
    ASSERT_GT(cut_at, 0u);
    new_lines();
    picture_table.current_picture = 6;
    play_picture_sound(8);
    EXPECT_EQ(new_lines(), (Lines{"play 4 once"}));
    EXPECT_EQ(channel_state(4).position, cut_at);
    EXPECT_EQ(soft_counters().sound_buffers_created, 5);
    EXPECT_EQ(picture_table.pic_wave_played[6], 1);
}

TEST_F(SoundTest, MissingSamplesAreFilledWithSilence) {
    start();
    WaveSpec unsigned_bytes;
    unsigned_bytes.stated_size = 100;
    write_sound(40, sound_samples(40, 10), unsigned_bytes);
    load_channel_sound(2, 40);
    Bytes expected = sound_samples(40, 10);
    expected.resize(100, 0x80);
    EXPECT_EQ(channel_state(2).bytes, expected);

    WaveSpec signed_words;
    signed_words.bits = 16;
    signed_words.channels = 2;
    signed_words.stated_size = 64;
    write_sound(41, sound_samples(41, 12), signed_words);
    load_channel_sound(3, 41);
    expected = sound_samples(41, 12);
    expected.resize(64, 0x00);
    EXPECT_EQ(channel_state(3).bytes, expected);
    EXPECT_EQ(sound.channel_sound_number[3], 41);
}

TEST_F(SoundTest, DataSizeBeyondTheLargestBufferIsRefused) {
    start();
    WaveSpec huge;
    huge.stated_size = 0x10000000;
    write_sound(42, sound_samples(42, 16), huge);
    load_channel_sound(2, 42);
    EXPECT_EQ(sound.channel_buffer[2], nullptr);
    EXPECT_EQ(sound.channel_sound_number[2], 0);
    EXPECT_EQ(soft_counters().sound_buffers_created, 4);
    EXPECT_EQ(new_lines(), (Lines{"stop 2", "release 2"}));
    EXPECT_EQ(open_descriptor_count(), descriptors_before);
}

TEST_F(SoundTest, ReleaseFreesEverythingWithoutStoppingAndSilencesTheRest) {
    start();
    sound_command(1, 1);
    play_effect_sound(4);
    new_lines();
    release_sound();
    EXPECT_EQ(new_lines(), (Lines{"release 1", "release 2", "release 3", "release 4"}));
    for (int channel = 1; channel <= 4; ++channel)
        EXPECT_EQ(sound.channel_buffer[channel], nullptr);
    EXPECT_EQ(sound.sound_device, nullptr);
    EXPECT_EQ(soft_live("sound-buffer"), 0);
    EXPECT_EQ(soft_live("sound-device"), 0);
    // A second shutdown and any late request reach no device.
    release_sound();
    play_effect_sound(5);
    sound_command(1, 1);
    load_channel_sound(2, 6);
    EXPECT_TRUE(new_lines().empty());
    EXPECT_EQ(soft_counters().sound_buffers_created, 5);
}

}  // namespace
