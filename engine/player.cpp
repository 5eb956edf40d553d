// The engine object's life and the opening and closing of sources.

#include <new>

#include "engine/mpeg_decoder.h"
#include "engine/mpeg_file.h"
#include "engine/player_engine.h"
#include "formats/ogg/ogg_source.h"
#include "formats/wave/wave_source.h"

PlayerEngine* PlayerCreate() {
    return new (std::nothrow) PlayerEngine();
}

void PlayerDestroy(PlayerEngine* engine) {
    if (engine == nullptr) return;
    PlayerClose(engine);
    delete engine;
}

void SetStatus(PlayerEngine& engine, PlayerStatus status) {
    if (engine.status.exchange(status) == status) return;
    PostToNotifyWindow(engine, WM_PLAYER_STATUS, static_cast<uintptr_t>(status), 0);
}

void PostToNotifyWindow(PlayerEngine& engine, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (platform::NotifyWindow* window = engine.notifyWindow.load()) {
        window->PostMessage(message, wParam, lParam);
    }
}

namespace {

// The file must look like MPEG audio, open, and yield a frame pair from its
// middle on; otherwise nothing of it stays open.
bool OpenMpegFile(PlayerEngine& engine, const std::string& path) {
    if (!ProbeMpegFile(path)) return false;
    if (!engine.fileReader.ReaderOpen(path)) return false;
    engine.path = path;
    if (!MpegOpenScan(engine)) {
        engine.fileReader.ReaderClose();
        engine.path.clear();
        return false;
    }
    return true;
}

}  // namespace

int PlayerOpen(PlayerEngine* engine, const std::string& path) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerClose(engine);
    if (OpenMpegFile(*engine, path)) {
        engine->sourceKind = SOURCE_MPEG_FILE;
        return 1;
    }
    if (OggOpen(*engine, path)) {
        engine->sourceKind = SOURCE_OGG_FILE;
        return 1;
    }
    if (WaveOpen(*engine, path)) {
        engine->sourceKind = SOURCE_WAVE_FILE;
        return 1;
    }
    // A refused file must not stay open in the reader.
    engine->fileReader.ReaderClose();
    engine->path.clear();
    return 0;
}

int PlayerOpenURL(PlayerEngine* engine, const std::string& url) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerClose(engine);
    if (!engine->streamReader.StreamSetUrl(url)) return 0;
    engine->sourceKind = SOURCE_MPEG_STREAM;
    return 1;
}

int PlayerGetStreamError(PlayerEngine* engine, std::string* text) {
    return engine->streamReader.GetLastError(text);
}

void PlayerClose(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerStop(engine);
    engine->fileReader.ReaderClose();
    engine->streamReader.StreamClose();
    OggClose(*engine);
    WaveClose(*engine);
    engine->sourceFormat = PlayerSourceFormat{};
    engine->path.clear();
    engine->length = 0;
    engine->sourceKind = SOURCE_NONE;
}

PlayerSource PlayerGetSourceKind(PlayerEngine* engine) {
    return static_cast<PlayerSource>(engine->sourceKind.load());
}

void PlayerGetSourceFormat(PlayerEngine* engine, PlayerSourceFormat* format) {
    *format = engine->sourceFormat;
}
