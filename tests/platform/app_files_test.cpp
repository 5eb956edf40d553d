#include "platform/app_files.h"


#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

using platform::FileRead;
constexpr size_t kAnySize = 1 << 20;

TEST(AppFiles, WholeFileReadsStopAtTheirLimitAndKeepWhatWasHeld) {
    test::TemporaryFile file({'1', '2', '3', '4'});
    const struct {
        size_t limit;
        FileRead result;
        std::string content;  // what the caller's string holds afterwards
    } cases[] = {
        {4, FileRead::Done, "1234"},
        {100, FileRead::Done, "1234"},
        {3, FileRead::TooLarge, "held"},
        {0, FileRead::TooLarge, "held"},
    };
    for (const auto& c : cases) {
        std::string content = "held";
        EXPECT_EQ(platform::ReadWholeFile(file.Path(), c.limit, content), c.result) << c.limit;
        EXPECT_EQ(content, c.content) << c.limit;
    }
    // A device that never ends is not a regular file, and is never read.
    std::string content;
    EXPECT_EQ(platform::ReadWholeFile("/dev/zero", kAnySize, content), FileRead::Failed);
}

TEST(AppFiles, AtomicWriteReplacesWholeAndLeavesNoTemporaries) {
    test::TemporaryFile file({'o', 'l', 'd'});
    std::string content;
    ASSERT_TRUE(platform::WriteFileAtomically(file.Path(), "new content\n"));
    ASSERT_EQ(platform::ReadWholeFile(file.Path(), kAnySize, content), FileRead::Done);
    EXPECT_EQ(content, "new content\n");
    ASSERT_TRUE(platform::WriteFileAtomically(file.Path(), ""));
    ASSERT_EQ(platform::ReadWholeFile(file.Path(), kAnySize, content), FileRead::Done);
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
    EXPECT_EQ(platform::ReadWholeFile(blocked, kAnySize, content), FileRead::Failed) << "a directory is not a file";
    EXPECT_EQ(platform::ReadWholeFile(file.Directory() + "/missing", kAnySize, content), FileRead::Failed);
    ASSERT_EQ(platform::ReadWholeFile(file.Path(), kAnySize, content), FileRead::Done);
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
