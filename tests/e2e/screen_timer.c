/* Times what reaches an X screen after a program starts or after an input, for
 * comparing picture viewers side by side (tools/compare-peers.sh).
 *
 *   screen_timer start TIMEOUT_MS DIR LOG CONDITION... -- PROGRAM ARG...
 *       starts PROGRAM in DIR (standard output and error to LOG, no standard input)
 *       and waits until every condition holds. Prints "pid PID".
 *   screen_timer click TIMEOUT_MS [CONDITION...]
 *       presses and releases the left mouse button, then waits (if given conditions).
 *   screen_timer key KEYSYM TIMEOUT_MS [CONDITION...]
 *       presses and releases a key (an X keysym name such as Right), then waits.
 *   screen_timer move DX DY
 *       moves the pointer by (DX, DY), as a mouse does.
 *   screen_timer window-manager TIMEOUT_MS
 *       waits until a window manager has announced itself on the screen.
 *   screen_timer row OLD NEW TOL Y0 Y1 X...
 *       prints the first row y in Y0..Y1-1 where the two bitmap files differ by more
 *       than TOL at every X, so that a change from OLD to NEW shows at all of them.
 *
 * A CONDITION is X,Y,R,G,B,TOL (the pixel at (X, Y) within TOL of that colour in every
 * channel) or X,Y,@FILE,TOL (the colour of pixel (X, Y) of FILE, an uncompressed 8-,
 * 24- or 32-bit Windows bitmap). Before it acts it waits until no condition holds, so a screen
 * that already shows the result cannot be timed. Then it reads the rows that hold the
 * conditions with XGetImage every half millisecond and prints "met INDEX NS" for each
 * condition, "first NS" and "last NS": the nanoseconds from the start (just before the
 * fork, or just before the press is sent) until each, the first and the last held. Exit status: 0
 * all met, 1 time-out, 2 wrong use or no display, 3 the started program ended, 4 the screen kept
 * showing the result before anything was done.
 *
 * Input goes through the XTest extension, loaded at run time from libXtst.so.6 (which
 * xdotool and most desktops install), so only the X11 headers are needed to build. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_CONDITIONS 64
#define POLL_US 500
#define CLEAR_SCREEN_MS 3000

struct condition {
    int x, y, r, g, b, tol;
    long long met_ns;
};

static struct condition conditions[MAX_CONDITIONS];
static int condition_count;
static Display* display;

static long long now_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static int fail(int status, const char* what, const char* detail) {
    fprintf(stderr, "screen_timer: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
    return status;
}

/* ------------------------------------------------------------------ bitmap colours */

static unsigned read_le(const unsigned char* p, int bytes) {
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = v << 8 | p[i];
    return v;
}

/* The colour of pixel (x, y) of an uncompressed 8-, 24- or 32-bit bitmap file. */
static int bitmap_colour(const char* path, int x, int y, int* r, int* g, int* b) {
    unsigned char header[54], pixel[4];
    FILE* file = fopen(path, "rb");
    if (file == NULL) return 0;
    int ok = fread(header, 1, sizeof header, file) == sizeof header && header[0] == 'B' &&
             header[1] == 'M';
    const int width = (int)read_le(header + 18, 4);
    const int raw_height = (int)read_le(header + 22, 4);
    const int height = raw_height < 0 ? -raw_height : raw_height;
    const int bits = (int)read_le(header + 28, 2);
    ok = ok && (bits == 8 || bits == 24 || bits == 32) && read_le(header + 30, 4) == 0 && x >= 0 &&
         x < width && y >= 0 && y < height;
    if (ok) {
        const long stride = ((long)width * bits + 31) / 32 * 4;
        const long row = raw_height < 0 ? y : height - 1 - y;
        const long at = (long)read_le(header + 10, 4) + row * stride + (long)x * bits / 8;
        ok = fseek(file, at, SEEK_SET) == 0 && fread(pixel, 1, bits / 8, file) == (size_t)bits / 8;
    }
    if (ok && bits == 8) {
        /* The palette follows the info header: blue, green, red, unused. */
        const long entry = 14 + (long)read_le(header + 14, 4) + 4L * pixel[0];
        ok = fseek(file, entry, SEEK_SET) == 0 && fread(pixel, 1, 3, file) == 3;
    }
    fclose(file);
    if (!ok) return 0;
    *b = pixel[0];
    *g = pixel[1];
    *r = pixel[2];
    return 1;
}

static int parse_condition(const char* text, struct condition* c) {
    char path[4096];
    if (sscanf(text, "%d,%d,%d,%d,%d,%d", &c->x, &c->y, &c->r, &c->g, &c->b, &c->tol) == 6)
        return 1;
    if (sscanf(text, "%d,%d,@%4095[^,],%d", &c->x, &c->y, path, &c->tol) == 4)
        return bitmap_colour(path, c->x, c->y, &c->r, &c->g, &c->b);
    return 0;
}

static int parse_conditions(int count, char** texts) {
    if (count < 0 || count > MAX_CONDITIONS) return fail(0, "give at most 64 conditions", NULL);
    for (int i = 0; i < count; i++) {
        if (!parse_condition(texts[i], &conditions[i]))
            return fail(0, "bad condition (or unreadable bitmap)", texts[i]);
        conditions[i].met_ns = -1;
    }
    condition_count = count;
    return 1;
}

/* ------------------------------------------------------------------ the screen */

/* One channel of a pixel, scaled to 0..255 whatever the visual's depth. */
static int channel(unsigned long pixel, unsigned long mask) {
    int shift = 0;
    if (mask == 0) return 0;
    while (((mask >> shift) & 1) == 0)
        shift++;
    return (int)(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

static int near(int a, int b, int tol) {
    return a - b <= tol && b - a <= tol;
}

static int colour_holds(const struct condition* c, unsigned long pixel) {
    const Visual* visual = DefaultVisual(display, DefaultScreen(display));
    return near(channel(pixel, visual->red_mask), c->r, c->tol) &&
           near(channel(pixel, visual->green_mask), c->g, c->tol) &&
           near(channel(pixel, visual->blue_mask), c->b, c->tol);
}

/* Reads each row that holds a condition still open (or every condition, when all is
 * set) once, from its leftmost to its rightmost point, and marks what holds at
 * time t. Returns how many of the looked-at conditions hold. */
static int look(long long t, int all) {
    int holding = 0;
    char done[MAX_CONDITIONS] = {0};
    for (int i = 0; i < condition_count; i++) {
        if (done[i] || (!all && conditions[i].met_ns >= 0)) continue;
        int left = conditions[i].x, right = conditions[i].x;
        for (int k = i; k < condition_count; k++)
            if (conditions[k].y == conditions[i].y) {
                if (conditions[k].x < left) left = conditions[k].x;
                if (conditions[k].x > right) right = conditions[k].x;
            }
        XImage* row = XGetImage(display, DefaultRootWindow(display), left, conditions[i].y,
                                (unsigned)(right - left + 1), 1, AllPlanes, ZPixmap);
        for (int k = i; k < condition_count; k++) {
            struct condition* c = &conditions[k];
            if (c->y != conditions[i].y) continue;
            done[k] = 1;
            if (row == NULL || (!all && c->met_ns >= 0)) continue;
            if (!colour_holds(c, XGetPixel(row, c->x - left, 0))) continue;
            holding++;
            if (c->met_ns < 0) c->met_ns = t;
        }
        if (row != NULL) XDestroyImage(row);
    }
    return holding;
}

/* Waits until no condition holds, so that what is timed is a change. */
static int wait_until_clear(void) {
    const long long deadline = now_ns() + CLEAR_SCREEN_MS * 1000000LL;
    while (look(0, 1) > 0) {
        if (now_ns() > deadline) return 0;
        usleep(10000);
    }
    for (int i = 0; i < condition_count; i++)
        conditions[i].met_ns = -1;
    return 1;
}

/* Polls until every condition held; child, when not 0, must keep running. */
static int watch(long long start, long long timeout_ms, pid_t child) {
    int met = 0;
    while (met < condition_count) {
        const long long t = now_ns();
        look(t, 0);
        met = 0;
        for (int i = 0; i < condition_count; i++)
            met += conditions[i].met_ns >= 0;
        if (met == condition_count) break;
        if (child != 0 && waitpid(child, NULL, WNOHANG) == child) return 3;
        if (t - start > timeout_ms * 1000000LL) return 1;
        usleep(POLL_US);
    }
    long long first = -1, last = -1;
    for (int i = 0; i < condition_count; i++) {
        const long long d = conditions[i].met_ns - start;
        printf("met %d %lld\n", i, d);
        if (first < 0 || d < first) first = d;
        if (d > last) last = d;
    }
    printf("first %lld\nlast %lld\n", first < 0 ? 0 : first, last < 0 ? 0 : last);
    return 0;
}

/* ------------------------------------------------------------------ actions */

static void exec_child(long long start, const char* dir, const char* log, char** argv) {
    char start_text[32];
    snprintf(start_text, sizeof start_text, "%lld", start);
    /* For a start-up trace inside the program: the same clock and origin. */
    setenv("SCREEN_TIMER_START_NS", start_text, 1);
    const int out = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0 || chdir(dir) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    /* Nothing of ours, the X connection and the caller's pipes included, stays open. */
    for (int fd = 3; fd < 1024; fd++)
        close(fd);
    execvp(argv[0], argv);
    _exit(127);
}

static int start_program(long long timeout_ms, const char* dir, const char* log, char** argv) {
    if (!wait_until_clear()) return fail(4, "the screen shows the picture before the start", NULL);
    fflush(stdout);
    const long long start = now_ns();
    const pid_t child = fork();
    if (child < 0) return fail(2, "cannot fork", NULL);
    if (child == 0) exec_child(start, dir, log, argv);
    printf("pid %d\n", (int)child);
    fflush(stdout);
    const int status = watch(start, timeout_ms, child);
    if (status == 3) return fail(3, "the program ended", argv[0]);
    return status;
}

typedef int (*fake_button_fn)(Display*, unsigned, Bool, unsigned long);
typedef int (*fake_key_fn)(Display*, unsigned, Bool, unsigned long);
typedef int (*fake_motion_fn)(Display*, int, int, unsigned long);

static void* xtest(const char* name) {
    static void* library;
    if (library == NULL) library = dlopen("libXtst.so.6", RTLD_NOW);
    void* function = library != NULL ? dlsym(library, name) : NULL;
    if (function == NULL) {
        fail(2, "XTest is not available (install libxtst6)", name);
        exit(2);
    }
    return function;
}

/* Presses and releases; the clock starts just before the press is sent. */
static int press(const char* kind, const char* keysym_name, long long timeout_ms) {
    if (condition_count > 0 && !wait_until_clear())
        return fail(4, "the screen shows the picture before the input", NULL);
    long long start;
    if (strcmp(kind, "click") == 0) {
        const fake_button_fn button = (fake_button_fn)xtest("XTestFakeButtonEvent");
        start = now_ns();
        button(display, 1, True, CurrentTime);
        XFlush(display);
        button(display, 1, False, CurrentTime);
    } else {
        const KeySym keysym = XStringToKeysym(keysym_name);
        const KeyCode code = keysym != NoSymbol ? XKeysymToKeycode(display, keysym) : 0;
        if (code == 0) return fail(2, "no such key", keysym_name);
        const fake_key_fn key = (fake_key_fn)xtest("XTestFakeKeyEvent");
        start = now_ns();
        key(display, code, True, CurrentTime);
        XFlush(display);
        key(display, code, False, CurrentTime);
    }
    XFlush(display);
    return condition_count > 0 ? watch(start, timeout_ms, 0) : 0;
}

static int move(int dx, int dy) {
    const fake_motion_fn motion = (fake_motion_fn)xtest("XTestFakeRelativeMotionEvent");
    motion(display, dx, dy, CurrentTime);
    XSync(display, False);
    return 0;
}

/* EWMH window managers put their check window on the root. */
static int wait_for_window_manager(long long timeout_ms) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const long long deadline = now_ns() + timeout_ms * 1000000LL;
    for (;;) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* value = NULL;
        const int status =
            XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                               AnyPropertyType, &type, &format, &items, &after, &value);
        if (value != NULL) XFree(value);
        if (status == Success && items > 0) return 0;
        if (now_ns() > deadline) return fail(1, "no window manager came up", NULL);
        usleep(20000);
    }
}

static int differs(const char* old_file, const char* new_file, int tol, int x, int y) {
    int r0, g0, b0, r1, g1, b1;
    if (!bitmap_colour(old_file, x, y, &r0, &g0, &b0) ||
        !bitmap_colour(new_file, x, y, &r1, &g1, &b1))
        return 0;
    return !near(r0, r1, tol) || !near(g0, g1, tol) || !near(b0, b1, tol);
}

static int find_row(char** argv, int x_count) {
    const int tol = atoi(argv[2]), y0 = atoi(argv[3]), y1 = atoi(argv[4]);
    for (int y = y0; y < y1; y++) {
        int all = 1;
        for (int i = 0; i < x_count && all; i++)
            all = differs(argv[0], argv[1], tol, atoi(argv[5 + i]), y);
        if (all) {
            printf("%d\n", y);
            return 0;
        }
    }
    return fail(1, "no row tells the two pictures apart", argv[1]);
}

static int usage(void) {
    fprintf(stderr,
            "usage: screen_timer start TIMEOUT_MS DIR LOG CONDITION... -- PROGRAM ARG...\n"
            "       screen_timer click TIMEOUT_MS [CONDITION...]\n"
            "       screen_timer key KEYSYM TIMEOUT_MS [CONDITION...]\n"
            "       screen_timer move DX DY\n"
            "       screen_timer window-manager TIMEOUT_MS\n"
            "       screen_timer row OLD NEW TOL Y0 Y1 X...\n"
            "CONDITION: X,Y,R,G,B,TOL or X,Y,@BITMAP,TOL\n");
    return 2;
}

static int run(int argc, char** argv) {
    const char* action = argv[1];
    if (strcmp(action, "move") == 0 && argc == 4) return move(atoi(argv[2]), atoi(argv[3]));
    if (strcmp(action, "window-manager") == 0 && argc == 3)
        return wait_for_window_manager(atoll(argv[2]));
    if (strcmp(action, "click") == 0 && argc >= 3) {
        if (!parse_conditions(argc - 3, argv + 3)) return 2;
        return press(action, NULL, atoll(argv[2]));
    }
    if (strcmp(action, "key") == 0 && argc >= 4) {
        if (!parse_conditions(argc - 4, argv + 4)) return 2;
        return press(action, argv[2], atoll(argv[3]));
    }
    if (strcmp(action, "start") == 0 && argc >= 7) {
        int separator = 5;
        while (separator < argc && strcmp(argv[separator], "--") != 0)
            separator++;
        if (separator + 1 >= argc || separator == 5 || !parse_conditions(separator - 5, argv + 5))
            return usage();
        return start_program(atoll(argv[2]), argv[3], argv[4], argv + separator + 1);
    }
    return usage();
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    /* Reads files only: no display needed. */
    if (strcmp(argv[1], "row") == 0) return argc >= 8 ? find_row(argv + 2, argc - 7) : usage();
    signal(SIGPIPE, SIG_IGN);
    display = XOpenDisplay(NULL);
    if (display == NULL) return fail(2, "no display", getenv("DISPLAY"));
    const int status = run(argc, argv);
    XCloseDisplay(display);
    return status;
}
