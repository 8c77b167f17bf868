// Where everything is: the regions of the graphics sheet, the places on the screen
// they are drawn at, and the areas a click is tested against. Screen pixels of the
// 1024 x 768 display, (0, 0) at the top left; rectangles by top-left corner and size.
#pragma once

namespace layout {

struct Point {
    int x;
    int y;
};

struct Rect {
    int x;
    int y;
    int width;
    int height;

    constexpr Point at() const { return {x, y}; }
    constexpr Point centre() const { return {x + width / 2, y + height / 2}; }
    // The rectangle's own pixels.
    constexpr bool contains(int px, int py) const {
        return x <= px && px < x + width && y <= py && py < y + height;
    }
    // The hit areas of the panel and the menu leave out their edge pixels.
    constexpr bool contains_strictly(int px, int py) const {
        return x < px && px < x + width && y < py && py < y + height;
    }
};

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;
constexpr Rect WHOLE_SCREEN = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};

// --- The graphics sheet (scs00001.BMP on the sheet surface, as large as the screen).
// Black is see-through where a region is copied with the colour key: pointer,
// navigation panel buttons and mark.

constexpr Rect SHEET_POINTER = {0, 0, 16, 16};
// Kept free in the sheet: the pixels under the drawn pointer are saved here.
constexpr Rect SHEET_POINTER_SAVE = {0, 40, 16, 16};
// Panel buttons 2, 3 and 4; button 1 has no graphic.
constexpr Rect SHEET_NAV_BUTTONS = {40, 0, 174, 58};
constexpr Rect SHEET_MARK = {224, 50, 40, 18};
constexpr Rect SHEET_MENU_PANEL = {0, 80, 600, 450};
// One label strip per level, 1 to 48, stacked from the top of the sheet.
constexpr int LEVEL_STRIPS = 48;
constexpr Rect sheet_level_strip(int level) {
    return {600, 16 * (level - 1), 200, 16};
}
// The editor bar in two halves: buttons 1 to 8 and 9 to 16.
constexpr Rect SHEET_BAR_LEFT = {0, 600, 400, 50};
constexpr Rect SHEET_BAR_RIGHT = {0, 650, 400, 50};

// --- Where the sheet's graphics go on the screen.

constexpr Point LEVEL_STRIP_AT = {80, 50};
constexpr Point MARK_AT = {870, 690};
constexpr Point BAR_LEFT_AT = {0, 700};
constexpr Point BAR_RIGHT_AT = {400, 700};
constexpr Point MENU_PANEL_AT = {100, 100};

// The navigation panel: four buttons side by side (1 undrawn, 2 menu, 3 previous,
// 4 next). A click counts when it lies strictly inside.
constexpr Rect NAV_PANEL = {782, 702, 232, 58};
constexpr int NAV_BUTTON_WIDTH = 58;
constexpr int NAV_BUTTONS = 4;
constexpr Point NAV_BUTTONS_AT = {NAV_PANEL.x + NAV_BUTTON_WIDTH, NAV_PANEL.y};

// --- The editor bar's hit area: rows 701 to 749 (the drawn bar's top row is left
// out), columns up to 799, sixteen buttons of 50 pixels.

constexpr int EDITOR_BAR_TOP = 701;
constexpr int EDITOR_BAR_BOTTOM = 749;
constexpr int EDITOR_BAR_RIGHT = 799;
constexpr int EDITOR_BUTTON_WIDTH = 50;
constexpr int EDITOR_BUTTONS = 16;

constexpr bool in_editor_bar(int x, int y) {
    return y >= EDITOR_BAR_TOP && y <= EDITOR_BAR_BOTTOM && x <= EDITOR_BAR_RIGHT;
}
// Button 1..16 under x, for a point in the bar.
constexpr int editor_button_at(int x) {
    return x / EDITOR_BUTTON_WIDTH + 1;
}

// --- The menu's hit areas, on the screen over the menu panel; every bound exclusive.

constexpr Rect MENU_EDITOR_SWITCH = {131, 117, 20, 8};
// The row of three small buttons at the bottom left; they share their borders, which
// belong to none of them.
constexpr Rect MENU_FIRST_BUTTON = {120, 320, 50, 50};
constexpr int MENU_BUTTONS = 3;
constexpr Rect menu_button(int index) {
    return {MENU_FIRST_BUTTON.x + index * MENU_FIRST_BUTTON.width, MENU_FIRST_BUTTON.y,
            MENU_FIRST_BUTTON.width, MENU_FIRST_BUTTON.height};
}
// Five choice rows of 50 pixels, the first from y 121 on.
constexpr Rect MENU_CHOICES = {350, 120, 330, 250};
constexpr int MENU_ROW_HEIGHT = 50;

// --- Text lines.

constexpr Point STATUS_LINE_1_AT = {10, 6};
constexpr Point STATUS_LINE_2_AT = {10, 24};
constexpr Point EDIT_MODE_LINE_AT = {10, 660};
constexpr Point TITLE_CREDIT_AT = {10, 670};
constexpr Point TITLE_LINE_AT = {10, 684};
constexpr Point TITLE_CLICK_AT = {10, 710};
// The open prompt is drawn straight onto the screen; its area is first restored
// from the picture, so earlier entry text disappears.
constexpr Rect PROMPT_AREA = {10, 50, 336, 66};
constexpr Point PROMPT_TEXT_AT = {20, 50};
constexpr Point PROMPT_ENTRY_AT = {20, 60};

}  // namespace layout
