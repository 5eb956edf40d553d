#include "tools/base_skin/surface.h"

#include <algorithm>

namespace base_skin {

Surface::Surface(int width, int height, uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Surface::Set(int x, int y, uint8_t color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = color;
}

void Surface::Fill(Rect area, uint8_t color) {
    const int left = std::max(area.x, 0);
    const int right = std::min(area.Right(), width_);
    const int top = std::max(area.y, 0);
    const int bottom = std::min(area.Bottom(), height_);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) pixels_[static_cast<size_t>(y) * width_ + x] = color;
    }
}

void Surface::HorizontalLine(int x, int y, int length, uint8_t color) { Fill({x, y, length, 1}, color); }

void Surface::VerticalLine(int x, int y, int length, uint8_t color) { Fill({x, y, 1, length}, color); }

void Surface::Outline(Rect area, uint8_t color) {
    HorizontalLine(area.x, area.y, area.width, color);
    HorizontalLine(area.x, area.Bottom() - 1, area.width, color);
    VerticalLine(area.x, area.y, area.height, color);
    VerticalLine(area.Right() - 1, area.y, area.height, color);
}

void Surface::Paste(const Surface& source, int x, int y) {
    for (int row = 0; row < source.Height(); ++row) {
        for (int column = 0; column < source.Width(); ++column) Set(x + column, y + row, source.At(column, row));
    }
}

Surface Surface::Crop(Rect area) const {
    Surface part(area.width, area.height);
    for (int row = 0; row < area.height; ++row) {
        for (int column = 0; column < area.width; ++column) {
            const int x = area.x + column;
            const int y = area.y + row;
            if (x >= 0 && y >= 0 && x < width_ && y < height_) part.Set(column, row, At(x, y));
        }
    }
    return part;
}

}  // namespace base_skin
