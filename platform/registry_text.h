#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Text in the program is UTF-8, while registry text values are measured as
// the UTF-16 strings they would be on the handheld. These helpers translate
// between the two without trusting the input: a byte that does not start a
// well-formed UTF-8 sequence stands for one U+FFFD, and so does a lone
// surrogate in UTF-16.

// Length of the well-formed UTF-8 sequence that starts at `index`, or 0 when
// the byte there does not start one (overlong forms, surrogates and values
// above U+10FFFF are not well-formed).
size_t Utf8SequenceLength(std::string_view text, size_t index);

// The UTF-16 code units of `text`.
std::u16string Utf8ToUtf16(std::string_view text);

// The UTF-8 form of UTF-16 `units`.
std::string Utf16ToUtf8(std::u16string_view units);

// How many UTF-16 code units `text` takes, without building them.
size_t Utf16Length(std::string_view text);

}  // namespace platform
