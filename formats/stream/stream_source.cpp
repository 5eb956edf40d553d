// The stream's record operations and the Player operations that only a
// network stream answers.

#include "formats/stream/stream_source.h"

#include "engine/player_engine.h"
#include "formats/stream/stream_reader.h"

namespace engine {

bool OpenStreamSource(PlayerEngine& engine, const std::string& url) {
    return engine.streamReader->StreamSetUrl(url);
}

void CloseStreamSource(PlayerEngine& engine) {
    engine.streamReader->StreamClose();
}

void InterruptStreamSource(PlayerEngine& engine) {
    engine.streamReader->Interrupt();
}

void SetStreamNotifyWindow(PlayerEngine& engine, platform::NotifyWindow* window) {
    engine.streamReader->SetNotifyWindow(window);
}

}  // namespace engine

int PlayerGetStreamError(PlayerEngine* engine, std::string* text) {
    return engine->streamReader->GetLastError(text);
}

int PlayerGetStreamInfo(PlayerEngine* engine, std::string* name, std::string* genre, std::string* url) {
    return engine->streamReader->GetInfo(name, genre, url);
}

int PlayerGetStreamTitle(PlayerEngine* engine, std::string* title) {
    return engine->streamReader->GetTitle(title);
}

int PlayerSetStreamOptions(PlayerEngine* engine, const PlayerStreamOptions* options) {
    return engine->streamReader->SetOptions(*options);
}

void PlayerGetStreamOptions(PlayerEngine* engine, PlayerStreamOptions* options) {
    engine->streamReader->GetOptions(options);
}
