// The playlist window of the whole player on the headless backend with
// 10,000 entries: a full repaint of the list, one row's repaint (what a
// selection or the current entry's change costs), and a scroll through the
// strip. The titles of the rows shown are read once and kept.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/player.h"
#include "platform/app_files.h"
#include "platform/ui/ui_backend_headless.h"
#include "playlist/list_file.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"
#include "ui/skin/skin.h"

namespace {

constexpr int kEntries = 10000;

// The player started in a directory of its own with a long default list.
class PlayerWithLongList {
public:
    PlayerWithLongList() {
        home_ = std::filesystem::temp_directory_path() / ("tunelark-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(home_);
        setenv("TUNELARK_HOME", home_.c_str(), 1);
        std::string list;
        for (int i = 0; i < kEntries; ++i) list += "/music/artist " + std::to_string(i % 97) + "/track " + std::to_string(i) + ".mp3\n";
        platform::WriteFileAtomically(DefaultListPath(), list);
        g_settings.EQWnd = 0;
        application_.Start(backend_);
        application_.Windows().PumpPending();
    }
    ~PlayerWithLongList() {
        application_.Windows().DestroyWindow(application_.Frame());
        PlayerDestroy(application_.Engine());
        std::filesystem::remove_all(home_);
    }
    PlaylistWindow& Window() { return application_.ListWindow(); }
    Playlist& List() { return application_.GetPlaylist(); }

private:
    std::filesystem::path home_;
    platform::ui::HeadlessBackend backend_;
    Application application_;
};

void PlaylistFullRepaint(benchmark::State& state) {
    PlayerWithLongList player;
    for (auto _ : state) player.Window().RepaintList();
}
BENCHMARK(PlaylistFullRepaint)->Unit(benchmark::kMicrosecond);

void PlaylistOneRowRepaint(benchmark::State& state) {
    PlayerWithLongList player;
    int32_t row = 0;
    for (auto _ : state) {
        player.List().SelectedIndex = row;
        player.Window().RepaintRow(row);
        row = (row + 1) % 11;
    }
}
BENCHMARK(PlaylistOneRowRepaint)->Unit(benchmark::kMicrosecond);

void PlaylistScrollToAnyRow(benchmark::State& state) {
    PlayerWithLongList player;
    int32_t first = 0;
    for (auto _ : state) {
        player.Window().SetFirstVisibleRow(first);
        first = (first + 997) % (kEntries - 12);
    }
}
BENCHMARK(PlaylistScrollToAnyRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
