#include <cstdint>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mpeg_file.h"
#include "engine/mpeg_header.h"
#include "engine/player_engine.h"
#include "tests/support/fixtures.h"

namespace {

using namespace engine;

constexpr size_t kSyncBufferBytes = 4096;

// MPEG-1 Layer III at 44100 Hz: 128 kbit/s (417-byte frames) and 320 kbit/s
// (1044-byte frames); MPEG-1 Layer II and MPEG-2 Layer III headers.
constexpr uint8_t kMpeg1Layer3Header[4] = {0xFF, 0xFB, 0x90, 0x44};
constexpr size_t kMpeg1Layer3FrameLength = 417;
constexpr uint8_t kMpeg1Layer3At320Header[4] = {0xFF, 0xFB, 0xE0, 0x44};
constexpr size_t kMpeg1Layer3At320FrameLength = 1044;
constexpr uint8_t kMpeg1Layer2Header[4] = {0xFF, 0xFD, 0x80, 0x44};
constexpr uint8_t kMpeg2Layer3Header[4] = {0xFF, 0xF3, 0xC0, 0x44};

void PutBytes(std::vector<uint8_t>& file, size_t offset, const uint8_t* bytes, size_t count) {
    if (file.size() < offset + count) file.resize(offset + count);
    std::copy(bytes, bytes + count, file.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Appends `count` frames of zeros behind `header`.
void AppendFrames(std::vector<uint8_t>& file, const uint8_t* header, size_t frameLength, size_t count) {
    for (size_t frame = 0; frame < count; ++frame) {
        const size_t start = file.size();
        file.resize(start + frameLength, 0);
        PutBytes(file, start, header, 4);
    }
}

std::unique_ptr<PlayerEngine> EngineWithFile(const std::string& path) {
    auto engine = std::make_unique<PlayerEngine>();
    EXPECT_TRUE(engine->fileReader.ReaderOpen(path)) << path;
    return engine;
}

uint64_t ReaderPosition(FileReader& reader) {
    return reader.ReaderSeek(0, SEEK_FROM_CURRENT);
}

// Offsets of the frames of a plain frame stream, walked from `first`.
std::set<uint64_t> FrameStarts(const std::vector<uint8_t>& bytes, size_t first) {
    std::set<uint64_t> starts;
    MpegHeader header;
    for (size_t offset = first; offset + 4 <= bytes.size(); offset += static_cast<size_t>(header.frameLength)) {
        if (!ParseMpegHeader(bytes.data() + offset, &header)) break;
        starts.insert(offset);
    }
    return starts;
}

// ---- Sync searches ----

TEST(MpegSyncTest, FindsHeadersAcrossEveryRefillBoundary) {
    // The first read covers 0..4095 and examines positions up to 4092; each
    // refill carries the last three bytes, so the next buffer starts 4093
    // further on.
    const size_t kPositions[] = {0, 1, 4091, 4092, 4093, 4094, 4095, 4096, 8185, 8186, 8187, 8188, 8189, 12000};
    for (size_t position : kPositions) {
        std::vector<uint8_t> bytes(3 * kSyncBufferBytes + 100, 0);
        PutBytes(bytes, position, kMpeg1Layer3Header, 4);
        test::TemporaryFile file(bytes);
        FileReader reader;
        ASSERT_TRUE(reader.ReaderOpen(file.Path()));
        EXPECT_EQ(FindFrameSync(reader, kNoPosition), position);
        EXPECT_EQ(ReaderPosition(reader), position) << "the reader is left on the header";
    }
}

TEST(MpegSyncTest, HeaderAtTheEndOfTheFile) {
    const struct {
        const char* description;
        size_t fileSize;
        size_t headerBytesInFile;
        uint64_t expected;
    } kCases[] = {
        {"whole header ends the file", 5000, 4, 4996},
        {"three header bytes end the file", 5000, 3, kNoPosition},
        {"whole header ends a file of one buffer", kSyncBufferBytes, 4, kSyncBufferBytes - 4},
        {"whole header ends a file one past a buffer", kSyncBufferBytes + 1, 4, kSyncBufferBytes - 3},
        {"header is the file", 4, 4, 0},
        {"three bytes of header are the file", 3, 3, kNoPosition},
    };
    for (const auto& testCase : kCases) {
        std::vector<uint8_t> bytes(testCase.fileSize - testCase.headerBytesInFile, 0);
        bytes.insert(bytes.end(), kMpeg1Layer3Header, kMpeg1Layer3Header + testCase.headerBytesInFile);
        test::TemporaryFile file(bytes);
        FileReader reader;
        ASSERT_TRUE(reader.ReaderOpen(file.Path()));
        EXPECT_EQ(FindFrameSync(reader, kNoPosition), testCase.expected) << testCase.description;
    }
}

TEST(MpegSyncTest, SearchStartsAtTheReaderPosition) {
    std::vector<uint8_t> bytes(6000, 0);
    PutBytes(bytes, 50, kMpeg1Layer3Header, 4);
    PutBytes(bytes, 5000, kMpeg1Layer3Header, 4);
    test::TemporaryFile file(bytes);
    FileReader reader;
    ASSERT_TRUE(reader.ReaderOpen(file.Path()));
    ASSERT_EQ(reader.ReaderSeek(51, SEEK_FROM_START), 51u);
    EXPECT_EQ(FindFrameSync(reader, kNoPosition), 5000u);
    ASSERT_EQ(reader.ReaderSeek(50, SEEK_FROM_START), 50u);
    EXPECT_EQ(FindFrameSync(reader, kNoPosition), 50u);
}

TEST(MpegSyncTest, NothingToFind) {
    test::TemporaryFile zeros(std::vector<uint8_t>(3 * kSyncBufferBytes, 0));
    test::TemporaryFile empty(std::vector<uint8_t>{});
    for (const std::string& path : {zeros.Path(), empty.Path()}) {
        FileReader reader;
        ASSERT_TRUE(reader.ReaderOpen(path));
        EXPECT_EQ(FindFrameSync(reader, kNoPosition), kNoPosition) << path;
        EXPECT_EQ(FindMatchingFrameSync(reader, 1, 3), kNoPosition) << path;
    }
    FileReader closed;
    EXPECT_EQ(FindFrameSync(closed, kNoPosition), kNoPosition);
    EXPECT_EQ(FindMatchingFrameSync(closed, 1, 3), kNoPosition);
}

// The matching search compares the version and layer of the second byte and
// skips other headers, here one on each side of a refill boundary.
TEST(MpegSyncTest, MatchingSearchComparesVersionAndLayer) {
    std::vector<uint8_t> bytes(10000, 0);
    PutBytes(bytes, 10, kMpeg2Layer3Header, 4);
    PutBytes(bytes, 4094, kMpeg1Layer2Header, 4);
    PutBytes(bytes, 6000, kMpeg1Layer3Header, 4);
    test::TemporaryFile file(bytes);
    const struct {
        int32_t version;
        int32_t layer;
        uint64_t expected;
    } kCases[] = {
        {2, 3, 10}, {1, 2, 4094}, {1, 3, 6000}, {3, 3, kNoPosition}, {2, 1, kNoPosition}, {0, 0, kNoPosition},
    };
    for (const auto& testCase : kCases) {
        FileReader reader;
        ASSERT_TRUE(reader.ReaderOpen(file.Path()));
        EXPECT_EQ(FindMatchingFrameSync(reader, testCase.version, testCase.layer), testCase.expected)
            << "version " << testCase.version << ", layer " << testCase.layer;
    }
    FileReader reader;
    ASSERT_TRUE(reader.ReaderOpen(file.Path()));
    EXPECT_EQ(FindFrameSync(reader, kNoPosition), 10u) << "the plain search takes any header";
}

// ---- Open scan ----

struct ScanCase {
    const char* name;
    MpegHeader format;  // frame length 0: variable, not checked
    uint32_t trueSamples;  // what LAME was given when it wrote a LAME tag; else the decoded length
    double tolerance;      // allowed relative error of the estimated length; 0 when exact
};

// Frame lengths are the sampled averages: 128 kbit/s at 44100 Hz mixes 417-
// and 418-byte frames, which average 417 in integer division over a long
// sample; the few frames of the second half of a short file are all 418.
const ScanCase kScanCases[] = {
    {"cbr128_noinfo.mp3", {1, 3, 2, 44100, 128, 417, 1152}, 222336, 0.01},
    {"cbr128.mp3", {1, 3, 2, 44100, 128, 417, 1152}, 220500, 0},
    {"loud.mp3", {1, 3, 2, 44100, 320, 1044, 1152}, 132300, 0},
    {"short.mp3", {1, 3, 2, 44100, 128, 418, 1152}, 13230, 0},
    {"id3v1.mp3", {1, 3, 2, 44100, 128, 418, 1152}, 13230, 0},
    {"truncated.mp3", {1, 3, 2, 44100, 128, 417, 1152}, 55125, 0.03},
    {"vbr.mp3", {1, 3, 2, 44100, 0, 0, 1152}, 220500, 0},
    {"mpeg2_l3.mp3", {2, 3, 2, 22050, 64, 208, 576}, 110250, 0},
    {"mpeg25_l3.mp3", {3, 3, 2, 11025, 32, 208, 576}, 55125, 0},
    {"layer2.mp2", {1, 2, 2, 44100, 192, 626, 1152}, 221184, 0.01},
    {"mpeg2_layer2.mp2", {2, 2, 2, 24000, 64, 384, 1152}, 120960, 0.01},
    {"rmp3.rmp", {1, 3, 2, 44100, 128, 417, 1152}, 222336, 0.01},
    {"wave_mp3.wav", {1, 3, 2, 44100, 128, 417, 1152}, 221605, 0.01},
};

TEST(MpegScanTest, FindsFormatAndLength) {
    for (const ScanCase& testCase : kScanCases) {
        SCOPED_TRACE(testCase.name);
        auto engine = EngineWithFile(test::FixturePath(testCase.name));
        ASSERT_TRUE(MpegOpenScan(*engine));
        MpegHeader format = engine->sourceFormat;
        if (testCase.format.bitrate == 0) {
            EXPECT_GT(format.bitrate, 32);
            EXPECT_LT(format.bitrate, 320);
            EXPECT_GT(format.frameLength, 104);
            EXPECT_LT(format.frameLength, 1044);
            format.bitrate = 0;
            format.frameLength = 0;
        }
        EXPECT_EQ(format, testCase.format);
        EXPECT_NEAR(engine->length, testCase.trueSamples, testCase.trueSamples * testCase.tolerance);
        EXPECT_EQ(ReaderPosition(engine->fileReader), 0u) << "the reader is left at offset 0";
    }
}

// Without a Xing frame the estimate divides the whole file size, tag
// included, by the sampled frames' average length (417.96 bytes at 128
// kbit/s and 44100 Hz, not its integer part).
TEST(MpegScanTest, LargeLeadingTagInflatesTheLength) {
    const std::string path = test::FixturePath("id3v2_large.mp3");
    auto engine = EngineWithFile(path);
    ASSERT_TRUE(MpegOpenScan(*engine));
    EXPECT_EQ(engine->sourceFormat, (MpegHeader{1, 3, 2, 44100, 128, 417, 1152}));
    const uint64_t fileSize = std::filesystem::file_size(path);
    EXPECT_NEAR(engine->length, fileSize / (144.0 * 128000 / 44100) * 1152, 1152);
    EXPECT_EQ(ReaderPosition(engine->fileReader), 0u);
}

TEST(MpegScanTest, FailsWithoutFramePairsFromTheMiddle) {
    for (const char* name : {"garbage.bin", "freeformat.mp3", "four_bytes.mp3", "empty.mp3"}) {
        auto engine = EngineWithFile(test::FixturePath(name));
        EXPECT_FALSE(MpegOpenScan(*engine)) << name;
    }
    PlayerEngine closed;
    EXPECT_FALSE(MpegOpenScan(closed));
}

// A header whose successor disagrees is skipped, and the scan goes on from
// the next sync after it, also when the stray frame is longer than 2048 bytes.
TEST(MpegScanTest, SkipsHeadersWithoutAMatchingSuccessor) {
    const struct {
        const char* description;
        uint8_t header[4];
    } kStrayHeaders[] = {
        {"MPEG-2 Layer III, 417 bytes", {0xFF, 0xF3, 0xC0, 0x44}},
        {"MPEG-1 Layer III, 417 bytes", {0xFF, 0xFB, 0x90, 0x44}},
        {"MPEG-2.5 Layer II at 8000 Hz, 2880 bytes", {0xFF, 0xE5, 0xE8, 0x00}},
    };
    for (const auto& stray : kStrayHeaders) {
        SCOPED_TRACE(stray.description);
        const size_t middle = 20000;
        std::vector<uint8_t> bytes(middle + 3000, 0);
        PutBytes(bytes, middle, stray.header, 4);  // followed by zeros
        AppendFrames(bytes, kMpeg1Layer3Header, kMpeg1Layer3FrameLength, 30);
        bytes.resize(2 * middle, 0);
        test::TemporaryFile file(bytes);
        auto engine = EngineWithFile(file.Path());
        ASSERT_TRUE(MpegOpenScan(*engine));
        EXPECT_EQ(engine->sourceFormat, (MpegHeader{1, 3, 2, 44100, 128, 417, 1152}));
    }
}

// 128 frames of 128 kbit/s followed by 320 kbit/s frames: the averages show
// exactly how many frames were sampled.
TEST(MpegScanTest, SamplesAtMost129Frames) {
    std::vector<uint8_t> frames;
    AppendFrames(frames, kMpeg1Layer3Header, kMpeg1Layer3FrameLength, 128);
    AppendFrames(frames, kMpeg1Layer3At320Header, kMpeg1Layer3At320FrameLength, 100);
    std::vector<uint8_t> bytes(frames.size(), 0);  // the middle is the first frame
    bytes.insert(bytes.end(), frames.begin(), frames.end());
    test::TemporaryFile file(bytes);
    auto engine = EngineWithFile(file.Path());
    ASSERT_TRUE(MpegOpenScan(*engine));
    // 129 frames: (128 x 128 + 320) / 129 and (128 x 417 + 1044) / 129.
    EXPECT_EQ(engine->sourceFormat.bitrate, 129);
    EXPECT_EQ(engine->sourceFormat.frameLength, 421);
    EXPECT_EQ(engine->length, bytes.size() * 129 / (128 * 417 + 1044) * 1152);
}

// A tail of zeros is no audio, however it came (an unfinished download
// written ahead, a sparse hole): what is before it plays and sets the length,
// and the scan reads only a little of the tail. Frames only in the first half
// of a small file are found from its start.
TEST(MpegScanTest, TheAudioBeforeATailOfZerosPlays) {
    const std::vector<uint8_t> audio = test::ReadFileBytes(test::FixturePath("cbr128.mp3"));
    const double seconds = 222336 / 44100.0;
    std::vector<uint8_t> tenFrames;
    AppendFrames(tenFrames, kMpeg1Layer3Header, kMpeg1Layer3FrameLength, 10);
    struct Case {
        const char* name;
        const std::vector<uint8_t>& start;
        uint64_t size;  // the start, then zeros up to this size (sparse when large)
        double expectedSeconds;
    };
    const Case cases[] = {
        {"two megabytes of written zeros", audio, audio.size() + (2 << 20), seconds},
        {"a sparse hole of 4 GiB", audio, audio.size() + (4ull << 30), seconds},
        {"a small file's first half", tenFrames, 2 * tenFrames.size() + 10, 20 * 0.0261},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryFile file(c.start);
        std::error_code error;
        std::filesystem::resize_file(file.Path(), c.size, error);
        if (error) GTEST_SKIP() << "cannot make a sparse file: " << error.message();
        auto engine = EngineWithFile(file.Path());
        ASSERT_TRUE(MpegOpenScan(*engine));
        EXPECT_EQ(engine->sourceFormat.sampleRate, 44100);
        EXPECT_NEAR(engine->length / 44100.0, c.expectedSeconds, c.expectedSeconds * 0.03);
        EXPECT_LE(engine->fileReader.ReaderSize(), c.size);
        EXPECT_GE(engine->fileReader.ReaderSize(), c.start.size());
    }
}

// A file of more than 2^32 samples must not wrap to a short length. The file
// is sparse: frames at its middle, nothing stored elsewhere.
TEST(MpegScanTest, LengthSaturatesForHugeFiles) {
    // 3728272 frames of 1152 samples are 2048 samples past 2^32.
    const uint64_t fileSize = 3728272ull * kMpeg1Layer3FrameLength;
    std::vector<uint8_t> frames;
    AppendFrames(frames, kMpeg1Layer3Header, kMpeg1Layer3FrameLength, 130);
    test::TemporaryFile file(std::vector<uint8_t>{});
    {
        std::fstream stream(file.Path(), std::ios::in | std::ios::out | std::ios::binary);
        stream.seekp(static_cast<std::streamoff>(fileSize / 2));
        stream.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size()));
    }
    std::error_code error;
    std::filesystem::resize_file(file.Path(), fileSize, error);
    if (error) GTEST_SKIP() << "cannot make a sparse file: " << error.message();

    auto engine = EngineWithFile(file.Path());
    ASSERT_TRUE(MpegOpenScan(*engine));
    EXPECT_EQ(engine->sourceFormat.frameLength, 417);
    EXPECT_EQ(engine->length, std::numeric_limits<uint32_t>::max());
}

// ---- Seek ----

TEST(MpegSeekTest, OffsetArithmetic) {
    const struct {
        uint32_t target;
        int32_t samplesPerFrame;
        int32_t averageFrameLength;
        uint64_t expected;
    } kCases[] = {
        {0, 1152, 417, 0},
        {1151, 1152, 417, 0},
        {1152, 1152, 417, 417},
        {441000, 1152, 417, 382 * 417},
        {441000, 576, 208, 765 * 208},
        {441000, 384, 140, 1148 * 140},
        // 11184810 frames of 2880 bytes lie past 4 GiB.
        {std::numeric_limits<uint32_t>::max(), 384, 2880, 11184810ull * 2880},
        {1000, 0, 417, 0},
        {1000, 1152, 0, 0},
    };
    for (const auto& testCase : kCases) {
        EXPECT_EQ(MpegSeekOffset(testCase.target, testCase.samplesPerFrame, testCase.averageFrameLength),
                  testCase.expected)
            << testCase.target << " / " << testCase.samplesPerFrame << " x " << testCase.averageFrameLength;
    }
}

TEST(MpegSeekTest, LandsOnAFrameAtOrAfterTheEstimate) {
    const std::string path = test::FixturePath("cbr128_noinfo.mp3");
    const std::set<uint64_t> starts = FrameStarts(test::ReadFileBytes(path), 0);
    auto engine = EngineWithFile(path);
    ASSERT_TRUE(MpegOpenScan(*engine));
    for (int32_t milliseconds : {0, 1, 1000, 2500, 4900}) {
        SCOPED_TRACE(milliseconds);
        engine->seekPending = 0;
        ASSERT_TRUE(MpegSeek(*engine, milliseconds));
        const uint32_t target = static_cast<uint32_t>(44100 * milliseconds * 0.001);
        const uint64_t estimate = target / 1152 * 417;
        const uint64_t position = ReaderPosition(engine->fileReader);
        EXPECT_GE(position, estimate);
        EXPECT_LT(position, estimate + 418);
        EXPECT_TRUE(starts.count(position)) << "position " << position << " is not a frame start";
        EXPECT_EQ(engine->seekBase, target);
        EXPECT_EQ(engine->seekPending, 1u);
    }
}

// A negative time seeks to the start instead of a negative sample.
TEST(MpegSeekTest, NegativeTimeSeeksToTheStart) {
    auto engine = EngineWithFile(test::FixturePath("cbr128_noinfo.mp3"));
    ASSERT_TRUE(MpegOpenScan(*engine));
    engine->seekBase = 777;
    ASSERT_TRUE(MpegSeek(*engine, -5000));
    EXPECT_EQ(engine->seekBase, 0u);
    EXPECT_EQ(ReaderPosition(engine->fileReader), 0u);
}

TEST(MpegSeekTest, FailureLeavesThePlaybackAlone) {
    for (int32_t milliseconds : {60000, std::numeric_limits<int32_t>::max()}) {
        SCOPED_TRACE(milliseconds);
        auto engine = EngineWithFile(test::FixturePath("cbr128_noinfo.mp3"));
        ASSERT_TRUE(MpegOpenScan(*engine));
        engine->seekBase = 777;
        EXPECT_FALSE(MpegSeek(*engine, milliseconds));
        EXPECT_EQ(engine->seekBase, 777u);
        EXPECT_EQ(engine->seekPending, 0u);
        const uint32_t target = static_cast<uint32_t>(std::min(44100.0 * milliseconds * 0.001, 4294967295.0));
        EXPECT_EQ(ReaderPosition(engine->fileReader), MpegSeekOffset(target, 1152, 417))
            << "the reader is left at the estimated offset";
    }
    auto engine = EngineWithFile(test::FixturePath("cbr128_noinfo.mp3"));
    ASSERT_TRUE(MpegOpenScan(*engine));
    engine->fileReader.ReaderClose();
    EXPECT_FALSE(MpegSeek(*engine, 1000));
    EXPECT_EQ(engine->seekPending, 0u);
}

// A leading ID3v2 tag of text and padding holds no sync pattern, so seeking
// to 0 lands on the first frame after it.
TEST(MpegSeekTest, SeekToStartSkipsATextTag) {
    // 5000 = 39 x 128 + 8, in the tag's four seven-bit size bytes.
    const size_t kTagBodyBytes = 5000;
    std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 39, 8};
    const std::string text = "TIT2 A title that repeats. ";
    while (bytes.size() < kTagBodyBytes - 1000) bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.resize(10 + kTagBodyBytes, 0);
    const std::vector<uint8_t> frames = test::ReadFileBytes(test::FixturePath("cbr128_noinfo.mp3"));
    bytes.insert(bytes.end(), frames.begin(), frames.end());
    test::TemporaryFile file(bytes);

    auto engine = EngineWithFile(file.Path());
    ASSERT_TRUE(MpegOpenScan(*engine));
    ASSERT_TRUE(MpegSeek(*engine, 0));
    EXPECT_EQ(ReaderPosition(engine->fileReader), 10 + kTagBodyBytes);
    EXPECT_EQ(engine->seekPending, 1u);
}

// The matching search does not parse the tag: in a tag of noise it stops at
// the first pattern that looks like a header of the stream's version and
// layer, and the frame loop resynchronises from there.
TEST(MpegSeekTest, SeekToStartStopsAtAFalseSyncInsideANoiseTag) {
    const std::string path = test::FixturePath("id3v2_large.mp3");
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    const uint64_t kFirstFrame = 10 + 300000;
    auto engine = EngineWithFile(path);
    ASSERT_TRUE(MpegOpenScan(*engine));
    ASSERT_TRUE(MpegSeek(*engine, 0));
    const uint64_t position = ReaderPosition(engine->fileReader);
    ASSERT_LT(position, kFirstFrame);
    EXPECT_TRUE(PassesQuickSyncTest(bytes.data() + position));
    EXPECT_EQ(bytes[position + 1] & 0xFE, 0xFA) << "MPEG-1 Layer III";
}

}  // namespace
