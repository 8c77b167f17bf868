// Bitmap loading speed: qzview's decoder against the floor (reading the file whole and
// one memcpy of the decoded size) and, when built with SDL2, SDL_LoadBMP_RW plus the
// conversion to XRGB8888 that the SDL backend would otherwise need. The decoder runs
// twice: with the processor's vector instructions where it has them, and with the
// portable code alone. Each form is a 1024 x 768 picture written to a temporary file.
// A table of the ratios is printed on standard error when the run ends, so that
// standard output holds only the report in the format asked for
// (--benchmark_format=json stays valid JSON).
#include <benchmark/benchmark.h>

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/bmp_decoder.h"
#include "platform/common/bmp_writer.h"
#include "platform/common/le_bytes.h"

#if QZVIEW_BENCH_WITH_SDL
#include <SDL.h>
#endif

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr size_t kDecodedBytes = size_t{kWidth} * kHeight * 4;

enum class Form { rgb24, indexed8, rle8 };
constexpr Form kForms[] = {Form::rgb24, Form::indexed8, Form::rle8};

const char* form_name(Form form) {
    switch (form) {
        case Form::rgb24:
            return "24-bit";
        case Form::indexed8:
            return "8-bit";
        case Form::rle8:
            return "RLE8";
    }
    return "?";
}

// ---------------------------------------------------------------------------
// Pictures

uint32_t hash(uint32_t x, uint32_t y) {
    uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

uint8_t clamp8(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A landscape screenshot: sky, hills, a few buildings, a status bar; shading index 0..31
// and a material 0..7, so the same scene can be stored true-color or paletted.
struct Texel {
    int material;
    int shade;
};

Texel scene(int x, int y, bool flat) {
    const int hill = 430 + static_cast<int>(60 * std::sin(x / 97.0) + 25 * std::sin(x / 23.0));
    const int noise = flat ? 0 : static_cast<int>(hash(x, y) % 5) - 2;
    if (y >= 720) {  // status bar with text-like marks
        const bool mark = y > 734 && y < 752 && (x / 9) % 7 != 0 && hash(x / 3, y / 3) % 3 == 0;
        return {7, mark ? 31 : 4};
    }
    if ((x / 160) % 2 == 1 && y > hill - 140 && y < hill + 40 && (x % 160) > 30 &&
        (x % 160) < 130) {  // buildings with lit windows
        const bool window = (x % 16) < 8 && (y % 20) < 10 && hash(x / 16, y / 20) % 2 == 0;
        return {window ? 5 : 4, window ? 28 : 12 + noise};
    }
    if (y < hill) {  // sky, in bands when flat
        const int band = flat ? (y / 24) : y / 8;
        return {1, std::min(31, 8 + band + noise)};
    }
    if (flat && hash(x / 64, y / 32) % 4 != 0) return {2, 14};  // plain grass
    return {2 + static_cast<int>(hash(x / 8, y / 8) % 2), static_cast<int>(hash(x, y) % 32)};
}

uint32_t material_color(int material, int shade) {
    static const int base[8][3] = {{0, 0, 0},     {70, 120, 230},  {60, 150, 50}, {120, 90, 50},
                                   {90, 90, 100}, {250, 220, 120}, {0, 0, 0},     {30, 30, 40}};
    const int* c = base[material];
    const int light = shade * 8 - 128;
    return static_cast<uint32_t>(clamp8(c[0] + light / 2) << 16 | clamp8(c[1] + light / 2) << 8 |
                                 clamp8(c[2] + light / 2));
}

std::vector<uint8_t> file_start(int bits, uint32_t compression, int palette_entries) {
    std::vector<uint8_t> out =
        bmp_file_headers(kWidth, kHeight, static_cast<uint16_t>(bits), compression,
                         static_cast<uint32_t>(palette_entries), 0);
    for (int i = 0; i < palette_entries; ++i)
        append_le32(out, material_color(i / 32, i % 32));
    return out;
}

void finish_file(std::vector<uint8_t>& out) {
    const uint32_t size = static_cast<uint32_t>(out.size());
    std::memcpy(out.data() + 2, &size, 4);
}

std::vector<uint8_t> make_24bit() {
    std::vector<uint8_t> out = file_start(24, 0, 0);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const Texel t = scene(x, y, false);
            const uint32_t c = material_color(t.material, t.shade);
            const int grain = static_cast<int>(hash(y, x) % 7) - 3;  // sensor noise
            out.push_back(clamp8(static_cast<int>(c & 0xFF) + grain));
            out.push_back(clamp8(static_cast<int>(c >> 8 & 0xFF) + grain));
            out.push_back(clamp8(static_cast<int>(c >> 16 & 0xFF) + grain));
        }
    }
    finish_file(out);
    return out;
}

uint8_t palette_index(int x, int y, bool flat) {
    const Texel t = scene(x, y, flat);
    return static_cast<uint8_t>(t.material * 32 + std::max(0, std::min(31, t.shade)));
}

std::vector<uint8_t> make_8bit() {
    std::vector<uint8_t> out = file_start(8, 0, 256);
    for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; ++x)
            out.push_back(palette_index(x, y, false));
    finish_file(out);
    return out;
}

// The usual encoder: repeats of 3 or more become runs, the rest absolute runs
// (or single-pixel runs when shorter than 3), each row ended by an end-of-line.
void encode_rle8_row(const uint8_t* row, std::vector<uint8_t>& out) {
    int x = 0;
    while (x < kWidth) {
        int repeat = 1;
        while (x + repeat < kWidth && repeat < 255 && row[x + repeat] == row[x])
            ++repeat;
        if (repeat >= 3) {
            out.insert(out.end(), {static_cast<uint8_t>(repeat), row[x]});
            x += repeat;
            continue;
        }
        int literal = 0;
        while (x + literal < kWidth && literal < 255) {
            const int at = x + literal;
            if (at + 2 < kWidth && row[at] == row[at + 1] && row[at] == row[at + 2]) break;
            ++literal;
        }
        if (literal < 3) {
            for (int i = 0; i < literal; ++i)
                out.insert(out.end(), {1, row[x + i]});
        } else {
            out.insert(out.end(), {0, static_cast<uint8_t>(literal)});
            out.insert(out.end(), row + x, row + x + literal);
            if (literal & 1) out.push_back(0);
        }
        x += literal;
    }
}

std::vector<uint8_t> make_rle8() {
    std::vector<uint8_t> out = file_start(8, 1, 256);
    std::vector<uint8_t> row(kWidth);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x)
            row[x] = palette_index(x, y, true);
        encode_rle8_row(row.data(), out);
        out.insert(out.end(), {0, static_cast<uint8_t>(y == 0 ? 1 : 0)});
    }
    finish_file(out);
    return out;
}

// ---------------------------------------------------------------------------
// Files and results

struct BenchFiles {
    std::map<Form, std::string> paths;
    std::map<Form, size_t> sizes;
    // A benchmark runs a few short rounds to size its loop before each measured one:
    // only rounds that lasted at least half as long as the longest count, by their median.
    struct Run {
        double total_ms;
        double ms;
    };
    std::map<Form, std::map<std::string, std::vector<Run>>> results;

    BenchFiles() {
#if defined(__GLIBC__)
        // Every method allocates a few MiB per picture. Left to itself, glibc decides by
        // its allocation history whether such blocks come fresh from the kernel (a page
        // fault every 4 KiB, very dear on virtual machines) or from the heap, and a
        // method was seen to run 50 times slower for that alone. All stay on the heap.
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
        const std::string prefix = (std::filesystem::temp_directory_path() /
                                    ("qzview-bmp-bench-" + std::to_string(getpid()) + "-"))
                                       .string();
        write(Form::rgb24, prefix + "24.bmp", make_24bit());
        write(Form::indexed8, prefix + "8.bmp", make_8bit());
        write(Form::rle8, prefix + "rle8.bmp", make_rle8());
    }

    ~BenchFiles() {
        print_summary();
        for (const auto& entry : paths)
            std::remove(entry.second.c_str());
    }

    void write(Form form, const std::string& path, const std::vector<uint8_t>& bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::abort();
        }
        std::fclose(file);
        paths[form] = path;
        sizes[form] = bytes.size();
    }

    double result(Form form, const char* method) const {
        const auto f = results.find(form);
        if (f == results.end()) return 0;
        const auto m = f->second.find(method);
        if (m == f->second.end()) return 0;
        double longest = 0;
        for (const Run& run : m->second)
            longest = std::max(longest, run.total_ms);
        std::vector<double> measured;
        for (const Run& run : m->second)
            if (run.total_ms >= longest / 2) measured.push_back(run.ms);
        std::sort(measured.begin(), measured.end());
        return measured[measured.size() / 2];
    }

    void print_summary() const {
        if (results.empty()) return;
        std::fprintf(stderr, "\nbmp loading, %dx%d into XRGB8888 (median ms per picture)\n", kWidth,
                     kHeight);
        std::fprintf(stderr, "%-7s %9s %8s %8s %8s %10s %9s %9s %10s\n", "form", "file KiB",
                     "floor", "SDL", "qzview", "vs floor", "vs SDL", "portable", "vs floor");
        for (Form form : kForms) {
            const double floor = result(form, "floor");
            const double sdl = result(form, "sdl");
            const double ours = result(form, "qzview");
            const double portable = result(form, "portable");
            std::fprintf(stderr, "%-7s %9zu %8.3f %8.3f %8.3f %9.2fx %8.2fx %9.3f %9.2fx\n",
                         form_name(form), sizes.at(form) / 1024, floor, sdl, ours,
                         floor > 0 ? ours / floor : 0, sdl > 0 ? ours / sdl : 0, portable,
                         floor > 0 ? portable / floor : 0);
        }
    }
};

BenchFiles& bench_files() {
    static BenchFiles files;
    return files;
}

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

// Reads a file the way bmp_decode_file does: size first, then one read.
FileBytes read_whole_file(const std::string& path) {
    FileBytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (size > 0) {
        bytes.data.reset(new uint8_t[static_cast<size_t>(size)]);
        bytes.size = std::fread(bytes.data.get(), 1, static_cast<size_t>(size), file);
    }
    std::fclose(file);
    return bytes;
}

// Times the loop itself, so the summary and the ratio counters can compare methods.
template <class LoadOnce>
void run_and_record(benchmark::State& state, Form form, const char* method, LoadOnce load) {
    BenchFiles& files = bench_files();
    const std::string& path = files.paths.at(form);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!load(path)) {
            state.SkipWithError("load failed");
            return;
        }
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    const double ms = elapsed.count() / static_cast<double>(state.iterations());
    files.results[form][method].push_back({elapsed.count(), ms});
    const double floor = files.result(form, "floor");
    const double sdl = files.result(form, "sdl");
    if (std::string(method) != "floor" && floor > 0) state.counters["x_floor"] = ms / floor;
    if (std::string(method) != "floor" && std::string(method) != "sdl" && sdl > 0)
        state.counters["x_sdl"] = ms / sdl;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(kDecodedBytes));
}

void BM_bmp_floor(benchmark::State& state, Form form) {
    run_and_record(state, form, "floor", [](const std::string& path) {
        static const std::vector<uint8_t> decoded(kDecodedBytes, 0x5A);
        const FileBytes bytes = read_whole_file(path);
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[kDecodedBytes]);
        std::memcpy(pixels.get(), decoded.data(), kDecodedBytes);
        benchmark::DoNotOptimize(pixels.get());
        benchmark::ClobberMemory();
        return bytes.size > 0;
    });
}

bool decode_file(const std::string& path) {
    DecodedImage image;
    const bool ok = bmp_decode_file(path.c_str(), PixelFormat::xrgb8888, &image);
    benchmark::DoNotOptimize(image.pixels.data());
    return ok;
}

void BM_bmp_qzview(benchmark::State& state, Form form) {
    bmp_use_processor_extensions(true);
    run_and_record(state, form, "qzview", decode_file);
}

void BM_bmp_portable(benchmark::State& state, Form form) {
    bmp_use_processor_extensions(false);
    run_and_record(state, form, "portable", decode_file);
    bmp_use_processor_extensions(true);
}

#if QZVIEW_BENCH_WITH_SDL
void BM_bmp_sdl(benchmark::State& state, Form form) {
    run_and_record(state, form, "sdl", [](const std::string& path) {
        const FileBytes bytes = read_whole_file(path);
        SDL_RWops* memory = SDL_RWFromConstMem(bytes.data.get(), static_cast<int>(bytes.size));
        SDL_Surface* loaded = SDL_LoadBMP_RW(memory, 1);
        if (loaded == nullptr) return false;
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
        SDL_FreeSurface(loaded);
        if (converted == nullptr) return false;
        benchmark::DoNotOptimize(converted->pixels);
        SDL_FreeSurface(converted);
        return true;
    });
}
#endif

// Floor and SDL first, so the decoder's run can report its ratios to both.
#define QZVIEW_BMP_BENCH(fn, form) \
    BENCHMARK_CAPTURE(fn, form, Form::form)->Unit(benchmark::kMillisecond)->UseRealTime()

QZVIEW_BMP_BENCH(BM_bmp_floor, rgb24);
#if QZVIEW_BENCH_WITH_SDL
QZVIEW_BMP_BENCH(BM_bmp_sdl, rgb24);
#endif
QZVIEW_BMP_BENCH(BM_bmp_qzview, rgb24);
QZVIEW_BMP_BENCH(BM_bmp_portable, rgb24);
QZVIEW_BMP_BENCH(BM_bmp_floor, indexed8);
#if QZVIEW_BENCH_WITH_SDL
QZVIEW_BMP_BENCH(BM_bmp_sdl, indexed8);
#endif
QZVIEW_BMP_BENCH(BM_bmp_qzview, indexed8);
QZVIEW_BMP_BENCH(BM_bmp_portable, indexed8);
QZVIEW_BMP_BENCH(BM_bmp_floor, rle8);
#if QZVIEW_BENCH_WITH_SDL
QZVIEW_BMP_BENCH(BM_bmp_sdl, rle8);
#endif
QZVIEW_BMP_BENCH(BM_bmp_qzview, rle8);
QZVIEW_BMP_BENCH(BM_bmp_portable, rle8);

}  // namespace
