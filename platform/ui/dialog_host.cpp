#include "platform/ui/dialog_host.h"

#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_sdlrenderer.h>

#include "platform/ui/font.h"
#include "platform/ui/window_manager.h"

namespace platform::ui {
namespace {

constexpr float kFontPixels = 13.0f;
constexpr int kDialogTop = kNavigationBarHeight;
constexpr int kDialogHeight = kScreenHeight - kNavigationBarHeight;

// The message box's buttons, in dialog coordinates (the dialog's top is the
// screen's y 26): one centred, or two side by side.
constexpr float kButtonWidth = 70;
constexpr float kButtonHeight = 26;
constexpr float kButtonGap = 20;
constexpr float kButtonTop = kDialogHeight - 50;
constexpr float kOneButtonLeft = (kScreenWidth - kButtonWidth) / 2;
constexpr float kTwoButtonsLeft = (kScreenWidth - 2 * kButtonWidth - kButtonGap) / 2;

// The ImGui context and the software renderer over the screen; made once.
class ImGuiCanvas {
public:
    explicit ImGuiCanvas(Framebuffer& screen) {
        surface_ = SDL_CreateRGBSurfaceWithFormatFrom(screen.Data(), kScreenWidth, kScreenHeight, 32,
                                                      kScreenWidth * 4, SDL_PIXELFORMAT_RGB888);
        renderer_ = surface_ != nullptr ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;  // nothing of the dialogs is stored
        io.DisplaySize = ImVec2(kScreenWidth, kScreenHeight);
        io.Fonts->AddFontFromFileTTF(kRegularFontPath, kFontPixels);
        ImGui::StyleColorsLight();
        ImGui::GetStyle().WindowRounding = 0;
        if (renderer_ != nullptr) ImGui_ImplSDLRenderer_Init(renderer_);
    }

    bool Usable() const { return renderer_ != nullptr; }

    void Render(const std::function<void()>& content) {
        ImGuiIO& io = ImGui::GetIO();
        io.DeltaTime = 1.0f / 30.0f;
        ImGui_ImplSDLRenderer_NewFrame();
        ImGui::NewFrame();
        content();
        ImGui::Render();
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    }

private:
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

ImGuiCanvas& Canvas(WindowManager& windows) {
    // The screen lives as long as the window manager; one per process.
    static ImGuiCanvas canvas(windows.Screen());
    return canvas;
}

// The window a dialog lives in: the whole screen below the navigation bar.
class DialogWindow final : public Window {
public:
    DialogWindow(WindowManager& windows, std::function<void()> content, std::function<void(uint32_t)> onKey)
        : Window("Dialog"), windows_(windows), content_(std::move(content)), onKey_(std::move(onKey)) {}

    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        ImGuiIO& io = ImGui::GetIO();
        switch (message) {
            case WM_PAINT:
                Paint();
                return 0;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_MOUSEMOVE:
            case WM_LBUTTONUP:
                io.MousePos = ImVec2(static_cast<float>(GET_X_LPARAM(lParam)),
                                     static_cast<float>(GET_Y_LPARAM(lParam) + kDialogTop));
                io.MouseDown[0] = message != WM_LBUTTONUP;
                Paint();
                return 0;
            case WM_KEYDOWN:
                onKey_(static_cast<uint32_t>(wParam));
                return 0;
            default:
                return DefaultHandleMessage(message, wParam, lParam);
        }
    }

private:
    // One ImGui frame, drawn now: each input change gets a frame of its own.
    void Paint() {
        windows_.ScreenChanged();
        Canvas(windows_).Render(content_);
    }

    WindowManager& windows_;
    std::function<void()> content_;
    std::function<void(uint32_t)> onKey_;
};

}  // namespace

int RunImGuiModal(WindowManager& windows, const std::string& title,
                  const std::function<void(const std::function<void(int)>& end)>& frame, int enterResult,
                  int escapeResult) {
    if (!Canvas(windows).Usable()) return escapeResult;
    bool ended = false;
    int result = escapeResult;
    const std::function<void(int)> end = [&](int value) {
        if (ended) return;
        ended = true;
        result = value;
    };
    const auto key = [&](uint32_t virtualKey) {
        if (virtualKey == VK_RETURN) end(enterResult);
        if (virtualKey == VK_ESCAPE) end(escapeResult);
    };
    DialogWindow dialog(windows, [&] { frame(end); }, key);
    Window* previousFocus = windows.Focus();
    if (!windows.CreateWindow(dialog, nullptr, title, {0, kDialogTop, kScreenWidth, kScreenHeight}, true)) {
        return escapeResult;
    }
    windows.SetFocus(&dialog);
    windows.RunModalLoop([&] { return ended; });
    windows.DestroyWindow(dialog);
    windows.SetFocus(previousFocus);
    // What lay under the dialog shows again.
    for (Window* window = previousFocus; window != nullptr; window = window->Parent()) {
        if (window->Parent() == nullptr) windows.InvalidateWindow(*window);
    }
    return result;
}

int RunDialog(WindowManager& windows, const std::string& title,
              const std::function<void(const std::function<void(int)>& end)>& content, int enterResult,
              int escapeResult) {
    const auto frame = [&](const std::function<void(int)>& end) {
        ImGui::SetNextWindowPos(ImVec2(0, kDialogTop));
        ImGui::SetNextWindowSize(ImVec2(kScreenWidth, kDialogHeight));
        ImGui::Begin("dialog", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
        content(end);
        ImGui::End();
    };
    return RunImGuiModal(windows, title, frame, enterResult, escapeResult);
}

int MessageBox(WindowManager& windows, const std::string& text, const std::string& caption, uint32_t type) {
    const bool withCancel = (type & MB_OKCANCEL) != 0;
    return RunDialog(
        windows, caption,
        [&](const std::function<void(int)>& end) {
            ImGui::PushTextWrapPos(kScreenWidth - 16.0f);
            ImGui::TextUnformatted(text.c_str());
            ImGui::PopTextWrapPos();
            ImGui::SetCursorPos(ImVec2(withCancel ? kTwoButtonsLeft : kOneButtonLeft, kButtonTop));
            if (ImGui::Button("OK", ImVec2(kButtonWidth, kButtonHeight))) end(IDOK);
            if (withCancel) {
                ImGui::SameLine(0, kButtonGap);
                if (ImGui::Button("Cancel", ImVec2(kButtonWidth, kButtonHeight))) end(IDCANCEL);
            }
        },
        IDOK, withCancel ? IDCANCEL : IDOK);
}

}  // namespace platform::ui
