#include "playlist/playlist_search.h"

#include <algorithm>
#include <numeric>

#include "platform/search_fold.h"

namespace {

std::vector<std::string> FoldedWords(std::string_view query) {
    const std::string folded = platform::SearchFold(query);
    std::vector<std::string> words;
    size_t start = 0;
    while (start < folded.size()) {
        const size_t end = std::min(folded.find(' ', start), folded.size());
        if (end > start) words.push_back(folded.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Whether every word of `before` lies within a word of `after`: then
// nothing `before` ruled out can match `after`.
bool Narrows(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    if (after.size() < before.size()) return false;
    for (size_t index = 0; index < before.size(); ++index) {
        if (after[index].find(before[index]) == std::string::npos) return false;
    }
    return true;
}

}  // namespace

PlaylistSearch::PlaylistSearch(const std::vector<std::string>& texts) {
    starts_.reserve(texts.size() + 1);
    for (const std::string& text : texts) {
        starts_.push_back(folded_.size());
        platform::AppendSearchFold(folded_, text);
        // A separator no folded word holds, so no match spans two entries.
        folded_ += '\n';
    }
    starts_.push_back(folded_.size());
}

bool PlaylistSearch::Matches(int32_t entry, const std::vector<std::string>& words) const {
    const size_t start = starts_[static_cast<size_t>(entry)];
    const std::string_view text(folded_.data() + start, starts_[static_cast<size_t>(entry) + 1] - start);
    return std::all_of(words.begin(), words.end(),
                       [text](const std::string& word) { return text.find(word) != std::string_view::npos; });
}

const std::vector<int32_t>& PlaylistSearch::Find(std::string_view query) {
    std::vector<std::string> words = FoldedWords(query);
    std::vector<int32_t> candidates;
    if (searched_ && Narrows(lastWords_, words)) {
        candidates.swap(results_);
    } else {
        candidates.resize(starts_.size() - 1);
        std::iota(candidates.begin(), candidates.end(), 0);
    }
    results_.clear();
    for (const int32_t entry : candidates) {
        if (Matches(entry, words)) results_.push_back(entry);
    }
    lastWords_ = std::move(words);
    searched_ = true;
    return results_;
}
