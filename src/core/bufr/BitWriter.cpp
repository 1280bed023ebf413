#include "bufr/BitWriter.h"

#include "base/Error.h"
#include "base/Text.h"

namespace tern {

TBitWriter::TBitWriter(size_t capacity) : buf_(capacity, '\0') {}

void TBitWriter::BadWidth() { throw TernError(cp("Внутренняя ошибка: недопустимая ширина поля BUFR")); }

void TBitWriter::Overflow() const {
  throw TernError(cp("Внутренняя ошибка: запись за пределами буфера сообщения BUFR"));
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
  // An open octet is handed out as if padded with zero bits.
  if (used_ > 0) buf_[pos_] = static_cast<char>(static_cast<uint8_t>(acc_ << (8 - used_)));
  std::string out = std::move(buf_);
  out.resize(OctetCount());
  buf_.clear();
  pos_ = 0;
  used_ = 0;
  acc_ = 0;
  return out;
}

}  // namespace tern
