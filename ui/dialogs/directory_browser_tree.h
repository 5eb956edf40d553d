#pragma once

// The "Open Directory" dialog's tree apart from its drawing. The top item,
// "Root", stands for one directory ("/" in the dialog); every other item is
// a subdirectory, listed only when its parent expands and forgotten when it
// collapses, so each expansion reads the disk afresh. An item keeps only its
// name: its path is rebuilt from its ancestors. Taps and keys both go through
// these calls, so the stylus and the keyboard follow one set of rules.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct DirectoryTreeItem {
    std::string name;          // the directory's own name; "Root" for the top item
    bool isVolume = false;     // a mounted storage volume, shown with a card mark
    bool hasChildren = false;  // shows an expand arrow
    bool expanded = false;
    DirectoryTreeItem* parent = nullptr;
    // Listed when the item expands, in sorted order; dropped when it collapses.
    std::vector<std::unique_ptr<DirectoryTreeItem>> children;
};

// An item as the tree shows it: one line, indented by its depth below Root.
struct DirectoryTreeRow {
    DirectoryTreeItem* item = nullptr;
    int depth = 0;
};

class DirectoryTree {
public:
    using VolumeTest = std::function<bool(const std::string& directory)>;

    // Root stands for `rootDirectory` and starts expanded and selected.
    // `isVolume` says which directories get the card mark; none without it.
    explicit DirectoryTree(std::string rootDirectory, VolumeTest isVolume = {});
    DirectoryTree(const DirectoryTree&) = delete;
    DirectoryTree& operator=(const DirectoryTree&) = delete;

    DirectoryTreeItem& Root() { return root_; }
    // Never null: at least Root is selected.
    DirectoryTreeItem* Selected() const { return selected_; }
    // The items whose ancestors are all expanded, top to bottom.
    std::vector<DirectoryTreeRow> Rows();
    // Root's own directory; below it each name joined on with '/'.
    std::string PathOf(const DirectoryTreeItem& item) const;

    // Lists the item's subdirectories (hidden ones left out; a directory
    // that cannot be read has none). An item found to have none loses its
    // arrow and stays collapsed. Items without an arrow do not expand.
    void Expand(DirectoryTreeItem& item);
    // Forgets the item's children; a selection among them moves to the item.
    void Collapse(DirectoryTreeItem& item);
    void Toggle(DirectoryTreeItem& item);
    void Select(DirectoryTreeItem& item) { selected_ = &item; }

    // Follows `path` down from Root, one component at a time, expanding each
    // child whose name equals the component exactly; stops at the first one
    // that is missing and selects the last item reached. A path outside
    // Root's directory selects Root.
    void Preselect(const std::string& path);

    // The keyboard. Up and Down move by `rows` among the rows shown,
    // stopping at the ends.
    void MoveSelection(std::ptrdiff_t rows);
    // Right: a collapsed item expands, an expanded one hands the selection
    // to its first child.
    void ExpandOrDescend();
    // Left: an expanded item collapses, a collapsed one hands the selection
    // to its parent.
    void CollapseOrAscend();

private:
    std::unique_ptr<DirectoryTreeItem> MakeChild(DirectoryTreeItem& parent, const std::string& parentPath,
                                                 std::string name) const;

    std::string rootDirectory_;
    VolumeTest isVolume_;
    DirectoryTreeItem root_;
    DirectoryTreeItem* selected_ = &root_;
};
