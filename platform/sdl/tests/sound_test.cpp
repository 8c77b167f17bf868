#include <filesystem>
#include <vector>

#include "platform/sdl/tests/sdl_test_support.h"
#include "platform/sound.h"

namespace {

class SoundTest : public SdlBackendTest {
  protected:
    void SetUp() override {
        SdlBackendTest::SetUp();
        ASSERT_EQ(sound_device_create(&sound), RESULT_OK) << SDL_GetError();
    }
    void TearDown() override {
        for (SoundBuffer buffer : buffers)
            sound_buffer_release(buffer);
        if (sound != nullptr) sound_device_release(sound);
        SdlBackendTest::TearDown();
    }

    SoundBuffer make_buffer(uint32_t frames, uint16_t channels = 1, uint16_t bits = 8) {
        const WaveFormat format{1,
                                channels,
                                11025,
                                11025u * channels * (bits / 8u),
                                static_cast<uint16_t>(channels * (bits / 8)),
                                bits,
                                0};
        const uint32_t size = frames * format.block_align;
        SoundBuffer buffer = nullptr;
        EXPECT_EQ(sound_buffer_create(sound, &format, size, &buffer), RESULT_OK);
        if (buffer == nullptr) return nullptr;
        void* data = nullptr;
        uint32_t length = 0;
        EXPECT_EQ(sound_buffer_lock(buffer, size, &data, &length), RESULT_OK);
        EXPECT_EQ(length, size);
        auto* bytes = static_cast<uint8_t*>(data);
        for (uint32_t i = 0; i < length; ++i)
            bytes[i] = (i / 8) % 2 ? 0xE0 : 0x20;
        EXPECT_EQ(sound_buffer_unlock(buffer, data, length), RESULT_OK);
        sound_buffer_set_frequency(buffer, 11025);
        sound_buffer_set_volume(buffer, -900);
        buffers.push_back(buffer);
        return buffer;
    }

    static uint32_t status_of(SoundBuffer buffer) {
        uint32_t status = 0xFFFF;
        EXPECT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
        return status;
    }

    // Waits, up to a limit, for the audio thread to bring the buffer to the status.
    static bool reaches_status(SoundBuffer buffer, uint32_t wanted, int limit_ms) {
        for (int waited = 0; waited < limit_ms; waited += 10) {
            if (status_of(buffer) == wanted) return true;
            SDL_Delay(10);
        }
        return status_of(buffer) == wanted;
    }

    SoundDevice sound = nullptr;
    std::vector<SoundBuffer> buffers;
};

TEST_F(SoundTest, TheDeviceRunsAtTheShowsRate) {
    EXPECT_EQ(sound->rate, 11025);
    EXPECT_EQ(sound_device_set_exclusive(sound, nullptr), RESULT_OK);
}

TEST_F(SoundTest, BuffersOfSizeZeroOrOtherFormatsAreRefused) {
    const WaveFormat pcm{1, 1, 11025, 11025, 1, 8, 0};
    SoundBuffer buffer = nullptr;
    EXPECT_NE(sound_buffer_create(sound, &pcm, 0, &buffer), RESULT_OK);
    EXPECT_EQ(buffer, nullptr);
    const WaveFormat compressed{2, 1, 11025, 11025, 1, 4, 0};
    EXPECT_NE(sound_buffer_create(sound, &compressed, 100, &buffer), RESULT_OK);
    const WaveFormat bits24{1, 1, 11025, 33075, 3, 24, 0};
    EXPECT_NE(sound_buffer_create(sound, &bits24, 300, &buffer), RESULT_OK);
}

TEST_F(SoundTest, ASoundPlayedOnceRunsOutAndStandsAtItsStart) {
    SoundBuffer buffer = make_buffer(1102);  // a tenth of a second
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(status_of(buffer), 0u);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    EXPECT_EQ(status_of(buffer), SOUND_STATUS_PLAYING);
    EXPECT_TRUE(reaches_status(buffer, 0, 3000)) << "the audio thread never finished it";
    EXPECT_EQ(voice_frame(buffer->voice), 0u);
}

// While nothing sounds, no audio thread wakes the program: the output closes when the
// program next waits, and the next sound opens it again.
TEST_F(SoundTest, TheOutputClosesWhileQuietAndOpensForTheNextSound) {
    auto threads = [] {
        const std::filesystem::directory_iterator tasks("/proc/self/task");
        return std::distance(begin(tasks), end(tasks));
    };
    SoundBuffer buffer = make_buffer(1102);
    ASSERT_NE(buffer, nullptr);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
        const auto sounding = threads();
        EXPECT_TRUE(reaches_status(buffer, 0, 3000)) << "the sound never ran out";
        EXPECT_TRUE(sound_settling_due());
        sound_settle();
        EXPECT_LT(threads(), sounding);
    }
}

TEST_F(SoundTest, ALoopingSoundGoesOnAndStopKeepsItsPlace) {
    SoundBuffer buffer = make_buffer(1102);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_LOOPING), RESULT_OK);
    EXPECT_EQ(status_of(buffer), SOUND_STATUS_PLAYING | SOUND_STATUS_LOOPING);
    SDL_Delay(300);
    EXPECT_EQ(status_of(buffer), SOUND_STATUS_PLAYING | SOUND_STATUS_LOOPING);
    ASSERT_EQ(sound_buffer_stop(buffer), RESULT_OK);
    EXPECT_EQ(status_of(buffer), 0u);
    const uint32_t stopped_at = voice_frame(buffer->voice);
    SDL_Delay(100);
    EXPECT_EQ(voice_frame(buffer->voice), stopped_at);
    // A playing buffer only takes the new flags.
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_LOOPING), RESULT_OK);
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    EXPECT_EQ(status_of(buffer), SOUND_STATUS_PLAYING);
    EXPECT_TRUE(reaches_status(buffer, 0, 3000));
}

TEST_F(SoundTest, PositionFrequencyAndVolumeAreTaken) {
    SoundBuffer buffer = make_buffer(100, 2, 16);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(sound_buffer_set_position(buffer, 40), RESULT_OK);  // bytes: frame 10
    EXPECT_EQ(voice_frame(buffer->voice), 10u);
    EXPECT_EQ(sound_buffer_set_frequency(buffer, 22050), RESULT_OK);
    EXPECT_EQ(buffer->voice.frequency, 22050u);
    EXPECT_NE(sound_buffer_set_volume(buffer, 1), RESULT_OK);
    EXPECT_EQ(sound_buffer_set_volume(buffer, -2000), RESULT_OK);
    EXPECT_NEAR(buffer->voice.gain, 0.1f, 0.0001f);
}

TEST_F(SoundTest, ALockedBufferCannotBeLockedAgain) {
    SoundBuffer buffer = make_buffer(10);
    ASSERT_NE(buffer, nullptr);
    void* data = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(sound_buffer_lock(buffer, 10, &data, &length), RESULT_OK);
    EXPECT_NE(sound_buffer_lock(buffer, 10, &data, &length), RESULT_OK);
    EXPECT_EQ(sound_buffer_unlock(buffer, data, length), RESULT_OK);
    EXPECT_NE(sound_buffer_unlock(buffer, data, length), RESULT_OK);
}

TEST_F(SoundTest, BuffersOutliveTheirDeviceSilently) {
    SoundBuffer buffer = make_buffer(1102);
    ASSERT_NE(buffer, nullptr);
    sound_buffer_play(buffer, SOUND_PLAY_LOOPING);
    sound_device_release(sound);
    sound = nullptr;
    sound_buffer_stop(buffer);
    sound_buffer_play(buffer, SOUND_PLAY_ONCE);
    EXPECT_EQ(status_of(buffer), 0u);
}

}  // namespace
