#pragma once
// Little-endian reads from a byte buffer of the workstation's binary files.
// Callers check the bounds; these only assemble the octets.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tern::kiosk {

inline uint16_t LeU16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

inline int16_t LeI16(std::string_view b, size_t at) { return static_cast<int16_t>(LeU16(b, at)); }

inline uint32_t LeU32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(LeU16(b, at)) | static_cast<uint32_t>(LeU16(b, at + 2)) << 16;
}

inline float LeF32(std::string_view b, size_t at) { return std::bit_cast<float>(LeU32(b, at)); }

}  // namespace tern::kiosk
