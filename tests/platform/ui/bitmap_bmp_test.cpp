#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/byte_order.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas_gdi.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform::ui;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kVersion5HeaderBytes = 124;

struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;  // negative: rows stored top-down
    uint16_t bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint8_t> pixelData;  // exactly as stored in the file
    uint32_t headerBytes = kInfoHeaderBytes;
};

// A BMP file, written field by field.
std::vector<uint8_t> WriteBmp(const BmpImage& image) {
    std::vector<uint8_t> bytes{'B', 'M'};
    const uint32_t dataOffset = 14 + image.headerBytes + static_cast<uint32_t>(image.palette.size()) * 4;
    platform::AppendLittle32(bytes, dataOffset + static_cast<uint32_t>(image.pixelData.size()));
    platform::AppendLittle32(bytes, 0);
    platform::AppendLittle32(bytes, dataOffset);
    platform::AppendLittle32(bytes, image.headerBytes);
    platform::AppendLittle32(bytes, static_cast<uint32_t>(image.width));
    platform::AppendLittle32(bytes, static_cast<uint32_t>(image.height));
    platform::AppendLittle16(bytes, 1);
    platform::AppendLittle16(bytes, image.bitsPerPixel);
    platform::AppendLittle32(bytes, image.compression);
    platform::AppendLittle32(bytes, static_cast<uint32_t>(image.pixelData.size()));
    platform::AppendLittle32(bytes, 2835);
    platform::AppendLittle32(bytes, 2835);
    platform::AppendLittle32(bytes, static_cast<uint32_t>(image.palette.size()));
    platform::AppendLittle32(bytes, 0);
    if (image.headerBytes == kVersion5HeaderBytes) {
        for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) {
            platform::AppendLittle32(bytes, mask);
        }
        platform::AppendLittle32(bytes, 0x73524742);  // 'sRGB'
        bytes.resize(14 + kVersion5HeaderBytes, 0);
    }
    for (uint32_t color : image.palette) {
        bytes.push_back(static_cast<uint8_t>(color));
        bytes.push_back(static_cast<uint8_t>(color >> 8));
        bytes.push_back(static_cast<uint8_t>(color >> 16));
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), image.pixelData.begin(), image.pixelData.end());
    return bytes;
}

// Rows of samples (palette indices, 16-bit values or 0xAARRGGBB colours)
// given top to bottom, packed at `bitsPerPixel` and padded to 4 bytes,
// stored bottom-up unless `topDown`.
std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>>& rows, int bitsPerPixel, bool topDown = false) {
    std::vector<uint8_t> data;
    for (size_t index = 0; index < rows.size(); ++index) {
        const std::vector<uint32_t>& row = rows[topDown ? index : rows.size() - 1 - index];
        std::vector<uint8_t> packed;
        if (bitsPerPixel < 8) {
            packed.assign((row.size() * bitsPerPixel + 7) / 8, 0);
            for (size_t x = 0; x < row.size(); ++x) {
                const size_t bit = x * bitsPerPixel;
                packed[bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bitsPerPixel - bit % 8));
            }
        } else {
            for (uint32_t sample : row) {
                for (int byte = 0; byte < bitsPerPixel / 8; ++byte) {
                    packed.push_back(static_cast<uint8_t>(sample >> (8 * byte)));
                }
            }
        }
        packed.resize((packed.size() + 3) / 4 * 4, 0);
        data.insert(data.end(), packed.begin(), packed.end());
    }
    return data;
}

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA, 0x808080, 0xFFFFFF};

std::vector<uint32_t> Pixels(const Bitmap& bitmap) { return bitmap.Image().Pixels(); }

struct LoadCase {
    const char* name;
    BmpImage image;
    std::vector<uint32_t> expected;  // top to bottom
};

std::vector<LoadCase> LoadCases() {
    std::vector<LoadCase> cases;
    cases.push_back({"1-bit", {3, 2, 1, kCompressionNone, {0x112233, 0xAABBCC}, PackRows({{1, 0, 1}, {0, 0, 1}}, 1)},
                     {0xAABBCC, 0x112233, 0xAABBCC, 0x112233, 0x112233, 0xAABBCC}});
    cases.push_back({"4-bit", {3, 2, 4, kCompressionNone, kPalette, PackRows({{1, 2, 3}, {4, 5, 7}}, 4)},
                     {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA, 0xFFFFFF}});
    cases.push_back({"8-bit", {2, 2, 8, kCompressionNone, kPalette, PackRows({{6, 4}, {5, 0}}, 8)},
                     {0x808080, 0x123456, 0xFEDCBA, 0x000000}});
    cases.push_back({"8-bit top-down", {2, -2, 8, kCompressionNone, kPalette, PackRows({{6, 4}, {5, 0}}, 8, true)},
                     {0x808080, 0x123456, 0xFEDCBA, 0x000000}});
    cases.push_back({"16-bit 555", {2, 2, 16, kCompressionNone, {}, PackRows({{0x7C00, 0x03E0}, {0x001F, 0x7FFF}}, 16)},
                     {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}});
    cases.push_back({"24-bit", {3, 2, 24, kCompressionNone, {}, PackRows({{0x010203, 0x102030, 0xA0B0C0}, {0xFFFFFF, 0, 0x7F8081}}, 24)},
                     {0x010203, 0x102030, 0xA0B0C0, 0xFFFFFF, 0x000000, 0x7F8081}});
    // Alpha of any value is dropped and the colour kept as stored.
    cases.push_back({"32-bit with alpha", {2, 2, 32, kCompressionNone, {}, PackRows({{0x800A141E, 0x00FF0000}, {0xFF00FF00, 0x01FFFFFF}}, 32)},
                     {0x0A141E, 0xFF0000, 0x00FF00, 0xFFFFFF}});
    cases.push_back({"32-bit bitfields, version 5 header", {2, 1, 32, kCompressionBitfields, {}, PackRows({{0x40102030, 0xFF405060}}, 32), kVersion5HeaderBytes},
                     {0x102030, 0x405060}});
    // Bottom row: a run of four 1s; top row: a run of one 2, then 3, 2, 1
    // in absolute mode (padded to a word), then end of bitmap.
    cases.push_back({"RLE8", {4, 2, 8, kCompressionRle8, kPalette,
                              {0x04, 0x01, 0x00, 0x00, 0x01, 0x02, 0x00, 0x03, 0x03, 0x02, 0x01, 0x00, 0x00, 0x01}},
                     {0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}});
    // One row: four pixels alternating 1 and 2, then end of bitmap.
    cases.push_back({"RLE4", {4, 1, 4, kCompressionRle4, kPalette, {0x04, 0x12, 0x00, 0x01}},
                     {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00}});
    return cases;
}

TEST(BitmapBmpTest, LoadsEveryDepthWithExactPixels) {
    for (const LoadCase& test : LoadCases()) {
        SCOPED_TRACE(test.name);
        std::string error;
        const std::unique_ptr<Bitmap> bitmap = LoadBmpFromMemory(WriteBmp(test.image), &error);
        ASSERT_NE(bitmap, nullptr) << error;
        EXPECT_EQ(bitmap->Width(), test.image.width);
        EXPECT_EQ(bitmap->Height(), std::abs(test.image.height));
        EXPECT_EQ(Pixels(*bitmap), test.expected);
    }
}

TEST(BitmapBmpTest, FileAndMemoryLoadAlike) {
    const LoadCase test = LoadCases()[5];
    const std::vector<uint8_t> bytes = WriteBmp(test.image);
    test::TemporaryFile file(bytes, "main.bmp");
    const std::unique_ptr<Bitmap> fromFile = LoadBmpFile(file.Path());
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(Pixels(*fromFile), test.expected);
    HBITMAP handle = SHLoadDIBitmap(file.Path());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Pixels(*handle), test.expected);
    EXPECT_TRUE(DeleteObject(handle));
    EXPECT_EQ(SHLoadDIBitmap(file.Directory() + "/missing.bmp"), nullptr);
    EXPECT_EQ(SHLoadDIBitmap(file.Directory()), nullptr);
}

TEST(BitmapBmpTest, DamagedImagesFailCleanly) {
    const std::vector<uint8_t> valid = WriteBmp(LoadCases()[5].image);
    std::vector<uint8_t> truncated(valid.begin(), valid.end() - 1);

    BmpImage huge{60000, 60000, 24, kCompressionNone, {}, {0, 0, 0, 0}};
    BmpImage hugeRle{16000, 16000, 8, kCompressionRle8, kPalette, {0x00, 0x01}};
    BmpImage zeroWidth{0, 2, 24, kCompressionNone, {}, {}};
    BmpImage negativeWidth{-3, 2, 24, kCompressionNone, {}, PackRows({{1, 2, 3}, {4, 5, 6}}, 24)};
    BmpImage badDepth{2, 2, 7, kCompressionNone, {}, std::vector<uint8_t>(8, 0)};
    std::vector<uint8_t> notBmp(64, 0x41);
    std::vector<uint8_t> headerOnly(valid.begin(), valid.begin() + 20);

    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"one byte short", truncated},
        {"header only", headerOnly},
        {"not a BMP", notBmp},
        {"60000 x 60000", WriteBmp(huge)},
        {"16000 x 16000 RLE", WriteBmp(hugeRle)},
        {"zero width", WriteBmp(zeroWidth)},
        {"negative width", WriteBmp(negativeWidth)},
        {"7 bits per pixel", WriteBmp(badDepth)},
    };
    for (const auto& [name, bytes] : cases) {
        std::string error;
        EXPECT_EQ(LoadBmpFromMemory(bytes, &error), nullptr) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}

// Every prefix and every single-byte corruption of small valid images loads
// or fails without touching memory it should not (run under the sanitizers).
TEST(BitmapBmpTest, SurvivesEveryTruncationAndCorruption) {
    for (const LoadCase& test : LoadCases()) {
        const std::vector<uint8_t> valid = WriteBmp(test.image);
        for (size_t length = 0; length < valid.size(); ++length) {
            const std::vector<uint8_t> prefix(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
            const std::unique_ptr<Bitmap> bitmap = LoadBmpFromMemory(prefix);
            if (test.image.compression == kCompressionNone) {
                EXPECT_EQ(bitmap, nullptr) << test.name << " cut to " << length;
            }
        }
        for (size_t position = 0; position < valid.size(); ++position) {
            for (uint8_t flip : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
                std::vector<uint8_t> damaged = valid;
                damaged[position] ^= flip;
                const std::unique_ptr<Bitmap> bitmap = LoadBmpFromMemory(damaged);
                if (bitmap != nullptr) {
                    EXPECT_EQ(bitmap->Image().Pixels().size(),
                              static_cast<size_t>(bitmap->Width()) * static_cast<size_t>(bitmap->Height()));
                }
            }
        }
    }
}

}  // namespace
