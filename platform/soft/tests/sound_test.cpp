// Sound buffers on the scripted device, whose mixer runs against the simulated clock.
#include <vector>

#include "platform/headless/headless.h"
#include "platform/soft/tests/machine_fixture.h"
#include "platform/sound.h"

namespace {

class SoundTest : public MachineTest {
  protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(sound_device_create(&sound), RESULT_OK);
    }
    void TearDown() override {
        for (SoundBuffer buffer : buffers)
            sound_buffer_release(buffer);
        if (sound != nullptr) sound_device_release(sound);
        EXPECT_EQ(soft_live("sound-buffer") + soft_live("sound-device"), 0);
        MachineTest::TearDown();
    }

    // A buffer of 8-bit mono frames at 11025 a second.
    SoundBuffer make_buffer(uint32_t frames) {
        const WaveFormat format{1, 1, 11025, 11025, 1, 8, 0};
        SoundBuffer buffer = nullptr;
        EXPECT_EQ(sound_buffer_create(sound, &format, frames, &buffer), RESULT_OK);
        if (buffer != nullptr) buffers.push_back(buffer);
        return buffer;
    }

    SoundDevice sound = nullptr;
    std::vector<SoundBuffer> buffers;
};

TEST_F(SoundTest, FreshBuffersShowWhatTheMemoryHeldAndLockOnceAtATime) {
    SoundBuffer buffer = make_buffer(10);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(soft_sound_state(buffer).bytes, std::vector<uint8_t>(10, 0xA5));
    void* data = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(sound_buffer_lock(buffer, 100, &data, &length), RESULT_OK);
    EXPECT_EQ(length, 10u);
    EXPECT_NE(sound_buffer_lock(buffer, 10, &data, &length), RESULT_OK);
    EXPECT_EQ(sound_buffer_unlock(buffer, data, length), RESULT_OK);
    EXPECT_NE(sound_buffer_unlock(buffer, data, length), RESULT_OK);
}

TEST_F(SoundTest, BuffersTheMixerCannotPlayAreRefused) {
    SoundBuffer buffer = nullptr;
    const WaveFormat pcm{1, 1, 11025, 11025, 1, 8, 0};
    EXPECT_NE(sound_buffer_create(sound, &pcm, 0, &buffer), RESULT_OK);
    EXPECT_NE(sound_buffer_create(sound, &pcm, 0x10000000, &buffer), RESULT_OK);
    const WaveFormat compressed{2, 1, 11025, 11025, 1, 4, 0};
    EXPECT_NE(sound_buffer_create(sound, &compressed, 100, &buffer), RESULT_OK);
    const WaveFormat bits24{1, 1, 11025, 33075, 3, 24, 0};
    EXPECT_NE(sound_buffer_create(sound, &bits24, 300, &buffer), RESULT_OK);
    const WaveFormat quad{1, 4, 11025, 44100, 4, 8, 0};
    EXPECT_NE(sound_buffer_create(sound, &quad, 400, &buffer), RESULT_OK);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(soft_counters().sound_buffers_created, 0);
}

TEST_F(SoundTest, ASoundPlayedOnceRunsOutAndStandsAtItsStart) {
    SoundBuffer buffer = make_buffer(1103);  // a tenth of a second
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    headless_advance_clock(50);
    uint32_t status = 0;
    ASSERT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
    EXPECT_EQ(status, SOUND_STATUS_PLAYING);
    EXPECT_EQ(soft_sound_state(buffer).position, 551u);
    headless_advance_clock(51);
    ASSERT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(soft_sound_state(buffer).position, 0u);
}

TEST_F(SoundTest, ALoopingSoundGoesOnStopKeepsItsPlaceAndPlayTakesNewFlags) {
    SoundBuffer buffer = make_buffer(1000);
    ASSERT_EQ(sound_buffer_set_position(buffer, 900), RESULT_OK);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_LOOPING), RESULT_OK);
    headless_advance_clock(1000);  // 11025 frames: eleven times round and 25 on
    uint32_t status = 0;
    ASSERT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
    EXPECT_EQ(status, SOUND_STATUS_PLAYING | SOUND_STATUS_LOOPING);
    EXPECT_EQ(soft_sound_state(buffer).position, 925u);
    ASSERT_EQ(sound_buffer_stop(buffer), RESULT_OK);
    headless_advance_clock(100);
    EXPECT_EQ(soft_sound_state(buffer).position, 925u);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_LOOPING), RESULT_OK);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    headless_advance_clock(1000);
    EXPECT_FALSE(soft_sound_state(buffer).playing) << "the second play made it play once";
}

TEST_F(SoundTest, FrequencyAndVolumeAreTakenWithinTheirRanges) {
    SoundBuffer buffer = make_buffer(11025);
    EXPECT_NE(sound_buffer_set_frequency(buffer, 99), RESULT_OK);
    EXPECT_NE(sound_buffer_set_frequency(buffer, 200001), RESULT_OK);
    ASSERT_EQ(sound_buffer_set_frequency(buffer, 22050), RESULT_OK);
    EXPECT_NE(sound_buffer_set_volume(buffer, 1), RESULT_OK);
    EXPECT_NE(sound_buffer_set_volume(buffer, -10001), RESULT_OK);
    ASSERT_EQ(sound_buffer_set_volume(buffer, -2000), RESULT_OK);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    headless_advance_clock(100);
    const SoftSoundState state = soft_sound_state(buffer);
    EXPECT_EQ(state.frequency, 22050u);
    EXPECT_EQ(state.volume, -2000);
    EXPECT_EQ(state.position, 2204u) << "1102 frames out, two frames a step";
}

TEST_F(SoundTest, BuffersOutliveTheirDeviceSilently) {
    SoundBuffer buffer = make_buffer(1102);
    sound_buffer_play(buffer, SOUND_PLAY_LOOPING);
    sound_device_release(sound);
    sound = nullptr;
    uint32_t status = 0xFFFF;
    ASSERT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
    EXPECT_EQ(status, 0u);
    sound_buffer_play(buffer, SOUND_PLAY_ONCE);
    ASSERT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
    EXPECT_EQ(status, 0u);
}

}  // namespace
