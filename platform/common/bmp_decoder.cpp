#include "platform/common/bmp_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <immintrin.h>
#define QZVIEW_X86_ROWS 1
#else
#define QZVIEW_X86_ROWS 0
#endif

// Everything a file can get wrong is checked in parse_layout(), before anything is
// allocated or written; the pixel loops that follow cannot fail and trust the layout.
// Offsets and sizes are computed in 64 bits: a 32-bit field times a 32-bit field fits.

namespace {

bool processor_extensions_allowed = true;

// ---------------------------------------------------------------------------
// Little-endian helpers

#if defined(__BYTE_ORDER__) && defined(__ORDER_BIG_ENDIAN__) && \
    __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kBigEndianHost = true;
#else
constexpr bool kBigEndianHost = false;
#endif

uint16_t read_u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t read_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int64_t read_i32(const uint8_t* p) {
    const uint32_t u = read_u32(p);
    return u < 0x80000000u ? int64_t{u} : int64_t{u} - (int64_t{1} << 32);
}

// The destination formats are defined as little-endian words; on a big-endian host
// the pixel values are swapped once, where they are built, so the loops stay the same.
uint32_t little_endian32(uint32_t v) {
    if (!kBigEndianHost) return v;
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

uint16_t little_endian16(uint16_t v) {
    if (!kBigEndianHost) return v;
    return static_cast<uint16_t>((v >> 8) | (v << 8));
}

// ---------------------------------------------------------------------------
// Destination formats

struct ToXrgb8888 {
    using Pixel = uint32_t;
    static Pixel from_rgb(uint32_t r, uint32_t g, uint32_t b) {
        return little_endian32(r << 16 | g << 8 | b);
    }
    static Pixel from_xrgb(uint32_t xrgb) { return little_endian32(xrgb); }
};

// Narrowed by truncation, the way the display's own 565 conversions do it.
struct ToRgb565 {
    using Pixel = uint16_t;
    static Pixel from_rgb(uint32_t r, uint32_t g, uint32_t b) {
        return little_endian16(static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3));
    }
    static Pixel from_xrgb(uint32_t xrgb) {
        return little_endian16(static_cast<uint16_t>((xrgb >> 8 & 0xF800) | (xrgb >> 5 & 0x07E0) |
                                                     (xrgb >> 3 & 0x001F)));
    }
};

// memcpy keeps the stores legal on a byte buffer; compilers turn it into one move.
template <class Pixel>
inline void store(uint8_t* row, size_t x, Pixel value) {
    std::memcpy(row + x * sizeof(Pixel), &value, sizeof(Pixel));
}

// Native-order word access, for loops that only run on little-endian hosts.
inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void store64(uint8_t* p, uint64_t v) {
    std::memcpy(p, &v, 8);
}

// Two values side by side in a word, the first at the lower address.
inline uint64_t join(uint64_t first, uint64_t second, int bits) {
    return kBigEndianHost ? first << bits | second : second << bits | first;
}

// Four pixels in 64-bit stores: the hot loops issue more stores than anything else.
template <class Pixel>
inline void store4(uint8_t* row, size_t x, Pixel a, Pixel b, Pixel c, Pixel d) {
    uint8_t* out = row + x * sizeof(Pixel);
    if constexpr (sizeof(Pixel) == 4) {
        const uint64_t ab = join(a, b, 32);
        const uint64_t cd = join(c, d, 32);
        std::memcpy(out, &ab, 8);
        std::memcpy(out + 8, &cd, 8);
    } else {
        const uint64_t abcd = join(join(a, b, 16), join(c, d, 16), 32);
        std::memcpy(out, &abcd, 8);
    }
}

// ---------------------------------------------------------------------------
// Layout of a file, as read and checked from its headers

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;
constexpr uint32_t kV3HeaderSize = 56;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kOs2MinHeaderSize = 16;
constexpr uint32_t kOs2MaxHeaderSize = 64;

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

enum class HeaderKind { core, os2, info };
enum class Encoding { rgb, rle8, rle4, bitfields };

struct ChannelMasks {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

constexpr ChannelMasks kMasks555{0x7C00, 0x03E0, 0x001F};
constexpr ChannelMasks kMasks888{0xFF0000, 0x00FF00, 0x0000FF};

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool top_down = false;
    int bits = 0;
    Encoding encoding = Encoding::rgb;
    ChannelMasks masks{};
    size_t palette_offset = 0;
    int palette_entries = 0;
    int palette_entry_size = 4;
    size_t pixel_offset = 0;
};

// The fields of an info header as this decoder needs them; fields a short OS/2 2.x
// header leaves out read as zero.
struct InfoFields {
    int64_t width = 0;
    int64_t height = 0;
    int bits = 0;
    uint32_t compression = kBiRgb;
    uint32_t colors_used = 0;
};

bool classify_header(uint32_t header_size, HeaderKind* kind) {
    switch (header_size) {
        case kCoreHeaderSize:
            *kind = HeaderKind::core;
            return true;
        case kInfoHeaderSize:
        case kV2HeaderSize:
        case kV3HeaderSize:
        case kV4HeaderSize:
        case kV5HeaderSize:
            *kind = HeaderKind::info;
            return true;
        default:
            // OS/2 2.x lets a writer drop any tail of its 64-byte header.
            if (header_size < kOs2MinHeaderSize || header_size > kOs2MaxHeaderSize) return false;
            *kind = HeaderKind::os2;
            return true;
    }
}

uint32_t optional_u32(const uint8_t* header, uint32_t header_size, uint32_t offset) {
    return offset + 4 <= header_size ? read_u32(header + offset) : 0;
}

InfoFields read_info_fields(const uint8_t* header, uint32_t header_size, HeaderKind kind) {
    InfoFields fields;
    if (kind == HeaderKind::core) {
        fields.width = read_u16(header + 4);
        fields.height = read_u16(header + 6);
        fields.bits = read_u16(header + 10);
        return fields;
    }
    fields.width = read_i32(header + 4);
    fields.height = read_i32(header + 8);
    fields.bits = read_u16(header + 14);
    fields.compression = optional_u32(header, header_size, 16);
    fields.colors_used = optional_u32(header, header_size, 32);
    return fields;
}

// Which depths go with which compression. OS/2 2.x uses 3 and 4 for its own Huffman
// and 24-bit RLE schemes, which are not supported, so bit fields need a Windows header.
bool select_encoding(const InfoFields& fields, HeaderKind kind, Encoding* encoding) {
    const int bits = fields.bits;
    switch (fields.compression) {
        case kBiRgb:
            *encoding = Encoding::rgb;
            return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
                   bits == 32;
        case kBiRle8:
            *encoding = Encoding::rle8;
            return bits == 8;
        case kBiRle4:
            *encoding = Encoding::rle4;
            return bits == 4;
        case kBiBitfields:
        case kBiAlphaBitfields:
            *encoding = Encoding::bitfields;
            return kind == HeaderKind::info && (bits == 16 || bits == 32);
        default:
            return false;
    }
}

bool read_dimensions(const InfoFields& fields, BmpLayout* layout) {
    if (fields.width <= 0 || fields.width > BMP_MAX_SIDE) return false;
    // read_i32 widens to 64 bits, so INT32_MIN negates without overflow and is then
    // refused as too tall like any other height beyond the limit.
    const int64_t height = fields.height < 0 ? -fields.height : fields.height;
    if (height == 0 || height > BMP_MAX_SIDE) return false;
    layout->width = static_cast<int>(fields.width);
    layout->height = static_cast<int>(height);
    layout->top_down = fields.height < 0;
    return true;
}

// Masks sit in the header from V2 on, and in the 12 bytes (16 with an alpha mask)
// after a 40-byte header. Returns where the masks end, 0 when the file is too short.
size_t read_masks(const uint8_t* data, size_t size, uint32_t header_size, uint32_t compression,
                  ChannelMasks* masks) {
    const size_t header_end = kFileHeaderSize + header_size;
    const uint8_t* header = data + kFileHeaderSize;
    if (header_size >= kV2HeaderSize) {
        *masks = {read_u32(header + 40), read_u32(header + 44), read_u32(header + 48)};
        return header_end;
    }
    const size_t mask_bytes = compression == kBiAlphaBitfields ? 16 : 12;
    if (size < header_end + mask_bytes) return 0;
    const uint8_t* after = data + header_end;
    *masks = {read_u32(after), read_u32(after + 4), read_u32(after + 8)};
    return header_end + mask_bytes;
}

// A palette shorter than 2^bits entries leaves the other indexes black. The palette is
// cut where the pixel data starts, so it never overlaps the pixels.
void set_palette(const InfoFields& fields, HeaderKind kind, BmpLayout* layout) {
    if (layout->bits > 8) return;
    const uint32_t full = 1u << layout->bits;
    const bool declared = kind != HeaderKind::core && fields.colors_used != 0;
    const uint32_t wanted = declared ? std::min(fields.colors_used, full) : full;
    layout->palette_entry_size = kind == HeaderKind::core ? 3 : 4;
    const size_t room = (layout->pixel_offset - layout->palette_offset) /
                        static_cast<size_t>(layout->palette_entry_size);
    layout->palette_entries = static_cast<int>(std::min<size_t>(wanted, room));
}

uint64_t source_stride(const BmpLayout& layout) {
    return (uint64_t{static_cast<uint32_t>(layout.width)} * static_cast<uint32_t>(layout.bits) +
            31) /
           32 * 4;
}

// Uncompressed data must hold every row; only the last row's padding may be missing,
// as some writers leave it out. An RLE stream needs at least one two-byte command.
bool pixel_data_fits(const BmpLayout& layout, size_t size) {
    const uint64_t available = uint64_t{size} - layout.pixel_offset;
    if (layout.encoding == Encoding::rle8 || layout.encoding == Encoding::rle4)
        return available >= 2;
    const uint64_t last_row_bytes =
        (uint64_t{static_cast<uint32_t>(layout.width)} * static_cast<uint32_t>(layout.bits) + 7) /
        8;
    const uint64_t needed =
        source_stride(layout) * static_cast<uint32_t>(layout.height - 1) + last_row_bytes;
    return needed <= available;
}

bool parse_layout(const uint8_t* data, size_t size, PixelFormat format, BmpLayout* layout) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t header_size = read_u32(data + kFileHeaderSize);
    HeaderKind kind;
    if (!classify_header(header_size, &kind)) return false;
    if (size < kFileHeaderSize + header_size) return false;

    const InfoFields fields = read_info_fields(data + kFileHeaderSize, header_size, kind);
    if (!select_encoding(fields, kind, &layout->encoding)) return false;
    layout->bits = fields.bits;
    if (!read_dimensions(fields, layout)) return false;
    // Windows refuses top-down RLE bitmaps; the Windows backend loads pictures with
    // it, so doing the same here keeps a show looking the same on every backend.
    if (layout->top_down && layout->encoding != Encoding::rgb &&
        layout->encoding != Encoding::bitfields)
        return false;
    const uint64_t pixel_bytes = uint64_t{static_cast<uint32_t>(layout->width)} *
                                 static_cast<uint32_t>(layout->height) *
                                 static_cast<uint32_t>(bytes_per_pixel(format));
    if (pixel_bytes > BMP_MAX_PIXEL_BYTES) return false;

    size_t headers_end = kFileHeaderSize + header_size;
    if (layout->encoding == Encoding::bitfields) {
        headers_end = read_masks(data, size, header_size, fields.compression, &layout->masks);
        if (headers_end == 0) return false;
    } else {
        layout->masks = layout->bits == 16 ? kMasks555 : kMasks888;
    }
    layout->pixel_offset = read_u32(data + 10);
    if (layout->pixel_offset < headers_end || layout->pixel_offset > size) return false;
    layout->palette_offset = headers_end;
    set_palette(fields, kind, layout);
    return pixel_data_fits(*layout, size);
}

// ---------------------------------------------------------------------------
// Palettes

// Always 256 entries, black past the file's palette, so any index is a safe lookup.
template <class Dest>
struct Palette {
    typename Dest::Pixel entries[256] = {};
};

template <class Dest>
void load_palette(const uint8_t* data, const BmpLayout& layout, Palette<Dest>* palette) {
    const uint8_t* entry = data + layout.palette_offset;
    for (int i = 0; i < layout.palette_entries; ++i, entry += layout.palette_entry_size)
        palette->entries[i] = Dest::from_rgb(entry[2], entry[1], entry[0]);
}

// ---------------------------------------------------------------------------
// Bit fields

// Widens an n-bit channel (n <= 8) to 8 bits by repeating its bits, so that full
// intensity stays full: 5-bit 31 becomes 255, 1-bit 1 becomes 255.
uint8_t replicate_bits(uint32_t value, int width) {
    if (width == 0) return 0;
    uint32_t out = 0;
    for (int shift = 8 - width; shift > -width; shift -= width)
        out |= shift >= 0 ? value << shift : value >> -shift;
    return static_cast<uint8_t>(out);
}

int lowest_set_bit(uint32_t mask) {
    int bit = 0;
    while (!(mask & (1u << bit)))
        ++bit;
    return bit;
}

int highest_set_bit(uint32_t mask) {
    int bit = 31;
    while (!(mask & (1u << bit)))
        --bit;
    return bit;
}

// One channel of a bit-field pixel: (pixel & mask) >> shift is at most 8 bits, and
// widen[] turns it into 0..255. A zero mask gives 0. A mask wider than 8 bits keeps
// its top 8. A mask with holes is read over its whole span, the holes counting as
// zero bits, which is harmless and needs no special case.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint8_t widen[256] = {};

    Channel(uint32_t field_mask, int pixel_bits) {
        if (pixel_bits < 32) field_mask &= (1u << pixel_bits) - 1;
        if (field_mask == 0) return;
        const int low = lowest_set_bit(field_mask);
        const int span = highest_set_bit(field_mask) - low + 1;
        const int width = std::min(span, 8);
        shift = low + span - width;
        mask = field_mask & ~((1u << shift) - 1);
        for (uint32_t v = 0; v < (1u << width); ++v)
            widen[v] = replicate_bits(v, width);
    }

    uint32_t extract(uint32_t pixel) const { return widen[(pixel & mask) >> shift]; }
};

struct BitfieldChannels {
    Channel red;
    Channel green;
    Channel blue;

    BitfieldChannels(const ChannelMasks& masks, int bits)
        : red(masks.red, bits), green(masks.green, bits), blue(masks.blue, bits) {}
};

// ---------------------------------------------------------------------------
// Uncompressed rows, one function per source layout

// Unrolled by four: one load of four indexes, four independent lookups, two stores.
template <class Dest>
void convert_row_8(const uint8_t* src, uint8_t* dst, int width,
                   const typename Dest::Pixel* palette) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const uint32_t four = read_u32(src + x);
        store4(dst, x, palette[four & 0xFF], palette[(four >> 8) & 0xFF],
               palette[(four >> 16) & 0xFF], palette[four >> 24]);
    }
    for (; x < width; ++x)
        store(dst, x, palette[src[x]]);
}

// Two pixels per lookup: every pair of palette entries, side by side as they are
// stored, at the index that the pair's two bytes read as a little-endian word. The
// 65536 pairs (512 KiB for 32-bit pixels) take a hundredth of a millisecond to build
// and halve the lookups, which bound the loop above; pictures repeat their pairs
// enough to keep the table's used part in the cache. Worth it from this size on:
constexpr size_t kPairTableMinPixels = size_t{1} << 17;

template <class Dest>
class PairTable {
  public:
    using Pixel = typename Dest::Pixel;
    static constexpr size_t kPairBytes = 2 * sizeof(Pixel);

    // Empty when the memory cannot be had; the rows then take the loop above.
    explicit PairTable(const Pixel* palette) {
        thread_local std::unique_ptr<uint8_t[]> storage;
        if (!storage) storage.reset(new (std::nothrow) uint8_t[65536 * 2 * sizeof(uint32_t)]);
        pairs_ = storage.get();
        if (pairs_ == nullptr) return;
        for (uint32_t second = 0; second < 256; ++second) {
            uint8_t* row = pairs_ + second * 256 * kPairBytes;
            for (uint32_t first = 0; first < 256; ++first) {
                const auto pair =
                    static_cast<PairWord>(join(palette[first], palette[second], 8 * sizeof(Pixel)));
                std::memcpy(row + first * kPairBytes, &pair, kPairBytes);
            }
        }
    }

    bool ready() const { return pairs_ != nullptr; }

    void convert_row(const uint8_t* src, uint8_t* dst, int width, const Pixel* palette) const {
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            const uint32_t low = read_u32(src + x);
            const uint32_t high = read_u32(src + x + 4);
            copy_pair(low & 0xFFFF, dst, x);
            copy_pair(low >> 16, dst, x + 2);
            copy_pair(high & 0xFFFF, dst, x + 4);
            copy_pair(high >> 16, dst, x + 6);
        }
        for (; x + 2 <= width; x += 2)
            copy_pair(read_u16(src + x), dst, x);
        if (x < width) store(dst, x, palette[src[x]]);
    }

  private:
    using PairWord = std::conditional_t<sizeof(Pixel) == 4, uint64_t, uint32_t>;

    void copy_pair(uint32_t indexes, uint8_t* dst, int x) const {
        std::memcpy(dst + static_cast<size_t>(x) * sizeof(Pixel), pairs_ + indexes * kPairBytes,
                    kPairBytes);
    }

    uint8_t* pairs_ = nullptr;
};

#if QZVIEW_X86_ROWS
bool cpu_has_byte_permutes() {
    static const bool has =
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return has && processor_extensions_allowed;
}

// The palette as three planes of 256 bytes (blue, green, red) for the byte permutes.
struct PalettePlanes {
    uint8_t bytes[3][256];

    explicit PalettePlanes(const uint32_t* xrgb) {
        for (int i = 0; i < 256; ++i) {
            bytes[0][i] = static_cast<uint8_t>(xrgb[i]);
            bytes[1][i] = static_cast<uint8_t>(xrgb[i] >> 8);
            bytes[2][i] = static_cast<uint8_t>(xrgb[i] >> 16);
        }
    }
};

// Two 128-bit lanes of a and two of b, as the pattern picks them. (The masked form with
// every lane kept: GCC warns of the plain form's undefined merge source.)
template <int kPattern>
__attribute__((target("avx512f"))) inline __m512i shuffle_lanes(__m512i a, __m512i b) {
    return _mm512_maskz_shuffle_i64x2(0xFF, a, b, kPattern);
}

// Sixty-four pixels a step, at the speed of a copy: a byte permute looks 64 indexes up
// in 128 entries of one plane at once, the index's top bit picks the half, and byte
// and word interleaves make XRGB words of the three planes. Returns how many pixels of
// the row it converted; the loads stay inside the row.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int convert_row_8_to_xrgb_permutes(
    const uint8_t* src, uint8_t* dst, int width, const PalettePlanes& planes) {
    // quarter[c][q]: entries 64q..64q+63 of plane c.
    __m512i quarter[3][4];
    for (int c = 0; c < 3; ++c)
        for (int q = 0; q < 4; ++q)
            quarter[c][q] = _mm512_loadu_si512(planes.bytes[c] + 64 * q);
    const __m512i zero = _mm512_setzero_si512();
    int x = 0;
    for (; x + 64 <= width; x += 64) {
        const __m512i index = _mm512_loadu_si512(src + x);
        const __mmask64 upper_half = _mm512_movepi8_mask(index);
        __m512i plane[3];
        for (int c = 0; c < 3; ++c) {
            plane[c] = _mm512_mask_blend_epi8(
                upper_half, _mm512_permutex2var_epi8(quarter[c][0], index, quarter[c][1]),
                _mm512_permutex2var_epi8(quarter[c][2], index, quarter[c][3]));
        }
        // Within each 16-byte lane: blue-green and red-zero byte pairs, then words of
        // four bytes; lane k of words[j] holds pixels 16k + 4j to 16k + 4j + 3.
        const __m512i blue_green_low = _mm512_unpacklo_epi8(plane[0], plane[1]);
        const __m512i blue_green_high = _mm512_unpackhi_epi8(plane[0], plane[1]);
        const __m512i red_low = _mm512_unpacklo_epi8(plane[2], zero);
        const __m512i red_high = _mm512_unpackhi_epi8(plane[2], zero);
        const __m512i words[4] = {_mm512_unpacklo_epi16(blue_green_low, red_low),
                                  _mm512_unpackhi_epi16(blue_green_low, red_low),
                                  _mm512_unpacklo_epi16(blue_green_high, red_high),
                                  _mm512_unpackhi_epi16(blue_green_high, red_high)};
        // Lanes back in pixel order: output register k takes lane k of words[0..3].
        const __m512i lanes01_of_01 = shuffle_lanes<0x44>(words[0], words[1]);
        const __m512i lanes01_of_23 = shuffle_lanes<0x44>(words[2], words[3]);
        const __m512i lanes23_of_01 = shuffle_lanes<0xEE>(words[0], words[1]);
        const __m512i lanes23_of_23 = shuffle_lanes<0xEE>(words[2], words[3]);
        uint8_t* out = dst + 4 * static_cast<size_t>(x);
        _mm512_storeu_si512(out, shuffle_lanes<0x88>(lanes01_of_01, lanes01_of_23));
        _mm512_storeu_si512(out + 64, shuffle_lanes<0xDD>(lanes01_of_01, lanes01_of_23));
        _mm512_storeu_si512(out + 128, shuffle_lanes<0x88>(lanes23_of_01, lanes23_of_23));
        _mm512_storeu_si512(out + 192, shuffle_lanes<0xDD>(lanes23_of_01, lanes23_of_23));
    }
    return x;
}
#endif

// 1, 2 and 4 bits: pixels packed from the high bits of each byte down.
template <class Dest, int Bits>
void convert_row_packed(const uint8_t* src, uint8_t* dst, int width,
                        const typename Dest::Pixel* palette) {
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kIndexMask = (1u << Bits) - 1;
    int x = 0;
    for (; x + kPerByte <= width; x += kPerByte) {
        const unsigned byte = *src++;
        for (int k = 0; k < kPerByte; ++k)
            store(dst, x + k, palette[(byte >> (8 - Bits * (k + 1))) & kIndexMask]);
    }
    for (int k = 0; x < width; ++x, ++k)
        store(dst, x, palette[(*src >> (8 - Bits * (k + 1))) & kIndexMask]);
}

// 24 bits, the most common form of screenshot: four pixels from three word loads
// rather than three byte loads and shifts per pixel.
template <class Dest>
void convert_row_bgr24(const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, src += 12) {
        const uint32_t b0g0r0b1 = read_u32(src);
        const uint32_t g1r1b2g2 = read_u32(src + 4);
        const uint32_t r2b3g3r3 = read_u32(src + 8);
        store4(dst, x, Dest::from_xrgb(b0g0r0b1 & 0xFFFFFF),
               Dest::from_xrgb(b0g0r0b1 >> 24 | (g1r1b2g2 & 0xFFFF) << 8),
               Dest::from_xrgb(g1r1b2g2 >> 16 | (r2b3g3r3 & 0xFF) << 16),
               Dest::from_xrgb(r2b3g3r3 >> 8));
    }
    for (; x < width; ++x, src += 3)
        store(dst, x, Dest::from_rgb(src[2], src[1], src[0]));
}

#if QZVIEW_X86_ROWS
bool cpu_has_ssse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has && processor_extensions_allowed;
}

// Sixteen pixels from three 16-byte loads: each group of four pixels is twelve
// bytes that one byte shuffle spreads into four words, the fourth byte cleared.
// Returns how many pixels of the row it converted; the loads stay inside the row.
__attribute__((target("ssse3"))) int convert_row_bgr24_to_xrgb_ssse3(const uint8_t* src,
                                                                     uint8_t* dst, int width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = 0;
    for (; x + 16 <= width; x += 16, src += 48, dst += 64) {
        const __m128i bytes0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i bytes32 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i pixels0 = bytes0;
        const __m128i pixels4 = _mm_alignr_epi8(bytes16, bytes0, 12);
        const __m128i pixels8 = _mm_alignr_epi8(bytes32, bytes16, 8);
        const __m128i pixels12 = _mm_srli_si128(bytes32, 4);
        __m128i* out = reinterpret_cast<__m128i*>(dst);
        _mm_storeu_si128(out, _mm_shuffle_epi8(pixels0, spread));
        _mm_storeu_si128(out + 1, _mm_shuffle_epi8(pixels4, spread));
        _mm_storeu_si128(out + 2, _mm_shuffle_epi8(pixels8, spread));
        _mm_storeu_si128(out + 3, _mm_shuffle_epi8(pixels12, spread));
    }
    return x;
}
#endif

// The same into XRGB on a little-endian host: eight pixels from three 64-bit loads
// into four 64-bit stores, which takes a fifth less time again; the loop is bound by
// its instruction count rather than by memory. Processors with byte shuffles (nearly
// all x86 ones in use) take sixteen at a time first, in a third of the time.
void convert_row_bgr24_to_xrgb(const uint8_t* src, uint8_t* dst, int width) {
    int x = 0;
#if QZVIEW_X86_ROWS
    if (cpu_has_ssse3()) {
        x = convert_row_bgr24_to_xrgb_ssse3(src, dst, width);
        src += 3 * static_cast<size_t>(x);
        dst += 4 * static_cast<size_t>(x);
    }
#endif
    for (; x + 8 <= width; x += 8, src += 24, dst += 32) {
        const uint64_t in0 = load64(src);
        const uint64_t in1 = load64(src + 8);
        const uint64_t in2 = load64(src + 16);
        store64(dst, (in0 & 0xFFFFFF) | (in0 << 8 & 0xFFFFFF00000000));
        store64(dst + 8, in0 >> 48 | (in1 & 0xFF) << 16 | (in1 << 24 & 0xFFFFFF00000000));
        store64(dst + 16,
                (in1 >> 32 & 0xFFFFFF) | (in1 >> 24 & 0xFF00000000) | (in2 & 0xFFFF) << 40);
        store64(dst + 24, (in2 >> 16 & 0xFFFFFF) | (in2 >> 8 & 0xFFFFFF00000000));
    }
    convert_row_bgr24<ToXrgb8888>(src, dst, width - x);
}

// 32 bits whose fourth byte is unused.
template <class Dest>
void convert_row_bgrx(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 4)
        store(dst, x, Dest::from_xrgb(read_u32(src) & 0xFFFFFF));
}

template <class Dest, int SrcBytes>
void convert_row_bitfields(const uint8_t* src, uint8_t* dst, int width,
                           const BitfieldChannels& channels) {
    for (int x = 0; x < width; ++x, src += SrcBytes) {
        const uint32_t pixel = SrcBytes == 2 ? read_u16(src) : read_u32(src);
        store(dst, x,
              Dest::from_rgb(channels.red.extract(pixel), channels.green.extract(pixel),
                             channels.blue.extract(pixel)));
    }
}

// Calls convert(source_row, destination_row) for every row, top row first.
template <class Dest, class ConvertRow>
void convert_rows(const uint8_t* data, const BmpLayout& layout, uint8_t* pixels,
                  ConvertRow convert) {
    const size_t stride = static_cast<size_t>(source_stride(layout));
    const size_t dst_row_bytes = static_cast<size_t>(layout.width) * sizeof(typename Dest::Pixel);
    const uint8_t* first = data + layout.pixel_offset;
    for (int y = 0; y < layout.height; ++y) {
        const int source_row = layout.top_down ? y : layout.height - 1 - y;
        convert(first + static_cast<size_t>(source_row) * stride,
                pixels + static_cast<size_t>(y) * dst_row_bytes);
    }
}

// The processor's byte permutes where it has them, else pairs for large pictures.
template <class Dest>
void decode_8(const uint8_t* data, const BmpLayout& layout, uint8_t* pixels,
              const typename Dest::Pixel* colors) {
    const int width = layout.width;
#if QZVIEW_X86_ROWS
    if constexpr (std::is_same_v<Dest, ToXrgb8888> && !kBigEndianHost) {
        if (cpu_has_byte_permutes() && width >= 64) {
            const PalettePlanes planes(colors);
            convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
                const int x = convert_row_8_to_xrgb_permutes(src, dst, width, planes);
                convert_row_8<Dest>(src + x, dst + 4 * static_cast<size_t>(x), width - x, colors);
            });
            return;
        }
    }
#endif
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(layout.height);
    if (area >= kPairTableMinPixels) {
        const PairTable<Dest> pairs(colors);
        if (pairs.ready()) {
            convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
                pairs.convert_row(src, dst, width, colors);
            });
            return;
        }
    }
    convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
        convert_row_8<Dest>(src, dst, width, colors);
    });
}

template <class Dest>
void decode_indexed(const uint8_t* data, const BmpLayout& layout, uint8_t* pixels) {
    Palette<Dest> palette;
    load_palette(data, layout, &palette);
    const typename Dest::Pixel* colors = palette.entries;
    const int width = layout.width;
    auto rows = [&](auto convert_row) {
        convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
            convert_row(src, dst, width, colors);
        });
    };
    switch (layout.bits) {
        case 1:
            rows(convert_row_packed<Dest, 1>);
            break;
        case 2:
            rows(convert_row_packed<Dest, 2>);
            break;
        case 4:
            rows(convert_row_packed<Dest, 4>);
            break;
        default:
            decode_8<Dest>(data, layout, pixels, colors);
            break;
    }
}

bool is_standard_888(const ChannelMasks& masks) {
    return masks.red == kMasks888.red && masks.green == kMasks888.green &&
           masks.blue == kMasks888.blue;
}

template <class Dest>
void decode_direct(const uint8_t* data, const BmpLayout& layout, uint8_t* pixels) {
    const int width = layout.width;
    if (layout.bits == 24) {
        convert_rows<Dest>(data, layout, pixels, [width](const uint8_t* src, uint8_t* dst) {
            if constexpr (std::is_same_v<Dest, ToXrgb8888> && !kBigEndianHost) {
                convert_row_bgr24_to_xrgb(src, dst, width);
            } else {
                convert_row_bgr24<Dest>(src, dst, width);
            }
        });
        return;
    }
    if (layout.bits == 32 && is_standard_888(layout.masks)) {
        convert_rows<Dest>(data, layout, pixels, [width](const uint8_t* src, uint8_t* dst) {
            convert_row_bgrx<Dest>(src, dst, width);
        });
        return;
    }
    const BitfieldChannels channels(layout.masks, layout.bits);
    if (layout.bits == 16) {
        convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
            convert_row_bitfields<Dest, 2>(src, dst, width, channels);
        });
    } else {
        convert_rows<Dest>(data, layout, pixels, [&](const uint8_t* src, uint8_t* dst) {
            convert_row_bitfields<Dest, 4>(src, dst, width, channels);
        });
    }
}

// ---------------------------------------------------------------------------
// RLE8 and RLE4

// Runs make up most of an RLE picture, so they are written sixteen bytes at a time.
// Blocks hold an even number of pixels, so the colors keep alternating across them.
template <class Pixel>
void fill_run(uint8_t* row, int x, int count, Pixel even, Pixel odd) {
    constexpr int kBlockBytes = 16;
    constexpr int kPerBlock = kBlockBytes / sizeof(Pixel);
    uint8_t pattern[kBlockBytes];
    for (int k = 0; k < kPerBlock; ++k)
        std::memcpy(pattern + k * sizeof(Pixel), k % 2 ? &odd : &even, sizeof(Pixel));
    uint8_t* out = row + static_cast<size_t>(x) * sizeof(Pixel);
    int i = 0;
    for (; i + kPerBlock <= count; i += kPerBlock, out += kBlockBytes)
        std::memcpy(out, pattern, kBlockBytes);
    for (; i < count; ++i, out += sizeof(Pixel))
        std::memcpy(out, i % 2 ? &odd : &even, sizeof(Pixel));
}

template <class Dest, int Bits>
class RleDecoder {
  public:
    using Pixel = typename Dest::Pixel;

    RleDecoder(const uint8_t* stream, size_t length, const Pixel* palette, const BmpLayout& layout,
               uint8_t* pixels)
        : stream_(stream),
          length_(length),
          palette_(palette),
          width_(layout.width),
          height_(layout.height),
          row_bytes_(static_cast<size_t>(layout.width) * sizeof(Pixel)),
          pixels_(pixels) {
        move_to_row(0);
    }

    void decode() {
        while (pos_ + 2 <= length_) {
            const int count = stream_[pos_];
            const int value = stream_[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                repeat(count, value);
            } else if (value == 0) {
                x_ = 0;
                if (!move_to_row(y_ + 1)) return;
            } else if (value == 1) {
                return;
            } else if (value == 2) {
                if (!delta()) return;
            } else {
                literal(value);
            }
        }
    }

  private:
    // Rows count up from the bottom of the picture.
    bool move_to_row(int y) {
        y_ = y;
        if (y_ >= height_) return false;
        row_ = pixels_ + static_cast<size_t>(height_ - 1 - y_) * row_bytes_;
        return true;
    }

    int visible(int count) const { return std::min(count, width_ - x_); }

    // RLE4 runs alternate the two colors of their byte; RLE8 runs repeat one.
    void repeat(int count, int value) {
        const int n = visible(count);
        if (Bits == 8) {
            fill_run(row_, x_, n, palette_[value], palette_[value]);
        } else {
            fill_run(row_, x_, n, palette_[value >> 4], palette_[value & 15]);
        }
        x_ += n;
    }

    // Absolute runs are padded to a 16-bit boundary.
    void literal(int count) {
        const size_t bytes = Bits == 8 ? count : (count + 1) / 2;
        const size_t present = std::min(bytes, length_ - pos_);
        const int readable =
            static_cast<int>(Bits == 8 ? present : std::min<size_t>(count, present * 2));
        const int n = visible(readable);
        const uint8_t* src = stream_ + pos_;
        if (Bits == 8) {
            for (int i = 0; i < n; ++i)
                store(row_, x_ + i, palette_[src[i]]);
        } else {
            for (int i = 0; i < n; ++i) {
                const int shift = (i & 1) ? 0 : 4;
                store(row_, x_ + i, palette_[(src[i >> 1] >> shift) & 15]);
            }
        }
        x_ += visible(count);
        pos_ += (bytes + 1) & ~size_t{1};
    }

    bool delta() {
        if (pos_ + 2 > length_) return false;
        const int dx = stream_[pos_];
        const int dy = stream_[pos_ + 1];
        pos_ += 2;
        x_ += visible(dx);
        return dy == 0 || move_to_row(y_ + dy);
    }

    const uint8_t* stream_;
    size_t length_;
    const Pixel* palette_;
    int width_;
    int height_;
    size_t row_bytes_;
    uint8_t* pixels_;
    size_t pos_ = 0;
    int x_ = 0;
    int y_ = 0;
    uint8_t* row_ = nullptr;
};

template <class Dest>
void decode_rle(const uint8_t* data, size_t size, const BmpLayout& layout, uint8_t* pixels) {
    Palette<Dest> palette;
    load_palette(data, layout, &palette);
    // Pixels the stream skips with deltas, ends of lines or an early end stay black.
    std::memset(pixels, 0,
                static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height) *
                    sizeof(typename Dest::Pixel));
    const uint8_t* stream = data + layout.pixel_offset;
    const size_t length = size - layout.pixel_offset;
    if (layout.encoding == Encoding::rle8) {
        RleDecoder<Dest, 8>(stream, length, palette.entries, layout, pixels).decode();
    } else {
        RleDecoder<Dest, 4>(stream, length, palette.entries, layout, pixels).decode();
    }
}

// ---------------------------------------------------------------------------

template <class Dest>
void decode_pixels(const uint8_t* data, size_t size, const BmpLayout& layout, uint8_t* pixels) {
    switch (layout.encoding) {
        case Encoding::rle8:
        case Encoding::rle4:
            decode_rle<Dest>(data, size, layout, pixels);
            break;
        case Encoding::rgb:
        case Encoding::bitfields:
            if (layout.bits <= 8) {
                decode_indexed<Dest>(data, layout, pixels);
            } else {
                decode_direct<Dest>(data, layout, pixels);
            }
            break;
    }
}

// Files no valid bitmap could need are not read at all: the largest pixel data the
// limits allow is 32-bit pixels for a full-size 16-bit destination, twice
// BMP_MAX_PIXEL_BYTES; the rest leaves room for headers, palettes and gaps.
constexpr long kMaxFileBytes = static_cast<long>(2 * BMP_MAX_PIXEL_BYTES + (16u << 20));

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool bmp_decode(const uint8_t* data, size_t size, PixelFormat format, DecodedImage* image) {
    BmpLayout layout;
    if (data == nullptr || !parse_layout(data, size, format, &layout)) return false;
    PixelBytes pixels;
    try {
        pixels.resize(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height) *
                      static_cast<size_t>(bytes_per_pixel(format)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (format == PixelFormat::xrgb8888) {
        decode_pixels<ToXrgb8888>(data, size, layout, pixels.data());
    } else {
        decode_pixels<ToRgb565>(data, size, layout, pixels.data());
    }
    image->width = layout.width;
    image->height = layout.height;
    image->format = format;
    image->pixels = std::move(pixels);
    return true;
}

void bmp_use_processor_extensions(bool use) {
    processor_extensions_allowed = use;
}

bool bmp_decode_file(const char* path, PixelFormat format, DecodedImage* image) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size <= 0 || size > kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    // Not a vector: its zero fill would cost as much as the read.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (!bytes) return false;
    const size_t length = static_cast<size_t>(size);
    if (std::fread(bytes.get(), 1, length, file.get()) != length) return false;
    file.reset();
    return bmp_decode(bytes.get(), length, format, image);
}
