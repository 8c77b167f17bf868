#include "sound/sound.h"

#include <cstdio>
#include <cstring>

#include "display/display.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "show/picture_table.h"
#include "sound/wave_file.h"

SoundState sound;

namespace {

// Hundredths of a decibel for channels 1 to 4: the background sound a little lower
// than the clicks.
constexpr int32_t channel_volume[SOUND_CHANNELS] = {-1200, -900, -900, -900};
// Every buffer plays at this rate, whatever rate its file states.
constexpr uint32_t sound_rate = 11025;
constexpr const char* sound_file_prefix = "bsou";
// The largest buffer DirectSound hands out; a bigger "data" size is not worth asking for.
constexpr uint32_t largest_sound_buffer = 0x0FFFFFFF;
constexpr int FIRST_POOL_CHANNEL = 2;
constexpr int FALLBACK_CHANNEL = 4;
constexpr int32_t BACKGROUND_SOUND = 101;

bool valid_channel(int32_t channel) {
    return channel >= 1 && channel <= SOUND_CHANNELS;
}

void build_sound_file_name(int32_t number, char* name, size_t size) {
    std::snprintf(name, size, "%s%d.WAV", sound_file_prefix, static_cast<int>(number));
}

void trace_channel(const char* action, int channel) {
    char line[32];
    std::snprintf(line, sizeof line, "%s %d", action, channel);
    sound_trace(line);
}

void trace_loaded(int channel, int32_t number) {
    char line[40];
    std::snprintf(line, sizeof line, "load %d %d", channel, static_cast<int>(number));
    sound_trace(line);
}

void stop_channel(int channel) {
    sound_buffer_stop(sound.channel_buffer[channel]);
    trace_channel("stop", channel);
}

void play_channel(int channel, uint32_t flags) {
    sound_buffer_play(sound.channel_buffer[channel], flags);
    char line[32];
    std::snprintf(line, sizeof line, "play %d %s", channel,
                  (flags & SOUND_PLAY_LOOPING) != 0 ? "loop" : "once");
    sound_trace(line);
}

// Drops the channel's buffer. The channel then holds no sound, so its number goes
// too: a number left behind would make a later load of that sound look like a no-op
// and keep the channel silent for good.
void release_channel(int channel) {
    sound_buffer_release(sound.channel_buffer[channel]);
    trace_channel("release", channel);
    sound.channel_buffer[channel] = nullptr;
    sound.channel_sound_number[channel] = 0;
}

// Samples the file did not deliver sound as silence, not as leftover memory.
void fill_with_silence(const WaveFormat& format, uint8_t* data, size_t from, size_t to) {
    if (from >= to) return;
    const uint8_t silence = format.bits_per_sample == 8 ? 0x80 : 0x00;
    std::memset(data + from, silence, to - from);
}

// Fills the channel's new buffer from the open file and closes the file; false when
// the lock is refused.
bool copy_samples(int channel, WaveFile* wave, const WaveFormat& format, uint32_t size) {
    void* data = nullptr;
    uint32_t length = 0;
    if (sound_buffer_lock(sound.channel_buffer[channel], size, &data, &length) != RESULT_OK) {
        close_wave_file(wave);
        return false;
    }
    const size_t got = read_wave_data(wave, data, length);
    fill_with_silence(format, static_cast<uint8_t*>(data), got, length);
    close_wave_file(wave);
    sound_buffer_unlock(sound.channel_buffer[channel], data, length);
    return true;
}

// Reads the sound file into a fresh buffer of the channel; false, with the channel
// left without buffer, when the file or the device fails.
bool fill_channel_from_file(int channel, int32_t number) {
    char name[32];
    build_sound_file_name(number, name, sizeof name);
    WaveFile wave;
    WaveFormat format{};
    uint32_t size = 0;
    if (!open_wave_file(name, &wave, &format, &size)) return false;
    if (size > largest_sound_buffer ||
        sound_buffer_create(sound.sound_device, &format, size, &sound.channel_buffer[channel]) !=
            RESULT_OK) {
        sound.channel_buffer[channel] = nullptr;
        close_wave_file(&wave);
        return false;
    }
    if (!copy_samples(channel, &wave, format, size)) {
        // A buffer that could not be filled would only ever play noise.
        release_channel(channel);
        return false;
    }
    return true;
}

bool channel_is_idle(int channel) {
    if (sound.channel_buffer[channel] == nullptr) return false;
    uint32_t status = 0;
    if (sound_buffer_get_status(sound.channel_buffer[channel], &status) != RESULT_OK) return false;
    return status == 0;
}

// The first pool channel with that test true, else 0.
int find_pool_channel(bool (*matches)(int channel, int32_t number), int32_t number) {
    for (int channel = FIRST_POOL_CHANNEL; channel <= SOUND_CHANNELS; ++channel) {
        if (matches(channel, number)) return channel;
    }
    return 0;
}

bool channel_holds(int channel, int32_t number) {
    return sound.channel_sound_number[channel] == number;
}

bool channel_idle_for(int channel, int32_t) {
    return channel_is_idle(channel);
}

void play_once_if_loaded(int channel) {
    if (sound.channel_buffer[channel] != nullptr) play_channel(channel, SOUND_PLAY_ONCE);
}

}  // namespace

void sound_init() {
    for (int channel = 0; channel <= SOUND_CHANNELS; ++channel) {
        sound.channel_sound_number[channel] = 0;
        sound.channel_buffer[channel] = nullptr;
    }
    sound.sound_device = nullptr;
    sound.sound_available = open_sound_device() ? 1 : 0;
    if (sound.sound_available != 1) return;
    // The pool first, the background sound last, as the show has always started.
    load_channel_sound(2, 1);
    load_channel_sound(3, 2);
    load_channel_sound(4, 3);
    load_channel_sound(MUSIC_CHANNEL, BACKGROUND_SOUND);
}

bool open_sound_device() {
    SoundDevice device = nullptr;
    if (sound_device_create(&device) != RESULT_OK || device == nullptr) {
        sound_trace("device none");
        return false;
    }
    // Kept even when cooperation is refused, so that release_sound frees it.
    sound.sound_device = device;
    if (sound_device_set_exclusive(device, screen.main_window) != RESULT_OK) {
        sound_trace("device none");
        return false;
    }
    return true;
}

void load_channel_sound(int32_t channel, int32_t number) {
    if (sound.sound_available == 0 || !valid_channel(channel)) return;
    // Asking again for the sound a channel holds leaves it playing where it is.
    if (sound.channel_sound_number[channel] == number) return;
    if (sound.channel_buffer[channel] != nullptr) {
        stop_channel(channel);
        release_channel(channel);
    }
    if (!fill_channel_from_file(channel, number)) return;
    sound.channel_sound_number[channel] = number;
    SoundBuffer buffer = sound.channel_buffer[channel];
    sound_buffer_set_position(buffer, 0);
    sound_buffer_set_frequency(buffer, sound_rate);
    sound_buffer_set_volume(buffer, channel_volume[channel - 1]);
    trace_loaded(channel, number);
}

void sound_command(int32_t channel, int32_t command) {
    if (sound.sound_available != 1 || !valid_channel(channel)) return;
    if (command == SOUND_COMMAND_STOP) {
        // Stopping keeps the position, so switching the background back on resumes it.
        if (sound.channel_buffer[channel] != nullptr) stop_channel(channel);
        return;
    }
    if (channel == MUSIC_CHANNEL && sound.music_on == 0) return;
    if (sound.channel_buffer[channel] != nullptr)
        play_channel(channel, static_cast<uint32_t>(command));
}

void play_effect_sound(int32_t number) {
    if (sound.sound_available != 1) return;
    // A channel that already holds the sound just gets another Play: no file access,
    // and a sound still running goes on rather than starting over.
    const int holding = find_pool_channel(channel_holds, number);
    if (holding != 0) {
        play_once_if_loaded(holding);
        return;
    }
    int channel = find_pool_channel(channel_idle_for, number);
    // Everything busy: the last channel gives up what it plays.
    if (channel == 0) channel = FALLBACK_CHANNEL;
    load_channel_sound(channel, number);
    play_once_if_loaded(channel);
}

void play_picture_sound(int32_t number) {
    char name[32];
    build_sound_file_name(number, name, sizeof name);
    // Without the file the picture's sound stays due and is tried at its next showing.
    FileHandle file = file_open_read(name);
    if (file == nullptr) return;
    file_close(file);
    if (sound.sound_available == 1) {
        load_channel_sound(PICTURE_SOUND_CHANNEL, number);
        play_once_if_loaded(PICTURE_SOUND_CHANNEL);
        picture_table.one_time_sound_started = 1;
    }
    if (picture_table.current_picture >= 0 && picture_table.current_picture < TABLE_SIZE)
        picture_table.pic_wave_played[picture_table.current_picture] = 1;
}

void release_sound() {
    for (int channel = 1; channel <= SOUND_CHANNELS; ++channel) {
        if (sound.channel_buffer[channel] != nullptr) release_channel(channel);
    }
    if (sound.sound_device != nullptr) {
        sound_device_release(sound.sound_device);
        sound.sound_device = nullptr;
    }
    // Nothing may reach the device after the shutdown, even from a late presentation.
    sound.sound_available = 0;
}

void start_background_sound() {
    sound.music_on = 1;
    sound.music_number = BACKGROUND_SOUND;
    sound_command(MUSIC_CHANNEL, SOUND_COMMAND_STOP);
    load_channel_sound(MUSIC_CHANNEL, sound.music_number);
    sound_command(MUSIC_CHANNEL, SOUND_COMMAND_LOOP);
}

void toggle_background_sound() {
    if (sound.music_on == 1) {
        sound_command(MUSIC_CHANNEL, SOUND_COMMAND_STOP);
        sound.music_on = 0;
    } else {
        sound.music_on = 1;
        load_channel_sound(MUSIC_CHANNEL, sound.music_number);
        sound_command(MUSIC_CHANNEL, SOUND_COMMAND_LOOP);
    }
}
