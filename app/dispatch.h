// The main loop's dispatch of one click: the show's (program.cpp) and the editor's
// (editor.cpp), which hands the clicks it does not take on to the show's panel.
#pragma once

// Where the main loop goes after dispatching a click.
enum class Next {
    present_and_wait,  // present the current picture again, then wait
    wait,              // wait for the next click without redrawing
    quit,              // the user chose to quit: shut down and end
    ended,             // the window is gone and everything already shut down
};

// The navigation panel button under the pointer: 1..4, or 0 outside the panel.
int nav_panel_hit();
// A left click on the navigation panel (or anywhere else, which is ignored).
Next dispatch_nav_panel();

// A click while the editor is on.
Next editor_dispatch();
