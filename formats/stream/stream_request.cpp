#include "formats/stream/stream_request.h"

#include <algorithm>

#include "platform/utf8.h"

namespace {

constexpr std::string_view kHttpPrefix = "http://";
constexpr uint32_t kHighestPort = 65535;
constexpr char kDeleteCharacter = 0x7F;

bool IsBlank(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\n' || character == '\v' ||
           character == '\f';
}

bool IsDigit(char character) { return character >= '0' && character <= '9'; }

// Reads an optional sign and decimal digits at `position`, as the number
// conversions do; nothing without digits. Clamps far beyond any valid value.
std::optional<int64_t> ReadNumber(std::string_view text, size_t position) {
    bool negative = false;
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
        negative = text[position] == '-';
        ++position;
    }
    if (position >= text.size() || !IsDigit(text[position])) return std::nullopt;
    int64_t value = 0;
    constexpr int64_t kClamp = int64_t{1} << 40;
    for (; position < text.size() && IsDigit(text[position]); ++position) {
        value = std::min(value * 10 + (text[position] - '0'), kClamp);
    }
    return negative ? -value : value;
}

struct HostAndPort {
    std::string host;
    std::string hostHeader;
    uint16_t port = kDefaultHttpPort;
    size_t end = 0;  // where the host part ends
};

// "host", "host:port", "[v6address]" or "[v6address]:port" at the start of
// `text`; the host ends at ':' or '/'.
std::optional<HostAndPort> ParseHostAndPort(std::string_view text) {
    HostAndPort result;
    size_t position = 0;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        result.host = std::string(text.substr(1, close - 1));
        result.hostHeader = std::string(text.substr(0, close + 1));
        position = close + 1;
    } else {
        position = text.find_first_of(":/");
        if (position == std::string_view::npos) position = text.size();
        if (position == 0) return std::nullopt;
        result.host = std::string(text.substr(0, position));
        result.hostHeader = result.host;
    }
    if (position < text.size() && text[position] == ':') {
        if (const auto port = ReadNumber(text, position + 1)) {
            if (*port < 1 || *port > kHighestPort) return std::nullopt;
            result.port = static_cast<uint16_t>(*port);
        }
    }
    result.end = position;
    return result;
}

std::string_view WithoutHttpPrefix(std::string_view text) {
    return text.starts_with(kHttpPrefix) ? text.substr(kHttpPrefix.size()) : text;
}

}  // namespace

bool IsAcceptableStreamText(std::string_view text) {
    for (const char character : text) {
        if (static_cast<unsigned char>(character) < 0x20 || character == kDeleteCharacter) return false;
    }
    return platform::Utf16Length(text) <= kStreamTextCharacters;
}

std::optional<StreamEndpoint> ChooseEndpoint(std::string_view url, std::string_view proxy) {
    const std::string_view server = WithoutHttpPrefix(proxy.empty() ? url : proxy);
    const auto hostAndPort = ParseHostAndPort(server);
    if (!hostAndPort) return std::nullopt;
    StreamEndpoint endpoint;
    endpoint.host = hostAndPort->host;
    endpoint.hostHeader = hostAndPort->hostHeader;
    endpoint.port = hostAndPort->port;
    if (!proxy.empty()) {
        endpoint.target = std::string(url);
    } else {
        const size_t slash = server.find('/', hostAndPort->end);
        endpoint.target = slash == std::string_view::npos ? "/" : std::string(server.substr(slash));
    }
    return endpoint;
}

std::string BuildRequest(const StreamEndpoint& endpoint, std::string_view userAgent) {
    std::string request = "GET ";
    request.append(endpoint.target)
        .append(" HTTP/1.0\r\nHost: ")
        .append(endpoint.hostHeader)
        .append("\r\nAccept: */*\r\nIcy-MetaData:1\r\nUser-Agent: ")
        .append(userAgent)
        .append("\r\n\r\n");
    return request;
}

std::optional<int> ParseStatusCode(std::string_view response) {
    size_t position = 0;
    while (position < response.size() && IsBlank(response[position])) ++position;
    const size_t wordStart = position;
    while (position < response.size() && !IsBlank(response[position]) && response[position] != '\0') ++position;
    if (position == wordStart) return std::nullopt;
    while (position < response.size() && IsBlank(response[position])) ++position;
    const auto status = ReadNumber(response, position);
    if (!status || *status < INT32_MIN || *status > INT32_MAX) return std::nullopt;
    return static_cast<int>(*status);
}

std::optional<std::string> FindHeaderValue(std::string_view headers, std::string_view key) {
    const size_t found = headers.find(key);
    if (found == std::string_view::npos) return std::nullopt;
    const size_t start = found + key.size();
    size_t end = start;
    while (end < headers.size() && end - start < kHeaderValueBytes && headers[end] != '\r' && headers[end] != '\n' &&
           headers[end] != '\0') {
        ++end;
    }
    if (end == start) return std::nullopt;
    return std::string(headers.substr(start, end - start));
}

int32_t ParseMetaint(std::string_view headers) {
    constexpr std::string_view kKey = "icy-metaint:";
    const size_t found = headers.find(kKey);
    if (found == std::string_view::npos) return 0;
    size_t position = found + kKey.size();
    while (position < headers.size() && IsBlank(headers[position])) ++position;
    const auto metaint = ReadNumber(headers, position);
    if (!metaint || *metaint <= 0 || *metaint > INT32_MAX) return 0;
    return static_cast<int32_t>(*metaint);
}
