#include "platform/text_codepage.h"

#include "platform/utf8.h"

#include <array>

namespace platform {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        if (byte == '\0') break;
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(byte)));
    }
    return out;
}

std::string Utf8OrWindows1252ToUtf8(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

}  // namespace platform
