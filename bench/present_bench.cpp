// Composing and showing one picture on the scripted backend: the screenshot already
// in place, three boxes read from their files, the level strip, the panel, the mark,
// the editor bar and the text lines, onto a screen whose present costs nothing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "editor/editor.h"
#include "platform/common/bmp_writer.h"
#include "platform/headless/headless.h"
#include "screens/presentation.h"
#include "show/picture_table.h"

namespace {

void write_picture(const std::string& name, int width, int height, uint32_t seed) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (static_cast<uint32_t>(i) * 2654435761u) ^ seed;
    bmp_write_24(name, width, height, pixels.data());
}

// A show of one picture with everything on it, in a directory of its own.
std::string prepare_show() {
    std::string dir = std::filesystem::temp_directory_path().string() + "/qzview-bench-XXXXXX";
    if (mkdtemp(dir.data()) == nullptr || chdir(dir.c_str()) != 0) std::abort();
    write_picture("scs00001.BMP", 1024, 768, 1);
    write_picture("scs00100.BMP", 1024, 768, 2);
    for (int box = 1; box <= 3; ++box)
        write_picture("scb0000" + std::to_string(box) + ".BMP", 200, 150, 3 + box);
    headless_reset();
    headless_keep_screen_model(false);  // the present itself costs nothing
    reset_global_state();
    if (!init_display(nullptr, 1)) std::abort();
    load_picture(PictureSlot::sheet, 1);
    init_picture_table();
    picture_table.pic_file[1] = 100;
    picture_table.pic_box1[1] = 1;
    picture_table.pic_box2[1] = 2;
    picture_table.pic_box3[1] = 3;
    picture_table.pic_level[1] = 12;
    picture_table.pic_marked[1] = 1;
    picture_table.current_picture = 1;
    editor.editor_active = 1;
    editor.edit_mode = 10;
    return dir;
}

void BM_present_picture_with_every_layer(benchmark::State& bench) {
    const std::string dir = prepare_show();
    present_edited_picture();  // the screenshot is now cached
    for (auto _ : bench) {
        present_edited_picture();
        headless_clear_texts();
    }
    shutdown_all();
    headless_reset();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_present_picture_with_every_layer)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
