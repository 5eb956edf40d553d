#pragma once

#include <string>
#include <string_view>

namespace platform {

// Text from outside that comes as single bytes (ID3v1 fields, ICY headers and
// titles) is in the Windows-1252 code page; inside the program text is UTF-8.

// Converts Windows-1252 bytes up to the first zero byte (or the end) to UTF-8.
// The five bytes that code page leaves undefined map to the C1 control of the
// same value, as the system conversion does.
std::string Windows1252ToUtf8(std::string_view bytes);

// Today's servers send UTF-8 where older ones sent Windows-1252: the bytes up
// to the first zero byte as they are when they are valid UTF-8, else converted.
std::string Utf8OrWindows1252ToUtf8(std::string_view bytes);

}  // namespace platform
