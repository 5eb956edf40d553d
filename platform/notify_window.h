#pragma once

#include <cstdint>

namespace platform {

// Message numbers keep their Windows values.
constexpr uint32_t WM_USER = 0x0400;

// A window that receives posted messages. The engine knows its notify window
// only through this interface; the user interface implements it with real
// windows, and tests and tools with a recorder. PostMessage may be called from
// any thread and must not block on the receiver.
class NotifyWindow {
public:
    virtual ~NotifyWindow() = default;
    virtual void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // Whether the window reads `message` at all: a sender may skip the work
    // behind reports that nobody reads. Asked when the window is set.
    virtual bool Wants(uint32_t /*message*/) const { return true; }
};

}  // namespace platform
