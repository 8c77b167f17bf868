/* Preloaded into the SDL program by tools/measure-linux.sh: times every update of the
 * window surface, which is how the program brings its front surface to the screen.
 * Appends one line per update to the file named by QZ_PRESENT_LOG:
 *   START_NS DURATION_NS AREA RECTS
 * (START_NS: CLOCK_REALTIME; AREA: pixels sent, -1 for the whole window). The
 * program itself is not changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

/* The two SDL entry points, declared here so that no SDL headers are needed. */
typedef struct SDL_Window SDL_Window;
typedef struct {
    int x, y, w, h;
} SDL_Rect;
typedef int (*update_whole_fn)(SDL_Window*);
typedef int (*update_rects_fn)(SDL_Window*, const SDL_Rect*, int);

static int log_fd = -2;

static long long clock_ns(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void note(long long start, long long duration, long long area, int rects) {
    if (log_fd == -2) {
        const char* path = getenv("QZ_PRESENT_LOG");
        log_fd = path != NULL ? open(path, O_WRONLY | O_CREAT | O_APPEND, 0644) : -1;
    }
    if (log_fd < 0) return;
    char line[96];
    const int length =
        snprintf(line, sizeof line, "%lld %lld %lld %d\n", start, duration, area, rects);
    if (length > 0 && write(log_fd, line, (size_t)length) < 0) log_fd = -1;
}

int SDL_UpdateWindowSurface(SDL_Window* window) {
    static update_whole_fn real;
    if (real == NULL) real = (update_whole_fn)dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    const long long start = clock_ns(CLOCK_REALTIME);
    const long long t0 = clock_ns(CLOCK_MONOTONIC);
    const int result = real(window);
    note(start, clock_ns(CLOCK_MONOTONIC) - t0, -1, 1);
    return result;
}

int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
    static update_rects_fn real;
    if (real == NULL) real = (update_rects_fn)dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
    long long area = 0;
    for (int i = 0; i < count; i++)
        area += (long long)rects[i].w * rects[i].h;
    const long long start = clock_ns(CLOCK_REALTIME);
    const long long t0 = clock_ns(CLOCK_MONOTONIC);
    const int result = real(window, rects, count);
    note(start, clock_ns(CLOCK_MONOTONIC) - t0, area, count);
    return result;
}
