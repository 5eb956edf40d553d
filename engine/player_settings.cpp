// The engine operations that read or change settings and describe the source;
// none of them takes the API lock.

#include "engine/mpeg_decoder.h"
#include "engine/mpeg_file.h"
#include "engine/player_engine.h"
#include "formats/id3/genres.h"
#include "formats/ogg/ogg_source.h"
#include "formats/wave/wave_source.h"
#include "formats/id3/id3v1.h"

void PlayerSetNotifyWindow(PlayerEngine* engine, platform::NotifyWindow* window) {
    engine->notifyWindow = window;
    // Levels go nowhere but to this window.
    engine->waveOutput.SetMeasuringLevels(window != nullptr && window->Wants(WM_PLAYER_LEVEL));
    engine->streamReader.SetNotifyWindow(window);
}

void PlayerGetFileInfo(PlayerEngine* engine, PlayerFileInfo* info) {
    if (engine->sourceKind == SOURCE_NONE) return;
    const PlayerSourceFormat& format = engine->sourceFormat;
    info->version = format.version;
    info->layer = format.layer;
    info->channels = format.channels;
    info->sampleRate = format.sampleRate;
    info->bitrate = format.bitrate;
    info->duration = PlayerGetDuration(engine);
}

int PlayerGetTag(PlayerEngine* engine, PlayerTag* tag) {
    // The tag is read through a private reader, never the playing file's.
    if (engine->sourceKind == SOURCE_MPEG_FILE) return ReadId3v1Tag(engine->path, *tag) ? 1 : 0;
    if (engine->sourceKind == SOURCE_OGG_FILE) return OggGetTag(*engine, tag) ? 1 : 0;
    return 0;
}

int PlayerReadFileTag(const std::string& path, PlayerTag* tag) {
    if (!ProbeMpegFile(path)) return 0;
    return ReadId3v1Tag(path, *tag) ? 1 : 0;
}

int PlayerIsPlayableFile(const std::string& path) {
    return ProbeMpegFile(path) || OggProbe(path) || WaveProbe(path) ? 1 : 0;
}

void PlayerGetGenreName(int32_t genre, std::string* name) {
    if (const char* genreName = GenreName(genre)) *name = genreName;
}

void PlayerSetEqualizer(PlayerEngine* engine, const PlayerEqSettings* settings) {
    EqualizerBlock& equalizer = engine->equalizer;
    std::lock_guard lock(equalizer.decoderLock);
    equalizer.settings = *settings;
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

int PlayerGetStreamInfo(PlayerEngine* engine, std::string* name, std::string* genre, std::string* url) {
    return engine->streamReader.GetInfo(name, genre, url);
}

int PlayerGetStreamTitle(PlayerEngine* engine, std::string* title) {
    return engine->streamReader.GetTitle(title);
}

int PlayerSetStreamOptions(PlayerEngine* engine, const PlayerStreamOptions* options) {
    return engine->streamReader.SetOptions(*options);
}

void PlayerGetStreamOptions(PlayerEngine* engine, PlayerStreamOptions* options) {
    engine->streamReader.GetOptions(options);
}

void PlayerSetOutputDevice(PlayerEngine* engine, platform::WaveBackend backend, const platform::CaptureSink& sink) {
    engine->waveOutput.SetDevice(backend, sink);
}
