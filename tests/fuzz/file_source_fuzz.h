#pragma once

// The checks every decoded file source's harness makes: a file that opens
// also passes the probe, its tag stays within the player's length, a seek
// into it either lands or is refused, the tag reads without opening, and the
// file plays through the engine and ends.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

// One source kind's operations, as its formats/ folder names them.
struct FileSourceUnderTest {
    bool (*probe)(const std::string& path);
    bool (*open)(PlayerEngine& engine, const std::string& path);
    bool (*tag)(PlayerEngine& engine, PlayerTag* tag);
    bool (*seek)(PlayerEngine& engine, int32_t milliseconds);
    void (*close)(PlayerEngine& engine);
    bool (*fileTag)(const std::string& path, PlayerTag* tag);
};

inline size_t CodePoints(std::string_view text) {
    size_t count = 0;
    for (const char byte : text) count += (static_cast<uint8_t>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

inline void CheckOpenTagAndSeek(const FileSourceUnderTest& source, const std::string& path) {
    const bool probed = source.probe(path);
    const std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine(PlayerCreate(), PlayerDestroy);
    if (!source.open(*engine, path)) return;
    Check(probed, "a file that opens passes the probe");
    Check(engine->length > 0, "an open file has samples");
    PlayerTag tag;
    Check(source.tag(*engine, &tag), "an open file has a tag, empty or not");
    for (const std::string* text : {&tag.title, &tag.artist, &tag.album}) {
        Check(CodePoints(*text) <= kTagTextCharacters, "a tag text holds at most its length");
    }
    const int32_t middle = PlayerGetDuration(engine.get()) / 2;
    if (source.seek(*engine, middle)) Check(engine->seekBase <= engine->length, "a seek lands inside the stream");
    source.close(*engine);
    PlayerTag fromFile;
    source.fileTag(path, &fromFile);
}

// The whole harness body for one input, written to `scratchName`.
inline int FuzzFileSource(const FileSourceUnderTest& source, std::string_view scratchName, const uint8_t* data,
                          size_t size) {
    const std::string path = WriteScratchFile(scratchName, data, size);
    CheckOpenTagAndSeek(source, path);
    PlayFile(path);
    return 0;
}

}  // namespace fuzz
