// The Xing/Info frame and its LAME tag, built byte by byte here, intact and
// damaged in each of the ways that must not trim a file's samples.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/xing_frame.h"

namespace {

using engine::ParseXingFrame;
using engine::XingFrame;

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo: 417 bytes, 32 of side information.
constexpr uint8_t kStereoHeader[4] = {0xFF, 0xFB, 0x90, 0x64};
// MPEG-2 Layer III, 64 kbit/s, 22050 Hz, single channel: 9 bytes of side information.
constexpr uint8_t kMonoMpeg2Header[4] = {0xFF, 0xF3, 0x80, 0xC4};

uint16_t Crc16(const std::vector<uint8_t>& bytes, size_t count) {
    uint16_t crc = 0;
    for (size_t index = 0; index < count; ++index) {
        crc ^= bytes[index];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int index = 0; index < 4; ++index) bytes[at + index] = static_cast<uint8_t>(value >> (24 - 8 * index));
}

struct FrameLayout {
    const uint8_t* header = kStereoHeader;
    size_t sideInfo = 32;
    const char* magic = "Info";
    uint32_t flags = 0xF;  // frames, bytes, table of contents, quality
    uint32_t frames = 43;
    uint32_t delay = 576;
    uint32_t padding = 959;
};

// A whole frame as LAME writes it; returns it and where its LAME tag starts.
std::vector<uint8_t> BuildFrame(const FrameLayout& layout, size_t* tagStart = nullptr) {
    std::vector<uint8_t> frame(417, 0);
    std::memcpy(frame.data(), layout.header, 4);
    size_t at = 4 + layout.sideInfo;
    std::memcpy(frame.data() + at, layout.magic, 4);
    PutBig32(frame, at + 4, layout.flags);
    at += 8;
    if (layout.flags & 1) PutBig32(frame, at, layout.frames), at += 4;
    if (layout.flags & 2) at += 4;
    if (layout.flags & 4) at += 100;
    if (layout.flags & 8) at += 4;
    std::memcpy(frame.data() + at, "LAME3.100", 9);
    frame[at + 21] = static_cast<uint8_t>(layout.delay >> 4);
    frame[at + 22] = static_cast<uint8_t>((layout.delay & 0xF) << 4 | layout.padding >> 8);
    frame[at + 23] = static_cast<uint8_t>(layout.padding);
    const uint16_t crc = Crc16(frame, at + 34);
    frame[at + 34] = static_cast<uint8_t>(crc >> 8);
    frame[at + 35] = static_cast<uint8_t>(crc);
    if (tagStart != nullptr) *tagStart = at;
    return frame;
}

TEST(XingFrame, ReadsCountDelayAndPaddingAndRefusesDamage) {
    struct Case {
        const char* name;
        std::vector<uint8_t> frame;
        size_t length;  // bytes at hand; 0 for the whole frame
        bool isXing;
        uint32_t frames;
        bool trims;
    };
    size_t tag = 0;
    const std::vector<uint8_t> intact = BuildFrame({}, &tag);
    std::vector<uint8_t> badDelay = intact;
    badDelay[tag + 21] ^= 0x10;
    std::vector<uint8_t> badChecksum = intact;
    badChecksum[tag + 35] ^= 0x01;
    std::vector<uint8_t> badEarlierByte = intact;
    badEarlierByte[60] ^= 0x01;  // inside the table of contents, which the checksum covers
    std::vector<uint8_t> audioHeader = intact;
    audioHeader[2] = 0x9C;  // reserved sample rate: no frame at all
    std::vector<uint8_t> layer2 = intact;
    layer2[1] = 0xFD;
    FrameLayout vbr;
    vbr.magic = "Xing";
    vbr.flags = 0x1;
    vbr.frames = 7;
    FrameLayout noCount;
    noCount.flags = 0x4;
    FrameLayout mono;
    mono.header = kMonoMpeg2Header;
    mono.sideInfo = 9;
    FrameLayout monoAtStereoOffset = mono;
    monoAtStereoOffset.sideInfo = 32;
    FrameLayout audio;
    audio.magic = "\0\0\0\0";
    const Case cases[] = {
        {"intact Info frame", intact, 0, true, 43, true},
        {"Xing frame, frame count only", BuildFrame(vbr), 0, true, 7, true},
        {"no frame count", BuildFrame(noCount), 0, true, 0, true},
        {"MPEG-2 single channel", BuildFrame(mono), 0, true, 43, true},
        {"magic not after this frame's side information", BuildFrame(monoAtStereoOffset), 0, false, 0, false},
        {"a frame of audio", BuildFrame(audio), 0, false, 0, false},
        {"delay changed", badDelay, 0, true, 43, false},
        {"checksum changed", badChecksum, 0, true, 43, false},
        {"table of contents changed", badEarlierByte, 0, true, 43, false},
        {"LAME tag cut off", intact, tag + 35, true, 43, false},
        {"cut inside the frame count", intact, 4 + 32 + 10, true, 0, false},
        {"cut inside the magic", intact, 4 + 32 + 2, false, 0, false},
        {"header only", intact, 4, false, 0, false},
        {"no header", intact, 3, false, 0, false},
        {"not a frame header", audioHeader, 0, false, 0, false},
        {"Layer II", layer2, 0, false, 0, false},
    };
    for (const Case& c : cases) {
        XingFrame xing;
        const size_t length = c.length != 0 ? c.length : c.frame.size();
        EXPECT_EQ(ParseXingFrame(c.frame.data(), length, &xing), c.isXing) << c.name;
        EXPECT_EQ(xing.frames, c.frames) << c.name;
        EXPECT_EQ(xing.hasEncoderTrim, c.trims) << c.name;
        if (c.trims) {
            EXPECT_EQ(xing.encoderDelay, 576u) << c.name;
            EXPECT_EQ(xing.padding, 959u) << c.name;
        }
    }
}

}  // namespace
