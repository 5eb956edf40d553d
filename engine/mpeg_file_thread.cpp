// The decoding thread of an MPEG file, and the frame loop it shares with the
// stream thread.

#include <cstring>

#include "engine/decoding_thread.h"
#include "engine/mpeg_decoder.h"
#include "engine/mpeg_gapless.h"
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

// The Xing frame plays no sound: a playback that starts before it (not
// after a seek) starts past it.
void SkipXingFrame(PlayerEngine& engine) {
    const uint64_t audioStart = engine.mpegGapless.audioStart;
    FileReader& reader = engine.fileReader;
    if (reader.ReaderSeek(0, SEEK_FROM_CURRENT) < audioStart) {
        reader.ReaderSeek(static_cast<int64_t>(audioStart), SEEK_FROM_START);
    }
}

// Where the playback (re)starts: at the start or where the last seek went.
void RestartTrim(const PlayerEngine& engine, FrameTrim& trim) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    const uint32_t target = engine.seekBase;
    trim.Restart(target, FirstFrameFor(engine.mpegGapless, target, format.samplesPerFrame, format.frameLength),
                 format.samplesPerFrame);
}

}  // namespace

int DecodeFrames(PlayerEngine& engine, const uint8_t* input, size_t count, size_t* consumed, FrameTrim* trim) {
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
                if (trim != nullptr) {
                    const size_t sampleFrameBytes = static_cast<size_t>(format.channels * (bits == 8 ? 1 : 2));
                    produced = trim->Keep(blocks.FreeSpace(), produced, sampleFrameBytes, halfRate);
                }
                blocks.Commit(static_cast<uint32_t>(produced));
                break;
            case DECODE_NEED_MORE_INPUT:
                return 1;
            case DECODE_OUTPUT_FULL:
                // The next round gets a fresh block and decodes the same frame into it.
                blocks.Submit();
                break;
            case DECODE_RECOVERABLE_ERROR:
                // A frame passed over whole still takes its place on the timeline.
                if (frameConsumed > 0 && trim != nullptr) trim->Pass(format.samplesPerFrame);
                *consumed += frameConsumed > 0 ? frameConsumed : 1;
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
    // Room behind the input for the zeros that let libmad decode the last frame.
    uint8_t input[kInputBufferBytes + MAD_BUFFER_GUARD];
    size_t held = 0;
    bool endOfInput = false;
    bool guardAdded = false;
    FrameTrim trim(engine.mpegGapless);
    {
        platform::CriticalSectionGuard decode(engine.decodeLock);
        SkipXingFrame(engine);
        RestartTrim(engine, trim);
    }
    while (!engine.stopRequested) {
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                ResetMpegDecoder(engine.equalizer);
                RestartTrim(engine, trim);
                engine.seekPending = 0;
                held = 0;
                guardAdded = false;
                continue;
            }
            size_t bytesRead = 0;
            const size_t room = held < kInputBufferBytes ? kInputBufferBytes - held : 0;
            if (!engine.fileReader.ReaderRead(input + held, room, &bytesRead) || bytesRead == 0) {
                // Once, at the end: the zeros complete the last frame for libmad.
                endOfInput = guardAdded || held == 0;
                if (!guardAdded) std::memset(input + held, 0, MAD_BUFFER_GUARD);
                bytesRead = guardAdded ? 0 : MAD_BUFFER_GUARD;
                guardAdded = true;
            }
            held += bytesRead;
        }
        if (endOfInput) {
            if (EndPlayback(engine, true)) return;
            endOfInput = false;
            continue;
        }
        size_t consumed = 0;
        if (DecodeFrames(engine, input, held, &consumed, &trim) == 0 && engine.equalizer.decoder == nullptr) break;
        std::memmove(input, input + consumed, held - consumed);
        held -= consumed;
    }
    EndPlayback(engine, false);
}

}  // namespace engine
