// The decoding thread of an Ogg Vorbis source: Tremor decodes straight into
// the output blocks, which are submitted once fewer than 4096 bytes are free.

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/ogg/ogg_source.h"

namespace engine {
namespace {

constexpr uint32_t kMinimumFreeBytes = 4096;

// Holds a block with room for another read; false only when the output has
// closed under the thread.
bool EnsureRoom(BlockWriter& blocks) {
    if (blocks.HasBlock() && blocks.FreeBytes() < kMinimumFreeBytes) blocks.Submit();
    return blocks.HasBlock() || blocks.Acquire();
}

}  // namespace

SourceOutput OggOutputFormat(const PlayerEngine& engine) {
    return {16, engine.sourceFormat.sampleRate};
}

uint32_t OggBlockCapacity(const PlayerEngine& engine, int32_t /*outputBits*/) {
    const int32_t rate = engine.sourceFormat.sampleRate;
    return rate > 22050 ? 16384 : rate > 11025 ? 8192 : 4096;
}

void OggThread(PlayerEngine& engine) {
    if (!BeginPlayback(engine)) {
        EndPlayback(engine, false);
        return;
    }
    BlockWriter& blocks = engine.blocks;
    while (!engine.stopRequested) {
        if (!EnsureRoom(blocks)) break;
        int result = OGG_READ_DELIVERED;
        {
            platform::CriticalSectionGuard decode(engine.decodeLock);
            if (engine.seekPending) {
                HandlePendingSeek(engine);
                engine.seekPending = 0;
                continue;
            }
            size_t bytes = 0;
            result = OggRead(engine.ogg, blocks.FreeSpace(), blocks.FreeBytes(), &bytes);
            blocks.Commit(static_cast<uint32_t>(bytes));
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

}  // namespace engine
