// The decoding thread of the sources that decode to PCM of their own (FLAC,
// Opus): their frames wait mixed in the source and are quantized into the
// output blocks, whole frames at a time; a full block is submitted.

#include <algorithm>

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/pcm/decoded_pcm.h"

namespace engine {
namespace {

// Ten blocks a second at any rate, in whole frames of 64.
constexpr int32_t kBlocksPerSecond = 10;
constexpr uint32_t kFrameGranule = 64;

uint32_t FrameBytes(const PlayerEngine& engine, int32_t bits) {
    return static_cast<uint32_t>(engine.sourceFormat.channels) * static_cast<uint32_t>(bits / 8);
}

}  // namespace

SourceOutput DecodedPcmOutputFormat(const PlayerEngine& engine) {
    return {engine.options.bitsPerSample == 8 ? 8 : 16, engine.sourceFormat.sampleRate};
}

uint32_t DecodedPcmBlockCapacity(const PlayerEngine& engine, int32_t outputBits) {
    const auto frames = static_cast<uint32_t>(engine.sourceFormat.sampleRate / kBlocksPerSecond);
    return std::max(kFrameGranule, frames / kFrameGranule * kFrameGranule) * FrameBytes(engine, outputBits);
}

void RunDecodedPcmThread(PlayerEngine& engine, DecodedPcm& pcm, DecodeFunction decode) {
    if (!BeginPlayback(engine)) {
        EndPlayback(engine, false);
        return;
    }
    DitherNoise noise;
    BlockWriter& blocks = engine.blocks;
    const int32_t bits = engine.outputBits;
    const uint32_t frameBytes = FrameBytes(engine, bits);
    while (!engine.stopRequested) {
        if (!blocks.HasBlock() && !blocks.Acquire()) break;
        DecodeStep step = DecodeStep::Delivered;
        {
            platform::CriticalSectionGuard decodeGuard(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                engine.seekPending = 0;
                continue;
            }
            if (pcm.FramesLeft() == 0) {
                pcm.Clear();
                step = decode(engine);
            }
            // A source that changed its channels under the output cannot go on.
            if (pcm.FramesLeft() > 0 && uint32_t(pcm.channels) * uint32_t(bits / 8) != frameBytes) step = DecodeStep::Failed;
            const size_t frames = std::min<size_t>(pcm.FramesLeft(), blocks.FreeBytes() / frameBytes);
            if (step != DecodeStep::Failed && frames > 0) {
                QuantizeFrames(pcm, frames, bits, noise, blocks.FreeSpace());
                blocks.Commit(static_cast<uint32_t>(frames * frameBytes));
            }
        }
        if (blocks.FreeBytes() < frameBytes) blocks.Submit();
        if (step == DecodeStep::Failed) {
            EndPlayback(engine, false);
            return;
        }
        if (step == DecodeStep::EndOfStream && pcm.FramesLeft() == 0 && EndPlayback(engine, true)) return;
    }
    EndPlayback(engine, false);
}

}  // namespace engine
