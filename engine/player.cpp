// The engine object's life and the opening and closing of sources.

#include <new>

#include "engine/player_engine.h"
#include "engine/source_registry.h"

using namespace engine;

PlayerEngine* PlayerCreate() {
    return new (std::nothrow) PlayerEngine();
}

void PlayerDestroy(PlayerEngine* engine) {
    if (engine == nullptr) return;
    PlayerClose(engine);
    delete engine;
}

namespace engine {

void SetStatus(PlayerEngine& engine, PlayerStatus status, intptr_t detail) {
    if (engine.status.exchange(status) == status) return;
    PostToNotifyWindow(engine, WM_PLAYER_STATUS, static_cast<uintptr_t>(status), detail);
}

void PostToNotifyWindow(PlayerEngine& engine, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (platform::NotifyWindow* window = engine.notifyWindow.load()) {
        window->PostMessage(message, wParam, lParam);
    }
}

namespace {

// Opens `location` as the first registered kind, in table order, that is
// named that way and accepts it.
bool OpenFirstAccepting(PlayerEngine& engine, SourceLocation how, const std::string& location) {
    for (const SourceOperations& source : RegisteredSources()) {
        if (source.location != how || !source.open(engine, location)) continue;
        engine.source = &source;
        return true;
    }
    return false;
}

}  // namespace
}  // namespace engine

int PlayerOpen(PlayerEngine* engine, const std::string& path) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerClose(engine);
    if (OpenFirstAccepting(*engine, SourceLocation::File, path)) return 1;
    // A refused file must not stay open in the reader.
    engine->fileReader.ReaderClose();
    engine->path.clear();
    return 0;
}

int PlayerOpenURL(PlayerEngine* engine, const std::string& url) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerClose(engine);
    return OpenFirstAccepting(*engine, SourceLocation::Url, url) ? 1 : 0;
}

void PlayerClose(PlayerEngine* engine) {
    platform::CriticalSectionGuard api(engine->apiLock);
    PlayerStop(engine);
    const SourceOperations* source = engine->source.load();
    if (source != nullptr && source->close != nullptr) source->close(*engine);
    // MPEG, WAVE, FLAC and Opus files are read through the engine's reader.
    engine->fileReader.ReaderClose();
    engine->sourceFormat = PlayerSourceFormat{};
    engine->path.clear();
    engine->length = 0;
    engine->source = nullptr;
}

PlayerSource PlayerGetSourceKind(PlayerEngine* engine) {
    const SourceOperations* source = engine->source.load();
    return source != nullptr ? source->kind : SOURCE_NONE;
}

void PlayerGetSourceFormat(PlayerEngine* engine, PlayerSourceFormat* format) {
    *format = engine->sourceFormat;
}
