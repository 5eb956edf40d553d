#include "platform/ui/dialog_rows.h"

#include <imgui.h>

#include "platform/ui/dialog_host.h"

namespace platform::ui {
namespace {

constexpr float kTextIndent = 4;

}  // namespace

bool DialogTextRow(int id, std::string_view text, bool highlighted, float height) {
    NoteDialogText(text);
    ImGui::PushID(id);
    const bool tapped =
        ImGui::Selectable("##row", highlighted, ImGuiSelectableFlags_AllowDoubleClick, ImVec2(0, height));
    ImGui::PopID();
    const ImVec2 rowMin = ImGui::GetItemRectMin();
    const ImVec2 rowMax = ImGui::GetItemRectMax();
    const ImVec4 clip{rowMin.x, rowMin.y, rowMax.x - kTextIndent, rowMax.y};
    const ImVec2 place{rowMin.x + kTextIndent, rowMin.y + (height - ImGui::GetFontSize()) / 2};
    ImGui::GetWindowDrawList()->AddText(ImGui::GetFont(), ImGui::GetFontSize(), place,
                                        ImGui::GetColorU32(ImGuiCol_Text), text.data(), text.data() + text.size(),
                                        0.0f, &clip);
    return tapped;
}

}  // namespace platform::ui
