#include "engine/decoding_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "engine/mpeg_decoder.h"
#include "engine/player_engine.h"
#include "engine/source_registry.h"
#include "platform/clock.h"

namespace engine {
namespace {

constexpr auto kDrainPollInterval = std::chrono::milliseconds(10);
constexpr int32_t kNormalPriority = 3;
// Each level of the 0 (highest) .. 7 (lowest) scale is two steps of nice.
constexpr int kNicePerPriorityLevel = 2;

// Lowering works everywhere; raising needs privileges and is otherwise left
// at the normal level.
void ApplyThreadPriority(int32_t priority) {
    const int nice = (priority - kNormalPriority) * kNicePerPriorityLevel;
    if (nice == 0) return;
    const auto threadId = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, threadId, nice);
}

void RunThreadFunction(PlayerEngine& engine, int32_t priority) {
    ApplyThreadPriority(priority);
    // With no source, ending at once fails the play.
    if (const SourceOperations* source = engine.source.load()) source->thread(engine);
    // A start that nobody waits for reports its end itself; a stop that cut
    // it short is no failure.
    if (engine.connecting.exchange(0) != 0) {
        engine.status = PLAYER_STOPPED;
        const intptr_t failed = engine.stopRequested ? 0 : kPlayerStartFailed;
        PostToNotifyWindow(engine, WM_PLAYER_STATUS, PLAYER_STOPPED, failed);
    }
    engine.startedOrEnded.Set();
}

// The user may pause between the decision to resume and the resume itself;
// PlayerPause sets the status before it pauses the device, so checking the
// status under the device lock settles it.
void ResumeUnlessPaused(PlayerEngine& engine) {
    engine.waveOutput.ResumeIf([&engine] { return engine.status == PLAYER_PLAYING; });
}

// MPEG audio is equalized in its subbands as it is decoded; every other
// source's PCM goes through the PCM equalizer.
bool EqualizesWhileDecoding(const PlayerEngine& engine) {
    const SourceOperations* source = engine.source.load();
    return source != nullptr && (source->kind == SOURCE_MPEG_FILE || source->kind == SOURCE_MPEG_STREAM);
}

void RewindSource(PlayerEngine& engine) {
    const SourceOperations* source = engine.source.load();
    if (source != nullptr && source->rewind != nullptr) source->rewind(engine);
}

}  // namespace

uint32_t BlockCapacity(const PlayerEngine& engine, int32_t outputBits) {
    const SourceOperations* source = engine.source.load();
    return source != nullptr ? source->blockCapacity(engine, outputBits) : 0;
}

void LaunchDecodingThread(PlayerEngine& engine) {
    engine.startedOrEnded.Reset();
    const int32_t priority = engine.options.threadPriority;
    engine.decodingThread = std::thread(RunThreadFunction, std::ref(engine), priority);
}

int StartDecodingThread(PlayerEngine& engine) {
    LaunchDecodingThread(engine);
    engine.startedOrEnded.Wait();
    return engine.startedEvent.IsSet() ? 1 : 0;
}

void StopDecodingThread(PlayerEngine& engine) {
    if (!engine.decodingThread.joinable()) return;
    engine.stopRequested = 1;
    // Wakes a thread that waits for a free block, and one that waits on the
    // network (connecting, reading headers or data).
    engine.waveOutput.Flush();
    const SourceOperations* source = engine.source.load();
    if (source != nullptr && source->interrupt != nullptr) source->interrupt(engine);
    engine.decodingThread.join();
}

int BeginPlayback(PlayerEngine& engine) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    const SourceOutput output = engine.source.load()->outputFormat(engine);
    const int32_t outputBits = output.bits;
    const int32_t outputRate = output.sampleRate;
    const uint32_t capacity = BlockCapacity(engine, outputBits);
    if (capacity == 0 || outputRate <= 0 || format.channels <= 0) return 0;

    if (!engine.waveOutput.Open(capacity, static_cast<uint32_t>(format.channels),
                                static_cast<uint32_t>(outputRate), static_cast<uint32_t>(outputBits))) {
        engine.deviceFailed = 1;
        return 0;
    }
    engine.deviceFailed = 0;
    engine.waveOutput.SetPaused(true);
    engine.blocks.SetCapacity(capacity);
    engine.outputBits = outputBits;
    engine.outputSampleRate = outputRate;
    CreateMpegDecoder(engine.equalizer);
    if (EqualizesWhileDecoding(engine)) {
        engine.equalizer.pcm.Stop();
    } else {
        StartPcmEqualizer(engine.equalizer, format.channels, outputRate);
    }
    engine.bassShelf.BassDesign(format.channels, outputRate);
    engine.echo.EchoSetup(format.channels, outputRate);
    engine.feedbackEcho.EchoSetup(format.channels, outputRate);
    engine.startPending = 1;
    engine.stopRequested = 0;
    SetStatus(engine, PLAYER_PLAYING);
    // The status has said playing since the stream's start was asked for;
    // the first audio is reported again, now with its format known.
    if (engine.connecting.exchange(0) != 0) PostToNotifyWindow(engine, WM_PLAYER_STATUS, PLAYER_PLAYING, 0);
    engine.startedEvent.Set();
    engine.startedOrEnded.Set();
    return 1;
}

void SubmitBlock(PlayerEngine& engine, platform::WaveHeader* block, uint32_t length) {
    block->bufferLength = length;
    block->bytesRecorded = length;
    EqualizePcm(engine.equalizer, engine.outputBits, block->data, length);
    const EffectChain effects{engine.widen, engine.bassShelf, engine.echo, engine.feedbackEcho};
    effects.Process(engine.sourceFormat.channels, engine.outputBits, block->data, length);
    WaveOutput& output = engine.waveOutput;
    if (output.MeasuringLevels()) {
        PostToNotifyWindow(engine, WM_PLAYER_LEVEL, static_cast<uintptr_t>(output.LeftLevel()), output.RightLevel());
    }
    output.QueueBlock(block);
    if (engine.status == PLAYER_PLAYING && output.QueuedCount() == output.GetBufferCount() &&
        engine.startPending.exchange(0) != 0) {
        ResumeUnlessPaused(engine);
    }
}

void HandlePendingSeek(PlayerEngine& engine) {
    engine.blocks.Empty();
    if (engine.status == PLAYER_PLAYING) engine.startPending = 1;
    // Nothing from before the seek may echo or ring on after it.
    engine.echo.EchoClear();
    engine.feedbackEcho.EchoClear();
    engine.bassShelf.BassClear();
    engine.equalizer.pcm.Clear();
    engine.waveOutput.Flush();
}

int EndPlayback(PlayerEngine& engine, bool drain) {
    WaveOutput& output = engine.waveOutput;
    if (drain) {
        if (engine.blocks.HasBlock()) engine.blocks.Submit();
        output.SendHeldBlocks();
        while (output.QueuedCount() > 0) {
            if (engine.status == PLAYER_PLAYING && engine.startPending.exchange(0) != 0) {
                ResumeUnlessPaused(engine);
            }
            output.WaitUnlessFlushed(platform::Now() + kDrainPollInterval);
            if (engine.seekPending) return 0;
            if (engine.stopRequested || output.DeviceLost()) break;
        }
        // A seek whose flush emptied the queue just before the loop looked
        // must not end the track either.
        if (engine.seekPending && !engine.stopRequested) return 0;
    }
    const bool lost = output.DeviceLost();
    output.Close();
    engine.echo.EchoRelease();
    engine.feedbackEcho.EchoRelease();
    engine.bassShelf.BassReset();
    DestroyMpegDecoder(engine.equalizer);
    engine.equalizer.pcm.Stop();

    engine.blocks.Abandon();
    engine.startPending = 0;
    engine.stopRequested = 0;
    engine.seekPending = 0;
    engine.seekBase = 0;
    engine.outputSampleRate = 0;
    engine.outputBits = 0;
    RewindSource(engine);
    if (engine.waveOutput.MeasuringLevels()) PostToNotifyWindow(engine, WM_PLAYER_LEVEL, 0, 0);
    // A start that never began is reported as such when the thread ends.
    if (lost) {
        engine.deviceFailed = 1;
        SetStatus(engine, PLAYER_STOPPED, kPlayerDeviceLost);
    } else if (engine.connecting == 0) {
        SetStatus(engine, PLAYER_STOPPED);
    }
    return 1;
}

}  // namespace engine
