#include "platform/ui/window_manager.h"

#include <algorithm>

namespace platform::ui {

WindowManager::WindowManager(UiBackend& backend)
    : backend_(backend), screen_(kScreenWidth, kScreenHeight), blackScreen_(kScreenWidth, kScreenHeight) {}

WindowManager::~WindowManager() {
    while (!topLevel_.empty()) DestroyWindow(*topLevel_.back());
}

bool WindowManager::CreateWindow(Window& window, Window* parent, const std::string& title, Rect placement,
                                 bool visible) {
    if (window.manager_ != nullptr || (parent != nullptr && parent->manager_ != this)) return false;
    window.manager_ = this;
    window.postTarget_ = this;
    window.parent_ = parent;
    window.title_ = title;
    window.placement_ = placement;
    window.visible_ = visible;
    window.children_.clear();
    windows_.insert(&window);
    (parent != nullptr ? parent->children_ : topLevel_).push_back(&window);
    if (window.HandleMessage(WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return false;
    }
    if (visible) InvalidateWindow(window);
    return true;
}

void WindowManager::DestroyWindow(Window& window) {
    if (window.manager_ != this) return;
    if (focus_ == &window) focus_ = nullptr;
    if (stylusCapture_ == &window) stylusCapture_ = nullptr;
    if (lastPressed_ == &window) lastPressed_ = nullptr;
    window.HandleMessage(WM_DESTROY, 0, 0);
    // Children go after their parent's own WM_DESTROY, last created first.
    while (!window.children_.empty()) DestroyWindow(*window.children_.back());
    std::erase_if(timers_, [&window](const auto& entry) { return entry.first.first == &window; });
    std::erase_if(hotKeys_, [&window](const HotKey& hotKey) { return hotKey.window == &window; });
    auto& siblings = window.parent_ != nullptr ? window.parent_->children_ : topLevel_;
    std::erase(siblings, &window);
    if (window.visible_ && window.parent_ != nullptr) InvalidateWindow(*window.parent_);
    windows_.erase(&window);
    window.manager_ = nullptr;
    window.parent_ = nullptr;
    {
        std::lock_guard lock(queueMutex_);
        std::erase_if(queue_, [&window](const Message& message) { return message.window == &window; });
    }
}

Window* WindowManager::FindWindow(const std::string& className) const {
    for (Window* window : topLevel_) {
        if (window->className_ == className) return window;
    }
    return nullptr;
}

LRESULT WindowManager::SendMessage(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (window.manager_ != this) return 0;
    return window.HandleMessage(message, wParam, lParam);
}

void WindowManager::PostMessage(Window* window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back({window, message, wParam, lParam});
    }
    backend_.Wake();
}

void WindowManager::PostQuitMessage(int exitCode) {
    PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

void WindowManager::SetTimer(Window& window, uintptr_t id, uint32_t periodMs) {
    if (window.manager_ != this) return;
    timers_[{&window, id}] = Timer{periodMs, backend_.NowMs() + periodMs};
}

void WindowManager::KillTimer(Window& window, uintptr_t id) {
    timers_.erase({&window, id});
}

void WindowManager::InvalidateArea(Window& window) {
    // What lay under the window's old place shows again.
    if (window.parent_ != nullptr) InvalidateWindow(*window.parent_);
    for (Window* top : topLevel_) {
        if (top != &window) InvalidateWindow(*top);
    }
}

void WindowManager::MoveWindow(Window& window, int x, int y, int width, int height, bool repaint) {
    if (window.manager_ != this) return;
    const Rect placement{x, y, x + width, y + height};
    const bool moved = !(window.placement_ == placement);
    window.placement_ = placement;
    if (moved) {
        window.HandleMessage(WM_MOVE, 0, MAKELPARAM(placement.left, placement.top));
        window.HandleMessage(WM_SIZE, 0, MAKELPARAM(placement.Width(), placement.Height()));
    }
    if (repaint) {
        InvalidateArea(window);
        InvalidateWindow(window);
    }
}

void WindowManager::ShowWindow(Window& window, bool visible) {
    if (window.manager_ != this || window.visible_ == visible) return;
    window.visible_ = visible;
    if (visible) {
        InvalidateWindow(window);
    } else {
        InvalidateArea(window);
    }
}

void WindowManager::InvalidateWindow(Window& window) {
    if (window.manager_ != this) return;
    window.needsPaint_ = true;
    for (Window* child : window.children_) InvalidateWindow(*child);
}

void WindowManager::UpdateWindow(Window& window) {
    if (window.manager_ != this || !window.needsPaint_ || !window.visible_) return;
    window.needsPaint_ = false;
    window.HandleMessage(WM_PAINT, 0, 0);
    screenChanged_ = true;
}

void WindowManager::BeginWaitCursor() {
    if (waitCursorDepth_++ == 0) backend_.ShowWaitCursor(true);
}

void WindowManager::EndWaitCursor() {
    if (waitCursorDepth_ == 0) return;
    if (--waitCursorDepth_ == 0) backend_.ShowWaitCursor(false);
}

void WindowManager::SetDisplayPower(bool on) {
    if (displayOn_ == on) return;
    displayOn_ = on;
    screenChanged_ = true;
}

void WindowManager::SetFocus(Window* window) {
    if (window != nullptr && window->manager_ != this) return;
    if (focus_ == window) return;
    Window* previous = focus_;
    focus_ = window;
    if (previous != nullptr) previous->HandleMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr && focus_ == window) window->HandleMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

bool WindowManager::RegisterHotKey(Window& window, int id, uint32_t modifiers, uint32_t virtualKey) {
    if (window.manager_ != this) return false;
    for (const HotKey& hotKey : hotKeys_) {
        if (hotKey.virtualKey == virtualKey && hotKey.modifiers == modifiers) return false;
        if (hotKey.window == &window && hotKey.id == id) return false;
    }
    hotKeys_.push_back({&window, id, modifiers, virtualKey});
    return true;
}

bool WindowManager::UnregisterHotKey(Window& window, int id) {
    return std::erase_if(hotKeys_, [&](const HotKey& hotKey) { return hotKey.window == &window && hotKey.id == id; }) > 0;
}

Window* WindowManager::WindowAt(Point screenPoint) const {
    // Later windows lie on top of earlier ones; children on top of parents.
    std::function<Window*(const std::vector<Window*>&)> search = [&](const std::vector<Window*>& windows) -> Window* {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            Window* window = *it;
            if (!window->visible_ || !window->ScreenRect().Contains(screenPoint)) continue;
            Window* child = search(window->children_);
            return child != nullptr ? child : window;
        }
        return nullptr;
    };
    return search(topLevel_);
}

void WindowManager::HandleInput(const InputEvent& event) {
    using Kind = InputEvent::Kind;
    switch (event.kind) {
        case Kind::Quit:
            // Closing the desktop window closes the player the usual way, so
            // it shuts down in order.
            if (topLevel_.empty()) {
                PostQuitMessage(0);
            } else {
                PostMessage(topLevel_.front(), WM_CLOSE, 0, 0);
            }
            return;
        case Kind::KeyDown:
        case Kind::KeyUp:
            HandleKey(event);
            return;
        case Kind::DropFile:
        case Kind::DropText:
            // Like closing, a drop is for the program's first window, which
            // decides whether a dialog in front of it lets it act now.
            if (!topLevel_.empty()) {
                Dispatch({topLevel_.front(), WM_DROPFILES, event.kind == Kind::DropFile ? kDroppedFile : kDroppedText,
                          reinterpret_cast<LPARAM>(event.dropped.c_str())});
            }
            return;
        case Kind::Character:
            if (Window* target = KeyboardTarget()) Dispatch({target, WM_CHAR, event.character, 0});
            return;
        case Kind::Wheel:
            if (Window* target = WheelTarget(event.point)) {
                const auto turn = static_cast<WPARAM>(MAKELPARAM(0, event.wheelNotches * WHEEL_DELTA));
                Dispatch({target, WM_MOUSEWHEEL, turn, MAKELPARAM(event.point.x, event.point.y)});
            }
            return;
        case Kind::StylusDown:
        case Kind::StylusMove:
        case Kind::StylusUp:
            HandleStylus(event);
            return;
    }
}

void WindowManager::HandleKey(const InputEvent& event) {
    const bool down = event.kind == InputEvent::Kind::KeyDown;
    for (const HotKey& hotKey : hotKeys_) {
        if (hotKey.virtualKey != event.virtualKey) continue;
        if (down) {
            Dispatch({hotKey.window, WM_HOTKEY, static_cast<WPARAM>(hotKey.id),
                      MAKELPARAM(static_cast<int>(hotKey.modifiers), static_cast<int>(hotKey.virtualKey))});
        }
        return;
    }
    if (Window* target = KeyboardTarget()) {
        Dispatch({target, down ? WM_KEYDOWN : WM_KEYUP, event.virtualKey, static_cast<LPARAM>(event.modifiers)});
    }
}

void WindowManager::HandleStylus(const InputEvent& event) {
    using Kind = InputEvent::Kind;
    Window* target = stylusCapture_;
    if (event.kind == Kind::StylusDown) target = stylusCapture_ = lastPressed_ = WindowAt(event.point);
    if (target == nullptr) return;
    const Rect rect = target->ScreenRect();
    const LPARAM where = MAKELPARAM(event.point.x - rect.left, event.point.y - rect.top);
    uint32_t message = WM_MOUSEMOVE;
    WPARAM buttons = MK_LBUTTON;
    // The keys held with a click, as a desktop's Ctrl+click and Shift+click.
    if ((event.modifiers & MOD_CONTROL) != 0) buttons |= MK_CONTROL;
    if ((event.modifiers & MOD_SHIFT) != 0) buttons |= MK_SHIFT;
    if (event.kind == Kind::StylusDown) {
        message = event.doubleTap && (target->classStyle_ & CS_DBLCLKS) ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    } else if (event.kind == Kind::StylusUp) {
        message = WM_LBUTTONUP;
        buttons = 0;
        stylusCapture_ = nullptr;
    }
    Dispatch({target, message, buttons, where});
}

namespace {

Window* TopLevelOf(Window* window) {
    while (window->Parent() != nullptr) window = window->Parent();
    return window;
}

}  // namespace

Window* WindowManager::WheelTarget(Point screenPoint) const {
    Window* focus = KeyboardTarget();
    Window* under = WindowAt(screenPoint);
    if (focus == nullptr || under == nullptr) return focus;
    return TopLevelOf(under) == TopLevelOf(focus) ? under : focus;
}

Window* WindowManager::KeyboardTarget() const {
    if (focus_ != nullptr) return focus_;
    return topLevel_.empty() ? nullptr : topLevel_.front();
}

bool WindowManager::TakeQueued(Message& message) {
    std::lock_guard lock(queueMutex_);
    if (queue_.empty()) return false;
    message = queue_.front();
    queue_.pop_front();
    return true;
}

void WindowManager::Dispatch(const Message& message) {
    if (message.message == WM_QUIT) {
        quitReceived_ = true;
        exitCode_ = static_cast<int>(message.wParam);
        return;
    }
    if (message.window == nullptr || windows_.count(message.window) == 0) return;
    message.window->HandleMessage(message.message, message.wParam, message.lParam);
}

bool WindowManager::DispatchQueued() {
    bool any = false;
    Message message;
    while (!quitReceived_ && TakeQueued(message)) {
        Dispatch(message);
        any = true;
    }
    return any;
}

uint64_t WindowManager::NextTimerDue() const {
    uint64_t next = kNoDeadline;
    for (const auto& [key, timer] : timers_) next = std::min(next, timer.dueMs);
    return next;
}

bool WindowManager::DispatchDueTimers() {
    const uint64_t now = backend_.NowMs();
    std::vector<std::pair<Window*, uintptr_t>> due;
    for (auto& [key, timer] : timers_) {
        if (timer.dueMs > now) continue;
        due.push_back(key);
        // A late timer fires once, not once per missed period.
        timer.dueMs = std::max(timer.dueMs + timer.periodMs, now + 1);
    }
    for (const auto& [window, id] : due) {
        // A handler may have killed this timer or destroyed the window.
        if (timers_.count({window, id}) == 0) continue;
        Dispatch({window, WM_TIMER, id, 0});
    }
    return !due.empty();
}

void WindowManager::PaintTree(Window& window) {
    if (!window.visible_) return;
    UpdateWindow(window);
    const std::vector<Window*> children = window.children_;
    for (Window* child : children) {
        if (windows_.count(child) != 0) PaintTree(*child);
    }
}

bool WindowManager::PaintPending() {
    const bool before = screenChanged_;
    const std::vector<Window*> windows = topLevel_;
    for (Window* window : windows) {
        if (windows_.count(window) != 0) PaintTree(*window);
    }
    return screenChanged_ && !before;
}

DeviceContext WindowManager::GetDC(Window& window) {
    screenChanged_ = true;
    const Rect area = window.ScreenRect();
    // The navigation bar belongs to the platform: windows never draw over it.
    const Rect clip{area.left, std::max(area.top, kNavigationBarHeight), area.right, area.bottom};
    return DeviceContext(screen_, {area.left, area.top}, clip);
}

void WindowManager::DrawNavigationBar() {
    const Window* active = focus_;
    while (active != nullptr && active->parent_ != nullptr) active = active->parent_;
    if (active == nullptr && !topLevel_.empty()) active = topLevel_.front();
    const std::string title = active != nullptr ? active->title_ : std::string();
    if (title == navigationTitle_) return;
    navigationTitle_ = title;

    constexpr COLORREF kBarColor = RGB(0x1F, 0x3A, 0x5F);
    constexpr COLORREF kTextColor = RGB(0xFF, 0xFF, 0xFF);
    constexpr int kMargin = 6;
    const Rect bar{0, 0, kScreenWidth, kNavigationBarHeight};
    DeviceContext context(screen_, {0, 0}, bar);
    context.FillRect(bar, kBarColor);
    context.SetTextColor(kTextColor);
    context.SetBkMode(TRANSPARENT);
    Rect titleArea{kMargin, 0, kScreenWidth - kMargin, kNavigationBarHeight};
    context.DrawText(title, titleArea, DT_LEFT | DT_VCENTER);
    screenChanged_ = true;
}

void WindowManager::ShowCoveredRows() {
    if (topLevel_.empty()) return;
    int covered = kNavigationBarHeight;
    for (const Window* top : topLevel_) {
        if (top->visible_) covered = std::max(covered, top->placement_.bottom);
    }
    covered = std::min(covered, kScreenHeight);
    if (covered == shownHeight_) return;
    shownHeight_ = covered;
    backend_.SetShownHeight(covered);
    screenChanged_ = true;
}

bool WindowManager::PumpPending() {
    std::vector<InputEvent> events;
    backend_.WaitForEvents(backend_.NowMs(), events);
    for (const InputEvent& event : events) HandleInput(event);
    // What stopped while nothing could be seen (a scrolling title) starts
    // again from the repaint.
    const bool shown = backend_.WindowShown();
    if (shown && !windowWasShown_) {
        for (Window* window : topLevel_) InvalidateWindow(*window);
    }
    windowWasShown_ = shown;
    DispatchQueued();
    if (!quitReceived_) DispatchDueTimers();
    if (!quitReceived_) DispatchQueued();
    if (!quitReceived_) PaintPending();
    if (!quitReceived_ && !topLevel_.empty()) DrawNavigationBar();
    if (!quitReceived_) ShowCoveredRows();
    if (screenChanged_) {
        backend_.Present(displayOn_ ? screen_.Data() : blackScreen_.Data());
        screenChanged_ = false;
    }
    return !quitReceived_;
}

bool WindowManager::RunLoopUntil(const std::function<bool()>& finished) {
    std::vector<InputEvent> events;
    while (!quitReceived_ && !finished()) {
        PumpPending();
        if (quitReceived_ || finished()) break;
        bool queued = false;
        {
            std::lock_guard lock(queueMutex_);
            queued = !queue_.empty();
        }
        if (queued) continue;
        // Sleeps until input, a posted message or the next timer.
        events.clear();
        backend_.WaitForEvents(NextTimerDue(), events);
        for (const InputEvent& event : events) HandleInput(event);
    }
    return quitReceived_;
}

void WindowManager::RunModalLoop(const std::function<bool()>& finished) {
    if (RunLoopUntil(finished) && !finished()) {
        // The quit belongs to the outer loop: leave it for that one.
        quitReceived_ = false;
        PostQuitMessage(exitCode_);
    }
}

int WindowManager::RunMessageLoop() {
    RunLoopUntil([] { return false; });
    return exitCode_;
}

}  // namespace platform::ui
