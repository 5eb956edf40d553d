// The music folder the Add File dialog starts in, as xdg-user-dir finds it.

#include "platform/music_directory.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/scoped_environment.h"
#include "tests/support/temporary_directory.h"

namespace {

TEST(MusicDirectory, UserDirsEntryElseHome) {
    test::TemporaryDirectory root;
    const std::string home = root.Path() + "/home";
    std::filesystem::create_directories(home + "/.config");
    std::filesystem::create_directories(home + "/Musik");
    std::filesystem::create_directories(root.Path() + "/shared music");
    std::filesystem::create_directories(root.Path() + "/config");
    const struct {
        std::string entry;  // the user-dirs.dirs lines; empty: no file
        bool ownConfigHome;
        std::string expected;
    } cases[] = {
        {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n", false,
         home + "/Musik"},
        {"XDG_MUSIC_DIR=\"$HOME/Musik\"", true, home + "/Musik"},
        {"XDG_MUSIC_DIR=\"" + root.Path() + "/shared music\"\n", false, root.Path() + "/shared music"},
        {"XDG_MUSIC_DIR=\"$HOME/Gone\"\n", false, home},
        {"XDG_MUSIC_DIR=\"relative/music\"\n", false, home},
        {"XDG_MUSIC_DIR=\"$HOME/Musik\n", false, home},
        {"XDG_VIDEOS_DIR=\"$HOME/Musik\"\n", false, home},
        {"", false, home},
    };
    const test::ScopedEnvironment homeVariable("HOME", home.c_str());
    for (const auto& [entry, ownConfigHome, expected] : cases) {
        const std::string config = ownConfigHome ? root.Path() + "/config" : home + "/.config";
        const test::ScopedEnvironment configVariable("XDG_CONFIG_HOME", ownConfigHome ? config.c_str() : nullptr);
        std::filesystem::remove(config + "/user-dirs.dirs");
        if (!entry.empty()) std::ofstream(config + "/user-dirs.dirs") << entry;
        EXPECT_EQ(platform::MusicDirectory(), expected) << entry;
    }
    const test::ScopedEnvironment noHome("HOME", nullptr);
    EXPECT_EQ(platform::MusicDirectory(), "/");
}

}  // namespace
