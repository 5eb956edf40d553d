#include "ui/dialogs/directory_browser_view.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "platform/ui/dialog_host.h"
#include "platform/ui/file_listing.h"
#include "platform/ui/ui_types.h"
#include "ui/dialogs/directory_browser_icons.h"

namespace {

// Rows and buttons big enough to hit with a stylus on the 240 x 320 screen,
// as in the file dialogs.
constexpr float kRowHeight = 20;
constexpr float kDepthIndent = 12;
constexpr float kArrowWidth = 14;  // the part of a row that a tap expands or collapses
constexpr float kArrowSize = 8;
constexpr float kIconGap = 4;
constexpr float kTextRightMargin = 4;
constexpr float kButtonWidth = 64;
constexpr float kButtonHeight = 24;
constexpr float kScrollbarWidth = 16;
const ImVec2 kListPadding{2, 2};
constexpr ImU32 kArrowColor = IM_COL32(0x50, 0x50, 0x50, 0xFF);

// A triangle pointing right (collapsed) or down (expanded), centred in the
// arrow's part of the row.
void DrawArrow(ImDrawList& drawing, ImVec2 rowMin, float left, bool expanded) {
    const float x = left + kArrowWidth / 2;
    const float y = rowMin.y + kRowHeight / 2;
    const float half = kArrowSize / 2;
    if (expanded) {
        drawing.AddTriangleFilled(ImVec2(x - half, y - half / 2), ImVec2(x + half, y - half / 2),
                                  ImVec2(x, y + half / 2 + 1), kArrowColor);
    } else {
        drawing.AddTriangleFilled(ImVec2(x - half / 2, y - half), ImVec2(x + half / 2 + 1, y),
                                  ImVec2(x - half / 2, y + half), kArrowColor);
    }
}

DirectoryIcon IconOf(const DirectoryTreeItem& item) {
    if (item.parent == nullptr) return DirectoryIcon::Root;
    return item.isVolume ? DirectoryIcon::Volume : DirectoryIcon::Folder;
}

size_t SelectedRow(const std::vector<DirectoryTreeRow>& rows, const DirectoryTreeItem* selected) {
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.item == selected; });
    return found == rows.end() ? 0 : static_cast<size_t>(found - rows.begin());
}

}  // namespace

void DirectoryBrowserView::Draw(const std::function<void(int)>& end) {
    const float spacing = ImGui::GetStyle().ItemSpacing.y;
    DrawTree(ImGui::GetContentRegionAvail().y - kButtonHeight - spacing);
    DrawButtons(end);
}

float DirectoryBrowserView::ScrollShowingSelection(const std::vector<DirectoryTreeRow>& rows,
                                                   float innerHeight) const {
    const float top = static_cast<float>(SelectedRow(rows, tree_.Selected())) * kRowHeight;
    float scroll = listScroll_;
    if (centreSelection_) {
        scroll = top - (innerHeight - kRowHeight) / 2;
    } else if (top < listScroll_) {
        scroll = top;
    } else if (top + kRowHeight > listScroll_ + innerHeight) {
        scroll = top + kRowHeight - innerHeight;
    }
    // As far as ImGui lets the list scroll, so the scroll asked for is one it can reach.
    const float furthest = std::max(0.0f, static_cast<float>(rows.size()) * kRowHeight - innerHeight);
    return std::clamp(scroll, 0.0f, furthest);
}

void DirectoryBrowserView::DrawTree(float height) {
    const std::vector<DirectoryTreeRow> rows = tree_.Rows();
    const float innerHeight = height - 2 * kListPadding.y;
    visibleRows_ = std::max<std::ptrdiff_t>(1, static_cast<std::ptrdiff_t>(innerHeight / kRowHeight));
    if (scrollToSelection_) {
        wantedScroll_ = ScrollShowingSelection(rows, innerHeight);
        scrollToSelection_ = centreSelection_ = false;
    }
    if (wantedScroll_ >= 0) ImGui::SetNextWindowScroll(ImVec2(-1, wantedScroll_));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, kListPadding);
    ImGui::PushStyleVar(ImGuiStyleVar_ScrollbarSize, kScrollbarWidth);
    ImGui::BeginChild("tree", ImVec2(0, height), true);
    // Reached once the list is tall enough to scroll that far.
    if (ImGui::GetScrollMaxY() + kRowHeight / 2 >= wantedScroll_) wantedScroll_ = -1;
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
    RowTap tap = RowTap::None;
    DirectoryTreeItem* tapped = nullptr;
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(rows.size()), kRowHeight);
    while (clipper.Step()) {
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            const RowTap rowTap = DrawRow(rows[static_cast<size_t>(row)]);
            if (rowTap == RowTap::None) continue;
            tap = rowTap;
            tapped = rows[static_cast<size_t>(row)].item;
        }
    }
    ImGui::PopStyleVar();
    listScroll_ = ImGui::GetScrollY();
    ImGui::EndChild();
    ImGui::PopStyleVar(2);
    // Applied after the rows are drawn: expanding and collapsing change them.
    if (tap == RowTap::Select || tap == RowTap::SelectAndToggle) tree_.Select(*tapped);
    if (tap == RowTap::Toggle || tap == RowTap::SelectAndToggle) tree_.Toggle(*tapped);
}

// A row is a selectable the width of the list with the arrow, the mark and
// the name drawn over it, so that no name, whatever bytes it holds, is read
// as an ImGui label.
DirectoryBrowserView::RowTap DirectoryBrowserView::DrawRow(const DirectoryTreeRow& row) {
    const DirectoryTreeItem& item = *row.item;
    ImGui::PushID(row.item);
    const bool pressed = ImGui::Selectable("##row", row.item == tree_.Selected(),
                                           ImGuiSelectableFlags_AllowDoubleClick, ImVec2(0, kRowHeight));
    ImGui::PopID();
    const ImVec2 rowMin = ImGui::GetItemRectMin();
    const ImVec2 rowMax = ImGui::GetItemRectMax();
    ImDrawList& drawing = *ImGui::GetWindowDrawList();
    const float arrowLeft = rowMin.x + static_cast<float>(row.depth) * kDepthIndent;
    const float iconLeft = arrowLeft + kArrowWidth;
    if (item.hasChildren) DrawArrow(drawing, rowMin, arrowLeft, item.expanded);
    DrawDirectoryIcon(drawing, ImVec2(iconLeft, rowMin.y + (kRowHeight - kDirectoryIconSize) / 2), IconOf(item));
    const std::string name = platform::ui::DisplayName(item.name);
    const float textLeft = iconLeft + kDirectoryIconSize + kIconGap;
    const float textTop = rowMin.y + (kRowHeight - ImGui::GetFontSize()) / 2;
    const float textRight = rowMax.x - kTextRightMargin;
    ImGui::RenderTextEllipsis(&drawing, ImVec2(textLeft, textTop), ImVec2(textRight, rowMax.y), textRight, textRight,
                              name.c_str(), nullptr, nullptr);
    if (!pressed) return RowTap::None;
    if (ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) return RowTap::SelectAndToggle;
    const float tapX = ImGui::GetIO().MouseClickedPos[ImGuiMouseButton_Left].x;
    if (item.hasChildren && tapX >= arrowLeft && tapX < iconLeft) return RowTap::Toggle;
    return RowTap::Select;
}

void DirectoryBrowserView::DrawButtons(const std::function<void(int)>& end) {
    const ImVec2 size{kButtonWidth, kButtonHeight};
    ImGui::SetCursorPosX(ImGui::GetWindowContentRegionMax().x - 2 * kButtonWidth - ImGui::GetStyle().ItemSpacing.x);
    if (ImGui::Button("OK", size)) end(platform::ui::IDOK);
    ImGui::SameLine();
    if (ImGui::Button("Cancel", size)) end(platform::ui::IDCANCEL);
}

void DirectoryBrowserView::MoveSelection(std::ptrdiff_t rows) {
    tree_.MoveSelection(rows);
    scrollToSelection_ = true;
}

bool DirectoryBrowserView::HandleKey(uint32_t virtualKey) {
    using namespace platform::ui;
    const auto everyRow = static_cast<std::ptrdiff_t>(tree_.Rows().size());
    if (const std::optional<std::ptrdiff_t> rows = ListMoveForKey(virtualKey, visibleRows_, everyRow)) {
        MoveSelection(*rows);
        return true;
    }
    switch (virtualKey) {
        case VK_RIGHT:
            tree_.ExpandOrDescend();
            scrollToSelection_ = true;
            return true;
        case VK_LEFT:
            tree_.CollapseOrAscend();
            scrollToSelection_ = true;
            return true;
        default:
            return false;
    }
}
