#include "platform/ui/module_resources.h"

namespace platform::ui {

std::span<const uint8_t> ModuleInstance::Find(ResourceKind kind, int id, int side) const {
    for (const ResourceEntry& entry : entries_) {
        if (entry.kind == kind && entry.id == id && entry.side == side) {
            return entry.bytes;
        }
    }
    return {};
}

HBITMAP LoadBitmap(HINSTANCE module, int id) {
    if (module == nullptr) {
        return nullptr;
    }
    std::span<const uint8_t> bytes = module->Find(ResourceKind::Bitmap, id);
    return bytes.empty() ? nullptr : LoadDIBitmapFromMemory(bytes);
}

HBITMAP LoadIconImage(HINSTANCE module, int id, int side) {
    if (module == nullptr) {
        return nullptr;
    }
    std::span<const uint8_t> bytes = module->Find(ResourceKind::Icon, id, side);
    return bytes.empty() ? nullptr : LoadDIBitmapFromMemory(bytes);
}

}  // namespace platform::ui
