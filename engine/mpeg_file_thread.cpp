// The decoding thread of an MPEG file, and the frame loop it shares with the
// stream thread.

#include <cstring>

#include "engine/decoding_thread.h"
#include "engine/mpeg_decoder.h"
#include "engine/mpeg_header.h"
#include "engine/player_engine.h"

namespace engine {
namespace {

constexpr size_t kInputBufferBytes = 2048;

// Advances `position` to the next header of this stream; false when none
// starts before the last four bytes.
bool SynchroniseOnFrame(const PlayerEngine& engine, const uint8_t* input, size_t count, size_t& position) {
    for (; position + kMpegHeaderBytes <= count; ++position) {
        if (!PassesQuickSyncTest(input + position)) continue;
        MpegHeader header;
        if (ParseMpegHeader(input + position, &header) && SameStream(header, engine.sourceFormat)) return true;
    }
    return false;
}

}  // namespace

int DecodeFrames(PlayerEngine& engine, const uint8_t* input, size_t count, size_t* consumed) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    const uint32_t frameBytes = static_cast<uint32_t>(format.samplesPerFrame * format.channels * 2);
    const int bits = engine.options.bitsPerSample;
    const bool halfRate = engine.options.halfRate != 0;
    BlockWriter& blocks = engine.blocks;
    for (;;) {
        // Looked at once per frame: a stop must not wait for the input to run out.
        if (engine.stopRequested) return 0;
        if (blocks.HasBlock() && blocks.FreeBytes() < frameBytes) blocks.Submit();
        if (!blocks.HasBlock()) {
            if (!blocks.Acquire() || engine.seekPending) return 0;
        }
        if (!SynchroniseOnFrame(engine, input, count, *consumed)) return 1;

        MpegDecoder* decoder = engine.equalizer.decoder;
        if (decoder == nullptr) return 0;  // no decoder state: the playback cannot go on
        size_t frameConsumed = 0;
        size_t produced = 0;
        const uint32_t filled = blocks.FilledBytes();
        int result = DecodeFrame(*decoder, input + *consumed, count - *consumed, blocks.FreeSpace(),
                                 blocks.FreeBytes(), bits, halfRate, &frameConsumed, &produced, format.channels);
        // What an empty block cannot hold never fits: a foreign frame that the
        // synchronisation took for one of this stream's. Skipped like damage.
        if (result == DECODE_OUTPUT_FULL && filled == 0) result = DECODE_RECOVERABLE_ERROR;
        switch (result) {
            case DECODE_FRAME_DONE:
                *consumed += frameConsumed;
                blocks.Commit(static_cast<uint32_t>(produced));
                break;
            case DECODE_NEED_MORE_INPUT:
                return 1;
            case DECODE_OUTPUT_FULL:
                // The next round gets a fresh block and decodes the same frame into it.
                blocks.Submit();
                break;
            case DECODE_RECOVERABLE_ERROR:
                *consumed += 1;
                break;
            default:
                ResetMpegDecoder(engine.equalizer);
                *consumed += 1;
                break;
        }
    }
}

void MpegFileThread(PlayerEngine& engine) {
    if (!BeginPlayback(engine)) {
        EndPlayback(engine, false);
        return;
    }
    uint8_t input[kInputBufferBytes];
    size_t held = 0;
    bool endOfInput = false;
    while (!engine.stopRequested) {
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                ResetMpegDecoder(engine.equalizer);
                engine.seekPending = 0;
                held = 0;
                continue;
            }
            size_t bytesRead = 0;
            if (!engine.fileReader.ReaderRead(input + held, kInputBufferBytes - held, &bytesRead) || bytesRead == 0) {
                endOfInput = true;
            }
            held += bytesRead;
        }
        if (endOfInput) {
            if (EndPlayback(engine, true)) return;
            endOfInput = false;
            continue;
        }
        size_t consumed = 0;
        if (DecodeFrames(engine, input, held, &consumed) == 0 && engine.equalizer.decoder == nullptr) break;
        std::memmove(input, input + consumed, held - consumed);
        held -= consumed;
    }
    EndPlayback(engine, false);
}

}  // namespace engine
