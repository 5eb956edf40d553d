#pragma once

// The lowest skinned window: the playlist's numbered rows above a bar of
// five button groups (Add, Remove, Sel, Misc, List), the scroll strip, and
// the popup menus of the groups. A tap selects a row, a double tap plays it,
// a drag moves the selected entry or scrolls. It loads the default playlist
// when it is created and saves it when it is destroyed. User-interface
// thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "playlist/length_text.h"
#include "ui/playlist_window/playlist_layout.h"
#include "ui/skin/skinned_window.h"

class Application;
class LengthReader;
class Playlist;
struct PlaylistEntry;

inline constexpr const char* kPlaylistWindowClass = "Tunelark_PL";
// Posted by the length reader when lengths wait to be taken.
inline constexpr uint32_t WM_PLAYLIST_LENGTHS = platform::WM_USER + 30001;

class PlaylistWindow final : public SkinnedWindow {
public:
    explicit PlaylistWindow(Application& application);
    ~PlaylistWindow() override;

    // Redraws one entry's row if it is shown.
    void RepaintRow(int32_t index);
    // Redraws every row and the bar with its open groups.
    void RepaintList();
    // Scrolls so the current entry shows after moving to it (forward, or
    // backward with `afterPrev`).
    void EnsureCurrentVisible(bool afterPrev);
    void SetFirstVisibleRow(int32_t row);

    int32_t FirstVisibleRow() const { return firstRow_; }
    int ScrollPercent() const { return scrollPercent_; }
    bool GroupOpen(PlaylistGroup group) const { return open_[static_cast<size_t>(group)]; }
    PlaylistGeometry Geometry() const;

    // The Add group's "Add URL": asks for a stream's or station list's
    // address and appends what it names.
    void AddUrl();

    // A key while the playlist has the keyboard (it was clicked last): the
    // arrows, the page keys, Home and End move the selection, Enter plays
    // it. False for any other key.
    bool HandleKey(uint32_t virtualKey);
    // Jump to file: searches the list and plays the entry chosen.
    void JumpToFile();
    // Removes every selected entry (the Delete key).
    void RemoveSelectedEntries();

    // What entry `index`'s row shows as its length: empty for a stream and
    // while the length is not known (playlist_window_lengths.cpp).
    std::string LengthTextOf(int32_t index) const;
    // The bottom bar's "selected/list" total time.
    std::string TotalTimeText();

private:
    // The default list on the disk was there but not read: it stays as it is.
    bool keepDefaultList_ = false;
    void OnCreate() override;
    void OnDestroy() override;
    void PaintAll() override;
    void PaintFrame(platform::ui::HDC target);
    void PaintBar(platform::ui::HDC target);
    void RedrawBar();
    void DrawRow(platform::ui::HDC target, const PlaylistGeometry& geometry, int visibleRow);
    void DrawGroupButton(GroupButton button, bool pressed);
    const std::string& TitleOf(const PlaylistEntry& entry);
    // The title already read, else the file's name: no file is read.
    std::string KnownTitleOf(const PlaylistEntry& entry) const;
    void RepaintRows();
    // Selects entry `index` alone and scrolls the list to show it.
    void SelectAndShow(int32_t index);
    // Plays entry `index` and makes it current, as a double tap does.
    void PlayIndex(int32_t index);

    // Lengths, read in the background (playlist_window_lengths.cpp).
    bool OnOtherMessage(uint32_t message, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam) override;
    // Asks the reader for the lengths not known yet, the shown rows' first.
    void AskLengths();
    void DrawTotalTime(platform::ui::HDC target, const PlaylistGeometry& geometry);
    // Entry `index`'s length; negative when not known.
    int64_t LengthOf(int32_t index) const;

    // Stylus (playlist_window_taps.cpp).
    void OnStylusDown(int x, int y, bool doubleTap) override;
    void OnStylusMove(int x, int y) override;
    void OnStylusUp(int x, int y) override;
    // The wheel scrolls the list three rows a notch.
    void OnWheel(int x, int y, int notches) override;
    void TapRow(int visibleRow, bool doubleTap);
    std::optional<GroupButton> ActiveButtonAt(int x, int y) const;
    void Scroll(int y);
    void MoveSelectedEntry(int visibleRow);

    // The groups and their commands (playlist_window_groups.cpp).
    void RunButton(GroupButton button, int x);
    void RunLowestButton(PlaylistGroup group, int x);
    void OpenGroup(PlaylistGroup group);
    void CloseGroup(PlaylistGroup group);
    bool CloseAllGroups();
    void ShowSubmenu(const char* name, int x);
    void OnMenuCommand(uint32_t command) override;
    void AddFiles();
    void AddDirectory();
    void LoadList();
    void SaveList();
    void DeleteSelectedFile();
    void ShowSelectedEntryInfo();
    void ShowNotSupported();
    // After the list changed as a whole: the rows shown from the top again.
    void ListReplaced();

    bool ScreenIgnoresTaps() const;
    Playlist& List();

    Application& application_;
    int scrollPercent_ = 0;
    int32_t firstRow_ = 0;
    std::array<bool, 5> open_{};  // by PlaylistGroup
    // What the stylus went down on.
    enum class PressKind { None, Button, Row, Strip };
    PressKind press_ = PressKind::None;
    GroupButton pressedButton_{PlaylistGroup::Add, 0};
    // A tap on an entry of a larger selection keeps it, so that a drag moves
    // it all; lifted without a drag, the entry is selected alone.
    bool selectOnLift_ = false;
    // Titles read from the files' tags, kept so that a repaint reads no file.
    std::unordered_map<std::string, std::string> titles_;
    // Lengths by path as the reader gave them, kLengthUnreadable included.
    std::unordered_map<std::string, int64_t> lengths_;
    std::unique_ptr<LengthReader> lengthReader_;
    // What the last request was made for: a request is made again only when
    // the list or its shown rows changed while lengths were missing.
    int32_t askedCount_ = -1;
    int32_t askedFirstRow_ = -1;
    bool lengthsMissing_ = true;
    // The whole list's total and the count it was summed for, kept until
    // lengths arrive or the list changes, so a selection's repaint sums only
    // the selected entries.
    std::optional<std::pair<int32_t, LengthTotal>> listTotal_;
};
