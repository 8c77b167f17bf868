// The sound device and its four channels: channel 1 the looping background sound,
// channels 2 to 4 the effect pool (click sounds and a picture's one-time sound).
// Without a device every operation does nothing and the show runs silent.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int SOUND_CHANNELS = 4;  // channels 1..4; index 0 unused

// The sound device, its four channels and the background loop.
struct SoundState {
    int32_t sound_available = 0;
    SoundDevice sound_device = nullptr;
    SoundBuffer channel_buffer[SOUND_CHANNELS + 1] = {};
    int32_t channel_sound_number[SOUND_CHANNELS + 1] = {};
    int32_t music_number = 101;
    int32_t music_on = 1;
};

extern SoundState sound;

// Channel 1 plays the background loop; channel 4, the last of the effect pool, also
// carries a picture's one-time sound.
constexpr int32_t MUSIC_CHANNEL = 1;
constexpr int32_t PICTURE_SOUND_CHANNEL = 4;
// Commands of sound_command.
constexpr int32_t SOUND_COMMAND_LOOP = 1;
constexpr int32_t SOUND_COMMAND_STOP = 2;

// Click sounds of the main loop, played in the effect pool.
constexpr int32_t SOUND_BUTTON_SELECTED = 4;
constexpr int32_t SOUND_REFUSED = 5;
constexpr int32_t SOUND_CARRIED_OUT = 6;
constexpr int32_t SOUND_PICTURE_CHANGED = 7;

// Opens the device and loads sounds 1, 2, 3 into channels 2, 3, 4 and sound 101 into
// channel 1. Nothing is played.
void sound_init();
// true when the device was created and set to exclusive cooperation.
bool open_sound_device();
// Loads bsou<number>.WAV into the channel's buffer (nothing when it already holds it).
void load_channel_sound(int32_t channel, int32_t number);
// Command 2 stops the channel; any other starts it with the command as play flags
// (1 = looping). Channel 1 starts only while music_on is set.
void sound_command(int32_t channel, int32_t command);
// Plays a sound once in the effect pool.
void play_effect_sound(int32_t number);
// Plays the current picture's one-time sound on channel 4 and marks it played.
void play_picture_sound(int32_t number);
// Releases the channel buffers and the device.
void release_sound();

// The background loop at start-up: sound 101 on channel 1, played looping from its
// beginning while music_on is set.
void start_background_sound();
// The menu's music choice: off stops channel 1 where it is; on loads music_number
// (nothing when channel 1 holds it) and plays it looping from there.
void toggle_background_sound();
