#include "formats/stream/stream_thread.h"

#include <chrono>
#include <cstring>

#include "engine/decoding_thread.h"
#include "engine/mpeg_header.h"
#include "engine/player_engine.h"
#include "formats/stream/stream_reader.h"
#include "platform/clock.h"

namespace engine {
namespace {

constexpr size_t kInputBufferBytes = 2048;
// A connection that brings no audio within this time has failed; one that
// brings some but not a whole prebuffer starts with what came.
constexpr auto kFirstAudioTime = std::chrono::seconds(15);

// The first header in `input` that another frame start follows at its frame
// length; false when there is none.
bool FindStreamFormat(const uint8_t* input, size_t count, MpegHeader* format) {
    for (size_t offset = 0; offset + kMpegHeaderBytes <= count; ++offset) {
        MpegHeader header;
        if (!ParseMpegHeader(input + offset, &header)) continue;
        const size_t follower = offset + static_cast<size_t>(header.frameLength);
        if (follower + kQuickSyncBytes > count || !PassesQuickSyncTest(input + follower)) continue;
        *format = header;
        return true;
    }
    return false;
}

bool HasFormat(const PlayerSourceFormat& format) {
    return format.version != 0 && format.layer != 0 && format.sampleRate != 0 && format.channels != 0;
}

// Waits until the stream reader holds `need` filled chunks. 1 when they are
// there, or when the server has ended the stream or the time is up with data
// still buffered; 0 on a stop, a closed connection, or no data in time (the
// reader then says so).
int WaitForStreamData(PlayerEngine& engine, int32_t need) {
    StreamReader& reader = *engine.streamReader;
    const auto deadline = platform::Now() + kFirstAudioTime;
    // The device plays on while the network is awaited.
    engine.waveOutput.SendHeldBlocks();
    while (!engine.stopRequested) {
        reader.ExpectProgress();
        const int filled = reader.FilledCount();
        if (filled >= need) return 1;
        // A stream shorter than the prebuffer still plays what it sent.
        if (reader.EndOfStream()) return filled > 0 ? 1 : 0;
        if (!reader.IsConnected()) return 0;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - platform::Now());
        if (left.count() <= 0) {
            if (filled > 0) return 1;
            reader.ReportNoAudio(kFirstAudioTime);
            return 0;
        }
        reader.WaitForProgress(left);
    }
    return 0;
}

// The buffer ran dry: waits for a full prebuffer again rather than playing
// in small pieces, from this connection while it lasts (it may be closing
// just now), else from a new one. False when no audio came in time, on a
// stop, or when no new connection could be made.
bool Refill(PlayerEngine& engine, size_t& held) {
    StreamReader& reader = *engine.streamReader;
    if (reader.IsConnected()) {
        if (WaitForStreamData(engine, reader.PrebufferChunks())) return true;
        if (engine.stopRequested || reader.IsConnected()) return false;
        // Closed by the server: what it sent last plays out.
        if (reader.EndOfStream()) return true;
    }
    reader.StreamStop();
    // What is held belongs to the old connection's byte stream.
    held = 0;
    return reader.StreamStart() && WaitForStreamData(engine, reader.PrebufferChunks());
}

void StopAndEnd(PlayerEngine& engine, bool drain) {
    engine.streamReader->StreamStop();
    EndPlayback(engine, drain);
}

}  // namespace

void StreamThread(PlayerEngine& engine) {
    StreamReader& reader = *engine.streamReader;
    reader.ClearInterrupt();
    if (!reader.StreamStart()) return;

    uint8_t input[kInputBufferBytes];
    size_t held = 0;
    // The first read only gives the format; its bytes are not decoded.
    MpegHeader format;
    if (!WaitForStreamData(engine, 1) || !reader.StreamRead(input, kInputBufferBytes, &held)) {
        reader.StreamStop();
        return;
    }
    if (!FindStreamFormat(input, held, &format) || !HasFormat(format)) {
        reader.ReportNotAudio();
        reader.StreamStop();
        return;
    }
    engine.sourceFormat = format;
    held = 0;

    if (!BeginPlayback(engine)) return StopAndEnd(engine, false);
    if (!WaitForStreamData(engine, reader.PrebufferChunks())) return StopAndEnd(engine, false);

    for (;;) {
        if (engine.stopRequested) return StopAndEnd(engine, false);
        if (reader.FilledCount() == 0 && !reader.EndOfStream() && !Refill(engine, held)) {
            return StopAndEnd(engine, false);
        }
        if (reader.FilledCount() == 0) return StopAndEnd(engine, true);
        size_t count = 0;
        if (!reader.StreamRead(input + held, kInputBufferBytes - held, &count) || count == 0) {
            return StopAndEnd(engine, true);
        }
        held += count;
        size_t consumed = 0;
        if (DecodeFrames(engine, input, held, &consumed) == 0 && engine.equalizer.decoder == nullptr) {
            return StopAndEnd(engine, false);
        }
        // A full buffer that the frame loop could not use is skipped over.
        if (consumed == 0 && held == kInputBufferBytes) consumed = 1;
        std::memmove(input, input + consumed, held - consumed);
        held -= consumed;
    }
}

}  // namespace engine
