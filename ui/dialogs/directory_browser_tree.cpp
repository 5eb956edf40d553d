#include "ui/dialogs/directory_browser_tree.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/ui/file_listing.h"

namespace {

constexpr const char* kRootText = "Root";
// Patterns that no file name matches: a listing with them holds only directories.
constexpr std::string_view kNoFiles = "";

bool IsHidden(const std::string& name) { return !name.empty() && name.front() == '.'; }

// Whether `directory` holds a directory that the tree would list. Stops at
// the first one: a large directory costs only what it takes to find it.
bool HasSubdirectory(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entry(directory, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code statusError;
        if (!IsHidden(entry->path().filename().string()) && entry->is_directory(statusError)) return true;
    }
    return false;
}

bool IsBelow(const DirectoryTreeItem& item, const DirectoryTreeItem& ancestor) {
    for (const DirectoryTreeItem* above = item.parent; above != nullptr; above = above->parent) {
        if (above == &ancestor) return true;
    }
    return false;
}

// Only expanded items have children, so every item reached is shown.
void AppendRows(DirectoryTreeItem& item, int depth, std::vector<DirectoryTreeRow>& rows) {
    rows.push_back({&item, depth});
    for (const auto& child : item.children) AppendRows(*child, depth + 1, rows);
}

}  // namespace

DirectoryTree::DirectoryTree(std::string rootDirectory, VolumeTest isVolume)
    : rootDirectory_(platform::WithoutTrailingSeparator(std::move(rootDirectory))), isVolume_(std::move(isVolume)) {
    root_.name = kRootText;
    root_.hasChildren = true;
    Expand(root_);
}

std::vector<DirectoryTreeRow> DirectoryTree::Rows() {
    std::vector<DirectoryTreeRow> rows;
    AppendRows(root_, 0, rows);
    return rows;
}

std::string DirectoryTree::PathOf(const DirectoryTreeItem& item) const {
    if (item.parent == nullptr) return rootDirectory_;
    return platform::JoinPath(PathOf(*item.parent), item.name);
}

std::unique_ptr<DirectoryTreeItem> DirectoryTree::MakeChild(DirectoryTreeItem& parent, const std::string& parentPath,
                                                            std::string name) const {
    auto child = std::make_unique<DirectoryTreeItem>();
    const std::string path = platform::JoinPath(parentPath, name);
    child->name = std::move(name);
    child->isVolume = isVolume_ && isVolume_(path);
    child->hasChildren = HasSubdirectory(path);
    child->parent = &parent;
    return child;
}

void DirectoryTree::Expand(DirectoryTreeItem& item) {
    if (item.expanded || !item.hasChildren) return;
    const std::string path = PathOf(item);
    // Hidden and unreadable directories are left out here as in the file dialogs.
    for (platform::ui::DirectoryEntry& entry : platform::ui::ListDirectory(path, kNoFiles)) {
        item.children.push_back(MakeChild(item, path, std::move(entry.name)));
    }
    item.hasChildren = item.expanded = !item.children.empty();
}

void DirectoryTree::Collapse(DirectoryTreeItem& item) {
    if (IsBelow(*selected_, item)) selected_ = &item;
    item.children.clear();
    item.expanded = false;
}

void DirectoryTree::Toggle(DirectoryTreeItem& item) {
    if (item.expanded) {
        Collapse(item);
    } else {
        Expand(item);
    }
}

void DirectoryTree::Preselect(const std::string& path) {
    selected_ = &root_;
    Expand(root_);
    std::string_view rest = path;
    if (rootDirectory_ != "/") {
        const bool inside = rest.substr(0, rootDirectory_.size()) == rootDirectory_ &&
                            (rest.size() == rootDirectory_.size() || rest[rootDirectory_.size()] == '/');
        if (!inside) return;
        rest.remove_prefix(rootDirectory_.size());
    }
    DirectoryTreeItem* reached = &root_;
    while (!rest.empty()) {
        const size_t separator = rest.find('/');
        const std::string_view component = rest.substr(0, separator);
        rest.remove_prefix(separator == std::string_view::npos ? rest.size() : separator + 1);
        if (component.empty()) continue;  // "//" and a leading or trailing '/'
        const auto found = std::find_if(reached->children.begin(), reached->children.end(),
                                        [&](const auto& child) { return child->name == component; });
        if (found == reached->children.end()) break;
        reached = found->get();
        Expand(*reached);
    }
    selected_ = reached;
}

void DirectoryTree::MoveSelection(std::ptrdiff_t rows) {
    const std::vector<DirectoryTreeRow> shown = Rows();
    const auto count = static_cast<std::ptrdiff_t>(shown.size());
    const auto at = std::find_if(shown.begin(), shown.end(), [&](const auto& row) { return row.item == selected_; });
    // Keeps a huge step (Home, End) from overflowing.
    const std::ptrdiff_t step = std::clamp(rows, -count, count);
    const std::ptrdiff_t target = std::clamp<std::ptrdiff_t>((at - shown.begin()) + step, 0, count - 1);
    selected_ = shown[static_cast<size_t>(target)].item;
}

void DirectoryTree::ExpandOrDescend() {
    if (selected_->expanded) {
        selected_ = selected_->children.front().get();
    } else {
        Expand(*selected_);
    }
}

void DirectoryTree::CollapseOrAscend() {
    if (selected_->expanded) {
        Collapse(*selected_);
    } else if (selected_->parent != nullptr) {
        selected_ = selected_->parent;
    }
}
