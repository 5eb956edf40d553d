// Playing, pausing, stopping, seeking and the position.

#include <algorithm>
#include <cstdint>

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "engine/source_registry.h"

using namespace engine;

int PlayerPlay(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    if (engine->source.load() == nullptr) return 0;
    if (engine->status == PLAYER_PAUSED) {
        PlayerPause(engine);
        return 1;
    }
    if (engine->status == PLAYER_PLAYING) return 0;
    // A thread that ended by itself is still waiting to be released.
    StopDecodingThread(*engine);
    engine->startedEvent.Reset();
    return StartDecodingThread(*engine);
}

int PlayerPlayAsync(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    const SourceOperations* source = engine->source.load();
    if (source == nullptr || source->location != SourceLocation::Url || engine->status != PLAYER_STOPPED) {
        return PlayerPlay(engine);
    }
    StopDecodingThread(*engine);
    engine->startedEvent.Reset();
    engine->connecting = 1;
    SetStatus(*engine, PLAYER_PLAYING);
    LaunchDecodingThread(*engine);
    return 1;
}

int PlayerIsConnecting(PlayerEngine* engine) {
    return engine->connecting.load() != 0 ? 1 : 0;
}

int PlayerDeviceFailed(PlayerEngine* engine) {
    return engine->deviceFailed.load() != 0 ? 1 : 0;
}

void PlayerPause(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    if (engine->source.load() == nullptr || engine->status == PLAYER_STOPPED) return;
    // Nothing is open to pause before a stream's first audio.
    if (engine->connecting) return;
    WaveOutput& output = engine->waveOutput;
    if (engine->status == PLAYER_PLAYING) {
        SetStatus(*engine, PLAYER_PAUSED);
        output.SetPaused(true);
        engine->startPending = 0;
        return;
    }
    // The status changes first: the decoding thread resumes the device for a
    // pending start only while playing. If the pool filled up before the flag
    // was seen, the device is resumed here instead, so it cannot stay paused.
    SetStatus(*engine, PLAYER_PLAYING);
    if (output.QueuedCount() != output.GetBufferCount()) {
        engine->startPending = 1;
        if (output.QueuedCount() != output.GetBufferCount() || engine->startPending.exchange(0) == 0) return;
    }
    output.SetPaused(false);
}

void PlayerStop(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    StopDecodingThread(*engine);
    engine->startPending = 0;
    engine->stopRequested = 0;
    engine->seekPending = 0;
    engine->seekBase = 0;
    const SourceOperations* source = engine->source.load();
    if (source != nullptr && source->afterStop != nullptr) source->afterStop(*engine);
}

int PlayerSeek(PlayerEngine* engine, int32_t milliseconds) {
    platform::CriticalSectionGuard api(engine->apiLock);
    const SourceOperations* source = engine->source.load();
    if (source == nullptr) return 0;
    if (milliseconds < 0) milliseconds = 0;
    if (milliseconds >= PlayerGetDuration(engine)) return 0;
    // A source that cannot seek (a stream) refuses every position.
    return source->seek != nullptr && source->seek(*engine, milliseconds) ? 1 : 0;
}

int PlayerForward(PlayerEngine* engine, int32_t milliseconds) {
    platform::CriticalSectionGuard api(engine->apiLock);
    if (engine->source.load() == nullptr) return 0;
    const int64_t target = int64_t{PlayerGetPosition(engine)} + milliseconds;
    return PlayerSeek(engine, static_cast<int32_t>(std::min<int64_t>(target, INT32_MAX)));
}

int PlayerRewind(PlayerEngine* engine, int32_t milliseconds) {
    platform::CriticalSectionGuard api(engine->apiLock);
    if (engine->source.load() == nullptr) return 0;
    const int64_t target = int64_t{PlayerGetPosition(engine)} - milliseconds;
    return PlayerSeek(engine, static_cast<int32_t>(std::max<int64_t>(target, INT32_MIN)));
}

int32_t PlayerGetPosition(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    if (engine->source.load() == nullptr) return 0;
    const int32_t sampleRate = engine->sourceFormat.sampleRate;
    if (sampleRate == 0) return 0;
    double position = double(engine->seekBase.load()) * 1000.0 / sampleRate;
    const int32_t outputRate = engine->outputSampleRate;
    if (outputRate != 0) position += double(engine->waveOutput.PlayedSamples()) * 1000.0 / outputRate;
    return static_cast<int32_t>(position);
}

int32_t PlayerGetDuration(PlayerEngine* engine) {
    if (engine->source.load() == nullptr) return 0;
    const int32_t sampleRate = engine->sourceFormat.sampleRate;
    if (sampleRate == 0) return 0;
    return static_cast<int32_t>(double(engine->length) / sampleRate * 1000.0);
}

PlayerStatus PlayerGetStatus(PlayerEngine* engine) {
    return static_cast<PlayerStatus>(engine->status.load());
}
