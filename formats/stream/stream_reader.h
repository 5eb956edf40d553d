#pragma once

// The engine's network input, one per engine. StreamStart connects on a
// receive thread, which then fills a pool of 2048-byte chunks from the
// socket, strips the interleaved metadata and keeps the stream title;
// StreamRead hands the chunks' audio to the stream thread.
//
// Threads: the caller's (the Player operations), the stream thread (Start,
// Stop, Read, the counts) and the receive thread.
// Locks: the control lock serialises StreamStart and StreamStop and is taken
// before the list lock; the field lock is taken alone. No engine lock is
// taken while either is held, and the receive thread never takes the
// control lock.
//
// Chunks cycle: free list -> receive thread (owns it while filling, in no
// list, so it fills without the lock) -> filled list -> StreamRead -> free list.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/player.h"
#include "formats/stream/stream_channel.h"
#include "formats/stream/stream_http.h"
#include "formats/stream/stream_metadata.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/notify_window.h"
#include "platform/socket.h"

namespace engine {

constexpr size_t kStreamChunkBytes = 2048;
// The pool is allocated per connection; this caps it at 8 MB.
constexpr int32_t kMaximumBufferChunks = 4096;

struct StreamChunk {
    uint8_t data[kStreamChunkBytes];
    uint32_t length = 0;        // bytes of data held
    uint32_t readPosition = 0;  // bytes already handed to the decoder
};

class StreamReader {
public:
    StreamReader();
    ~StreamReader();
    StreamReader(const StreamReader&) = delete;
    StreamReader& operator=(const StreamReader&) = delete;

    // Stores the URL; nothing is connected yet. False unless it starts with
    // "http://" or "https://", fits 259 characters without control
    // characters, and the network is ready.
    bool StreamSetUrl(const std::string& url);
    // Stops, and forgets the URL, the station fields, the title and the error.
    void StreamClose();

    // Allocates the pool and connects; true once the response headers are read.
    bool StreamStart();
    // Ends the receive thread and releases the pool.
    void StreamStop();
    // Copies up to `maximum` bytes from the oldest filled chunk. False when no
    // data will come: the connection is closed and nothing is buffered, the
    // pool was released, or the reader was interrupted.
    bool StreamRead(uint8_t* buffer, size_t maximum, size_t* count);

    int FilledCount();
    int PrebufferChunks() const;
    // An open connection: from the headers until the receive thread ends.
    bool IsConnected() const { return socket_.load() >= 0; }
    // The server closed the connection and its last chunk is in the filled list.
    bool EndOfStream() const { return endOfStream_.load() != 0; }

    // Waiting for the pool to fill: call ExpectProgress before looking at the
    // counts, then WaitForProgress, which returns once a chunk was filled,
    // the connection ended, the reader was interrupted or `timeout` (on the
    // installed clock) passed, whichever comes first; nothing between the
    // look and the wait is missed.
    void ExpectProgress() { progress_.Reset(); }
    void WaitForProgress(std::chrono::milliseconds timeout) { progress_.WaitFor(timeout); }

    // Cuts every wait of this playback short (connecting, reading headers,
    // receiving, reading) until ClearInterrupt; for the engine's stop.
    void Interrupt();
    void ClearInterrupt() { interrupted_ = 0; }

    void SetNotifyWindow(platform::NotifyWindow* window) { notifyWindow_ = window; }

    // The station fields; 0 when all are empty.
    int GetInfo(std::string* name, std::string* genre, std::string* url) const;
    // The title of the last complete metadata block; 0 when it had none.
    int GetTitle(std::string* title) const;
    // Why the last connection failed, for the user ("The certificate of
    // radio.example.org could not be verified (...)."); 0 when the last
    // connection succeeded or none was tried. Kept until the next connection.
    int GetLastError(std::string* text) const;
    // The failures the stream thread finds in what the connection brought:
    // no audio within `time`, or data that is not MPEG audio.
    void ReportNoAudio(std::chrono::seconds time);
    void ReportNotAudio();
    // Refused while the pool exists, for a buffer outside 1..kMaximumBufferChunks
    // or an unacceptable proxy or user agent.
    int SetOptions(const PlayerStreamOptions& options);
    void GetOptions(PlayerStreamOptions* options) const;

private:
    // What a successful connection hands to the receive thread.
    struct Connection {
        uint8_t audio[kStreamChunkBytes];  // the audio that came with the headers
        size_t audioBytes = 0;
    };

    // stream_connection.cpp
    bool StreamConnect(Connection& connection);
    bool ApplyHeaders(const HttpResponse& response, Connection& connection);
    void SetLastError(std::string text);
    std::string HostOfUrl() const;

    // stream_receive.cpp
    void StreamReceiveThread();
    void ReceiveChunks(StreamChunk*& chunk);
    bool StopRequested() const { return stopRequested_.load() != 0 || interrupted_.load() != 0; }
    StreamChunk* TakeFreeChunk();
    void AllocatePool(int32_t chunks);
    void ReleasePool();
    void CloseConnection();

    // stream_metadata use
    void PublishBlock(std::span<const uint8_t> block);

    // Set once by the constructor: the wake descriptor exists.
    bool networkReady_ = false;
    int wakeDescriptor_ = -1;

    std::atomic<platform::NotifyWindow*> notifyWindow_{nullptr};

    // Serialises StreamStart and StreamStop; StreamStop joins the receive
    // thread while holding it.
    platform::CriticalSection controlLock_;
    // Started and joined under the control lock.
    std::thread receiveThread_;

    // Owned by the receive thread while it runs.
    StreamChannel channel_;
    // The channel's socket once the headers are read, written by the receive
    // thread; other threads only compare it with kNoSocket.
    std::atomic<int> socket_{-1};

    // Owned by the receive thread while it runs; reset by StreamClose after a stop.
    MetadataFilter metadata_;

    // Guards the URL, the options, the station fields, the title and the
    // error, which the receive thread writes while the caller reads them.
    mutable std::mutex fieldLock_;
    std::string url_;
    PlayerStreamOptions options_;
    std::string stationName_;
    std::string genre_;
    std::string stationUrl_;
    std::optional<std::string> title_;
    std::string lastError_;

    // Single words between threads. stopRequested_ is set by StreamStop and
    // cleared by StreamStart; interrupted_ is set by Interrupt and survives
    // reconnections until ClearInterrupt.
    std::atomic<uint32_t> stopRequested_{0};
    std::atomic<uint32_t> interrupted_{0};
    std::atomic<uint32_t> endOfStream_{0};

    // The receive thread sets it before signalling connectedOrEnded_.
    std::atomic<bool> connected_{false};
    // Signalled once the headers are read or the receive thread has ended.
    platform::Event connectedOrEnded_;

    // Guards the pool, both lists and the length and read position of every
    // chunk in a list; the two events are set and cleared under it.
    std::mutex listLock_;
    std::vector<std::unique_ptr<StreamChunk>> pool_;
    std::vector<StreamChunk*> filled_;  // oldest first
    std::vector<StreamChunk*> free_;
    platform::Event dataEvent_{true};  // signalled while filled_ is not empty
    platform::Event freeEvent_{true};  // signalled while free_ is not empty
    // Signalled on every filled chunk, the end of a connection and an interrupt.
    platform::Event progress_;
};

}  // namespace engine
