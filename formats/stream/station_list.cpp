// Station lists (.pls, .m3u, .m3u8): their formats and their text.

#include "formats/stream/station_list.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>

#include "formats/stream/stream_url.h"
#include "platform/path_text.h"
#include "platform/text_codepage.h"
#include "platform/utf8.h"
#include "platform/utf8.h"

namespace engine {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kPlsSection = "[playlist]";
constexpr std::string_view kPlsFileKey = "file";
constexpr std::string_view kPlsTitleKey = "title";
constexpr std::string_view kExtinfTag = "#extinf:";
// Every HLS tag starts so; none belongs to a plain list of stations.
constexpr std::string_view kHlsTagPrefix = "#ext-x-";
constexpr std::string_view kFileScheme = "file://";

constexpr const char* kNoEntries = "The station list has no entries that can be played.";
constexpr const char* kNotText = "This is not a station list.";
constexpr const char* kNotPls = "This is not a .pls station list: its [playlist] line is missing.";
constexpr const char* kHlsList =
    "This is an HLS playlist (a stream cut into segments); such playlists are not supported.";

struct NamedFormat {
    std::string_view name;
    StationListFormat format;
};
constexpr NamedFormat kExtensions[] = {
    {"pls", StationListFormat::Pls}, {"m3u", StationListFormat::M3u}, {"m3u8", StationListFormat::M3u}};
constexpr NamedFormat kContentTypes[] = {
    {"audio/x-scpls", StationListFormat::Pls},
    {"audio/x-mpegurl", StationListFormat::M3u},
    {"audio/mpegurl", StationListFormat::M3u},
    {"application/vnd.apple.mpegurl", StationListFormat::M3u},
    {"application/x-mpegurl", StationListFormat::M3u},
};

std::optional<StationListFormat> FormatNamed(std::string_view name, std::span<const NamedFormat> table) {
    for (const NamedFormat& entry : table) {
        if (platform::EqualsIgnoringCase(name, entry.name)) return entry.format;
    }
    return std::nullopt;
}

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && platform::EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Lists written by older programs are Windows-1252; anything that is not
// UTF-8 is read as that.
std::string ListText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    return platform::IsValidUtf8(bytes) ? std::string(bytes) : platform::Windows1252ToUtf8(bytes);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(Trim(text.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

bool HasControlCharacters(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char character) {
        const auto byte = static_cast<unsigned char>(character);
        return (byte < 0x20 && character != '\t') || byte == 0x7F;
    });
}

bool HasHexDigit(char character) { return std::isxdigit(static_cast<unsigned char>(character)) != 0; }

// "%20" and the like decoded; a '%' without two hex digits stays as it is.
std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '%' && index + 2 < text.size() && HasHexDigit(text[index + 1]) &&
            HasHexDigit(text[index + 2])) {
            decoded += static_cast<char>(std::stoi(std::string(text.substr(index + 1, 2)), nullptr, 16));
            index += 2;
        } else {
            decoded += text[index];
        }
    }
    return decoded;
}

// "C:\Music\..." names a drive of another system.
bool IsDrivePath(std::string_view entry) {
    return entry.size() >= 3 && std::isalpha(static_cast<unsigned char>(entry[0])) != 0 && entry[1] == ':' &&
           (entry[2] == '\\' || entry[2] == '/');
}

// An entry of a list that lies in the folder `base`.
std::optional<std::string> LocalLocation(std::string_view entry, std::string_view base) {
    std::string path;
    if (StartsWithIgnoringCase(entry, kFileScheme)) {
        std::string_view rest = entry.substr(kFileScheme.size());
        if (StartsWithIgnoringCase(rest, "localhost/")) rest.remove_prefix(std::string_view("localhost").size());
        if (!rest.starts_with('/')) return std::nullopt;
        path = PercentDecoded(rest);
    } else if (entry.find("://") != std::string_view::npos || IsDrivePath(entry)) {
        return std::nullopt;
    } else {
        path = std::string(entry);
        std::replace(path.begin(), path.end(), '\\', '/');
    }
    std::filesystem::path resolved(path);
    if (resolved.is_relative()) {
        std::error_code ignored;
        const std::filesystem::path folder = base.empty() ? std::filesystem::current_path(ignored)
                                                          : std::filesystem::path(std::string(base));
        resolved = folder / resolved;
    }
    return resolved.lexically_normal().string();
}

// Where an entry leads: a stream's URL (its scheme in lower case) or an
// absolute path. Nothing for another scheme or an unusable entry.
std::optional<std::string> ResolveLocation(std::string_view entry, std::string_view base) {
    if (entry.empty() || HasControlCharacters(entry)) return std::nullopt;
    if (UrlSchemeOf(entry)) return ResolveUrlReference(entry, entry);
    if (UrlSchemeOf(base)) return ResolveUrlReference(base, entry);
    return LocalLocation(entry, base);
}

// The number after `key` in "FileN" / "TitleN"; nothing for other keys.
std::optional<long> NumberedKey(std::string_view key, std::string_view name) {
    if (!StartsWithIgnoringCase(key, name) || key.size() == name.size() || key.size() > name.size() + 9) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(name.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    return std::stol(std::string(digits));
}

StationListResult ParsePls(const std::vector<std::string_view>& lines, std::string_view base) {
    auto line = std::find_if(lines.begin(), lines.end(), [](std::string_view text) {
        return !text.empty() && !text.starts_with(';') && !text.starts_with('#');
    });
    if (line == lines.end() || !platform::EqualsIgnoringCase(*line, kPlsSection)) return {{}, kNotPls};
    // By number, as the list means them; the first of a repeated number counts.
    std::map<long, std::string_view> files;
    std::map<long, std::string_view> titles;
    for (++line; line != lines.end(); ++line) {
        const size_t equals = line->find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = Trim(line->substr(0, equals));
        const std::string_view value = Trim(line->substr(equals + 1));
        if (const auto file = NumberedKey(key, kPlsFileKey)) files.emplace(*file, value);
        if (const auto title = NumberedKey(key, kPlsTitleKey)) titles.emplace(*title, value);
    }
    StationListResult result;
    for (const auto& [number, file] : files) {
        const auto location = ResolveLocation(file, base);
        if (!location) continue;
        const auto title = titles.find(number);
        result.entries.push_back({*location, title == titles.end() ? std::string() : std::string(title->second)});
    }
    if (result.entries.empty()) result.error = kNoEntries;
    return result;
}

StationListResult ParseM3u(const std::vector<std::string_view>& lines, std::string_view base) {
    StationListResult result;
    std::string title;  // from the #EXTINF line before an entry
    bool first = true;
    for (const std::string_view line : lines) {
        if (line.empty()) continue;
        // A web page served in place of the list.
        if (first && line.starts_with('<')) return {{}, kNotText};
        first = false;
        if (StartsWithIgnoringCase(line, kHlsTagPrefix)) return {{}, kHlsList};
        if (StartsWithIgnoringCase(line, kExtinfTag)) {
            const size_t comma = line.find(',');
            title = comma == std::string_view::npos ? std::string() : std::string(Trim(line.substr(comma + 1)));
            continue;
        }
        if (line.starts_with('#')) continue;
        if (const auto location = ResolveLocation(line, base)) result.entries.push_back({*location, title});
        title.clear();
    }
    if (result.entries.empty()) result.error = kNoEntries;
    return result;
}

}  // namespace

std::optional<StationListFormat> StationListFormatForName(std::string_view pathOrUrl) {
    if (UrlSchemeOf(pathOrUrl)) pathOrUrl = pathOrUrl.substr(0, pathOrUrl.find_first_of("?#"));
    const std::string_view name = platform::FileNamePart(pathOrUrl);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    return FormatNamed(name.substr(dot + 1), kExtensions);
}

std::optional<StationListFormat> StationListFormatForContentType(std::string_view contentType) {
    return FormatNamed(Trim(contentType.substr(0, contentType.find(';'))), kContentTypes);
}

StationListResult ParseStationList(std::string_view text, StationListFormat format, std::string_view base) {
    if (text.find('\0') != std::string_view::npos) return {{}, kNotText};
    const std::string listText = ListText(text);
    const std::vector<std::string_view> lines = Lines(listText);
    return format == StationListFormat::Pls ? ParsePls(lines, base) : ParseM3u(lines, base);
}

}  // namespace engine
