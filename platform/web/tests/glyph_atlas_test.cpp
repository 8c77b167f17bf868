// The browser program's text: lines drawn from the glyph atlas equal, pixel for pixel,
// the lines the desktop program draws through SDL2_ttf.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"
#include "platform/web/atlas_from_sdl.h"

namespace {

constexpr int CELL_HEIGHTS[] = {16, 24, 32};

class GlyphAtlasTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        atlas_made = atlas_from_sdl(&atlas);
        // The atlas reaches the browser as a file: draw from the bytes read back.
        atlas_made = atlas_made && atlas.from_bytes(atlas.to_bytes());
    }
    static void TearDownTestSuite() { sdl_device().shutdown(); }

    // Both ways of drawing agree on whether anything is drawn, on the box and on every
    // pixel's coverage.
    static void expect_same_pixels(int cell_height, const std::string& text) {
        CoverageMask from_sdl, from_atlas;
        const SoftText line{"back", 0, 0, 0, cell_height, false, text};
        const bool sdl_drew = sdl_device().render_text(line, &from_sdl);
        ASSERT_EQ(atlas.render(cell_height, text, &from_atlas), sdl_drew)
            << cell_height << " px: " << cp1252_to_utf8(text);
        if (!sdl_drew) return;
        ASSERT_EQ(from_atlas.width, from_sdl.width)
            << cell_height << " px: " << cp1252_to_utf8(text);
        ASSERT_EQ(from_atlas.height, from_sdl.height) << cp1252_to_utf8(text);
        ASSERT_EQ(from_atlas.coverage, from_sdl.coverage)
            << cell_height << " px: " << cp1252_to_utf8(text);
    }

    static GlyphAtlas atlas;
    static bool atlas_made;
};

GlyphAtlas GlyphAtlasTest::atlas;
bool GlyphAtlasTest::atlas_made = false;

// A session of the scripted program on the demo show that shows the title, the
// editor's status lines, every edit mode's line and every number prompt, with digits
// typed and taken back; the texts it drew, one log line each.
std::vector<std::string> texts_the_program_draws(const std::string& work) {
    std::vector<std::string> script = {"click left", "click right", "move -178 -124",
                                       "click left"};  // the editor switch at (141, 121)
    int x = 141, y = 121;
    const auto click_bar = [&](int button) {
        const int to_x = 50 * button - 25, to_y = 725;
        script.push_back("move " + std::to_string((to_x - x) / 2) + " " +
                         std::to_string((to_y - y) / 2));
        script.push_back("click left");
        x = to_x;
        y = to_y;
    };
    for (int button = 1; button <= 16; ++button) {
        click_bar(button);
        // A selected placing button places the box at the next left click.
        if (button >= 13 && button <= 15) script.push_back("click right");
    }
    for (int button : {1, 3, 9, 10, 11, 12, 16}) {
        click_bar(button);
        script.push_back("click left");
        for (const char* line : {"type 75", "char 8", "char 9", "type 3", "char 27"})
            script.push_back(line);
    }
    std::ofstream(work + "/session.txt") << [&] {
        std::string all;
        for (const std::string& line : script)
            all += line + "\n";
        return all;
    }();
    const std::string command = "cd " + work + " && " + QZVIEW_DEMO_PROGRAM + " show >/dev/null" +
                                " && cd show && " + QZVIEW_HEADLESS_PROGRAM +
                                " --text-log ../texts.log ../session.txt";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream log(work + "/texts.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(GlyphAtlasTest, EveryCharacterAloneAndAfterEveryOtherLooksAsThroughSdl) {
    ASSERT_TRUE(atlas_made) << "the font file is missing";
    std::string all;
    for (int byte = 0x20; byte < 0x100; ++byte)
        all += static_cast<char>(byte);
    for (int cell_height : CELL_HEIGHTS) {
        expect_same_pixels(cell_height, all);
        for (char first : all) {
            expect_same_pixels(cell_height, std::string(1, first));
            for (char second : all)
                expect_same_pixels(cell_height, std::string{first, second});
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(GlyphAtlasTest, TheProgramsOwnTextsLookAsThroughSdl) {
    ASSERT_TRUE(atlas_made) << "the font file is missing";
    char work[] = "/tmp/qzview-atlas.XXXXXX";
    ASSERT_NE(mkdtemp(work), nullptr);
    const std::vector<std::string> logged = texts_the_program_draws(work);
    int umlauts = 0;
    for (const std::string& entry : logged) {
        // SURFACE X Y RRGGBB FONT TEXT
        std::istringstream fields(entry);
        std::string surface, x, y, colour, font;
        fields >> surface >> x >> y >> colour >> font;
        std::string text;
        std::getline(fields, text);
        text = utf8_to_cp1252(text.substr(1));
        umlauts += text.find_first_of("\xC4\xD6\xDC") != std::string::npos;
        expect_same_pixels(font == "large" ? 32 : font == "medium" ? 24 : 16, text);
    }
    EXPECT_GE(logged.size(), 40u);
    EXPECT_GE(umlauts, 3);
    std::filesystem::remove_all(work);
}

TEST_F(GlyphAtlasTest, BytesThatAreNotAWholeAtlasAreRefused) {
    ASSERT_TRUE(atlas_made) << "the font file is missing";
    std::vector<uint8_t> bytes = atlas.to_bytes();
    GlyphAtlas read;
    EXPECT_TRUE(read.from_bytes(bytes));
    bytes.pop_back();
    EXPECT_FALSE(read.from_bytes(bytes));
    EXPECT_FALSE(read.from_bytes({'Q', 'Z'}));
    CoverageMask mask;
    EXPECT_FALSE(read.render(16, "A", &mask));
}

}  // namespace
