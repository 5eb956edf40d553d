// The "Open Directory" dialog on the headless backend, over the real file
// system from "/" down to a small folder tree made for each test, driven by
// keys and taps.

#include "ui/dialogs/directory_browser.h"

#include <gtest/gtest.h>

#include "platform/ui/dialog_host.h"
#include "tests/support/dialog_owner.h"
#include "tests/support/temporary_directory.h"
#include "ui/dialogs/directory_browser_tree.h"

namespace {

using namespace platform::ui;

// Root's row is the list's first while Root is selected: its arrow, its
// name, and the OK button under the list.
constexpr Point kRootArrow{17, 46};
constexpr Point kRootName{80, 46};
constexpr Point kOk{128, 300};
constexpr uint64_t kStepMs = 500;
constexpr uint64_t kDoubleTapGapMs = 100;

class DirectoryBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"Music/Rock", "Music/Jazz"}) folders.MakeDirectory(folder);
        next_ = backend.NowMs();
    }

    // Each input lands one step after the one before.
    void Press(uint32_t key) { backend.PressKey(key, next_ += kStepMs); }
    void Tap(Point point) { backend.Tap(point, next_ += kStepMs); }
    void DoubleTap(Point point) {
        Tap(point);
        backend.Tap(point, next_ += kDoubleTapGapMs);
    }

    // The first directory that Root lists, as the dialog shows it.
    static std::string FirstUnderRoot() {
        DirectoryTree tree("/");
        return tree.PathOf(*tree.Root().children.front());
    }

    test::TemporaryDirectory folders;
    HeadlessBackend backend;
    WindowManager windows{backend};
    test::DialogOwner owner{backend, windows};
    uint64_t next_ = 0;
};

TEST_F(DirectoryBrowserTest, KeysChooseADirectoryBelowThePreselectedOne) {
    // Music is preselected and expanded: Right goes to Jazz, Down to Rock.
    for (const uint32_t key : {VK_RIGHT, VK_DOWN, VK_RETURN}) Press(key);
    std::string path = folders.PathOf("Music");
    EXPECT_EQ(BrowseForDirectory(windows, owner, path), IDOK);
    EXPECT_EQ(path, folders.PathOf("Music/Rock"));
}

TEST_F(DirectoryBrowserTest, CancelLeavesThePathAlone) {
    for (const uint32_t key : {VK_DOWN, VK_ESCAPE}) Press(key);
    std::string path = folders.PathOf("Music");
    EXPECT_EQ(BrowseForDirectory(windows, owner, path), IDCANCEL);
    EXPECT_EQ(path, folders.PathOf("Music"));
}

TEST_F(DirectoryBrowserTest, TapsOnTheArrowOrTwiceOnTheRowCollapse) {
    struct Case {
        std::function<void()> taps;
        std::vector<uint32_t> keys;
        std::string chosen;
    };
    // With Root collapsed, Down finds no row under it and Right expands it again.
    const Case cases[] = {
        {[&] { Tap(kRootArrow); }, {VK_DOWN}, "/"},
        {[&] { DoubleTap(kRootName); }, {VK_DOWN}, "/"},
        {[&] { Tap(kRootArrow); }, {VK_RIGHT, VK_RIGHT}, FirstUnderRoot()},
        {[&] { Tap(kRootName); }, {VK_DOWN}, FirstUnderRoot()},  // one tap only selects
    };
    for (const auto& [taps, keys, chosen] : cases) {
        taps();
        for (const uint32_t key : keys) Press(key);
        Tap(kOk);
        std::string path;
        EXPECT_EQ(BrowseForDirectory(windows, owner, path), IDOK);
        EXPECT_EQ(path, chosen);
    }
}

}  // namespace
