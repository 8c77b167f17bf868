// Feeds arbitrary bytes to the bitmap decoder in both display formats. Besides the
// sanitizers' checks, a decoded image must match its own stated size and the limits,
// a refused one must be left alone, and the processor's vector rows must give the
// same pixels as the portable ones.
#include <cstdint>
#include <cstdlib>

#include "platform/common/bmp_decoder.h"

namespace {

int64_t read_le(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return bytes == 4 ? static_cast<int32_t>(value) : static_cast<int64_t>(value);
}

// Pictures over 65536 pixels cost milliseconds to clear and fill (with ASan), which
// would slow the fuzzer a hundredfold without reaching any new code: their rows are
// decoded by the same loops as small ones. Sizes beyond the limits are still tried,
// since the decoder refuses them before allocating anything.
bool too_slow_to_fuzz(const uint8_t* data, size_t size) {
    if (size < 26) return false;
    const bool core = read_le(data + 14, 4) == 12;
    const int64_t width = read_le(data + 18, core ? 2 : 4);
    const int64_t height = read_le(data + (core ? 20 : 22), core ? 2 : 4);
    const int64_t area = std::llabs(width) * std::llabs(height);
    return area > (int64_t{1} << 16) &&
           area <= static_cast<int64_t>(BMP_MAX_PIXEL_BYTES / bytes_per_pixel(PixelFormat::rgb565));
}

void check_decoded(const DecodedImage& image, PixelFormat format) {
    const bool sane = image.width > 0 && image.width <= BMP_MAX_SIDE && image.height > 0 &&
                      image.height <= BMP_MAX_SIDE && image.format == format &&
                      image.pixels.size() <= BMP_MAX_PIXEL_BYTES &&
                      image.pixels.size() == static_cast<size_t>(image.width) *
                                                 static_cast<size_t>(image.height) *
                                                 static_cast<size_t>(bytes_per_pixel(format));
    if (!sane) std::abort();
}

void decode_as(const uint8_t* data, size_t size, PixelFormat format) {
    DecodedImage image;
    bmp_use_processor_extensions(true);
    if (bmp_decode(data, size, format, &image)) {
        check_decoded(image, format);
        DecodedImage portable;
        bmp_use_processor_extensions(false);
        if (!bmp_decode(data, size, format, &portable) || portable.pixels != image.pixels)
            std::abort();
    } else if (image.width != 0 || image.height != 0 || !image.pixels.empty()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (too_slow_to_fuzz(data, size)) return 0;
    decode_as(data, size, PixelFormat::xrgb8888);
    decode_as(data, size, PixelFormat::rgb565);
    return 0;
}
