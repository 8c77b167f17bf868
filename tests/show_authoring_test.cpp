// Authoring a show with qzview-show: image files added as screenshots and entries,
// a new show's frame, and the contact sheet of a whole show.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webp/encode.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/program.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/layout.h"
#include "platform/common/bmp_decoder.h"
#include "platform/headless/headless.h"
#include "screens/presentation.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tests/show_fixture.h"
#include "tools/demo/canvas.h"
#include "tools/demo/demo_show.h"
#include "tools/show/picture_scaling.h"
#include "tools/show/show_sheet.h"

namespace {

using demo::Canvas;
using show_tool::Placement;
using show_tool::SheetLayout;

constexpr uint32_t TOP_LEFT = 0xD02020, TOP_RIGHT = 0x20C040, BOTTOM_LEFT = 0x2040D0,
                   BOTTOM_RIGHT = 0xF0F0F0;

// Four solid quadrants: whatever the scaling, the middle of each keeps its colour.
Canvas quadrants(int width, int height) {
    Canvas picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            picture.set(
                x, y,
                bottom ? (right ? BOTTOM_RIGHT : BOTTOM_LEFT) : (right ? TOP_RIGHT : TOP_LEFT));
        }
    return picture;
}

// Saved in the form the name's ending asks for: PNG, JPEG and BMP by SDL2_image and
// SDL, WebP (lossless) by libwebp.
void save_picture(const Canvas& picture, const std::string& path) {
    std::vector<uint32_t> pixels = picture.pixels;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), picture.width, picture.height, 32,
                                           picture.width * 4, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(surface, nullptr);
    const std::string ending = path.substr(path.rfind('.'));
    int saved = 0;
    if (ending == ".png") saved = IMG_SavePNG(surface, path.c_str());
    if (ending == ".jpg") saved = IMG_SaveJPG(surface, path.c_str(), 95);
    if (ending == ".bmp") saved = SDL_SaveBMP(surface, path.c_str());
    EXPECT_EQ(saved, 0) << path;
    if (ending == ".webp") {
        for (uint32_t& pixel : pixels)
            pixel |= 0xFF000000;  // opaque
        uint8_t* encoded = nullptr;
        const size_t size =
            WebPEncodeLosslessBGRA(reinterpret_cast<const uint8_t*>(pixels.data()), picture.width,
                                   picture.height, picture.width * 4, &encoded);
        ASSERT_GT(size, 0u);
        write_file_bytes(path, std::vector<uint8_t>(encoded, encoded + size));
        WebPFree(encoded);
    }
    SDL_FreeSurface(surface);
}

// A PNG or BMP read back as 0xRRGGBB pixels.
Canvas read_picture(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    Canvas picture(surface->w, surface->h);
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            picture.set(x, y,
                        static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x]);
    SDL_FreeSurface(surface);
    SDL_FreeSurface(loaded);
    return picture;
}

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

std::string screenshot_name(int32_t number) {
    char name[FILE_NAME_SIZE];
    build_picture_file_name(name, number);
    return name;
}

int screenshot_files() {
    int count = 0;
    for (const auto& item : std::filesystem::directory_iterator("."))
        count += item.path().filename().string().rfind("scs", 0) == 0 ? 1 : 0;
    return count;
}

// The show file as the program reads it.
void load_show() {
    init_picture_table();
    build_show_file_name();
    ASSERT_TRUE(load_show_file());
}

using ShowAuthoringTest = ScratchTest;

// Where the picture must lie in the 1024 x 768 screenshot: as large as fits, centred.
struct Imported {
    const char* file;
    int width, height;
    int x, y, fitted_width, fitted_height;
    int tolerance;  // JPEG is lossy
};

TEST_F(ShowAuthoringTest, EachFormatBecomesAFullScreenBitmapAndAnEntryInOrder) {
    const Imported files[] = {
        {"wide.png", 1920, 1080, 0, 96, 1024, 576, 0},
        {"small.jpg", 800, 600, 0, 0, 1024, 768, 8},
        {"tall.webp", 640, 1000, 266, 0, 492, 768, 0},
        {"exact.bmp", 1024, 768, 0, 0, 1024, 768, 0},
        {"strip.png", 3000, 400, 0, 315, 1024, 137, 0},
    };
    std::vector<std::string> arguments = {"add"};
    for (const Imported& file : files) {
        save_picture(quadrants(file.width, file.height), file.file);
        arguments.push_back(file.file);
    }
    const ToolRun run = run_tool(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wide.png -> scs00100.BMP, entry 1 (1920x1080 scaled to 1024x576)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("exact.bmp -> scs00103.BMP, entry 4\n"), std::string::npos);

    load_show();
    EXPECT_EQ(picture_table.picture_count, 5);  // no start-up picture 100 before them
    for (int i = 0; i < 5; ++i) {
        const Imported& f = files[i];
        SCOPED_TRACE(f.file);
        EXPECT_EQ(picture_table.pic_file[i + 1], 100 + i);
        const std::vector<uint8_t> bytes = read_file_bytes(screenshot_name(100 + i));
        ASSERT_EQ(bytes.size(), 54u + 1024 * 768 * 3);
        EXPECT_EQ(le32(bytes, 18), 1024u);
        EXPECT_EQ(le32(bytes, 22), 768u);  // positive: rows bottom-up
        EXPECT_EQ(le32(bytes, 28) & 0xFFFF, 24u);
        EXPECT_EQ(le32(bytes, 30), 0u);  // no compression

        const Canvas shot = read_picture(screenshot_name(100 + i));
        const int left = f.x, top = f.y, right = f.x + f.fitted_width - 1,
                  bottom = f.y + f.fitted_height - 1;
        const int middle_x = left + f.fitted_width / 2, middle_y = top + f.fitted_height / 2;
        EXPECT_TRUE(near(shot.at(left, top), TOP_LEFT, f.tolerance));
        EXPECT_TRUE(near(shot.at(right, top), TOP_RIGHT, f.tolerance));
        EXPECT_TRUE(near(shot.at(left, bottom), BOTTOM_LEFT, f.tolerance));
        EXPECT_TRUE(near(shot.at(right, bottom), BOTTOM_RIGHT, f.tolerance));
        EXPECT_TRUE(
            near(shot.at((left + middle_x) / 2, (top + middle_y) / 2), TOP_LEFT, f.tolerance));
        // The bars are black to the last pixel before the picture.
        const uint32_t above_and_below = shot.at(middle_x, top - 1) | shot.at(middle_x, bottom + 1);
        const uint32_t left_and_right = shot.at(left - 1, middle_y) | shot.at(right + 1, middle_y);
        EXPECT_EQ(above_and_below, 0u);  // outside the canvas counts as black too
        EXPECT_EQ(left_and_right, 0u);
    }
    // A picture of the show's own size is taken pixel for pixel.
    EXPECT_EQ(read_picture(screenshot_name(103)).pixels, quadrants(1024, 768).pixels);
}

// The show around the new entries stays as it was, marks included; the new entries
// take nothing from the slots they land in; numbers go above every one in use.
TEST_F(ShowAuthoringTest, InsertedEntriesAreFreshAndTheRestOfTheShowMovesWhole) {
    ExpectedShow before;
    before.picture_count = 3;
    const int32_t files[] = {0, 100, 101, 200};  // 200 is missing on disk
    for (int i = 1; i <= 3; ++i) {
        before.pic_file[i] = files[i];
        before.pic_box1[i] = i;
        before.pic_box2_x[i] = 10 * i;
        before.pic_wave[i] = 20 + i;
    }
    before.pic_marked[2] = 1;
    before.pic_box3[4] = 9;  // stale slots beyond the show
    before.pic_level[5] = 7;
    before.pic_marked[5] = 1;
    write_show_files(2, &before);
    save_picture(quadrants(40, 30), "scs00150.bmp");  // a number in use, in any case
    for (const char* name : {"a.png", "b.png"})
        save_picture(quadrants(1024, 768), name);

    const ToolRun run = run_tool(
        {"add", "--at", "1", "--box1", "7", "--level", "3", "--sound", "9", "a.png", "b.png"});
    ASSERT_EQ(run.status, 0) << run.err;

    ExpectedShow after = before;
    after.picture_count = 5;
    for (int i = 5; i >= 4; --i)  // entries 2 and 3 move to 4 and 5
        for (int32_t* column : {after.pic_file, after.pic_box1, after.pic_box2_x, after.pic_wave,
                                after.pic_box3, after.pic_level})
            column[i] = column[i - 2];
    after.pic_marked[4] = 1;
    after.pic_marked[5] = 0;
    const ExpectedShow fresh;
    for (int i = 2; i <= 3; ++i) {
        after.pic_file[i] = 199 + i;
        after.pic_box1[i] = 7;
        after.pic_level[i] = 3;
        after.pic_wave[i] = 9;
        after.pic_box2_x[i] = fresh.pic_box2_x[i];
        after.pic_box3[i] = 0;
        after.pic_marked[i] = 0;
    }
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), after.file_bytes());
    EXPECT_TRUE(file_exists("scs00201.BMP") && file_exists("scs00202.BMP"));
}

TEST_F(ShowAuthoringTest, FilesThatCannotGoInAreNamedAndTheOthersStillGoIn) {
    ExpectedShow show;
    show.picture_count = 497;
    for (int i = 1; i <= 497; ++i)
        show.pic_file[i] = 100;
    write_show_files(1, &show);
    save_picture(quadrants(64, 48), "good.png");
    write_file_bytes("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});

    const ToolRun run =
        run_tool({"add", "good.png", "broken.png", "absent.jpg", "good.png", "good.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("broken.png: cannot be decoded: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("absent.jpg: cannot be read: No such file or directory"),
              std::string::npos);
    EXPECT_NE(run.err.find("good.png: not added: the show has 499 entries"), std::string::npos);
    EXPECT_NE(run.out.find("good.png -> scs00101.BMP, entry 498"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("good.png -> scs00102.BMP, entry 499"), std::string::npos);
    EXPECT_EQ(screenshot_files(), 5);  // sheet, title, 100 and the two new ones
    load_show();
    EXPECT_EQ(picture_table.picture_count, 499);
    EXPECT_EQ(picture_table.pic_file[499], 102);
}

// Nothing half-done: no new entry, no new screenshot, the old show file untouched.
TEST_F(ShowAuthoringTest, AShowThatCannotBeSavedGetsNothing) {
    ExpectedShow show;
    show.picture_count = 1;
    show.pic_file[1] = 100;
    write_show_files(1, &show);
    save_picture(quadrants(64, 48), "new.png");
    const std::vector<uint8_t> before = read_file_bytes("SCR1.BIL");
    auto expect_nothing_added = [&](const ToolRun& run, const std::string& why) {
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
        EXPECT_EQ(read_file_bytes("SCR1.BIL"), before);
        EXPECT_EQ(screenshot_files(), 3);
        EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
    };
    headless_fail("file-rename");  // the save fails at its last step
    expect_nothing_added(run_tool({"add", "new.png"}),
                         "nothing added, the new screenshots are removed again");
    headless_reset();
    if (geteuid() == 0) return;  // root may write any file
    ASSERT_EQ(chmod("SCR1.BIL", 0444), 0);
    expect_nothing_added(run_tool({"add", "new.png"}), "SCR1.BIL cannot be written");
    ASSERT_EQ(chmod("SCR1.BIL", 0644), 0);
    ASSERT_EQ(chmod(".", 0555), 0);
    expect_nothing_added(run_tool({"add", "new.png"}), "cannot write in .");
    chmod(".", 0755);
}

// The author's way: a new show, screenshots added, and the program shows them in order.
TEST_F(ShowAuthoringTest, ANewShowWithAddedScreenshotsRunsInTheProgram) {
    ASSERT_EQ(run_tool({"new", "show", "--title", "Reise nach Ägypten"}).status, 0);
    EXPECT_EQ(read_file_bytes("show/TITLE.TXT"),
              std::vector<uint8_t>({'R', 'E',  'I', 'S', 'E', ' ', 'N', 'A', 'C',  'H',
                                    ' ', 0xC4, 'G', 'Y', 'P', 'T', 'E', 'N', '\r', '\n'}));
    const ToolRun again = run_tool({"new", "show"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("show/bsou101.WAV kept: it is already there"), std::string::npos);
    EXPECT_FALSE(file_exists("show/SCR1.BIL"));
    const uint32_t colours[] = {0x8040C0, 0x40C080, 0xC08040};
    for (int i = 0; i < 3; ++i)
        save_picture(Canvas(1280, 960, colours[i]), "shot" + std::to_string(i) + ".png");
    ASSERT_EQ(run_tool({"add", "--dir", "show", "shot0.png", "shot1.png", "shot2.png"}).status, 0);
    EXPECT_EQ(run_tool({"check", "show"}).status, 0);

    ASSERT_EQ(chdir("show"), 0);
    headless_reset();
    reset_global_state();
    Script script;
    script.left().line("shot 1.bmp").next().line("shot 2.bmp").next().line("shot 3.bmp");
    EXPECT_EQ(run_program(script.lines()), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(shot_pixel(std::to_string(i + 1) + ".bmp", 600, 400), colours[i]);
    const std::vector<HeadlessText>& texts = headless_texts();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const HeadlessText& text) {
        return text.text == "REISE NACH \xC4GYPTEN" && text.y == 684;
    }));
}

// A new show's title: refused when the program could not show it; a title picture and
// menu that name no game, the title written on the picture.
TEST_F(ShowAuthoringTest, ANewShowsTitle) {
    for (const std::string& title : {std::string(61, 'X'), std::string("\xE6\x97\xA5"),
                                     std::string("ZWEI\nZEILEN"), std::string()}) {
        SCOPED_TRACE(title);
        const ToolRun refused = run_tool({"new", "refused", "--title", title});
        EXPECT_EQ(refused.status, 2);
        EXPECT_FALSE(std::filesystem::exists("refused"));
    }
    ASSERT_EQ(run_tool({"new", "plain"}).status, 0);
    ASSERT_EQ(run_tool({"new", "own", "--title", std::string(60, 'x')}).status, 0);
    EXPECT_EQ(read_file_bytes("plain/TITLE.TXT"),
              std::vector<uint8_t>({'K', 'L', 'E', 'I', 'N', 'E', ' ', 'S', 'C', 'R', 'E', 'E', 'N',
                                    'S', 'H', 'O', 'W', '\r', '\n'}));
    EXPECT_EQ(read_file_bytes("own/TITLE.TXT").size(), 62u);
    // The pictures differ from the demo's where it names its game, and only there.
    std::string error;
    ASSERT_TRUE(demo::write_demo_show("demo", &error)) << error;
    const Canvas demo_sheet = read_picture("demo/scs00001.BMP");
    const Canvas plain_sheet = read_picture("plain/scs00001.BMP");
    int differing = 0;
    for (size_t i = 0; i < demo_sheet.pixels.size(); ++i) {
        if (demo_sheet.pixels[i] == plain_sheet.pixels[i]) continue;
        const int x = static_cast<int>(i % 1024), y = static_cast<int>(i / 1024);
        EXPECT_TRUE(x < 600 && y > 80 && y < 530) << x << "," << y;  // the menu panel
        ++differing;
    }
    EXPECT_GT(differing, 0);
    const Canvas plain_title = read_picture("plain/scs00002.BMP");
    const Canvas own_title = read_picture("own/scs00002.BMP");
    EXPECT_NE(plain_title.pixels, own_title.pixels);
    EXPECT_NE(plain_title.pixels, read_picture("demo/scs00002.BMP").pixels);
    EXPECT_EQ(plain_title.at(512, 700), own_title.at(512, 700));  // the scenery under it
}

// Interrupted in the middle of a batch, add takes back the screenshots it wrote.
TEST_F(ShowAuthoringTest, AnInterruptedBatchLeavesNoScreenshot) {
    for (int i = 0; i < 40; ++i)
        save_picture(quadrants(1600, 1200), "shot" + std::to_string(i) + ".png");
    const pid_t batch = fork();
    if (batch == 0) {
        std::vector<std::string> arguments = {"add"};
        for (int i = 0; i < 40; ++i)
            arguments.push_back("shot" + std::to_string(i) + ".png");
        _exit(run_tool(arguments).status);
    }
    while (screenshot_files() < 2 && waitpid(batch, nullptr, WNOHANG) == 0)
        usleep(10000);
    kill(batch, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(batch, &status, 0), batch);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(screenshot_files(), 0);
    EXPECT_FALSE(file_exists("SCR1.BIL"));
}

// --- the contact sheet ---

class ContactSheetTest : public ScratchTest {
  protected:
    // Each entry as the program presents it in the show, scaled to the thumbnail.
    void expect_thumbnails_show_the_frames(const Canvas& page, const SheetLayout& layout,
                                           const std::vector<int32_t>& entries) {
        headless_reset();
        reset_global_state();
        ASSERT_TRUE(init_display(nullptr, 1));
        load_picture(PictureSlot::sheet, 1);
        load_show();
        for (int32_t entry : entries) {
            SCOPED_TRACE(entry);
            picture_table.current_picture = entry;
            present_picture(false, false);
            Canvas frame(1024, 768);
            for (int y = 0; y < 768; ++y)
                for (int x = 0; x < 1024; ++x)
                    frame.set(x, y, headless_pixel(screen.front_surface, x, y));
            const Placement place = show_tool::thumbnail_place(layout, entry + 1);
            const Canvas expected = show_tool::scale_by_area(frame, place.width, place.height);
            int differing = 0;
            for (int y = 0; y < place.height; ++y)
                for (int x = 0; x < place.width; ++x)
                    differing += page.at(place.x + x, place.y + y) != expected.at(x, y);
            EXPECT_EQ(differing, 0);
        }
        shutdown_all();
    }
    static bool framed_in_red(const Canvas& page, const Placement& place) {
        return page.at(place.x - 2, place.y + place.height / 2) == 0xC81414 &&
               page.at(place.x + place.width + 1, place.y) == 0xC81414;
    }
};

TEST_F(ContactSheetTest, TheDemoSheetShowsEveryEntryAsTheViewerSeesIt) {
    std::string error;
    ASSERT_TRUE(demo::write_demo_show(".", &error)) << error;
    const ToolRun run = run_tool({"sheet", "-o", "sheet.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("sheet.png: 15 entries on a page of 1600x"), std::string::npos);

    const Canvas page = read_picture("sheet.png");
    const SheetLayout layout = show_tool::plan_sheet(1600, 4, 15);
    EXPECT_EQ(page.width, 1600);
    EXPECT_EQ(page.height, layout.height);
    const Placement last = show_tool::thumbnail_place(layout, 16);
    EXPECT_LE(last.y + last.height + layout.caption_height, page.height);
    std::vector<int32_t> entries;
    for (int32_t entry = 1; entry <= 15; ++entry) {
        EXPECT_FALSE(framed_in_red(page, show_tool::thumbnail_place(layout, entry + 1)));
        entries.push_back(entry);
    }
    expect_thumbnails_show_the_frames(page, layout, entries);
}

TEST_F(ContactSheetTest, TheSheetIsAPngOrAJpegByItsName) {
    std::string error;
    ASSERT_TRUE(demo::write_demo_show(".", &error)) << error;
    ASSERT_EQ(run_tool({"sheet", "-o", "sheet.JPEG", "--width", "400"}).status, 0);
    const std::vector<uint8_t> jpeg = read_file_bytes("sheet.JPEG");
    ASSERT_GT(jpeg.size(), 3u);
    EXPECT_EQ(jpeg[0] << 8 | jpeg[1], 0xFFD8);
    const ToolRun refused = run_tool({"sheet", "-o", "sheet.gif"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("-o takes a name ending in .png, .jpg or .jpeg, not 'sheet.gif'"),
              std::string::npos);
    EXPECT_FALSE(file_exists("sheet.gif"));
}

TEST_F(ContactSheetTest, MissingFilesAreMarkedInRed) {
    ExpectedShow show;
    show.picture_count = 4;
    show.pic_file[1] = 100;
    show.pic_file[2] = 150;  // missing
    show.pic_file[3] = 101;
    show.pic_box2[3] = 42;  // missing
    show.pic_file[4] = 101;
    show.pic_marked[4] = 1;
    write_show_files(2, &show);
    const ToolRun run = run_tool({"sheet", "-o", "sheet.png", "--columns", "2", "--width", "900"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("; 2 with files missing or not loadable"), std::string::npos);

    const Canvas page = read_picture("sheet.png");
    const SheetLayout layout = show_tool::plan_sheet(900, 2, 4);
    EXPECT_EQ(page.width, 900);
    const bool marked[] = {false, true, true, false};
    for (int i = 0; i < 4; ++i) {
        const Placement place = show_tool::thumbnail_place(layout, i + 2);
        EXPECT_EQ(framed_in_red(page, place), marked[i]) << "entry " << i + 1;
        int red_in_caption = 0;
        for (int y = place.y + place.height + 1; y < place.y + place.height + layout.caption_height;
             ++y)
            for (int x = place.x; x < place.x + place.width; ++x)
                red_in_caption += near(page.at(x, y), 0xC81414, 40);
        EXPECT_EQ(red_in_caption > 0, marked[i]) << "entry " << i + 1;
    }
    // Black stands in for the missing screenshot, not the picture before it.
    const Placement missing = show_tool::thumbnail_place(layout, 3);
    EXPECT_EQ(page.at(missing.x + missing.width / 2, missing.y + missing.height / 2), 0u);
    expect_thumbnails_show_the_frames(page, layout, {1, 3, 4});
}

}  // namespace
