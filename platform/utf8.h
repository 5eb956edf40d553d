#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Appends a code point as UTF-8; surrogates and values beyond Unicode become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// The first `characters` characters of UTF-8 text (all of it when shorter).
std::string TruncateCharacters(std::string_view text, size_t characters);

// Text in the program is UTF-8, while limits that files and stores inherit
// from the handheld count UTF-16 units. These helpers translate between the
// two without trusting the input: a byte that does not start a well-formed
// UTF-8 sequence stands for one U+FFFD, and so does a lone surrogate in UTF-16.

// Length of the well-formed UTF-8 sequence that starts at `index`, or 0 when
// the byte there does not start one (overlong forms, surrogates and values
// above U+10FFFF are not well-formed).
size_t Utf8SequenceLength(std::string_view text, size_t index);

// Whether every byte of `text` belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// The code point at `index` (which must lie inside `text`), moving `index`
// past it; a byte that starts no well-formed sequence is one U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t& index);

// The UTF-16 code units of `text`.
std::u16string Utf8ToUtf16(std::string_view text);

// The UTF-8 form of UTF-16 `units`.
std::string Utf16ToUtf8(std::u16string_view units);

// How many UTF-16 code units `text` takes, without building them.
size_t Utf16Length(std::string_view text);

}  // namespace platform
