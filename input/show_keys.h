// The show's keys (--keys) and slideshow delay (--delay): what a key press or a wheel
// notch asks of the show while it is on the screen, and the delay's setting.
#pragma once

#include <cstdint>

// What a key or a wheel notch asks of the show, or the slideshow delay (next).
enum class ShowKey : uint8_t {
    none,
    next,      // Right, Space, Page Down, wheel down, the delay
    previous,  // Left, Backspace, Page Up, wheel up
    first,     // Home
    last,      // End
    escape,    // Escape: the menu, and back out of it
    quit,      // Q: the menu, and quit from it
    music,     // M: the background sound on or off
};

// The show's keys and slideshow delay as the command line asked for them, and the key
// that ended the last wait.
struct ShowInput {
    int32_t keys_on = 0;
    int32_t delay_ms = 0;  // 0: no slideshow delay
    ShowKey key = ShowKey::none;
};

extern ShowInput show_input;

// The show key for a key press (a virtual-key code) or a wheel movement (notches,
// away from the user positive); none for every other key, and while the keys are off.
ShowKey show_key_for_key(uintptr_t virtual_key);
ShowKey show_key_for_wheel(int32_t notches);
