/* Watches pixels of an X screen and reports when each first shows a given colour.
 * Used by tools/measure-linux.sh to time what reaches the screen: the title after
 * start-up, the columns of the transition.
 *
 * Usage: pixel_watch TIMEOUT_MS X,Y,R,G,B,TOL ...
 * Prints "ready NS" once it watches, then "met INDEX NS" for each condition as it is
 * first met (NS: CLOCK_REALTIME in nanoseconds, comparable with `date +%s%N`). Exits
 * 0 when every condition was met, 1 on time-out, 2 on wrong usage or no display. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#define MAX_CONDITIONS 64

struct condition {
    int x, y, r, g, b, tol;
    int met;
};

static long long now_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

/* One channel of a pixel, scaled to 0..255 whatever the visual's depth. */
static int channel(unsigned long pixel, unsigned long mask) {
    int shift = 0;
    if (mask == 0) return 0;
    while (((mask >> shift) & 1) == 0)
        shift++;
    unsigned long max = mask >> shift;
    return (int)(((pixel & mask) >> shift) * 255 / max);
}

static int near(int a, int b, int tol) {
    return a - b <= tol && b - a <= tol;
}

int main(int argc, char** argv) {
    struct condition conditions[MAX_CONDITIONS];
    int count = argc - 2;
    if (argc < 3 || count > MAX_CONDITIONS) {
        fprintf(stderr, "usage: %s TIMEOUT_MS X,Y,R,G,B,TOL ...\n", argv[0]);
        return 2;
    }
    const long long timeout_ns = atoll(argv[1]) * 1000000LL;
    for (int i = 0; i < count; i++) {
        struct condition* c = &conditions[i];
        if (sscanf(argv[i + 2], "%d,%d,%d,%d,%d,%d", &c->x, &c->y, &c->r, &c->g, &c->b, &c->tol) !=
            6) {
            fprintf(stderr, "pixel_watch: bad condition %s\n", argv[i + 2]);
            return 2;
        }
        c->met = 0;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "pixel_watch: no display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Visual* visual = DefaultVisual(display, DefaultScreen(display));
    const long long start = now_ns();
    printf("ready %lld\n", start);
    fflush(stdout);
    int left = count;
    while (left > 0) {
        for (int i = 0; i < count; i++) {
            struct condition* c = &conditions[i];
            if (c->met) continue;
            XImage* image = XGetImage(display, root, c->x, c->y, 1, 1, AllPlanes, ZPixmap);
            if (image == NULL) continue;
            const unsigned long pixel = XGetPixel(image, 0, 0);
            XDestroyImage(image);
            if (near(channel(pixel, visual->red_mask), c->r, c->tol) &&
                near(channel(pixel, visual->green_mask), c->g, c->tol) &&
                near(channel(pixel, visual->blue_mask), c->b, c->tol)) {
                c->met = 1;
                left--;
                printf("met %d %lld\n", i, now_ns());
                fflush(stdout);
            }
        }
        if (left > 0 && now_ns() - start > timeout_ns) {
            XCloseDisplay(display);
            return 1;
        }
        /* A quarter of a millisecond between rounds keeps the X server free for the
         * program being timed. */
        usleep(250);
    }
    XCloseDisplay(display);
    return 0;
}
