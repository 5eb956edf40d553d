#pragma once

// Text folded for searching as a person types: small letters, accents and
// other marks dropped (é, É and e are one letter; ß is "ss", æ "ae"), so
// that what is typed finds a title however it was written. Folded text is
// UTF-8 and only ever compared with other folded text.

#include <string>
#include <string_view>

namespace platform {

// Appends the folded form of `text` to `out`; bytes that are not UTF-8
// fold as U+FFFD.
void AppendSearchFold(std::string& out, std::string_view text);

std::string SearchFold(std::string_view text);

}  // namespace platform
