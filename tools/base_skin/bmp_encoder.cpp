#include "tools/base_skin/bmp_encoder.h"

#include "platform/byte_order.h"

namespace base_skin {
namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPaletteBytes = 256 * 4;

}  // namespace

std::vector<uint8_t> EncodeIndexedBmp(const Surface& picture, const std::array<Rgb, 256>& palette) {
    const auto width = static_cast<uint32_t>(picture.Width());
    const auto height = static_cast<uint32_t>(picture.Height());
    const uint32_t rowBytes = (width + 3) & ~3u;
    const uint32_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes;
    const uint32_t imageBytes = rowBytes * height;

    std::vector<uint8_t> bytes;
    bytes.reserve(pixelOffset + imageBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    platform::AppendLittle32(bytes, pixelOffset + imageBytes);
    platform::AppendLittle32(bytes, 0);  // reserved
    platform::AppendLittle32(bytes, pixelOffset);

    platform::AppendLittle32(bytes, kInfoHeaderBytes);
    platform::AppendLittle32(bytes, width);
    platform::AppendLittle32(bytes, height);  // positive: bottom-up
    platform::AppendLittle16(bytes, 1);       // planes
    platform::AppendLittle16(bytes, 8);       // bits per pixel
    platform::AppendLittle32(bytes, 0);       // BI_RGB
    platform::AppendLittle32(bytes, imageBytes);
    platform::AppendLittle32(bytes, 2835);  // 72 dots per inch, horizontally
    platform::AppendLittle32(bytes, 2835);  // and vertically
    platform::AppendLittle32(bytes, 256);   // colours used
    platform::AppendLittle32(bytes, 0);     // all of them important

    for (const Rgb& color : palette) {
        bytes.push_back(color.blue);
        bytes.push_back(color.green);
        bytes.push_back(color.red);
        bytes.push_back(0);
    }
    for (uint32_t row = height; row-- > 0;) {
        for (uint32_t x = 0; x < width; ++x) bytes.push_back(picture.At(static_cast<int>(x), static_cast<int>(row)));
        for (uint32_t pad = width; pad < rowBytes; ++pad) bytes.push_back(0);
    }
    return bytes;
}

}  // namespace base_skin
