#pragma once

// The common file dialogs, as GetOpenFileName and GetSaveFileName shape them,
// on UTF-8 paths with '/' separators: a full-screen chooser below the
// navigation bar, one folder at a time, made for a stylus on 240 x 320 and
// usable with a mouse and the keyboard on the desktop.
//
// Keys: Up and Down (Page Up, Page Down, Home, End) move a highlight through
// the list, Space ticks the highlighted file, Enter enters a highlighted
// folder or confirms the chosen files, Backspace goes up, Escape cancels.
// While the save dialog's name field has the keyboard, Space, Backspace,
// Home, End and the side arrows edit the name.

#include <cstdint>
#include <string>
#include <vector>

namespace platform::ui {

class Window;
class WindowManager;

// Flags keep their Windows values. OFN_HIDEREADONLY and OFN_EXPLORER change
// nothing here: there is no read-only box, and the chooser has one look.
constexpr uint32_t OFN_OVERWRITEPROMPT = 0x00000002;
constexpr uint32_t OFN_HIDEREADONLY = 0x00000004;
constexpr uint32_t OFN_ALLOWMULTISELECT = 0x00000200;
constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;
constexpr uint32_t OFN_EXPLORER = 0x00080000;

// One entry of the dialog's file-type drop-down, e.g.
// {"All Media(*.mp3,*.ogg)", "*.mp3;*.ogg"}.
struct FileFilter {
    std::string description;
    std::string patterns;  // ';'-separated, matched without regard to case; "*.*" or "*" matches all
};

struct OpenFileName {
    Window* owner = nullptr;           // kept for the call's shape: the dialog covers the screen whatever owns it
    std::string title;                 // shown in the navigation bar, e.g. "Add File"; none: "Open" or "Save As"
    std::vector<FileFilter> filters;   // none: every file shows
    int filterIndex = 1;               // 1-based, as on Windows; set to the filter in use on OK
    std::string initialDirectory;      // missing or unreadable: its nearest readable parent, else home
    std::string defaultExtension;      // save dialog: appended (with '.') when the typed name has none, e.g. "lst"
    uint32_t flags = 0;
    // The result, untouched on Cancel. One file: its full path. With
    // OFN_ALLOWMULTISELECT and several files ticked: the directory, then each
    // file name, every piece ended by '\0' and the list ended by an empty
    // piece ("/music\0a.mp3\0b.ogg\0\0").
    std::string file;
};

// True on OK with a choice, false on Cancel, Escape or the player quitting.
// With OFN_FILEMUSTEXIST a chosen file that has gone meanwhile is reported
// and the folder read again.
bool GetOpenFileName(WindowManager& windows, OpenFileName& request);
// The typed name is taken in the folder shown unless it starts with '/'; a
// folder's name enters that folder. With OFN_PATHMUSTEXIST a missing folder
// is reported, and with OFN_OVERWRITEPROMPT replacing a file needs an OK.
bool GetSaveFileName(WindowManager& windows, OpenFileName& request);

}  // namespace platform::ui
