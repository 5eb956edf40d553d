#include "platform/ui/window.h"

#include "platform/ui/window_manager.h"

namespace platform::ui {

Window::Window(std::string className, uint32_t classStyle)
    : className_(std::move(className)), classStyle_(classStyle) {}

Window::~Window() {
    if (manager_ != nullptr) manager_->DestroyWindow(*this);
}

LRESULT Window::HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandleMessage(message, wParam, lParam);
}

LRESULT Window::DefaultHandleMessage(uint32_t message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && manager_ != nullptr) manager_->DestroyWindow(*this);
    return 0;
}

void Window::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (WindowManager* manager = postTarget_.load()) manager->PostMessage(this, message, wParam, lParam);
}

Rect Window::ScreenRect() const {
    Rect rect = placement_;
    for (const Window* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->parent_) {
        rect.left += ancestor->placement_.left;
        rect.right += ancestor->placement_.left;
        rect.top += ancestor->placement_.top;
        rect.bottom += ancestor->placement_.top;
    }
    return rect;
}

}  // namespace platform::ui
