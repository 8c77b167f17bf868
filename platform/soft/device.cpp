// What a device does where it has nothing of its own to do.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/soft/soft.h"

bool SoftDevice::refuses(const char*) {
    return false;
}

void SoftDevice::screen_size(int* width, int* height) {
    *width = SCREEN_WIDTH;
    *height = SCREEN_HEIGHT;
}

SoftWait SoftDevice::wait_for_input_until(int64_t) {
    return wait_for_input() ? SoftWait::input : SoftWait::ended;
}

int64_t SoftDevice::now_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SoftDevice::sleep_until_us(int64_t when) {
    std::this_thread::sleep_until(
        std::chrono::steady_clock::time_point(std::chrono::microseconds(when)));
}

void SoftDevice::debug_output(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}
