#include "tools/base_skin/png_encoder.h"

#include <zlib.h>

#include <string_view>

namespace base_skin {
namespace {

constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kIndexedColour = 3;
constexpr uint8_t kNoFilter = 0;

// PNG's numbers are big-endian.
void PutBig32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& file, std::string_view type, const std::vector<uint8_t>& data) {
    PutBig32(file, static_cast<uint32_t>(data.size()));
    const size_t typeStart = file.size();
    file.insert(file.end(), type.begin(), type.end());
    file.insert(file.end(), data.begin(), data.end());
    const uLong crc = crc32(0, file.data() + typeStart, static_cast<uInt>(file.size() - typeStart));
    PutBig32(file, static_cast<uint32_t>(crc));
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(size);
    return packed;
}

}  // namespace

std::vector<uint8_t> EncodeIndexedPng(const Surface& picture, const std::array<Rgb, 256>& palette,
                                      std::optional<uint8_t> transparent) {
    std::vector<uint8_t> file(std::begin(kSignature), std::end(kSignature));

    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(picture.Width()));
    PutBig32(header, static_cast<uint32_t>(picture.Height()));
    header.insert(header.end(), {kBitDepth, kIndexedColour, 0, 0, 0});  // deflate, adaptive filters, no interlace
    PutChunk(file, "IHDR", header);

    std::vector<uint8_t> colours;
    for (const Rgb& colour : palette) colours.insert(colours.end(), {colour.red, colour.green, colour.blue});
    PutChunk(file, "PLTE", colours);
    if (transparent.has_value()) {
        std::vector<uint8_t> alpha(palette.size(), 0xFF);
        alpha[*transparent] = 0;
        PutChunk(file, "tRNS", alpha);
    }

    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(picture.Width() + 1) * static_cast<size_t>(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y) {
        rows.push_back(kNoFilter);
        for (int x = 0; x < picture.Width(); ++x) rows.push_back(picture.At(x, y));
    }
    PutChunk(file, "IDAT", Compressed(rows));
    PutChunk(file, "IEND", {});
    return file;
}

}  // namespace base_skin
