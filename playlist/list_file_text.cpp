#include "playlist/list_file_text.h"

#include <cstdint>

#include "platform/byte_order.h"
#include "platform/utf8.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// UTF-16 without its mark to UTF-8; a lone surrogate becomes U+FFFD and an odd
// last byte is dropped.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t unit = 0; unit < units.size(); ++unit) {
        units[unit] = bigEndian ? platform::ReadBig16(data + 2 * unit) : platform::ReadLittle16(data + 2 * unit);
    }
    return platform::Utf16ToUtf8(units);
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
        converted = DecodeUtf16(bytes.substr(kUtf16LittleEndianMark.size()), bytes.starts_with(kUtf16BigEndianMark));
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
