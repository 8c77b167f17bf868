// qzview-headless as its users run it: options, script, logs, exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/show_fixture.h"

namespace {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class RunnerTest : public ScratchTest {
  protected:
    RunResult run(const std::string& arguments) {
        const std::string command =
            std::string(QZVIEW_HEADLESS_PROGRAM) + " " + arguments + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp("out.txt"), slurp("err.txt")};
    }
    void write_script(const Script& script) {
        std::ofstream file("session.txt");
        file << "# a whole session\n\n";
        for (const std::string& line : script.lines())
            file << line << "\n";
    }
};

TEST_F(RunnerTest, AWholeSessionSavesTheExpectedShow) {
    ExpectedShow show;
    show.picture_count = 3;
    for (int i = 1; i <= 3; ++i)
        show.pic_file[i] = 99 + i;
    write_show_files(5, &show);
    Script script;
    script.line("shot title.bmp").left();                      // the title
    script.next().next().previous().line("shot second.bmp");   // to picture 2
    script.right().menu_row(3);                                // the last picture
    script.menu_button().editor_switch();                      // into the editor
    script.bar(7).bar(7);                                      // mark picture 3
    script.bar(10).bar(10).line("char 8").type("5").enter();   // box 1 of picture 3: 5
    script.bar(13).click(601, 301).line("key right").right();  // placed at (602, 301)
    script.bar(1).bar(1).line("char 9").type("104").enter();   // append picture 104
    script.bar(2).bar(2);
    script.bar(8).bar(8);                               // save, leaving the editor
    script.right().menu_row(1).line("shot never.bmp");  // quit
    write_script(script);

    const RunResult result = run("--text-log text.log --sound-log sound.log session.txt");
    EXPECT_EQ(result.status, 0) << result.err;
    show.pic_marked[3] = 1;
    show.pic_box1[3] = 5;
    show.pic_box1_x[3] = 602;
    show.pic_box1_y[3] = 301;
    show.picture_count = 4;
    show.pic_file[4] = 104;
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), show.file_bytes());
    EXPECT_TRUE(file_exists("title.bmp"));
    EXPECT_EQ(shot_pixel("second.bmp", 600, 400), screenshot_colour(101));
    EXPECT_FALSE(file_exists("never.bmp"));  // the program had ended
    const std::string text = slurp("text.log");
    EXPECT_NE(text.find("back 10 684 FFFF00 large KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < \n"),
              std::string::npos);
    EXPECT_NE(text.find("back 10 660 FFFFFF medium EDITMODUS W\xC3\x84HLEN !\n"),
              std::string::npos);
    EXPECT_NE(text.find("front 20 60 FFFFFF large 104_\n"), std::string::npos);
    EXPECT_NE(text.find("back 10 660 FFFFFF medium EDITMODE 2 BILDNUMMER 104 ANH\xC3\x84NGEN !\n"),
              std::string::npos);
}

TEST_F(RunnerTest, FailedStartUpIsReportedAndExitsNonZero) {
    write_script(Script().left());
    RunResult result = run("--fail ddraw session.txt");
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(result.out, "MESSAGE QZVIEW: 2 DIREKTX-OBJEKT kann nicht erstellt werden\n");
    EXPECT_NE(result.err.find("2 DIREKTX-OBJEKT"), std::string::npos);

    result = run("--fail window session.txt");
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(result.out, "");  // no window: no message box either

    result = run("--depth 16 --fail mode16 session.txt");
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.out.find("MESSAGE QZVIEW: 4 "), std::string::npos);
}

TEST_F(RunnerTest, SixteenBitsRunsTheShow) {
    write_show_files(1, nullptr);
    write_script(Script().left().line("shot p.bmp"));
    const RunResult result = run("--depth 16 session.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    // The panel's black is still see-through at 16 bits.
    EXPECT_EQ(shot_pixel("p.bmp", 1013, 740) & 0xF8FCF8, screenshot_colour(100) & 0xF8FCF8);
    EXPECT_EQ(shot_pixel("p.bmp", 900, 740) & 0xF8FCF8, sheet_colour::panel & 0xF8FCF8);
}

TEST_F(RunnerTest, ClosingTheWindowExitsZero) {
    write_show_files(1, nullptr);
    write_script(Script().left().line("close").left());
    EXPECT_EQ(run("session.txt").status, 0);
}

TEST_F(RunnerTest, BadCommandLinesAndScriptsAreRefused) {
    const RunResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* name :
         {"window",      "mouse-input",  "mouse-device", "mouse-format", "mouse-coop",
          "mouse-event", "mouse-notify", "mouse-buffer", "ddraw",        "coop",
          "mode32",      "mode16",       "primary",      "backbuffer",   "offscreen1",
          "offscreen2",  "offscreen3",   "sound-device", "sound-coop",   "dc"})
        EXPECT_NE(help.out.find(std::string("  ") + name + " "), std::string::npos) << name;
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("--fail nothing x.txt").status, 2);
    EXPECT_EQ(run("missing-script.txt").status, 2);
    std::ofstream("bad.txt") << "click left\nmove 1\n";
    const RunResult bad = run("bad.txt");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("bad.txt:2"), std::string::npos);
}

}  // namespace
