#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include <mad.h>

namespace engine {

struct EqualizerBlock;

// 1.0 in libmad's fixed-point format (28 fraction bits): a gain that leaves
// a subband as it is, and the full scale of a sample, [-1.0, 1.0).
constexpr int32_t kMadOne = int32_t{1} << 28;

// The libmad state of one playback and the equalizer gains multiplied into
// its subband samples.
struct MpegDecoder {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    // Rewritten by the caller's thread while the decoding thread reads them;
    // a frame may mix gains of the old and the new setting.
    std::atomic<int32_t> equalizerEnabled{0};
    std::atomic<int32_t> gains[32];
};

// DecodeFrame results.
enum DecodeFrameResult : int {
    DECODE_FRAME_DONE = 0,          // one frame decoded
    DECODE_NEED_MORE_INPUT = 1,     // the input holds no complete frame
    DECODE_OUTPUT_FULL = 2,         // the frame's PCM does not fit the room
    DECODE_RECOVERABLE_ERROR = -1,
    DECODE_UNRECOVERABLE_ERROR = -2,
};

// Create, release and re-create the decoder of `equalizer` under its lock.
// Creation loads the gains from the equalizer's settings; a reset keeps them.
void CreateMpegDecoder(EqualizerBlock& equalizer);
void DestroyMpegDecoder(EqualizerBlock& equalizer);
void ResetMpegDecoder(EqualizerBlock& equalizer);

// DecodeFrame's output channel count that follows each frame's own.
constexpr int kChannelsOfTheFrame = 0;

// Decodes one frame from `input` into `output` as 8- or 16-bit PCM,
// interleaved for two channels. With an output channel count of 1 or 2 a
// frame with the other count is converted (a stereo frame mixed down, a mono
// frame doubled): a stream keeps the channels it opened with. See
// DecodeFrameResult. A recoverable error consumes the frame when it was whole
// but lacked its bit reservoir, and nothing otherwise.
int DecodeFrame(MpegDecoder& decoder, const uint8_t* input, size_t inputLength, uint8_t* output,
                size_t room, int bitsPerSample, bool halfRate, size_t* consumed, size_t* produced,
                int outputChannels = kChannelsOfTheFrame);

// Rounds one libmad sample to `bitsPerSample` with error feedback through
// `error`, the accumulator of its channel. Returns the signed output value.
int32_t RoundSampleToPcm(mad_fixed_t sample, int32_t& error, int bitsPerSample);

}  // namespace engine
