// The graphics sheet scs00001.BMP: every fixed graphic of the show's screens, each in
// its own region of one 1024 x 768 bitmap. Black is see-through where the program
// copies a region with the black colour key (pointer, navigation panel, mark symbol).
#pragma once

#include "tools/demo/canvas.h"

namespace demo {

struct SheetRegion {
    int x;
    int y;
    int width;
    int height;
};

constexpr int SHEET_WIDTH = 1024;
constexpr int SHEET_HEIGHT = 768;

constexpr SheetRegion POINTER_REGION = {0, 0, 16, 16};
constexpr SheetRegion POINTER_SAVE_REGION = {0, 40, 16, 16};  // left black for the program
constexpr SheetRegion NAV_PANEL_REGION = {40, 0, 174, 58};    // panel buttons 2, 3 and 4
constexpr int NAV_BUTTON_WIDTH = 58;
constexpr SheetRegion MARK_REGION = {224, 50, 40, 18};
constexpr SheetRegion MENU_PANEL_REGION = {0, 80, 600, 450};
constexpr int LEVEL_STRIP_X = 600;
constexpr int LEVEL_STRIP_WIDTH = 200;
constexpr int LEVEL_STRIP_HEIGHT = 16;
constexpr int LEVEL_STRIPS = 48;
constexpr SheetRegion EDITOR_BAR_LEFT_REGION = {0, 600, 400, 50};   // buttons 1 to 8
constexpr SheetRegion EDITOR_BAR_RIGHT_REGION = {0, 650, 400, 50};  // buttons 9 to 16
constexpr int EDITOR_BUTTON_WIDTH = 50;

// Where the program puts the menu panel on the screen; its hit areas are in screen
// coordinates, so the panel is laid out from them.
constexpr int MENU_SCREEN_X = 100;
constexpr int MENU_SCREEN_Y = 100;

Canvas make_graphics_sheet();

}  // namespace demo
