#include "platform/ui/ui_backend_sdl.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/utf8.h"

namespace platform::ui {
namespace {

constexpr int kMaximumZoom = 8;
constexpr const char* kWindowTitle = "Tunelark";

// The video drivers that show nothing: SDL falls back to them silently when
// there is no display.
bool IsInvisibleDriver(const char* driver) {
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
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
        default: return 0;
    }
}

}  // namespace

struct SdlBackend::Resources {
    SDL_Cursor* waitCursor = nullptr;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    uint32_t wakeEvent = 0;
    bool stylusDown = false;
};

int ZoomFromEnvironment(int fallback) {
    if (const char* text = std::getenv("TUNELARK_ZOOM")) {
        const int zoom = std::atoi(text);
        if (zoom >= 1 && zoom <= kMaximumZoom) return zoom;
    }
    return fallback;
}

SdlBackend::SdlBackend() : resources_(std::make_unique<Resources>()) {}

SdlBackend::~SdlBackend() {
    if (resources_->waitCursor != nullptr) SDL_FreeCursor(resources_->waitCursor);
    if (resources_->texture != nullptr) SDL_DestroyTexture(resources_->texture);
    if (resources_->renderer != nullptr) SDL_DestroyRenderer(resources_->renderer);
    if (resources_->window != nullptr) {
        SDL_DestroyWindow(resources_->window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool SdlBackend::Open(int zoom, std::string& error) {
    zoom_ = ZoomFromEnvironment(zoom);
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
                                kScreenHeight * zoom_, 0);
    if (r.window != nullptr) r.renderer = SDL_CreateRenderer(r.window, -1, 0);
    if (r.renderer != nullptr) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        r.texture = SDL_CreateTexture(r.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kScreenWidth,
                                      kScreenHeight);
    }
    r.wakeEvent = SDL_RegisterEvents(1);
    if (r.texture == nullptr || r.wakeEvent == static_cast<uint32_t>(-1)) {
        error = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    return true;
}

uint64_t SdlBackend::NowMs() {
    return SDL_GetTicks64();
}

void SdlBackend::WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) {
    SDL_Event event;
    const uint64_t now = NowMs();
    int got = 0;
    if (deadlineMs == kNoDeadline) {
        got = SDL_WaitEvent(&event);
    } else if (deadlineMs > now) {
        const uint64_t wait = deadlineMs - now;
        got = SDL_WaitEventTimeout(&event, static_cast<int>(std::min<uint64_t>(wait, INT32_MAX)));
    } else {
        got = SDL_PollEvent(&event);
    }
    Resources& r = *resources_;
    while (got) {
        InputEvent input;
        bool useful = true;
        switch (event.type) {
            case SDL_QUIT:
                input.kind = InputEvent::Kind::Quit;
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                useful = event.button.button == SDL_BUTTON_LEFT;
                input.kind = event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Kind::StylusDown : InputEvent::Kind::StylusUp;
                input.point = {event.button.x / zoom_, event.button.y / zoom_};
                input.doubleTap = event.type == SDL_MOUSEBUTTONDOWN && event.button.clicks >= 2;
                r.stylusDown = event.type == SDL_MOUSEBUTTONDOWN;
                break;
            case SDL_MOUSEMOTION:
                useful = r.stylusDown;
                input.kind = InputEvent::Kind::StylusMove;
                input.point = {event.motion.x / zoom_, event.motion.y / zoom_};
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                input.kind = event.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
                input.virtualKey = VirtualKeyOf(event.key.keysym.sym);
                useful = input.virtualKey != 0 && event.key.repeat == 0;
                break;
            case SDL_TEXTINPUT:
                // One event per UTF-16 unit, as WM_CHAR carries them.
                useful = false;
                for (const char16_t unit : Utf8ToUtf16(event.text.text)) {
                    events.push_back({InputEvent::Kind::Character, {}, false, 0, unit});
                }
                break;
            case SDL_MOUSEWHEEL:
                input.kind = InputEvent::Kind::Wheel;
                input.point = {event.wheel.mouseX / zoom_, event.wheel.mouseY / zoom_};
                input.wheelNotches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                useful = input.wheelNotches != 0;
                break;
            default:
                useful = false;  // wake-ups, window events: the loop looks at its queue anyway
                break;
        }
        if (useful) events.push_back(input);
        got = SDL_PollEvent(&event);
    }
}

void SdlBackend::Wake() {
    SDL_Event event{};
    event.type = resources_->wakeEvent;
    SDL_PushEvent(&event);
}

void SdlBackend::Present(const uint32_t* pixels) {
    Resources& r = *resources_;
    if (r.texture == nullptr) return;
    SDL_UpdateTexture(r.texture, nullptr, pixels, kScreenWidth * static_cast<int>(sizeof(uint32_t)));
    SDL_RenderClear(r.renderer);
    SDL_RenderCopy(r.renderer, r.texture, nullptr, nullptr);
    SDL_RenderPresent(r.renderer);
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
