#include "transmit/Password.h"

namespace tern {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DescramblePassword(const std::string& hexText, const std::string& key) {
  std::string plain;
  plain.reserve(hexText.size() / 2);
  for (size_t i = 0; i + 1 < hexText.size(); i += 2) {
    const int hi = HexDigit(hexText[i]);
    const int lo = HexDigit(hexText[i + 1]);
    unsigned char byte = (hi < 0 || lo < 0) ? 32 : static_cast<unsigned char>(hi * 16 + lo);
    if (!key.empty()) byte ^= static_cast<unsigned char>(key[plain.size() % key.size()]);
    plain.push_back(static_cast<char>(byte));
  }
  return plain;
}

}  // namespace tern
