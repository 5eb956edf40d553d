// StreamConnect: connects to the server (or the proxy), sends the request,
// reads the response headers and follows redirects. Runs on the receive thread.

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "formats/stream/stream_reader.h"
#include "formats/stream/stream_request.h"
#include "platform/text_codepage.h"

namespace {

// The headers, with the first audio bytes after them, must fit this buffer
// (one byte stays free for a terminator, as the headers are text).
constexpr size_t kHeaderBufferBytes = 2048;
// A silent server fails the connection after this long.
constexpr auto kHeaderReadWait = std::chrono::seconds(3);
// Everything from the name lookup to the end of the headers, redirects
// included, must fit this time, so that a server dribbling its headers can
// neither hold the caller nor the reader for long.
constexpr auto kConnectionTime = std::chrono::seconds(15);
// Redirects followed in a row before the connection fails; a loop must end.
constexpr int kMaximumRedirects = 5;

constexpr std::string_view kHeaderEnd = "\r\n\r\n";

std::chrono::milliseconds ReadWait(StreamClock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - StreamClock::now());
    return std::clamp(left, std::chrono::milliseconds(0), std::chrono::milliseconds(kHeaderReadWait));
}

}  // namespace

struct StreamReader::ResponseHeaders {
    int status = 0;
    std::string headers;  // up to and including the blank line
    std::string audio;    // the bytes after it
};

bool StreamReader::StreamConnect(Connection& connection) {
    std::string url;
    PlayerStreamOptions options;
    {
        std::lock_guard fields(fieldLock_);
        url = url_;
        options = options_;
    }
    if (url.empty()) return false;
    const auto deadline = StreamClock::now() + kConnectionTime;
    for (int redirects = 0;; ++redirects) {
        ResponseHeaders response;
        if (!ConnectOnce(url, options, deadline, response)) return false;
        if (response.status == kStatusOk) {
            ApplyHeaders(response, connection);
            return true;
        }
        // A redirect: the new connection goes through the proxy again.
        CloseConnection();
        const auto location = FindHeaderValue(response.headers, "Location: ");
        if (!location || !IsAcceptableStreamText(*location) || redirects == kMaximumRedirects) return false;
        url = *location;
    }
}

// One request and its response headers; the socket stays open on success
// and is closed on failure.
bool StreamReader::ConnectOnce(const std::string& url, const PlayerStreamOptions& options,
                               StreamClock::time_point deadline, ResponseHeaders& response) {
    const auto endpoint = ChooseEndpoint(url, options.proxy);
    if (!endpoint || StopRequested()) return false;
    const int socket = ConnectToHost(endpoint->host, endpoint->port, wakeDescriptor_, deadline);
    if (socket == kNoSocket) return false;
    socket_ = socket;
    if (!SendAll(socket, BuildRequest(*endpoint, options.userAgent), wakeDescriptor_, deadline)) {
        CloseConnection();
        return false;
    }

    char buffer[kHeaderBufferBytes];
    size_t held = 0;
    bool statusKnown = false;
    while (held < kHeaderBufferBytes - 1) {
        if (WaitForSocket(socket, POLLIN, wakeDescriptor_, ReadWait(deadline)) != SocketWait::Ready) break;
        const ssize_t received = recv(socket, buffer + held, kHeaderBufferBytes - 1 - held, 0);
        if (received < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (received <= 0) break;
        held += static_cast<size_t>(received);
        const std::string_view text(buffer, held);
        if (!statusKnown) {
            // TCP may deliver the status line in pieces: read it once whole.
            if (text.find('\n') == std::string_view::npos) continue;
            const auto status = ParseStatusCode(text);
            if (!status || (*status != kStatusOk && *status != kStatusFound)) break;
            response.status = *status;
            statusKnown = true;
        }
        const size_t end = text.find(kHeaderEnd);
        if (end == std::string_view::npos) continue;
        response.headers = std::string(text.substr(0, end + kHeaderEnd.size()));
        response.audio = std::string(text.substr(end + kHeaderEnd.size()));
        return true;
    }
    CloseConnection();
    return false;
}

void StreamReader::ApplyHeaders(const ResponseHeaders& response, Connection& connection) {
    {
        std::lock_guard fields(fieldLock_);
        // A header that is absent or empty leaves its field as it was.
        if (const auto name = FindHeaderValue(response.headers, "icy-name:")) {
            stationName_ = platform::Windows1252ToUtf8(*name);
        }
        if (const auto genre = FindHeaderValue(response.headers, "icy-genre:")) {
            genre_ = platform::Windows1252ToUtf8(*genre);
        }
        if (const auto stationUrl = FindHeaderValue(response.headers, "icy-url:")) {
            stationUrl_ = platform::Windows1252ToUtf8(*stationUrl);
        }
    }
    metadata_.Restart(ParseMetaint(response.headers));
    const size_t bytes = std::min(response.audio.size(), sizeof connection.audio);
    std::memcpy(connection.audio, response.audio.data(), bytes);
    const size_t removed = metadata_.Filter(connection.audio, bytes,
                                            [this](std::span<const uint8_t> block) { PublishBlock(block); });
    connection.audioBytes = bytes - removed;
}
