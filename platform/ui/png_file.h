#pragma once

// PNG files of framebuffers: the headless backend's screenshots and the
// pictures golden tests compare against. Written with libpng, 8-bit RGB, no
// time stamp or other varying chunk, so the same pixels give the same bytes.

#include <optional>
#include <string>

#include "platform/ui/framebuffer.h"

namespace platform::ui {

// Writes `image` to `path`; false (with the reason in `error`) on failure.
bool SavePng(const Framebuffer& image, const std::string& path, std::string* error = nullptr);

// Reads any PNG as opaque 0x00RRGGBB pixels (alpha dropped, grey and palette
// expanded); nothing on failure or beyond the bitmap size limits.
std::optional<Framebuffer> LoadPng(const std::string& path, std::string* error = nullptr);

}  // namespace platform::ui
