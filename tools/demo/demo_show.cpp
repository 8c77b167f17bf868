#include "tools/demo/demo_show.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/common/bmp_writer.h"
#include "tools/demo/bitmap_forms.h"
#include "tools/demo/boxes.h"
#include "tools/demo/graphics_sheet.h"
#include "tools/demo/scenes.h"
#include "tools/demo/show_script.h"
#include "tools/demo/sounds.h"

namespace demo {

namespace {

// Five digits for numbers below 10000, the way the program builds its bitmap names.
std::string numbered_bitmap(const char* series, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d.BMP", series, number);
    return name;
}

std::vector<uint8_t> encode_24(const Canvas& canvas) {
    return bmp_encode_24(canvas.width, canvas.height, canvas.pixels.data());
}

std::vector<uint8_t> encode_in_form(const Canvas& canvas, BitmapForm form) {
    switch (form) {
        case BitmapForm::rgb24:
            return encode_24(canvas);
        case BitmapForm::rgb32_top_down:
            return bmp_encode_32_top_down(canvas);
        case BitmapForm::paletted8:
            return bmp_encode_8(quantize_to_palette(canvas));
        case BitmapForm::rle8:
            return bmp_encode_rle8(quantize_to_palette(canvas));
    }
    return encode_24(canvas);
}

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::vector<DemoFile> make_graphics_files() {
    return {{numbered_bitmap("scs", 1), encode_24(make_graphics_sheet())},
            {numbered_bitmap("scs", 2), encode_24(draw_title_picture())}};
}

std::vector<DemoFile> make_screenshot_files() {
    std::vector<DemoFile> files;
    for (const Scene& scene : demo_scenes())
        files.push_back(
            {numbered_bitmap("scs", scene.number), encode_in_form(scene.draw(), scene.form)});
    return files;
}

std::vector<DemoFile> make_box_files() {
    std::vector<DemoFile> files;
    for (const DemoBox& box : make_demo_boxes())
        files.push_back({numbered_bitmap("scb", box.number), encode_24(box.picture)});
    return files;
}

std::vector<DemoFile> make_sound_files() {
    std::vector<DemoFile> files;
    for (const DemoSound& sound : make_demo_sounds())
        files.push_back(
            {"bsou" + std::to_string(sound.number) + ".WAV", wav_encode_pcm8_mono(sound.samples)});
    return files;
}

DemoFile make_show_script_file() {
    return {"SCR1.BIL", make_show_file(demo_show_entries())};
}

std::vector<DemoFile> make_demo_show() {
    std::vector<DemoFile> files;
    for (auto part : {make_graphics_files, make_screenshot_files, make_box_files, make_sound_files})
        for (DemoFile& file : part())
            files.push_back(std::move(file));
    files.push_back(make_show_script_file());
    return files;
}

bool write_demo_show(const std::string& directory, std::string* error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code) {
        *error = "cannot create " + directory + ": " + code.message();
        return false;
    }
    for (const DemoFile& file : make_demo_show()) {
        const std::filesystem::path path = std::filesystem::path(directory) / file.name;
        if (!write_file(path, file.bytes)) {
            *error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace demo
