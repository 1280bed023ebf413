#pragma once
// Packs BUFR values most-significant bit first into a buffer of fixed size.
// The size is known before writing (section lengths are computed in advance),
// so the writer never grows: a write past the end is a programming error and
// raises TernError instead of corrupting memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tern {

class TBitWriter {
 public:
  explicit TBitWriter(size_t capacity);

  // The low n bits of value, 1 <= n <= 32.
  void PutBits(uint32_t value, int n) {
    if (n < 1 || n > 32) BadWidth();
    if (BitCount() + static_cast<size_t>(n) > buf_.size() * 8) Overflow();
    // Only the low n bits count; higher bits must not leak into the next field.
    acc_ = (acc_ << n) | (value & Low(n));
    used_ += n;
    // Whole octets go to the buffer as they complete; the open one stays in the accumulator.
    while (used_ >= 8) {
      used_ -= 8;
      buf_[pos_++] = static_cast<char>(static_cast<uint8_t>(acc_ >> used_));
    }
    acc_ &= Low(used_);
  }
  void PutOctets(const void* bytes, size_t count);
  // A CCITT IA5 field of width characters: all 0xFF for an empty text (BUFR
  // missing), otherwise the text cut or padded with spaces to width.
  void PutText(std::string_view text, int width);
  // F in 2 bits, X in 6 bits, Y in 8 bits.
  void PutDescriptor(int f, int x, int y);
  // Zero bits up to the next octet boundary.
  void PadToOctet();

  // Octets started so far (a partly filled octet counts).
  size_t OctetCount() const { return pos_ + (used_ > 0 ? 1 : 0); }
  size_t BitCount() const { return pos_ * 8 + static_cast<size_t>(used_); }
  size_t OctetPosition() const { return pos_; }
  int BitsUsed() const { return used_; }
  // The written octets; moves the buffer out of the writer.
  std::string Take();

 private:
  static constexpr uint64_t Low(int n) { return (uint64_t{1} << n) - 1; }  // n < 64
  [[noreturn]] void Overflow() const;
  [[noreturn]] static void BadWidth();
  std::string buf_;
  size_t pos_ = 0;    // octet being filled
  int used_ = 0;      // bits already used in it, 0..7
  uint64_t acc_ = 0;  // the low used_ bits are those of the octet being filled
};

}  // namespace tern
