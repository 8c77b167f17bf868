// The sound device and its four channels: channel 1 the looping background sound,
// channels 2 to 4 the effect pool (click sounds and a picture's one-time sound).
// Without a device every operation does nothing and the show runs silent.
#pragma once

#include <cstdint>

// Opens the device; with load_sounds 1 loads sounds 1, 2, 3 into channels 2, 3, 4 and
// sound 101 into channel 1. Nothing is played.
void sound_init(int32_t load_sounds);
// 1 when the device was created and set to exclusive cooperation, else 0.
int32_t open_sound_device();
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
