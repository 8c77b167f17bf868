// The editor at work: its dispatch of clicks while it is on, what each of its sixteen
// buttons does to the picture table, the arrow keys that move the box being placed,
// and the show file loaded and saved with the editor's fields cleared.
#pragma once

#include <cstdint>

#include "editor/editor_state.h"

// What the main loop does after the editor has taken a click.
enum class EditorClick {
    present_and_wait,  // present the current picture again, then wait
    wait,              // wait for the next click without redrawing
    for_the_show,      // not the editor's: the show's navigation panel takes it
};

// A click while the editor is on.
EditorClick editor_click();

// While a box is being placed, an arrow key moves it one pixel and shows the result;
// otherwise, and for every other key, nothing happens.
void editor_arrow_key(uintptr_t key);

// The menu's editor switch: on, with the status lines and without transitions.
void switch_editor_on();
// Opening the menu leaves the editor and any prompt.
void leave_editor_for_menu();

// The show file SCR1.BIL read or written; both leave the editor and clear its
// fields first. false as load_show_file and save_show_file.
bool load_show();
bool save_show();
