#pragma once

// The string table resource: texts the player loads by number.

enum PlayerStringId {
    IDS_DELETE_FILES_WARNING = 27,
    IDS_SCREEN_TOGGLE_WARNING = 28,
};

// The caption of the player's own message boxes.
inline constexpr const char* kProgramCaption = "Tunelark";

// Before a station's title while the player waits for its first audio.
inline constexpr const char* kConnectingPrefix = "Connecting: ";

// When playing fails for want of a sound device.
inline constexpr const char* kNoSoundDevice =
    "No sound device could be opened, so nothing plays. Start the desktop's sound server or connect a "
    "sound card and press Play again, or start the player with TUNELARK_AUDIO=null to play silently.";
inline constexpr const char* kSoundDeviceLost =
    "The sound device stopped playing, so playback stopped. Start the desktop's sound server or connect a "
    "sound card and press Play again, or start the player with TUNELARK_AUDIO=null to play silently.";

// The text of string `id`; an empty text for a number the table lacks.
const char* LoadPlayerString(int id);
