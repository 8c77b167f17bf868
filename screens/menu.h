// The menu screen opened by the right button.
#pragma once

#include <cstdint>

// Choices of the menu.
constexpr int32_t MENU_QUIT = 1;
constexpr int32_t MENU_FIRST_PICTURE = 2;
constexpr int32_t MENU_LAST_PICTURE = 3;
constexpr int32_t MENU_MUSIC = 4;
constexpr int32_t MENU_BACK = 5;
constexpr int32_t MENU_FIRST_BUTTON_CHOICE = 100;  // the small buttons give 100, 101, 102

// Shows the menu over the current picture and waits for a choice: 1..5 from the
// choice column, 5 for a right click or the editor switch (which sets *editor_switch
// for the caller to switch the editor on), 100..102 for the three small buttons. 0 when
// the program is ending.
int32_t menu_screen(bool* editor_switch);
