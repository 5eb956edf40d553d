// The engine operations that read or change settings and describe the source;
// none of them takes the API lock.

#include "engine/mpeg_decoder.h"
#include "engine/player_engine.h"
#include "engine/source_registry.h"

using namespace engine;

void PlayerSetNotifyWindow(PlayerEngine* engine, platform::NotifyWindow* window) {
    engine->notifyWindow = window;
    // Levels go nowhere but to this window.
    engine->waveOutput.SetMeasuringLevels(window != nullptr && window->Wants(WM_PLAYER_LEVEL));
    for (const SourceOperations& source : RegisteredSources()) {
        if (source.setNotifyWindow != nullptr) source.setNotifyWindow(*engine, window);
    }
}

void PlayerGetFileInfo(PlayerEngine* engine, PlayerFileInfo* info) {
    if (engine->source.load() == nullptr) return;
    const PlayerSourceFormat& format = engine->sourceFormat;
    info->version = format.version;
    info->layer = format.layer;
    info->channels = format.channels;
    info->sampleRate = format.sampleRate;
    info->bitrate = format.bitrate;
    info->duration = PlayerGetDuration(engine);
}

int PlayerGetTag(PlayerEngine* engine, PlayerTag* tag) {
    const SourceOperations* source = engine->source.load();
    return source != nullptr && source->tag != nullptr && source->tag(*engine, tag) ? 1 : 0;
}

int PlayerReadFileTag(const std::string& path, PlayerTag* tag) {
    for (const SourceOperations& source : RegisteredSources()) {
        if (source.fileTag == nullptr || source.probe == nullptr) continue;
        if (source.probe(path)) return source.fileTag(path, tag) ? 1 : 0;
    }
    return 0;
}

int PlayerReadFileCover(const std::string& path, PlayerPicture* picture) {
    for (const SourceOperations& source : RegisteredSources()) {
        if (source.fileCover == nullptr || source.probe == nullptr) continue;
        if (source.probe(path)) return source.fileCover(path, picture) ? 1 : 0;
    }
    return 0;
}

int PlayerIsPlayableFile(const std::string& path) {
    for (const SourceOperations& source : RegisteredSources()) {
        if (source.probe != nullptr && source.probe(path)) return 1;
    }
    return 0;
}

void PlayerSetEqualizer(PlayerEngine* engine, const PlayerEqSettings* settings) {
    EqualizerBlock& equalizer = engine->equalizer;
    std::lock_guard lock(equalizer.decoderLock);
    equalizer.settings = *settings;
    equalizer.generation.fetch_add(1, std::memory_order_relaxed);
    if (equalizer.decoder != nullptr) ComputeSubbandGains(*equalizer.decoder, equalizer.settings);
}

void PlayerGetEqualizer(PlayerEngine* engine, PlayerEqSettings* settings) {
    std::lock_guard lock(engine->equalizer.decoderLock);
    *settings = engine->equalizer.settings;
}

void PlayerSetEffect(PlayerEngine* engine, int32_t kind, const PlayerEffectParams* params) {
    switch (kind) {
        case EFFECT_FEEDBACK_ECHO: engine->feedbackEcho.EchoSetParams(*params); break;
        case EFFECT_ECHO: engine->echo.EchoSetParams(*params); break;
        case EFFECT_WIDEN: engine->widen.SetParams(*params); break;
        default: break;
    }
}

void PlayerGetEffect(PlayerEngine* engine, int32_t kind, PlayerEffectParams* params) {
    switch (kind) {
        case EFFECT_FEEDBACK_ECHO: *params = engine->feedbackEcho.GetParams(); break;
        case EFFECT_ECHO: *params = engine->echo.GetParams(); break;
        case EFFECT_WIDEN: *params = engine->widen.GetParams(); break;
        default: break;
    }
}

void PlayerSetBassBoost(PlayerEngine* engine, int32_t decibels) {
    engine->bassShelf.BassSetGain(decibels);
}

int32_t PlayerGetBassBoost(PlayerEngine* engine) {
    return engine->bassShelf.Gain();
}

int PlayerSetOutputOptions(PlayerEngine* engine, const PlayerOutputOptions* options) {
    if (engine->status != PLAYER_STOPPED) return 0;
    if (options->bitsPerSample != 8 && options->bitsPerSample != 16) return 0;
    if (options->bufferCount < 0 || !engine->waveOutput.SetBufferCount(static_cast<uint32_t>(options->bufferCount))) {
        return 0;
    }
    engine->options = *options;
    return 1;
}

void PlayerGetOutputOptions(PlayerEngine* engine, PlayerOutputOptions* options) {
    *options = engine->options;
}

void PlayerSetOutputDevice(PlayerEngine* engine, platform::WaveBackend backend, const platform::CaptureSink& sink) {
    engine->waveOutput.SetDevice(backend, sink);
}
