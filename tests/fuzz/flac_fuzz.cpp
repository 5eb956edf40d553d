// FLAC files, native and in Ogg: a file that opens also passes the probe,
// its tag stays within the player's length, a seek into it either lands or
// is refused, and the file plays through the engine and ends.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "formats/flac/flac_source.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace engine;

size_t CodePoints(const std::string& text) {
    size_t count = 0;
    for (const char byte : text) count += (static_cast<uint8_t>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

void CheckOpenTagAndSeek(const std::string& path) {
    const bool probed = FlacProbe(path);
    const std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine(PlayerCreate(), PlayerDestroy);
    if (!FlacOpen(*engine, path)) return;
    fuzz::Check(probed, "a file that opens passes the probe");
    fuzz::Check(engine->length > 0, "an open file has samples");
    PlayerTag tag;
    fuzz::Check(FlacGetTag(*engine, &tag), "an open file has a tag, empty or not");
    for (const std::string* text : {&tag.title, &tag.artist, &tag.album}) {
        fuzz::Check(CodePoints(*text) <= kTagTextCharacters, "a tag text holds at most its length");
    }
    const int32_t middle = PlayerGetDuration(engine.get()) / 2;
    if (FlacSeek(*engine, middle)) {
        fuzz::Check(engine->seekBase <= engine->length, "a seek lands inside the stream");
    }
    FlacClose(*engine);
    PlayerTag fromFile;
    FlacReadFileTag(path, &fromFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("input.flac", data, size);
    CheckOpenTagAndSeek(path);
    fuzz::PlayFile(path);
    return 0;
}
