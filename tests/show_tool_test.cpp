// qzview-show: the dump prints what SCR1.BIL holds and a load of it writes the same
// bytes back; a wrong text names its line and column and leaves the old file alone;
// the check finds exactly the files a show lacks or cannot load.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/show_fixture.h"
#include "tests/test_support.h"
#include "tools/demo/demo_show.h"
#include "tools/show/show_tool.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string working_directory() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) != nullptr ? path : "";
}

void write_text(const std::string& path, const std::string& text) {
    write_file_bytes(path, Bytes(text.begin(), text.end()));
}

// A table with values anywhere in their ranges, the counters included: the dump must
// carry all of them, not only what the program would accept.
ExpectedShow random_show(uint32_t seed) {
    std::mt19937 random(seed);
    auto any_int = [&] {
        switch (random() % 4) {
            case 0:
                return static_cast<int32_t>(random());
            case 1:
                return static_cast<int32_t>(random() % 1000);
            case 2:
                return -static_cast<int32_t>(random() % 1000);
            default:
                return random() % 2 == 0 ? INT32_MIN : INT32_MAX;
        }
    };
    ExpectedShow show;
    for (int i = 0; i < 500; ++i) {
        for (int32_t* column : {show.pic_file, show.pic_box1, show.pic_wave, show.pic_level,
                                show.pic_box1_x, show.pic_box1_y, show.pic_box2, show.pic_box2_x,
                                show.pic_box2_y, show.pic_box3, show.pic_box3_x, show.pic_box3_y})
            column[i] = any_int();
        show.pic_marked[i] = static_cast<uint8_t>(random());
    }
    const int32_t counts[] = {1, 499, 0, 500, -7, INT32_MIN, INT32_MAX, 250};
    show.first_picture = any_int();
    show.picture_count = counts[seed % 8];
    return show;
}

// The dump as the tool's help describes it, written out from the expected table.
std::string expected_dump(const ExpectedShow& show) {
    std::string text = "first_picture," + std::to_string(show.first_picture) + "\n" +
                       "picture_count," + std::to_string(show.picture_count) + "\n" +
                       "index,pic_file,pic_box1,pic_wave,pic_level,pic_marked,pic_box1_x,"
                       "pic_box1_y,pic_box2,pic_box2_x,pic_box2_y,pic_box3,pic_box3_x,pic_box3_y\n";
    for (int i = 0; i < 500; ++i) {
        text += std::to_string(i);
        for (const int32_t* column : {show.pic_file, show.pic_box1, show.pic_wave, show.pic_level})
            text += "," + std::to_string(column[i]);
        text += "," + std::to_string(show.pic_marked[i]);
        for (const int32_t* column :
             {show.pic_box1_x, show.pic_box1_y, show.pic_box2, show.pic_box2_x, show.pic_box2_y,
              show.pic_box3, show.pic_box3_x, show.pic_box3_y})
            text += "," + std::to_string(column[i]);
        text += "\n";
    }
    return text;
}

// What the program holds before it reads a show file.
ExpectedShow startup_show() {
    ExpectedShow show;
    show.first_picture = 1;
    show.picture_count = 1;
    show.pic_file[1] = 100;
    return show;
}

using ShowToolTest = ScratchTest;

TEST_F(ShowToolTest, DumpPrintsEveryStoredValueInBlockOrder) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const ExpectedShow show = random_show(seed);
        write_file_bytes("SCR1.BIL", show.file_bytes());
        const ToolRun run = run_tool({"dump"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected_dump(show)) << "seed " << seed;
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(ShowToolTest, DumpThenLoadReproducesTheFileByteForByte) {
    std::filesystem::create_directories("from");
    std::filesystem::create_directories("to");
    write_file_bytes("to/SCR1.BIL", random_show(99).file_bytes());  // overwritten
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        const Bytes original = random_show(seed).file_bytes();
        write_file_bytes("from/SCR1.BIL", original);
        const ToolRun dump = run_tool({"dump", "from"});
        ASSERT_EQ(dump.status, 0) << dump.err;
        write_text("show.csv", dump.out);
        const ToolRun load = run_tool({"load", "show.csv", "to"});
        ASSERT_EQ(load.status, 0) << load.err;
        EXPECT_EQ(read_file_bytes("to/SCR1.BIL"), original) << "seed " << seed;
        EXPECT_FALSE(file_exists("to/SCR1.BIL.tmp"));
    }
}

// A short file is dumped as the program reads it: its bytes over the start-up table.
TEST_F(ShowToolTest, AShortFileIsDumpedOverTheStartUpTable) {
    const Bytes full = random_show(7).file_bytes();
    for (size_t size : {size_t{0}, size_t{5}, size_t{2010}, size_t{8300}, size_t{24507}}) {
        write_file_bytes("SCR1.BIL", Bytes(full.begin(), full.begin() + size));
        Bytes expected = startup_show().file_bytes();
        std::copy(full.begin(), full.begin() + size, expected.begin());

        const ToolRun dump = run_tool({"dump"});
        EXPECT_EQ(dump.status, 0);
        EXPECT_NE(dump.err.find("holds " + std::to_string(size) + " bytes, not 24508"),
                  std::string::npos)
            << dump.err;
        write_text("show.csv", dump.out);
        ASSERT_EQ(run_tool({"load", "show.csv"}).status, 0);
        EXPECT_EQ(read_file_bytes("SCR1.BIL"), expected) << size << " bytes";
    }
}

TEST_F(ShowToolTest, TheBytesAfterTheTableAreIgnored) {
    const Bytes table = random_show(8).file_bytes();
    Bytes longer = table;
    longer.resize(table.size() + 100, 0xAB);
    write_file_bytes("SCR1.BIL", longer);
    const ToolRun dump = run_tool({"dump"});
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(dump.err.find("ignores the last 100"), std::string::npos) << dump.err;
    write_text("show.csv", dump.out);
    ASSERT_EQ(run_tool({"load", "show.csv"}).status, 0);
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), table);
}

TEST_F(ShowToolTest, AShowFileThatCannotBeReadGivesStatusTwo) {
    std::filesystem::create_directories("empty");
    std::filesystem::create_directories("folder/SCR1.BIL");
    for (const char* directory : {"empty", "folder", "no-such-directory"}) {
        for (const char* command : {"dump", "check"}) {
            const ToolRun run = run_tool({command, directory});
            EXPECT_EQ(run.status, 2) << command << " " << directory;
            EXPECT_EQ(run.out, "") << command << " " << directory;
            EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
        }
    }
}

// One line of the text changed, and where the load must say the fault lies.
struct Malformation {
    size_t line;  // 1-based; a line past the end appends
    std::string text;
    bool remove;
    std::string where;
    std::string what;
};

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string apply(std::vector<std::string> lines, const Malformation& change) {
    if (change.remove) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(change.line - 1));
    } else if (change.line > lines.size()) {
        lines.push_back(change.text);
    } else {
        lines[change.line - 1] = change.text;
    }
    return join_lines(lines);
}

TEST_F(ShowToolTest, AWrongTextNamesLineAndColumnAndKeepsTheOldFile) {
    ExpectedShow show = startup_show();
    show.picture_count = 9;
    // Line 10 is entry 6: 6,0,0,0,0,0,100,100,0,750,180,0,50,50.
    const std::vector<std::string> good = split_lines(expected_dump(show));
    const std::string entry6 = "6,0,0,0,0,0,100,100,0,750,180,0,50,";
    const std::vector<Malformation> malformations = {
        {10, "6,0,0,0,0,0,100,100,0,750,180,0,50", false, "line 10, column 14 (pic_box3_y)",
         "missing"},
        {10, entry6 + "50,1", false, "line 10, column 15", "one column too many"},
        {10, "6,0,abc,0,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 3 (pic_box1)",
         "\"abc\" is not a whole number"},
        {10, "6,0,0,,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 4 (pic_wave)",
         "is not a whole number"},
        {10, "6,0,0,0,1.5,0,100,100,0,750,180,0,50,50", false, "line 10, column 5 (pic_level)",
         "is not a whole number"},
        {10, "6,0x10,0,0,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 2 (pic_file)",
         "is not a whole number"},
        {10, "6,0,0,0,0,0,100,100,0,2147483648,180,0,50,50", false,
         "line 10, column 10 (pic_box2_x)", "outside -2147483648..2147483647"},
        {10, entry6 + "-2147483649", false, "line 10, column 14 (pic_box3_y)", "outside"},
        {10, "6,0,0,0,0,0,99999999999999999999999,100,0,750,180,0,50,50", false,
         "line 10, column 7 (pic_box1_x)", "outside"},
        {10, "6,0,0,0,0,256,100,100,0,750,180,0,50,50", false, "line 10, column 6 (pic_marked)",
         "\"256\" is outside 0..255"},
        {10, "6,0,0,0,0,-1,100,100,0,750,180,0,50,50", false, "line 10, column 6 (pic_marked)",
         "outside 0..255"},
        {10, "500,0,0,0,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 1 (index)",
         "\"500\" is outside 0..499"},
        {10, "-1,0,0,0,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 1 (index)",
         "outside 0..499"},
        {10, "5,0,0,0,0,0,100,100,0,750,180,0,50,50", false, "line 10, column 1 (index)",
         "entry 5 is given twice (first on line 9)"},
        {10, "", true, "line 503, column 1 (index)", "no row for entries 6"},
        {1, "", true, "line 503, column 1", "no first_picture line"},
        {2, "", true, "line 503, column 1", "no picture_count line"},
        {504, "picture_count,3", false, "line 504, column 1",
         "picture_count is given twice (first on line 2)"},
        {2, "picture_count,x", false, "line 2, column 2 (picture_count)", "not a whole number"},
        {1, "first_picture,2147483648", false, "line 1, column 2 (first_picture)", "outside"},
        {2, "picture_count,3,4", false, "line 2, column 3", "one column too many"},
        {2, "picture_count", false, "line 2, column 2 (picture_count)", "missing"},
        {3, "", true, "line 3, column 1 (index)", "an entry row before the header line"},
        {3,
         "index,pic_file,pic_wave,pic_box1,pic_level,pic_marked,pic_box1_x,pic_box1_y,pic_box2,"
         "pic_box2_x,pic_box2_y,pic_box3,pic_box3_x,pic_box3_y",
         false, "line 3, column 3 (pic_box1)", "\"pic_wave\" found"},
    };
    const Bytes old_file = random_show(5).file_bytes();
    write_file_bytes("SCR1.BIL", old_file);
    for (const Malformation& change : malformations) {
        write_text("show.csv", apply(good, change));
        const ToolRun run = run_tool({"load", "show.csv"});
        EXPECT_EQ(run.status, 1) << change.text;
        EXPECT_NE(run.err.find("show.csv: " + change.where + ": "), std::string::npos)
            << "expected " << change.where << ", got " << run.err;
        EXPECT_NE(run.err.find(change.what), std::string::npos)
            << "expected " << change.what << ", got " << run.err;
        EXPECT_EQ(read_file_bytes("SCR1.BIL"), old_file) << change.where;
        EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
    }
}

TEST_F(ShowToolTest, AnEmptyOrMissingTextWritesNothing) {
    write_text("empty.csv", "");
    const ToolRun empty = run_tool({"load", "empty.csv"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("line 1, column 1: no first_picture line"), std::string::npos)
        << empty.err;
    const ToolRun missing = run_tool({"load", "absent.csv"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read absent.csv"), std::string::npos) << missing.err;
    EXPECT_FALSE(file_exists("SCR1.BIL"));
}

// What a spreadsheet may make of a dump: rows sorted otherwise, Windows line ends, a
// byte order mark, blank lines, spaces after the commas.
TEST_F(ShowToolTest, TheLoadTakesTheTextAsSpreadsheetsWriteIt) {
    const ExpectedShow show = random_show(11);
    std::vector<std::string> lines = split_lines(expected_dump(show));
    std::vector<std::string> edited = {lines[2]};
    edited.insert(edited.end(), lines.rbegin(), lines.rend() - 3);
    edited.push_back("");
    edited.push_back("picture_count, " + std::to_string(show.picture_count));
    edited.push_back(" " + lines[0]);
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& line : edited)
        text += line + "\r\n";
    write_text("show.csv", text);
    const ToolRun run = run_tool({"load", "show.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), show.file_bytes());
}

// The load saves as the editor does: a save that fails at any step keeps the old file.
TEST_F(ShowToolTest, AFailedSaveKeepsTheOldFile) {
    const Bytes old_file = random_show(3).file_bytes();
    write_text("show.csv", expected_dump(random_show(4)));
    for (const char* fault :
         {"file-create", "file-write", "file-flush", "file-close", "file-rename"}) {
        headless_reset();
        write_file_bytes("SCR1.BIL", old_file);
        ASSERT_TRUE(headless_fail(fault));
        const ToolRun run = run_tool({"load", "show.csv"});
        EXPECT_EQ(run.status, 1) << fault;
        EXPECT_NE(run.err.find("cannot write SCR1.BIL; SCR1.BIL is unchanged"), std::string::npos)
            << run.err;
        EXPECT_EQ(read_file_bytes("SCR1.BIL"), old_file) << fault;
        EXPECT_FALSE(file_exists("SCR1.BIL.tmp")) << fault;
    }
}

TEST_F(ShowToolTest, TheTextComesFromTheCallersDirectoryAndTheFileGoesToTheShows) {
    std::filesystem::create_directories("shows/one");
    const ExpectedShow show = random_show(12);
    write_text("show.csv", expected_dump(show));
    const std::string before = working_directory();
    const ToolRun run = run_tool({"load", "show.csv", "shows/one/"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "qzview-show: shows/one/SCR1.BIL written\n");
    EXPECT_EQ(working_directory(), before);
    EXPECT_EQ(read_file_bytes("shows/one/SCR1.BIL"), show.file_bytes());
    EXPECT_FALSE(file_exists("SCR1.BIL"));
    EXPECT_EQ(run_tool({"load", "show.csv", "shows/two"}).status, 1);
    EXPECT_FALSE(file_exists("shows/two"));
}

TEST_F(ShowToolTest, TheDemoShowHasEveryFile) {
    std::string error;
    ASSERT_TRUE(demo::write_demo_show("demo", &error)) << error;
    const ToolRun run = run_tool({"check", "demo"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("all ", 0), 0u) << run.out;
}

// A PCM-less WAVE file: floating-point samples, which the reader refuses.
void write_float_wave(const std::string& path) {
    Bytes bytes = {'R', 'I', 'F', 'F'};
    append_le32(bytes, 36 + 8);
    for (char c : std::string("WAVEfmt "))
        bytes.push_back(static_cast<uint8_t>(c));
    append_le32(bytes, 16);
    append_le16(bytes, 3);
    append_le16(bytes, 1);
    append_le32(bytes, 11025);
    append_le32(bytes, 44100);
    append_le16(bytes, 4);
    append_le16(bytes, 32);
    for (char c : std::string("data"))
        bytes.push_back(static_cast<uint8_t>(c));
    append_le32(bytes, 8);
    bytes.resize(bytes.size() + 8, 0);
    write_file_bytes(path, bytes);
}

void truncate_file(const std::string& path, size_t size) {
    Bytes bytes = read_file_bytes(path);
    bytes.resize(size);
    write_file_bytes(path, bytes);
}

TEST_F(ShowToolTest, TheCheckListsExactlyTheMissingAndBrokenFiles) {
    std::filesystem::create_directories("show");
    ASSERT_EQ(chdir("show"), 0);
    write_show_files(3, nullptr);  // sheet, title, scs00100..102, scb00001..9
    truncate_file("scs00102.BMP", 100);
    write_test_wave("bsou5.WAV", 200);
    write_float_wave("bsou6.WAV");
    ExpectedShow show;
    show.picture_count = 6;
    // Entry 0 and the entries after the count are not shown, so not checked.
    const int32_t files[] = {998, 100, 101, 102, 0, 107, -3, 999};
    for (int i = 0; i < 8; ++i)
        show.pic_file[i] = files[i];
    show.pic_box1[1] = 2;
    show.pic_wave[1] = 5;
    show.pic_box2[2] = 11;
    show.pic_wave[2] = 6;
    show.pic_box3[3] = -4;  // numbers of 0 and below mean no box, no sound
    show.pic_wave[3] = -2;
    show.pic_wave[4] = 7;
    show.pic_box1[5] = 11;
    show.pic_wave[6] = 6;
    show.pic_box1[7] = 50;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    // Screenshots no entry of the show uses: one beyond the count, one the program would
    // not find by its letter case, one no entry names.
    for (const char* unused : {"scs00999.BMP", "scs00101.bmp", "SCS00300.BMP"})
        write_file_bytes(unused, read_file_bytes("scs00100.BMP"));
    ASSERT_EQ(chdir(".."), 0);

    const ToolRun run = run_tool({"check", "show"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "scb00011.BMP: missing; box 1 of entry 5; box 2 of entry 2\n"
              "bsou6.WAV: does not load as a PCM WAVE file; sound of entries 2, 6\n"
              "scs00102.BMP: does not load as a bitmap; screenshot of entry 3\n"
              "-.BMP: missing; screenshot of entries 4, 6\n"
              "bsou7.WAV: missing; sound of entry 4\n"
              "scs00107.BMP: missing; screenshot of entry 5\n"
              "SCS00300.BMP: used by no entry\n"
              "scs00101.bmp: used by no entry\n"
              "scs00999.BMP: used by no entry\n"
              "6 of 12 files missing or not loadable\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(ShowToolTest, TheSheetAndTitleAreCheckedToo) {
    write_show_files(1, nullptr);
    std::filesystem::remove("scs00002.BMP");
    truncate_file("scs00001.BMP", 60);
    ExpectedShow show;
    show.picture_count = 4;
    for (int entry : {1, 2, 3, 4})
        show.pic_file[entry] = entry == 2 ? 1 : 100;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    const ToolRun run = run_tool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "scs00001.BMP: does not load as a bitmap; graphics sheet; screenshot of entry 2\n"
              "scs00002.BMP: missing; title picture\n"
              "2 of 3 files missing or not loadable\n");
}

// The check looks at the show as the program reads it, and says where that differs
// from what the file holds, without failing for it.
TEST_F(ShowToolTest, TheCheckWarnsAboutWhatTheProgramCorrects) {
    write_show_files(1, nullptr);
    ExpectedShow show;
    for (int entry = 0; entry < 500; ++entry)
        show.pic_file[entry] = 100;
    show.pic_level[1] = 48;
    show.pic_level[2] = 49;
    show.pic_level[3] = 49;
    show.pic_level[5] = 60;
    show.pic_level[6] = 60;  // beyond the count
    show.picture_count = 5;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    ToolRun run = run_tool({"check"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.err,
              "qzview-show: warning: level 49 of entries 2-3 is above 48: the program draws "
              "the strip of level 48\n"
              "qzview-show: warning: level 60 of entry 5 is above 48: the program draws the "
              "strip of level 48\n");

    show.picture_count = 0;  // the program shows entry 1 alone
    show.pic_level[2] = show.pic_level[3] = show.pic_level[5] = 0;
    show.pic_file[2] = 555;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    run = run_tool({"check"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.err,
              "qzview-show: warning: the picture count 0 is outside 1..499: the program clamps "
              "it to 1\n");

    show.picture_count = 600;  // the program shows entries 1 to 499
    show.pic_file[2] = 100;
    show.pic_file[499] = 555;
    write_file_bytes("SCR1.BIL", show.file_bytes());
    run = run_tool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("scs00555.BMP: missing; screenshot of entry 499\n", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("count 600 is outside 1..499: the program clamps it to 499"),
              std::string::npos);

    // Only the counters: the count 600 comes from the file, the table is the start-up
    // one, whose entries after the first show the picture numbered 0.
    const Bytes counters_only = show.file_bytes();
    write_file_bytes("SCR1.BIL", Bytes(counters_only.begin(), counters_only.begin() + 8));
    run = run_tool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "-.BMP: missing; screenshot of entries 2-499\n"
              "1 of 4 files missing or not loadable\n");
    EXPECT_NE(run.err.find("holds 8 bytes, not 24508"), std::string::npos) << run.err;
}

TEST_F(ShowToolTest, AWrongCommandLineGivesStatusTwo) {
    const std::vector<std::vector<std::string>> command_lines = {
        {},
        {"frobnicate"},
        {"check", "a", "b"},
        {"dump", "-x"},
        {"load"},
        {"load", "a.csv", "dir", "more"},
        {"add"},
        {"add", "--at", "1", "a.png"},  // beyond an empty show
        {"add", "--sound", "-3", "a.png"},
        {"add", "--at", "x", "a.png"},
        {"add", "--dir"},
        {"sheet", "."},
        {"sheet", "-o", "a.png", "--columns", "0"},
        {"sheet", "-o", "a.png", "--width", "400", "--columns", "16"},
        {"sheet", "a", "b", "-o", "a.png"},
        {"new"},
        {"new", "--level", "3", "dir"},
    };
    for (const std::vector<std::string>& arguments : command_lines) {
        const ToolRun run = run_tool(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("--help'."), std::string::npos) << run.err;
    }
}

TEST_F(ShowToolTest, EveryCommandHasHelp) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> helps = {
        {{"--help"}, "usage: qzview-show COMMAND"},
        {{"check", "--help"}, "usage: qzview-show check [DIR]"},
        {{"dump", "-h"}, "index,pic_file,pic_box1,pic_wave,pic_level,pic_marked,pic_box1_x"},
        {{"load", "x.csv", "--help"}, "usage: qzview-show load FILE.csv [DIR]"},
        {{"add", "--help"}, "usage: qzview-show add [--dir DIR]"},
        {{"sheet", "-h"}, "usage: qzview-show sheet [DIR] -o FILE.png"},
        {{"new", "--help"}, "usage: qzview-show new DIR"},
    };
    for (const auto& [arguments, text] : helps) {
        const ToolRun run = run_tool(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find(text), std::string::npos) << run.out;
    }
}

}  // namespace
