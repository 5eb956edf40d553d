#include "formats/stream/stream_request.h"

#include <algorithm>
#include <iterator>

#include "platform/path_text.h"
#include "platform/utf8.h"

namespace engine {
namespace {

constexpr char kDeleteCharacter = 0x7F;
constexpr int kRedirectStatuses[] = {301, 302, 303, 307, 308};

bool IsBlank(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\n' || character == '\v' ||
           character == '\f';
}

bool IsLineEnd(char character) { return character == '\r' || character == '\n' || character == '\0'; }

std::string_view WithoutHttpPrefix(std::string_view text) {
    return text.starts_with(platform::kHttpPrefix) ? text.substr(platform::kHttpPrefix.size()) : text;
}

// Where the value of the field `name` starts: just after the colon of the
// first header line (the status line is none) that starts with the name.
std::optional<size_t> FindHeaderField(std::string_view headers, std::string_view name) {
    size_t line = headers.find('\n');
    while (line != std::string_view::npos) {
        const size_t start = line + 1;
        const std::string_view rest = headers.substr(start);
        if (rest.size() > name.size() && rest[name.size()] == ':' &&
            platform::EqualsIgnoringCase(rest.substr(0, name.size()), name)) {
            return start + name.size() + 1;
        }
        line = headers.find('\n', start);
    }
    return std::nullopt;
}

}  // namespace

bool IsAcceptableStreamText(std::string_view text) {
    for (const char character : text) {
        if (static_cast<unsigned char>(character) < 0x20 || character == kDeleteCharacter) return false;
    }
    return platform::Utf16Length(text) <= kStreamTextCharacters;
}

std::optional<StreamEndpoint> ChooseEndpoint(std::string_view url, std::string_view proxy) {
    const auto parsed = ParseStreamUrl(url);
    if (!parsed) return std::nullopt;
    StreamEndpoint endpoint;
    endpoint.host = parsed->host;
    endpoint.hostHeader = parsed->hostHeader;
    endpoint.port = parsed->port;
    endpoint.target = parsed->target;
    endpoint.secure = parsed->scheme == UrlScheme::Https;
    if (endpoint.secure) endpoint.secureHost = parsed->host;
    if (proxy.empty()) return endpoint;

    const auto server = ParseServerPart(WithoutHttpPrefix(proxy), kDefaultHttpPort);
    if (!server) return std::nullopt;
    endpoint.host = server->host;
    endpoint.port = server->port;
    if (endpoint.secure) {
        // The proxy only opens the tunnel; the request inside it goes to the server.
        endpoint.tunnel = parsed->hostHeader + ":" + std::to_string(parsed->port);
    } else {
        endpoint.hostHeader = server->hostHeader;
        endpoint.target = std::string(url);
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

std::string BuildTunnelRequest(const StreamEndpoint& endpoint, std::string_view userAgent) {
    std::string request = "CONNECT ";
    request.append(endpoint.tunnel)
        .append(" HTTP/1.0\r\nHost: ")
        .append(endpoint.tunnel)
        .append("\r\nUser-Agent: ")
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
    const auto status = ReadDecimal(response, position);
    if (!status || *status < INT32_MIN || *status > INT32_MAX) return std::nullopt;
    return static_cast<int>(*status);
}

bool IsRedirectStatus(int status) {
    return std::find(std::begin(kRedirectStatuses), std::end(kRedirectStatuses), status) !=
           std::end(kRedirectStatuses);
}

std::optional<std::string> FindHeaderValue(std::string_view headers, std::string_view name) {
    const auto start = FindHeaderField(headers, name);
    if (!start) return std::nullopt;
    size_t end = *start;
    while (end < headers.size() && end - *start < kHeaderValueBytes && !IsLineEnd(headers[end])) ++end;
    if (end == *start) return std::nullopt;
    return std::string(headers.substr(*start, end - *start));
}

std::optional<std::string> FindTrimmedHeaderValue(std::string_view headers, std::string_view name) {
    const auto value = FindHeaderValue(headers, name);
    if (!value) return std::nullopt;
    const size_t first = value->find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    return value->substr(first, value->find_last_not_of(" \t") - first + 1);
}

std::optional<int32_t> ParseMetaint(std::string_view headers) {
    const auto value = FindHeaderValue(headers, "icy-metaint");
    if (!value) return 0;
    size_t position = 0;
    while (position < value->size() && IsBlank((*value)[position])) ++position;
    const auto metaint = ReadDecimal(*value, position);
    if (!metaint || *metaint < 0 || *metaint > kLargestMetaint) return std::nullopt;
    // Whatever follows the number must be blank: "8192x" is no interval.
    for (position = value->find_first_not_of("+-0123456789", position); position < value->size(); ++position) {
        if (!IsBlank((*value)[position])) return std::nullopt;
    }
    return static_cast<int32_t>(*metaint);
}

}  // namespace engine
