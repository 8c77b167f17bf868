/* Asks a window to close as a window manager's close button does: a WM_DELETE_WINDOW
 * client message (xdotool's windowclose destroys the window behind its program's back
 * instead). Used by linux_desktop.sh.
 *
 * Usage: window_close WINDOW_ID
 * Exits 0 once the message is sent, 2 on wrong usage or no display. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: window_close WINDOW_ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "window_close: no display\n");
        return 2;
    }
    XEvent close = {0};
    close.xclient.type = ClientMessage;
    close.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, close.xclient.window, False, NoEventMask, &close);
    XCloseDisplay(display);
    return 0;
}
