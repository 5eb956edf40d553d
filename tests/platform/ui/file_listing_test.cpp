// What the file dialogs read from the file system, over a temporary folder.

#include "platform/ui/file_listing.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

using namespace platform::ui;

TEST(FileListingTest, PatternsMatchWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* patterns;
        bool matches;
    };
    const Case cases[] = {
        {"a.mp3", "*.mp3;*.ogg", true},   {"B.OGG", "*.mp3;*.ogg", true},     {"c.wav", "*.mp3;*.ogg", false},
        {"x.mp3.txt", "*.mp3", false},    {"a.mp3x", "*.mp3", false},         {"README", "*.*", true},
        {"README", "*", true},            {"track07.mp3", "track??.mp3", true}, {"track7.mp3", "track??.mp3", false},
        {"a.ogg", " *.mp3 ; *.ogg ", true}, {"abab.mp3", "*ab*.mp3", true},   {"a.mp3", "", false},
    };
    for (const auto& [name, patterns, matches] : cases) {
        EXPECT_EQ(MatchesFilePatterns(name, patterns), matches) << name << " against " << patterns;
    }
}

TEST(FileListingTest, FoldersFirstThenMatchingFilesEachSortedIgnoringCase) {
    test::TemporaryFile tree({}, "b.mp3");
    const std::string directory = tree.Directory();
    for (const char* name : {"Zed", "alpha", ".cache"}) std::filesystem::create_directory(directory + "/" + name);
    for (const char* name : {"A.MP3", "c.ogg", "notes.txt", ".hidden.mp3"}) std::ofstream(directory + "/" + name);
    ASSERT_EQ(mkfifo((directory + "/pipe.mp3").c_str(), 0600), 0);  // opening it would block the player

    std::vector<std::string> listed;
    for (const DirectoryEntry& entry : ListDirectory(directory, "*.mp3;*.ogg")) {
        listed.push_back(entry.name + (entry.isDirectory ? "/" : ""));
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"alpha/", "Zed/", "A.MP3", "b.mp3", "c.ogg"}));
    EXPECT_TRUE(ListDirectory(directory + "/missing", "*.*").empty());
}

TEST(FileListingTest, PathsMoveUpAndFallBackToWhatExists) {
    test::TemporaryFile tree({}, "a.mp3");
    const std::string directory = tree.Directory();
    std::filesystem::create_directory(directory + "/home");
    const char* realHome = std::getenv("HOME");
    const bool hadHome = realHome != nullptr;
    const std::string savedHome = hadHome ? realHome : "";
    setenv("HOME", (directory + "/home/").c_str(), 1);
    struct Case {
        std::string wanted;
        std::string opens;
    };
    const Case cases[] = {
        {directory + "/", directory},
        {directory + "/gone/deeper", directory},
        {directory + "/a.mp3", directory},
        {directory + "/./gone/../", directory},
        {"", directory + "/home"},
    };
    for (const auto& [wanted, opens] : cases) EXPECT_EQ(ReadableDirectoryNear(wanted), opens) << wanted;
    hadHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");

    EXPECT_EQ(ParentDirectory("/music/rock"), "/music");
    EXPECT_EQ(ParentDirectory("/music"), "/");
    EXPECT_EQ(ParentDirectory("/"), "/");
    EXPECT_EQ(platform::JoinPath("/", "music"), "/music");
}

TEST(FileListingTest, BytesThatAreNotUtf8ShowAsReplacementCharacters) {
    EXPECT_EQ(DisplayName("caf\xC3\xA9.mp3"), "caf\xC3\xA9.mp3");
    EXPECT_EQ(DisplayName("caf\xE9.mp3"), "caf\xEF\xBF\xBD.mp3");
    EXPECT_EQ(DisplayName("\xC3"), "\xEF\xBF\xBD");
}

}  // namespace
