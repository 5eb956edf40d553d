#include "platform/ui/popup_menu.h"

#include <imgui.h>

#include <algorithm>

#include "platform/ui/dialog_host.h"
#include "platform/ui/window_manager.h"

namespace platform::ui {

void CheckMenuItem(Menu& menu, uint32_t command, bool checked) {
    for (MenuItem& item : menu) {
        if (item.command == command) item.checked = checked;
    }
}

uint32_t TrackPopupMenu(WindowManager& windows, const Menu& menu, uint32_t flags, int x, int y, Window& owner) {
    // Where (x, y) sits on the menu: its left, centre or right, top, middle or bottom.
    const float pivotX = (flags & TPM_RIGHTALIGN) ? 1.0f : (flags & TPM_CENTERALIGN) ? 0.5f : 0.0f;
    const float pivotY = (flags & TPM_BOTTOMALIGN) ? 1.0f : (flags & TPM_VCENTERALIGN) ? 0.5f : 0.0f;
    // The menu's size as last drawn. The menu is kept on the screen, as the
    // handheld keeps it, by placing it from that size before it is drawn: a
    // correction made after its items were laid out would show only in the
    // next frame, and the next frame places it from (x, y) again.
    ImVec2 size(0, 0);
    // Nor does it leave the rows in view: on the desktop, the window ends
    // below the last window shown, not at the screen's foot.
    const float bottom = static_cast<float>(windows.ShownHeight());
    const auto frame = [&](const std::function<void(int)>& end) {
        const float left = std::clamp(static_cast<float>(x) - pivotX * size.x, 0.0f, std::max(0.0f, kScreenWidth - size.x));
        const float top = std::clamp(static_cast<float>(y) - pivotY * size.y, float{kNavigationBarHeight},
                                     std::max(float{kNavigationBarHeight}, bottom - size.y));
        ImGui::SetNextWindowPos(ImVec2(left, top));
        ImGui::Begin("menu", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings);
        for (const MenuItem& item : menu) {
            if (item.text.empty()) {
                ImGui::Separator();
            } else if (ImGui::MenuItem(item.text.c_str(), nullptr, item.checked, item.enabled)) {
                end(static_cast<int>(item.command));
            }
        }
        size = ImGui::GetWindowSize();
        const bool tappedOutside = ImGui::IsMouseReleased(0) && !ImGui::IsWindowHovered(ImGuiHoveredFlags_AnyWindow);
        ImGui::End();
        if (tappedOutside) end(0);
    };
    // The navigation bar keeps the title of the owner's top-level window.
    const Window* topLevel = &owner;
    while (topLevel->Parent() != nullptr) topLevel = topLevel->Parent();
    const auto command =
        static_cast<uint32_t>(RunImGuiModal(windows, topLevel->Title(), frame, 0, 0, {}, windows.ShownHeight()));
    if (flags & TPM_RETURNCMD) return command;
    if (command != 0) owner.PostMessage(WM_COMMAND, command, 0);
    return command != 0 ? 1 : 0;
}

}  // namespace platform::ui
