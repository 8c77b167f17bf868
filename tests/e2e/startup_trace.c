/* Preloaded into the SDL program by tools/compare-peers.sh --profile: notes when the
 * steps of the start-up begin and end, so that every millisecond between the fork and
 * the first picture on the screen can be put down to a step. The program itself is
 * not changed.
 *
 * Appends one line per call to the file named by QZ_TRACE_LOG:
 *   START_NS DURATION_NS NAME [DETAIL]
 * START_NS counts from SCREEN_TIMER_START_NS (CLOCK_MONOTONIC, set by screen_timer
 * just before its fork), so the lines line up with screen_timer's "first"/"last". The
 * line "main" marks the moment the program's own code starts, after the dynamic
 * linking and the libraries' constructors. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

/* The SDL types, declared here so that no SDL headers are needed. */
typedef struct SDL_Window SDL_Window;
typedef struct SDL_Surface SDL_Surface;
typedef struct SDL_AudioSpec SDL_AudioSpec;
typedef struct SDL_Rect SDL_Rect;
typedef struct TTF_Font TTF_Font;
typedef struct SDL_RWops SDL_RWops;
typedef uint32_t Uint32;

static int log_fd = -2;
static long long origin_ns = -1;

static long long clock_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static long long since_start(long long t) {
    if (origin_ns < 0) {
        const char* start = getenv("SCREEN_TIMER_START_NS");
        origin_ns = start != NULL ? atoll(start) : t;
    }
    return t - origin_ns;
}

static void note(long long start, long long end, const char* name, const char* detail) {
    if (log_fd == -2) {
        const char* path = getenv("QZ_TRACE_LOG");
        log_fd = path != NULL ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (log_fd < 0) return;
    char line[512];
    const int length = snprintf(line, sizeof line, "%lld %lld %s %s\n", since_start(start),
                                end - start, name, detail != NULL ? detail : "");
    if (length > 0 && write(log_fd, line, (size_t)length) < 0) log_fd = -1;
}

static void* real(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

/* Wraps NAME, which returns TYPE and takes PARAMS, calling it with ARGS. */
#define TIMED(type, name, params, args, detail)               \
    type name params {                                        \
        static type(*next) params;                            \
        if (next == NULL) next = (type(*) params)real(#name); \
        const long long t0 = clock_ns();                      \
        type result = next args;                              \
        note(t0, clock_ns(), #name, detail);                  \
        return result;                                        \
    }
#define TIMED_VOID(name, params, args, detail)                \
    void name params {                                        \
        static void(*next) params;                            \
        if (next == NULL) next = (void(*) params)real(#name); \
        const long long t0 = clock_ns();                      \
        next args;                                            \
        note(t0, clock_ns(), #name, detail);                  \
    }

__attribute__((constructor)) static void program_starts(void) {
    const long long t = clock_ns();
    note(t, t, "main", NULL);
}

static const char* subsystem(Uint32 flags) {
    return flags & 0x10u ? "audio" : flags & 0x20u ? "video" : "other";
}

TIMED(int, SDL_InitSubSystem, (Uint32 flags), (flags), subsystem(flags))
TIMED_VOID(SDL_QuitSubSystem, (Uint32 flags), (flags), subsystem(flags))
TIMED(SDL_Window*, SDL_CreateWindow, (const char* t, int x, int y, int w, int h, Uint32 f),
      (t, x, y, w, h, f), NULL)
TIMED_VOID(SDL_ShowWindow, (SDL_Window * w), (w), NULL)
TIMED_VOID(SDL_RaiseWindow, (SDL_Window * w), (w), NULL)
TIMED(SDL_Surface*, SDL_GetWindowSurface, (SDL_Window * w), (w), NULL)
TIMED(int, SDL_UpdateWindowSurface, (SDL_Window * w), (w), NULL)
TIMED(int, SDL_UpdateWindowSurfaceRects, (SDL_Window * w, const SDL_Rect* r, int n), (w, r, n),
      NULL)
TIMED(int, SDL_SetRelativeMouseMode, (int on), (on), NULL)
TIMED(int, SDL_ShowCursor, (int toggle), (toggle), NULL)
TIMED_VOID(SDL_StartTextInput, (void), (), NULL)
TIMED(Uint32, SDL_OpenAudioDevice,
      (const char* d, int c, const SDL_AudioSpec* w, SDL_AudioSpec* o, int a), (d, c, w, o, a),
      NULL)
TIMED_VOID(SDL_PauseAudioDevice, (Uint32 id, int pause), (id, pause), NULL)
TIMED(int, TTF_Init, (void), (), NULL)
TIMED(TTF_Font*, TTF_OpenFont, (const char* file, int points), (file, points), NULL)
TIMED(TTF_Font*, TTF_OpenFontRW, (SDL_RWops * source, int free_source, int points),
      (source, free_source, points), NULL)
TIMED(SDL_Surface*, TTF_RenderUTF8_Blended, (TTF_Font * f, const char* text, uint32_t colour),
      (f, text, colour), text)

/* Files: the moment each is opened and closed; the work between is the reading. */
FILE* fopen(const char* path, const char* mode) {
    static FILE* (*next)(const char*, const char*);
    if (next == NULL) next = (FILE * (*)(const char*, const char*)) real("fopen");
    const long long t0 = clock_ns();
    FILE* file = next(path, mode);
    note(t0, clock_ns(), "fopen", path);
    return file;
}

int fclose(FILE* file) {
    static int (*next)(FILE*);
    if (next == NULL) next = (int (*)(FILE*))real("fclose");
    const long long t0 = clock_ns();
    const int result = next(file);
    note(t0, clock_ns(), "fclose", NULL);
    return result;
}
