#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// A frame header's length; the quick sync test reads only the first three bytes.
constexpr size_t kMpegHeaderBytes = 4;
constexpr size_t kQuickSyncBytes = 3;

// The decoded fields of one MPEG audio frame header. The engine's source
// format has the same seven fields in the same order.
struct MpegHeader {
    int32_t version = 0;          // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5
    int32_t layer = 0;            // 1, 2 or 3
    int32_t channels = 0;         // 1 for single channel, else 2
    int32_t sampleRate = 0;       // Hz
    int32_t bitrate = 0;          // kbit/s
    int32_t frameLength = 0;      // bytes, padding included
    int32_t samplesPerFrame = 0;  // 384, 576 or 1152

    bool operator==(const MpegHeader&) const = default;
};

// Parses the four header bytes at `bytes`. Free-format, reserved layer and
// reserved sample-rate headers are refused. Returns 1 and fills `header`, or 0.
int ParseMpegHeader(const uint8_t* bytes, MpegHeader* header);

// Whether two headers belong to one stream: same version, layer and sample
// rate (a frame's bitrate and padding may differ from the next one's).
inline bool SameStream(const MpegHeader& first, const MpegHeader& second) {
    return first.version == second.version && first.layer == second.layer && first.sampleRate == second.sampleRate;
}

// The cheap test of the three first header bytes that the frame loop, the
// sync searches and the stream's format search run before a full parse. It
// makes every check the parse makes, so it passes exactly the headers that
// parse.
bool PassesQuickSyncTest(const uint8_t* bytes);

// Single fields read straight from the header bytes at `bytes`, without the
// checks of a full parse.
// Whether the eleven sync bits are set.
bool HasFrameSync(const uint8_t* bytes);
// 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5: only the MPEG-2.5 bit decides 3, so
// the reserved version code reads as MPEG-2.5.
int32_t HeaderVersion(const uint8_t* bytes);
// The ID bit, set for MPEG-1 (and in the reserved version code).
bool HasMpeg1Bit(const uint8_t* bytes);
// 1, 2 or 3; 0 for the reserved layer code.
int32_t HeaderLayer(const uint8_t* bytes);
// 1 for single channel, else 2.
int32_t HeaderChannels(const uint8_t* bytes);

// 384 for Layer I; 576 for Layer III other than MPEG-1, else 1152.
int32_t SamplesPerFrame(int32_t layer, bool mpeg1);

}  // namespace engine
