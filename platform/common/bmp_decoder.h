// Decodes Windows bitmap files (every header version, 1 to 32 bits, RLE4/RLE8,
// bit fields, top-down and bottom-up) straight into a display pixel format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

enum class PixelFormat { xrgb8888, rgb565 };

// Bytes that a resize leaves as they are instead of zero-filling them: the decoder
// writes every pixel (and clears what an RLE image leaves out itself), and clearing
// a 3 MB picture first would cost a tenth of its decoding.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <class U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

using PixelBytes = std::vector<uint8_t, UninitializedAllocator<uint8_t>>;

struct DecodedImage {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::xrgb8888;
    // Rows top to bottom, width * bytes_per_pixel(format) bytes each, no padding.
    PixelBytes pixels;
};

constexpr int bytes_per_pixel(PixelFormat format) {
    return format == PixelFormat::xrgb8888 ? 4 : 2;
}

constexpr int BMP_MAX_SIDE = 16384;
constexpr size_t BMP_MAX_PIXEL_BYTES = size_t{256} << 20;

// false, with *image untouched, for anything that is not a valid bitmap.
bool bmp_decode(const uint8_t* data, size_t size, PixelFormat format, DecodedImage* image);
// Reads the file whole with one read, then decodes it.
bool bmp_decode_file(const char* path, PixelFormat format, DecodedImage* image);

// Rows are converted with the processor's own vector instructions where it has them
// (byte shuffles for 24 bits, byte permutes for 8 bits); false keeps to the portable
// code, so that tests and benchmarks can check and time both on one machine.
void bmp_use_processor_extensions(bool use);
