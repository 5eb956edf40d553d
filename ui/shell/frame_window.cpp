#include "ui/shell/frame_window.h"

#include "platform/ui/window_manager.h"
#include "ui/buttons/hardware_buttons.h"
#include "ui/shell/application.h"
#include "ui/shell/desktop_keys.h"

using namespace platform::ui;

// The frame has nothing of its own to draw: only its class's white
// background shows where no child covers it.
void FrameWindow::PaintBackground() {
    DeviceContext context = Manager()->GetDC(*this);
    const Rect area = ScreenRect();
    context.FillRect({0, 0, area.Width(), area.Height()}, RGB(0xFF, 0xFF, 0xFF));
}

LRESULT FrameWindow::HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            application_.OnFrameDestroyed();
            return 0;
        case WM_SETFOCUS:
            application_.OnFocusGained();
            return 0;
        case WM_KILLFOCUS:
            application_.OnFocusLost();
            return 0;
        case WM_PAINT:
            PaintBackground();
            return 0;
        case WM_HOTKEY:
            HandleHotKey(application_, static_cast<uint32_t>(HIWORD(static_cast<uintptr_t>(lParam))));
            return 0;
        case WM_RELAYOUT:
            application_.LayoutWindows();
            return 0;
        case WM_BRING_FORWARD:
            application_.BringForward();
            return 0;
        case WM_OPEN_REQUESTED:
            application_.OpenRequested();
            return 0;
        case WM_DESKTOP_BUS_COMMAND:
            application_.RunDesktopBusCommands();
            return 0;
        case WM_DROPFILES:
            application_.OnDrop(wParam, reinterpret_cast<const char*>(lParam));
            return 0;
        case WM_KEYDOWN:
            HandleDesktopKey(application_, static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return 0;
        default:
            return DefaultHandleMessage(message, wParam, lParam);
    }
}
