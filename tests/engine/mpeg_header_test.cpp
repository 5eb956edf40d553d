#include "engine/mpeg_header.h"

#include <array>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

using namespace engine;

// Header fields as they are encoded in the word.
constexpr uint32_t kMpeg25 = 0, kReservedVersion = 1, kMpeg2 = 2, kMpeg1 = 3;
constexpr uint32_t kReservedLayer = 0, kLayer3 = 1, kLayer2 = 2, kLayer1 = 3;
constexpr uint32_t kStereo = 0, kJointStereo = 1, kDualChannel = 2, kSingleChannel = 3;

constexpr uint32_t HeaderWord(uint32_t version, uint32_t layer, uint32_t bitrateIndex, uint32_t rateIndex,
                              uint32_t padding = 0, uint32_t mode = kStereo) {
    return 0xFFE00000u | version << 19 | layer << 17 | 1u << 16 | bitrateIndex << 12 | rateIndex << 10 |
           padding << 9 | mode << 6;
}

std::array<uint8_t, 4> Bytes(uint32_t word) {
    return {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 8),
            static_cast<uint8_t>(word)};
}

struct HeaderCase {
    uint32_t word;
    MpegHeader expected;  // version, layer, channels, rate, bitrate, frame length, samples
};

const HeaderCase kHeaderCases[] = {
    // MPEG-1
    {HeaderWord(kMpeg1, kLayer1, 14, 1), {1, 1, 2, 48000, 448, 448, 384}},
    {HeaderWord(kMpeg1, kLayer1, 14, 1, 1), {1, 1, 2, 48000, 448, 452, 384}},
    {HeaderWord(kMpeg1, kLayer1, 4, 0, 1), {1, 1, 2, 44100, 128, 140, 384}},
    {HeaderWord(kMpeg1, kLayer2, 10, 0), {1, 2, 2, 44100, 192, 626, 1152}},
    {HeaderWord(kMpeg1, kLayer2, 14, 2, 0, kSingleChannel), {1, 2, 1, 32000, 384, 1728, 1152}},
    {HeaderWord(kMpeg1, kLayer3, 9, 0), {1, 3, 2, 44100, 128, 417, 1152}},
    {HeaderWord(kMpeg1, kLayer3, 9, 0, 1, kJointStereo), {1, 3, 2, 44100, 128, 418, 1152}},
    {HeaderWord(kMpeg1, kLayer3, 14, 1, 0, kDualChannel), {1, 3, 2, 48000, 320, 960, 1152}},
    {HeaderWord(kMpeg1, kLayer3, 1, 2), {1, 3, 2, 32000, 32, 144, 1152}},
    // MPEG-2
    {HeaderWord(kMpeg2, kLayer1, 14, 0), {2, 1, 2, 22050, 256, 556, 384}},
    {HeaderWord(kMpeg2, kLayer1, 1, 2, 1), {2, 1, 2, 16000, 32, 100, 384}},
    {HeaderWord(kMpeg2, kLayer2, 8, 1), {2, 2, 2, 24000, 64, 384, 1152}},
    {HeaderWord(kMpeg2, kLayer2, 8, 1, 1), {2, 2, 2, 24000, 64, 385, 1152}},
    {HeaderWord(kMpeg2, kLayer2, 14, 2), {2, 2, 2, 16000, 160, 1440, 1152}},
    {HeaderWord(kMpeg2, kLayer3, 8, 0), {2, 3, 2, 22050, 64, 208, 576}},
    {HeaderWord(kMpeg2, kLayer3, 8, 0, 1, kSingleChannel), {2, 3, 1, 22050, 64, 209, 576}},
    {HeaderWord(kMpeg2, kLayer3, 1, 2), {2, 3, 2, 16000, 8, 36, 576}},
    // MPEG-2.5
    {HeaderWord(kMpeg25, kLayer1, 4, 0), {3, 1, 2, 11025, 64, 276, 384}},
    {HeaderWord(kMpeg25, kLayer2, 14, 2), {3, 2, 2, 8000, 160, 2880, 1152}},
    {HeaderWord(kMpeg25, kLayer3, 4, 0), {3, 3, 2, 11025, 32, 208, 576}},
    {HeaderWord(kMpeg25, kLayer3, 14, 1, 0, kSingleChannel), {3, 3, 1, 12000, 160, 960, 576}},
    {HeaderWord(kMpeg25, kLayer3, 1, 2, 1), {3, 3, 2, 8000, 8, 73, 576}},
    // Only bit 20 decides MPEG-2.5, so the reserved version code reads as MPEG-2.5.
    {HeaderWord(kReservedVersion, kLayer3, 4, 0), {3, 3, 2, 11025, 32, 208, 576}},
    // CRC, private, mode extension, copyright, original and emphasis bits are ignored.
    {(HeaderWord(kMpeg1, kLayer3, 9, 0) & ~(1u << 16)) | 0x13F, {1, 3, 2, 44100, 128, 417, 1152}},
};

TEST(MpegHeaderTest, ParsesEveryVersionAndLayer) {
    for (const HeaderCase& testCase : kHeaderCases) {
        SCOPED_TRACE(testing::Message() << std::hex << "header 0x" << testCase.word);
        const auto bytes = Bytes(testCase.word);
        MpegHeader header;
        ASSERT_EQ(ParseMpegHeader(bytes.data(), &header), 1);
        EXPECT_EQ(header, testCase.expected);
    }
}

TEST(MpegHeaderTest, RefusesInvalidHeaders) {
    const struct {
        const char* reason;
        uint32_t word;
    } kRejections[] = {
        {"first byte is not 0xFF", HeaderWord(kMpeg1, kLayer3, 9, 0) & 0x7FFFFFFF},
        {"sync bits of the second byte missing", HeaderWord(kMpeg1, kLayer3, 9, 0) & ~(1u << 21)},
        {"reserved layer", HeaderWord(kMpeg1, kReservedLayer, 9, 0)},
        {"reserved layer, MPEG-2", HeaderWord(kMpeg2, kReservedLayer, 8, 0)},
        {"free format", HeaderWord(kMpeg1, kLayer3, 0, 0)},
        {"free format, MPEG-2.5", HeaderWord(kMpeg25, kLayer3, 0, 0)},
        {"forbidden bitrate index", HeaderWord(kMpeg1, kLayer2, 15, 0)},
        {"reserved sample rate", HeaderWord(kMpeg1, kLayer3, 9, 3)},
        {"reserved sample rate, MPEG-2", HeaderWord(kMpeg2, kLayer1, 4, 3)},
        {"all zero", 0},
    };
    for (const auto& rejection : kRejections) {
        SCOPED_TRACE(rejection.reason);
        const auto bytes = Bytes(rejection.word);
        MpegHeader header{9, 9, 9, 9, 9, 9, 9};
        EXPECT_EQ(ParseMpegHeader(bytes.data(), &header), 0);
        EXPECT_EQ(header, (MpegHeader{9, 9, 9, 9, 9, 9, 9})) << "a refused header leaves the output alone";
    }
}

// The quick test must accept exactly what the full parse accepts, over every
// second and third byte.
TEST(MpegHeaderTest, QuickSyncTestAgreesWithParse) {
    for (uint32_t second = 0; second < 256; ++second) {
        for (uint32_t third = 0; third < 256; ++third) {
            for (uint8_t first : {uint8_t{0xFF}, uint8_t{0xFE}, uint8_t{0x7F}}) {
                const uint8_t bytes[4] = {first, static_cast<uint8_t>(second), static_cast<uint8_t>(third), 0xC4};
                MpegHeader header;
                ASSERT_EQ(PassesQuickSyncTest(bytes), ParseMpegHeader(bytes, &header) == 1)
                    << std::hex << int{first} << " " << second << " " << third;
            }
        }
    }
}

}  // namespace
