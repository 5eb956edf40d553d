#pragma once

// The output block a decoding thread fills. The thread takes a block from the
// output's pool, lets its decoder write at FreeSpace(), counts what was
// written with Commit, and hands the block on with Submit, which applies the
// effects and queues it. Only the decoding thread uses it.

#include <cstdint>

#include "platform/wave_out.h"

struct PlayerEngine;

namespace engine {

class BlockWriter {
public:
    explicit BlockWriter(PlayerEngine& engine) : engine_(engine) {}
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // The size of every block of a playback; set as the output opens.
    void SetCapacity(uint32_t bytes) { capacity_ = bytes; }
    uint32_t Capacity() const { return capacity_; }

    bool HasBlock() const { return block_ != nullptr; }
    // Makes a fresh block, all of it free, the current one, waiting for the
    // pool to have one. False when the output has closed.
    bool Acquire();

    uint32_t FreeBytes() const { return freeBytes_; }
    uint32_t FilledBytes() const { return capacity_ - freeBytes_; }
    // Where the next bytes of the current block go; FreeBytes() of room.
    uint8_t* FreeSpace() const { return block_->data + FilledBytes(); }
    // Counts `bytes` written at FreeSpace() into the block.
    void Commit(uint32_t bytes) { freeBytes_ -= bytes; }

    // Hands the current block on with what it holds (an empty one is not
    // queued); none is current afterwards.
    void Submit();
    // Forgets what the current block holds: nothing from before a seek plays.
    void Empty();
    // Lets go of the current block unsubmitted, as the output closes.
    void Abandon();

private:
    PlayerEngine& engine_;
    platform::WaveHeader* block_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t freeBytes_ = 0;
};

}  // namespace engine
