#include "platform/text_codepage.h"

#include <gtest/gtest.h>

namespace {

struct CodePageCase {
    std::string bytes;
    std::string utf8;
};

TEST(TextCodePage, Windows1252ToUtf8) {
    const CodePageCase cases[] = {
        {"Song", "Song"},
        {"Caf\xE9", "Caf\xC3\xA9"},                 // e acute, Latin-1 range
        {"\x80 5", "\xE2\x82\xAC 5"},               // euro sign
        {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
        {"\x81", "\xC2\x81"},                       // undefined byte keeps its value
        {"\xFF", "\xC3\xBF"},
        {std::string("ab\0cd", 5), "ab"},           // ends at the first zero byte
        {"", ""},
    };
    for (const auto& [bytes, utf8] : cases) {
        EXPECT_EQ(platform::Windows1252ToUtf8(bytes), utf8) << "input " << bytes;
    }
}

}  // namespace
