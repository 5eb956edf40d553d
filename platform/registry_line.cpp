#include "platform/registry_line.h"

#include <cstdio>

#include "platform/path_text.h"
#include "platform/utf8.h"

namespace platform {
namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::string_view kDwordPrefix = "dword:";
constexpr size_t kDwordDigits = 8;
constexpr size_t kByteEscapeDigits = 2;
constexpr unsigned char kDelete = 0x7F;

int HexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// Reads `count` hexadecimal digits at `index`.
bool ParseHex(std::string_view text, size_t index, size_t count, DWORD& result) {
    if (text.size() - index < count) return false;
    result = 0;
    for (size_t offset = 0; offset < count; ++offset) {
        const int digit = HexDigitValue(text[index + offset]);
        if (digit < 0) return false;
        result = (result << 4) | static_cast<DWORD>(digit);
    }
    return true;
}

void AppendByteEscape(std::string& out, unsigned char byte) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    out += escape;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    size_t index = 0;
    while (index < text.size()) {
        const auto byte = static_cast<unsigned char>(text[index]);
        const size_t length = Utf8SequenceLength(text, index);
        if (byte == '\\' || byte == '"') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == kDelete || length == 0) {
            AppendByteEscape(out, byte);
        } else {
            out.append(text.substr(index, length));
            index += length;
            continue;
        }
        ++index;
    }
    return out + '"';
}

// Reads the quoted text that starts at `index`; on success `index` is just
// past the closing quote. An escape it does not know makes the line invalid.
bool Unquote(std::string_view line, size_t& index, std::string& text) {
    if (index >= line.size() || line[index] != '"') return false;
    text.clear();
    for (++index; index < line.size(); ++index) {
        const char character = line[index];
        if (character == '"') {
            ++index;
            return true;
        }
        if (character != '\\') {
            text += character;
            continue;
        }
        if (++index >= line.size()) return false;
        switch (line[index]) {
            case '\\': text += '\\'; break;
            case '"': text += '"'; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'x': {
                DWORD byte = 0;
                if (!ParseHex(line, index + 1, kByteEscapeDigits, byte)) return false;
                text += static_cast<char>(byte);
                index += kByteEscapeDigits;
                break;
            }
            default: return false;
        }
    }
    return false;  // the closing quote is missing: a line cut short
}

}  // namespace

bool ParseSectionLine(std::string_view line, bool& isKey, std::string& keyPath) {
    isKey = false;
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
    const std::string_view inside = line.substr(1, line.size() - 2);
    if (inside.size() > kRootName.size() && EqualsIgnoringCase(inside.substr(0, kRootName.size()), kRootName) &&
        inside[kRootName.size()] == '\\') {
        const std::string_view path = inside.substr(kRootName.size() + 1);
        if (IsValidKeyPath(path)) {
            isKey = true;
            keyPath = path;
        }
    }
    return true;
}

std::string FormatSectionLine(std::string_view keyPath) {
    return "[" + std::string(kRootName) + "\\" + std::string(keyPath) + "]";
}

bool ParseValueLine(std::string_view line, std::string& name, RegistryValue& value) {
    size_t index = 0;
    if (!Unquote(line, index, name)) return false;
    if (index >= line.size() || line[index] != '=') return false;
    const std::string_view data = line.substr(index + 1);
    if (data.starts_with(kDwordPrefix)) {
        value = RegistryValue{REG_DWORD, 0, {}};
        return data.size() == kDwordPrefix.size() + kDwordDigits &&
               ParseHex(data, kDwordPrefix.size(), kDwordDigits, value.number);
    }
    size_t textEnd = 0;
    value = RegistryValue{REG_SZ, 0, {}};
    return Unquote(data, textEnd, value.text) && textEnd == data.size();
}

std::string FormatValueLine(std::string_view name, const RegistryValue& value) {
    std::string line = Quote(name) + "=";
    if (value.type == REG_DWORD) {
        char digits[kDwordDigits + 1];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.number));
        return line + std::string(kDwordPrefix) + digits;
    }
    return line + Quote(value.text);
}

}  // namespace platform
