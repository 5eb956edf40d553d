#pragma once

// A rectangle of 32-bit pixels (0x00RRGGBB, rows top to bottom, no padding):
// the screen, and the pixels of every bitmap.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class Framebuffer {
public:
    // An empty 0 x 0 framebuffer.
    Framebuffer() = default;
    // A black framebuffer; negative sizes count as 0.
    Framebuffer(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Unchecked: the caller keeps (x, y) inside the bounds.
    uint32_t Pixel(int x, int y) const { return pixels_[Index(x, y)]; }
    void SetPixel(int x, int y, uint32_t pixel) { pixels_[Index(x, y)] = pixel; }
    uint32_t* Row(int y) { return pixels_.data() + Index(0, y); }
    const uint32_t* Row(int y) const { return pixels_.data() + Index(0, y); }

    uint32_t* Data() { return pixels_.data(); }
    const uint32_t* Data() const { return pixels_.data(); }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Fills the part of `area` inside the bounds.
    void Fill(Rect area, uint32_t pixel);

    // Counts the drawing calls that wrote here, so the owner of the screen
    // can tell whether anything drew since it last showed it.
    uint64_t Changes() const { return changes_; }
    void MarkChanged() { ++changes_; }

    // Same size and pixels.
    bool operator==(const Framebuffer& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    uint64_t changes_ = 0;
};

// The common part of two rectangles (empty when they do not meet).
Rect IntersectRects(Rect first, Rect second);
// `rect` moved by (dx, dy).
Rect MovedRect(Rect rect, int dx, int dy);

}  // namespace platform::ui
