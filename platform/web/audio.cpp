// The audio output: the page's Web Audio node asks the mixer for frames whenever the
// browser needs them. The program and the audio side never run at the same time, so
// nothing needs locking.
#include <emscripten.h>

#include <vector>

#include "platform/web/web_device.h"

namespace {

constexpr int CHANNELS = 2;

// clang-format off
EM_JS(int, page_open_audio, (int rate), { return qz.openAudio(rate) ? 1 : 0; });
EM_JS(void, page_close_audio, (), { qz.closeAudio(); });
EM_JS(void, page_trace_sound, (const char* line), { qz.traceSound(UTF8ToString(line)); });
// clang-format on

std::vector<int16_t>& mixed() {
    static std::vector<int16_t> frames;
    return frames;
}

}  // namespace

// Called by the page's audio node: the next frames, interleaved stereo.
extern "C" EMSCRIPTEN_KEEPALIVE int16_t* web_mix_audio(int frames) {
    mixed().resize(static_cast<size_t>(frames) * CHANNELS);
    soft_mix_audio(mixed().data(), frames, CHANNELS);
    return mixed().data();
}

bool WebDevice::open_audio(int rate) {
    return page_open_audio(rate) != 0;
}

void WebDevice::close_audio() {
    page_close_audio();
}

void WebDevice::sound_trace(const char* line) {
    page_trace_sound(line);
}
