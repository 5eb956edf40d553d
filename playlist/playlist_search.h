#pragma once

// Jump to file: finds the entries whose text holds every word typed, in any
// order, ignoring case and accents. The texts (an entry's title, artist and
// path) are folded once when the search opens, so each keystroke only scans.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PlaylistSearch {
public:
    // One text per entry, in list order.
    explicit PlaylistSearch(const std::vector<std::string>& texts);

    // The entries matching `query`, in list order; every entry for a query
    // of no words. Typing on from the last query searches only its results.
    const std::vector<int32_t>& Find(std::string_view query);

private:
    bool Matches(int32_t entry, const std::vector<std::string>& words) const;

    std::string folded_;             // every entry's folded text, one after another
    std::vector<size_t> starts_;     // where each begins in folded_, and its end
    std::vector<std::string> lastWords_;
    std::vector<int32_t> results_;
    bool searched_ = false;
};
