#pragma once

// Bitmaps: pixels in the canvas format (0x00RRGGBB) that a memory drawing
// context draws from and into.
//
// Implements what the player asks of bitmaps:
//   - a blank bitmap of a given size (CreateCompatibleBitmap);
//   - loading a BMP file or a BMP image in memory (an embedded resource):
//     1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or RLE4/RLE8,
//     bottom-up or top-down, read by SDL's loader and converted; the alpha of
//     a 32-bit file is dropped so every pixel is opaque. A damaged, truncated
//     or implausibly large image fails with a message, never a crash.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/ui/framebuffer.h"

namespace platform::ui {

class Bitmap {
public:
    // A black bitmap of that size.
    Bitmap(int width, int height) : image_(width, height) {}
    explicit Bitmap(Framebuffer image) : image_(std::move(image)) {}
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int Width() const { return image_.Width(); }
    int Height() const { return image_.Height(); }
    Framebuffer& Image() { return image_; }
    const Framebuffer& Image() const { return image_; }

    // How many drawing contexts have this bitmap selected; a selected bitmap
    // must not be deleted (DeleteObject refuses it, as GDI does).
    int Selections() const { return selections_; }
    // A memory context's own initial bitmap, which DeleteObject leaves alone.
    bool IsStock() const { return stock_; }

private:
    friend class DeviceContext;

    Framebuffer image_;
    int selections_ = 0;  // UI thread only, like all drawing.
    bool stock_ = false;
};

// The largest image the loaders accept, so that a damaged header cannot make
// them allocate gigabytes: far beyond any skin.
constexpr int kMaximumBitmapSide = 16384;
constexpr int64_t kMaximumBitmapPixels = int64_t{1} << 24;

// A BMP image held in memory. nullptr on failure, with the reason in `error`.
std::unique_ptr<Bitmap> LoadBmpFromMemory(std::span<const uint8_t> bytes, std::string* error = nullptr);

// A BMP file (path in UTF-8). nullptr on failure, with the reason in `error`.
std::unique_ptr<Bitmap> LoadBmpFile(const std::string& path, std::string* error = nullptr);

}  // namespace platform::ui
