#include "ui/eq_window/preset_dialog.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/path_text.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/dialog_rows.h"
#include "ui/eq_window/eq_presets.h"

using namespace platform::ui;

namespace {

constexpr const char* kTitle = "Preset";
constexpr int kNoSelection = -1;

// Rows and buttons big enough for a stylus on the 240 x 320 screen.
constexpr float kRowHeight = 20;
constexpr float kScrollbarWidth = 16;
const ImVec2 kListPadding{2, 2};
const ImVec2 kFramePadding{6, 4};
constexpr float kButtonWidth = 88;
constexpr float kButtonHeight = 24;
constexpr float kButtonGap = 20;
constexpr float kTitleOkWidth = 40;

// The desktop underlines the letter after '&'; these dialogs draw no
// keyboard mnemonics, so the mark is left out.
std::string ButtonLabel(std::string_view text) {
    std::string label;
    for (char character : text) {
        if (character != '&') label.push_back(character);
    }
    return label;
}

bool LessIgnoringCase(const std::string& left, const std::string& right) {
    return platform::FoldCase(left) < platform::FoldCase(right);
}

class PresetDialog {
public:
    PresetDialog() {
        for (const EqPreset& preset : EqPresets()) names_.emplace_back(preset.name);
        // The list box sorts what it is given, as the desktop's does.
        std::stable_sort(names_.begin(), names_.end(), LessIgnoringCase);
    }

    std::string SelectedName() const {
        return selection_ == kNoSelection ? std::string() : names_[static_cast<size_t>(selection_)];
    }

    void Draw(const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, kFramePadding);
        DrawTitleOk(end);
        const float spacing = ImGui::GetStyle().ItemSpacing.y;
        DrawList(ImGui::GetContentRegionAvail().y - kButtonHeight - spacing, end);
        DrawButtons(end);
        ImGui::PopStyleVar();
    }

    // Arrows, Home, End and the page keys move the selection; Enter and
    // Escape are left to the dialog runner.
    bool HandleKey(uint32_t virtualKey) {
        const std::optional<std::ptrdiff_t> rows =
            ListMoveForKey(virtualKey, visibleRows_, static_cast<std::ptrdiff_t>(names_.size()));
        if (rows.has_value()) Move(static_cast<int>(*rows));
        return rows.has_value();
    }

private:
    // With nothing selected, going down starts at the top and up at the bottom.
    void Move(int rows) {
        const int count = static_cast<int>(names_.size());
        const int from = selection_ != kNoSelection ? selection_ : (rows > 0 ? -1 : count);
        selection_ = std::clamp(from + rows, 0, count - 1);
        scrollToSelection_ = true;
    }

    // The title bar's OK of a full-screen dialog, at the top right.
    void DrawTitleOk(const std::function<void(int)>& end) {
        ImGui::SetCursorPosX(ImGui::GetWindowContentRegionMax().x - kTitleOkWidth);
        if (ImGui::Button("OK", ImVec2(kTitleOkWidth, 0))) end(IDOK);
    }

    void DrawList(float height, const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, kListPadding);
        ImGui::PushStyleVar(ImGuiStyleVar_ScrollbarSize, kScrollbarWidth);
        // ImGui remembers the list's scroll from the dialog's last showing.
        if (firstFrame_) ImGui::SetNextWindowScroll(ImVec2(0, 0));
        firstFrame_ = false;
        ImGui::BeginChild("presets", ImVec2(0, height), true, ImGuiWindowFlags_AlwaysVerticalScrollbar);
        ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
        bool loadNow = false;
        for (int row = 0; row < static_cast<int>(names_.size()); ++row) {
            if (DialogTextRow(row, names_[static_cast<size_t>(row)], row == selection_, kRowHeight)) {
                selection_ = row;
                loadNow = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
            }
            if (row == selection_ && scrollToSelection_) ImGui::ScrollToItem(ImGuiScrollFlags_KeepVisibleEdgeY);
        }
        scrollToSelection_ = false;
        visibleRows_ = std::max(1, static_cast<int>((ImGui::GetWindowHeight() - 2 * kListPadding.y) / kRowHeight));
        ImGui::PopStyleVar();
        ImGui::EndChild();
        ImGui::PopStyleVar(2);
        if (loadNow) end(IDOK);
    }

    void DrawButtons(const std::function<void(int)>& end) {
        const ImVec2 size{kButtonWidth, kButtonHeight};
        ImGui::SetCursorPosX((ImGui::GetWindowWidth() - 2 * kButtonWidth - kButtonGap) / 2);
        if (ImGui::Button(ButtonLabel("&Load").c_str(), size)) end(IDOK);
        ImGui::SameLine(0, kButtonGap);
        if (ImGui::Button(ButtonLabel("&Cancel").c_str(), size)) end(IDCANCEL);
    }

    std::vector<std::string> names_;
    int selection_ = kNoSelection;
    bool scrollToSelection_ = false;
    bool firstFrame_ = true;
    int visibleRows_ = 1;
};

}  // namespace

std::optional<std::string> ShowPresetDialog(WindowManager& windows) {
    PresetDialog dialog;
    const auto content = [&](const std::function<void(int)>& end) { dialog.Draw(end); };
    const auto key = [&](uint32_t virtualKey) { return dialog.HandleKey(virtualKey); };
    if (RunDialog(windows, kTitle, content, IDOK, IDCANCEL, key) != IDOK) return std::nullopt;
    return dialog.SelectedName();
}
