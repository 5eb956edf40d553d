#include "tools/cli/json_writer.h"

#include <cstdio>

#include "platform/utf8.h"

std::string JsonQuote(std::string_view text) {
    std::string quoted = "\"";
    size_t index = 0;
    while (index < text.size()) {
        const char character = text[index];
        const size_t length = platform::Utf8SequenceLength(text, index);
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
