#include "platform/ui/clipboard.h"

#include <SDL.h>

namespace platform::ui {

namespace {

// Only the user-interface thread uses the clipboard.
std::string& ProcessClipboard() {
    static std::string text;
    return text;
}

bool DesktopClipboardAvailable() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

}  // namespace

std::string ReadClipboardText() {
    if (!DesktopClipboardAvailable()) return ProcessClipboard();
    char* text = SDL_GetClipboardText();
    std::string copy = text != nullptr ? text : "";
    SDL_free(text);
    return copy;
}

void WriteClipboardText(const std::string& text) {
    if (!DesktopClipboardAvailable()) {
        ProcessClipboard() = text;
        return;
    }
    SDL_SetClipboardText(text.c_str());
}

}  // namespace platform::ui
