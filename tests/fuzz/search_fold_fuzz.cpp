// Titles and paths folded for jump to file, whatever bytes they hold: the
// folded text is UTF-8 without capitals, folding it again changes nothing,
// and a search finds exactly the texts that hold every folded word.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/search_fold.h"
#include "platform/utf8.h"
#include "playlist/playlist_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string folded = platform::SearchFold(input);
    if (!platform::IsValidUtf8(folded) || platform::SearchFold(folded) != folded) std::abort();
    for (const char byte : folded) {
        if (byte >= 'A' && byte <= 'Z') std::abort();
    }

    // The first line is the query, each other line an entry's text.
    const size_t firstLineEnd = std::min(input.find('\n'), input.size());
    std::vector<std::string> texts;
    for (size_t start = firstLineEnd + 1; start < input.size();) {
        const size_t end = std::min(input.find('\n', start), input.size());
        texts.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    PlaylistSearch search(texts);
    const std::string query(input.substr(0, firstLineEnd));
    for (const std::string& typed : {query.substr(0, query.size() / 2), query}) {
        const std::vector<int32_t> found = search.Find(typed);
        std::vector<bool> expected(texts.size(), true);
        for (size_t start = 0; start <= typed.size();) {
            const size_t end = std::min(typed.find(' ', start), typed.size());
            const std::string word = platform::SearchFold(typed.substr(start, end - start));
            for (size_t entry = 0; entry < texts.size(); ++entry) {
                if (platform::SearchFold(texts[entry]).find(word) == std::string::npos) expected[entry] = false;
            }
            start = end + 1;
        }
        size_t next = 0;
        for (size_t entry = 0; entry < texts.size(); ++entry) {
            const bool listed = next < found.size() && found[next] == static_cast<int32_t>(entry);
            if (listed != expected[entry]) std::abort();
            if (listed) ++next;
        }
    }
    return 0;
}
