#pragma once

// The skeleton every decoding thread shares: BeginPlayback opens the output
// and the effects, the thread's loop fills blocks and hands them to
// SubmitBlock, and EndPlayback drains or abandons the output, rewinds the
// source and reports the stop.

#include <cstddef>
#include <cstdint>

#include "platform/wave_out.h"

struct PlayerEngine;

namespace engine {

class FrameTrim;

// Starts the thread for the source kind without waiting for it.
void LaunchDecodingThread(PlayerEngine& engine);
// Starts the thread for the source kind and waits until its playback has
// started (1) or the thread has ended first (0).
int StartDecodingThread(PlayerEngine& engine);
// Asks the thread to stop, waits for it and releases it. Nothing if none exists.
void StopDecodingThread(PlayerEngine& engine);

int BeginPlayback(PlayerEngine& engine);
// 1 when finished; 0 when a seek interrupted the drain (everything keeps running).
int EndPlayback(PlayerEngine& engine, bool drain);
// Applies the effects to the block, posts its levels and queues it; the
// block writer's hand-off.
void SubmitBlock(PlayerEngine& engine, platform::WaveHeader* block, uint32_t length);

// The common part of handling a pending seek, run under the decode lock at
// the top of a decoding loop; the caller adds its format's own reset.
void HandlePendingSeek(PlayerEngine& engine);

// The block capacity in bytes for a playback of this engine's source.
uint32_t BlockCapacity(const PlayerEngine& engine, int32_t outputBits);

// The MPEG frame loop shared by the file and stream threads: decodes the whole
// frames in `input` into output blocks, in the channels the source opened
// with, submitting full ones, and advances `consumed` past what it used. 0
// when the playback cannot go on here (a stop is requested, the output
// closed, a seek is pending, or no decoder state); 1 when it needs more input.
// A file's `trim` drops the decoded samples outside its timeline.
int DecodeFrames(PlayerEngine& engine, const uint8_t* input, size_t count, size_t* consumed,
                 FrameTrim* trim = nullptr);

// The thread function of an MPEG file; the other sources' live with their formats.
void MpegFileThread(PlayerEngine& engine);

}  // namespace engine
