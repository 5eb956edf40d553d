#pragma once

// One GET over a StreamChannel, up to the end of the response headers:
// directly, through an http proxy, or through a proxy's CONNECT tunnel for
// https; redirects followed. The stream reader's receive thread and the
// station list fetch both open their responses here.

#include <chrono>
#include <cstddef>
#include <string>

#include "engine/player.h"
#include "formats/stream/stream_channel.h"

namespace engine {

// Redirects followed in a row before the request fails; a loop must end.
constexpr int kMaximumRedirects = 5;

struct HttpLimits {
    size_t headBytes = 0;                 // the status line and headers must end within this many bytes
    std::chrono::milliseconds silence{};  // the longest wait for any one read
};

struct HttpResponse {
    int status = 0;
    std::string url;      // the URL that answered, after the redirects
    std::string headers;  // the status line and header lines, up to and including the blank line
    std::string body;     // the bytes after the blank line that came with the headers
};

// Sends the request for `url` and reads the answer's headers; every wait
// ends at the wake descriptor's signal and at `deadline`. True for a 200
// answer, with `channel` open after its headers. Otherwise false with the
// channel closed and the reason for the user in `error` (naming the server).
bool OpenHttpResponse(const std::string& url, const PlayerStreamOptions& options, const HttpLimits& limits,
                      int wakeDescriptor, StreamClock::time_point deadline, StreamChannel& channel,
                      HttpResponse& response, std::string* error);

}  // namespace engine
