#include "tools/show/picture_import.h"

#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace show_tool {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePointer = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Read here rather than by the decoder, so that a missing file or a directory is
// named with the system's reason instead of "unsupported image format". The decoder
// takes at most 2 GB from memory.
bool read_whole_file(const std::string& path, std::vector<char>* bytes, std::string* reason) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        *reason = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode) || info.st_size > INT32_MAX) {
        *reason = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : EFBIG);
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *reason = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(file), {});
    if (file.bad()) {
        *reason = std::strerror(EIO);
        return false;
    }
    return true;
}

uint32_t over_black(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 0xFF) return argb & 0xFFFFFF;
    auto channel = [&](int shift) { return ((argb >> shift & 0xFF) * alpha + 127) / 255 << shift; };
    return channel(16) | channel(8) | channel(0);
}

}  // namespace

bool decode_image_file(const std::string& path, demo::Canvas* picture, std::string* reason) {
    std::vector<char> bytes;
    if (!read_whole_file(path, &bytes, reason)) {
        *reason = "cannot be read: " + *reason;
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SurfacePointer decoded(stream != nullptr ? IMG_Load_RW(stream, 1) : nullptr);
    if (!decoded) {
        *reason = std::string("cannot be decoded: ") + IMG_GetError();
        return false;
    }
    SurfacePointer argb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb || SDL_LockSurface(argb.get()) != 0) {
        *reason = std::string("cannot be converted: ") + SDL_GetError();
        return false;
    }
    demo::Canvas result(argb->w, argb->h);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
        for (int x = 0; x < argb->w; ++x)
            result.pixels[static_cast<size_t>(y) * argb->w + x] = over_black(row[x]);
    }
    SDL_UnlockSurface(argb.get());
    *picture = std::move(result);
    return true;
}

}  // namespace show_tool
