#pragma once

// Little-endian fields, as BMP and RIFF headers store them.

#include <cstdint>
#include <vector>

namespace base_skin {

inline void Put16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

}  // namespace base_skin
