#pragma once

// The text side of the HTTP/ICY conversation: where to connect for a URL and
// proxy, the request, and the fields read from the response headers. Pure
// functions over strings; the sockets are elsewhere.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// URLs, proxies and user agents hold at most this many characters (UTF-16
// units, as the stored fields are 260 units with their terminator).
constexpr size_t kStreamTextCharacters = 259;
// Header values are read up to this many bytes.
constexpr size_t kHeaderValueBytes = 256;
constexpr uint16_t kDefaultHttpPort = 80;

constexpr int kStatusOk = 200;
constexpr int kStatusFound = 302;

// True for text that fits its field and cannot break the request apart
// (no control characters, so no line breaks).
bool IsAcceptableStreamText(std::string_view text);

struct StreamEndpoint {
    std::string host;        // what is resolved: a name or a numeric address
    std::string hostHeader;  // the Host header: the host, never a port
    uint16_t port = kDefaultHttpPort;
    std::string target;      // the request target
};

// Where the request for `url` goes: straight to the URL's host, or with a
// proxy ("host:port", optionally after "http://") to the proxy with the whole
// URL as target. Nothing when the host is empty or the port is not 1..65535.
std::optional<StreamEndpoint> ChooseEndpoint(std::string_view url, std::string_view proxy);

std::string BuildRequest(const StreamEndpoint& endpoint, std::string_view userAgent);

// The status code: the number after the first word of the response.
std::optional<int> ParseStatusCode(std::string_view response);

// The value after `key` (for example "icy-name:") up to the end of its line,
// at most kHeaderValueBytes bytes; nothing when absent or empty.
std::optional<std::string> FindHeaderValue(std::string_view headers, std::string_view key);

// "icy-metaint": the audio bytes between two metadata blocks; 0 when absent
// or not a positive number.
int32_t ParseMetaint(std::string_view headers);
