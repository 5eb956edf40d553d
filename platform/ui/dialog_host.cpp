#include "platform/ui/dialog_host.h"

#include <SDL.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include "platform/ui/clipboard.h"
#include "platform/ui/font.h"
#include "platform/ui/window_manager.h"
#include "platform/utf8.h"

namespace platform::ui {
namespace {

constexpr float kFontPixels = 13.0f;
// Frames drawn for each input change, until what ImGui settles late shows.
constexpr int kFramesPerChange = 3;
constexpr int kDialogTop = kNavigationBarHeight;
constexpr int kDialogHeight = kScreenHeight - kNavigationBarHeight;
// ImGui needs time to pass between frames; two frames drawn for one input
// are this far apart.
constexpr float kShortestFrameSeconds = 0.001f;

// The characters the dialogs can show: Latin, Greek and Cyrillic, general
// punctuation, the euro sign, and the replacement character that stands for
// bytes of a file name that are not UTF-8.
constexpr ImWchar kGlyphRanges[] = {0x0020, 0x024F, 0x0370, 0x03FF, 0x0400, 0x04FF, 0x2000, 0x206F,
                                    0x20AC, 0x20AC, 0xFFFD, 0xFFFD, 0};

// Characters beyond the ranges above (Chinese, Japanese, Korean and the
// rest) that dialogs have shown or been typed. They come from the fallback
// font, merged into the atlas, which is built again before the next frame
// once another arrives: the whole of those scripts would make an atlas of
// many megabytes.
class ExtraCharacters {
public:
    void Note(std::string_view text) {
        for (size_t index = 0; index < text.size();) {
            const char32_t character = NextCodePoint(text, index);
            if (InBaseRanges(character) || character > kLastAtlasCharacter || characters_.size() >= kMostCharacters) {
                continue;
            }
            if (characters_.insert(static_cast<ImWchar>(character)).second) ++generation_;
        }
    }
    const std::set<ImWchar>& Characters() const { return characters_; }
    uint64_t Generation() const { return generation_; }

private:
    // ImGui draws characters of the Basic Multilingual Plane only.
    static constexpr char32_t kLastAtlasCharacter = 0xFFFF;
    static constexpr size_t kMostCharacters = 8192;

    static bool InBaseRanges(char32_t character) {
        for (const ImWchar* range = kGlyphRanges; range[0] != 0; range += 2) {
            if (character >= range[0] && character <= range[1]) return true;
        }
        return character < kGlyphRanges[0];
    }

    std::set<ImWchar> characters_;
    uint64_t generation_ = 0;
};

ExtraCharacters& DialogCharacters() {
    static ExtraCharacters characters;
    return characters;
}

void NoteTypedCharacter(char32_t character) {
    std::string text;
    AppendUtf8(text, character);
    DialogCharacters().Note(text);
}

// The keys ImGui's text fields edit with, as the window system names them.
constexpr std::pair<ImGuiKey, uint32_t> kTextEditingKeys[] = {
    {ImGuiKey_Backspace, VK_BACK}, {ImGuiKey_Delete, VK_DELETE}, {ImGuiKey_LeftArrow, VK_LEFT},
    {ImGuiKey_RightArrow, VK_RIGHT}, {ImGuiKey_Home, VK_HOME},     {ImGuiKey_End, VK_END},
    // With Ctrl: select all, copy, paste, cut, undo and redo.
    {ImGuiKey_A, 'A'}, {ImGuiKey_C, 'C'}, {ImGuiKey_V, 'V'}, {ImGuiKey_X, 'X'}, {ImGuiKey_Z, 'Z'}, {ImGuiKey_Y, 'Y'},
};

// ImGui's copy and paste go through the desktop's clipboard.
const char* GetClipboardForImGui(void*) {
    static std::string pasted;  // ImGui reads it before asking again
    pasted = ReadClipboardText();
    return pasted.c_str();
}

void SetClipboardFromImGui(void*, const char* text) { WriteClipboardText(text); }

// The message box's buttons, in dialog coordinates (the dialog's top is the
// screen's y 26): one centred, or two side by side.
constexpr float kButtonWidth = 70;
constexpr float kButtonHeight = 26;
constexpr float kButtonGap = 20;
constexpr float kButtonTop = kDialogHeight - 50;
constexpr float kOneButtonLeft = (kScreenWidth - kButtonWidth) / 2;
constexpr float kTwoButtonsLeft = (kScreenWidth - 2 * kButtonWidth - kButtonGap) / 2;

// The ImGui context, made once, and the software renderer over the screen
// of the window manager that shows the dialog.
class ImGuiCanvas {
public:
    ImGuiCanvas() {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;  // nothing of the dialogs is stored
        io.DisplaySize = ImVec2(kScreenWidth, kScreenHeight);
        io.Fonts->AddFontFromFileTTF(kRegularFontPath, kFontPixels, nullptr, kGlyphRanges);
        for (const auto& [imguiKey, virtualKey] : kTextEditingKeys) io.KeyMap[imguiKey] = static_cast<int>(virtualKey);
        io.GetClipboardTextFn = GetClipboardForImGui;
        io.SetClipboardTextFn = SetClipboardFromImGui;
        // Frames are drawn only when input comes, so a blinking caret would freeze half the time.
        io.ConfigInputTextCursorBlink = false;
        ImGui::StyleColorsLight();
        ImGui::GetStyle().WindowRounding = 0;
        // Lines one pixel wide on whole pixels: anti-aliased, they came out
        // as one or two rows by the renderer's blending path on each processor.
        ImGui::GetStyle().AntiAliasedLines = false;
    }

    // Draws into `screen` from now on. A program has one window manager, but
    // tests make one after another, each with a screen of its own.
    void Attach(Framebuffer& screen) {
        if (screen.Data() == pixels_) return;
        if (renderer_ != nullptr) {
            ImGui_ImplSDLRenderer_Shutdown();
            SDL_DestroyRenderer(renderer_);
        }
        if (surface_ != nullptr) SDL_FreeSurface(surface_);
        pixels_ = screen.Data();
        surface_ = SDL_CreateRGBSurfaceWithFormatFrom(pixels_, kScreenWidth, kScreenHeight, 32, kScreenWidth * 4,
                                                      SDL_PIXELFORMAT_RGB888);
        renderer_ = surface_ != nullptr ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
        if (renderer_ != nullptr) ImGui_ImplSDLRenderer_Init(renderer_);
    }

    bool Usable() const { return renderer_ != nullptr; }

    void Render(uint64_t nowMs, const std::function<void()>& content) {
        ImGuiIO& io = ImGui::GetIO();
        if (atlasGeneration_ != DialogCharacters().Generation()) RebuildAtlas();
        const float elapsed = static_cast<float>(nowMs - std::min(nowMs, lastFrameMs_)) / 1000.0f;
        io.DeltaTime = std::max(elapsed, kShortestFrameSeconds);
        lastFrameMs_ = nowMs;
        ImGui_ImplSDLRenderer_NewFrame();
        ImGui::NewFrame();
        content();
        ImGui::Render();
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    }

private:
    // The base font again, with the fallback font's glyphs of the extra
    // characters merged in, and the renderer's texture of it.
    void RebuildAtlas() {
        ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
        atlasGeneration_ = DialogCharacters().Generation();
        ImFontGlyphRangesBuilder builder;
        for (const ImWchar character : DialogCharacters().Characters()) builder.AddChar(character);
        extraRanges_.clear();
        builder.BuildRanges(&extraRanges_);
        atlas.Clear();
        atlas.AddFontFromFileTTF(kRegularFontPath, kFontPixels, nullptr, kGlyphRanges);
        ImFontConfig merged;
        merged.MergeMode = true;
        if (std::filesystem::exists(kFallbackFontPath)) {
            atlas.AddFontFromFileTTF(kFallbackFontPath, kFontPixels, &merged, extraRanges_.Data);
        }
        atlas.Build();
        if (renderer_ != nullptr) {
            ImGui_ImplSDLRenderer_DestroyFontsTexture();
            ImGui_ImplSDLRenderer_CreateFontsTexture();
        }
    }

    uint64_t atlasGeneration_ = 0;
    ImVector<ImWchar> extraRanges_;  // read by the atlas until it is built again
    uint32_t* pixels_ = nullptr;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    uint64_t lastFrameMs_ = 0;
};

// A new dialog starts with no key or stylus held and no widget in use,
// whatever the last one saw before it closed. Nor does the stylus hover
// where it last lifted: the control it closed the last dialog with would
// show highlighted in the next.
void ForgetTheLastDialog() {
    ImGuiIO& io = ImGui::GetIO();
    std::fill(std::begin(io.KeysDown), std::end(io.KeysDown), false);
    io.KeyCtrl = io.KeyShift = io.KeyAlt = false;
    io.MouseDown[0] = false;
    io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
    ImGui::ClearActiveID();
}

ImGuiCanvas& Canvas(WindowManager& windows) {
    static ImGuiCanvas canvas;
    canvas.Attach(windows.Screen());
    return canvas;
}

// The window a dialog lives in: the whole screen below the navigation bar.
class DialogWindow final : public Window {
public:
    // `onKey` gets each key first and returns true when it took it.
    DialogWindow(WindowManager& windows, std::function<void()> content, std::function<bool(uint32_t)> onKey)
        : Window("Dialog"),
          windows_(windows),
          content_(std::move(content)),
          onKey_(std::move(onKey)),
          underneath_(windows.Screen()) {}

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
                TakeModifiers(static_cast<uint32_t>(lParam));
                // Escape closes an open drop-down list, not the dialog under it.
                if (wParam == VK_ESCAPE && !GImGui->OpenPopupStack.empty()) {
                    ImGui::ClosePopupToLevel(0, true);
                    Paint();
                    return 0;
                }
                if (!onKey_(static_cast<uint32_t>(wParam)) && wParam < std::size(io.KeysDown)) {
                    io.KeysDown[wParam] = true;
                }
                Paint();
                return 0;
            case WM_KEYUP:
                TakeModifiers(static_cast<uint32_t>(lParam));
                if (wParam < std::size(io.KeysDown) && io.KeysDown[wParam]) {
                    io.KeysDown[wParam] = false;
                    Paint();
                }
                return 0;
            case WM_CHAR:
                // Typed text comes with no shortcut held. The release of Ctrl
                // sends no key message of its own, and a text field takes
                // nothing typed while it thinks Ctrl is down.
                io.KeyCtrl = false;
                NoteTypedCharacter(static_cast<char32_t>(wParam));
                io.AddInputCharacterUTF16(static_cast<ImWchar16>(wParam));
                Paint();
                return 0;
            case WM_MOUSEWHEEL:
                // Unlike the stylus messages, the wheel's carries screen coordinates.
                io.MousePos = ImVec2(static_cast<float>(GET_X_LPARAM(lParam)),
                                     static_cast<float>(GET_Y_LPARAM(lParam)));
                io.MouseWheel += static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
                Paint();
                return 0;
            default:
                return DefaultHandleMessage(message, wParam, lParam);
        }
    }

private:
    // A key message carries the modifiers held with it.
    static void TakeModifiers(uint32_t modifiers) {
        ImGuiIO& io = ImGui::GetIO();
        io.KeyCtrl = (modifiers & MOD_CONTROL) != 0;
        io.KeyShift = (modifiers & MOD_SHIFT) != 0;
        io.KeyAlt = (modifiers & MOD_ALT) != 0;
    }

    // Each input change gets a frame of its own, drawn now, and more that
    // show at once what ImGui settles a frame or two late: windows that size
    // themselves (and a menu placed on the screen from that size), scroll
    // and focus requests. Each frame is drawn over what lay under the dialog,
    // so a window that moved or shrank leaves nothing behind.
    void Paint() {
        windows_.ScreenChanged();
        const uint64_t now = windows_.NowMs();
        for (int frame = 0; frame < kFramesPerChange; ++frame) {
            RestoreUnderneath();
            Canvas(windows_).Render(now, content_);
        }
    }

    // Below the navigation bar only: the bar shows this dialog's title now,
    // not the one it showed when the dialog opened.
    void RestoreUnderneath() {
        Framebuffer& screen = windows_.Screen();
        const uint32_t* end = underneath_.Data() + underneath_.Pixels().size();
        std::copy(underneath_.Row(kDialogTop), end, screen.Row(kDialogTop));
        screen.MarkChanged();
    }

    WindowManager& windows_;
    std::function<void()> content_;
    std::function<bool(uint32_t)> onKey_;
    // The screen as it was when the dialog opened; the windows under it do
    // not draw while it covers them.
    const Framebuffer underneath_;
};

}  // namespace

namespace {

// RunImGuiModal, which also ends with `finishedResult` once `finished` (when
// given) says so; the loop looks at it each time it wakes.
int RunModal(WindowManager& windows, const std::string& title,
             const std::function<void(const std::function<void(int)>& end)>& frame, int enterResult,
             int escapeResult, const DialogKeyHandler& onKey, const std::function<bool()>& finished,
             int finishedResult, int bottom = kScreenHeight) {
    if (!Canvas(windows).Usable()) return escapeResult;
    ForgetTheLastDialog();
    bool ended = false;
    int result = escapeResult;
    const std::function<void(int)> end = [&](int value) {
        if (ended) return;
        ended = true;
        result = value;
    };
    const auto key = [&](uint32_t virtualKey) {
        if (onKey && onKey(virtualKey)) return true;
        if (virtualKey == VK_RETURN) end(enterResult);
        if (virtualKey == VK_ESCAPE) end(escapeResult);
        return virtualKey == VK_RETURN || virtualKey == VK_ESCAPE;
    };
    DialogWindow dialog(windows, [&] { frame(end); }, key);
    Window* previousFocus = windows.Focus();
    if (!windows.CreateWindow(dialog, nullptr, title, {0, kDialogTop, kScreenWidth, bottom}, true)) {
        return escapeResult;
    }
    windows.SetFocus(&dialog);
    windows.RunModalLoop([&] {
        if (!ended && finished && finished()) end(finishedResult);
        return ended;
    });
    windows.DestroyWindow(dialog);
    windows.SetFocus(previousFocus);
    // What lay under the dialog shows again.
    for (Window* window = previousFocus; window != nullptr; window = window->Parent()) {
        if (window->Parent() == nullptr) windows.InvalidateWindow(*window);
    }
    return result;
}

}  // namespace

int RunImGuiModal(WindowManager& windows, const std::string& title,
                  const std::function<void(const std::function<void(int)>& end)>& frame, int enterResult,
                  int escapeResult, const DialogKeyHandler& onKey, int bottom) {
    return RunModal(windows, title, frame, enterResult, escapeResult, onKey, {}, escapeResult, bottom);
}

int RunDialog(WindowManager& windows, const std::string& title,
              const std::function<void(const std::function<void(int)>& end)>& content, int enterResult,
              int escapeResult, const DialogKeyHandler& onKey) {
    const auto frame = [&](const std::function<void(int)>& end) {
        ImGui::SetNextWindowPos(ImVec2(0, kDialogTop));
        ImGui::SetNextWindowSize(ImVec2(kScreenWidth, kDialogHeight));
        ImGui::Begin("dialog", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
        content(end);
        ImGui::End();
    };
    return RunImGuiModal(windows, title, frame, enterResult, escapeResult, onKey);
}

void NoteDialogText(std::string_view text) { DialogCharacters().Note(text); }

int MessageBox(WindowManager& windows, const std::string& text, const std::string& caption, uint32_t type) {
    const bool withCancel = (type & MB_OKCANCEL) != 0;
    NoteDialogText(text);
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

int WaitBox(WindowManager& windows, const std::string& text, const std::string& caption,
            const std::function<bool()>& finished) {
    const auto frame = [&](const std::function<void(int)>& end) {
        ImGui::SetNextWindowPos(ImVec2(0, kDialogTop));
        ImGui::SetNextWindowSize(ImVec2(kScreenWidth, kDialogHeight));
        ImGui::Begin("wait", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
        ImGui::PushTextWrapPos(kScreenWidth - 16.0f);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::SetCursorPos(ImVec2(kOneButtonLeft, kButtonTop));
        if (ImGui::Button("Cancel", ImVec2(kButtonWidth, kButtonHeight))) end(IDCANCEL);
        ImGui::End();
    };
    // Enter cancels nothing: it may be meant for what comes after the wait.
    const DialogKeyHandler ignoreEnter = [](uint32_t virtualKey) { return virtualKey == VK_RETURN; };
    return RunModal(windows, caption, frame, IDCANCEL, IDCANCEL, ignoreEnter, finished, IDOK);
}

std::optional<std::ptrdiff_t> ListMoveForKey(uint32_t virtualKey, std::ptrdiff_t pageRows, std::ptrdiff_t allRows) {
    switch (virtualKey) {
        case VK_UP: return -1;
        case VK_DOWN: return 1;
        case VK_PRIOR: return -pageRows;
        case VK_NEXT: return pageRows;
        case VK_HOME: return -allRows;
        case VK_END: return allRows;
        default: return std::nullopt;
    }
}

}  // namespace platform::ui
