#include "ui/playlist_window/jump_to_file_dialog.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>

#include "platform/ui/dialog_host.h"
#include "platform/ui/dialog_rows.h"
#include "playlist/playlist_search.h"

using namespace platform::ui;

namespace {

constexpr const char* kTitle = "Jump to File";
constexpr int kNone = -1;

constexpr float kRowHeight = 18;
constexpr float kOkWidth = 40;
constexpr float kScrollbarWidth = 16;
const ImVec2 kListPadding{2, 2};
const ImVec2 kFramePadding{6, 4};

class JumpToFileDialog {
public:
    explicit JumpToFileDialog(const JumpToFileList& list) : list_(list), search_(list.searchTexts) {
        Search();
    }

    std::optional<int32_t> Chosen() const {
        if (highlight_ == kNone) return std::nullopt;
        return (*results_)[static_cast<size_t>(highlight_)];
    }

    void Draw(const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, kFramePadding);
        DrawField(end);
        DrawResults(end);
        ImGui::PopStyleVar();
    }

    // Up, Down and the page keys move among the results; Home and End stay
    // the field's.
    bool HandleKey(uint32_t virtualKey) {
        if (virtualKey == VK_HOME || virtualKey == VK_END) return false;
        const auto count = static_cast<std::ptrdiff_t>(results_->size());
        const std::optional<std::ptrdiff_t> rows = ListMoveForKey(virtualKey, visibleRows_, count);
        if (!rows.has_value()) return false;
        if (count > 0) {
            highlight_ = static_cast<int>(std::clamp<std::ptrdiff_t>(std::max(highlight_, 0) + *rows, 0, count - 1));
            scrollToHighlight_ = true;
        }
        return true;
    }

private:
    void Search() {
        results_ = &search_.Find(query_);
        highlight_ = results_->empty() ? kNone : 0;
        scrollToHighlight_ = true;
    }

    // The field keeps the keyboard: typing always searches.
    void DrawField(const std::function<void(int)>& end) {
        ImGui::SetNextItemWidth(ImGui::GetContentRegionAvail().x - kOkWidth - ImGui::GetStyle().ItemSpacing.x);
        if (!fieldActive_ && !ImGui::IsMouseDown(ImGuiMouseButton_Left)) ImGui::SetKeyboardFocusHere();
        if (ImGui::InputTextWithHint("##search", "Words of a title, artist or path", &query_)) Search();
        fieldActive_ = ImGui::IsItemActive();
        ImGui::SameLine();
        if (ImGui::Button("OK", ImVec2(kOkWidth, 0))) end(IDOK);
    }

    void DrawResults(const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, kListPadding);
        ImGui::PushStyleVar(ImGuiStyleVar_ScrollbarSize, kScrollbarWidth);
        ImGui::BeginChild("results", ImVec2(0, 0), true, ImGuiWindowFlags_AlwaysVerticalScrollbar);
        ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
        if (scrollToHighlight_ && highlight_ != kNone) {
            const float top = static_cast<float>(highlight_) * kRowHeight;
            const float height = ImGui::GetWindowHeight() - 2 * kListPadding.y;
            if (top < ImGui::GetScrollY()) ImGui::SetScrollY(top);
            if (top + kRowHeight > ImGui::GetScrollY() + height) ImGui::SetScrollY(top + kRowHeight - height);
        }
        scrollToHighlight_ = false;
        bool chosen = false;
        ImGuiListClipper clipper;
        clipper.Begin(static_cast<int>(results_->size()), kRowHeight);
        while (clipper.Step()) {
            for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
                const size_t entry = static_cast<size_t>((*results_)[static_cast<size_t>(row)]);
                if (!DialogTextRow(row, list_.rowTexts[entry], row == highlight_, kRowHeight)) continue;
                highlight_ = row;
                chosen = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
            }
        }
        visibleRows_ = std::max(1, static_cast<int>((ImGui::GetWindowHeight() - 2 * kListPadding.y) / kRowHeight));
        ImGui::PopStyleVar();
        ImGui::EndChild();
        ImGui::PopStyleVar(2);
        if (chosen) end(IDOK);
    }

    const JumpToFileList& list_;
    PlaylistSearch search_;
    std::string query_;
    const std::vector<int32_t>* results_ = nullptr;
    int highlight_ = kNone;
    bool scrollToHighlight_ = false;
    bool fieldActive_ = false;
    int visibleRows_ = 1;
};

}  // namespace

std::optional<int32_t> ShowJumpToFileDialog(WindowManager& windows, const JumpToFileList& list) {
    JumpToFileDialog dialog(list);
    const auto content = [&](const std::function<void(int)>& end) { dialog.Draw(end); };
    const auto key = [&](uint32_t virtualKey) { return dialog.HandleKey(virtualKey); };
    if (RunDialog(windows, kTitle, content, IDOK, IDCANCEL, key) != IDOK) return std::nullopt;
    return dialog.Chosen();
}
