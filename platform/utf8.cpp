#include "platform/utf8.h"

namespace platform {

void AppendUtf8(std::string& out, char32_t codePoint) {
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) codePoint = 0xFFFD;
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string TruncateCharacters(std::string_view text, size_t characters) {
    size_t index = 0;
    for (size_t counted = 0; index < text.size(); ++counted) {
        if (counted == characters) break;
        ++index;
        // Continuation bytes belong to the character before them.
        while (index < text.size() && (static_cast<unsigned char>(text[index]) & 0xC0) == 0x80) ++index;
    }
    return std::string(text.substr(0, index));
}

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastSurrogate = 0xDFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the well-formed sequence of `length` bytes at `index`.
char32_t DecodeSequence(std::string_view text, size_t index, size_t length) {
    const auto lead = static_cast<unsigned char>(text[index]);
    if (length == 1) return lead;
    static constexpr unsigned char kLeadMasks[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t codePoint = lead & kLeadMasks[length];
    for (size_t offset = 1; offset < length; ++offset) {
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[index + offset]) & 0x3F);
    }
    return codePoint;
}

// The smallest code point that needs a sequence of `length` bytes.
char32_t SmallestForLength(size_t length) {
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return kSmallest[length];
}


}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t index) {
    if (index >= text.size()) return 0;
    const auto lead = static_cast<unsigned char>(text[index]);
    size_t length = 0;
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) length = 2;
    else if ((lead & 0xF0) == 0xE0) length = 3;
    else if ((lead & 0xF8) == 0xF0) length = 4;
    else return 0;
    if (text.size() - index < length) return 0;
    for (size_t offset = 1; offset < length; ++offset) {
        if (!IsContinuation(static_cast<unsigned char>(text[index + offset]))) return 0;
    }
    const char32_t codePoint = DecodeSequence(text, index, length);
    if (codePoint < SmallestForLength(length) || codePoint > kLastCodePoint) return 0;
    if (codePoint >= kFirstSurrogate && codePoint <= kLastSurrogate) return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t index = 0; index < text.size();) {
        const size_t length = Utf8SequenceLength(text, index);
        if (length == 0) return false;
        index += length;
    }
    return true;
}

char32_t NextCodePoint(std::string_view text, size_t& index) {
    const size_t length = Utf8SequenceLength(text, index);
    const char32_t codePoint = length == 0 ? kReplacementCharacter : DecodeSequence(text, index, length);
    index += length == 0 ? 1 : length;
    return codePoint;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string units;
    size_t index = 0;
    while (index < text.size()) {
        const char32_t codePoint = NextCodePoint(text, index);
        if (codePoint < kFirstSupplementary) {
            units += static_cast<char16_t>(codePoint);
        } else {
            const char32_t offset = codePoint - kFirstSupplementary;
            units += static_cast<char16_t>(kFirstSurrogate + (offset >> 10));
            units += static_cast<char16_t>(kFirstLowSurrogate + (offset & 0x3FF));
        }
    }
    return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    std::string text;
    for (size_t index = 0; index < units.size(); ++index) {
        const char32_t unit = units[index];
        const bool high = unit >= kFirstSurrogate && unit < kFirstLowSurrogate;
        const bool low = unit >= kFirstLowSurrogate && unit <= kLastSurrogate;
        if (high && index + 1 < units.size() && units[index + 1] >= kFirstLowSurrogate &&
            units[index + 1] <= kLastSurrogate) {
            const char32_t next = units[++index];
            AppendUtf8(text, kFirstSupplementary + ((unit - kFirstSurrogate) << 10) + (next - kFirstLowSurrogate));
        } else {
            AppendUtf8(text, high || low ? kReplacementCharacter : unit);
        }
    }
    return text;
}

size_t Utf16Length(std::string_view text) {
    size_t units = 0;
    size_t index = 0;
    while (index < text.size()) {
        const size_t length = Utf8SequenceLength(text, index);
        // Only four-byte sequences lie outside the basic plane.
        units += length == 4 ? 2 : 1;
        index += length == 0 ? 1 : length;
    }
    return units;
}

}  // namespace platform
