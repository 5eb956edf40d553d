// The "Add URL" dialog's reading of what was pasted or typed.

#include "ui/playlist_window/add_url_dialog.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace {

TEST(AddUrlDialog, CleansWhatWasPastedOrTyped) {
    const std::pair<std::string, std::string> cases[] = {
        {"  http://radio.example/live\n", "http://radio.example/live"},
        {"\thttps://radio.example/a.pls\r\n", "https://radio.example/a.pls"},
        {"http://radio.exa\nmple/x", "http://radio.example/x"},
        {" \r\n ", ""},
    };
    for (const auto& [typed, address] : cases) EXPECT_EQ(CleanAddressText(typed), address);
}

}  // namespace
