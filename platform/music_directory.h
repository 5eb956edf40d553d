#pragma once

#include <string>

namespace platform {

// The user's music folder as `xdg-user-dir MUSIC` names it: XDG_MUSIC_DIR in
// user-dirs.dirs under $XDG_CONFIG_HOME (else ~/.config), when that folder
// exists; else the home folder; else "/".
std::string MusicDirectory();

}  // namespace platform
