#pragma once

// The keys a desktop program answers while its window has the focus: Space
// plays or pauses, the side arrows seek, the up and down arrows set the
// volume, Ctrl+O adds files, Ctrl+L is for adding an address (the AddUrl
// case of RunDesktopCommand is where its dialog opens), Ctrl+Q quits,
// Ctrl with plus, minus or 0 zooms the window, J (or Ctrl+J) jumps to a file
// of the playlist and Delete removes its selected entries. While the
// playlist has the keyboard (it was clicked last), the arrows, the page
// keys, Home, End and Enter are its own. A key mapped to a hardware
// button's function does that function only; keys in dialogs are the
// dialogs' own, as the keyboard is theirs then.

#include <array>
#include <cstdint>
#include <optional>

#include "platform/ui/ui_types.h"

class Application;

enum class DesktopCommand {
    PlayPause,
    SeekBack,
    SeekForward,
    VolumeUp,
    VolumeDown,
    AddFile,
    AddUrl,
    Quit,
    ZoomIn,
    ZoomOut,
    ZoomDefault,
    JumpToFile,
    RemoveSelected,
};

struct DesktopKey {
    uint32_t virtualKey;
    uint32_t modifiers;  // MOD_CONTROL or none; Shift is not looked at
    DesktopCommand command;
};

// Plus is Shift+'=' on many keyboards; Shift does not matter, so '=' with
// Ctrl zooms in either way.
inline constexpr auto kDesktopKeys = std::to_array<DesktopKey>({
    {platform::ui::VK_SPACE, 0, DesktopCommand::PlayPause},
    {platform::ui::VK_LEFT, 0, DesktopCommand::SeekBack},
    {platform::ui::VK_RIGHT, 0, DesktopCommand::SeekForward},
    {platform::ui::VK_UP, 0, DesktopCommand::VolumeUp},
    {platform::ui::VK_DOWN, 0, DesktopCommand::VolumeDown},
    {'O', platform::ui::MOD_CONTROL, DesktopCommand::AddFile},
    {'L', platform::ui::MOD_CONTROL, DesktopCommand::AddUrl},
    {'Q', platform::ui::MOD_CONTROL, DesktopCommand::Quit},
    {platform::ui::VK_OEM_PLUS, platform::ui::MOD_CONTROL, DesktopCommand::ZoomIn},
    {platform::ui::VK_ADD, platform::ui::MOD_CONTROL, DesktopCommand::ZoomIn},
    {platform::ui::VK_OEM_MINUS, platform::ui::MOD_CONTROL, DesktopCommand::ZoomOut},
    {platform::ui::VK_SUBTRACT, platform::ui::MOD_CONTROL, DesktopCommand::ZoomOut},
    {'0', platform::ui::MOD_CONTROL, DesktopCommand::ZoomDefault},
    {platform::ui::VK_NUMPAD0, platform::ui::MOD_CONTROL, DesktopCommand::ZoomDefault},
    {'J', 0, DesktopCommand::JumpToFile},
    {'J', platform::ui::MOD_CONTROL, DesktopCommand::JumpToFile},
    {platform::ui::VK_DELETE, 0, DesktopCommand::RemoveSelected},
});

// Percentage points the arrow keys move the volume by.
constexpr int kVolumeKeyStep = 5;

// The command of a key pressed with `modifiers` held, if it has one and is
// not mapped to a hardware button's function.
std::optional<DesktopCommand> DesktopCommandFor(uint32_t virtualKey, uint32_t modifiers);

// A key reached the frame window: runs its command, if it has one.
void HandleDesktopKey(Application& application, uint32_t virtualKey, uint32_t modifiers);
void RunDesktopCommand(Application& application, DesktopCommand command);
