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
constexpr auto kStreamDataPollInterval = std::chrono::milliseconds(10);

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

// Waits until the stream reader holds `need` filled chunks (0: its prebuffer
// amount). 1 when they are there, or when the server has ended the stream
// with data still buffered; 0 on a stop or a closed connection.
int WaitForStreamData(PlayerEngine& engine, int32_t need) {
    StreamReader& reader = *engine.streamReader;
    if (need == 0) need = reader.PrebufferChunks();
    // The device plays on while the network is awaited.
    engine.waveOutput.SendHeldBlocks();
    while (!engine.stopRequested) {
        const int filled = reader.FilledCount();
        if (filled >= need) return 1;
        // A stream shorter than the prebuffer still plays what it sent.
        if (reader.EndOfStream()) return filled > 0 ? 1 : 0;
        if (!reader.IsConnected()) return 0;
        platform::SleepFor(kStreamDataPollInterval);
    }
    return 0;
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
    if (!reader.StreamRead(input, kInputBufferBytes, &held) || !FindStreamFormat(input, held, &format) ||
        !HasFormat(format)) {
        reader.StreamStop();
        return;
    }
    engine.sourceFormat = format;
    held = 0;

    if (!BeginPlayback(engine)) return StopAndEnd(engine, false);
    if (!WaitForStreamData(engine, reader.PrebufferChunks())) return StopAndEnd(engine, false);

    for (;;) {
        if (engine.stopRequested) return StopAndEnd(engine, false);
        if (reader.FilledCount() == 0) {
            if (reader.EndOfStream()) return StopAndEnd(engine, true);
            // The buffer ran dry: a new connection, and a full prebuffer
            // again rather than playing in small pieces.
            reader.StreamStop();
            if (!reader.StreamStart() || !WaitForStreamData(engine, reader.PrebufferChunks())) {
                return StopAndEnd(engine, false);
            }
            // What is held belongs to the old connection's byte stream.
            held = 0;
        }
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
