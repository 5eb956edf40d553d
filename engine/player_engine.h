#pragma once

// The engine object. Only engine/ and formats/ see inside it; everyone else
// goes through the Player operations of player.h.
//
// Lock order: the API lock, then the decode lock, then the component locks
// (file reader, wave output, equalizer decoder lock, each effect). The
// decoding thread never takes the API lock.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "engine/block_writer.h"
#include "engine/effects.h"
#include "engine/equalizer.h"
#include "engine/file_reader.h"
#include "engine/mpeg_gapless.h"
#include "engine/player.h"
#include "engine/wave_output.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/notify_window.h"

namespace engine {

struct FlacSource;
struct OggSource;
struct OpusSource;
struct SourceOperations;
struct WaveSource;
class StreamReader;

// The network input, one per engine, which keeps its options and the last
// error across opens. Made and released by the source registry, where its
// type is known.
struct StreamReaderDeleter {
    void operator()(StreamReader* reader) const;
};
using StreamReaderHandle = std::unique_ptr<StreamReader, StreamReaderDeleter>;
StreamReaderHandle MakeStreamReader();

}  // namespace engine

// The handle of the public interface stays outside the engine's namespace;
// its parts are the engine's own.
struct PlayerEngine {
    engine::FileReader fileReader;  // MPEG, WAVE, FLAC and Opus files are read through it.
    engine::StreamReaderHandle streamReader = engine::MakeStreamReader();
    engine::EqualizerBlock equalizer;
    engine::Echo feedbackEcho{engine::Echo::kFeedback};
    engine::Echo echo{engine::Echo::kPlain};
    engine::StereoWiden widen;
    engine::BassShelf bassShelf;
    engine::WaveOutput waveOutput;

    // Set by the caller's thread; read by the threads that post.
    std::atomic<platform::NotifyWindow*> notifyWindow{nullptr};

    // The open file; empty when nothing is open. Written under the API lock.
    std::string path;

    // The decoding thread; not joinable when none exists. Started and
    // released under the API lock.
    std::thread decodingThread;

    // Length of the source in samples per channel. Written by the opens.
    uint32_t length = 0;
    // Sample index per channel where output last restarted after a seek.
    // Written under the decode lock, read by PlayerGetPosition.
    std::atomic<uint32_t> seekBase{0};
    // Filled by the open; a stream fills it from its first frames.
    PlayerSourceFormat sourceFormat;
    // An MPEG file's Xing frame and trimmed timeline; written by its open.
    engine::MpegGapless mpegGapless;

    std::atomic<int32_t> status{PLAYER_STOPPED};

    // The block being filled; only the decoding thread touches it.
    engine::BlockWriter blocks{*this};

    // Output format of the running playback; 0 while stopped.
    std::atomic<int32_t> outputBits{0};
    std::atomic<int32_t> outputSampleRate{0};

    // Flags between threads: single words, each set and cleared by one store.
    std::atomic<uint32_t> seekPending{0};
    std::atomic<uint32_t> startPending{0};
    std::atomic<uint32_t> stopRequested{0};
    // Set by PlayerPlayAsync on a stream; cleared by the decoding thread when
    // its playback begins or it ends without one, whichever comes first.
    std::atomic<uint32_t> connecting{0};
    // The last playback could not open the sound device, or lost it.
    std::atomic<uint32_t> deviceFailed{0};

    // The record of the open source's kind (source_registry.h); null when
    // nothing is open. Changed only by PlayerOpen, PlayerOpenURL and
    // PlayerClose, while no decoding thread exists.
    std::atomic<const engine::SourceOperations*> source{nullptr};

    // Changed only while stopped.
    PlayerOutputOptions options;

    // Held by the decoding thread around each read step and its seek handling,
    // and by every format seek, so a seek never interleaves with a read.
    platform::CriticalSection decodeLock;
    // Serialises the operations that open, close, play, stop, seek and position.
    platform::CriticalSection apiLock;

    // Signalled by the decoding thread once its playback has started.
    platform::Event startedEvent;
    // Signalled when the playback has started or the thread has ended,
    // whichever comes first: what StartDecodingThread waits for.
    platform::Event startedOrEnded;

    // The state of an open Ogg, WAVE, FLAC or Opus source; null otherwise.
    // Created by the kind's open and released by its close.
    engine::OggSource* ogg = nullptr;
    engine::WaveSource* wave = nullptr;
    engine::FlacSource* flac = nullptr;
    engine::OpusSource* opus = nullptr;
};

namespace engine {

// Stores a new status and posts WM_PLAYER_STATUS with `detail` as its
// lParam, only if it differs.
void SetStatus(PlayerEngine& engine, PlayerStatus status, intptr_t detail = 0);

// Posts a message to the notify window, when one is set.
void PostToNotifyWindow(PlayerEngine& engine, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace engine
