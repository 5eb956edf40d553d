// The Add File dialog's filters, made from the one list of music file types,
// and where the dialog starts.

#include "ui/dialogs/add_file_dialog.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/ui/file_listing.h"
#include "playlist/media_types.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temporary_directory.h"

namespace {

TEST(AddFileDialog, AllMediaMatchesEveryTypeAndEachFilterItsOwn) {
    const std::vector<platform::ui::FileFilter> filters = AddFileFilters();
    ASSERT_EQ(filters.size(), 8u);
    EXPECT_TRUE(filters[0].description.starts_with("All Media"));
    const struct { const char* name; size_t filter; } cases[] = {
        {"a.mp3", 1}, {"a.MP2", 2}, {"a.mp1", 3}, {"a.ogg", 4}, {"a.opus", 5}, {"a.Flac", 6}, {"a.wav", 7},
    };
    for (const auto& [name, own] : cases) {
        EXPECT_TRUE(platform::ui::MatchesFilePatterns(name, filters[0].patterns)) << name << " in All Media";
        for (size_t filter = 1; filter < filters.size(); ++filter) {
            EXPECT_EQ(platform::ui::MatchesFilePatterns(name, filters[filter].patterns), filter == own)
                << name << " in " << filters[filter].description;
        }
    }
    for (const std::string_view extension : MusicExtensions()) {
        EXPECT_TRUE(platform::ui::MatchesFilePatterns("x" + std::string(extension), filters[0].patterns)) << extension;
    }
    EXPECT_FALSE(platform::ui::MatchesFilePatterns("a.txt", filters[0].patterns));
}

// A first start has the settings' default "/" as the last directory.
TEST(AddFileDialog, StartsInTheMusicFolderUntilADirectoryWasChosen) {
    test::TemporaryDirectory home;
    const test::ScopedEnvironment homeVariable("HOME", home.Path().c_str());
    const test::ScopedEnvironment configVariable("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(AddingStartDirectory("/"), home.Path());
    EXPECT_EQ(AddingStartDirectory(""), home.Path());
    EXPECT_EQ(AddingStartDirectory("/music/albums"), "/music/albums");
}

}  // namespace
