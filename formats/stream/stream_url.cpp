#include "formats/stream/stream_url.h"

#include <algorithm>
#include <vector>

#include "platform/path_text.h"

namespace engine {
namespace {

constexpr int64_t kHighestPort = 65535;

bool IsDigit(char character) { return character >= '0' && character <= '9'; }

bool IsSchemeCharacter(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') || IsDigit(character) ||
           character == '+' || character == '-' || character == '.';
}

// True when `reference` starts with a scheme of its own ("ftp:", "mms:"):
// letters and digits up to a ':' that comes before any '/', '?' or '#'.
bool HasScheme(std::string_view reference) {
    const size_t colon = reference.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    return std::all_of(reference.begin(), reference.begin() + static_cast<long>(colon), IsSchemeCharacter);
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string_view SchemePrefix(UrlScheme scheme) {
    return scheme == UrlScheme::Https ? platform::kHttpsPrefix : platform::kHttpPrefix;
}
uint16_t DefaultPort(UrlScheme scheme) { return scheme == UrlScheme::Https ? kDefaultHttpsPort : kDefaultHttpPort; }

// The path with its "." and ".." segments worked out, as a browser does; the
// query after it is left alone.
std::string WithoutDotSegments(std::string_view target) {
    const size_t queryStart = std::min(target.find('?'), target.size());
    const std::string_view path = target.substr(0, queryStart);
    std::vector<std::string_view> kept;
    bool endsInFolder = false;
    size_t start = path.starts_with('/') ? 1 : 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view segment = path.substr(start, slash - start);
        endsInFolder = segment == "." || segment == "..";
        if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (segment != ".") {
            kept.push_back(segment);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string_view segment : kept) result.append("/").append(segment);
    if (result.empty() || endsInFolder) result += '/';
    result.append(target.substr(queryStart));
    return result;
}

std::string Authority(const StreamUrl& url) {
    std::string authority = url.hostHeader;
    if (url.port != DefaultPort(url.scheme)) authority += ":" + std::to_string(url.port);
    return authority;
}

}  // namespace

std::optional<int64_t> ReadDecimal(std::string_view text, size_t position) {
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

std::optional<UrlScheme> UrlSchemeOf(std::string_view url) {
    const std::string_view prefix = platform::NetworkSchemePrefix(url);
    if (prefix.empty()) return std::nullopt;
    return prefix == platform::kHttpsPrefix ? UrlScheme::Https : UrlScheme::Http;
}

std::optional<ServerPart> ParseServerPart(std::string_view text, uint16_t defaultPort) {
    ServerPart result;
    result.port = defaultPort;
    size_t position = 0;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        result.host = std::string(text.substr(1, close - 1));
        result.hostHeader = std::string(text.substr(0, close + 1));
        position = close + 1;
    } else {
        position = std::min(text.find_first_of(":/?#"), text.size());
        if (position == 0) return std::nullopt;
        result.host = std::string(text.substr(0, position));
        result.hostHeader = result.host;
    }
    if (position < text.size() && text[position] == ':') {
        if (const auto port = ReadDecimal(text, position + 1)) {
            if (*port < 1 || *port > kHighestPort) return std::nullopt;
            result.port = static_cast<uint16_t>(*port);
        }
    }
    result.end = position;
    return result;
}

std::optional<StreamUrl> ParseStreamUrl(std::string_view url) {
    const auto scheme = UrlSchemeOf(url);
    if (!scheme) return std::nullopt;
    const std::string_view rest = url.substr(SchemePrefix(*scheme).size());
    const auto server = ParseServerPart(rest, DefaultPort(*scheme));
    if (!server) return std::nullopt;
    StreamUrl parsed;
    parsed.scheme = *scheme;
    parsed.host = server->host;
    parsed.hostHeader = server->hostHeader;
    parsed.port = server->port;
    // The target starts at the first '/' or '?' after the server part.
    const std::string_view afterServer = rest.substr(std::min(rest.find_first_of("/?#", server->end), rest.size()));
    const std::string_view target = afterServer.substr(0, afterServer.find('#'));
    parsed.target = target.starts_with('/') ? std::string(target) : "/" + std::string(target);
    return parsed;
}

std::optional<std::string> ResolveUrlReference(std::string_view base, std::string_view reference) {
    const auto baseUrl = ParseStreamUrl(base);
    if (!baseUrl) return std::nullopt;
    reference = TrimBlanks(reference);
    reference = reference.substr(0, reference.find('#'));

    std::string resolved;
    if (const auto scheme = UrlSchemeOf(reference)) {
        resolved = std::string(SchemePrefix(*scheme)) + std::string(reference.substr(SchemePrefix(*scheme).size()));
    } else if (HasScheme(reference)) {
        return std::nullopt;
    } else if (reference.starts_with("//")) {
        resolved = std::string(SchemePrefix(baseUrl->scheme)) + std::string(reference.substr(2));
    } else {
        const std::string_view baseTarget = baseUrl->target;
        const std::string_view basePath = baseTarget.substr(0, baseTarget.find('?'));
        std::string target;
        if (reference.starts_with('/')) {
            target = std::string(reference);
        } else if (reference.empty()) {
            target = std::string(baseTarget);
        } else if (reference.starts_with('?')) {
            target = std::string(basePath) + std::string(reference);
        } else {
            target = std::string(basePath.substr(0, basePath.rfind('/') + 1)) + std::string(reference);
        }
        resolved = std::string(SchemePrefix(baseUrl->scheme)) + Authority(*baseUrl) + WithoutDotSegments(target);
    }
    if (!ParseStreamUrl(resolved)) return std::nullopt;
    return resolved;
}

}  // namespace engine
