#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class WindowManager;

// A window: a rectangle of the screen with one message handler. Window
// objects belong to whoever made them (they are usually members of larger
// objects); the window manager only tracks which ones exist as windows.
// Posting to a window is safe from any thread, which is how the engine's
// messages reach the player.
class Window : public platform::NotifyWindow {
public:
    explicit Window(std::string className, uint32_t classStyle = CS_HREDRAW | CS_VREDRAW);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window procedure; what a subclass does not handle goes to
    // DefaultHandleMessage.
    virtual LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam);

    // Queues a message for this window; callable from any thread.
    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    const std::string& ClassName() const { return className_; }
    uint32_t ClassStyle() const { return classStyle_; }
    const std::string& Title() const { return title_; }
    bool Exists() const { return manager_ != nullptr; }
    bool IsVisible() const { return visible_; }
    Window* Parent() const { return parent_; }
    const std::vector<Window*>& Children() const { return children_; }
    // Position and size relative to the parent (to the screen for a top-level window).
    const Rect& Placement() const { return placement_; }
    // The rectangle the window covers on the screen.
    Rect ScreenRect() const;
    WindowManager* Manager() const { return manager_; }

private:
    friend class WindowManager;

    const std::string className_;
    const uint32_t classStyle_;
    std::string title_;
    WindowManager* manager_ = nullptr;  // set while the window exists; UI thread only
    // Where PostMessage queues; set at the first creation and kept, so a
    // post racing a destruction lands in the queue and is dropped there.
    std::atomic<WindowManager*> postTarget_{nullptr};
    Window* parent_ = nullptr;
    std::vector<Window*> children_;
    Rect placement_;
    bool visible_ = false;
    bool needsPaint_ = false;
};

}  // namespace platform::ui
