#include "platform/app_files.h"


#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

TEST(AppFiles, AtomicWriteReplacesWholeAndLeavesNoTemporaries) {
    test::TemporaryFile file({'o', 'l', 'd'});
    std::string content;
    ASSERT_TRUE(platform::WriteFileAtomically(file.Path(), "new content\n"));
    ASSERT_TRUE(platform::ReadWholeFile(file.Path(), content));
    EXPECT_EQ(content, "new content\n");
    ASSERT_TRUE(platform::WriteFileAtomically(file.Path(), ""));
    ASSERT_TRUE(platform::ReadWholeFile(file.Path(), content));
    EXPECT_EQ(content, "");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file.Directory())) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(AppFiles, FailedWriteKeepsTheOldFile) {
    test::TemporaryFile file({'o', 'l', 'd'});
    // A directory where the file should go cannot be replaced by a file.
    const std::string blocked = file.Directory() + "/blocked";
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(blocked + "/inside");
    EXPECT_FALSE(platform::WriteFileAtomically(blocked, "x"));
    EXPECT_FALSE(platform::WriteFileAtomically(file.Directory() + "/missing/dir/file", "x"));
    std::string content;
    EXPECT_FALSE(platform::ReadWholeFile(blocked, content)) << "a directory is not a file";
    EXPECT_FALSE(platform::ReadWholeFile(file.Directory() + "/missing", content));
    ASSERT_TRUE(platform::ReadWholeFile(file.Path(), content));
    EXPECT_EQ(content, "old");
}

TEST(AppFiles, ApplicationDirectoryFollowsTheEnvironment) {
    test::TemporaryFile file({});
    const std::string home = file.Directory() + "/home/nested";
    setenv("TUNELARK_HOME", home.c_str(), 1);
    EXPECT_EQ(platform::ApplicationDirectory(), home);
    EXPECT_TRUE(std::filesystem::is_directory(home)) << "created on first use";
    unsetenv("TUNELARK_HOME");

    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_DATA_HOME", file.Directory().c_str(), 1);
    EXPECT_EQ(platform::ApplicationDirectory(), file.Directory() + "/tunelark");
    if (previous) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

}  // namespace
