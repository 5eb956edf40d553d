#pragma once

// Fixed-order fields as files store them (RIFF and its WAVE formats, BMP
// headers, UTF-16 text, MPEG frame headers), read and written a byte at a
// time so the machine's own order never matters. The caller checks that the
// bytes are there.

#include <cstdint>
#include <vector>

namespace platform {

constexpr uint16_t ReadLittle16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

constexpr uint32_t ReadLittle32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

constexpr uint16_t ReadBig16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

constexpr uint32_t ReadBig32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

constexpr void WriteLittle16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

constexpr void WriteLittle32(uint8_t* out, uint32_t value) {
    WriteLittle16(out, static_cast<uint16_t>(value));
    WriteLittle16(out + 2, static_cast<uint16_t>(value >> 16));
}

// Appends the low 16 bits of `value`.
inline void AppendLittle16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendLittle32(std::vector<uint8_t>& bytes, uint32_t value) {
    AppendLittle16(bytes, value);
    AppendLittle16(bytes, value >> 16);
}

}  // namespace platform
