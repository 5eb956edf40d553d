// BMP loading: a header check of our own in front of SDL's loader, which
// reads every BMP variant but trusts the sizes in the header; then the
// conversion to the canvas format.

#include <SDL.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/byte_order.h"
#include "platform/ui/bitmap.h"

namespace platform::ui {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kCoreHeaderBytes = 12;  // the OS/2 header with 16-bit sizes
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;
// Larger than any BMP that passes the pixel limit, uncompressed at 32 bits.
constexpr uintmax_t kMaximumFileBytes = uintmax_t{kMaximumBitmapPixels} * 4 + (1u << 20);
constexpr uint32_t kOpaqueMask = 0x00FFFFFF;

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// Checks what SDL's loader would trust: the sizes, and for an uncompressed
// image that all its rows are present.
bool CheckBmpHeader(std::span<const uint8_t> bytes, std::string* error) {
    if (bytes.size() < kFileHeaderBytes + kCoreHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') {
        return Fail(error, "not a BMP image");
    }
    const uint32_t dataOffset = ReadLittle32(bytes.data() + 10);
    const uint32_t infoBytes = ReadLittle32(bytes.data() + kFileHeaderBytes);
    if (infoBytes < kCoreHeaderBytes || bytes.size() < kFileHeaderBytes + infoBytes) {
        return Fail(error, "truncated BMP header");
    }
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    const size_t info = kFileHeaderBytes;
    if (infoBytes == kCoreHeaderBytes) {
        width = ReadLittle16(bytes.data() + info + 4);
        height = ReadLittle16(bytes.data() + info + 6);
        bitsPerPixel = ReadLittle16(bytes.data() + info + 10);
    } else {
        if (infoBytes < 20) {
            return Fail(error, "truncated BMP header");
        }
        width = static_cast<int32_t>(ReadLittle32(bytes.data() + info + 4));
        height = static_cast<int32_t>(ReadLittle32(bytes.data() + info + 8));
        bitsPerPixel = ReadLittle16(bytes.data() + info + 14);
        compression = ReadLittle32(bytes.data() + info + 16);
    }
    height = std::llabs(height);
    if (width <= 0 || height <= 0 || width > kMaximumBitmapSide || height > kMaximumBitmapSide ||
        width * height > kMaximumBitmapPixels) {
        return Fail(error, "BMP size out of range");
    }
    if (compression == kCompressionNone || compression == kCompressionBitfields) {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
        if (dataOffset > bytes.size() || rowBytes * static_cast<uint64_t>(height) > bytes.size() - dataOffset) {
            return Fail(error, "truncated BMP pixel data");
        }
    }
    return true;
}

std::unique_ptr<Bitmap> ConvertSurface(SDL_Surface* loaded, std::string* error) {
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    if (converted == nullptr) {
        Fail(error, SDL_GetError());
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>(converted->w, converted->h);
    Framebuffer& image = bitmap->Image();
    const auto* source = static_cast<const uint8_t*>(converted->pixels);
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(source + static_cast<size_t>(y) * converted->pitch);
        uint32_t* target = image.Row(y);
        for (int x = 0; x < converted->w; ++x) {
            // Alpha (and the padding byte) is dropped: sprites are opaque.
            target[x] = row[x] & kOpaqueMask;
        }
    }
    SDL_FreeSurface(converted);
    return bitmap;
}

}  // namespace

std::unique_ptr<Bitmap> LoadBmpFromMemory(std::span<const uint8_t> bytes, std::string* error) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        Fail(error, "BMP too large");
        return nullptr;
    }
    if (!CheckBmpHeader(bytes, error)) {
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        Fail(error, SDL_GetError());
        return nullptr;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (loaded == nullptr) {
        Fail(error, SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<Bitmap> bitmap = ConvertSurface(loaded, error);
    SDL_FreeSurface(loaded);
    return bitmap;
}

std::unique_ptr<Bitmap> LoadBmpFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        Fail(error, "cannot open " + path);
        return nullptr;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uintmax_t>(size) > kMaximumFileBytes) {
        Fail(error, "BMP file too large: " + path);
        return nullptr;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) {
        Fail(error, "cannot read " + path);
        return nullptr;
    }
    return LoadBmpFromMemory(bytes, error);
}

}  // namespace platform::ui
