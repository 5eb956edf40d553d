// The "File info" dialog: the tag texts it shows for the fixtures, and a run
// on the headless backend.

#include "ui/playlist_window/file_info_dialog.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/dialog_owner.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform::ui;

// Bytes that are no audio at all, ended by an ID3v1 tag titled "Not Audio".
std::vector<uint8_t> TaggedNoise() {
    std::string tag = "TAGNot Audio";
    tag.resize(128, '\0');
    const std::string bytes = std::string(4096, 'U') + tag;
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST(FileInfoDialogTest, FieldsShowTheTags) {
    const test::TemporaryFile noise(TaggedNoise(), "noise.mp3");
    const std::string longTitle = "A Title Longer Than Thirty Characters, Sixty-One: xxxxxxxxxxx";
    struct Case {
        std::string path;
        FileInfoTexts texts;
    };
    const Case cases[] = {
        {test::FixturePath("id3v1.mp3"), {"Song Title", "The Artist", "The Album", "", "2003", "Jazz", "A comment"}},
        {test::FixturePath("id3v2_only.mp3"), {longTitle, "Zo\xC3\xAB Artist", "V2 Album", "7", "2011", "Rock", ""}},
        {test::FixturePath("lower_case.ogg"),
         {longTitle, "Lower Artist", "Lower Album", "4", "1999", "Ambient", "quiet"}},
        {test::FixturePath("short.mp3"), {}},  // no tag
        {noise.Path(), {}},                    // not MPEG audio
        {"/no/such/file.mp3", {}},
    };
    for (const auto& [path, texts] : cases) {
        const FileInfoTexts shown = ReadFileInfoTexts(path);
        EXPECT_EQ(shown.title, texts.title) << path;
        EXPECT_EQ(shown.artist, texts.artist) << path;
        EXPECT_EQ(shown.album, texts.album) << path;
        EXPECT_EQ(shown.track, texts.track) << path;
        EXPECT_EQ(shown.year, texts.year) << path;
        EXPECT_EQ(shown.genre, texts.genre) << path;
        EXPECT_EQ(shown.comment, texts.comment) << path;
    }
}

TEST(FileInfoDialogTest, OkEnterAndEscapeClose) {
    HeadlessBackend backend;
    WindowManager windows{backend};
    test::DialogOwner owner{backend, windows};
    constexpr Point kOk{200, 300};
    backend.Tap(kOk, backend.NowMs() + 300);
    ShowFileInfo(windows, owner, test::FixturePath("id3v1.mp3"));
    for (const uint32_t key : {VK_RETURN, VK_ESCAPE}) {
        backend.PressKey(key, backend.NowMs() + 300);
        ShowFileInfo(windows, owner, test::FixturePath("id3v1.mp3"));
    }
    EXPECT_EQ(windows.Focus(), &owner) << "the focus goes back";
}

}  // namespace
