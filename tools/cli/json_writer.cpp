#include "tools/cli/json_writer.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence starting at `index`, or 0 if it is not one.
size_t ValidSequenceLength(std::string_view text, size_t index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) { length = 2; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; minimum = 0x10000; }
    else return 0;
    if (index + length > text.size()) return 0;
    char32_t codePoint = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[index + i]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

}  // namespace

std::string JsonQuote(std::string_view text) {
    std::string quoted = "\"";
    size_t index = 0;
    while (index < text.size()) {
        const char character = text[index];
        const size_t length = ValidSequenceLength(text, index);
        if (length == 0) {
            quoted += "\uFFFD";
            ++index;
            continue;
        }
        if (character == '"' || character == '\\') {
            quoted += '\\';
            quoted += character;
        } else if (static_cast<unsigned char>(character) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(character));
            quoted += escape;
        } else {
            quoted.append(text.substr(index, length));
        }
        index += length;
    }
    return quoted + "\"";
}

void JsonObject::AddKey(std::string_view key) {
    if (body_.size() > 1) body_ += ',';
    body_ += JsonQuote(key);
    body_ += ':';
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
    AddKey(key);
    body_ += JsonQuote(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const char* text) {
    if (text == nullptr) return AddNull(key);
    return Add(key, std::string_view(text));
}

JsonObject& JsonObject::Add(std::string_view key, int64_t number) {
    AddKey(key);
    body_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
    AddKey(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::AddNull(std::string_view key) {
    AddKey(key);
    body_ += "null";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const JsonObject& object) {
    AddKey(key);
    body_ += object.Text();
    return *this;
}
