#include "engine/block_writer.h"

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"

namespace engine {

bool BlockWriter::Acquire() {
    block_ = engine_.waveOutput.AcquireBlock();
    freeBytes_ = block_ != nullptr ? capacity_ : 0;
    // A lost device ends the playback as a stop would, whatever the source.
    if (block_ == nullptr && engine_.waveOutput.DeviceLost()) engine_.stopRequested = 1;
    return block_ != nullptr;
}

void BlockWriter::Submit() {
    // An empty block stays in the pool: the next Acquire takes it again.
    if (FilledBytes() > 0) SubmitBlock(engine_, block_, FilledBytes());
    block_ = nullptr;
}

void BlockWriter::Empty() {
    if (block_ != nullptr) freeBytes_ = capacity_;
}

void BlockWriter::Abandon() {
    block_ = nullptr;
    freeBytes_ = 0;
}

}  // namespace engine
