// The WAV reader on files built here chunk by chunk: what it accepts, where it leaves
// the read position, and that every refusal leaves no file open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sound/wave_file.h"
#include "tests/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

void append_id(Bytes& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

// One chunk: header, contents and, for an odd size, the pad byte. stated_size, when
// given, replaces the size field without changing the contents.
Bytes chunk(const char* id, const Bytes& contents, int64_t stated_size = -1) {
    Bytes out;
    append_id(out, id);
    append_le32(out, static_cast<int32_t>(stated_size >= 0 ? stated_size : contents.size()));
    out.insert(out.end(), contents.begin(), contents.end());
    if (contents.size() % 2 == 1) out.push_back(0);
    return out;
}

struct FormatFields {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 11025;
    uint32_t average = 11025;
    uint16_t align = 1;
    uint16_t bits = 8;
};

// The contents of a "fmt " chunk: the 16-byte record, then extra bytes up to size.
Bytes format_contents(const FormatFields& fields, size_t size = 16) {
    Bytes out;
    append_le16(out, fields.tag);
    append_le16(out, fields.channels);
    append_le32(out, static_cast<int32_t>(fields.rate));
    append_le32(out, static_cast<int32_t>(fields.average));
    append_le16(out, fields.align);
    append_le16(out, fields.bits);
    out.resize(size, 0xEE);
    return out;
}

Bytes riff(const char* form, const std::vector<Bytes>& chunks, int64_t stated_size = -1) {
    Bytes body;
    append_id(body, form);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes out;
    append_id(out, "RIFF");
    append_le32(out, static_cast<int32_t>(stated_size >= 0 ? stated_size : body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes samples(size_t count, uint8_t first = 1) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(first + i * 7);
    return out;
}

class WaveFileTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        descriptors_before = open_descriptor_count();
    }

    // Writes the file, opens it and keeps what the reader gave back.
    bool open(const Bytes& file) {
        write_file_bytes("test.wav", file);
        return open_wave_file("test.wav", &wave, &format, &data_size);
    }

    Bytes read(size_t count) {
        Bytes out(count, 0xCC);
        out.resize(read_wave_data(&wave, out.data(), count));
        return out;
    }

    void expect_refused(const Bytes& file) {
        EXPECT_FALSE(open(file));
        EXPECT_EQ(wave.file, nullptr);
        EXPECT_EQ(open_descriptor_count(), descriptors_before);
    }

    void TearDown() override {
        close_wave_file(&wave);
        EXPECT_EQ(open_descriptor_count(), descriptors_before);
        ScratchTest::TearDown();
    }

    WaveFile wave;
    WaveFormat format{};
    uint32_t data_size = 0;
    int descriptors_before = 0;
};

TEST_F(WaveFileTest, SkipsListAndFactBetweenFormatAndData) {
    const Bytes pcm = samples(20);
    ASSERT_TRUE(
        open(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("LIST", Bytes(26, 'L')),
                           chunk("fact", Bytes(4, 'F')), chunk("data", pcm)})));
    EXPECT_EQ(data_size, 20u);
    EXPECT_EQ(format.format_tag, 1);
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.samples_per_second, 11025u);
    EXPECT_EQ(format.bits_per_sample, 8);
    EXPECT_EQ(format.extension_size, 0);
    EXPECT_EQ(read(20), pcm);
}

TEST_F(WaveFileTest, SkipsOddChunksWithTheirPadBytes) {
    // An odd chunk before "fmt " and one between "fmt " and "data": missing the pad
    // byte of either lands the walk one byte off and finds nothing.
    const Bytes pcm = samples(9);
    ASSERT_TRUE(open(riff("WAVE", {chunk("junk", Bytes(5, 'j')), chunk("fmt ", format_contents({})),
                                   chunk("LIST", Bytes(3, 'L')), chunk("data", pcm)})));
    EXPECT_EQ(data_size, 9u);
    EXPECT_EQ(read(9), pcm);
}

TEST_F(WaveFileTest, SkipsFormatBytesBeyondTheRecord) {
    for (size_t size : {17u, 18u, 40u}) {
        SCOPED_TRACE(size);
        // The skipped bytes hold a fake "data" header that a reader stopping right
        // after the 16-byte record would take for the real one.
        Bytes contents = format_contents({}, size);
        const Bytes decoy = chunk("data", {}, 2);
        std::copy(decoy.begin(), decoy.end(), contents.begin() + 16);
        const Bytes pcm = samples(6, 0x40);
        ASSERT_TRUE(open(riff("WAVE", {chunk("fmt ", contents), chunk("data", pcm)})));
        EXPECT_EQ(data_size, 6u);
        EXPECT_EQ(format.extension_size, 0);
        EXPECT_EQ(read(6), pcm);
        close_wave_file(&wave);
    }
}

TEST_F(WaveFileTest, ReportsEveryFormatFieldAsStored) {
    FormatFields stereo;
    stereo.channels = 2;
    stereo.rate = 44100;
    stereo.average = 176400;
    stereo.align = 4;
    stereo.bits = 16;
    ASSERT_TRUE(
        open(riff("WAVE", {chunk("fmt ", format_contents(stereo)), chunk("data", samples(16))})));
    EXPECT_EQ(format.format_tag, 1);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samples_per_second, 44100u);
    EXPECT_EQ(format.average_bytes_per_second, 176400u);
    EXPECT_EQ(format.block_align, 4);
    EXPECT_EQ(format.bits_per_sample, 16);
    EXPECT_EQ(format.extension_size, 0);
}

TEST_F(WaveFileTest, AcceptsFieldsThatDisagree) {
    FormatFields odd;
    odd.channels = 3;
    odd.rate = 1;
    odd.average = 999999;
    odd.align = 7;
    odd.bits = 12;
    ASSERT_TRUE(
        open(riff("WAVE", {chunk("fmt ", format_contents(odd)), chunk("data", samples(4))})));
    EXPECT_EQ(format.block_align, 7);
    EXPECT_EQ(format.average_bytes_per_second, 999999u);
}

TEST_F(WaveFileTest, RefusesWhatIsNotPcm) {
    expect_refused(riff("WAVE", {chunk("fmt ", format_contents({}, 14)), chunk("data", {1, 2})}));
    for (uint16_t tag : {0, 2, 3, 0xFFFE}) {
        SCOPED_TRACE(tag);
        FormatFields fields;
        fields.tag = tag;
        for (size_t size : {16u, 18u, 40u})
            expect_refused(
                riff("WAVE", {chunk("fmt ", format_contents(fields, size)), chunk("data", {1})}));
    }
    // A "fmt " chunk that says 16 but holds only 15 bytes before the file ends.
    Bytes cut = riff("WAVE", {chunk("fmt ", format_contents({}))});
    cut.pop_back();
    expect_refused(cut);
}

TEST_F(WaveFileTest, FindsDataOnlyBehindFormat) {
    expect_refused(riff("WAVE", {chunk("data", samples(8)), chunk("fmt ", format_contents({}))}));
    expect_refused(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("LIST", {1, 2})}));
    expect_refused(riff("WAVE", {chunk("data", samples(8))}));
    // Ids are compared byte for byte.
    expect_refused(riff("WAVE", {chunk("FMT ", format_contents({})), chunk("data", {1})}));
    expect_refused(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("DATA", {1})}));
}

TEST_F(WaveFileTest, RefusesFilesThatAreNotRiffWave) {
    expect_refused({});
    Bytes good = riff("WAVE", {chunk("fmt ", format_contents({})), chunk("data", {1, 2})});
    expect_refused(Bytes(good.begin(), good.begin() + 11));
    Bytes big_endian = good;
    std::memcpy(big_endian.data(), "RIFX", 4);
    expect_refused(big_endian);
    expect_refused(riff("AVI ", {chunk("fmt ", format_contents({})), chunk("data", {1, 2})}));
    Bytes lower_case = good;
    std::memcpy(lower_case.data() + 8, "wave", 4);
    expect_refused(lower_case);
    EXPECT_FALSE(open_wave_file("missing.wav", &wave, &format, &data_size));
    EXPECT_EQ(wave.file, nullptr);
}

TEST_F(WaveFileTest, RiffSizeBoundsTheChunkSearch) {
    const Bytes fmt = chunk("fmt ", format_contents({}));
    const Bytes data = chunk("data", samples(4));
    // "WAVE" plus the format chunk only: the data chunk behind lies outside.
    expect_refused(riff("WAVE", {fmt, data}, 4 + static_cast<int64_t>(fmt.size())));
    // The data chunk's header straddles the end of the RIFF chunk.
    expect_refused(riff("WAVE", {fmt, data}, 4 + static_cast<int64_t>(fmt.size()) + 4));
    // The header inside, the samples outside: that is the data size's business.
    ASSERT_TRUE(open(riff("WAVE", {fmt, data}, 4 + static_cast<int64_t>(fmt.size()) + 8)));
    EXPECT_EQ(read(4), samples(4));
}

TEST_F(WaveFileTest, HugeSizesDoNotWrapAround) {
    const Bytes fmt = chunk("fmt ", format_contents({}));
    const Bytes data = chunk("data", samples(4));
    // A RIFF size near 4 GiB: the end of the RIFF chunk lies far behind the file,
    // not before its start.
    ASSERT_TRUE(open(riff("WAVE", {fmt, data}, 0xFFFFFFFF)));
    EXPECT_EQ(read(4), samples(4));
    close_wave_file(&wave);

    // A chunk of size 0xFFFFFFFF, whose end wraps in 32 bits to its own contents,
    // which hold a perfectly good format and data chunk.
    Bytes inner = fmt;
    inner.insert(inner.end(), data.begin(), data.end());
    expect_refused(riff("WAVE", {chunk("LIST", inner, 0xFFFFFFFF)}, 0xFFFFFFFF));
    // A format chunk stating nearly 4 GiB: the data chunk is looked for behind that
    // size, not right behind the 16-byte record.
    Bytes format_then_data = format_contents({});
    format_then_data.insert(format_then_data.end(), data.begin(), data.end());
    expect_refused(riff("WAVE", {chunk("fmt ", format_then_data, 0xFFFFFFFE)}, 0xFFFFFFFF));
}

TEST_F(WaveFileTest, DataSizeIsTakenAsStated) {
    const Bytes pcm = samples(10);
    ASSERT_TRUE(open(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("data", pcm, 1000)})));
    EXPECT_EQ(data_size, 1000u);
    EXPECT_EQ(read(1000), pcm);
    EXPECT_EQ(read(10).size(), 0u);
    close_wave_file(&wave);

    ASSERT_TRUE(open(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("data", {})})));
    EXPECT_EQ(data_size, 0u);
}

TEST_F(WaveFileTest, ReadsBehindTheDataChunkWhenAskedTo) {
    // The reader does not stop at the chunk's end; the caller never asks beyond it.
    ASSERT_TRUE(open(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("data", {1, 2}),
                                   chunk("LIST", {9, 9})})));
    EXPECT_EQ(read(6), (Bytes{1, 2, 'L', 'I', 'S', 'T'}));
}

TEST_F(WaveFileTest, CloseIsSafeTwiceAndReadAfterCloseGivesNothing) {
    ASSERT_TRUE(open(riff("WAVE", {chunk("fmt ", format_contents({})), chunk("data", {1, 2})})));
    close_wave_file(&wave);
    close_wave_file(&wave);
    EXPECT_EQ(read(2).size(), 0u);
    EXPECT_EQ(open_descriptor_count(), descriptors_before);
}

}  // namespace
