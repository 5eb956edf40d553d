#include "platform/ui/ui_backend_sdl.h"

#include <SDL.h>

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/framebuffer.h"
#include "platform/ui/ui_backend_damage.h"
#include "platform/ui/ui_backend_zoom.h"
#include "platform/utf8.h"

namespace platform::ui {
namespace {

constexpr const char* kWindowTitle = "Tunelark";
// The window frame's height before the window manager has framed the
// window and can say: a title bar and a border.
constexpr int kAssumedDecorationHeight = 32;
// More changed bands than this are shown as their one bounding rectangle.
constexpr size_t kMostRectsPerPresent = 16;

// The video drivers that show nothing: SDL falls back to them silently when
// there is no display.
bool IsInvisibleDriver(const char* driver) {
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// Outside a desktop session XDG_RUNTIME_DIR is not set, and libwayland, which
// SDL tries when there is no X display, says so on standard error before the
// player can say what is missing. A private directory of the user's, as the
// session would have made, keeps that quiet; nothing there is shared.
void GiveARuntimeDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') return;
    const char* temporary = std::getenv("TMPDIR");
    const std::string directory = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") +
                                  "/tunelark-runtime-" + std::to_string(getuid());
    mkdir(directory.c_str(), S_IRWXU);
    struct stat status {};
    // Only a directory of this user's that nobody else may enter.
    if (lstat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid() ||
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return;
    }
    setenv("XDG_RUNTIME_DIR", directory.c_str(), 1);
}

uint32_t VirtualKeyOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_RETURN: return VK_RETURN;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_HOME: return VK_HOME;
        case SDLK_END: return VK_END;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
        case SDLK_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
        case SDLK_AUDIOSTOP: return VK_MEDIA_STOP;
        case SDLK_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
        case SDLK_F1: return VK_APP1;
        case SDLK_F2: return VK_APP1 + 1;
        case SDLK_F3: return VK_APP1 + 2;
        case SDLK_F4: return VK_APP1 + 3;
        case SDLK_F5: return VK_APP5;
        case SDLK_EQUALS:
        case SDLK_PLUS: return VK_OEM_PLUS;
        case SDLK_MINUS: return VK_OEM_MINUS;
        case SDLK_KP_PLUS: return VK_ADD;
        case SDLK_KP_MINUS: return VK_SUBTRACT;
        case SDLK_KP_0: return VK_NUMPAD0;
        default: break;
    }
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<uint32_t>(key - SDLK_0);
    return 0;
}

uint32_t ModifiersOf(uint16_t keyModifiers) {
    uint32_t modifiers = 0;
    if ((keyModifiers & KMOD_CTRL) != 0) modifiers |= MOD_CONTROL;
    if ((keyModifiers & KMOD_SHIFT) != 0) modifiers |= MOD_SHIFT;
    if ((keyModifiers & KMOD_ALT) != 0) modifiers |= MOD_ALT;
    return modifiers;
}

// Waits for the first event until `deadlineMs` (not at all once it has
// passed); false when none came.
bool WaitForFirstEvent(uint64_t deadlineMs, SDL_Event& event) {
    const uint64_t now = SDL_GetTicks64();
    if (deadlineMs == kNoDeadline) return SDL_WaitEvent(&event) != 0;
    if (deadlineMs > now) {
        const uint64_t wait = deadlineMs - now;
        return SDL_WaitEventTimeout(&event, static_cast<int>(std::min<uint64_t>(wait, INT32_MAX))) != 0;
    }
    return SDL_PollEvent(&event) != 0;
}

// The left button is the stylus, which moves only while it is down; the
// wheel turns at the pointer.
std::optional<InputEvent> MouseInput(const SDL_Event& event, int zoom, bool& stylusDown) {
    InputEvent input;
    if (event.type == SDL_MOUSEWHEEL) {
        input.kind = InputEvent::Kind::Wheel;
        input.point = {event.wheel.mouseX / zoom, event.wheel.mouseY / zoom};
        input.wheelNotches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (input.wheelNotches == 0) return std::nullopt;
        return input;
    }
    if (event.type == SDL_MOUSEMOTION) {
        if (!stylusDown) return std::nullopt;
        input.kind = InputEvent::Kind::StylusMove;
        input.point = {event.motion.x / zoom, event.motion.y / zoom};
        return input;
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    stylusDown = down;
    if (event.button.button != SDL_BUTTON_LEFT) return std::nullopt;
    input.kind = down ? InputEvent::Kind::StylusDown : InputEvent::Kind::StylusUp;
    input.point = {event.button.x / zoom, event.button.y / zoom};
    input.doubleTap = down && event.button.clicks >= 2;
    input.modifiers = ModifiersOf(SDL_GetModState());
    return input;
}

// Keys the player knows, without the keyboard's repeats.
std::optional<InputEvent> KeyInput(const SDL_KeyboardEvent& key) {
    InputEvent input;
    input.kind = key.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
    input.virtualKey = VirtualKeyOf(key.keysym.sym);
    input.modifiers = ModifiersOf(key.keysym.mod);
    if (input.virtualKey == 0 || key.repeat != 0) return std::nullopt;
    return input;
}

// Takes the dropped file's path or text, which SDL leaves to the receiver to free.
std::optional<InputEvent> DropInput(SDL_DropEvent& drop) {
    if (drop.file == nullptr) return std::nullopt;
    InputEvent input;
    input.kind = drop.type == SDL_DROPFILE ? InputEvent::Kind::DropFile : InputEvent::Kind::DropText;
    input.dropped = drop.file;
    SDL_free(drop.file);
    return input;
}

// One event per UTF-16 unit, as WM_CHAR carries them.
void AddCharacters(const char* text, std::vector<InputEvent>& events) {
    for (const char16_t unit : Utf8ToUtf16(text)) {
        events.push_back({InputEvent::Kind::Character, {}, false, 0, unit});
    }
}

}  // namespace

struct SdlBackend::Resources {
    SDL_Cursor* waitCursor = nullptr;
    SDL_Window* window = nullptr;
    uint32_t wakeEvent = 0;
    bool stylusDown = false;
    bool shown = false;
    // What the window shows, at the screen's own size, and a surface over
    // it to scale from.
    std::vector<uint32_t> shownScreen = std::vector<uint32_t>(kScreenWidth * kScreenHeight);
    SDL_Surface* shownSurface = nullptr;
    // The window's surface was made anew or lost its pixels: it needs all of them.
    bool wholeWindowStale = true;
};

SdlBackend::SdlBackend() : resources_(std::make_unique<Resources>()) {}

namespace {

void RaiseTerminate(int) {
    raise(SIGTERM);
}

// SDL turns SIGINT and SIGTERM into a quit, which saves the playlist and the
// settings; a closed terminal's SIGHUP would kill the player without either.
void HandleHangUpAsTerminate() {
    struct sigaction action {};
    action.sa_handler = RaiseTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

SdlBackend::~SdlBackend() {
    if (resources_->waitCursor != nullptr) SDL_FreeCursor(resources_->waitCursor);
    if (resources_->shownSurface != nullptr) SDL_FreeSurface(resources_->shownSurface);
    if (resources_->window != nullptr) {
        SDL_DestroyWindow(resources_->window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool SdlBackend::Open(std::string& error) {
    // The screen is copied into the window's own surface: no OpenGL, whose
    // libraries would cost more memory than the whole player.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    GiveARuntimeDirectory();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("Tunelark needs a display, but none could be opened (") + SDL_GetError() +
                "). Run it on a desktop, or inside a virtual one: xvfb-run -a tools/run.sh";
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (IsInvisibleDriver(driver) && (requested == nullptr || std::strcmp(requested, driver) != 0)) {
        error = "Tunelark needs a display (DISPLAY or WAYLAND_DISPLAY is not set). Run it on a desktop, "
                "or inside a virtual one: xvfb-run -a tools/run.sh";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    Resources& r = *resources_;
    r.window = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kScreenWidth * zoom_,
                                kScreenHeight * zoom_, SDL_WINDOW_HIDDEN);
    r.shownSurface = SDL_CreateRGBSurfaceWithFormatFrom(r.shownScreen.data(), kScreenWidth, kScreenHeight, 32,
                                                        kScreenWidth * static_cast<int>(sizeof(uint32_t)),
                                                        SDL_PIXELFORMAT_RGB888);
    r.wakeEvent = SDL_RegisterEvents(1);
    if (r.window == nullptr || r.shownSurface == nullptr || r.wakeEvent == static_cast<uint32_t>(-1)) {
        error = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    HandleHangUpAsTerminate();
    return true;
}

uint64_t SdlBackend::NowMs() {
    return SDL_GetTicks64();
}

void SdlBackend::WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) {
    SDL_Event event;
    Resources& r = *resources_;
    for (bool got = WaitForFirstEvent(deadlineMs, event); got; got = SDL_PollEvent(&event) != 0) {
        std::optional<InputEvent> input;
        switch (event.type) {
            case SDL_QUIT:
                input = InputEvent{};
                input->kind = InputEvent::Kind::Quit;
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
            case SDL_MOUSEMOTION:
            case SDL_MOUSEWHEEL:
                input = MouseInput(event, zoom_, r.stylusDown);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                input = KeyInput(event.key);
                break;
            case SDL_DROPFILE:
            case SDL_DROPTEXT:
                input = DropInput(event.drop);
                break;
            case SDL_TEXTINPUT:
                AddCharacters(event.text.text, events);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_MINIMIZED || event.window.event == SDL_WINDOWEVENT_HIDDEN) {
                    windowShown_ = false;
                } else if (event.window.event == SDL_WINDOWEVENT_RESTORED ||
                           event.window.event == SDL_WINDOWEVENT_SHOWN ||
                           event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    windowShown_ = true;
                }
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    r.wholeWindowStale = true;
                    ShowScreen({});
                }
                break;
            default:
                break;  // wake-ups: the loop looks at its queue anyway
        }
        if (input) events.push_back(std::move(*input));
    }
}

void SdlBackend::Wake() {
    SDL_Event event{};
    event.type = resources_->wakeEvent;
    SDL_PushEvent(&event);
}

void SdlBackend::Present(const uint32_t* pixels) {
    Resources& r = *resources_;
    if (r.window == nullptr) return;
    const std::vector<Rect> changed =
        ChangedRects(r.shownScreen.data(), pixels, kScreenWidth, kScreenHeight, kMostRectsPerPresent);
    std::copy(pixels, pixels + r.shownScreen.size(), r.shownScreen.begin());
    const bool first = !r.shown;
    if (first) {
        // Shown once it has something to show, at the zoom chosen by then.
        SDL_ShowWindow(r.window);
        r.shown = true;
        r.wholeWindowStale = true;
    }
    ShowScreen(changed);
    if (first) ReportFirstPresent();
}

// With TUNELARK_TRACE_STARTUP set, the moment the first picture reached the
// window goes to standard error as the monotonic clock's nanoseconds, for
// the start-up benchmark to measure against the moment it started us.
void SdlBackend::ReportFirstPresent() {
    if (std::getenv("TUNELARK_TRACE_STARTUP") == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "tunelark: first present at %lld\n",
                 static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec);
}

void SdlBackend::ShowScreen(const std::vector<Rect>& changed) {
    Resources& r = *resources_;
    SDL_Surface* surface = r.shown ? SDL_GetWindowSurface(r.window) : nullptr;
    if (surface == nullptr) return;
    std::vector<Rect> parts = changed;
    if (r.wholeWindowStale) {
        SDL_FillRect(surface, nullptr, 0);
        parts.assign(1, Rect{0, 0, kScreenWidth, kScreenHeight});
    }
    std::vector<SDL_Rect> updated;
    for (Rect part : parts) {
        // Rows below the shown ones are out of the window.
        part = IntersectRects(part, {0, 0, kScreenWidth, shownHeight_});
        if (part.IsEmpty()) continue;
        SDL_Rect source{part.left, part.top, part.Width(), part.Height()};
        SDL_Rect target{part.left * zoom_, part.top * zoom_, part.Width() * zoom_, part.Height() * zoom_};
        if (SDL_BlitScaled(r.shownSurface, &source, surface, &target) == 0) updated.push_back(target);
    }
    if (r.wholeWindowStale) {
        SDL_UpdateWindowSurface(r.window);
        r.wholeWindowStale = false;
    } else if (!updated.empty()) {
        SDL_UpdateWindowSurfaceRects(r.window, updated.data(), static_cast<int>(updated.size()));
    }
}

void SdlBackend::SetZoom(int zoom) {
    zoom_ = std::clamp(zoom, kMinimumZoom, kMaximumZoom);
    if (resources_->window == nullptr) return;
    SDL_SetWindowSize(resources_->window, kScreenWidth * zoom_, shownHeight_ * zoom_);
    // Made centred at its first size: centred at its size when it first shows.
    if (!resources_->shown) {
        SDL_SetWindowPosition(resources_->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        KeepOnDisplay();
    }
    // Drawn whole at the new size now; again when the resize reaches the window.
    resources_->wholeWindowStale = true;
    ShowScreen({});
}

// The window grows to the right and down from where it stands; moved back
// as far as it must, none of it lies beyond the display's usable area.
void SdlBackend::KeepOnDisplay() {
    SDL_Window* window = resources_->window;
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &usable) != 0) return;
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    const Rect outer{x - left, y - top, x + width + right, y + height + bottom};
    const Rect kept = KeptOnDisplay(outer, {usable.x, usable.y, usable.x + usable.w, usable.y + usable.h});
    if (kept != outer) SDL_SetWindowPosition(window, kept.left + left, kept.top + top);
}

void SdlBackend::SetShownHeight(int height) {
    shownHeight_ = std::clamp(height, 1, kScreenHeight);
    if (resources_->window == nullptr) return;
    SDL_SetWindowSize(resources_->window, kScreenWidth * zoom_, shownHeight_ * zoom_);
    if (resources_->shown) KeepOnDisplay();
    resources_->wholeWindowStale = true;
    ShowScreen({});
}

int SdlBackend::FittingZoom() {
    SDL_Window* window = resources_->window;
    const int display = window != nullptr ? std::max(SDL_GetWindowDisplayIndex(window), 0) : 0;
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return kMinimumZoom;
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool framed = window != nullptr && SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 &&
                        top + bottom > 0;
    return LargestZoomFitting(usable.h, framed ? top + bottom : kAssumedDecorationHeight);
}

void SdlBackend::ShowWaitCursor(bool waiting) {
    Resources& r = *resources_;
    if (r.window == nullptr) return;
    if (waiting && r.waitCursor == nullptr) r.waitCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    SDL_SetCursor(waiting && r.waitCursor != nullptr ? r.waitCursor : SDL_GetDefaultCursor());
}

void SdlBackend::SetIcon(const uint32_t* pixels, int width, int height) {
    if (resources_->window == nullptr) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_RGB888);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(resources_->window, icon);  // SDL copies the pixels
    SDL_FreeSurface(icon);
}

void SdlBackend::Raise() {
    if (resources_->window != nullptr) SDL_RaiseWindow(resources_->window);
}

}  // namespace platform::ui
