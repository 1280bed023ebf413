#pragma once
// Little-endian words of the workstation's binary files. Reads: callers
// check the bounds; these only assemble the octets. Writes (for making such
// files): a word that would not fit in the buffer is left out.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
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

inline void PutLeU16(std::string& b, size_t at, uint16_t v) {
  if (at + 2 > b.size()) return;
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

inline void PutLeU32(std::string& b, size_t at, uint32_t v) {
  if (at + 4 > b.size()) return;
  PutLeU16(b, at, static_cast<uint16_t>(v & 0xFFFF));
  PutLeU16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

inline void PutLeF32(std::string& b, size_t at, float v) { PutLeU32(b, at, std::bit_cast<uint32_t>(v)); }

}  // namespace tern::kiosk
