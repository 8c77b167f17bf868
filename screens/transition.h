// The transition with which a newly composed picture replaces the visible one.
#pragma once

// Uncovers the frame composed on the back surface from the centre line outwards,
// column by column, straight onto the front surface (no flip). The pointer is hidden
// meanwhile and drawn again at the next mouse input.
void run_transition();
