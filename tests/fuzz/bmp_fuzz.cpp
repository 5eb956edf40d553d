// BMP images from skins and resources: an image loads within the size
// limits with every pixel in the canvas format, or fails with a reason.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/ui/bitmap.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace platform::ui;
    std::string error;
    const std::unique_ptr<Bitmap> bitmap = LoadBmpFromMemory(std::span<const uint8_t>(data, size), &error);
    if (bitmap == nullptr) {
        fuzz::Check(!error.empty(), "a refused image comes with a reason");
        return 0;
    }
    const int64_t width = bitmap->Width();
    const int64_t height = bitmap->Height();
    fuzz::Check(width > 0 && height > 0 && width <= kMaximumBitmapSide && height <= kMaximumBitmapSide &&
                    width * height <= kMaximumBitmapPixels,
                "a loaded image is within the size limits");
    fuzz::Check(bitmap->Image().Pixels().size() == static_cast<size_t>(width * height), "the image holds every pixel");
    for (const uint32_t pixel : bitmap->Image().Pixels()) {
        fuzz::Check((pixel & 0xFF000000u) == 0, "every pixel is opaque 0x00RRGGBB");
    }
    return 0;
}
