// The decoding thread of a WAVE source. 8- and 16-bit PCM is read straight
// into the output blocks; every other format is read in pieces of at most
// 4096 bytes, each sized to fill one block, and converted into the block.

#include <algorithm>

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/wave/wave_source.h"
#include "formats/wave/wave_state.h"

namespace engine {
namespace {

using namespace platform::acm;

constexpr uint32_t kStagingBytes = 4096;
// The conversion takes whatever is left, down to a single byte.
constexpr uint32_t kSmallestConvertedPiece = 1;

// What one read step under the decode lock delivered.
struct ReadStep {
    bool seekHandled = false;
    bool delivered = false;   // false for a failed or empty read
    size_t bytes = 0;
    bool dataFinished = false;
};

// The data counts as finished once less than `smallestPiece` of it is left.
void ReadInto(PlayerEngine& engine, WaveSource& wave, uint8_t* buffer, uint32_t count, uint32_t smallestPiece,
              ReadStep& step) {
    step.delivered = engine.fileReader.ReaderRead(buffer, count, &step.bytes) && step.bytes > 0;
    wave.dataConsumed += static_cast<uint32_t>(step.bytes);
    step.dataFinished = wave.DataLeft() < smallestPiece;
}

// Returns true when the thread is finished (EndPlayback ran to its end),
// false when the loop ended by a stop request or a failure.
bool RunPcmLoop(PlayerEngine& engine, WaveSource& wave) {
    BlockWriter& blocks = engine.blocks;
    while (!engine.stopRequested) {
        if (!blocks.HasBlock() && !blocks.Acquire()) return false;
        ReadStep step;
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                engine.seekPending = 0;
                continue;
            }
            // Whole frames only: a partial frame at the end of the data is not played.
            const uint32_t frameBytes = wave.PcmFrameBytes();
            const uint32_t count = std::min(wave.DataLeft(), blocks.Capacity()) / frameBytes * frameBytes;
            ReadInto(engine, wave, blocks.FreeSpace(), count, frameBytes, step);
        }
        if (!step.delivered) {
            if (EndPlayback(engine, true)) return true;
            continue;
        }
        blocks.Commit(static_cast<uint32_t>(step.bytes));
        blocks.Submit();
        if (step.dataFinished && EndPlayback(engine, true)) return true;
    }
    return false;
}

// Converts the staged source into the free part of the current block.
bool ConvertIntoBlock(BlockWriter& blocks, HACMSTREAM stream, uint8_t* staging, size_t bytes) {
    ACMSTREAMHEADER header{};
    // The system's 32-bit layout is 84 bytes; here it is this build's own size.
    header.cbStruct = sizeof header;
    header.pbSrc = staging;
    header.cbSrcLength = static_cast<DWORD>(bytes);
    header.pbDst = blocks.FreeSpace();
    header.cbDstLength = blocks.FreeBytes();
    if (acmStreamPrepareHeader(stream, &header, 0) != MMSYSERR_NOERROR) return false;
    const bool converted = acmStreamConvert(stream, &header, 0) == MMSYSERR_NOERROR;
    if (converted) blocks.Commit(std::min(header.cbDstLengthUsed, blocks.FreeBytes()));
    const bool unprepared = acmStreamUnprepareHeader(stream, &header, 0) == MMSYSERR_NOERROR;
    return converted && unprepared;
}

bool RunConvertingLoop(PlayerEngine& engine, WaveSource& wave) {
    uint8_t staging[kStagingBytes];
    HACMSTREAM stream = wave.conversionStream;
    BlockWriter& blocks = engine.blocks;
    while (!engine.stopRequested) {
        // Each block takes one conversion and is then handed on, full or not.
        if (blocks.HasBlock()) blocks.Submit();
        if (!blocks.Acquire()) return false;
        ReadStep step;
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                acmStreamReset(stream, 0);
                engine.seekPending = 0;
                continue;
            }
            DWORD sourceBytes = 0;
            // A stream that cannot size the piece cannot convert it either.
            if (acmStreamSize(stream, blocks.FreeBytes(), &sourceBytes, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR) {
                return false;
            }
            sourceBytes = std::min({sourceBytes, wave.DataLeft(), kStagingBytes});
            ReadInto(engine, wave, staging, sourceBytes, kSmallestConvertedPiece, step);
        }
        if (!step.delivered) {
            if (EndPlayback(engine, true)) return true;
            continue;
        }
        if (!ConvertIntoBlock(blocks, stream, staging, step.bytes)) return false;
        if (step.dataFinished && EndPlayback(engine, true)) return true;
    }
    return false;
}

}  // namespace

void WaveThread(PlayerEngine& engine) {
    WaveSource* wave = engine.wave;
    if (wave == nullptr || !BeginPlayback(engine)) {
        EndPlayback(engine, false);
        return;
    }
    // A playback that was stopped rather than ended left no seek pending, so
    // the stream may still hold its history; each playback starts afresh.
    acmStreamReset(wave->conversionStream, 0);
    const bool finished = wave->copiesPcm ? RunPcmLoop(engine, *wave) : RunConvertingLoop(engine, *wave);
    if (!finished) EndPlayback(engine, false);
}

}  // namespace engine
