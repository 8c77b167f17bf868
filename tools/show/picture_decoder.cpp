#include "tools/show/picture_decoder.h"

#include <vips/vips.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "tools/show/picture_import.h"

namespace show_tool {

namespace {

// Holds one reference to a libvips object and gives it back when it goes.
template <typename T>
class Held {
  public:
    Held() = default;
    explicit Held(T* object) : object_(object) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() { reset(nullptr); }
    void reset(T* object) {
        if (object_ != nullptr) g_object_unref(object_);
        object_ = object;
    }
    T* get() const { return object_; }

  private:
    T* object_ = nullptr;
};

// libvips reports some troubles of a file only as warnings; the last of them explains a
// failure that comes without an error of its own.
std::string last_warning;

void keep_warning(const gchar*, GLogLevelFlags, const gchar* message, gpointer) {
    last_warning = message != nullptr ? message : "";
}

std::string vips_reason() {
    std::string text = vips_error_buffer();
    vips_error_clear();
    if (text.empty()) text = last_warning;
    const size_t line_end = text.find('\n');
    if (line_end != std::string::npos) text.resize(line_end);
    return text.empty() ? "the decoder gave no reason" : text;
}

// Loaders libvips marks as untrusted (not fuzzed, or through other libraries) stay
// blocked; their forms go to SDL2_image instead.
bool is_trusted(const char* loader) {
    const GType type = vips_type_find("VipsOperation", loader);
    if (type == 0) return false;
    auto* operation_class = static_cast<VipsOperationClass*>(g_type_class_ref(type));
    const bool trusted = (operation_class->flags & VIPS_OPERATION_UNTRUSTED) == 0;
    g_type_class_unref(operation_class);
    return trusted;
}

bool open_image(const std::string& path, int shrink, Held<VipsImage>* image) {
    Held<VipsSource> source(vips_source_new_from_file(path.c_str()));
    if (source.get() == nullptr) return false;
    VipsImage* opened =
        shrink > 1 ? vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                "shrink", shrink, nullptr)
                   : vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                nullptr);
    image->reset(opened);
    return opened != nullptr;
}

// The largest factor by which the JPEG decoder may shrink while reading, with the
// result still at least the size shown.
int jpeg_shrink(int width, int height, int shown_width, int shown_height) {
    for (int factor : {8, 4, 2})
        if (width / factor >= shown_width && height / factor >= shown_height) return factor;
    return 1;
}

// Applies one libvips operation to *image; false when it fails.
template <typename Operation>
bool apply(Held<VipsImage>* image, Operation operation) {
    VipsImage* result = nullptr;
    if (operation(image->get(), &result) != 0) return false;
    image->reset(result);
    return true;
}

bool to_srgb(Held<VipsImage>* image) {
    if (vips_image_get_typeof(image->get(), VIPS_META_ICC_NAME) != 0) {
        const bool transformed = apply(image, [](VipsImage* in, VipsImage** out) {
            return vips_icc_transform(in, out, "srgb", "embedded", TRUE, nullptr);
        });
        // A broken profile: the colour space's own conversion is still better than none.
        if (!transformed) vips_error_clear();
    }
    return apply(image, [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
    });
}

bool flatten(Held<VipsImage>* image, uint32_t background) {
    if (vips_image_hasalpha(image->get())) {
        double colour[3] = {double(background >> 16 & 0xFF), double(background >> 8 & 0xFF),
                            double(background & 0xFF)};
        VipsArrayDouble* array = vips_array_double_new(colour, 3);
        const bool flattened = apply(image, [array](VipsImage* in, VipsImage** out) {
            return vips_flatten(in, out, "background", array, nullptr);
        });
        vips_area_unref(VIPS_AREA(array));
        if (!flattened) return false;
    }
    if (image->get()->Bands > 3 && !apply(image, [](VipsImage* in, VipsImage** out) {
            return vips_extract_band(in, out, 0, "n", 3, nullptr);
        }))
        return false;
    return image->get()->BandFmt == VIPS_FORMAT_UCHAR ||
           apply(image,
                 [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); });
}

// The rows come from a region on the image, prepared one row at a time: the picture
// is decoded as it is scaled, and never held whole.
bool read_rows(Held<VipsImage>* image, DecodedPicture* picture) {
    VipsImage* rows_of = image->get();
    if (rows_of->Bands != 3) {
        vips_error("qzview-show", "%d colour channels where 3 were expected", rows_of->Bands);
        return false;
    }
    VipsRegion* region = vips_region_new(rows_of);
    if (region == nullptr) return false;
    g_object_ref(rows_of);
    // The rows keep the image and the region for as long as they are read.
    const std::shared_ptr<VipsImage> image_kept(rows_of, g_object_unref);
    const std::shared_ptr<VipsRegion> region_kept(region, g_object_unref);
    const int width = rows_of->Xsize;
    picture->rows = [image_kept, region_kept, width](int y) {
        VipsRect row = {0, y, width, 1};
        if (vips_region_prepare(region_kept.get(), &row) != 0)
            throw DecodingFailed{"cannot be decoded: " + vips_reason()};
        return reinterpret_cast<const uint8_t*>(VIPS_REGION_ADDR(region_kept.get(), 0, y));
    };
    picture->pixel_width = width;
    picture->pixel_height = rows_of->Ysize;
    return true;
}

std::string too_large(int width, int height) {
    return "is " + std::to_string(width) + "x" + std::to_string(height) +
           " pixels, more than the " + std::to_string(MAX_PICTURE_SIDE) +
           " on a side or 100 megapixels taken";
}

}  // namespace

Decoding decode_with_vips(const std::string& path, uint32_t background, const ShownSize& shown,
                          DecodedPicture* picture, std::string* reason) {
    if (VIPS_INIT("qzview-show") != 0) {
        *reason = "cannot start the decoder: " + vips_reason();
        return Decoding::failed;
    }
    vips_block_untrusted_set(TRUE);
    vips_concurrency_set(1);
    g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, keep_warning, nullptr);
    Held<VipsSource> probe(vips_source_new_from_file(path.c_str()));
    const char* loader =
        probe.get() != nullptr ? vips_foreign_find_load_source(probe.get()) : nullptr;
    if (loader == nullptr || !is_trusted(loader)) {
        *reason = vips_reason();
        return Decoding::unknown_format;
    }
    const bool is_jpeg = std::strstr(loader, "jpeg") != nullptr;
    Held<VipsImage> image;
    if (!open_image(path, 1, &image)) {
        *reason = "cannot be decoded: " + vips_reason();
        return Decoding::failed;
    }
    const int width = image.get()->Xsize, height = image.get()->Ysize;
    if (width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE ||
        int64_t{width} * height > MAX_PICTURE_PIXELS) {
        *reason = too_large(width, height);
        return Decoding::too_large;
    }
    const bool turned = vips_image_get_orientation_swap(image.get());
    picture->width = turned ? height : width;
    picture->height = turned ? width : height;
    int shown_width = 0, shown_height = 0;
    shown(picture->width, picture->height, &shown_width, &shown_height);
    const int shrink =
        is_jpeg ? jpeg_shrink(picture->width, picture->height, shown_width, shown_height) : 1;
    const bool decoded =
        (shrink == 1 || open_image(path, shrink, &image)) &&
        apply(&image,
              [](VipsImage* in, VipsImage** out) { return vips_autorot(in, out, nullptr); }) &&
        to_srgb(&image) && flatten(&image, background) && read_rows(&image, picture);
    if (!decoded) {
        *reason = "cannot be decoded: " + vips_reason();
        return Decoding::failed;
    }
    return Decoding::decoded;
}

}  // namespace show_tool
