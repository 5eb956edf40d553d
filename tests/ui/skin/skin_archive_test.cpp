// Skins in ".wsz" and ".zip" archives: an honest one unpacks into the cache
// and loads; hostile ones (paths out of the skin, links, a zip bomb, too many
// entries, no zip at all) are refused whole and write nothing anywhere.

#include "ui/skin/skin_archive.h"

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/zip_builder.h"
#include "tests/ui/skin/skin_test_support.h"

namespace {

using test::ZipEntry;

// The files of a real skin, packed under `folder`.
std::vector<ZipEntry> RealSkinEntries(const std::string& folder) {
    std::vector<ZipEntry> entries;
    for (const auto& file : std::filesystem::directory_iterator(test::FixturePath("skin_Refugee"))) {
        const std::vector<uint8_t> bytes = test::ReadFileBytes(file.path().string());
        entries.push_back({folder + file.path().filename().string(), std::string(bytes.begin(), bytes.end())});
    }
    return entries;
}

size_t FilesUnder(const std::string& directory) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) files += entry.is_regular_file();
    return files;
}

class SkinArchiveTest : public skin_test::SkinTest {
protected:
    void SetUp() override { setenv("TUNELARK_HOME", home.PathOf("home").c_str(), 1); }
    void TearDown() override {
        unsetenv("TUNELARK_HOME");
        skin_test::SkinTest::TearDown();
    }
    std::string Archive(const std::string& name, const std::vector<ZipEntry>& entries) {
        const std::string path = home.PathOf(name);
        EXPECT_TRUE(test::WriteZip(path, entries)) << name;
        return path;
    }

    test::TemporaryDirectory home;
};

TEST_F(SkinArchiveTest, AnHonestArchiveUnpacksOnceAndLoads) {
    const std::string archive = Archive("Refugee.wsz", RealSkinEntries("Refugee/"));
    ASSERT_TRUE(CheckSkinDirectory(archive));
    ASSERT_TRUE(LoadSkinDirectory(archive));
    const UnpackedSkin first = UnpackSkinArchive(archive);
    ASSERT_TRUE(first.error.empty()) << first.error;
    EXPECT_EQ(first.directory.rfind(home.PathOf("home/cache/skins/"), 0), 0u) << first.directory;
    EXPECT_TRUE(std::filesystem::exists(first.directory + "/main.bmp")) << "the archive's folder is flattened";
    EXPECT_EQ(UnpackSkinArchive(archive).directory, first.directory);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.PathOf("home/cache/skins")), {}), 1);
}

TEST_F(SkinArchiveTest, HostileArchivesAreRefusedWholeAndWriteNothing) {
    std::vector<ZipEntry> manyEntries;
    for (int index = 0; index < 600; ++index) manyEntries.push_back({"f" + std::to_string(index) + ".bmp", "x"});
    const struct {
        const char* name;
        std::vector<ZipEntry> entries;
    } cases[] = {
        {"parent.wsz", {{"main.bmp", "ok"}, {"../escaped.bmp", "evil"}}},
        {"nested-parent.zip", {{"skin/../../escaped.bmp", "evil"}}},
        {"absolute.zip", {{"/tmp/escaped.bmp", "evil"}}},
        {"backslash.zip", {{"..\\escaped.bmp", "evil"}}},
        {"link.wsz", {{"main.bmp", "/etc/passwd", true}}},
        {"bomb.wsz", {{"main.bmp", std::string(40 << 20, '\0')}}},
        {"crowded.zip", manyEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string archive = Archive(c.name, c.entries);
        const UnpackedSkin unpacked = UnpackSkinArchive(archive);
        EXPECT_TRUE(unpacked.directory.empty());
        EXPECT_FALSE(unpacked.error.empty());
        EXPECT_FALSE(CheckSkinDirectory(archive));
    }
    const std::string notAZip = home.PathOf("text.wsz");
    std::ofstream(notAZip) << "not a zip";
    EXPECT_FALSE(UnpackSkinArchive(notAZip).error.empty());
    EXPECT_FALSE(std::filesystem::exists(home.PathOf("escaped.bmp")));
    EXPECT_FALSE(std::filesystem::exists("/tmp/escaped.bmp"));
    EXPECT_EQ(FilesUnder(home.PathOf("home")), 0u) << "nothing is left in the cache";
}

}  // namespace
