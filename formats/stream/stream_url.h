#pragma once

// Stream addresses: their scheme, server and request target, and how a
// redirect's Location or a station list's entry is resolved against the
// address it came from. Pure functions over strings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

constexpr uint16_t kDefaultHttpPort = 80;
constexpr uint16_t kDefaultHttpsPort = 443;

enum class UrlScheme { Http, Https };

// An optional sign and decimal digits at `position` of `text`, as the number
// conversions read them; nothing without digits. Clamps far beyond any value
// a header or port may hold.
std::optional<int64_t> ReadDecimal(std::string_view text, size_t position);

// The scheme that `url` starts with, "http://" or "https://" in any case;
// nothing for any other start.
std::optional<UrlScheme> UrlSchemeOf(std::string_view url);

struct StreamUrl {
    UrlScheme scheme = UrlScheme::Http;
    std::string host;        // what is resolved: a name or a numeric address
    std::string hostHeader;  // the host as the URL writes it (IPv6 in brackets), never a port
    uint16_t port = kDefaultHttpPort;
    std::string target;      // the path and query; "/" when the URL has none
};

// The parts of an "http://" or "https://" URL; a fragment is dropped.
// Nothing when the scheme is another, the host is empty or the port is not
// 1..65535.
std::optional<StreamUrl> ParseStreamUrl(std::string_view url);

// "host", "host:port", "[v6address]" or "[v6address]:port" at the start of
// `text`, up to a '/', '?' or '#'; the port is `defaultPort` when not given.
// `end` is where the server part ends. Nothing as for ParseStreamUrl.
struct ServerPart {
    std::string host;
    std::string hostHeader;
    uint16_t port = kDefaultHttpPort;
    size_t end = 0;
};
std::optional<ServerPart> ParseServerPart(std::string_view text, uint16_t defaultPort);

// Resolves `reference` (a redirect's Location, a list entry) against the
// http(s) URL `base`: an absolute http(s) URL stands as it is (its scheme in
// lower case), "//server/..." takes the base's scheme, "/path" the base's
// server, and anything else is relative to the base's folder ("..", "."
// and a query-only reference resolve as in a browser). Nothing for another
// scheme or an unusable base.
std::optional<std::string> ResolveUrlReference(std::string_view base, std::string_view reference);

}  // namespace engine
