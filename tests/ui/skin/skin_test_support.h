#pragma once

// Helpers of the skin tests: bitmaps whose every pixel tells where it came
// from, BMP files of them, throw-away skin directories, and a fixture that
// leaves the process-wide skin as it found it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/device_context.h"
#include "tests/support/temporary_directory.h"
#include "ui/skin/skin.h"

namespace skin_test {

using platform::ui::Bitmap;
using platform::ui::Framebuffer;

// The pixel at (x, y) of coded bitmap `tag`: tag, row and column packed into
// the 24 colour bits, so a copied pixel shows its source.
constexpr uint32_t CodedPixel(int tag, int x, int y) {
    return (static_cast<uint32_t>(tag) << 20) | (static_cast<uint32_t>(y) << 10) | static_cast<uint32_t>(x);
}

inline Framebuffer CodedImage(int tag, int width, int height) {
    Framebuffer image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, CodedPixel(tag, x, y));
        }
    }
    return image;
}

inline Bitmap* NewCodedBitmap(int tag, int width, int height) { return new Bitmap(CodedImage(tag, width, height)); }

// A 24-bit bottom-up BMP file of the image.
inline std::vector<uint8_t> EncodeBmp24(const Framebuffer& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.Width()) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.Height());
    std::vector<uint8_t> bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    bytes = {'B', 'M'};
    put(54 + dataBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<uint32_t>(image.Width()), 4);
    put(static_cast<uint32_t>(image.Height()), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(dataBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = image.Height() - 1; y >= 0; --y) {
        size_t rowStart = bytes.size();
        for (int x = 0; x < image.Width(); ++x) {
            put(image.Pixel(x, y), 3);  // blue, green, red
        }
        bytes.resize(rowStart + rowBytes, 0);
    }
    return bytes;
}

// A fresh directory, removed with the object, that skin files are written into.
class SkinDirectory : public test::TemporaryDirectory {
public:
    void WriteFile(const std::string& name, const std::string& content) const {
        std::ofstream(PathOf(name), std::ios::binary) << content;
    }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        WriteFile(name, std::string(bytes.begin(), bytes.end()));
    }
    void WriteCodedBmp(const std::string& name, int tag, int width, int height) const {
        WriteFile(name, EncodeBmp24(CodedImage(tag, width, height)));
    }
};

// Puts the process-wide skin back to its first state after each test.
class SkinTest : public ::testing::Test {
protected:
    void TearDown() override {
        ReleaseSkinBitmaps();
        g_skin.Scale = 100;
        g_skin.Module = nullptr;
        g_skin.IsBaseSkin = true;
        g_skin.ResetColors();
    }
};

}  // namespace skin_test
