#pragma once

#include <cstdint>

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

// The cheap test of the three first header bytes that the frame loop and the
// sync searches run before a full parse.
bool PassesQuickSyncTest(const uint8_t* bytes);
