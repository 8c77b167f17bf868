// Image files as they come from cameras, phones and other programs, added with
// qzview-show: turned upright, in sRGB, over the chosen background, oversized and
// damaged files refused without harm to the rest of the batch, and two batches on one
// show at the same time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vips/vips.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include "platform/common/bmp_decoder.h"
#include "tests/show_fixture.h"
#include "tools/demo/canvas.h"
#include "tools/show/isolated_run.h"

namespace {

using demo::Canvas;
using show_tool::IsolationLimits;
using show_tool::run_isolated;

// gdk-pixbuf's installed tests: valid images beside the test programs, damaged ones
// in test-images/fail.
const char* const DECODER_TESTS = "/usr/libexec/installed-tests/gdk-pixbuf";

// The test images are written with libvips in a child process of their own, so that
// the test process never starts libvips' threads before the tool forks its decoders.
void make_images(const std::function<bool()>& write) {
    std::vector<uint8_t> answer;
    std::string reason;
    const auto job = [&write](std::vector<uint8_t>* result) {
        const bool written = VIPS_INIT("qzview-tests") == 0 && write();
        if (!written) {
            const std::string error = vips_error_buffer();
            result->assign(error.begin(), error.end());
        }
    };
    ASSERT_TRUE(run_isolated(job, IsolationLimits{}, &answer, &reason)) << reason;
    ASSERT_TRUE(answer.empty()) << std::string(answer.begin(), answer.end());
}

// The canvas as a libvips image (3 bands) or with an alpha band from `alpha`.
VipsImage* vips_of(const Canvas& picture, const std::vector<uint8_t>& alpha = {}) {
    const int bands = alpha.empty() ? 3 : 4;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t c = picture.pixels[i];
        bytes.insert(bytes.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        if (bands == 4) bytes.push_back(alpha[i]);
    }
    return vips_image_new_from_memory_copy(bytes.data(), bytes.size(), picture.width,
                                           picture.height, bands, VIPS_FORMAT_UCHAR);
}

bool save(VipsImage* image, const std::string& name) {
    const bool saved = vips_image_write_to_file(image, name.c_str(), nullptr) == 0;
    g_object_unref(image);
    return saved;
}

Canvas read_screenshot(const std::string& path) {
    DecodedImage image;
    EXPECT_TRUE(bmp_decode_file(path.c_str(), PixelFormat::xrgb8888, &image)) << path;
    Canvas picture(image.width, image.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, image.pixels.data() + 4 * i, 4);
        picture.pixels[i] = pixel & 0xFFFFFF;
    }
    return picture;
}

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

std::set<std::string> screenshot_files(const std::string& directory = ".") {
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        const std::string name = item.path().filename().string();
        if (name.rfind("scs", 0) == 0) names.insert(name);
    }
    return names;
}

size_t count_of(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

constexpr uint32_t A = 0xE02020, B = 0x20C040, C = 0x2040E0, D = 0xF0E060;

// Four quadrants A B / C D as stored in the file.
Canvas quadrants(int width, int height) {
    Canvas picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.set(x, y, y < height / 2 ? (x < width / 2 ? A : B) : (x < width / 2 ? C : D));
    return picture;
}

using ImportTest = ScratchTest;

// Each EXIF orientation names how the stored picture must be turned or mirrored to
// stand upright; the screenshot shows it upright, at the upright aspect ratio.
TEST_F(ImportTest, EveryExifOrientationIsTurnedUpright) {
    struct Turned {
        int orientation;
        uint32_t top_left, top_right, bottom_left, bottom_right;
    };
    const Turned expected[] = {{1, A, B, C, D}, {2, B, A, D, C}, {3, D, C, B, A}, {4, C, D, A, B},
                               {5, A, C, B, D}, {6, C, A, D, B}, {7, D, B, C, A}, {8, B, D, A, C}};
    make_images([&expected] {
        for (const Turned& turned : expected) {
            VipsImage* image = vips_of(quadrants(120, 80));
            vips_image_set_int(image, VIPS_META_ORIENTATION, turned.orientation);
            if (!save(image, "turned" + std::to_string(turned.orientation) + ".jpg")) return false;
        }
        return true;
    });
    std::vector<std::string> arguments = {"add"};
    for (const Turned& turned : expected)
        arguments.push_back("turned" + std::to_string(turned.orientation) + ".jpg");
    const ToolRun run = run_tool(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("turned1.jpg -> scs00100.BMP, entry 1 (120x80 scaled to 1024x683)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("turned6.jpg -> scs00105.BMP, entry 6 (80x120 scaled to 512x768)"),
              std::string::npos);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Turned& turned = expected[i];
        SCOPED_TRACE(turned.orientation);
        const Canvas shot = read_screenshot("scs0010" + std::to_string(i) + ".BMP");
        const bool upright = turned.orientation <= 4;
        const int left = upright ? 0 : 256, top = upright ? 42 : 0;
        const int right = upright ? 1023 : 767, bottom = upright ? 724 : 767;
        EXPECT_TRUE(near(shot.at(left + 40, top + 40), turned.top_left, 24));
        EXPECT_TRUE(near(shot.at(right - 40, top + 40), turned.top_right, 24));
        EXPECT_TRUE(near(shot.at(left + 40, bottom - 40), turned.bottom_left, 24));
        EXPECT_TRUE(near(shot.at(right - 40, bottom - 40), turned.bottom_right, 24));
    }
}

// A CMYK JPEG, with its profile or without (as Photoshop writes them), and an RGB
// picture in another colour space than sRGB come out in their true colours.
TEST_F(ImportTest, CmykAndColourProfilesComeOutInSrgb) {
    const uint32_t teal = 0x008080, red = 0xFF0000;
    make_images([&] {
        VipsImage* cmyk = nullptr;
        VipsImage* bare = nullptr;
        VipsImage* p3 = nullptr;
        VipsImage* teal_image = vips_of(Canvas(64, 48, teal));
        VipsImage* red_image = vips_of(Canvas(64, 48, red));
        const bool made =
            vips_colourspace(teal_image, &cmyk, VIPS_INTERPRETATION_CMYK, nullptr) == 0 &&
            vips_copy(cmyk, &bare, nullptr) == 0 && vips_image_remove(bare, VIPS_META_ICC_NAME) &&
            vips_icc_transform(red_image, &p3, "p3", "input_profile", "srgb", nullptr) == 0;
        g_object_unref(teal_image);
        g_object_unref(red_image);
        return made && save(cmyk, "cmyk.jpg") && save(bare, "cmyk-bare.jpg") &&
               save(p3, "display-p3.jpg");
    });
    const ToolRun run = run_tool({"add", "cmyk.jpg", "cmyk-bare.jpg", "display-p3.jpg"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(near(read_screenshot("scs00100.BMP").at(512, 384), teal, 40));
    EXPECT_TRUE(near(read_screenshot("scs00101.BMP").at(512, 384), teal, 40));
    // Taken as plain RGB, the P3 numbers would give (234, 51, 35).
    EXPECT_TRUE(near(read_screenshot("scs00102.BMP").at(512, 384), red, 8));
}

// A half see-through icon over white, kept at its own size; a large picture with the
// same settings still shrinks to fit, its bars in the background colour.
TEST_F(ImportTest, BackgroundAndFitDown) {
    std::vector<uint8_t> alpha(16 * 16);
    for (size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = i % 16 < 4 ? 0 : (i % 16 < 8 ? 128 : 255);  // clear, half, solid columns
    make_images([&alpha] {
        return save(vips_of(Canvas(16, 16, 0xFF0000), alpha), "icon.png") &&
               save(vips_of(Canvas(2048, 768, 0x0000FF)), "wide.png");
    });
    const ToolRun run =
        run_tool({"add", "--background", "#F0F0F0", "--fit", "down", "icon.png", "wide.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("icon.png -> scs00100.BMP, entry 1 (16x16, centred)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("wide.png -> scs00101.BMP, entry 2 (2048x768 scaled to 1024x384)"),
              std::string::npos);
    const Canvas icon = read_screenshot("scs00100.BMP");
    const int left = 504, top = 376;
    EXPECT_EQ(icon.at(0, 0), 0xF0F0F0u);
    EXPECT_EQ(icon.at(left - 1, top + 8), 0xF0F0F0u);
    EXPECT_EQ(icon.at(left + 1, top + 8), 0xF0F0F0u);            // clear
    EXPECT_TRUE(near(icon.at(left + 5, top + 8), 0xF77878, 2));  // half over the background
    EXPECT_EQ(icon.at(left + 15, top + 15), 0xFF0000u);
    EXPECT_EQ(icon.at(left + 16, top + 15), 0xF0F0F0u);
    const Canvas wide = read_screenshot("scs00101.BMP");
    EXPECT_EQ(wide.at(512, 191), 0xF0F0F0u);
    EXPECT_EQ(wide.at(512, 192), 0x0000FFu);

    const ToolRun wrong = run_tool({"add", "--background", "pink-ish", "icon.png"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("--background takes a colour name"), std::string::npos);
    EXPECT_EQ(run_tool({"add", "--fit", "stretch", "icon.png"}).status, 2);
}

// A PNG's header: signature, IHDR of this size (8-bit RGB), a few bytes of compressed
// data that hold hardly any pixels, and the end.
std::vector<uint8_t> png_claiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto big_endian = [&bytes](uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(value >> shift));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        big_endian(static_cast<uint32_t>(data.size()));
        const size_t start = bytes.size();
        bytes.insert(bytes.end(), type, type + 4);
        bytes.insert(bytes.end(), data.begin(), data.end());
        uint32_t crc = 0xFFFFFFFF;
        for (size_t i = start; i < bytes.size(); ++i) {
            crc ^= bytes[i];
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
        }
        big_endian(~crc);
    };
    std::vector<uint8_t> header;
    for (uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(uint8_t(value >> shift));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk("IHDR", header);
    chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    chunk("IEND", {});
    return bytes;
}

// Files whose header claims more pixels than the limits are named with their size
// before any of their pixels is decoded; a damaged file is named with the decoder's
// reason. The others still go in, and only their screenshots are left.
TEST_F(ImportTest, OversizedAndDamagedFilesAreNamedAndLeaveNothingBehind) {
    write_file_bytes("wide.png", png_claiming(20000, 100));
    write_file_bytes("many.png", png_claiming(12000, 9000));  // 108 megapixels
    make_images([] { return save(vips_of(quadrants(64, 48)), "good.png"); });
    std::vector<uint8_t> cut = read_file_bytes("good.png");
    cut.resize(60);  // the header whole, the pixels cut short
    write_file_bytes("cut.png", cut);
    const ToolRun run = run_tool({"add", "wide.png", "good.png", "many.png", "cut.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wide.png: is 20000x100 pixels, more than the 16384 on a side or "
                           "100 megapixels taken"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("many.png: is 12000x9000 pixels"), std::string::npos);
    EXPECT_NE(run.err.find("cut.png: cannot be decoded: "), std::string::npos);
    EXPECT_NE(run.out.find("good.png -> scs00100.BMP, entry 1"), std::string::npos);
    EXPECT_EQ(screenshot_files(), std::set<std::string>{"scs00100.BMP"});
}

// The decoder's process ends in a crash, runs out of memory, or spins: each is named,
// and the caller goes on.
TEST_F(ImportTest, TheDecodersProcessFailsAlone) {
    std::vector<uint8_t> answer;
    std::string reason;
    IsolationLimits limits;
    limits.memory_bytes = 512ull << 20;
    limits.cpu_seconds = 1;
    EXPECT_FALSE(
        run_isolated([](std::vector<uint8_t>*) { std::raise(SIGSEGV); }, limits, &answer, &reason));
    EXPECT_EQ(reason, "crashed (Segmentation fault)");
    EXPECT_FALSE(run_isolated(
        [](std::vector<uint8_t>*) {
            for (volatile uint64_t spin = 0;; spin = spin + 1) {
            }
        },
        limits, &answer, &reason));
    EXPECT_EQ(reason, "took more than 1 s");
    if (show_tool::ISOLATION_LIMITS_MEMORY) {
        EXPECT_FALSE(
            run_isolated([](std::vector<uint8_t>* bytes) { bytes->resize(size_t{2} << 30, 1); },
                         limits, &answer, &reason));
        EXPECT_EQ(reason, "ran out of memory (more than 512 MB)");
    }
    // A large answer comes back whole.
    ASSERT_TRUE(run_isolated(
        [](std::vector<uint8_t>* bytes) {
            for (int i = 0; i < 3 << 20; ++i)
                bytes->push_back(uint8_t(i * 7));
        },
        limits, &answer, &reason));
    ASSERT_EQ(answer.size(), size_t{3} << 20);
    EXPECT_EQ(answer[123457], uint8_t(123457 * 7));
}

// The damaged and valid images of gdk-pixbuf's own tests, all in one batch: each file
// gets one line, the upright JPEG matches its upright PNG, and every screenshot left
// is one the show uses.
TEST_F(ImportTest, TheDecoderTestSuitesImages) {
    const std::filesystem::path images(DECODER_TESTS);
    if (!std::filesystem::is_directory(images)) GTEST_SKIP() << "gdk-pixbuf-tests is absent";
    // Some of these files make the decoders ask for gigabytes, which only the memory
    // limit stops.
    if (!show_tool::ISOLATION_LIMITS_MEMORY) GTEST_SKIP() << "no memory limit under sanitizers";
    std::vector<std::string> arguments = {"add", (images / "bug725582-testrotate.jpg").string(),
                                          (images / "bug725582-testrotate.png").string(),
                                          (images / "large.jpg").string()};
    for (const auto& item : std::filesystem::directory_iterator(images / "test-images" / "fail"))
        arguments.push_back(item.path().string());
    const ToolRun run = run_tool(arguments);
    EXPECT_EQ(run.status, 1);
    for (size_t i = 1; i < arguments.size(); ++i)
        EXPECT_EQ(count_of(run.out + run.err, arguments[i] + ":") +
                      count_of(run.out, arguments[i] + " -> "),
                  1u)
            << arguments[i];
    EXPECT_NE(run.err.find("large.jpg: is 22500x33300 pixels"), std::string::npos);
    EXPECT_NE(run.err.find("bug785973.gif: is 65308x65386 pixels"), std::string::npos);

    const Canvas turned = read_screenshot("scs00100.BMP");
    const Canvas upright = read_screenshot("scs00101.BMP");
    int64_t difference = 0;
    for (size_t i = 0; i < turned.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            difference += std::abs(int(turned.pixels[i] >> shift & 0xFF) -
                                   int(upright.pixels[i] >> shift & 0xFF));
    EXPECT_LT(difference / int64_t(turned.pixels.size() * 3), 3);

    write_show_files(0, nullptr);  // the sheet and title beside the screenshots
    const ToolRun check = run_tool({"check"});
    EXPECT_EQ(check.out.find("used by no entry"), std::string::npos) << check.out;
}

// Two batches started together on one show: the second waits for the first and adds
// after it; both are in the show, each screenshot in exactly one entry.
TEST_F(ImportTest, TwoAddsAtOnceBothEndInTheShow) {
    make_images([] {
        for (int i = 0; i < 10; ++i)
            if (!save(vips_of(Canvas(320, 240, 0x101010 * i)), "p" + std::to_string(i) + ".png"))
                return false;
        return true;
    });
    pid_t batches[2];
    for (int b = 0; b < 2; ++b) {
        batches[b] = fork();
        if (batches[b] == 0) {
            std::vector<std::string> arguments = {"add"};
            for (int i = 0; i < 5; ++i)
                arguments.push_back("p" + std::to_string(5 * b + i) + ".png");
            _exit(run_tool(arguments).status);
        }
    }
    for (pid_t batch : batches) {
        int status = -1;
        ASSERT_EQ(waitpid(batch, &status, 0), batch);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const ToolRun dump = run_tool({"dump"});
    EXPECT_NE(dump.out.find("picture_count,10\n"), std::string::npos) << dump.out;
    EXPECT_EQ(screenshot_files().size(), 10u);
    write_show_files(0, nullptr);
    const ToolRun check = run_tool({"check"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out.find("used by no entry"), std::string::npos) << check.out;
}

// While another holds the show's lock, add and load wait, then give up naming the lock
// and change nothing.
TEST_F(ImportTest, AHeldLockIsWaitedForAndNamed) {
    make_images([] { return save(vips_of(quadrants(64, 48)), "good.png"); });
    ASSERT_EQ(run_tool({"add", "good.png"}).status, 0);
    ASSERT_TRUE(std::filesystem::exists(".qzview-show.lock"));
    const std::vector<uint8_t> before = read_file_bytes("SCR1.BIL");
    const ToolRun dump = run_tool({"dump"});
    std::ofstream("show.csv") << dump.out;

    const int held = open(".qzview-show.lock", O_RDWR);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    pid_t holder = fork();
    if (holder == 0) {  // a lock held by another process, let go after 1.5 s
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        _exit(0);
    }
    close(held);  // the child's copy keeps it
    const ToolRun refused = run_tool({"add", "--wait", "0", "good.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(".qzview-show.lock is still held by another qzview-show after 0 s; "
                               "nothing added"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), before);
    EXPECT_EQ(screenshot_files().size(), 1u);
    const ToolRun waited = run_tool({"add", "--wait", "30", "good.png"});
    EXPECT_EQ(waited.status, 0) << waited.err;
    EXPECT_EQ(screenshot_files().size(), 2u);
    EXPECT_EQ(run_tool({"load", "show.csv"}).status, 0);
    waitpid(holder, nullptr, 0);
}

}  // namespace
