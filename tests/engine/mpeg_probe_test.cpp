#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mpeg_file.h"
#include "tests/support/fixtures.h"

namespace {

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, no padding: 417-byte frames.
constexpr uint8_t kMpeg1Layer3Header[4] = {0xFF, 0xFB, 0x90, 0x44};
constexpr size_t kMpeg1Layer3FrameLength = 417;
// MPEG-1 Layer III at 48000 Hz and MPEG-1 Layer II at 44100 Hz, 128 kbit/s.
constexpr uint8_t kMpeg1Layer3At48000Header[4] = {0xFF, 0xFB, 0x94, 0x44};
constexpr uint8_t kMpeg1Layer2Header[4] = {0xFF, 0xFD, 0x80, 0x44};
// MPEG-2 Layer III, 128 kbit/s, 22050 Hz: 72000 x 128 / 22050 = 417 bytes too.
constexpr uint8_t kMpeg2Layer3Header[4] = {0xFF, 0xF3, 0xC0, 0x44};

constexpr size_t kProbeBytes = 4096;

void PutBytes(std::vector<uint8_t>& file, size_t offset, const uint8_t* bytes, size_t count) {
    if (file.size() < offset + count) file.resize(offset + count);
    std::copy(bytes, bytes + count, file.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutText(std::vector<uint8_t>& file, size_t offset, const std::string& text) {
    PutBytes(file, offset, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Zeros of `size` bytes with a header at `first` and another `second`, one
// MPEG-1 Layer III frame length further on.
std::vector<uint8_t> FramePair(size_t size, size_t first, const uint8_t* secondHeader = kMpeg1Layer3Header) {
    std::vector<uint8_t> file(size, 0);
    PutBytes(file, first, kMpeg1Layer3Header, 4);
    PutBytes(file, first + kMpeg1Layer3FrameLength, secondHeader, 4);
    file.resize(size);
    return file;
}

bool Probe(const std::vector<uint8_t>& bytes) {
    test::TemporaryFile file(bytes);
    return engine::ProbeMpegFile(file.Path());
}

TEST(MpegProbeTest, Fixtures) {
    const struct {
        const char* name;
        bool isMpeg;
    } kCases[] = {
        {"cbr128.mp3", true},       {"cbr128_noinfo.mp3", true}, {"vbr.mp3", true},
        {"loud.mp3", true},         {"short.mp3", true},         {"mpeg2_l3.mp3", true},
        {"mpeg25_l3.mp3", true},    {"layer2.mp2", true},        {"mpeg2_layer2.mp2", true},
        {"id3v1.mp3", true},        {"id3v2_large.mp3", true},   {"rmp3.rmp", true},
        {"wave_mp3.wav", true},     {"truncated.mp3", true},     {"freeformat.mp3", false},
        {"pcm.wav", false},         {"tone.wav", false},         {"garbage.bin", false},
        {"four_bytes.mp3", false},  {"empty.mp3", false},
    };
    for (const auto& testCase : kCases) {
        EXPECT_EQ(engine::ProbeMpegFile(test::FixturePath(testCase.name)), testCase.isMpeg) << testCase.name;
    }
}

TEST(MpegProbeTest, PathsThatAreNotReadableFiles) {
    test::TemporaryFile file({0xFF, 0xFB, 0x90, 0x44});
    EXPECT_FALSE(engine::ProbeMpegFile(file.Directory()));
    EXPECT_FALSE(engine::ProbeMpegFile(file.Directory() + "/missing.mp3"));
    EXPECT_FALSE(engine::ProbeMpegFile(""));
}

TEST(MpegProbeTest, HandBuiltStarts) {
    const struct {
        const char* description;
        std::vector<uint8_t> bytes;
        bool isMpeg;
    } kCases[] = {
        {"ID3 alone is shorter than a header", {'I', 'D', '3'}, false},
        {"ID3 and one more byte", {'I', 'D', '3', 0x03}, true},
        {"id3 in lower case is not a tag", {'i', 'd', '3', 0x03, 0, 0, 0, 0}, false},
        {"RIFF alone", {'R', 'I', 'F', 'F'}, false},
        {"RMP3 cut to 11 bytes", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'P'}, false},
        {"RMP3 with 12 bytes", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'P', '3'}, true},
        {"WAVE cut to 15 bytes", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't'}, false},
        {"WAVE fmt cut to 20 bytes",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0},
         false},
        {"WAVE fmt tag 0x55 in 21 bytes, high byte past the end",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x55},
         true},
        {"WAVE fmt tag 0x55",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x55, 0x00},
         true},
        {"WAVE fmt tag 0x50",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x50, 0x00},
         true},
        {"WAVE fmt tag 1 (PCM)",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x01, 0x00},
         false},
        {"WAVE fmt tag 0x155",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 0x55, 0x01},
         false},
        {"WAVE whose first chunk is not fmt",
         {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'L', 'I', 'S', 'T', 16, 0, 0, 0, 0x55, 0x00},
         false},
    };
    for (const auto& testCase : kCases) {
        EXPECT_EQ(Probe(testCase.bytes), testCase.isMpeg) << testCase.description;
    }
}

// A RIFF file that is not MPEG by its header is refused even when frames follow.
TEST(MpegProbeTest, OtherRiffFilesAreNotScannedForFrames) {
    for (const char* formType : {"WAVE", "AVI ", "RMP2"}) {
        std::vector<uint8_t> file = FramePair(2000, 100);
        PutText(file, 0, std::string("RIFF\0\0\0\0", 8) + formType + "data");
        EXPECT_FALSE(Probe(file)) << formType;
    }
    std::vector<uint8_t> frames = FramePair(2000, 100);
    EXPECT_TRUE(Probe(frames)) << "the same frames without the RIFF header";
}

TEST(MpegProbeTest, FramePairMustEndInsideWhatWasRead) {
    const struct {
        const char* description;
        size_t fileSize;
        size_t first;
        bool isMpeg;
    } kCases[] = {
        {"second header ends the file", kMpeg1Layer3FrameLength + 4, 0, false},
        {"one byte after the second header", kMpeg1Layer3FrameLength + 5, 0, true},
        {"pair ends at the end of the probe window", 3 * kProbeBytes, kProbeBytes - kMpeg1Layer3FrameLength - 4,
         false},
        {"pair ends one byte inside the window", 3 * kProbeBytes, kProbeBytes - kMpeg1Layer3FrameLength - 5, true},
        {"pair wholly after the window", 3 * kProbeBytes, kProbeBytes + 10, false},
        {"pair after junk", 3 * kProbeBytes, 1234, true},
    };
    for (const auto& testCase : kCases) {
        EXPECT_EQ(Probe(FramePair(testCase.fileSize, testCase.first)), testCase.isMpeg) << testCase.description;
    }
}

TEST(MpegProbeTest, FramePairMustMatchVersionLayerAndRate) {
    const struct {
        const char* description;
        const uint8_t* secondHeader;
        bool isMpeg;
    } kCases[] = {
        {"same header", kMpeg1Layer3Header, true},
        {"other sample rate", kMpeg1Layer3At48000Header, false},
        {"other layer", kMpeg1Layer2Header, false},
        {"other version", kMpeg2Layer3Header, false},
    };
    for (const auto& testCase : kCases) {
        EXPECT_EQ(Probe(FramePair(1000, 10, testCase.secondHeader)), testCase.isMpeg) << testCase.description;
    }
}

// A lone header, or one that points at a header cut short, is not a pair.
TEST(MpegProbeTest, SingleHeadersAreNotEnough) {
    std::vector<uint8_t> lone(1000, 0);
    PutBytes(lone, 10, kMpeg1Layer3Header, 4);
    EXPECT_FALSE(Probe(lone));

    std::vector<uint8_t> cut(1000, 0);
    PutBytes(cut, 10, kMpeg1Layer3Header, 4);
    PutBytes(cut, 10 + kMpeg1Layer3FrameLength, kMpeg1Layer3Header, 2);
    EXPECT_FALSE(Probe(cut));
}

}  // namespace
