#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace base_skin {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr int Right() const { return x + width; }
    constexpr int Bottom() const { return y + height; }
    // The rectangle shrunk by `amount` on every side.
    constexpr Rect Inset(int amount) const { return {x + amount, y + amount, width - 2 * amount, height - 2 * amount}; }
};

// A picture of palette indices, row 0 at the top. Every drawing call clips to
// the picture, so artwork may run over an edge without checks of its own.
class Surface {
public:
    Surface(int width, int height, uint8_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

    uint8_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, uint8_t color);

    void Fill(Rect area, uint8_t color);
    void HorizontalLine(int x, int y, int length, uint8_t color);
    void VerticalLine(int x, int y, int length, uint8_t color);
    void Outline(Rect area, uint8_t color);
    // Copies all of `source` with its top-left corner at (x, y).
    void Paste(const Surface& source, int x, int y);
    // The `area` of this picture as a picture of its own.
    Surface Crop(Rect area) const;

private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace base_skin
