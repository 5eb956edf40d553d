// Ogg Vorbis files: a file that opens also passes the probe, its comments
// come out within the player's length, comment text of any bytes decodes
// to at most that many characters, and the file plays through the engine
// and ends.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "formats/ogg/ogg_source.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace engine;

size_t CodePoints(std::string_view text) {
    size_t count = 0;
    for (const char byte : text) count += (static_cast<uint8_t>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

void CheckComment(const std::string& value) {
    fuzz::Check(CodePoints(value) <= kOggCommentCharacters, "a comment holds at most its length in characters");
}

void CheckOpenAndComments(const std::string& path) {
    const bool probed = OggProbe(path);
    const std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine(PlayerCreate(), PlayerDestroy);
    if (!OggOpen(*engine, path)) return;
    fuzz::Check(probed, "a file that opens passes the probe");
    OggComments comments;
    if (OggGetComments(engine->ogg, &comments)) {
        for (const std::string* value : {&comments.date, &comments.trackNumber, &comments.title, &comments.artist,
                                         &comments.album, &comments.genre, &comments.comment}) {
            CheckComment(*value);
        }
    }
    OggClose(*engine);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The comment decoder reads up to a zero byte, as Tremor hands it the text.
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckComment(DecodeCommentText(text.c_str()));

    const std::string path = fuzz::WriteScratchFile("input.ogg", data, size);
    CheckOpenAndComments(path);
    fuzz::PlayFile(path);
    return 0;
}
