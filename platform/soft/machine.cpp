// The machine, its registry of live objects, and the look at them that devices,
// tests and tools get.
#include "platform/soft/machine.h"

#include "platform/common/file_faults.h"

SoftMachine& machine() {
    static SoftMachine the_machine;
    return the_machine;
}

void register_object(void* object, const char* kind, void (*destroy)(void*)) {
    machine().objects[object] = SoftMachine::Owned{kind, destroy};
}

bool dispose_object(void* object) {
    auto& objects = machine().objects;
    auto found = objects.find(object);
    if (found == objects.end()) return false;
    void (*destroy)(void*) = found->second.destroy;
    objects.erase(found);
    destroy(object);
    return true;
}

bool is_live(const void* object, const char* kind) {
    auto found = machine().objects.find(const_cast<void*>(object));
    return found != machine().objects.end() && found->second.kind == kind;
}

bool file_operation_should_fail(const char* operation) {
    return should_fail(operation);
}

void soft_reset() {
    SoftMachine& m = machine();
    while (!m.objects.empty())
        dispose_object(m.objects.begin()->first);
    m = SoftMachine{};
}

SoftCounters& soft_counters() {
    return machine().counters;
}

int soft_live(const std::string& kind) {
    int count = 0;
    for (const auto& entry : machine().objects)
        if (entry.second.kind == kind) ++count;
    return count;
}

int soft_live_total() {
    return static_cast<int>(machine().objects.size());
}

Surface soft_surface(const std::string& role) {
    for (PlatformSurface* surface : machine().surfaces)
        if (surface->role == role) return surface;
    return nullptr;
}

Surface soft_front() {
    return machine().front;
}

std::string soft_surface_role(Surface surface) {
    return surface == nullptr ? std::string("none") : surface->role;
}

int soft_surface_bits(Surface surface) {
    return surface == nullptr ? 0 : surface->bits;
}

namespace {

bool on_surface(const PlatformSurface* s, int x, int y) {
    return s != nullptr && x >= 0 && y >= 0 && x < s->width && y < s->height;
}

}  // namespace

uint32_t soft_pixel(Surface surface, int x, int y) {
    return on_surface(surface, x, y) ? load_pixel(surface->at(x, y), surface->bytes_per_pixel())
                                     : 0;
}

void soft_set_pixel(Surface surface, int x, int y, uint32_t value) {
    if (on_surface(surface, x, y))
        store_pixel(surface->at(x, y), value, surface->bytes_per_pixel());
}
