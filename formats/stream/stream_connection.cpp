// StreamConnect: opens the response (redirects, proxy and TLS included) and
// takes the station fields and the metadata interval from its headers. Runs
// on the receive thread.

#include <cstring>

#include "formats/stream/stream_reader.h"
#include "formats/stream/stream_request.h"
#include "platform/clock.h"
#include "platform/text_codepage.h"

namespace engine {
namespace {

// The headers, with the first audio bytes after them, must fit this buffer
// (one byte stays free, as the headers were once kept as terminated text).
constexpr size_t kHeaderBufferBytes = 2048;
// A silent server fails the connection after this long.
constexpr auto kHeaderReadWait = std::chrono::seconds(3);
// Everything from the name lookup to the end of the headers, redirects and
// TLS handshakes included, must fit this time, so that a server dribbling
// its answer can neither hold the caller nor the reader for long.
constexpr auto kConnectionTime = std::chrono::seconds(15);

}  // namespace

bool StreamReader::StreamConnect(Connection& connection) {
    std::string url;
    PlayerStreamOptions options;
    {
        std::lock_guard fields(fieldLock_);
        url = url_;
        options = options_;
        lastError_.clear();
    }
    if (url.empty()) return false;
    const HttpLimits limits{kHeaderBufferBytes - 1, kHeaderReadWait};
    HttpResponse response;
    std::string error;
    if (!OpenHttpResponse(url, options, limits, wakeDescriptor_, platform::Now() + kConnectionTime, channel_,
                          response, &error)) {
        // A stop is no failure to report.
        if (!StopRequested()) SetLastError(std::move(error));
        return false;
    }
    if (!ApplyHeaders(response, connection)) {
        SetLastError(ParseStreamUrl(response.url)->host + " announced metadata in a way that cannot be read.");
        channel_.Close();
        return false;
    }
    socket_ = channel_.Socket();
    return true;
}

bool StreamReader::ApplyHeaders(const HttpResponse& response, Connection& connection) {
    const auto metaint = ParseMetaint(response.headers);
    if (!metaint) return false;
    {
        std::lock_guard fields(fieldLock_);
        // A header that is absent or empty leaves its field as it was.
        if (const auto name = FindHeaderValue(response.headers, "icy-name")) {
            stationName_ = platform::Utf8OrWindows1252ToUtf8(*name);
        }
        if (const auto genre = FindHeaderValue(response.headers, "icy-genre")) {
            genre_ = platform::Utf8OrWindows1252ToUtf8(*genre);
        }
        if (const auto stationUrl = FindHeaderValue(response.headers, "icy-url")) {
            stationUrl_ = platform::Utf8OrWindows1252ToUtf8(*stationUrl);
        }
    }
    metadata_.Restart(*metaint);
    const size_t bytes = std::min(response.body.size(), sizeof connection.audio);
    std::memcpy(connection.audio, response.body.data(), bytes);
    const size_t removed = metadata_.Filter(connection.audio, bytes,
                                            [this](std::span<const uint8_t> block) { PublishBlock(block); });
    connection.audioBytes = bytes - removed;
    return true;
}

void StreamReader::ReportNoAudio(std::chrono::seconds time) {
    SetLastError(HostOfUrl() + " sent no audio within " + std::to_string(time.count()) + " seconds.");
}

void StreamReader::ReportNotAudio() {
    SetLastError(HostOfUrl() + " sent something that is not MPEG audio.");
}

std::string StreamReader::HostOfUrl() const {
    std::lock_guard fields(fieldLock_);
    const auto parsed = ParseStreamUrl(url_);
    return parsed ? parsed->host : url_;
}

void StreamReader::SetLastError(std::string text) {
    std::lock_guard fields(fieldLock_);
    lastError_ = std::move(text);
}

}  // namespace engine
