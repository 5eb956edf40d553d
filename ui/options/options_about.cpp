// The "About" page: the program's icon, a picture and its version.

#include <imgui.h>

#include "platform/ui/module_resources.h"
#include "resources/resource_ids.h"
#include "resources/tunelark_module.h"
#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"

namespace {

constexpr const char* kVersionText = "Tunelark v" TUNELARK_VERSION;
constexpr int kIconSide = 32;
// The picture is the icon again, drawn large.
constexpr int kPictureScale = 3;
constexpr float kPictureGap = 24;

}  // namespace

AboutPage::AboutPage() : icon_(platform::ui::LoadIconImage(TunelarkModule(), IDI_TUNELARK, kIconSide)) {}

AboutPage::~AboutPage() {
    if (icon_ != nullptr) platform::ui::DeleteObject(icon_);
}

void AboutPage::Draw(const RunAfterFrame& /*runAfterFrame*/) {
    options::Picture("icon", icon_);
    ImGui::SameLine();
    const float iconTop = ImGui::GetItemRectMin().y;
    ImGui::SetCursorScreenPos(
        ImVec2(ImGui::GetCursorScreenPos().x, iconTop + (kIconSide - ImGui::GetFontSize()) / 2));
    ImGui::TextUnformatted(kVersionText);
    ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x, iconTop + kIconSide + kPictureGap));
    const float pictureSide = static_cast<float>(kIconSide * kPictureScale);
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - pictureSide) / 2);
    options::Picture("picture", icon_, kPictureScale);
}
