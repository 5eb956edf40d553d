#pragma once

// What each kind of source does for the engine, as one record of operations
// per kind. The records are listed in one table (source_registry.cpp); the
// engine reaches a format only through the record of the open source, so a
// new format adds its folder and one line to that table.

#include <cstdint>
#include <span>
#include <string>

#include "engine/player.h"

struct PlayerEngine;

namespace engine {

// How a kind of source is named when it is opened.
enum class SourceLocation { File, Url };

// The PCM a playback writes.
struct SourceOutput {
    int32_t bits = 0;
    int32_t sampleRate = 0;
};

// open, thread, outputFormat and blockCapacity are required; every other
// operation may be left null, with the meaning given beside it.
struct SourceOperations {
    PlayerSource kind = SOURCE_NONE;
    SourceLocation location = SourceLocation::File;

    // Makes this kind the engine's source: fills the source format, the length
    // and the path. On failure nothing of it stays open but, for files, the
    // engine's file reader, which the caller closes.
    bool (*open)(PlayerEngine& engine, const std::string& location) = nullptr;
    // Releases what the open made; safe when nothing is open. Null when the
    // engine's file reader, which PlayerClose closes, is all the kind holds.
    void (*close)(PlayerEngine& engine) = nullptr;
    // Whether the content at `path` is this kind's; null when only an open can tell.
    bool (*probe)(const std::string& path) = nullptr;

    // Moves to `milliseconds` under the decode lock; null when the kind cannot seek.
    bool (*seek)(PlayerEngine& engine, int32_t milliseconds) = nullptr;
    // Back to the start once a playback has ended; null when there is nothing to rewind.
    void (*rewind)(PlayerEngine& engine) = nullptr;
    // Run by PlayerStop after the thread has ended; null when a stop leaves
    // the source where it stands.
    void (*afterStop)(PlayerEngine& engine) = nullptr;

    // The decoding thread: BeginPlayback, the loop, EndPlayback.
    void (*thread)(PlayerEngine& engine) = nullptr;
    // The PCM the playback of the open source writes.
    SourceOutput (*outputFormat)(const PlayerEngine& engine) = nullptr;
    // Bytes in one output block for a playback at `outputBits`.
    uint32_t (*blockCapacity)(const PlayerEngine& engine, int32_t outputBits) = nullptr;
    // Cuts short a wait of the thread that the output's flush does not end
    // (the network); null when the thread waits only on the output.
    void (*interrupt)(PlayerEngine& engine) = nullptr;

    // The open source's tag; null when the kind has none.
    bool (*tag)(PlayerEngine& engine, PlayerTag* tag) = nullptr;
    // The tag of a file that this kind's probe accepts, without opening it;
    // null when the kind has none.
    bool (*fileTag)(const std::string& path, PlayerTag* tag) = nullptr;
    // The embedded cover of such a file; null when the kind has none.
    bool (*fileCover)(const std::string& path, PlayerPicture* picture) = nullptr;
    // Where a source that posts from threads of its own posts; null for the others.
    void (*setNotifyWindow)(PlayerEngine& engine, platform::NotifyWindow* window) = nullptr;
};

// Every kind, the file kinds in the order PlayerOpen tries them.
std::span<const SourceOperations> RegisteredSources();

}  // namespace engine
