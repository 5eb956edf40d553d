// Jump to file on a 100,000-entry list: folding every entry's text when the
// search opens, and answering a keystroke. A keystroke that starts a new
// word list scans every entry (the worst case); typing on scans only the
// last results. Prints the time of each.

#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "playlist/playlist_search.h"

namespace {

constexpr int kEntries = 100000;

// Each entry's "Artist - Title" and path, as a tagged music library's.
const std::vector<std::string>& LibraryTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> made;
        made.reserve(kEntries);
        char text[320];
        for (int i = 0; i < kEntries; ++i) {
            const int artist = (i * 7919) % 2000;
            std::snprintf(text, sizeof text,
                          "Künstler %04d - Lied Nummer %d\n/home/listener/Music/Künstler %04d/Album %d/%02d - Lied "
                          "Nummer %d.flac",
                          artist, i, artist, i % 9, i % 17, i);
            made.emplace_back(text);
        }
        return made;
    }();
    return texts;
}

void BM_OpenSearch(benchmark::State& state) {
    for (auto _ : state) {
        PlaylistSearch search(LibraryTexts());
        benchmark::DoNotOptimize(&search);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

// Two queries neither of which narrows the other: each keystroke scans all.
void BM_KeystrokeScanningEveryEntry(benchmark::State& state) {
    PlaylistSearch search(LibraryTexts());
    bool odd = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.Find((odd = !odd) ? "kunstler 0042 lied" : "album 7 nummer 99"));
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

// "kunstler 0042" typed a key at a time after the search opens (which
// lists every entry), over and over: the mean time of a keystroke.
void BM_KeystrokeTypingOn(benchmark::State& state) {
    PlaylistSearch search(LibraryTexts());
    const std::string typed = "kunstler 0042";
    size_t length = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.Find(typed.substr(0, length)));
        length = length == typed.size() ? 0 : length + 1;
    }
}

BENCHMARK(BM_OpenSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeScanningEveryEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeTypingOn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
