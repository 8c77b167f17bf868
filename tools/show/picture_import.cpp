#include "tools/show/picture_import.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "tools/show/isolated_run.h"
#include "tools/show/picture_decoder.h"

namespace show_tool {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePointer = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Checked here rather than by the decoder, so that a missing file or a directory is
// named with the system's reason instead of "unsupported image format".
bool check_readable(const std::string& path, std::string* reason) {
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat info;
    const bool opened = fd >= 0 && fstat(fd, &info) == 0;
    const int error = opened && S_ISDIR(info.st_mode) ? EISDIR : errno;
    if (fd >= 0) close(fd);
    if (opened && !S_ISDIR(info.st_mode)) return true;
    *reason = std::string("cannot be read: ") + std::strerror(error);
    return false;
}

uint32_t over_background(uint32_t argb, uint32_t background) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 0xFF) return argb & 0xFFFFFF;
    auto channel = [&](int shift) {
        const uint32_t over = (argb >> shift & 0xFF) * alpha;
        const uint32_t under = (background >> shift & 0xFF) * (255 - alpha);
        return (over + under + 127) / 255 << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

// The forms libvips does not read (TGA, ICO, PCX, XPM, ...) through SDL2_image.
bool decode_with_sdl(const std::string& path, uint32_t background, DecodedPicture* picture,
                     std::string* reason) {
    SurfacePointer decoded(IMG_Load(path.c_str()));
    SurfacePointer argb(
        decoded ? SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0) : nullptr);
    if (!argb || SDL_LockSurface(argb.get()) != 0) {
        *reason = std::string("cannot be decoded: ") + IMG_GetError();
        return false;
    }
    const size_t row_bytes = static_cast<size_t>(argb->w) * 3;
    auto bytes = std::make_shared<std::vector<uint8_t>>(row_bytes * static_cast<size_t>(argb->h));
    uint8_t* rgb = bytes->data();
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
        for (int x = 0; x < argb->w; ++x, rgb += 3) {
            const uint32_t colour = over_background(row[x], background);
            rgb[0] = uint8_t(colour >> 16);
            rgb[1] = uint8_t(colour >> 8);
            rgb[2] = uint8_t(colour);
        }
    }
    SDL_UnlockSurface(argb.get());
    picture->width = picture->pixel_width = argb->w;
    picture->height = picture->pixel_height = argb->h;
    picture->rows = [row_bytes, bytes](int y) {
        return static_cast<const uint8_t*>(bytes->data()) + row_bytes * static_cast<size_t>(y);
    };
    return true;
}

// What the decoder's child sends back: a flag, then the picture's upright size, where it
// lies and the screenshot's pixels, or the reason it failed.
void put_int(std::vector<uint8_t>* bytes, int32_t value) {
    const auto* raw = reinterpret_cast<const uint8_t*>(&value);
    bytes->insert(bytes->end(), raw, raw + sizeof value);
}

bool take_int(const std::vector<uint8_t>& bytes, size_t* at, int32_t* value) {
    if (bytes.size() < *at + sizeof *value) return false;
    std::memcpy(value, bytes.data() + *at, sizeof *value);
    *at += sizeof *value;
    return true;
}

void answer_failure(const std::string& reason, std::vector<uint8_t>* answer) {
    answer->push_back(0);
    answer->insert(answer->end(), reason.begin(), reason.end());
}

void answer_picture(const ImportedPicture& imported, std::vector<uint8_t>* answer) {
    answer->push_back(1);
    for (int32_t value : {imported.width, imported.height, imported.placed.x, imported.placed.y,
                          imported.placed.width, imported.placed.height})
        put_int(answer, value);
    const auto* pixels = reinterpret_cast<const uint8_t*>(imported.screen.pixels.data());
    answer->insert(answer->end(), pixels, pixels + imported.screen.pixels.size() * 4);
}

bool read_answer(const std::vector<uint8_t>& answer, const ImportSettings& settings,
                 ImportedPicture* imported, std::string* reason) {
    if (answer.empty()) {
        *reason = "cannot be decoded: the decoder gave no answer";
        return false;
    }
    if (answer[0] == 0) {
        *reason = std::string(answer.begin() + 1, answer.end());
        return false;
    }
    size_t at = 1;
    Placement& placed = imported->placed;
    const bool whole =
        take_int(answer, &at, &imported->width) && take_int(answer, &at, &imported->height) &&
        take_int(answer, &at, &placed.x) && take_int(answer, &at, &placed.y) &&
        take_int(answer, &at, &placed.width) && take_int(answer, &at, &placed.height) &&
        answer.size() - at == size_t{4} * settings.width * settings.height;
    if (!whole) {
        *reason = "cannot be decoded: the decoder's answer is cut short";
        return false;
    }
    imported->screen = demo::Canvas(settings.width, settings.height);
    std::memcpy(imported->screen.pixels.data(), answer.data() + at, answer.size() - at);
    return true;
}

// The child's work: decode, then scale into the screenshot.
void decode_into_screenshot(const std::string& path, const ImportSettings& settings,
                            std::vector<uint8_t>* answer) {
    DecodedPicture decoded;
    std::string reason;
    const auto shown = [&settings](int width, int height, int* shown_width, int* shown_height) {
        const Placement placed = place_picture(width, height, settings);
        *shown_width = placed.width;
        *shown_height = placed.height;
    };
    const Decoding result = decode_with_vips(path, settings.background, shown, &decoded, &reason);
    if (result == Decoding::unknown_format &&
        !decode_with_sdl(path, settings.background, &decoded, &reason))
        return answer_failure(reason, answer);
    if (result == Decoding::too_large || result == Decoding::failed)
        return answer_failure(reason, answer);
    ImportedPicture imported;
    imported.width = decoded.width;
    imported.height = decoded.height;
    imported.placed = place_picture(decoded.width, decoded.height, settings);
    imported.screen = demo::Canvas(settings.width, settings.height, settings.background);
    try {
        paste(imported.screen,
              scale_rows_by_area(decoded.pixel_width, decoded.pixel_height, decoded.rows,
                                 imported.placed.width, imported.placed.height),
              imported.placed.x, imported.placed.y);
    } catch (const DecodingFailed& failure) {
        return answer_failure(failure.reason, answer);
    }
    answer_picture(imported, answer);
}

}  // namespace

Placement place_picture(int width, int height, const ImportSettings& settings) {
    if (settings.fit == Fit::down && width <= settings.width && height <= settings.height)
        return {(settings.width - width) / 2, (settings.height - height) / 2, width, height};
    return fit_inside(width, height, settings.width, settings.height);
}

PictureBatch::PictureBatch(const std::vector<std::string>& paths, const ImportSettings& settings)
    : paths(paths), settings(settings) {}

PictureBatch::~PictureBatch() = default;

bool PictureBatch::next(ImportedPicture* imported, std::string* reason) {
    const size_t file = next_file++;
    std::unique_ptr<IsolatedWorker>& worker = workers[file % 2];
    if (!worker) {
        const auto job = [this](size_t item, std::vector<uint8_t>* answer) {
            std::string unreadable;
            if (!check_readable(paths[item], &unreadable))
                return answer_failure(unreadable, answer);
            decode_into_screenshot(paths[item], settings, answer);
        };
        worker = std::make_unique<IsolatedWorker>(job, file, 2, paths.size(), IsolationLimits{});
    }
    std::vector<uint8_t> answer;
    if (!worker->next(&answer, reason)) {
        worker.reset();
        *reason = "the decoder " + *reason + " on it";
        return false;
    }
    return read_answer(answer, settings, imported, reason);
}

bool import_picture(const std::string& path, const ImportSettings& settings,
                    ImportedPicture* imported, std::string* reason) {
    return PictureBatch({path}, settings).next(imported, reason);
}

}  // namespace show_tool
