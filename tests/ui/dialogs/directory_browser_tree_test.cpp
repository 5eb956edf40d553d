// The "Open Directory" tree over a small folder tree made for each test:
// what it lists, how it follows a path, and how keys move through it.

#include "ui/dialogs/directory_browser_tree.h"
#include "ui/dialogs/directory_browser_volumes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temporary_directory.h"

namespace {

// The tree as text: each shown item's name, "+" after one that has an arrow
// and is collapsed, its children in brackets after one that is expanded.
std::string Outline(const DirectoryTreeItem& item) {
    std::string text = item.name;
    if (item.hasChildren && !item.expanded) text += "+";
    if (!item.expanded) return text;
    text += "(";
    for (const auto& child : item.children) text += (child == item.children.front() ? "" : " ") + Outline(*child);
    return text + ")";
}

// The selection's path inside the test's folder tree; "" for Root.
std::string SelectedPlace(DirectoryTree& tree, const test::TemporaryDirectory& folders) {
    const std::string path = tree.PathOf(*tree.Selected());
    return path == folders.Path() ? "" : path.substr(folders.Path().size() + 1);
}

DirectoryTreeItem& ChildNamed(DirectoryTreeItem& parent, const std::string& name) {
    for (const auto& child : parent.children) {
        if (child->name == name) return *child;
    }
    ADD_FAILURE() << parent.name << " lists no " << name;
    return parent;
}

class DirectoryTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Hidden folders and files never show; "cds" sorts between the others
        // whatever its case; Books holds only a hidden folder, so no arrow.
        for (const char* folder :
             {"Music/Rock/Live", "Music/Jazz", "Music/.covers", "Books/.cache", "cds", ".config"}) {
            folders.MakeDirectory(folder);
        }
        folders.MakeFile("Music/song.mp3");
    }
    test::TemporaryDirectory folders;
};

TEST_F(DirectoryTreeTest, RootStartsExpandedAndSelected) {
    DirectoryTree tree(folders.Path());
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Music+)");
    EXPECT_EQ(tree.Selected(), &tree.Root());
    EXPECT_EQ(tree.PathOf(tree.Root()), folders.Path());
}

TEST_F(DirectoryTreeTest, PreselectionFollowsThePathAsFarAsItExists) {
    struct Case {
        std::string path;  // inside the folder tree unless it starts with '/'
        std::string selected;
        std::string outline;
    };
    const Case cases[] = {
        {"Music/Rock", "Music/Rock", "Root(Books cds Music(Jazz Rock(Live)))"},
        {"Music/Missing/Live", "Music", "Root(Books cds Music(Jazz Rock+))"},
        {"music/Rock", "", "Root(Books cds Music+)"},  // names match in their exact case
        {"Music//Rock/", "Music/Rock", "Root(Books cds Music(Jazz Rock(Live)))"},
        {"", "", "Root(Books cds Music+)"},
        {"/elsewhere/Music", "", "Root(Books cds Music+)"},  // outside Root's directory
    };
    for (const auto& [path, selected, outline] : cases) {
        DirectoryTree tree(folders.Path());
        tree.Preselect(path.empty() || path.front() == '/' ? path : folders.PathOf(path));
        EXPECT_EQ(SelectedPlace(tree, folders), selected) << path;
        EXPECT_EQ(Outline(tree.Root()), outline) << path;
    }
}

TEST_F(DirectoryTreeTest, TheFileSystemRootRebuildsAbsolutePaths) {
    DirectoryTree tree("/");
    EXPECT_EQ(tree.PathOf(tree.Root()), "/");
    tree.Preselect(folders.PathOf("Music/Rock"));
    EXPECT_EQ(tree.PathOf(*tree.Selected()), folders.PathOf("Music/Rock"));
}

TEST_F(DirectoryTreeTest, ReexpandingListsAfresh) {
    DirectoryTree tree(folders.Path());
    tree.Preselect(folders.PathOf("Music/Rock"));
    folders.MakeDirectory("Music/Blues");
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Music(Jazz Rock(Live)))") << "listed once, when expanded";

    DirectoryTreeItem& music = ChildNamed(tree.Root(), "Music");
    tree.Collapse(music);
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Music+)");
    EXPECT_EQ(tree.Selected(), &music) << "the selection leaves the children that went";
    tree.Expand(music);
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Music(Blues Jazz Rock+))");
}

TEST_F(DirectoryTreeTest, DirectoryGoneSinceListedExpandsAsEmpty) {
    folders.MakeDirectory("Gone/Inner");
    DirectoryTree tree(folders.Path());
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Gone+ Music+)");
    std::filesystem::remove_all(folders.PathOf("Gone"));
    tree.Expand(ChildNamed(tree.Root(), "Gone"));
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Gone Music+)") << "the arrow goes, nothing is listed";
}

TEST_F(DirectoryTreeTest, UnreadableDirectoryListsAsEmpty) {
    folders.MakeDirectory("Locked/Inner");
    chmod(folders.PathOf("Locked").c_str(), 0);
    if (DIR* stillReadable = opendir(folders.PathOf("Locked").c_str())) {
        closedir(stillReadable);
        GTEST_SKIP() << "permissions do not stop this user from reading";
    }
    DirectoryTree tree(folders.Path());
    EXPECT_EQ(Outline(tree.Root()), "Root(Books cds Locked Music+)");
}

TEST_F(DirectoryTreeTest, KeysMoveExpandAndCollapse) {
    struct Case {
        std::string keys;  // Up, Down, Left, Right
        std::string selected;
        std::string outline;
    };
    const Case cases[] = {
        {"DDD", "Music", "Root(Books cds Music+)"},
        {"DDDR", "Music", "Root(Books cds Music(Jazz Rock+))"},
        {"DDDRR", "Music/Jazz", "Root(Books cds Music(Jazz Rock+))"},
        {"DDDRRDRR", "Music/Rock/Live", "Root(Books cds Music(Jazz Rock(Live)))"},
        {"DDDRRL", "Music", "Root(Books cds Music(Jazz Rock+))"},  // Jazz has nothing to collapse
        {"DDDRL", "Music", "Root(Books cds Music+)"},
        {"DR", "Books", "Root(Books cds Music+)"},  // nothing to expand
        {"DDDDDDDDU", "cds", "Root(Books cds Music+)"},  // Down stops at the last row
        {"UL", "", "Root+"},
    };
    for (const auto& [keys, selected, outline] : cases) {
        DirectoryTree tree(folders.Path());
        for (const char key : keys) {
            if (key == 'U') tree.MoveSelection(-1);
            if (key == 'D') tree.MoveSelection(1);
            if (key == 'L') tree.CollapseOrAscend();
            if (key == 'R') tree.ExpandOrDescend();
        }
        EXPECT_EQ(SelectedPlace(tree, folders), selected) << keys;
        EXPECT_EQ(Outline(tree.Root()), outline) << keys;
    }
}

TEST(MountedVolumesTest, MountsOfDevicesAndSharesAreVolumes) {
    const MountedVolumes volumes(
        "proc /proc proc rw,relatime 0 0\n"
        "tmpfs /run tmpfs rw,nosuid 0 0\n"
        "/dev/vda / ext4 rw,relatime 0 0\n"
        "/dev/sdb1 /media/alice/SD\\040CARD vfat rw 0 0\n"
        "server:/export/music /mnt/music nfs4 rw 0 0\n"
        "//server/share /srv/share cifs rw 0 0\n");
    struct Case {
        const char* directory;
        bool volume;
    };
    const Case cases[] = {
        {"/media/alice/SD CARD", true}, {"/mnt/music", true}, {"/srv/share", true},
        {"/proc", false},        {"/run", false},       {"/media/alice", false},
        {"/media/alice/SD CARD/Music", false},
    };
    for (const auto& [directory, volume] : cases) EXPECT_EQ(volumes.Contains(directory), volume) << directory;
}

}  // namespace
