// The receive thread and the chunk pool: StreamStart, StreamStop, StreamRead.

#include <cstring>
#include <system_error>

#include "formats/stream/stream_reader.h"

namespace engine {
namespace {

// A connection silent for this long has failed.
constexpr auto kReceiveWait = std::chrono::seconds(3);
// StreamRead looks at the connection this often while it waits for data.
constexpr auto kReadWaitStep = std::chrono::milliseconds(500);

}  // namespace

bool StreamReader::StreamStart() {
    if (!networkReady_) return false;
    platform::CriticalSectionGuard control(controlLock_);
    StreamStop();
    // A wake left from the last stop must not end this connection; a stop
    // that comes after the drain still does.
    platform::DrainWakeDescriptor(wakeDescriptor_);
    if (interrupted_) return false;
    int32_t chunks = 0;
    {
        std::lock_guard fields(fieldLock_);
        chunks = options_.bufferBlocks;
    }
    AllocatePool(chunks);
    stopRequested_ = 0;
    endOfStream_ = 0;
    connected_ = false;
    connectedOrEnded_.Reset();
    try {
        receiveThread_ = std::thread(&StreamReader::StreamReceiveThread, this);
    } catch (const std::system_error&) {
        ReleasePool();
        return false;
    }
    connectedOrEnded_.Wait();
    if (connected_) return true;
    StreamStop();
    return false;
}

void StreamReader::StreamStop() {
    platform::CriticalSectionGuard control(controlLock_);
    if (receiveThread_.joinable()) {
        stopRequested_ = 1;
        platform::SignalWakeDescriptor(wakeDescriptor_);
        freeEvent_.Set();
        dataEvent_.Set();
        receiveThread_.join();
    }
    ReleasePool();
    stopRequested_ = 0;
    endOfStream_ = 0;
}

bool StreamReader::StreamRead(uint8_t* buffer, size_t maximum, size_t* count) {
    *count = 0;
    while (!dataEvent_.WaitFor(kReadWaitStep)) {
        if (!IsConnected() || interrupted_) return false;
    }
    std::lock_guard list(listLock_);
    if (filled_.empty()) return false;
    StreamChunk* chunk = filled_.front();
    const size_t take = std::min<size_t>(chunk->length - chunk->readPosition, maximum);
    std::memcpy(buffer, chunk->data + chunk->readPosition, take);
    chunk->readPosition += static_cast<uint32_t>(take);
    if (chunk->readPosition >= chunk->length) {
        filled_.erase(filled_.begin());
        free_.push_back(chunk);
        freeEvent_.Set();
    }
    if (filled_.empty()) dataEvent_.Reset();
    *count = take;
    return true;
}

int StreamReader::FilledCount() {
    std::lock_guard list(listLock_);
    return static_cast<int>(filled_.size());
}

void StreamReader::StreamReceiveThread() {
    StreamChunk* chunk = nullptr;
    Connection connection;
    if (StreamConnect(connection)) {
        // The first chunk starts with the audio that came with the headers.
        chunk = TakeFreeChunk();
        if (chunk != nullptr) {
            std::memcpy(chunk->data, connection.audio, connection.audioBytes);
            chunk->length = static_cast<uint32_t>(connection.audioBytes);
        }
        connected_ = true;
        connectedOrEnded_.Set();
        ReceiveChunks(chunk);
    }
    CloseConnection();
    if (chunk != nullptr) {
        // Back in the pool, so that StreamStop releases it with the rest.
        std::lock_guard list(listLock_);
        free_.push_back(chunk);
        freeEvent_.Set();
    }
    connectedOrEnded_.Set();
    progress_.Set();
}

// Fills chunks until a stop, an error, a silence or the server's end. A chunk
// still held on return is the caller's to give back.
void StreamReader::ReceiveChunks(StreamChunk*& chunk) {
    const MetadataFilter::BlockHandler publish = [this](std::span<const uint8_t> block) { PublishBlock(block); };
    for (;;) {
        if (chunk == nullptr) {
            if (StopRequested()) return;
            freeEvent_.Wait();
            if (StopRequested()) return;
            chunk = TakeFreeChunk();
            if (chunk == nullptr) continue;
        }
        bool serverClosed = false;
        while (chunk->length < kStreamChunkBytes) {
            if (StopRequested()) return;
            uint8_t* end = chunk->data + chunk->length;
            size_t received = 0;
            const ChannelRead read =
                channel_.Receive(end, kStreamChunkBytes - chunk->length, &received, wakeDescriptor_, kReceiveWait);
            if (read == ChannelRead::Closed) {
                serverClosed = true;
                break;
            }
            if (read != ChannelRead::Data) return;
            const size_t removed = metadata_.Filter(end, received, publish);
            chunk->length += static_cast<uint32_t>(received - removed);
        }
        if (StopRequested()) return;
        if (chunk->length > 0) {
            std::lock_guard list(listLock_);
            filled_.push_back(chunk);
            dataEvent_.Set();
            chunk = nullptr;
        }
        if (serverClosed) {
            // Only now: whoever sees the end also finds the last chunk listed.
            endOfStream_ = 1;
            progress_.Set();
            return;
        }
        progress_.Set();
    }
}

StreamChunk* StreamReader::TakeFreeChunk() {
    std::lock_guard list(listLock_);
    if (free_.empty()) {
        freeEvent_.Reset();
        return nullptr;
    }
    StreamChunk* chunk = free_.front();
    free_.erase(free_.begin());
    chunk->length = 0;
    chunk->readPosition = 0;
    if (free_.empty()) freeEvent_.Reset();
    return chunk;
}

void StreamReader::AllocatePool(int32_t chunks) {
    std::lock_guard list(listLock_);
    for (int32_t index = 0; index < chunks; ++index) {
        pool_.push_back(std::make_unique<StreamChunk>());
        free_.push_back(pool_.back().get());
    }
    freeEvent_.Set();
    dataEvent_.Reset();
}

void StreamReader::ReleasePool() {
    std::lock_guard list(listLock_);
    filled_.clear();
    free_.clear();
    pool_.clear();
    // Nobody may stay blocked on an event of a pool that is gone.
    freeEvent_.Set();
    dataEvent_.Set();
}

void StreamReader::CloseConnection() {
    socket_ = platform::kNoSocket;
    channel_.Close();
}

}  // namespace engine
