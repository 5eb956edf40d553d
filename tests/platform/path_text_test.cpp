// The order of names: case folded, digit runs by value, and total.

#include "platform/path_text.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(NaturalLess, SortsNamesAsPeopleDo) {
    const std::vector<std::vector<std::string>> sorted = {
        {"Track 1", "track 2", "Track 10", "Track 16", "Track 21"},
        {"a", "B", "c"},
        {"01 intro", "1 intro", "2 song", "010 end"},
        {"disc1/track9", "disc1/track10", "disc2/track1"},
        {"x", "x1", "x1a", "x2"},
        {"9", "10", "99999999999999999999", "100000000000000000000"},
        {"Abc", "aBc"},
        {"", "0"},
    };
    for (const auto& names : sorted) {
        for (size_t i = 0; i < names.size(); ++i) {
            for (size_t j = 0; j < names.size(); ++j) {
                EXPECT_EQ(platform::NaturalLess(names[i], names[j]), i < j) << names[i] << " / " << names[j];
            }
        }
    }
}

}  // namespace
