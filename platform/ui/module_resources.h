#pragma once

// The resources a program carries in its binary (bitmaps, icons, WAVE clips),
// found by kind and number as FindResource and LoadBitmap find them. A module
// instance is a table of them; the program builds its own at compile time and
// hands it to whoever loads resources (the skin, the shell, the click sound).

#include <cstdint>
#include <span>

#include "platform/ui/canvas_gdi.h"

namespace platform::ui {

enum class ResourceKind { Bitmap, Icon, Wave };

struct ResourceEntry {
    ResourceKind kind = ResourceKind::Bitmap;
    int id = 0;
    // An icon's side in pixels (one entry per size); 0 for the other kinds.
    int side = 0;
    std::span<const uint8_t> bytes;
};

class ModuleInstance {
public:
    explicit constexpr ModuleInstance(std::span<const ResourceEntry> entries) : entries_(entries) {}

    // The resource's bytes, or an empty span when the module has none.
    std::span<const uint8_t> Find(ResourceKind kind, int id, int side = 0) const;

private:
    std::span<const ResourceEntry> entries_;
};

using HINSTANCE = const ModuleInstance*;

// A bitmap resource as a new bitmap (DeleteObject frees it); nullptr when
// the module is null, lacks it or it cannot be read.
HBITMAP LoadBitmap(HINSTANCE module, int id);

// An icon resource at one side length, as a bitmap; nullptr as above.
HBITMAP LoadIconImage(HINSTANCE module, int id, int side);

}  // namespace platform::ui
