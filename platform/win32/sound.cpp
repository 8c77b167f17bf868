// The sound device and its static secondary buffers, on DirectSound.
#include "platform/sound.h"

#include "platform/win32/win32.h"

namespace {

// Static, volume, pan and frequency control: what every channel buffer is made with.
constexpr DWORD CHANNEL_BUFFER_FLAGS =
    DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
static_assert(CHANNEL_BUFFER_FLAGS == 0xE2, "channel buffers are made with flags 0xE2");

WAVEFORMATEX to_waveformatex(const WaveFormat& format) {
    WAVEFORMATEX converted = {};
    converted.wFormatTag = format.format_tag;
    converted.nChannels = format.channels;
    converted.nSamplesPerSec = format.samples_per_second;
    converted.nAvgBytesPerSec = format.average_bytes_per_second;
    converted.nBlockAlign = format.block_align;
    converted.wBitsPerSample = format.bits_per_sample;
    converted.cbSize = format.extension_size;
    return converted;
}

}  // namespace

int32_t sound_device_create(SoundDevice* device) {
    IDirectSound* created = nullptr;
    const HRESULT result = DirectSoundCreate(nullptr, &created, nullptr);
    *device = result == DS_OK ? as_sound_device(created) : nullptr;
    return result;
}

int32_t sound_device_set_exclusive(SoundDevice device, WindowHandle window) {
    return as_dsound(device)->SetCooperativeLevel(as_hwnd(window), DSSCL_EXCLUSIVE);
}

void sound_device_release(SoundDevice device) {
    as_dsound(device)->Release();
}

int32_t sound_buffer_create(SoundDevice device, const WaveFormat* format, uint32_t size,
                            SoundBuffer* buffer) {
    WAVEFORMATEX wave_format = to_waveformatex(*format);
    DSBUFFERDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = CHANNEL_BUFFER_FLAGS;
    description.dwBufferBytes = size;
    description.lpwfxFormat = &wave_format;
    IDirectSoundBuffer* created = nullptr;
    const HRESULT result = as_dsound(device)->CreateSoundBuffer(&description, &created, nullptr);
    *buffer = result == DS_OK ? as_sound_buffer(created) : nullptr;
    return result;
}

int32_t sound_buffer_lock(SoundBuffer buffer, uint32_t size, void** data, uint32_t* length) {
    // Locked from offset 0, the first part covers everything asked for and the second
    // part stays empty, so only the first is handed on.
    void* first = nullptr;
    DWORD first_length = 0;
    void* second = nullptr;
    DWORD second_length = 0;
    const HRESULT result =
        as_dsbuffer(buffer)->Lock(0, size, &first, &first_length, &second, &second_length, 0);
    *data = result == DS_OK ? first : nullptr;
    *length = result == DS_OK ? first_length : 0;
    return result;
}

int32_t sound_buffer_unlock(SoundBuffer buffer, void* data, uint32_t length) {
    return as_dsbuffer(buffer)->Unlock(data, length, nullptr, 0);
}

int32_t sound_buffer_set_position(SoundBuffer buffer, uint32_t position) {
    return as_dsbuffer(buffer)->SetCurrentPosition(position);
}

int32_t sound_buffer_set_frequency(SoundBuffer buffer, uint32_t samples_per_second) {
    return as_dsbuffer(buffer)->SetFrequency(samples_per_second);
}

int32_t sound_buffer_set_volume(SoundBuffer buffer, int32_t volume) {
    return as_dsbuffer(buffer)->SetVolume(volume);
}

int32_t sound_buffer_play(SoundBuffer buffer, uint32_t flags) {
    return as_dsbuffer(buffer)->Play(0, 0, flags);
}

int32_t sound_buffer_stop(SoundBuffer buffer) {
    return as_dsbuffer(buffer)->Stop();
}

int32_t sound_buffer_get_status(SoundBuffer buffer, uint32_t* status) {
    DWORD device_status = 0;
    const HRESULT result = as_dsbuffer(buffer)->GetStatus(&device_status);
    *status = result == DS_OK ? device_status : 0;
    return result;
}

void sound_buffer_release(SoundBuffer buffer) {
    as_dsbuffer(buffer)->Release();
}

// Only the scripted runner keeps a sound log.
void sound_trace(const char*) {}
