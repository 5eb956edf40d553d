// The decoding thread of an Ogg Vorbis source: Tremor decodes straight into
// the output blocks, which are submitted once fewer than 4096 bytes are free.

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/ogg/ogg_source.h"

namespace {

constexpr uint32_t kMinimumFreeBytes = 4096;

// Holds a block with room for another read; false only when the output has
// closed under the thread.
bool EnsureRoom(PlayerEngine& engine) {
    if (engine.currentBlock != nullptr && engine.freeBytes < kMinimumFreeBytes) {
        SubmitBlock(engine, engine.currentBlock, engine.blockCapacity - engine.freeBytes);
        engine.currentBlock = nullptr;
    }
    if (engine.currentBlock == nullptr && !GetNewBlock(engine)) return false;
    return true;
}

}  // namespace

void OggThread(PlayerEngine& engine) {
    if (!BeginPlayback(engine)) {
        EndPlayback(engine, false);
        return;
    }
    while (!engine.stopRequested) {
        if (!EnsureRoom(engine)) break;
        int result = OGG_READ_DELIVERED;
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                engine.seekPending = 0;
                continue;
            }
            size_t bytes = 0;
            const uint32_t filled = engine.blockCapacity - engine.freeBytes;
            result = OggRead(engine.ogg, engine.currentBlock->data + filled, engine.freeBytes, &bytes);
            engine.freeBytes -= static_cast<uint32_t>(bytes);
        }
        if (result == OGG_READ_END_OF_STREAM) {
            if (EndPlayback(engine, true)) return;
        } else if (result == OGG_READ_ERROR) {
            // A decoder error or a hole in the data ends the playback as a failure.
            EndPlayback(engine, false);
            return;
        }
    }
    EndPlayback(engine, false);
}
