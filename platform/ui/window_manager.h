#pragma once

// The window system of the player's one user-interface thread: windows and
// their creation and destruction order, the message queue (posted from any
// thread, dispatched on this one), SendMessage, per-window timers, focus,
// paint requests, stylus and key input with hot keys, and the message loop.
// The screen is one 240 x 320 framebuffer; the backend shows it.
//
// Order within one turn of the loop, as on the handheld: input and posted
// messages first, in arrival order; then WM_TIMER for each due timer; then
// WM_PAINT for windows that need it; then the screen is presented if
// anything drew.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/device_context.h"
#include "platform/ui/framebuffer.h"
#include "platform/ui/ui_backend.h"
#include "platform/ui/window.h"

namespace platform::ui {

struct Message {
    Window* window = nullptr;  // nullptr for WM_QUIT
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class WindowManager {
public:
    explicit WindowManager(UiBackend& backend);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Makes `window` a window: a child of `parent` (or top-level) at
    // `placement` relative to the parent. Sends WM_CREATE; false when the
    // window refuses it (returns -1) or already exists.
    bool CreateWindow(Window& window, Window* parent, const std::string& title, Rect placement, bool visible);
    // Sends WM_DESTROY to the window, then destroys its children, last to
    // first; kills its timers and drops its hot keys and queued messages.
    void DestroyWindow(Window& window);
    // The first top-level window of that class, or nullptr.
    Window* FindWindow(const std::string& className) const;

    LRESULT SendMessage(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam);
    // Callable from any thread. A message for a window that no longer exists is dropped.
    void PostMessage(Window* window, uint32_t message, WPARAM wParam, LPARAM lParam);
    void PostQuitMessage(int exitCode);

    // Periodic timers per window and id; setting an existing one restarts it.
    void SetTimer(Window& window, uintptr_t id, uint32_t periodMs);
    void KillTimer(Window& window, uintptr_t id);

    // Places the window at (x, y) in its parent with that size; repaints it
    // (and what its old place uncovers) when asked.
    void MoveWindow(Window& window, int x, int y, int width, int height, bool repaint);
    void ShowWindow(Window& window, bool visible);
    void InvalidateWindow(Window& window);
    // Paints the window now if it needs it.
    void UpdateWindow(Window& window);
    // Marks the screen as drawn on, so the loop presents it.
    void ScreenChanged() { screenChanged_ = true; }
    // The wait cursor, for long operations; calls nest, and the normal
    // cursor comes back when the outermost one ends.
    void BeginWaitCursor();
    void EndWaitCursor();
    bool WaitCursorShown() const { return waitCursorDepth_ > 0; }
    // The display's power: while off the screen shows black, whatever is drawn.
    void SetDisplayPower(bool on);
    bool DisplayPowerOn() const { return displayOn_; }
    // Whether the desktop shows the window at all; when it shows it again
    // after a minimize, every window is painted anew.
    bool WindowShown() const { return backend_.WindowShown(); }

    void SetFocus(Window* window);
    Window* Focus() const { return focus_; }

    // Claims a key: its presses reach `window` as WM_HOTKEY (wParam the id,
    // lParam the modifiers in the low and the key in the high word) instead
    // of WM_KEYDOWN. False when another window holds the key or the id.
    bool RegisterHotKey(Window& window, int id, uint32_t modifiers, uint32_t virtualKey);
    bool UnregisterHotKey(Window& window, int id);

    // The message loop: runs until WM_QUIT and returns its exit code.
    int RunMessageLoop();
    // Runs a nested loop until `finished` holds or WM_QUIT arrives (which is
    // then posted again for the outer loop). Timers, posted messages and
    // painting go on meanwhile: this is how modal dialogs run.
    void RunModalLoop(const std::function<bool()>& finished);
    // Handles everything that is due now without waiting: input, posted
    // messages, timers, paints. Returns false once WM_QUIT was seen.
    bool PumpPending();
    bool QuitReceived() const { return quitReceived_; }
    int ExitCode() const { return exitCode_; }

    uint64_t NowMs() { return backend_.NowMs(); }
    UiBackend& Backend() { return backend_; }
    // The screen, kScreenWidth x kScreenHeight pixels of 0x00RRGGBB.
    Framebuffer& Screen() { return screen_; }
    // The rows of the screen the desktop window shows: down to the foot of
    // the lowest top-level window.
    int ShownHeight() const { return shownHeight_; }
    // A drawing context over the window's part of the screen: its origin is
    // the window's corner and it draws nowhere else. Marks the screen as drawn.
    DeviceContext GetDC(Window& window);
    // The topmost visible window under a screen point.
    Window* WindowAt(Point screenPoint) const;
    // The window the stylus (the mouse) last went down on, while it exists:
    // on a desktop, the window the arrow keys are about.
    Window* LastPressed() const { return lastPressed_; }
    // When the next timer is due on the backend's clock; kNoDeadline if none.
    uint64_t NextTimerDue() const;

private:
    struct Timer {
        uint32_t periodMs = 0;
        uint64_t dueMs = 0;
    };
    struct HotKey {
        Window* window = nullptr;
        int id = 0;
        uint32_t modifiers = 0;
        uint32_t virtualKey = 0;
    };

    void HandleInput(const InputEvent& event);
    // A claimed key goes to its hot key's window as WM_HOTKEY, any other
    // key to the keyboard target.
    void HandleKey(const InputEvent& event);
    // The stylus goes to the window it went down on until it lifts.
    void HandleStylus(const InputEvent& event);
    // Where keys and typed text go: the focus, else the first top-level window.
    Window* KeyboardTarget() const;
    // The wheel turns the window under the pointer, as desktops do, unless
    // a dialog or menu has the keyboard: then it turns theirs.
    Window* WheelTarget(Point screenPoint) const;
    bool DispatchQueued();
    bool DispatchDueTimers();
    bool PaintPending();
    void PaintTree(Window& window);
    bool RunLoopUntil(const std::function<bool()>& finished);
    void Dispatch(const Message& message);
    bool TakeQueued(Message& message);
    void InvalidateArea(Window& window);

    UiBackend& backend_;
    Framebuffer screen_;
    std::set<Window*> windows_;              // the windows that exist
    std::vector<Window*> topLevel_;
    std::map<std::pair<Window*, uintptr_t>, Timer> timers_;
    std::vector<HotKey> hotKeys_;
    Window* focus_ = nullptr;
    Window* stylusCapture_ = nullptr;        // gets the stylus until it lifts
    Window* lastPressed_ = nullptr;
    bool screenChanged_ = false;
    bool displayOn_ = true;
    bool windowWasShown_ = true;
    int waitCursorDepth_ = 0;
    Framebuffer blackScreen_;
    // The navigation bar shows the active window's title, redrawn when it changes.
    std::string navigationTitle_;
    void DrawNavigationBar();
    // The desktop window is as tall as the navigation bar and the top-level
    // windows below it: a frame that shrank leaves no stale rows in view.
    int shownHeight_ = kScreenHeight;
    void ShowCoveredRows();
    bool quitReceived_ = false;
    int exitCode_ = 0;

    std::mutex queueMutex_;
    std::deque<Message> queue_;              // Guarded by queueMutex_.
};

}  // namespace platform::ui
