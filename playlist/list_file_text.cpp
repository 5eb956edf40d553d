#include "playlist/list_file_text.h"

#include <cstdint>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// UTF-16 without its mark to UTF-8; a lone surrogate becomes U+FFFD and an odd
// last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unitAt = [bytes, bigEndian](size_t unit) {
        const auto first = static_cast<uint8_t>(bytes[unit * 2]);
        const auto second = static_cast<uint8_t>(bytes[unit * 2 + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    };
    const size_t units = bytes.size() / 2;
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unitAt(i + 1))) {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00), text);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(kReplacementCharacter, text);
        } else {
            AppendUtf8(unit, text);
        }
    }
    return text;
}

bool StartsWithByteOrderMark(std::string_view text) {
    return text.starts_with(kUtf8ByteOrderMark) || text.starts_with(kUtf16LittleEndianMark) ||
           text.starts_with(kUtf16BigEndianMark);
}

}  // namespace

std::vector<std::string> ParseListFileText(std::string_view bytes) {
    std::string converted;
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    } else if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark)) {
        converted = Utf16ToUtf8(bytes.substr(kUtf16LittleEndianMark.size()), bytes.starts_with(kUtf16BigEndianMark));
        bytes = converted;
    }
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

bool FitsListFileLine(std::string_view path) {
    // A '\n' would split the entry in two and a final '\r' would be taken for
    // the end of a CRLF line.
    return path.find('\n') == std::string_view::npos && !path.ends_with('\r');
}

std::string FormatListFileText(const std::vector<std::string_view>& paths) {
    std::string text;
    for (std::string_view path : paths) {
        if (!FitsListFileLine(path)) continue;
        // A first path that begins like a byte-order mark would lose those
        // bytes when read back; a real mark in front keeps it whole.
        if (text.empty() && StartsWithByteOrderMark(path)) text += kUtf8ByteOrderMark;
        text += path;
        text += '\n';
    }
    return text;
}
