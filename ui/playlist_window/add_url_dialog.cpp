#include "ui/playlist_window/add_url_dialog.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <functional>

#include "platform/ui/clipboard.h"
#include "platform/ui/dialog_host.h"

namespace {

constexpr const char* kTitle = "Add URL";
constexpr const char* kPrompt = "Address of a stream or a station list:";
const ImVec2 kFramePadding{6, 4};
constexpr float kButtonWidth = 64;
constexpr float kButtonHeight = 24;
constexpr float kButtonGap = 8;
constexpr float kFieldGap = 6;

// The field and what it shows. ImGui edits its own copy of a field while it
// is active, so a paste into `text` restarts the editing with the new text.
class AddressField {
public:
    std::string text;

    void Draw() {
        if (text != shown_) {
            caretToEnd_ = true;
            if (ImGui::GetActiveID() == ImGui::GetID("##address")) ImGui::ClearActiveID();
        }
        // Typing always goes to the field, except while the stylus is down
        // (the request would take the tap from what it hit).
        if (ImGui::GetActiveID() == 0 && !ImGui::IsMouseDown(ImGuiMouseButton_Left)) ImGui::SetKeyboardFocusHere();
        ImGui::SetNextItemWidth(-FLT_MIN);
        const auto placeCaret = [](ImGuiInputTextCallbackData* data) {
            auto& field = *static_cast<AddressField*>(data->UserData);
            if (field.caretToEnd_) data->CursorPos = data->SelectionStart = data->SelectionEnd = data->BufTextLen;
            field.caretToEnd_ = false;
            return 0;
        };
        ImGui::InputText("##address", &text, ImGuiInputTextFlags_CallbackAlways, placeCaret, this);
        shown_ = text;
    }

private:
    std::string shown_;
    bool caretToEnd_ = false;  // after a paste, typing goes on at the end
};

}  // namespace

std::string CleanAddressText(const std::string& text) {
    std::string cleaned;
    std::copy_if(text.begin(), text.end(), std::back_inserter(cleaned), [](char c) { return c != '\r' && c != '\n'; });
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    const auto first = std::find_if_not(cleaned.begin(), cleaned.end(), isSpace);
    const auto last = std::find_if_not(cleaned.rbegin(), cleaned.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

bool ShowAddUrlDialog(platform::ui::WindowManager& windows, std::string& url) {
    using namespace platform::ui;
    AddressField field;
    const auto content = [&](const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, kFramePadding);
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1);
        ImGui::PushTextWrapPos(0);
        ImGui::TextUnformatted(kPrompt);
        ImGui::PopTextWrapPos();
        ImGui::Dummy(ImVec2(0, kFieldGap));
        field.Draw();
        ImGui::Dummy(ImVec2(0, kFieldGap));
        if (ImGui::Button("Paste", ImVec2(kButtonWidth, kButtonHeight))) field.text = CleanAddressText(ReadClipboardText());
        const float right = ImGui::GetWindowContentRegionMax().x;
        ImGui::SameLine(right - 2 * kButtonWidth - kButtonGap);
        if (ImGui::Button("OK", ImVec2(kButtonWidth, kButtonHeight))) end(IDOK);
        ImGui::SameLine(right - kButtonWidth);
        if (ImGui::Button("Cancel", ImVec2(kButtonWidth, kButtonHeight))) end(IDCANCEL);
        ImGui::PopStyleVar(2);
    };
    if (RunDialog(windows, kTitle, content, IDOK, IDCANCEL) != IDOK) return false;
    url = CleanAddressText(field.text);
    return true;
}
