#include "platform/web/glyph_atlas.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char MAGIC[8] = {'Q', 'Z', 'G', 'L', 'Y', 'P', 'H', '1'};

void put16(std::vector<uint8_t>* out, int value) {
    out->push_back(static_cast<uint8_t>(value & 0xFF));
    out->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Reads the atlas's little-endian fields one after the other; once a read runs past
// the end every later one fails too.
class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    bool at_end() const { return at_ == bytes_.size(); }
    int u8() { return available(1) ? bytes_[at_++] : 0; }
    int s16() {
        if (!available(2)) return 0;
        const auto value = static_cast<int16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    bool bytes(size_t count, std::vector<uint8_t>* out) {
        if (!available(count)) return false;
        out->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                    bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += count;
        return true;
    }

  private:
    bool available(size_t count) {
        ok_ = ok_ && bytes_.size() - at_ >= count;
        return ok_;
    }
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

bool read_glyph(Reader* in, AtlasGlyph* glyph) {
    glyph->left = in->s16();
    glyph->top = in->s16();
    glyph->width = in->s16();
    glyph->rows = in->s16();
    glyph->advance = in->s16();
    if (glyph->width < 0 || glyph->rows < 0) return false;
    return in->bytes(static_cast<size_t>(glyph->width) * glyph->rows, &glyph->coverage);
}

// Where each glyph of a line lands, and the box round them all, worked out as
// SDL2_ttf does: the box holds every glyph image, the pen's end and the font's line
// height, and starts left of or above the pen's start when an image reaches there.
struct LineLayout {
    std::vector<int> pen_x;
    int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
};

LineLayout lay_out(const AtlasFont& font, const std::string& text) {
    LineLayout line;
    line.max_y = font.line_height;
    int pen = 0;
    for (unsigned char byte : text) {
        const AtlasGlyph& glyph = font.glyphs[byte];
        line.pen_x.push_back(pen);
        const int x = pen + glyph.left;
        const int y = font.ascent - glyph.top;
        line.min_x = std::min(line.min_x, x);
        line.max_x = std::max(line.max_x, x + glyph.width);
        line.min_y = std::min(line.min_y, y);
        line.max_y = std::max(line.max_y, y + glyph.rows);
        pen += glyph.advance;
    }
    line.max_x = std::max(line.max_x, pen);
    return line;
}

}  // namespace

void GlyphAtlas::add_font(AtlasFont font) {
    fonts_.push_back(std::move(font));
}

const AtlasFont* GlyphAtlas::font(int cell_height) const {
    for (const AtlasFont& font : fonts_)
        if (font.cell_height == cell_height) return &font;
    return nullptr;
}

std::vector<uint8_t> GlyphAtlas::to_bytes() const {
    std::vector<uint8_t> out(MAGIC, MAGIC + sizeof MAGIC);
    out.push_back(static_cast<uint8_t>(fonts_.size()));
    for (const AtlasFont& font : fonts_) {
        put16(&out, font.cell_height);
        put16(&out, font.line_height);
        put16(&out, font.ascent);
        for (const AtlasGlyph& glyph : font.glyphs) {
            for (int field : {glyph.left, glyph.top, glyph.width, glyph.rows, glyph.advance})
                put16(&out, field);
            out.insert(out.end(), glyph.coverage.begin(), glyph.coverage.end());
        }
    }
    return out;
}

bool GlyphAtlas::from_bytes(const std::vector<uint8_t>& bytes) {
    fonts_.clear();
    if (bytes.size() < sizeof MAGIC || std::memcmp(bytes.data(), MAGIC, sizeof MAGIC) != 0)
        return false;
    const std::vector<uint8_t> body(bytes.begin() + sizeof MAGIC, bytes.end());
    Reader in(body);
    const int count = in.u8();
    std::vector<AtlasFont> fonts(static_cast<size_t>(count));
    for (AtlasFont& font : fonts) {
        font.cell_height = in.s16();
        font.line_height = in.s16();
        font.ascent = in.s16();
        for (AtlasGlyph& glyph : font.glyphs)
            if (!read_glyph(&in, &glyph)) return false;
    }
    if (!in.ok() || !in.at_end()) return false;
    fonts_ = std::move(fonts);
    return true;
}

// Overlapping glyphs combine as in SDL2_ttf: their coverage bytes are or-ed.
bool GlyphAtlas::render(int cell_height, const std::string& text, CoverageMask* mask) const {
    const AtlasFont* found = font(cell_height);
    if (found == nullptr || text.empty()) return false;
    const LineLayout line = lay_out(*found, text);
    mask->width = line.max_x - line.min_x;
    mask->height = line.max_y - line.min_y;
    if (mask->width <= 0) return false;
    mask->coverage.assign(static_cast<size_t>(mask->width) * mask->height, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        const AtlasGlyph& glyph = found->glyphs[static_cast<unsigned char>(text[i])];
        const int x0 = line.pen_x[i] + glyph.left - line.min_x;
        const int y0 = found->ascent - glyph.top - line.min_y;
        for (int row = 0; row < glyph.rows; ++row) {
            uint8_t* to = &mask->coverage[static_cast<size_t>(y0 + row) * mask->width + x0];
            const uint8_t* from = &glyph.coverage[static_cast<size_t>(row) * glyph.width];
            for (int col = 0; col < glyph.width; ++col)
                to[col] |= from[col];
        }
    }
    return true;
}
