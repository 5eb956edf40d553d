#include "platform/ui/png_file.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/ui/bitmap.h"

namespace platform::ui {
namespace {

constexpr int kRgbBytes = 3;

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

}  // namespace

bool SavePng(const Framebuffer& image, const std::string& path, std::string* error) {
    if (image.Width() == 0 || image.Height() == 0) {
        return Fail(error, "empty image");
    }
    std::vector<uint8_t> rgb;
    rgb.reserve(image.Pixels().size() * kRgbBytes);
    for (uint32_t pixel : image.Pixels()) {
        rgb.push_back(static_cast<uint8_t>(pixel >> 16));
        rgb.push_back(static_cast<uint8_t>(pixel >> 8));
        rgb.push_back(static_cast<uint8_t>(pixel));
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width());
    png.height = static_cast<png_uint_32>(image.Height());
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        return Fail(error, std::string("cannot write PNG: ") + png.message);
    }
    return true;
}

std::optional<Framebuffer> LoadPng(const std::string& path, std::string* error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        Fail(error, std::string("cannot read PNG: ") + png.message);
        return std::nullopt;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaximumBitmapSide || png.height > kMaximumBitmapSide ||
        int64_t{png.width} * png.height > kMaximumBitmapPixels) {
        png_image_free(&png);
        Fail(error, "PNG size out of range");
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) {
        Fail(error, std::string("cannot decode PNG: ") + png.message);
        png_image_free(&png);
        return std::nullopt;
    }
    Framebuffer image(static_cast<int>(png.width), static_cast<int>(png.height));
    uint32_t* pixels = image.Data();
    for (size_t index = 0; index < image.Pixels().size(); ++index) {
        const uint8_t* source = rgb.data() + index * kRgbBytes;
        pixels[index] = (uint32_t{source[0]} << 16) | (uint32_t{source[1]} << 8) | source[2];
    }
    return image;
}

}  // namespace platform::ui
