#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds one JSON object on one line, keys in the order they are added.
// Text is written as UTF-8; bytes that are not valid UTF-8 (a path may hold
// any bytes) become U+FFFD so the output always parses.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, const char* text);  // nullptr gives null
    JsonObject& Add(std::string_view key, int64_t number);
    JsonObject& Add(std::string_view key, bool value);
    JsonObject& AddNull(std::string_view key);
    JsonObject& Add(std::string_view key, const JsonObject& object);

    std::string Text() const { return body_ + "}"; }

private:
    void AddKey(std::string_view key);
    std::string body_ = "{";
};

// `text` as a quoted JSON string.
std::string JsonQuote(std::string_view text);
