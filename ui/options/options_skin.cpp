// The "Skin" page: the directory the skin is loaded from, or the base skin.

#include <imgui.h>
#include <imgui_stdlib.h>

#include "platform/path_text.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/file_dialog.h"
#include "resources/string_table.h"
#include "ui/dialogs/directory_browser.h"
#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"
#include "ui/shell/application.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_archive.h"

namespace {

constexpr const char* kExplanation =
    "Choose the directory that holds the extracted skin files.\n\n"
    "A skin on a storage card takes a while to load.";
constexpr const char* kCorrectPath = "Correct path of the skin file.";
constexpr const char* kWrongPath = "Wrong path of the skin file.";
const platform::ui::FileFilter kArchiveFilter{"Skin archives (*.wsz;*.zip)", "*.wsz;*.zip"};
constexpr float kButtonGap = 4;
constexpr int kButtons = 3;
constexpr float kParagraphGap = 8;

}  // namespace

SkinPage::SkinPage(Settings& settings, Application& application)
    : directory(settings.SkinDir), settings_(settings), application_(application) {}

void SkinPage::Draw(const RunAfterFrame& runAfterFrame) {
    ImGui::PushTextWrapPos(0);
    ImGui::TextUnformatted(kExplanation);
    ImGui::PopTextWrapPos();
    ImGui::Dummy(ImVec2(0, kParagraphGap));
    ImGui::TextUnformatted("Current Skin Directory");
    ImGui::SetNextItemWidth(-1);
    ImGui::InputText("##directory", &directory, ImGuiInputTextFlags_AutoSelectAll);
    ImGui::Dummy(ImVec2(0, kParagraphGap));
    const float width = (ImGui::GetContentRegionAvail().x - kButtonGap * (kButtons - 1)) / kButtons;
    const ImVec2 size{width, options::kRowHeight + 4};
    if (ImGui::Button("Browser...", size)) runAfterFrame([this] { Browse(); });
    ImGui::SameLine(0, kButtonGap);
    if (ImGui::Button("Skin Check", size)) runAfterFrame([this] { Check(); });
    ImGui::SameLine(0, kButtonGap);
    if (ImGui::Button("BaseSkin", size)) UseBaseSkin();
    if (ImGui::Button("Skin archive (.wsz, .zip)...", ImVec2(-1, size.y))) runAfterFrame([this] { ChooseArchive(); });
}

void SkinPage::ChooseArchive() {
    platform::ui::OpenFileName request;
    request.title = "Skin archive";
    request.filters = {kArchiveFilter};
    request.initialDirectory = IsSkinArchiveName(directory) ? platform::DirectoryPart(directory) : directory;
    if (platform::ui::GetOpenFileName(application_.Windows(), request)) directory = request.file;
}

void SkinPage::Browse() {
    std::string chosen = directory;
    if (BrowseForDirectory(application_.Windows(), application_.Frame(), chosen) == platform::ui::IDOK) {
        directory = chosen;
    }
}

void SkinPage::Check() {
    if (directory == kBaseSkinDir) return;
    // A refused archive says why, rather than only that the path is wrong.
    std::string archiveError;
    if (IsSkinArchiveName(directory)) archiveError = UnpackSkinArchive(directory).error;
    const bool correct = archiveError.empty() && CheckSkinDirectory(directory);
    const std::string message = correct ? kCorrectPath : archiveError.empty() ? kWrongPath : archiveError;
    platform::ui::MessageBox(application_.Windows(), message, kProgramCaption, platform::ui::MB_OK);
    if (!correct) UseBaseSkin();
}

void SkinPage::UseBaseSkin() { directory = kBaseSkinDir; }

// A directory that fails the check leaves the skin in use, silently.
void SkinPage::Apply() {
    if (directory == settings_.SkinDir) return;
    platform::ui::WindowManager& windows = application_.Windows();
    windows.BeginWaitCursor();
    bool loaded = false;
    if (directory == kBaseSkinDir) {
        loaded = LoadBaseSkin();
    } else if (CheckSkinDirectory(directory)) {
        loaded = LoadSkinDirectory(directory);
    }
    if (loaded) {
        settings_.SkinDir = directory;
        windows.InvalidateWindow(application_.Frame());
    }
    windows.EndWaitCursor();
}
