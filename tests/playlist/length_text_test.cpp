// How lengths and the bottom bar's totals read.

#include "playlist/length_text.h"

#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(LengthText, MinutesThenHours) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0:00"},           {999, "0:00"},         {5'000, "0:05"},          {205'000, "3:25"},
        {3'599'999, "59:59"},  {3'600'000, "1:00:00"}, {3'723'000, "1:02:03"},  {36'000'000 * 10, "100:00:00"},
    };
    for (const auto& [milliseconds, text] : cases) EXPECT_EQ(LengthText(milliseconds), text) << milliseconds;
}

TEST(LengthText, TotalsMarkWhatIsUnknown) {
    struct Case {
        std::vector<int64_t> selected, list;
        const char* text;
    };
    const Case cases[] = {
        {{}, {}, "0:00/0:00"},
        {{205'000}, {205'000, 3'518'000}, "3:25/1:02:03"},
        {{}, {60'000, -1}, "0:00/1:00+"},
        {{-1}, {-1, -2}, "0:00+/0:00+"},
    };
    for (const Case& c : cases) {
        LengthTotal selected, list;
        for (int64_t length : c.selected) selected.Add(length);
        for (int64_t length : c.list) list.Add(length);
        EXPECT_EQ(TotalsText(selected, list), c.text);
    }
}

}  // namespace
