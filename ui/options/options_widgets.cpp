#include "ui/options/options_widgets.h"

#include <algorithm>
#include <cfloat>

#include "platform/ui/bitmap.h"

namespace options {
namespace {

constexpr float kTitleGap = 3;

ImU32 ImGuiColorOf(uint32_t pixel) {
    return IM_COL32((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF, 0xFF);
}

}  // namespace

bool Picture(const char* id, platform::ui::HBITMAP bitmap, int scale) {
    if (bitmap == nullptr) return false;
    const platform::ui::Framebuffer& image = bitmap->Image();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const bool tapped = ImGui::InvisibleButton(
        id, ImVec2(static_cast<float>(image.Width() * scale), static_cast<float>(image.Height() * scale)));
    ImDrawList* drawList = ImGui::GetWindowDrawList();
    const auto side = static_cast<float>(scale);
    // One rectangle per run of equal pixels keeps the draw list short.
    for (int y = 0; y < image.Height(); ++y) {
        int runStart = 0;
        for (int x = 1; x <= image.Width(); ++x) {
            if (x < image.Width() && image.Pixel(x, y) == image.Pixel(runStart, y)) continue;
            const ImVec2 topLeft{origin.x + static_cast<float>(runStart) * side,
                                 origin.y + static_cast<float>(y) * side};
            const ImVec2 bottomRight{origin.x + static_cast<float>(x) * side, topLeft.y + side};
            drawList->AddRectFilled(topLeft, bottomRight, ImGuiColorOf(image.Pixel(runStart, y)));
            runStart = x;
        }
    }
    return tapped;
}

void DropDown(const char* id, const std::vector<std::string>& names, int& choice, float width) {
    ImGui::SetNextItemWidth(width);
    const std::string& shown = names[static_cast<size_t>(std::clamp(choice, 0, static_cast<int>(names.size()) - 1))];
    // The longest list fits below the navigation bar without scrolling.
    const float listHeight = static_cast<float>(names.size()) * kListRowHeight + 2 * ImGui::GetStyle().WindowPadding.y;
    ImGui::SetNextWindowSizeConstraints(ImVec2(0, 0), ImVec2(FLT_MAX, listHeight));
    if (!ImGui::BeginCombo(id, shown.c_str(), ImGuiComboFlags_HeightLargest)) return;
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(ImGui::GetStyle().ItemSpacing.x, 0));
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        ImGui::PushID(index);
        if (ImGui::Selectable(names[static_cast<size_t>(index)].c_str(), index == choice, 0,
                              ImVec2(0, kListRowHeight))) {
            choice = index;
        }
        ImGui::PopID();
    }
    ImGui::PopStyleVar();
    ImGui::EndCombo();
}

void WrappedCheckbox(const char* label, bool& checked) {
    ImGui::PushID(label);
    ImGui::Checkbox("##box", &checked);
    ImGui::PopID();
    ImGui::SameLine(0, ImGui::GetStyle().ItemInnerSpacing.x);
    ImGui::PushTextWrapPos(0);
    ImGui::TextUnformatted(label);
    ImGui::PopTextWrapPos();
    if (ImGui::IsItemClicked()) checked = !checked;
}

void GroupBox(const char* title, const std::function<void()>& content) {
    const ImVec2 start = ImGui::GetCursorScreenPos();
    const float right = start.x + ImGui::GetContentRegionAvail().x;
    ImGui::SetCursorScreenPos(ImVec2(start.x + kGroupInset, start.y));
    ImGui::TextUnformatted(title);
    const float titleEnd = ImGui::GetItemRectMax().x;
    ImGui::Indent(kGroupInset);
    ImGui::BeginGroup();
    content();
    ImGui::EndGroup();
    ImGui::Unindent(kGroupInset);
    const float bottom = ImGui::GetItemRectMax().y + kGroupInset;
    const float top = start.y + ImGui::GetFontSize() / 2;
    ImDrawList* drawList = ImGui::GetWindowDrawList();
    const ImU32 color = ImGui::GetColorU32(ImGuiCol_Border);
    drawList->AddLine(ImVec2(start.x + kGroupInset - kTitleGap, top), ImVec2(start.x, top), color);
    drawList->AddLine(ImVec2(start.x, top), ImVec2(start.x, bottom), color);
    drawList->AddLine(ImVec2(start.x, bottom), ImVec2(right - 1, bottom), color);
    drawList->AddLine(ImVec2(right - 1, bottom), ImVec2(right - 1, top), color);
    drawList->AddLine(ImVec2(right - 1, top), ImVec2(titleEnd + kTitleGap, top), color);
    ImGui::SetCursorScreenPos(ImVec2(start.x, bottom + ImGui::GetStyle().ItemSpacing.y));
    ImGui::Dummy(ImVec2(0, 0));
}

void TwoColumnList(const char* id, const char* firstTitle, const char* secondTitle, float firstWidth,
                   const std::vector<ListRow>& rows, int& selectedRow, float height) {
    const ImGuiTableFlags flags = ImGuiTableFlags_ScrollY | ImGuiTableFlags_BordersOuter |
                                  ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_RowBg;
    if (!ImGui::BeginTable(id, 2, flags, ImVec2(0, height))) return;
    ImGui::TableSetupScrollFreeze(0, 1);
    ImGui::TableSetupColumn(firstTitle, ImGuiTableColumnFlags_WidthFixed, firstWidth);
    ImGui::TableSetupColumn(secondTitle, ImGuiTableColumnFlags_WidthStretch);
    ImGui::TableHeadersRow();
    for (int index = 0; index < static_cast<int>(rows.size()); ++index) {
        const ListRow& row = rows[static_cast<size_t>(index)];
        ImGui::TableNextRow(0, kRowHeight);
        ImGui::TableSetColumnIndex(0);
        ImGui::PushID(index);
        if (ImGui::Selectable(row.first.c_str(), index == selectedRow, ImGuiSelectableFlags_SpanAllColumns,
                              ImVec2(0, kRowHeight - ImGui::GetStyle().CellPadding.y * 2))) {
            selectedRow = index;
        }
        ImGui::PopID();
        ImGui::TableSetColumnIndex(1);
        ImGui::TextUnformatted(row.second.c_str());
    }
    ImGui::EndTable();
}

}  // namespace options
