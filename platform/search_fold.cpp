#include "platform/search_fold.h"

#include "platform/utf8.h"

namespace platform {
namespace {

// Latin-1's letters from U+00C0 on, and Latin Extended-A's, each as the
// plain small letters it is read as; '\0' keeps the character itself.
constexpr std::string_view kLatin1Letters[] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",  // U+00C0
    "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "ss",  // U+00D0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",  // U+00E0
    "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y",   // U+00F0
};
// U+0100 to U+017F: mostly pairs of a capital and its small letter.
constexpr std::string_view kExtendedALetters =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiJJjjkkklllllll"
    "lllnnnnnnnnnooooooOOrrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";

bool IsCombiningMark(char32_t character) {
    return (character >= 0x0300 && character <= 0x036F) || (character >= 0x1AB0 && character <= 0x1AFF) ||
           (character >= 0x1DC0 && character <= 0x1DFF) || (character >= 0x20D0 && character <= 0x20FF) ||
           (character >= 0xFE20 && character <= 0xFE2F);
}

char32_t SmallLetter(char32_t character) {
    if (character >= U'A' && character <= U'Z') return character + (U'a' - U'A');
    if (character >= 0x0391 && character <= 0x03A9 && character != 0x03A2) return character + 0x20;  // Greek
    if (character >= 0x0410 && character <= 0x042F) return character + 0x20;                          // Cyrillic
    if (character >= 0x0400 && character <= 0x040F) return character + 0x50;
    if (character >= 0xFF21 && character <= 0xFF3A) return character - 0xFF21 + U'a';  // full-width capitals
    if (character >= 0xFF41 && character <= 0xFF5A) return character - 0xFF41 + U'a';
    if (character >= 0xFF10 && character <= 0xFF19) return character - 0xFF10 + U'0';
    return character;
}

}  // namespace

void AppendSearchFold(std::string& out, std::string_view text) {
    for (size_t index = 0; index < text.size();) {
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte < 0x80) {
            out += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++index;
            continue;
        }
        const char32_t character = NextCodePoint(text, index);
        if (IsCombiningMark(character)) continue;
        if (character >= 0x00C0 && character <= 0x00FF && !kLatin1Letters[character - 0x00C0].empty()) {
            out += kLatin1Letters[character - 0x00C0];
        } else if (character >= 0x0100 && character < 0x0100 + kExtendedALetters.size()) {
            const char letter = kExtendedALetters[character - 0x0100];
            // Capitals in the table stand for letters read as two.
            out += letter == 'J' ? "ij" : letter == 'O' ? "oe" : std::string(1, letter);
        } else {
            AppendUtf8(out, SmallLetter(character));
        }
    }
}

std::string SearchFold(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    AppendSearchFold(folded, text);
    return folded;
}

}  // namespace platform
