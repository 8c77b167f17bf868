#include "app/state.h"

PictureTable picture_table;
EditorState editor;
PointerState pointer;
ScreenState screen;
SoundState sound;

void reset_global_state() {
    picture_table = PictureTable{};
    editor = EditorState{};
    pointer = PointerState{};
    screen = ScreenState{};
    sound = SoundState{};
}
