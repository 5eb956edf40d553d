// The message a later start sends the running player.

#include "ui/shell/instance_message.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceMessage, RequestsComeBackAsTheyWent) {
    const OpenRequest requests[] = {
        {{}, false},
        {{"/music/a.mp3"}, true},
        {{"/music/with\nnewline and 12 digits.mp3", "https://radio.example/live", "/"}, false},
        {{std::string(kMaximumOpenItemBytes - 1, 'x').insert(0, "/")}, true},
    };
    for (const OpenRequest& request : requests) {
        size_t leftOut = 99;
        const std::string message = EncodeOpenRequest(request, &leftOut);
        EXPECT_EQ(leftOut, 0u);
        EXPECT_EQ(DecodeOpenRequest(message), request) << message.substr(0, 80);
    }
    EXPECT_EQ(EncodeOpenRequest({{"/a"}, true}), "tunelark-open 1\nenqueue\n1\n2\n/a\n");
}

TEST(InstanceMessage, WhatCannotGoIsLeftOutAndCounted) {
    OpenRequest request;
    request.items = {"relative.mp3", "/ok.mp3", std::string("/nul\0.mp3", 9), "/" + std::string(kMaximumOpenItemBytes, 'x')};
    // Twenty items of 60 KiB fill the megabyte after sixteen or so.
    for (int i = 0; i < 20; ++i) request.items.push_back("/" + std::string(60 * 1024, 'a' + i));
    size_t leftOut = 0;
    const std::string message = EncodeOpenRequest(request, &leftOut);
    const std::optional<OpenRequest> decoded = DecodeOpenRequest(message);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_LE(message.size(), kMaximumOpenMessageBytes);
    EXPECT_EQ(decoded->items.front(), "/ok.mp3");
    EXPECT_EQ(decoded->items.size() + leftOut, request.items.size());
    EXPECT_GE(leftOut, 4u);
    EXPECT_EQ(decoded->items.back()[1], 'a' + static_cast<char>(decoded->items.size() - 2)) << "in order, none skipped";
}

TEST(InstanceMessage, AnythingElseIsRefused) {
    const std::string good = "tunelark-open 1\nreplace\n1\n2\n/a\n";
    ASSERT_TRUE(DecodeOpenRequest(good).has_value());
    const std::string refused[] = {
        "",
        "raise\n",
        "tunelark-open 2\nreplace\n1\n2\n/a\n",           // another version
        "tunelark-open 1\nreplace \n1\n2\n/a\n",          // the mode line
        "tunelark-open 1\nappend\n0\n",
        "tunelark-open 1\nreplace\n01\n2\n/a\n",          // a leading zero
        "tunelark-open 1\nreplace\n+1\n2\n/a\n",
        "tunelark-open 1\nreplace\n2\n2\n/a\n",           // fewer items than counted
        "tunelark-open 1\nreplace\n1\n3\n/a\n",           // an item cut short
        "tunelark-open 1\nreplace\n1\n1\n/a\n",           // no newline after the item
        "tunelark-open 1\nreplace\n1\n2\n/a\nmore",       // something after the end
        "tunelark-open 1\nreplace\n1\n0\n\n",             // an empty item
        "tunelark-open 1\nreplace\n1\n1\na\n",            // a relative path
        "tunelark-open 1\nreplace\n1\n3\n" + std::string("/\0a\n", 4),
        "tunelark-open 1\nreplace\n1\n99999999\n/a\n",    // a count beyond reason
        "tunelark-open 1\nreplace\n18446744073709551617\n",
        "tunelark-open 1\nreplace\n1\n65537\n/" + std::string(65536, 'x') + "\n",
        "tunelark-open 1\nreplace\n1\n" + std::to_string(kMaximumOpenMessageBytes) + "\n/" +
            std::string(kMaximumOpenMessageBytes - 1, 'x') + "\n",
    };
    for (const std::string& message : refused) EXPECT_FALSE(DecodeOpenRequest(message).has_value()) << message.substr(0, 60);
}

}  // namespace
