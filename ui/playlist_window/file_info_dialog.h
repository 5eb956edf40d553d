#pragma once

// The "File info" dialog of the playlist window: a file's path and what its
// tags say (title, artist, album, track, year, genre, comment), or a stream's
// address and what its station says of itself; shown and never written.

#include <string>

namespace platform::ui {
class Window;
class WindowManager;
}  // namespace platform::ui

// What the dialog's tag fields show.
struct FileInfoTexts {
    std::string title;
    std::string artist;
    std::string album;
    std::string track;
    std::string year;
    std::string genre;
    std::string comment;
};

// The tag texts of the file at `path`; all empty when the file has no tag
// or is not audio the player plays.
FileInfoTexts ReadFileInfoTexts(const std::string& path);

// Shows the dialog for the file at `path` until OK, Enter or Escape closes
// it (or the player quits). The dialog covers the screen whatever window
// owns it.
void ShowFileInfo(platform::ui::WindowManager& windows, platform::ui::Window& owner, const std::string& path);

// What the station sent in its headers; empty before it was played.
struct StationInfoTexts {
    std::string name;
    std::string genre;
    std::string url;  // the station's own address, not the stream's
};

void ShowStationInfo(platform::ui::WindowManager& windows, const std::string& address, StationInfoTexts texts);
