// A 10,000-entry playlist: loading and saving its ".lst" file, reversing,
// shuffling and sorting it. Prints the time of one whole operation on the list.
// Sorting by title reads 10,000 small tagged files (ID3v2.3, ID3v2.4, ID3v1
// and Vorbis comments) the first time, and takes them from the tag cache the
// next time.

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "playlist/playlist.h"
#include "playlist/tag_cache.h"
#include "tools/bench/fixtures_directory.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kArtists = 200;
constexpr int kAlbumsPerArtist = 5;

// Paths shaped like a music library's, in a shuffled order.
Playlist MakeLibrary() {
    Playlist playlist;
    char path[256];
    for (int i = 0; i < kEntries; ++i) {
        const int artist = (i * 7919) % kArtists;
        std::snprintf(path, sizeof path, "/home/listener/Music/Artist %03d/Album %d/%02d - Track Title Number %d.mp3",
                      artist, i % kAlbumsPerArtist, i % 17, i);
        playlist.Insert(path, -1);
    }
    std::srand(1);
    playlist.Randomize();
    playlist.CurrentIndex = kEntries / 3;
    playlist.SelectedIndex = kEntries / 2;
    return playlist;
}

// A scratch directory removed at exit.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tunelark-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

const ScratchDirectory& Scratch() {
    static ScratchDirectory directory;
    return directory;
}

// Runs `operation` on a fresh copy of the library each time; the copy is not timed.
template <typename Operation>
void OnFreshCopy(benchmark::State& state, Operation operation) {
    const Playlist library = MakeLibrary();
    for (auto _ : state) {
        state.PauseTiming();
        Playlist playlist = library;
        state.ResumeTiming();
        operation(playlist);
        benchmark::DoNotOptimize(playlist.CurrentIndex);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_LoadListFile(benchmark::State& state) {
    const std::string file = Scratch().File("load.lst");
    if (!MakeLibrary().SaveListFile(file)) state.SkipWithError("cannot write the list file");
    Playlist playlist;
    for (auto _ : state) {
        if (!playlist.LoadListFile(file)) state.SkipWithError("cannot read the list file");
        benchmark::DoNotOptimize(playlist.Count());
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

// Includes flushing the file to the disk before it replaces the old one.
void BM_SaveListFile(benchmark::State& state) {
    const std::string file = Scratch().File("save.lst");
    const Playlist playlist = MakeLibrary();
    for (auto _ : state) {
        if (!playlist.SaveListFile(file)) state.SkipWithError("cannot write the list file");
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_Reverse(benchmark::State& state) { OnFreshCopy(state, [](Playlist& playlist) { playlist.Reverse(); }); }
void BM_Randomize(benchmark::State& state) { OnFreshCopy(state, [](Playlist& playlist) { playlist.Randomize(); }); }
void BM_SortByFileName(benchmark::State& state) {
    OnFreshCopy(state, [](Playlist& playlist) { playlist.SortByFileName(); });
}
void BM_SortByPath(benchmark::State& state) { OnFreshCopy(state, [](Playlist& playlist) { playlist.SortByPath(); }); }

// Copies of the small tagged fixtures, each long title made unique by its number.
Playlist MakeTaggedLibrary() {
    static const char* const kSources[] = {"id3v2_only.mp3", "id3v24_utf8.mp3", "lower_case.ogg", "id3v1.mp3"};
    const std::string mark(11, 'x');
    std::vector<std::string> contents;
    for (const char* source : kSources) {
        std::ifstream in(std::string(FixturesDirectory()) + "/" + source, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::create_directories(Scratch().File("tagged"));
    Playlist playlist;
    for (int i = 0; i < kEntries; ++i) {
        std::string bytes = contents[static_cast<size_t>(i) % std::size(kSources)];
        const size_t title = bytes.find(mark);
        if (title != std::string::npos) {
            char number[12];
            std::snprintf(number, sizeof number, "%011d", (i * 7919) % kEntries);
            bytes.replace(title, mark.size(), number);
        }
        const std::string path = Scratch().File("tagged/" + std::to_string(i) + "_" +
                                                kSources[static_cast<size_t>(i) % std::size(kSources)]);
        std::ofstream(path, std::ios::binary) << bytes;
        playlist.Insert(path, -1);
    }
    return playlist;
}

// Sorts a fresh copy of the tagged library by title; `cached` keeps the tag
// cache of an earlier sort, otherwise every file is read.
void SortByTitleOfTaggedFiles(benchmark::State& state, bool cached) {
    static const Playlist library = MakeTaggedLibrary();
    setenv("TUNELARK_HOME", Scratch().File("home").c_str(), 1);
    std::filesystem::remove(DefaultTagCachePath());
    if (cached) Playlist(library).SortByTitle();
    for (auto _ : state) {
        state.PauseTiming();
        Playlist playlist = library;
        if (!cached) std::filesystem::remove(DefaultTagCachePath());
        state.ResumeTiming();
        playlist.SortByTitle();
        benchmark::DoNotOptimize(playlist.CurrentIndex);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

BENCHMARK(BM_LoadListFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveListFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Randomize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByFileName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByPath)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortByTitleOfTaggedFiles, first_time, false)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortByTitleOfTaggedFiles, next_time, true)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
