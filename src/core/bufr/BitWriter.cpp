#include "bufr/BitWriter.h"

#include "base/Error.h"
#include "base/Text.h"

namespace tern {

TBitWriter::TBitWriter(size_t capacity) : buf_(capacity, '\0') {}

void TBitWriter::Overflow() const {
  throw TernError(cp("Внутренняя ошибка: запись за пределами буфера сообщения BUFR"));
}

void TBitWriter::PutBits(uint32_t value, int n) {
  if (n < 1 || n > 32) throw TernError(cp("Внутренняя ошибка: недопустимая ширина поля BUFR"));
  if (BitCount() + static_cast<size_t>(n) > buf_.size() * 8) Overflow();
  // Only the low n bits count; higher bits must not leak into the next field.
  uint64_t v = n == 32 ? value : value & ((uint32_t{1} << n) - 1);
  int left = n;
  while (left > 0) {
    const int free = 8 - used_;
    const int take = left < free ? left : free;
    const uint8_t chunk = static_cast<uint8_t>((v >> (left - take)) & ((1u << take) - 1));
    const uint8_t shifted = static_cast<uint8_t>(chunk << (free - take));
    // The octet is cleared by its first bit, so the buffer needs no clearing in advance.
    if (used_ == 0)
      buf_[pos_] = static_cast<char>(shifted);
    else
      buf_[pos_] = static_cast<char>(static_cast<uint8_t>(buf_[pos_]) | shifted);
    left -= take;
    used_ += take;
    if (used_ == 8) {
      used_ = 0;
      ++pos_;
    }
  }
}

void TBitWriter::PutOctets(const void* bytes, size_t count) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  if (used_ == 0) {
    if (pos_ + count > buf_.size()) Overflow();
    for (size_t i = 0; i < count; ++i) buf_[pos_ + i] = static_cast<char>(p[i]);
    pos_ += count;
    return;
  }
  for (size_t i = 0; i < count; ++i) PutBits(p[i], 8);
}

void TBitWriter::PutText(std::string_view text, int width) {
  if (width < 1 || width > 128) throw TernError(cp("Внутренняя ошибка: недопустимая ширина текстового поля BUFR"));
  const size_t w = static_cast<size_t>(width);
  for (size_t i = 0; i < w; ++i) {
    uint8_t c = 0x20;
    if (text.empty())
      c = 0xFF;
    else if (i < text.size())
      c = static_cast<uint8_t>(text[i]);
    PutBits(c, 8);
  }
}

void TBitWriter::PutDescriptor(int f, int x, int y) {
  PutBits(static_cast<uint32_t>(f), 2);
  PutBits(static_cast<uint32_t>(x), 6);
  PutBits(static_cast<uint32_t>(y), 8);
}

void TBitWriter::PadToOctet() {
  if (used_ > 0) PutBits(0, 8 - used_);
}

std::string TBitWriter::Take() {
  std::string out = std::move(buf_);
  out.resize(OctetCount());
  buf_.clear();
  pos_ = 0;
  used_ = 0;
  return out;
}

}  // namespace tern
