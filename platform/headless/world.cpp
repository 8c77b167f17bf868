#include "platform/headless/world.h"

#include <cstring>
#include <fstream>

#include "platform/common/bmp_writer.h"
#include "platform/common/file_faults.h"

namespace {

const std::vector<HeadlessFaultName> fault_names = {
    {"window", "creating the window"},
    {"mouse-input", "creating the DirectInput object"},
    {"mouse-device", "creating the system mouse device"},
    {"mouse-format", "setting the mouse data format"},
    {"mouse-coop", "setting the mouse cooperative level"},
    {"mouse-event", "creating the mouse event"},
    {"mouse-notify", "setting the mouse event notification"},
    {"mouse-buffer", "setting the mouse buffer size"},
    {"mouse-acquire", "acquiring the mouse"},
    {"mouse-read", "reading buffered mouse input"},
    {"ddraw", "creating the DirectDraw object"},
    {"coop", "exclusive full-screen cooperation"},
    {"mode32", "the 1024x768 display mode at 32 bits"},
    {"mode16", "the 1024x768 display mode at 16 bits"},
    {"primary", "creating the primary surface"},
    {"backbuffer", "getting the attached back buffer"},
    {"offscreen1", "creating the first off-screen surface"},
    {"offscreen2", "creating the second off-screen surface"},
    {"offscreen3", "creating the third off-screen surface"},
    {"color-key", "setting a colour key"},
    {"dc", "lending a surface's device context"},
    {"memory-dc", "creating a memory device context"},
    {"bitmap", "loading any bitmap file"},
    {"sound-device", "creating the sound device"},
    {"sound-coop", "exclusive sound cooperation"},
    {"sound-buffer", "creating a sound buffer"},
    {"sound-lock", "locking a sound buffer"},
    {"sound-status", "querying a sound buffer's status"},
    {"file-open", "opening a file for reading"},
    {"file-create", "creating a file for writing"},
    {"file-write", "writing to a file"},
    {"file-flush", "flushing a file to disk"},
    {"file-close", "closing a file"},
    {"file-rename", "renaming a file over another"},
};

uint32_t widen_565(uint32_t p) {
    const uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

uint32_t narrow_to_565(uint32_t rgb) {
    return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

void close_log(FILE*& log) {
    if (log != nullptr) std::fclose(log);
    log = nullptr;
}

void open_log(FILE*& log, const std::string& path) {
    close_log(log);
    if (!path.empty()) log = std::fopen(path.c_str(), "w");
}

}  // namespace

HeadlessWorld& world() {
    static HeadlessWorld the_world;
    return the_world;
}

bool should_fail(const char* operation) {
    return world().faults.count(operation) != 0;
}

bool file_operation_should_fail(const char* operation) {
    return should_fail(operation);
}

void register_object(void* object, const char* kind, void (*destroy)(void*)) {
    world().objects[object] = HeadlessWorld::Owned{kind, destroy};
}

bool dispose_object(void* object) {
    auto& objects = world().objects;
    auto found = objects.find(object);
    if (found == objects.end()) return false;
    void (*destroy)(void*) = found->second.destroy;
    objects.erase(found);
    destroy(object);
    return true;
}

void headless_reset() {
    HeadlessWorld& w = world();
    while (!w.objects.empty())
        dispose_object(w.objects.begin()->first);
    close_log(w.text_log);
    close_log(w.sound_log);
    w = HeadlessWorld{};
}

bool headless_fail(const std::string& operation) {
    for (const HeadlessFaultName& fault : fault_names) {
        if (operation == fault.name) {
            world().faults.insert(operation);
            return true;
        }
    }
    return false;
}

const std::vector<HeadlessFaultName>& headless_fault_names() {
    return fault_names;
}

void headless_set_text_log(const std::string& path) {
    open_log(world().text_log, path);
}
void headless_set_sound_log(const std::string& path) {
    open_log(world().sound_log, path);
}

const std::vector<HeadlessText>& headless_texts() {
    return world().texts;
}
void headless_clear_texts() {
    world().texts.clear();
}
const std::vector<HeadlessMessageBox>& headless_message_boxes() {
    return world().message_boxes;
}
const std::vector<std::string>& headless_debug_lines() {
    return world().debug_lines;
}
const std::vector<std::string>& headless_sound_lines() {
    return world().sound_lines;
}

Surface headless_surface(const std::string& name) {
    for (PlatformSurface* surface : world().surfaces)
        if (surface->name == name) return surface;
    return nullptr;
}

std::string headless_surface_name(Surface surface) {
    return surface == nullptr ? std::string("none") : surface->name;
}

int headless_surface_bits(Surface surface) {
    return surface == nullptr ? 0 : surface->bits;
}

uint32_t headless_raw_pixel(Surface s, int x, int y) {
    if (s == nullptr || x < 0 || y < 0 || x >= s->width || y >= s->height) return 0;
    return s->pixels[static_cast<size_t>(y) * s->width + x];
}

uint32_t headless_pixel(Surface s, int x, int y) {
    const uint32_t raw = headless_raw_pixel(s, x, y);
    if (s == nullptr) return 0;
    return s->bits == 16 ? widen_565(raw) : (raw & 0xFFFFFF);
}

void headless_set_pixel(Surface s, int x, int y, uint32_t rgb) {
    if (s == nullptr || x < 0 || y < 0 || x >= s->width || y >= s->height) return;
    s->pixels[static_cast<size_t>(y) * s->width + x] =
        s->bits == 16 ? narrow_to_565(rgb) : (rgb & 0xFFFFFF);
}

bool headless_write_screenshot(const std::string& path) {
    PlatformSurface* front = world().front;
    if (front == nullptr) return false;
    std::vector<uint32_t> rgb(front->pixels.size());
    for (int y = 0; y < front->height; ++y)
        for (int x = 0; x < front->width; ++x)
            rgb[static_cast<size_t>(y) * front->width + x] = headless_pixel(front, x, y);
    return bmp_write_24(path, front->width, front->height, rgb.data());
}

int headless_live(const std::string& kind) {
    int count = 0;
    for (const auto& entry : world().objects)
        if (entry.second.kind == kind) ++count;
    return count;
}

int headless_live_total() {
    return static_cast<int>(world().objects.size());
}

HeadlessCounters& headless_counters() {
    return world().counters;
}

int64_t headless_clock_ms() {
    return world().clock_ms;
}

void headless_advance_clock(int64_t milliseconds) {
    if (milliseconds > 0) world().clock_ms += milliseconds;
}

void debug_output(const char* text) {
    world().debug_lines.push_back(text);
    std::fputs(text, stderr);
}

void pause_milliseconds(int milliseconds) {
    HeadlessWorld& w = world();
    ++w.counters.pauses;
    w.counters.paused_ms += milliseconds;
    headless_advance_clock(milliseconds);
}
