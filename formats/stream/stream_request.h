#pragma once

// The text side of the HTTP/ICY conversation: where to connect for a URL and
// proxy, the requests, and the fields read from the response headers. Pure
// functions over strings; the sockets are elsewhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/stream/stream_url.h"

namespace engine {

// URLs, proxies and user agents hold at most this many characters (UTF-16
// units, as the stored fields are 260 units with their terminator).
constexpr size_t kStreamTextCharacters = 259;
// Header values are read up to this many bytes.
constexpr size_t kHeaderValueBytes = 256;
// The largest metadata interval taken. Servers use 8192 to 65536 bytes; a
// larger value is a broken or hostile header, and the connection fails
// rather than playing its metadata as audio.
constexpr int32_t kLargestMetaint = 1 << 20;

constexpr int kStatusOk = 200;

// True for text that fits its field and cannot break the request apart
// (no control characters, so no line breaks).
bool IsAcceptableStreamText(std::string_view text);

struct StreamEndpoint {
    std::string host;        // what is resolved: a name or a numeric address
    std::string hostHeader;  // the Host header: the host, never a port
    uint16_t port = kDefaultHttpPort;
    std::string target;      // the request target
    // https: the name the server's certificate must carry, also sent as SNI.
    bool secure = false;
    std::string secureHost;
    // https through a proxy: "host:port" of the CONNECT that opens the tunnel.
    std::string tunnel;
};

// Where the request for an http(s) `url` goes: straight to the URL's host,
// or with a proxy ("host:port", optionally after "http://") to the proxy,
// with the whole URL as the target for http and through a CONNECT tunnel
// for https. Nothing when the URL or proxy has no host or a port outside
// 1..65535.
std::optional<StreamEndpoint> ChooseEndpoint(std::string_view url, std::string_view proxy);

std::string BuildRequest(const StreamEndpoint& endpoint, std::string_view userAgent);
// The request that asks a proxy for a tunnel to the endpoint's server.
std::string BuildTunnelRequest(const StreamEndpoint& endpoint, std::string_view userAgent);

// The status code: the number after the first word of the response.
std::optional<int> ParseStatusCode(std::string_view response);

// The redirects followed: 301, 302, 303, 307 and 308.
bool IsRedirectStatus(int status);

// The value of the header field `name` (without its colon): the first line
// after the status line that starts with the name, in any case, and a
// colon. The value runs from just after the colon (a blank there stays part
// of it) to the end of its line, at most kHeaderValueBytes bytes; nothing
// when the field is absent or empty.
std::optional<std::string> FindHeaderValue(std::string_view headers, std::string_view name);

// The same without the blanks around the value (Location, Content-Type).
std::optional<std::string> FindTrimmedHeaderValue(std::string_view headers, std::string_view name);

// "icy-metaint": the audio bytes between two metadata blocks. 0 when the
// field is absent or 0; nothing when it is not a number in 0..kLargestMetaint.
std::optional<int32_t> ParseMetaint(std::string_view headers);

}  // namespace engine
