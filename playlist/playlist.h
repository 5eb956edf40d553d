#pragma once

// The ordered list of files the player works through, with the selected and
// current positions the playlist window and the main window share, the
// operations that reorder or prune it, the rules that pick what plays next,
// and the ".lst" playlist files.
//
// Indices count from 0. `SelectedIndex` and `CurrentIndex` are −1 for none;
// operations tolerate any value in them (a loaded list may be shorter than the
// old one) and never index outside the list.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/playlist_modes.h"

struct PlayerEngine;
class PlaylistView;
struct StopMarks;

struct PlaylistEntry {
    // The full path, UTF-8 with '/' separators, of any length, or a stream's
    // "http://" or "https://" address. Two entries may hold the same path.
    std::string Path;
    // The title a station list gave a stream; empty when none. Not kept in
    // ".lst" files, which hold one path per line.
    std::string Title;
    // Part of the selection; it moves with the entry when the list is
    // reordered. Not kept in files.
    bool Selected = false;
};

enum class DeleteFileResult {
    NothingSelected,
    NotAFile,  // a stream's address: there is no file to delete
    Deleted,
    Failed,  // the file stays, and so does the entry; the caller reports it
};

// Removes a file from the disk for the file-deletion command; tests that
// let random input loose on the player replace it.
extern bool (*g_deleteFile)(const std::string& path);

class Playlist {
public:
    // Shared with the windows, which read and set them directly.
    int32_t SelectedIndex = -1;  // the row selected in the playlist window
    int32_t CurrentIndex = 0;    // the entry that is (or was last) loaded into the engine
    bool ShowCurrent = true;     // false once the current entry itself was removed

    // The windows that show the list; null (the default) for none.
    void SetView(PlaylistView* view) { view_ = view; }

    // List primitives (playlist.cpp).
    // −1, any other negative index and an index past the end append.
    void Insert(const std::string& path, int32_t index, const std::string& title = {});
    // False, and nothing removed, for an index outside the list.
    bool RemoveAt(int32_t index);
    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    void Clear() { entries_.clear(); }
    // A negative index leaves `out` untouched; an index past the end yields "NULL".
    void GetPath(int32_t index, std::string& out) const;
    // Exchanges two entries; nothing happens unless both are in the list and differ.
    void Swap(int32_t first, int32_t second);
    const std::vector<PlaylistEntry>& Entries() const { return entries_; }

    // Adding (playlist_add.cpp). `lastDirectory` receives the directory used,
    // for the next dialog (the `LastDir` preference).
    // `selection` is the file dialog's result in its multiple-selection form:
    // a directory, then file names, each ended by '\0', the list ended by an
    // empty name; or a single full path. False when the first piece names
    // nothing that exists.
    bool AddFiles(std::string_view selection, std::string& lastDirectory);
    // Appends the directory's files with a music extension, matched in any
    // case, in natural name order (platform::NaturalLess), so an album's
    // tracks come in order. Returns the number of entries added.
    int32_t AddDirectory(const std::string& directory, std::string& lastDirectory);

    // Reordering (playlist_sort.cpp, playlist_edit.cpp).
    void SortByTitle();
    void SortByFileName();
    void SortByPath();
    void Reverse();
    void Randomize();

    // The selection (playlist_selection.cpp): the entries marked Selected
    // and the one at `SelectedIndex`, the last one tapped, which Shift
    // extends a range from.
    bool IsSelected(int32_t index) const;
    int32_t SelectionCount() const;
    // A plain tap: `index` alone (none for an index outside the list).
    void SelectOnly(int32_t index);
    // Ctrl and a tap: `index` joins or leaves the selection.
    void ToggleSelected(int32_t index);
    // Shift and a tap: the entries from `SelectedIndex` to `index`.
    void SelectRange(int32_t index);
    void SelectAll();
    void SelectNone();
    void InvertSelection();

    // Pruning and moving (playlist_edit.cpp), of every selected entry.
    void RemoveDeadFiles();
    void Crop();
    void RemoveSelected();
    void RemoveAll();
    // Moves the entry at `SelectedIndex` to `target`, and every other
    // selected entry as far, as long as the first and last stay in the list.
    void MoveSelectedTo(int32_t target);
    DeleteFileResult DeleteSelectedFile();

    // ".lst" files (list_file.cpp). Loading clears the list first; a file that
    // cannot be read leaves it empty and returns false, one larger than
    // kLargestListFile leaves it as it was. Saving replaces the file atomically.
    bool LoadListFile(const std::string& path);
    bool SaveListFile(const std::string& path) const;

    // Navigation (playlist_navigation.cpp), on the user-interface thread.
    // Opens entry `index` into the engine, a file or a stream; does not
    // change `CurrentIndex`.
    bool OpenEntry(PlayerEngine* engine, int32_t index);
    // Next and previous track. True when the engine was playing or paused and
    // the loaded file was closed to open another entry, whether or not that
    // open succeeded: a stopped report follows, so the caller keeps its mark.
    bool NextEntry(PlayerEngine* engine, const PlaylistModes& modes);
    bool PrevEntry(PlayerEngine* engine, const PlaylistModes& modes);
    // The engine reported a stop: lower a stop mark if one is raised, else the
    // track ended by itself and the next one plays by the repeat and shuffle rules.
    void AdvanceAtEndOfTrack(PlayerEngine* engine, const PlaylistModes& modes, StopMarks& marks);

private:
    bool Contains(int32_t index) const { return index >= 0 && index < Count(); }
    std::vector<int32_t> SelectedIndices() const;
    void RemoveOne(int32_t index);
    void CropToOne(int32_t index);
    void MoveOne(int32_t source, int32_t target);
    void MoveSelectionBy(int32_t distance);
    // Removes one entry and keeps both indices on the entries they named; the
    // current entry itself leaves `CurrentIndex` on its predecessor, so the
    // order of play goes on with the entry that followed it.
    void RemoveKeepingPositions(int32_t index);
    // Sorts by a key per entry, then finds the current and selected paths again.
    void SortByKeys(std::vector<std::string> keys);
    // Opens and plays `index`; makes it current when both succeed.
    bool PlayEntry(PlayerEngine* engine, int32_t index);
    // Next and Prev while a file is loaded: open and play `target`, or move
    // onto it when it cannot be opened.
    void StepTo(PlayerEngine* engine, int32_t target);
    void StartedPlaying(int32_t index);
    // Sets `CurrentIndex` and has the rows it left and entered redrawn.
    void MoveCurrent(int32_t index);
    int32_t DrawShuffledEntry() const;
    void AfterEmptied();

    std::vector<PlaylistEntry> entries_;
    PlaylistView* view_ = nullptr;
};
