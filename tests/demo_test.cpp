// The demo show generator: every file the show needs, the same bytes on every run,
// the graphics sheet's regions where the program copies them from, a show script that
// names only files that exist, and sound files the WAV reader takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/common/bmp_decoder.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tests/test_support.h"
#include "tools/demo/bitmap_forms.h"
#include "tools/demo/canvas.h"
#include "tools/demo/demo_show.h"

namespace {

using Bytes = std::vector<uint8_t>;
using demo::bmp_encode_32_top_down;
using demo::bmp_encode_8;
using demo::bmp_encode_rle8;
using demo::Canvas;
using demo::IndexedImage;
using demo::quantize_to_palette;
using demo::write_demo_show;

uint32_t le16(const Bytes& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t le32(const Bytes& bytes, size_t at) {
    return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

std::string bitmap_name(const char* series, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d.BMP", series, number);
    return name;
}

// Every file of a directory, by name.
std::map<std::string, Bytes> read_directory(const std::string& directory) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        files[entry.path().filename().string()] = read_file_bytes(entry.path().string());
    return files;
}

// A decoded bitmap with its pixels as 0x00RRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

Picture decode(const Bytes& bytes) {
    DecodedImage image;
    Picture picture;
    if (!bmp_decode(bytes.data(), bytes.size(), PixelFormat::xrgb8888, &image)) return picture;
    picture.width = image.width;
    picture.height = image.height;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4)
        picture.pixels.push_back(image.pixels[i] | image.pixels[i + 1] << 8 |
                                 image.pixels[i + 2] << 16);
    return picture;
}

int count_non_black(const Picture& picture, int x, int y, int w, int h) {
    int count = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            count += picture.at(col, row) != 0;
    return count;
}

// Pixels bright in every channel: white text on a coloured button.
int count_bright(const Picture& picture, int x, int y, int w, int h) {
    int count = 0;
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            const uint32_t c = picture.at(col, row);
            count += (c >> 16 & 0xFF) > 200 && (c >> 8 & 0xFF) > 200 && (c & 0xFF) > 200;
        }
    }
    return count;
}

std::vector<uint32_t> region_pixels(const Picture& picture, int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            out.push_back(picture.at(col, row));
    return out;
}

// Where the white lettering of a region is: 1 for bright pixels, 0 for the rest.
std::vector<uint32_t> text_mask(const Picture& picture, int x, int y, int w, int h) {
    std::vector<uint32_t> mask;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            mask.push_back(count_bright(picture, col, row, 1, 1));
    return mask;
}

double mean_brightness(const Picture& picture, int x, int y, int w, int h) {
    double sum = 0;
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            const uint32_t c = picture.at(col, row);
            sum += ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) / 3.0;
        }
    }
    return sum / (w * h);
}

using Files = std::map<std::string, Bytes>;

Files by_name(std::vector<demo::DemoFile> made) {
    Files files;
    for (demo::DemoFile& file : made)
        files[file.name] = std::move(file.bytes);
    return files;
}

bool has(const Files& files, const std::string& name) {
    return files.count(name) != 0;
}

// Tests that look at one part of the show make only that part: the whole show takes a
// moment to draw, and every test runs in a process of its own.
class DemoShowTest : public ScratchTest {
  protected:
    // The whole show written into the scratch directory, and read back from there.
    Files written_show(const std::string& subdirectory) {
        const std::string path = directory + "/" + subdirectory;
        std::string error;
        EXPECT_TRUE(write_demo_show(path, &error)) << error;
        return read_directory(path);
    }
    static Picture sheet() {
        const Picture picture = decode(by_name(demo::make_graphics_files()).at("scs00001.BMP"));
        EXPECT_EQ(picture.width, 1024);
        EXPECT_EQ(picture.height, 768);
        return picture;
    }
    static Bytes show_script() { return demo::make_show_script_file().bytes; }
};

TEST_F(DemoShowTest, WritesTheSameBytesOnEveryRun) {
    const Files first = written_show("first");
    // The second run also has to make the directory's parents.
    const Files second = written_show("a/b/second");
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(second.size(), first.size());
    for (const auto& [name, bytes] : first) {
        ASSERT_TRUE(has(second, name)) << name;
        EXPECT_TRUE(second.at(name) == bytes) << name << " differs between two runs";
    }
}

TEST_F(DemoShowTest, ReportsADirectoryThatCannotBeMade) {
    write_file_bytes(directory + "/plain", {1, 2, 3});
    std::string error;
    EXPECT_FALSE(write_demo_show(directory + "/plain/show", &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(DemoShowTest, WritesEveryFileTheShowNeeds) {
    const Files show = written_show("show");
    for (const char* name :
         {"scs00001.BMP", "scs00002.BMP", "SCR1.BIL", "bsou101.WAV", "bsou201.WAV", "bsou202.WAV"})
        EXPECT_TRUE(has(show, name)) << name;
    for (int sound = 1; sound <= 7; ++sound)
        EXPECT_TRUE(has(show, "bsou" + std::to_string(sound) + ".WAV")) << sound;
    int screenshots = 0;
    while (has(show, bitmap_name("scs", 100 + screenshots)))
        ++screenshots;
    EXPECT_GE(screenshots, 12);
    int boxes = 0;
    while (has(show, bitmap_name("scb", 1 + boxes)))
        ++boxes;
    EXPECT_GE(boxes, 4);
}

TEST_F(DemoShowTest, PointerIsDrawnOnBlackAndItsSaveAreaIsLeftBlack) {
    const Picture picture = sheet();
    // The arrow's tip is the image's top-left pixel; the far corners are see-through.
    EXPECT_NE(picture.at(0, 0), 0u);
    EXPECT_EQ(picture.at(15, 0), 0u);
    EXPECT_EQ(picture.at(15, 15), 0u);
    EXPECT_EQ(picture.at(0, 15), 0u);
    const int drawn = count_non_black(picture, 0, 0, 16, 16);
    EXPECT_GT(drawn, 40);
    EXPECT_LT(drawn, 16 * 16 - 60);
    EXPECT_GT(count_bright(picture, 0, 0, 16, 16), 20) << "the arrow is white";
    EXPECT_EQ(count_non_black(picture, 0, 40, 16, 16), 0);
}

TEST_F(DemoShowTest, NavigationButtonsAndMarkAreDrawnInTheirRegions) {
    const Picture picture = sheet();
    for (int button = 0; button < 3; ++button)
        EXPECT_GT(count_non_black(picture, 40 + 58 * button, 0, 58, 58), 58 * 58 / 2) << button;
    EXPECT_GT(count_non_black(picture, 224, 50, 40, 18), 40 * 18 / 2);
    // Three different symbols: menu, back, forward.
    const auto menu = region_pixels(picture, 40, 0, 58, 58);
    const auto back = region_pixels(picture, 98, 0, 58, 58);
    const auto forward = region_pixels(picture, 156, 0, 58, 58);
    EXPECT_NE(menu, back);
    EXPECT_NE(back, forward);
}

TEST_F(DemoShowTest, MenuPanelLabelsLieOverTheChoiceRows) {
    const Picture picture = sheet();
    // The panel is copied to the screen at (100, 100) from sheet (0, 80).
    auto sheet_x = [](int screen_x) { return screen_x - 100; };
    auto sheet_y = [](int screen_y) { return screen_y - 20; };
    EXPECT_EQ(count_non_black(picture, 0, 80, 600, 450), 600 * 450);
    const int column_x = sheet_x(351), column_w = 329;
    std::vector<std::vector<uint32_t>> rows;
    for (int row = 0; row < 5; ++row) {
        const int top = 120 + 50 * row;  // the row covers top + 1 .. top + 49
        EXPECT_GT(count_bright(picture, column_x, sheet_y(top + 8), column_w, 34), 60)
            << "row " << row + 1 << " has no label";
        // White text stays clear of the rows' edges, so no label straddles two rows.
        EXPECT_EQ(count_bright(picture, column_x, sheet_y(top + 1), column_w, 6), 0) << row + 1;
        EXPECT_EQ(count_bright(picture, column_x, sheet_y(top + 44), column_w, 6), 0) << row + 1;
        rows.push_back(text_mask(picture, column_x, sheet_y(top + 1), column_w, 49));
    }
    for (int a = 0; a < 5; ++a)
        for (int b = a + 1; b < 5; ++b)
            EXPECT_NE(rows[a], rows[b]) << a + 1 << " and " << b + 1;
    // The bottom-left buttons differ from one another as well.
    for (int button = 0; button < 2; ++button)
        EXPECT_NE(region_pixels(picture, sheet_x(121 + 50 * button), sheet_y(321), 49, 49),
                  region_pixels(picture, sheet_x(171 + 50 * button), sheet_y(321), 49, 49));
}

TEST_F(DemoShowTest, FortyEightDifferentLevelStrips) {
    const Picture picture = sheet();
    // Compared by their white lettering alone: the strips' colours differ anyway.
    std::set<std::vector<uint32_t>> labels;
    for (int level = 1; level <= 48; ++level) {
        const int y = 16 * (level - 1);
        EXPECT_GT(count_bright(picture, 600, y, 200, 16), 30) << "level " << level;
        labels.insert(text_mask(picture, 600, y, 200, 16));
    }
    EXPECT_EQ(labels.size(), 48u);
}

TEST_F(DemoShowTest, SixteenDifferentEditorButtons) {
    const Picture picture = sheet();
    std::set<std::vector<uint32_t>> labels;
    for (int button = 1; button <= 16; ++button) {
        const int x = 50 * ((button - 1) % 8), y = button <= 8 ? 600 : 650;
        EXPECT_EQ(count_non_black(picture, x, y, 50, 50), 50 * 50) << "button " << button;
        labels.insert(text_mask(picture, x, y, 50, 50));
    }
    EXPECT_EQ(labels.size(), 16u);
}

TEST_F(DemoShowTest, TitleLeavesTheTextCornerDark) {
    const Picture title = decode(by_name(demo::make_graphics_files()).at("scs00002.BMP"));
    ASSERT_EQ(title.width, 1024);
    ASSERT_EQ(title.height, 768);
    EXPECT_LT(mean_brightness(title, 10, 666, 480, 80), 50.0);
    EXPECT_GT(mean_brightness(title, 0, 0, 1024, 600), 30.0) << "the picture itself is not dark";
}

// Which way a screenshot file is stored: bits per pixel, compression, top-down.
struct StoredForm {
    uint32_t bits;
    uint32_t compression;
    bool top_down;
};

TEST_F(DemoShowTest, ScreenshotsAreFullScreenInSeveralBitmapForms) {
    const Files screenshots = by_name(demo::make_screenshot_files());
    EXPECT_GE(screenshots.size(), 12u);
    int paletted = 0, rle8 = 0, top_down_32 = 0, plain_24 = 0;
    for (int number = 100; has(screenshots, bitmap_name("scs", number)); ++number) {
        const Bytes& bytes = screenshots.at(bitmap_name("scs", number));
        const Picture picture = decode(bytes);
        EXPECT_EQ(picture.width, 1024) << number;
        EXPECT_EQ(picture.height, 768) << number;
        EXPECT_GT(count_non_black(picture, 0, 0, 1024, 768), 1024 * 768 / 2) << number;
        const StoredForm form = {le16(bytes, 28), le32(bytes, 30),
                                 static_cast<int32_t>(le32(bytes, 22)) < 0};
        paletted += form.bits == 8 && form.compression == 0;
        rle8 += form.bits == 8 && form.compression == 1;
        top_down_32 += form.bits == 32 && form.top_down;
        plain_24 += form.bits == 24 && form.compression == 0 && !form.top_down;
    }
    EXPECT_GE(paletted, 1);
    EXPECT_GE(rle8, 1);
    EXPECT_GE(top_down_32, 1);
    EXPECT_GE(plain_24, 1);
}

TEST_F(DemoShowTest, ShowFileNamesOnlyFilesThatExist) {
    const Files show = written_show("show");
    const Bytes& bytes = show.at("SCR1.BIL");
    ASSERT_EQ(bytes.size(), SHOW_FILE_SIZE);
    decode_show_file(bytes.data(), bytes.size());
    EXPECT_EQ(le32(bytes, 0), 1u) << "first picture";
    EXPECT_GE(picture_table.picture_count, 12);
    for (int p = 1; p <= picture_table.picture_count; ++p) {
        EXPECT_TRUE(has(show, bitmap_name("scs", picture_table.pic_file[p]))) << "entry " << p;
        for (int32_t box :
             {picture_table.pic_box1[p], picture_table.pic_box2[p], picture_table.pic_box3[p]}) {
            if (box > 0) {
                EXPECT_TRUE(has(show, bitmap_name("scb", box))) << "entry " << p;
            }
        }
        if (picture_table.pic_wave[p] > 0) {
            EXPECT_TRUE(has(show, "bsou" + std::to_string(picture_table.pic_wave[p]) + ".WAV"))
                << "entry " << p;
        }
    }
}

TEST_F(DemoShowTest, BoxesStayOnTheScreenAndOffTheNavigationPanel) {
    const Files boxes_by_name = by_name(demo::make_box_files());
    const Bytes bytes = show_script();
    decode_show_file(bytes.data(), bytes.size());
    for (int p = 1; p <= picture_table.picture_count; ++p) {
        const int32_t boxes[3][3] = {
            {picture_table.pic_box1[p], picture_table.pic_box1_x[p], picture_table.pic_box1_y[p]},
            {picture_table.pic_box2[p], picture_table.pic_box2_x[p], picture_table.pic_box2_y[p]},
            {picture_table.pic_box3[p], picture_table.pic_box3_x[p], picture_table.pic_box3_y[p]}};
        for (const auto& box : boxes) {
            if (box[0] <= 0) continue;
            ASSERT_TRUE(has(boxes_by_name, bitmap_name("scb", box[0]))) << "entry " << p;
            const Picture picture = decode(boxes_by_name.at(bitmap_name("scb", box[0])));
            ASSERT_GT(picture.width, 0);
            const int left = box[1], top = box[2];
            const int right = left + picture.width, bottom = top + picture.height;
            EXPECT_TRUE(left >= 0 && top >= 0 && right <= 1024 && bottom <= 768) << "entry " << p;
            // The panel with the mark above it: x 782..1013, y 690..759.
            const bool over_panel = left < 1014 && right > 782 && top < 760 && bottom > 690;
            EXPECT_FALSE(over_panel) << "entry " << p;
        }
    }
}

TEST_F(DemoShowTest, ShowScriptUsesMarksSoundsLevelsAndAReusedScreenshot) {
    const Bytes bytes = show_script();
    decode_show_file(bytes.data(), bytes.size());
    int marked = 0, above_last_strip = 0;
    std::set<int32_t> sounds;
    std::map<int32_t, int> uses;
    for (int p = 1; p <= picture_table.picture_count; ++p) {
        marked += picture_table.pic_marked[p] != 0;
        above_last_strip += picture_table.pic_level[p] > 48;
        if (picture_table.pic_wave[p] > 0) sounds.insert(picture_table.pic_wave[p]);
        ++uses[picture_table.pic_file[p]];
    }
    EXPECT_GE(marked, 2);
    EXPECT_GE(above_last_strip, 1);
    EXPECT_EQ(sounds, (std::set<int32_t>{201, 202}));
    EXPECT_TRUE(
        std::any_of(uses.begin(), uses.end(), [](const auto& use) { return use.second > 1; }));
}

struct WaveFile {
    bool valid = false;
    uint32_t format_tag = 0, channels = 0, rate = 0, bytes_per_second = 0, block_align = 0,
             bits = 0;
    Bytes samples;
};

// Walks the chunks the way the program's reader does, checking the sizes on the way.
WaveFile parse_wave(const Bytes& bytes) {
    WaveFile wave;
    if (bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
        std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE" ||
        le32(bytes, 4) != bytes.size() - 8)
        return wave;
    bool have_format = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id(bytes.begin() + static_cast<long>(at),
                             bytes.begin() + static_cast<long>(at) + 4);
        const uint32_t size = le32(bytes, at + 4);
        if (at + 8 + size > bytes.size()) return wave;
        if (id == "fmt " && size >= 16) {
            wave.format_tag = le16(bytes, at + 8);
            wave.channels = le16(bytes, at + 10);
            wave.rate = le32(bytes, at + 12);
            wave.bytes_per_second = le32(bytes, at + 16);
            wave.block_align = le16(bytes, at + 20);
            wave.bits = le16(bytes, at + 22);
            have_format = true;
        } else if (id == "data" && have_format) {
            wave.samples.assign(bytes.begin() + static_cast<long>(at) + 8,
                                bytes.begin() + static_cast<long>(at + 8 + size));
            wave.valid = true;
            return wave;
        }
        at += 8 + size + size % 2;
    }
    return wave;
}

double seconds(const WaveFile& wave) {
    return wave.samples.size() / 11025.0;
}

int loudest_swing(const WaveFile& wave) {
    int swing = 0;
    for (uint8_t sample : wave.samples)
        swing = std::max(swing, std::abs(sample - 128));
    return swing;
}

TEST_F(DemoShowTest, SoundsAreMono8BitPcmAtTheShowsRate) {
    int waves = 0;
    for (const auto& [name, bytes] : by_name(demo::make_sound_files())) {
        EXPECT_EQ(name.rfind("bsou", 0), 0u) << name;
        ++waves;
        const WaveFile wave = parse_wave(bytes);
        ASSERT_TRUE(wave.valid) << name;
        EXPECT_EQ(wave.format_tag, 1u) << name;
        EXPECT_EQ(wave.channels, 1u) << name;
        EXPECT_EQ(wave.rate, 11025u) << name;
        EXPECT_EQ(wave.bytes_per_second, 11025u) << name;
        EXPECT_EQ(wave.block_align, 1u) << name;
        EXPECT_EQ(wave.bits, 8u) << name;
        EXPECT_GT(loudest_swing(wave), 10) << name << " is silent";
        EXPECT_LT(loudest_swing(wave), 127) << name << " clips";
    }
    EXPECT_EQ(waves, 10);
}

TEST_F(DemoShowTest, SoundLengthsSuitTheirUse) {
    const Files sounds = by_name(demo::make_sound_files());
    for (int click = 1; click <= 7; ++click) {
        const WaveFile wave = parse_wave(sounds.at("bsou" + std::to_string(click) + ".WAV"));
        EXPECT_GT(seconds(wave), 0.01) << click;
        EXPECT_LT(seconds(wave), 0.5) << click;
    }
    for (const char* name : {"bsou201.WAV", "bsou202.WAV"}) {
        const WaveFile wave = parse_wave(sounds.at(name));
        EXPECT_GE(seconds(wave), 1.0) << name;
        EXPECT_LE(seconds(wave), 3.0) << name;
    }
}

TEST_F(DemoShowTest, BackgroundLoopIsQuietAndJoinsWithoutAClick) {
    const WaveFile loop = parse_wave(by_name(demo::make_sound_files()).at("bsou101.WAV"));
    ASSERT_TRUE(loop.valid);
    EXPECT_GE(seconds(loop), 8.0);
    EXPECT_LE(seconds(loop), 16.0);
    EXPECT_LE(loudest_swing(loop), 64);
    // The step from the last sample back to the first is no bigger than the steps
    // inside the sound.
    int largest_step = 0;
    for (size_t i = 1; i < loop.samples.size(); ++i)
        largest_step = std::max(largest_step, std::abs(loop.samples[i] - loop.samples[i - 1]));
    EXPECT_LE(std::abs(loop.samples.front() - loop.samples.back()), largest_step);
}

// The bitmap writers, checked against the program's own decoder.
Canvas test_pattern(int width, int height, int colours) {
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas.set(x, y,
                       static_cast<uint32_t>(((x / 3 + y * 7) % colours) * 0x010305 + 0x102030));
    // Runs longer than one RLE8 count can hold, and single pixels between runs.
    for (int x = 0; x < width; ++x)
        canvas.set(x, 1, 0x00FF8040);
    canvas.set(width / 2, 1, 0x0000FF00);
    return canvas;
}

std::vector<uint32_t> palette_colours(const IndexedImage& image) {
    std::vector<uint32_t> out;
    for (uint8_t index : image.indices)
        out.push_back(image.palette[index]);
    return out;
}

TEST(DemoBitmapFormsTest, FewColoursRoundTripExactlyInEveryForm) {
    const Canvas canvas = test_pattern(601, 7, 40);  // odd width: rows need padding
    const IndexedImage indexed = quantize_to_palette(canvas);
    ASSERT_LE(indexed.palette.size(), 256u);
    for (const Bytes& bytes :
         {bmp_encode_8(indexed), bmp_encode_rle8(indexed), bmp_encode_32_top_down(canvas)}) {
        const Picture picture = decode(bytes);
        ASSERT_EQ(picture.width, canvas.width);
        ASSERT_EQ(picture.height, canvas.height);
        EXPECT_EQ(picture.pixels, canvas.pixels);
    }
}

TEST(DemoBitmapFormsTest, ManyColoursGetANearPaletteThatBothPalettedFormsKeep) {
    Canvas canvas(300, 40);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.set(x, y, demo::rgb(x * 255 / 299, y * 6, 128));
    const IndexedImage indexed = quantize_to_palette(canvas);
    ASSERT_EQ(indexed.palette.size(), 256u);
    const std::vector<uint32_t> expected = palette_colours(indexed);
    EXPECT_EQ(decode(bmp_encode_8(indexed)).pixels, expected);
    EXPECT_EQ(decode(bmp_encode_rle8(indexed)).pixels, expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        const uint32_t a = expected[i], b = canvas.pixels[i];
        const int difference = std::abs(demo::red_of(a) - demo::red_of(b)) +
                               std::abs(demo::green_of(a) - demo::green_of(b)) +
                               std::abs(demo::blue_of(a) - demo::blue_of(b));
        ASSERT_LE(difference, 24) << "pixel " << i;
    }
}

TEST(DemoBitmapFormsTest, RunLengthFormIsSmallerForFlatPictures) {
    Canvas canvas(640, 480, demo::rgb(20, 40, 60));
    demo::fill_rect(canvas, 100, 100, 300, 200, demo::rgb(200, 100, 50));
    const IndexedImage indexed = quantize_to_palette(canvas);
    EXPECT_LT(bmp_encode_rle8(indexed).size() * 20, bmp_encode_8(indexed).size());
}

}  // namespace
