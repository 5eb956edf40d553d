#include "ui/options/options_sheet.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <array>
#include <functional>
#include <memory>

#include "platform/ui/dialog_host.h"
#include "ui/buttons/hardware_buttons.h"
#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"
#include "ui/shell/application.h"

using namespace platform::ui;

namespace {

constexpr const char* kTitle = "Options";
// Ends the sheet's loop for a dialog a page opens; the sheet then goes on.
constexpr int kRunAfterFrame = 3;

struct Tab {
    const char* title;
    const char* heading;
};
constexpr std::array<Tab, 5> kTabs{{
    {"About", "About"},
    {"General", "General"},
    {"Skin", "Select Skin"},
    {"Buttons", "Buttons"},
    {"MultiFunc", "Multi Function"},
}};
enum PageIndex : size_t { kAboutPage, kGeneralPage, kSkinPage, kButtonsPage, kMultiFunctionPage };
constexpr uint32_t kTabKey = 0x09;

const ImVec2 kWindowPadding{4, 4};
const ImVec2 kItemSpacing{4, 2};
constexpr float kOkWidth = 44;
constexpr float kCancelWidth = 56;
constexpr float kTabHeight = 24;

class OptionsSheet {
public:
    explicit OptionsSheet(Application& application) : application_(application) { Open(kAboutPage); }

    int Run() {
        const auto frame = [this](const std::function<void(int)>& end) { Draw(end); };
        const auto key = [this](uint32_t virtualKey) { return HandleKey(virtualKey); };
        for (;;) {
            const int result = RunImGuiModal(application_.Windows(), kTitle, frame, IDOK, IDCANCEL, key);
            if (result != kRunAfterFrame) return result;
            const std::function<void()> action = std::move(pending_);
            pending_ = nullptr;
            action();
        }
    }

    // Pages never opened were never made, and so apply nothing.
    void Apply() {
        for (const std::unique_ptr<OptionsPage>& page : pages_) {
            if (page != nullptr) page->Apply();
        }
    }

private:
    void Open(size_t index) {
        shown_ = index;
        if (pages_[index] != nullptr) return;
        Settings& settings = g_settings;
        switch (index) {
            case kAboutPage: pages_[index] = std::make_unique<AboutPage>(); break;
            case kGeneralPage: pages_[index] = std::make_unique<GeneralPage>(settings, application_.Windows()); break;
            case kSkinPage: pages_[index] = std::make_unique<SkinPage>(settings, application_); break;
            case kButtonsPage: pages_[index] = std::make_unique<ButtonsPage>(settings); break;
            case kMultiFunctionPage: pages_[index] = std::make_unique<MultiFunctionPage>(settings); break;
        }
    }

    void Draw(const std::function<void(int)>& end) {
        ImGui::SetNextWindowPos(ImVec2(0, kNavigationBarHeight));
        ImGui::SetNextWindowSize(ImVec2(kScreenWidth, kScreenHeight - kNavigationBarHeight));
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, kWindowPadding);
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, options::kFramePadding);
        ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, kItemSpacing);
        ImGui::Begin("options", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_NoScrollbar);
        DrawTopLine(end);
        const float pageHeight = ImGui::GetContentRegionAvail().y - kTabHeight - kItemSpacing.y;
        ImGui::BeginChild(kTabs[shown_].title, ImVec2(0, pageHeight));
        pages_[shown_]->Draw([this](std::function<void()> action) { pending_ = std::move(action); });
        ImGui::EndChild();
        DrawTabs();
        ImGui::End();
        ImGui::PopStyleVar(3);
        if (pending_) end(kRunAfterFrame);
    }

    // The page's heading, with OK and Cancel at the right as in a title bar.
    void DrawTopLine(const std::function<void(int)>& end) {
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(kTabs[shown_].heading);
        ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - kOkWidth - kCancelWidth - kItemSpacing.x);
        if (ImGui::Button("OK", ImVec2(kOkWidth, 0))) end(IDOK);
        ImGui::SameLine();
        if (ImGui::Button("Cancel", ImVec2(kCancelWidth, 0))) end(IDCANCEL);
    }

    // A row of tabs at the bottom, each as wide as its title needs and the
    // spare width shared out; the shown page's tab looks pressed.
    void DrawTabs() {
        float titles = 0;
        for (const Tab& tab : kTabs) titles += ImGui::CalcTextSize(tab.title).x;
        const float width = ImGui::GetContentRegionAvail().x;
        const float spare = (width - titles) / static_cast<float>(kTabs.size());
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - kWindowPadding.y - kTabHeight);
        ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(0, 0));
        for (size_t index = 0; index < kTabs.size(); ++index) {
            if (index > 0) ImGui::SameLine();
            const bool shown = index == shown_;
            if (shown) ImGui::PushStyleColor(ImGuiCol_Button, ImGui::GetColorU32(ImGuiCol_ButtonActive));
            const ImVec2 size{ImGui::CalcTextSize(kTabs[index].title).x + spare, kTabHeight};
            if (ImGui::Button(kTabs[index].title, size)) Open(index);
            if (shown) ImGui::PopStyleColor();
        }
        ImGui::PopStyleVar(2);
    }

    // The shown page sees keys first (the Buttons page maps the hardware
    // keys). While a text field has the keyboard, Enter and Escape only
    // leave it; otherwise Tab and the side arrows change pages.
    bool HandleKey(uint32_t virtualKey) {
        if (pages_[shown_]->HandleKey(virtualKey)) return true;
        if (ImGui::GetIO().WantTextInput) {
            if (virtualKey != VK_RETURN && virtualKey != VK_ESCAPE) return false;
            ImGui::ClearActiveID();
            return true;
        }
        switch (virtualKey) {
            case kTabKey:
            case VK_RIGHT: Open((shown_ + 1) % kTabs.size()); return true;
            case VK_LEFT: Open((shown_ + kTabs.size() - 1) % kTabs.size()); return true;
            default: return false;
        }
    }

    Application& application_;
    std::array<std::unique_ptr<OptionsPage>, kTabs.size()> pages_;
    size_t shown_ = 0;
    std::function<void()> pending_;
};

}  // namespace

void ShowOptions(Application& application) {
    // The fourteen keys reach the sheet only while no hot key holds them.
    ReleaseAllButtons(application.Windows(), application.Frame());
    OptionsSheet sheet(application);
    if (sheet.Run() == IDOK) sheet.Apply();
    // The keys as the sheet left them mapped; the focus came back before
    // the pages applied.
    ClaimButtons(application.Windows(), application.Frame());
}
