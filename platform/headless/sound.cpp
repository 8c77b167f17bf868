// Sound device and buffers of the scripted backend, played against the simulated clock.
#include <algorithm>

#include "platform/headless/world.h"
#include "platform/sound.h"

namespace {

uint64_t bytes_per_second(const PlatformSoundBuffer* buffer) {
    const uint64_t frame = buffer->format.block_align == 0 ? 1 : buffer->format.block_align;
    return uint64_t{buffer->frequency} * frame;
}

}  // namespace

void advance_sound_buffer(PlatformSoundBuffer* buffer) {
    const int64_t now = world().clock_ms;
    const int64_t elapsed = now - buffer->clock_at_position;
    buffer->clock_at_position = now;
    if (!buffer->playing || elapsed <= 0 || buffer->bytes.empty()) return;
    const uint64_t size = buffer->bytes.size();
    const uint64_t played = bytes_per_second(buffer) * static_cast<uint64_t>(elapsed) / 1000;
    const uint64_t reached = buffer->position + played;
    if (buffer->looping) {
        buffer->position = static_cast<uint32_t>(reached % size);
    } else if (reached >= size) {
        // A sound played once that ran to its end stands at its start again.
        buffer->playing = false;
        buffer->position = 0;
    } else {
        buffer->position = static_cast<uint32_t>(reached);
    }
}

int32_t sound_device_create(SoundDevice* device) {
    *device = nullptr;
    if (should_fail("sound-device")) return RESULT_FAIL;
    *device = adopt(new PlatformSoundDevice, "sound-device");
    return RESULT_OK;
}

int32_t sound_device_set_exclusive(SoundDevice device, WindowHandle) {
    if (should_fail("sound-coop")) return RESULT_FAIL;
    device->exclusive = true;
    return RESULT_OK;
}

void sound_device_release(SoundDevice device) {
    dispose_object(device);
}

int32_t sound_buffer_create(SoundDevice, const WaveFormat* format, uint32_t size,
                            SoundBuffer* buffer) {
    *buffer = nullptr;
    if (should_fail("sound-buffer") || size == 0 || size > 0x0FFFFFFF) return RESULT_FAIL;
    PlatformSoundBuffer* created = adopt(new PlatformSoundBuffer, "sound-buffer");
    created->format = *format;
    created->frequency = format->samples_per_second;
    // A device hands out buffer memory with whatever it held before: make that visible.
    created->bytes.assign(size, 0xA5);
    created->clock_at_position = world().clock_ms;
    world().sound_buffers.push_back(created);
    ++world().sound_buffers_created;
    *buffer = created;
    return RESULT_OK;
}

int32_t sound_buffer_lock(SoundBuffer buffer, uint32_t size, void** data, uint32_t* length) {
    *data = nullptr;
    *length = 0;
    if (should_fail("sound-lock") || buffer->locked) return RESULT_FAIL;
    buffer->locked = true;
    *data = buffer->bytes.data();
    *length = std::min<uint32_t>(size, static_cast<uint32_t>(buffer->bytes.size()));
    return RESULT_OK;
}

int32_t sound_buffer_unlock(SoundBuffer buffer, void*, uint32_t) {
    if (!buffer->locked) return RESULT_FAIL;
    buffer->locked = false;
    return RESULT_OK;
}

int32_t sound_buffer_set_position(SoundBuffer buffer, uint32_t position) {
    advance_sound_buffer(buffer);
    buffer->position = std::min<uint32_t>(position, static_cast<uint32_t>(buffer->bytes.size()));
    return RESULT_OK;
}

int32_t sound_buffer_set_frequency(SoundBuffer buffer, uint32_t samples_per_second) {
    advance_sound_buffer(buffer);
    buffer->frequency = samples_per_second;
    return RESULT_OK;
}

int32_t sound_buffer_set_volume(SoundBuffer buffer, int32_t volume) {
    if (volume > 0 || volume < -10000) return RESULT_FAIL;
    buffer->volume = volume;
    return RESULT_OK;
}

int32_t sound_buffer_play(SoundBuffer buffer, uint32_t flags) {
    advance_sound_buffer(buffer);
    buffer->playing = true;
    buffer->looping = (flags & SOUND_PLAY_LOOPING) != 0;
    return RESULT_OK;
}

int32_t sound_buffer_stop(SoundBuffer buffer) {
    advance_sound_buffer(buffer);
    buffer->playing = false;
    return RESULT_OK;
}

int32_t sound_buffer_get_status(SoundBuffer buffer, uint32_t* status) {
    *status = 0;
    if (should_fail("sound-status")) return RESULT_FAIL;
    advance_sound_buffer(buffer);
    if (buffer->playing)
        *status = SOUND_STATUS_PLAYING | (buffer->looping ? SOUND_STATUS_LOOPING : 0);
    return RESULT_OK;
}

void sound_buffer_release(SoundBuffer buffer) {
    auto& list = world().sound_buffers;
    list.erase(std::remove(list.begin(), list.end(), buffer), list.end());
    dispose_object(buffer);
}

void sound_trace(const char* line) {
    HeadlessWorld& w = world();
    w.sound_lines.push_back(line);
    if (w.sound_log != nullptr) {
        std::fprintf(w.sound_log, "%s\n", line);
        std::fflush(w.sound_log);
    }
}

HeadlessSoundState headless_sound_state(SoundBuffer buffer) {
    HeadlessSoundState result;
    auto& list = world().sound_buffers;
    if (buffer == nullptr || std::find(list.begin(), list.end(), buffer) == list.end())
        return result;
    advance_sound_buffer(buffer);
    result.exists = true;
    result.size = static_cast<uint32_t>(buffer->bytes.size());
    result.position = buffer->position;
    result.frequency = buffer->frequency;
    result.volume = buffer->volume;
    result.playing = buffer->playing;
    result.looping = buffer->looping;
    result.bytes = buffer->bytes;
    return result;
}

int headless_sound_buffers_created() {
    return world().sound_buffers_created;
}
