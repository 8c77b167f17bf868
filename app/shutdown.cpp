#include "app/shutdown.h"

#include "display/display.h"
#include "input/mouse.h"
#include "sound/sound.h"

void shutdown_all() {
    release_sound();
    release_mouse();
    // Releasing the display device gives the desktop its display mode back.
    release_display();
    release_fonts();
}
