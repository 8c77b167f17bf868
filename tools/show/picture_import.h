// Image files as authors have them (JPEG, PNG, WebP, GIF, TIFF, HEIF/AVIF where the
// system reads them, and BMP, TGA, ICO and the other forms of SDL2_image) turned into a
// screenshot the show can present. libvips decodes: it turns the picture upright by its
// EXIF orientation, converts CMYK and embedded colour profiles to sRGB and shrinks large
// JPEGs while it reads them. Every file is decoded in a child process with a memory
// limit, so that a decoder crash or an enormous picture costs only that file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/demo/canvas.h"
#include "tools/show/picture_scaling.h"

namespace show_tool {

// Pictures larger than this are refused from their header, before they are decoded.
constexpr int MAX_PICTURE_SIDE = 16384;
constexpr int64_t MAX_PICTURE_PIXELS = 100'000'000;

// fill: every picture as large as fits; down: a smaller picture keeps its own size.
enum class Fit { fill, down };

struct ImportSettings {
    uint32_t background = 0;  // 0xRRGGBB of the bars and under see-through pixels
    Fit fit = Fit::fill;
    int width = 1024;  // the screenshot's size
    int height = 768;
};

struct ImportedPicture {
    demo::Canvas screen{0, 0};  // width x height of the settings
    int width = 0;              // the picture's size, upright
    int height = 0;
    Placement placed{0, 0, 0, 0};  // where it lies in the screenshot
};

// Where a picture of this size goes in the screenshot.
Placement place_picture(int width, int height, const ImportSettings& settings);

class IsolatedWorker;

// The files of a batch, decoded by two worker processes at once, one taking the files
// at even places and the other those at odd ones, each a file ahead of the caller. A
// worker that crashes or runs out of memory costs the file it was on; a new worker
// takes up its share from the next file.
class PictureBatch {
  public:
    PictureBatch(const std::vector<std::string>& paths, const ImportSettings& settings);
    ~PictureBatch();
    PictureBatch(const PictureBatch&) = delete;
    PictureBatch& operator=(const PictureBatch&) = delete;

    // The next file's picture, in the order given; false with a reason as
    // import_picture gives it.
    bool next(ImportedPicture* imported, std::string* reason);

  private:
    std::vector<std::string> paths;
    ImportSettings settings;
    size_t next_file = 0;
    std::unique_ptr<IsolatedWorker> workers[2];
};

// false with the reason when the file cannot be read ("cannot be read: " and the
// system's words), is too large ("is 20000x100 pixels, more than ..."), cannot be
// decoded ("cannot be decoded: " and the decoder's words), or the decoder crashed or
// ran out of memory on it.
bool import_picture(const std::string& path, const ImportSettings& settings,
                    ImportedPicture* imported, std::string* reason);

}  // namespace show_tool
