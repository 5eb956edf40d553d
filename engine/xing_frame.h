#pragma once

// The frame that many encoders write before the audio of an MPEG file in
// place of a frame of audio: "Xing" (variable bitrate) or "Info" (constant),
// with the count of the audio frames after it, and, from LAME and encoders
// that copy it, the encoder delay and padding that let a player play exactly
// the samples the encoder was given.

#include <cstddef>
#include <cstdint>

#include "engine/mpeg_header.h"

namespace engine {

struct XingFrame {
    MpegHeader header;            // of the Xing frame itself
    uint32_t frames = 0;          // audio frames after it; 0 when not given
    bool hasEncoderTrim = false;  // the LAME tag's checksum holds, so its delay and padding count
    uint32_t encoderDelay = 0;    // samples the encoder put before the audio
    uint32_t padding = 0;         // samples it put after the audio
};

// Reads the frame whose header starts at `frame` (`length` bytes at hand).
// True when it is a Xing or Info frame, which holds no audio; its LAME tag
// is used only when the tag lies wholly inside the frame and its checksum
// matches.
bool ParseXingFrame(const uint8_t* frame, size_t length, XingFrame* xing);

}  // namespace engine
