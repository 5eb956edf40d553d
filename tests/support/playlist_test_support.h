#pragma once

// Helpers shared by the playlist tests: a view that records what the playlist
// asked of the windows, and short ways to build and read lists.

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "playlist/playlist_view.h"

namespace test {

class RecordingView final : public PlaylistView {
public:
    void ShowTrack(int32_t index) override { calls.push_back("ShowTrack " + std::to_string(index)); }
    void StopFromMainWindow() override { calls.push_back("Stop"); }
    void RepaintRow(int32_t index) override { calls.push_back("RepaintRow " + std::to_string(index)); }
    void EnsureCurrentVisible(bool afterPrev) override {
        calls.push_back(afterPrev ? "EnsureCurrentVisible prev" : "EnsureCurrentVisible");
    }
    void SetFirstVisibleRow(int32_t row) override { calls.push_back("SetFirstVisibleRow " + std::to_string(row)); }
    void BeginWaitCursor() override { calls.push_back("BeginWaitCursor"); }
    void EndWaitCursor() override { calls.push_back("EndWaitCursor"); }

    // The calls whose text starts with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
        std::vector<std::string> matching;
        for (const std::string& call : calls) {
            if (call.rfind(prefix, 0) == 0) matching.push_back(call);
        }
        return matching;
    }

    std::vector<std::string> calls;
};

inline void Fill(Playlist& playlist, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) playlist.Insert(path, -1);
}

inline std::vector<std::string> Paths(const Playlist& playlist) {
    std::vector<std::string> paths;
    for (const PlaylistEntry& entry : playlist.Entries()) paths.push_back(entry.Path);
    return paths;
}

}  // namespace test
