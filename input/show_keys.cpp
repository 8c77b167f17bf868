#include "input/show_keys.h"

#include "platform/window.h"

ShowInput show_input;

ShowKey show_key_for_key(uintptr_t virtual_key) {
    if (show_input.keys_on == 0) return ShowKey::none;
    switch (virtual_key) {
        case KEY_RIGHT:
        case KEY_SPACE:
        case KEY_PAGE_DOWN:
            return ShowKey::next;
        case KEY_LEFT:
        case KEY_BACK:
        case KEY_PAGE_UP:
            return ShowKey::previous;
        case KEY_HOME:
            return ShowKey::first;
        case KEY_END:
            return ShowKey::last;
        case KEY_ESCAPE:
            return ShowKey::escape;
        case KEY_Q:
            return ShowKey::quit;
        case KEY_M:
            return ShowKey::music;
        default:
            return ShowKey::none;
    }
}

ShowKey show_key_for_wheel(int32_t notches) {
    if (show_input.keys_on == 0 || notches == 0) return ShowKey::none;
    return notches < 0 ? ShowKey::next : ShowKey::previous;
}
