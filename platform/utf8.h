#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Appends a code point as UTF-8; surrogates and values beyond Unicode become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// The first `characters` characters of UTF-8 text (all of it when shorter).
std::string TruncateCharacters(std::string_view text, size_t characters);

}  // namespace platform
