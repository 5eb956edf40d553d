// The stream reader's life, its URL, station fields, title and options.

#include "formats/stream/stream_reader.h"

#include <unistd.h>

#include <algorithm>

#include "formats/stream/stream_request.h"
#include "platform/path_text.h"

namespace engine {

StreamReader::StreamReader() {
    wakeDescriptor_ = platform::CreateWakeDescriptor();
    networkReady_ = wakeDescriptor_ >= 0;
}

StreamReader::~StreamReader() {
    StreamClose();
    if (wakeDescriptor_ >= 0) close(wakeDescriptor_);
}

bool StreamReader::StreamSetUrl(const std::string& url) {
    // The scheme in lower case only: ResolveStationUrl and the station lists
    // hand addresses over so.
    const bool streamScheme = url.starts_with(platform::kHttpPrefix) || url.starts_with(platform::kHttpsPrefix);
    if (!streamScheme || !networkReady_ || !IsAcceptableStreamText(url)) return false;
    std::lock_guard fields(fieldLock_);
    url_ = url;
    lastError_.clear();
    return true;
}

void StreamReader::StreamClose() {
    StreamStop();
    metadata_.Forget();
    std::lock_guard fields(fieldLock_);
    url_.clear();
    stationName_.clear();
    genre_.clear();
    stationUrl_.clear();
    title_.reset();
    lastError_.clear();
}

void StreamReader::Interrupt() {
    interrupted_ = 1;
    if (wakeDescriptor_ >= 0) platform::SignalWakeDescriptor(wakeDescriptor_);
    // Wakes a StreamRead and a receive thread that waits for a free chunk.
    dataEvent_.Set();
    freeEvent_.Set();
    progress_.Set();
}

void StreamReader::PublishBlock(std::span<const uint8_t> block) {
    std::optional<std::string> title = StreamParseTitle(block);
    const bool announce = title.has_value();
    {
        std::lock_guard fields(fieldLock_);
        title_ = std::move(title);
    }
    // Posted without any lock held; the receiver reads the text with
    // PlayerGetStreamTitle (see WM_PLAYER_STREAM_TITLE in player.h).
    if (!announce) return;
    if (platform::NotifyWindow* window = notifyWindow_.load()) window->PostMessage(WM_PLAYER_STREAM_TITLE, 0, 0);
}

int StreamReader::GetInfo(std::string* name, std::string* genre, std::string* url) const {
    std::lock_guard fields(fieldLock_);
    if (stationName_.empty() && genre_.empty() && stationUrl_.empty()) return 0;
    bool copied = false;
    auto copyField = [&copied](std::string* out, const std::string& field) {
        if (out == nullptr) return;
        out->clear();
        if (field.empty()) return;
        *out = field;
        copied = true;
    };
    copyField(name, stationName_);
    copyField(genre, genre_);
    copyField(url, stationUrl_);
    return copied ? 1 : 0;
}

int StreamReader::GetTitle(std::string* title) const {
    if (title != nullptr) title->clear();
    std::lock_guard fields(fieldLock_);
    if (!title_) return 0;
    if (title != nullptr) *title = *title_;
    return 1;
}

int StreamReader::GetLastError(std::string* text) const {
    std::lock_guard fields(fieldLock_);
    if (text != nullptr) *text = lastError_;
    return lastError_.empty() ? 0 : 1;
}

int StreamReader::SetOptions(const PlayerStreamOptions& options) {
    if (options.bufferBlocks < 1 || options.bufferBlocks > kMaximumBufferChunks) return 0;
    if (!IsAcceptableStreamText(options.proxy) || !IsAcceptableStreamText(options.userAgent)) return 0;
    // The pool exists from StreamStart to StreamStop: its size and the
    // prebuffer never change under a running stream.
    std::scoped_lock lock(listLock_, fieldLock_);
    if (!pool_.empty()) return 0;
    options_.bufferBlocks = options.bufferBlocks;
    // At least one chunk: a prebuffer of none would reconnect at once, forever.
    options_.prebufferBlocks = std::max(1, std::min(options.bufferBlocks, options.prebufferBlocks));
    options_.proxy = options.proxy;
    options_.userAgent = options.userAgent;
    return 1;
}

void StreamReader::GetOptions(PlayerStreamOptions* options) const {
    std::lock_guard fields(fieldLock_);
    *options = options_;
}

int StreamReader::PrebufferChunks() const {
    std::lock_guard fields(fieldLock_);
    return options_.prebufferBlocks;
}

}  // namespace engine
