#include "engine/decoding_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "engine/mpeg_decoder.h"
#include "engine/player_engine.h"
#include "formats/ogg/ogg_source.h"
#include "formats/stream/stream_thread.h"
#include "formats/wave/wave_source.h"

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
    switch (engine.sourceKind.load()) {
        case SOURCE_MPEG_FILE: MpegFileThread(engine); break;
        case SOURCE_OGG_FILE: OggThread(engine); break;
        case SOURCE_WAVE_FILE: WaveThread(engine); break;
        case SOURCE_MPEG_STREAM: StreamThread(engine); break;
        default: break;  // no thread for this kind: ending at once fails the play
    }
    engine.startedOrEnded.Set();
}

// The user may pause between the decision to resume and the resume itself;
// PlayerPause sets the status before it pauses the device, so checking the
// status under the device lock settles it.
void ResumeUnlessPaused(PlayerEngine& engine) {
    engine.waveOutput.ResumeIf([&engine] { return engine.status == PLAYER_PLAYING; });
}

void RewindSource(PlayerEngine& engine) {
    switch (engine.sourceKind.load()) {
        case SOURCE_MPEG_FILE: engine.fileReader.ReaderSeek(0, SEEK_FROM_START); break;
        case SOURCE_OGG_FILE: OggRewind(engine); break;
        case SOURCE_WAVE_FILE: WaveRewind(engine); break;
        default: break;
    }
}

}  // namespace

uint32_t BlockCapacity(const PlayerEngine& engine, int32_t outputBits, int32_t /*outputRate*/) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    const auto rate = format.sampleRate;
    uint32_t capacity = 0;
    switch (engine.sourceKind.load()) {
        case SOURCE_MPEG_FILE:
        case SOURCE_MPEG_STREAM:
            capacity = static_cast<uint32_t>(outputBits / 8 * format.samplesPerFrame * format.channels);
            if (rate > 11025) capacity *= 2;
            if (rate > 22050) capacity *= 2;
            if (engine.options.halfRate) capacity /= 2;
            break;
        case SOURCE_OGG_FILE:
            capacity = rate > 22050 ? 16384 : rate > 11025 ? 8192 : 4096;
            break;
        case SOURCE_WAVE_FILE:
            capacity = rate > 11025 ? 2048 : 1024;
            if (rate > 22050) capacity *= 2;
            if (format.channels > 1) capacity *= 2;
            if (outputBits > 8) capacity *= 2;
            break;
        default: break;
    }
    return capacity;
}

int StartDecodingThread(PlayerEngine& engine) {
    engine.startedOrEnded.Reset();
    const int32_t priority = engine.options.threadPriority;
    engine.decodingThread = std::thread(RunThreadFunction, std::ref(engine), priority);
    engine.startedOrEnded.Wait();
    return engine.startedEvent.IsSet() ? 1 : 0;
}

void StopDecodingThread(PlayerEngine& engine) {
    if (!engine.decodingThread.joinable()) return;
    engine.stopRequested = 1;
    // Wakes a thread that waits for a free block, and one that waits on the
    // network (connecting, reading headers or data).
    engine.waveOutput.Flush();
    if (engine.sourceKind == SOURCE_MPEG_STREAM) engine.streamReader.Interrupt();
    engine.decodingThread.join();
}

int BeginPlayback(PlayerEngine& engine) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    const bool mpeg = engine.sourceKind == SOURCE_MPEG_FILE || engine.sourceKind == SOURCE_MPEG_STREAM;
    const int32_t outputBits = mpeg ? engine.options.bitsPerSample
                               : engine.sourceKind == SOURCE_WAVE_FILE ? WaveOutputBits(engine)
                                                                       : 16;
    const int32_t outputRate = mpeg && engine.options.halfRate ? format.sampleRate / 2 : format.sampleRate;
    const uint32_t capacity = BlockCapacity(engine, outputBits, outputRate);
    if (capacity == 0 || outputRate <= 0 || format.channels <= 0) return 0;

    if (!engine.waveOutput.Open(capacity, static_cast<uint32_t>(format.channels),
                                static_cast<uint32_t>(outputRate), static_cast<uint32_t>(outputBits))) {
        return 0;
    }
    engine.waveOutput.SetPaused(true);
    engine.blockCapacity = capacity;
    engine.outputBits = outputBits;
    engine.outputSampleRate = outputRate;
    CreateMpegDecoder(engine.equalizer);
    engine.bassShelf.BassDesign(format.channels, outputRate);
    engine.echo.EchoSetup(format.channels, outputRate);
    engine.feedbackEcho.EchoSetup(format.channels, outputRate);
    engine.startPending = 1;
    engine.stopRequested = 0;
    SetStatus(engine, PLAYER_PLAYING);
    engine.startedEvent.Set();
    engine.startedOrEnded.Set();
    return 1;
}

void SubmitBlock(PlayerEngine& engine, platform::WaveHeader* block, uint32_t length) {
    block->bufferLength = length;
    block->bytesRecorded = length;
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

bool GetNewBlock(PlayerEngine& engine) {
    engine.currentBlock = engine.waveOutput.AcquireBlock();
    engine.freeBytes = engine.currentBlock != nullptr ? engine.blockCapacity : 0;
    return engine.currentBlock != nullptr;
}

void HandlePendingSeek(PlayerEngine& engine) {
    if (engine.currentBlock != nullptr) engine.freeBytes = engine.blockCapacity;
    if (engine.status == PLAYER_PLAYING) engine.startPending = 1;
    // Nothing from before the seek may echo or ring on after it.
    engine.echo.EchoClear();
    engine.feedbackEcho.EchoClear();
    engine.bassShelf.BassClear();
    engine.waveOutput.Flush();
}

int EndPlayback(PlayerEngine& engine, bool drain) {
    WaveOutput& output = engine.waveOutput;
    if (drain) {
        if (engine.currentBlock != nullptr) {
            SubmitBlock(engine, engine.currentBlock, engine.blockCapacity - engine.freeBytes);
            engine.currentBlock = nullptr;
        }
        output.SendHeldBlocks();
        while (output.QueuedCount() > 0) {
            if (engine.status == PLAYER_PLAYING && engine.startPending.exchange(0) != 0) {
                ResumeUnlessPaused(engine);
            }
            std::this_thread::sleep_for(kDrainPollInterval);
            if (engine.seekPending) return 0;
            if (engine.stopRequested) break;
        }
        // A seek whose flush emptied the queue just before the loop looked
        // must not end the track either.
        if (engine.seekPending && !engine.stopRequested) return 0;
    }
    output.Close();
    engine.echo.EchoRelease();
    engine.feedbackEcho.EchoRelease();
    engine.bassShelf.BassReset();
    DestroyMpegDecoder(engine.equalizer);

    engine.freeBytes = 0;
    engine.startPending = 0;
    engine.stopRequested = 0;
    engine.seekPending = 0;
    engine.currentBlock = nullptr;
    engine.seekBase = 0;
    engine.outputSampleRate = 0;
    engine.outputBits = 0;
    RewindSource(engine);
    if (engine.waveOutput.MeasuringLevels()) PostToNotifyWindow(engine, WM_PLAYER_LEVEL, 0, 0);
    SetStatus(engine, PLAYER_STOPPED);
    return 1;
}
