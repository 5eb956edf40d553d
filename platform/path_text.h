#pragma once

// Small helpers on UTF-8 paths with '/' separators, and the ASCII case
// folding their names are compared with.

#include <string>
#include <string_view>

namespace platform {

// The part after the last '/', the whole path when it has none.
std::string_view FileNamePart(std::string_view path);

// The path cut at its last '/' ("/" for a file in the root); empty when the
// path has no '/'.
std::string DirectoryPart(std::string_view path);

// The path without the '/'s that end it; "/" stays "/".
std::string WithoutTrailingSeparator(std::string path);

// "directory/name", without doubling a '/' that ends the directory.
std::string JoinPath(std::string_view directory, std::string_view name);

// ASCII letters folded to lower case; other bytes (and so every non-ASCII
// character) compare as they are. Paths, skin files, stream headers and the
// registry's key and value names all compare this way.
char FoldCharacter(char character);
std::string FoldCase(std::string_view text);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);
bool EqualsIgnoringCase(std::string_view left, std::string_view right);
// The order people sort names in: case folded as above, and runs of digits
// compared by their value ("Track 2" before "Track 10"). Names that tie so
// (leading zeros, case) fall back to their bytes, so the order is total.
bool NaturalLess(std::string_view left, std::string_view right);

inline constexpr std::string_view kHttpPrefix = "http://";
inline constexpr std::string_view kHttpsPrefix = "https://";

// kHttpPrefix or kHttpsPrefix when `location` starts with it in any case;
// empty for any other start.
std::string_view NetworkSchemePrefix(std::string_view location);

// True for an "http://" or "https://" address (scheme in any case) with
// something after the scheme: a location the player streams rather than a
// path it reads.
bool IsNetworkLocation(std::string_view location);
// The location with the scheme before its ':' in lower case, as the stream
// reader takes it ("HTTP://Host/" -> "http://Host/").
std::string WithLowerCaseScheme(std::string_view location);

}  // namespace platform
