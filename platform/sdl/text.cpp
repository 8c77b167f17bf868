// The glyph source: text in the bold fixed-pitch face through SDL2_ttf.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

namespace {

constexpr const char* DEFAULT_FONT_FILE =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

const char* font_file_name() {
    const char* chosen = std::getenv("QZVIEW_FONT");
    return chosen != nullptr && *chosen != '\0' ? chosen : DEFAULT_FONT_FILE;
}

}  // namespace

TTF_Font* SdlDevice::font_of_height(int height) {
    auto found = fonts_.find(height);
    if (found == fonts_.end()) found = fonts_.emplace(height, open_font_of_height(height)).first;
    return found->second;
}

void SdlDevice::report_font_failure() {
    if (font_failure_reported_) return;
    font_failure_reported_ = true;
    const std::string line = std::string("qzview: cannot open the font ") + font_file_name() +
                             ": " + SDL_GetError() + "\n";
    debug_output(line.c_str());
}

// Fonts are asked for by cell height, SDL2_ttf opens them by point size: with the bold
// mono face 13, 20 and 27 points give cells of 16, 24 and 32 pixels. The file is read
// once and each size opened from memory; without it nothing is drawn.
TTF_Font* SdlDevice::open_font_of_height(int height) {
    if (height <= 0 || font_failure_reported_) return nullptr;
    if (!ttf_ready_) ttf_ready_ = TTF_Init() == 0;
    if (ttf_ready_ && font_file_ == nullptr)
        font_file_.reset(SDL_LoadFile(font_file_name(), &font_file_size_));
    for (int points = std::max(1, height * 3 / 4); points <= height * 2; ++points) {
        SDL_RWops* bytes =
            font_file_ == nullptr
                ? nullptr
                : SDL_RWFromConstMem(font_file_.get(), static_cast<int>(font_file_size_));
        TTF_Font* font =
            ttf_ready_ && bytes != nullptr ? TTF_OpenFontRW(bytes, 1, points) : nullptr;
        if (font == nullptr) {
            report_font_failure();
            return nullptr;
        }
        if (TTF_FontHeight(font) >= height) return font;
        TTF_CloseFont(font);
    }
    return nullptr;
}

// The blended glyphs come as ARGB8888 in the text's colour: their alpha is the coverage.
bool SdlDevice::render_text(const SoftText& text, CoverageMask* mask) {
    TTF_Font* font = text.text.empty() ? nullptr : font_of_height(text.font_height);
    if (font == nullptr) return false;
    const std::string utf8 = cp1252_to_utf8(text.text);
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (glyphs == nullptr) return false;
    mask->width = glyphs->w;
    mask->height = glyphs->h;
    mask->coverage.resize(static_cast<size_t>(glyphs->w) * glyphs->h);
    for (int y = 0; y < glyphs->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(glyphs->pixels) + static_cast<size_t>(y) * glyphs->pitch);
        for (int x = 0; x < glyphs->w; ++x)
            mask->coverage[static_cast<size_t>(y) * glyphs->w + x] =
                static_cast<uint8_t>(row[x] >> 24);
    }
    SDL_FreeSurface(glyphs);
    return true;
}
