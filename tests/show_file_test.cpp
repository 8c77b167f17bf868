// The picture table's operations and the show file SCR1.BIL, byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/editor.h"
#include "platform/headless/headless.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tests/test_support.h"

namespace {

class ShowFileTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        init_picture_table();
        build_show_file_name();
    }
};

// Fills every stored column with values that differ per column and per entry.
void fill_table_with_pattern() {
    for (int i = 0; i < TABLE_SIZE; ++i) {
        picture_table.pic_file[i] = 100 + i;
        picture_table.pic_box1[i] = i % 7;
        picture_table.pic_wave[i] = -i;
        picture_table.pic_level[i] = i % 60;
        picture_table.pic_marked[i] = static_cast<uint8_t>(i % 3 == 0);
        picture_table.pic_box1_x[i] = 1000 * i + 1;
        picture_table.pic_box1_y[i] = 1000 * i + 2;
        picture_table.pic_box2[i] = 0x01020304 + i;
        picture_table.pic_box2_x[i] = -1000 * i - 3;
        picture_table.pic_box2_y[i] = 1000 * i + 4;
        picture_table.pic_box3[i] = i * 31;
        picture_table.pic_box3_x[i] = INT32_MIN + i;
        picture_table.pic_box3_y[i] = INT32_MAX - i;
    }
    picture_table.first_picture = 7;
    picture_table.picture_count = 321;
}

// The file as the layout describes it, built independently of the code under test.
std::vector<uint8_t> expected_file_bytes() {
    std::vector<uint8_t> out;
    auto column = [&](const int32_t* values) {
        for (int i = 0; i < TABLE_SIZE; ++i)
            append_le32(out, values[i]);
    };
    append_le32(out, picture_table.first_picture);
    append_le32(out, picture_table.picture_count);
    column(picture_table.pic_file);
    column(picture_table.pic_box1);
    column(picture_table.pic_wave);
    column(picture_table.pic_level);
    for (int i = 0; i < TABLE_SIZE; ++i)
        out.push_back(picture_table.pic_marked[i]);
    column(picture_table.pic_box1_x);
    column(picture_table.pic_box1_y);
    column(picture_table.pic_box2);
    column(picture_table.pic_box2_x);
    column(picture_table.pic_box2_y);
    column(picture_table.pic_box3);
    column(picture_table.pic_box3_x);
    column(picture_table.pic_box3_y);
    return out;
}

void set_editor_fields() {
    editor.editor_active = 1;
    picture_table.new_file_number = 5;
    editor.prompt_mode = 3;
    editor.status_lines_on = 1;
    editor.selected_edit_mode = 9;
}

void expect_editor_fields_cleared() {
    EXPECT_EQ(editor.editor_active, 0);
    EXPECT_EQ(picture_table.new_file_number, 0);
    EXPECT_EQ(editor.prompt_mode, 0);
    EXPECT_EQ(editor.status_lines_on, 0);
    EXPECT_EQ(editor.selected_edit_mode, 0);
}

TEST_F(ShowFileTest, NameIsBuiltFromTheShowFileNumber) {
    EXPECT_STREQ(picture_table.show_file_name, "SCR1.BIL");
}

TEST_F(ShowFileTest, SavedFileHasTheLayoutBytes) {
    fill_table_with_pattern();
    set_editor_fields();
    ASSERT_TRUE(save_show());
    expect_editor_fields_cleared();
    const std::vector<uint8_t> bytes = read_file_bytes("SCR1.BIL");
    ASSERT_EQ(bytes.size(), 24508u);
    EXPECT_EQ(bytes, expected_file_bytes());
    EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
}

TEST_F(ShowFileTest, SavedFileIsFullSizeWhateverTheCount) {
    picture_table.picture_count = 1;
    ASSERT_TRUE(save_show_file());
    EXPECT_EQ(read_file_bytes("SCR1.BIL").size(), 24508u);
}

TEST_F(ShowFileTest, RoundTripRestoresEveryStoredColumn) {
    fill_table_with_pattern();
    ASSERT_TRUE(save_show_file());
    const PictureTable saved = picture_table;
    init_picture_table();
    picture_table.picture_count = 1;
    picture_table.pic_wave_played[3] = 1;
    picture_table.current_picture = 40;
    set_editor_fields();

    ASSERT_TRUE(load_show());
    expect_editor_fields_cleared();
    EXPECT_EQ(picture_table.first_picture, 1);  // the file says 7
    EXPECT_EQ(picture_table.current_picture, 1);
    EXPECT_EQ(picture_table.picture_count, 321);
    EXPECT_EQ(picture_table.shown_box1, saved.pic_box1[1]);
    EXPECT_EQ(picture_table.pic_wave_played[3], 1);  // not stored, not touched
    for (int i = 0; i < TABLE_SIZE; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(picture_table.pic_file[i], saved.pic_file[i]);
        EXPECT_EQ(picture_table.pic_box1[i], saved.pic_box1[i]);
        EXPECT_EQ(picture_table.pic_wave[i], saved.pic_wave[i]);
        EXPECT_EQ(picture_table.pic_level[i], saved.pic_level[i]);
        EXPECT_EQ(picture_table.pic_marked[i], saved.pic_marked[i]);
        EXPECT_EQ(picture_table.pic_box1_x[i], saved.pic_box1_x[i]);
        EXPECT_EQ(picture_table.pic_box1_y[i], saved.pic_box1_y[i]);
        EXPECT_EQ(picture_table.pic_box2[i], saved.pic_box2[i]);
        EXPECT_EQ(picture_table.pic_box2_x[i], saved.pic_box2_x[i]);
        EXPECT_EQ(picture_table.pic_box2_y[i], saved.pic_box2_y[i]);
        EXPECT_EQ(picture_table.pic_box3[i], saved.pic_box3[i]);
        EXPECT_EQ(picture_table.pic_box3_x[i], saved.pic_box3_x[i]);
        EXPECT_EQ(picture_table.pic_box3_y[i], saved.pic_box3_y[i]);
    }
    // And the bytes come out the same again.
    picture_table.first_picture = 7;
    ASSERT_TRUE(save_show_file());
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), expected_file_bytes());
}

TEST_F(ShowFileTest, MissingFileLeavesTheTableAndClearsTheEditor) {
    picture_table.pic_file[1] = 100;
    picture_table.picture_count = 1;
    set_editor_fields();
    EXPECT_FALSE(load_show());
    expect_editor_fields_cleared();
    EXPECT_EQ(picture_table.pic_file[1], 100);
    EXPECT_EQ(picture_table.picture_count, 1);
}

TEST_F(ShowFileTest, ShortFileFillsWhatItHoldsByteForByte) {
    picture_table.pic_file[0] = 0x11223344;
    picture_table.pic_file[1] = 100;
    picture_table.pic_box1[1] = 9;
    std::vector<uint8_t> bytes;
    append_le32(bytes, 1);
    append_le32(bytes, 3);
    bytes.push_back(0xAA);  // the low two bytes of pic_file[0] only
    bytes.push_back(0xBB);
    write_file_bytes("SCR1.BIL", bytes);
    ASSERT_TRUE(load_show_file());
    EXPECT_EQ(picture_table.picture_count, 3);
    EXPECT_EQ(static_cast<uint32_t>(picture_table.pic_file[0]), 0x1122BBAAu);
    EXPECT_EQ(picture_table.pic_file[1], 100);
    EXPECT_EQ(picture_table.shown_box1, 9);
}

TEST_F(ShowFileTest, LongFileIsReadOnlyUpToItsLayout) {
    fill_table_with_pattern();
    std::vector<uint8_t> bytes = expected_file_bytes();
    bytes.resize(bytes.size() + 1000, 0xEE);
    write_file_bytes("SCR1.BIL", bytes);
    init_picture_table();
    ASSERT_TRUE(load_show_file());
    EXPECT_EQ(picture_table.pic_box3_y[499], INT32_MAX - 499);
    EXPECT_EQ(picture_table.picture_count, 321);
}

TEST_F(ShowFileTest, PictureCountOutsideTheTableIsClamped) {
    const struct {
        int32_t stored;
        int32_t loaded;
    } cases[] = {{0, 1}, {-5, 1}, {INT32_MIN, 1}, {499, 499}, {500, 499}, {INT32_MAX, 499}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        std::vector<uint8_t> bytes;
        append_le32(bytes, 1);
        append_le32(bytes, c.stored);
        write_file_bytes("SCR1.BIL", bytes);
        ASSERT_TRUE(load_show_file());
        EXPECT_EQ(picture_table.picture_count, c.loaded);
    }
}

TEST_F(ShowFileTest, FailedSaveKeepsThePreviousFile) {
    fill_table_with_pattern();
    ASSERT_TRUE(save_show_file());
    const std::vector<uint8_t> before = read_file_bytes("SCR1.BIL");
    for (const char* fault :
         {"file-create", "file-write", "file-flush", "file-close", "file-rename"}) {
        SCOPED_TRACE(fault);
        headless_reset();
        ASSERT_TRUE(headless_fail(fault));
        picture_table.pic_file[1] = 4242;
        set_editor_fields();
        EXPECT_FALSE(save_show());
        expect_editor_fields_cleared();
        EXPECT_EQ(read_file_bytes("SCR1.BIL"), before);
        EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
    }
}

TEST_F(ShowFileTest, ReadOnlyShowFileIsNotReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
    fill_table_with_pattern();
    ASSERT_TRUE(save_show_file());
    const std::vector<uint8_t> before = read_file_bytes("SCR1.BIL");
    ASSERT_EQ(chmod("SCR1.BIL", 0444), 0);
    picture_table.pic_file[1] = 4242;
    EXPECT_FALSE(save_show_file());
    EXPECT_EQ(read_file_bytes("SCR1.BIL"), before);
    EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
    chmod("SCR1.BIL", 0644);
}

TEST_F(ShowFileTest, FailedFirstSaveLeavesNoFile) {
    headless_fail("file-write");
    EXPECT_FALSE(save_show_file());
    EXPECT_FALSE(file_exists("SCR1.BIL"));
    EXPECT_FALSE(file_exists("SCR1.BIL.tmp"));
}

// --- the table ---

class PictureTableTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        picture_table.default_box1_x = 100;
        picture_table.default_box1_y = 100;
        init_picture_table();
    }
    // Entries 1..count show files 11, 12, ... and carry a box and a level each.
    void make_show(int count) {
        picture_table.picture_count = count;
        for (int i = 1; i <= count; ++i) {
            picture_table.pic_file[i] = 10 + i;
            picture_table.pic_box1[i] = i;
            picture_table.pic_level[i] = i;
        }
    }
};

TEST_F(PictureTableTest, DefaultsOfEveryEntry) {
    picture_table.default_box1_x = 33;
    picture_table.default_box1_y = 44;
    picture_table.one_time_sound_started = 1;
    picture_table.pic_wave_played[7] = 1;
    init_picture_table();
    for (int i : {0, 1, 250, 499}) {
        EXPECT_EQ(picture_table.pic_file[i], 0);
        EXPECT_EQ(picture_table.pic_box1_x[i], 33);
        EXPECT_EQ(picture_table.pic_box1_y[i], 44);
        EXPECT_EQ(picture_table.pic_box2_x[i], 750);
        EXPECT_EQ(picture_table.pic_box2_y[i], 180);
        EXPECT_EQ(picture_table.pic_box3_x[i], 50);
        EXPECT_EQ(picture_table.pic_box3_y[i], 50);
    }
    EXPECT_EQ(picture_table.pic_wave_played[7], 0);
    EXPECT_EQ(picture_table.one_time_sound_started, 0);
}

TEST_F(PictureTableTest, InsertOpensASlotAfterTheCurrentEntry) {
    make_show(4);
    picture_table.current_picture = 2;
    picture_table.pic_marked[3] = 1;
    picture_table.new_file_number = 5;
    picture_table.exchange_file_number = 6;
    insert_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 5);
    EXPECT_EQ(picture_table.current_picture, 2);
    EXPECT_EQ(picture_table.pic_file[2], 12);
    EXPECT_EQ(picture_table.pic_file[3], 12);  // the duplicate
    EXPECT_EQ(picture_table.pic_file[4], 13);
    EXPECT_EQ(picture_table.pic_file[5], 14);
    EXPECT_EQ(picture_table.pic_box1[5], 4);
    EXPECT_EQ(picture_table.pic_marked[3], 1);  // marks stay at their index
    EXPECT_EQ(picture_table.pic_marked[4], 0);
    EXPECT_EQ(picture_table.new_file_number, 0);
    EXPECT_EQ(picture_table.exchange_file_number, 0);
}

TEST_F(PictureTableTest, InsertAtTheLastEntryDuplicatesIt) {
    make_show(3);
    picture_table.current_picture = 3;
    insert_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 4);
    EXPECT_EQ(picture_table.pic_file[4], 13);
    EXPECT_EQ(picture_table.pic_level[4], 3);
}

TEST_F(PictureTableTest, InsertIntoAFullTableOnlyClearsTheTypedNumbers) {
    make_show(499);
    picture_table.current_picture = 10;
    picture_table.new_file_number = 5;
    const PictureTable before = picture_table;
    insert_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 499);
    EXPECT_EQ(std::vector<int32_t>(picture_table.pic_file, picture_table.pic_file + TABLE_SIZE),
              std::vector<int32_t>(before.pic_file, before.pic_file + TABLE_SIZE));
    EXPECT_EQ(picture_table.new_file_number, 0);
}

TEST_F(PictureTableTest, DeleteClosesTheSlot) {
    make_show(4);
    picture_table.current_picture = 2;
    picture_table.pic_marked[2] = 1;
    delete_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 3);
    EXPECT_EQ(picture_table.pic_file[2], 13);
    EXPECT_EQ(picture_table.pic_file[3], 14);
    EXPECT_EQ(picture_table.pic_file[4], 0);  // what slot 5 held
    EXPECT_EQ(picture_table.pic_marked[2], 1);
}

TEST_F(PictureTableTest, DeleteOfTheOnlyEntryKeepsOneEntry) {
    make_show(1);
    picture_table.current_picture = 1;
    picture_table.pic_file[2] = 77;  // left there by earlier edits
    picture_table.new_file_number = 3;
    picture_table.exchange_file_number = 4;
    delete_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 1);
    EXPECT_EQ(picture_table.pic_file[1], 77);
    EXPECT_EQ(picture_table.new_file_number, 0);
    EXPECT_EQ(picture_table.exchange_file_number, 0);
}

TEST_F(PictureTableTest, DeleteOfTheLastEntryLeavesCurrentAboveTheCount) {
    make_show(3);
    picture_table.current_picture = 3;
    delete_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 2);
    EXPECT_EQ(picture_table.current_picture, 3);
}

TEST_F(PictureTableTest, DeleteInAFullTableGivesTheLastIndexTheDefaults) {
    make_show(499);
    picture_table.current_picture = 498;
    delete_picture_slot();
    EXPECT_EQ(picture_table.picture_count, 498);
    EXPECT_EQ(picture_table.pic_file[498], 10 + 499);
    EXPECT_EQ(picture_table.pic_file[499], 0);
    EXPECT_EQ(picture_table.pic_box1_x[499], 100);
    EXPECT_EQ(picture_table.pic_box2_x[499], 750);
}

}  // namespace
