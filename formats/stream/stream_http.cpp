#include "formats/stream/stream_http.h"

#include <algorithm>
#include <optional>

#include "formats/stream/stream_request.h"
#include "platform/clock.h"

namespace engine {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

constexpr std::string_view kHeaderEnd = "\r\n\r\n";

milliseconds ReadWait(StreamClock::time_point deadline, milliseconds silence) {
    const auto left = duration_cast<milliseconds>(deadline - platform::Now());
    return std::clamp(left, milliseconds(0), silence);
}

// Reads a response head from `channel` into `response`. The status is read
// as soon as the status line is whole, so a refusal ends the wait at once.
// `acceptable` says which statuses are worth the rest of the head.
template <typename StatusFilter>
bool ReadHead(StreamChannel& channel, const HttpLimits& limits, int wakeDescriptor, StreamClock::time_point deadline,
              const std::string& server, StatusFilter acceptable, HttpResponse& response, std::string* error) {
    std::string held(limits.headBytes, '\0');
    size_t count = 0;
    bool statusKnown = false;
    while (count < held.size()) {
        size_t received = 0;
        const ChannelRead read = channel.Receive(reinterpret_cast<uint8_t*>(held.data()) + count, held.size() - count,
                                                 &received, wakeDescriptor, ReadWait(deadline, limits.silence));
        if (read == ChannelRead::Woken) return false;
        if (read != ChannelRead::Data) {
            *error = server + " did not answer.";
            return false;
        }
        count += received;
        const std::string_view text(held.data(), count);
        if (!statusKnown) {
            // TCP may deliver the status line in pieces: read it once whole.
            if (text.find('\n') == std::string_view::npos) continue;
            const auto status = ParseStatusCode(text);
            if (!status) {
                *error = server + " did not answer as a web server.";
                return false;
            }
            response.status = *status;
            if (!acceptable(*status)) {
                *error = server + " answered with status " + std::to_string(*status) + ".";
                return false;
            }
            statusKnown = true;
        }
        const size_t end = text.find(kHeaderEnd);
        if (end == std::string_view::npos) continue;
        response.headers = std::string(text.substr(0, end + kHeaderEnd.size()));
        response.body = std::string(text.substr(end + kHeaderEnd.size()));
        return true;
    }
    *error = server + " sent headers that are too long.";
    return false;
}

// One request and its response head; the channel stays open on success and
// is closed on failure.
bool ExchangeOnce(const std::string& url, const PlayerStreamOptions& options, const HttpLimits& limits,
                  int wakeDescriptor, StreamClock::time_point deadline, StreamChannel& channel,
                  HttpResponse& response, std::string* error) {
    const auto endpoint = ChooseEndpoint(url, options.proxy);
    if (!endpoint) {
        *error = url + " is not a usable address.";
        return false;
    }
    const int socket = platform::ConnectToHost(endpoint->host, endpoint->port, wakeDescriptor, deadline);
    if (socket == platform::kNoSocket) {
        *error = "Could not connect to " + endpoint->host + ".";
        return false;
    }
    channel.Attach(socket);
    bool opened = true;
    if (!endpoint->tunnel.empty()) {
        HttpResponse tunnel;
        opened = channel.SendAll(BuildTunnelRequest(*endpoint, options.userAgent), wakeDescriptor, deadline) &&
                 ReadHead(channel, limits, wakeDescriptor, deadline, endpoint->host,
                          [](int status) { return status == kStatusOk; }, tunnel, error);
        if (!opened && error->empty()) *error = "The proxy " + endpoint->host + " did not answer.";
    }
    if (opened && endpoint->secure) {
        opened = channel.StartTls(endpoint->secureHost, wakeDescriptor, deadline, limits.silence, error);
    }
    const std::string& server = endpoint->secure ? endpoint->secureHost : endpoint->host;
    if (opened && !channel.SendAll(BuildRequest(*endpoint, options.userAgent), wakeDescriptor, deadline)) {
        *error = server + " did not take the request.";
        opened = false;
    }
    opened = opened && ReadHead(channel, limits, wakeDescriptor, deadline, server, [](int status) {
        return status == kStatusOk || IsRedirectStatus(status);
    }, response, error);
    if (!opened) channel.Close();
    return opened;
}

}  // namespace

bool OpenHttpResponse(const std::string& url, const PlayerStreamOptions& options, const HttpLimits& limits,
                      int wakeDescriptor, StreamClock::time_point deadline, StreamChannel& channel,
                      HttpResponse& response, std::string* error) {
    error->clear();
    std::string current = url;
    for (int redirects = 0;; ++redirects) {
        response = HttpResponse{};
        response.url = current;
        if (!ExchangeOnce(current, options, limits, wakeDescriptor, deadline, channel, response, error)) return false;
        if (response.status == kStatusOk) return true;
        // A redirect: the next connection goes through the proxy again.
        channel.Close();
        const std::string server = ParseStreamUrl(current)->host;
        const auto location = FindTrimmedHeaderValue(response.headers, "Location");
        const auto next = location ? ResolveUrlReference(current, *location) : std::nullopt;
        if (!next || !IsAcceptableStreamText(*next)) {
            *error = server + " redirected to an address that cannot be followed.";
            return false;
        }
        if (redirects == kMaximumRedirects) {
            *error = server + " redirected too many times.";
            return false;
        }
        current = *next;
    }
}

}  // namespace engine
