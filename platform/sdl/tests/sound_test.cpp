// The audio output: SDL's audio thread runs the mixer over the sound buffers.
#include <filesystem>
#include <iterator>
#include <vector>

#include "platform/sdl/tests/sdl_test_support.h"
#include "platform/sound.h"

namespace {

class SoundTest : public MachineTest {
  protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(sound_device_create(&sound), RESULT_OK) << SDL_GetError();
        const WaveFormat format{1, 1, 11025, 11025, 1, 8, 0};
        ASSERT_EQ(sound_buffer_create(sound, &format, 1102, &buffer), RESULT_OK);
    }
    void TearDown() override {
        sound_buffer_release(buffer);
        if (sound != nullptr) sound_device_release(sound);
        MachineTest::TearDown();
    }

    // Waits, up to a limit, for the audio thread to bring the buffer to the status.
    bool reaches_status(uint32_t wanted, int limit_ms) {
        uint32_t status = 0xFFFF;
        for (int waited = 0; waited <= limit_ms; waited += 10) {
            EXPECT_EQ(sound_buffer_get_status(buffer, &status), RESULT_OK);
            if (status == wanted) return true;
            SDL_Delay(10);
        }
        return false;
    }

    SoundDevice sound = nullptr;
    SoundBuffer buffer = nullptr;  // a tenth of a second
};

TEST_F(SoundTest, ASoundPlayedOnceRunsOutOnTheAudioThreadAndStandsAtItsStart) {
    ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
    EXPECT_TRUE(reaches_status(0, 3000)) << "the audio thread never finished it";
    EXPECT_EQ(soft_sound_state(buffer).position, 0u);
}

// While nothing sounds, no audio thread wakes the program: the output closes once the
// program has been left alone, and the next sound opens it again.
TEST_F(SoundTest, TheOutputClosesWhileQuietAndOpensForTheNextSound) {
    auto threads = [] {
        const std::filesystem::directory_iterator tasks("/proc/self/task");
        return std::distance(begin(tasks), end(tasks));
    };
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(sound_buffer_play(buffer, SOUND_PLAY_ONCE), RESULT_OK);
        const auto sounding = threads();
        EXPECT_TRUE(reaches_status(0, 3000)) << "the sound never ran out";
        EXPECT_TRUE(sdl_device().audio_settling_due());
        sdl_device().settle_audio();
        EXPECT_FALSE(sdl_device().audio_settling_due());
        EXPECT_LT(threads(), sounding);
    }
}

TEST_F(SoundTest, OnlyOneDeviceIsOpenAtATime) {
    SoundDevice second = nullptr;
    EXPECT_NE(sound_device_create(&second), RESULT_OK);
    sound_device_release(sound);
    sound = nullptr;
    ASSERT_EQ(sound_device_create(&second), RESULT_OK) << "the output was closed and can reopen";
    sound_device_release(second);
}

}  // namespace
