#pragma once

// Exact lengths of MPEG files. A Xing or Info frame before the audio plays
// no sound; its frame count gives the length; its LAME tag's encoder delay
// and padding (with the decoder's own delay) say which decoded samples are
// the encoder's input. The timeline of the playback, its position, seeks and
// length, counts only those.

#include <cstddef>
#include <cstdint>

#include "engine/mpeg_header.h"

namespace engine {

class FileReader;

// libmad's output lags the encoder's input by this many samples.
constexpr uint32_t kMpegDecoderDelay = 529;

struct MpegGapless {
    // Where the audio frames start: past the Xing frame; 0 when there is none.
    uint64_t audioStart = 0;
    // Audio frames after the Xing frame; 0 when not known.
    uint32_t frames = 0;
    // Decoded samples dropped at the start, and the count kept after them;
    // no trimming when `kept` is 0.
    uint32_t skipped = 0;
    uint64_t kept = 0;
};

// What the file's first frame (after an ID3v2 tag) tells, when it is a Xing
// frame of the stream `format`, with a frame count that agrees with
// `estimatedFrames` (the average frame length's estimate) within a factor of
// two. The reader's position is left anywhere.
MpegGapless ReadMpegGapless(FileReader& reader, const MpegHeader& format, double estimatedFrames);

// The audio frame a playback from `trimmedSample` decodes first. On a trimmed
// timeline that is a few frames before the one that holds the sample, so
// that by then libmad has that frame's bit reservoir (up to 511 bytes back)
// and the overlap of the frame before; it is dropped with what precedes the
// sample. Otherwise, as ever, the frame that holds it.
uint64_t FirstFrameFor(const MpegGapless& gapless, uint32_t trimmedSample, int32_t samplesPerFrame,
                       int32_t averageFrameLength);

// Drops, frame by frame, the decoded samples outside the trimmed timeline.
class FrameTrim {
public:
    explicit FrameTrim(const MpegGapless& gapless)
        : skipped_(gapless.skipped), end_(gapless.kept != 0 ? gapless.skipped + gapless.kept : 0), start_(skipped_) {}

    // The next frame decoded is `firstFrame` (of FirstFrameFor), and what
    // plays starts at `trimmedSample`.
    void Restart(uint32_t trimmedSample, uint64_t firstFrame, int32_t samplesPerFrame);

    // Moves the part of one frame's PCM (`bytes` at `pcm`, `halfRate` when
    // libmad halved it) that lies on the timeline to the front; returns its
    // length in bytes.
    size_t Keep(uint8_t* pcm, size_t bytes, size_t bytesPerSampleFrame, bool halfRate);

    // A frame of `samplesPerFrame` went by without a sound.
    void Pass(int32_t samplesPerFrame) { decoded_ += samplesPerFrame > 0 ? static_cast<uint64_t>(samplesPerFrame) : 0; }

private:
    uint64_t skipped_;
    uint64_t end_;            // 0: nothing is trimmed
    uint64_t start_ = 0;      // the first decoded sample that plays
    uint64_t decoded_ = 0;    // full-rate samples decoded before the next frame
};

}  // namespace engine
