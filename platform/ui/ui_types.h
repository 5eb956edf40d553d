#pragma once

// The window system's basic types and message numbers. Numbers keep their
// Windows values: the windows dispatch on them, and the engine's messages
// (WM_PLAYER_STATUS = 11025) travel through the same queue.

#include <cstdint>

#include "platform/notify_window.h"

namespace platform::ui {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point point) const { return point.x >= left && point.x < right && point.y >= top && point.y < bottom; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect&) const = default;
};

constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
// wParam: the virtual-key code; lParam: the modifier keys held (MOD_*).
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
// wParam: one UTF-16 code unit of typed text (a surrogate pair comes as two).
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
// The high word of wParam: the turn, WHEEL_DELTA per notch, positive away
// from the user; lParam: the pointer's screen coordinates.
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;
// Something dropped on the window from another program: wParam says what
// (kDroppedFile, a path, or kDroppedText, text as it was dragged), lParam
// points to its NUL-terminated UTF-8, valid during the call only.
constexpr uint32_t WM_DROPFILES = 0x0233;
constexpr WPARAM kDroppedFile = 0;
constexpr WPARAM kDroppedText = 1;
constexpr uint32_t WM_HOTKEY = 0x0312;
using platform::WM_USER;

// wParam of the stylus messages while the stylus is down.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

// Class styles that change what the window receives.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_DBLCLKS = 0x0008;

// The modifier keys, with RegisterHotKey's values.
constexpr uint32_t MOD_ALT = 0x0001;
constexpr uint32_t MOD_CONTROL = 0x0002;
constexpr uint32_t MOD_SHIFT = 0x0004;

// Virtual-key codes of the keys the player knows. Letters and digits are
// their upper-case ASCII codes ('A' is 0x41, '0' is 0x30).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_NUMPAD0 = 0x60;
constexpr uint32_t VK_ADD = 0x6B;       // the keypad's plus
constexpr uint32_t VK_SUBTRACT = 0x6D;  // the keypad's minus
constexpr uint32_t VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr uint32_t VK_MEDIA_PREV_TRACK = 0xB1;
constexpr uint32_t VK_MEDIA_STOP = 0xB2;
constexpr uint32_t VK_MEDIA_PLAY_PAUSE = 0xB3;
// The handheld's application buttons, reached with F1 to F5.
constexpr uint32_t VK_APP1 = 0xC1;
constexpr uint32_t VK_APP5 = 0xC5;
constexpr uint32_t VK_OEM_PLUS = 0xBB;   // the main block's '=' / '+' key
constexpr uint32_t VK_OEM_MINUS = 0xBD;  // the main block's '-' key

constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(static_cast<uint32_t>((static_cast<uint32_t>(low) & 0xFFFF) |
                                                     ((static_cast<uint32_t>(high) & 0xFFFF) << 16)));
}
constexpr int LOWORD(uintptr_t value) { return static_cast<int>(value & 0xFFFF); }
constexpr int HIWORD(uintptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }
// Signed coordinates packed into an lParam.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<int16_t>(static_cast<uint32_t>(value) & 0xFFFF); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<int16_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFF); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }

// The handheld's screen and the navigation bar the platform draws on top.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kNavigationBarHeight = 26;

}  // namespace platform::ui
