#include "transmit/smtp/HeaderWords.h"

#include "transmit/smtp/MailComposer.h"

namespace tern {
namespace {

constexpr size_t kWordLimit = 75;

bool IsPlainAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7E) return false;
  return text.find("=?") == std::string_view::npos;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

std::string Word(std::string_view cp1251, TMailCharset charset) {
  return std::string("=?") + MailCharsetName(charset) + "?B?" + Base64(ConvertFromCp1251(cp1251, charset)) + "?=";
}

}  // namespace

std::string EncodeHeaderText(std::string_view cp1251, TMailCharset charset) {
  if (IsPlainAscii(cp1251)) return std::string(cp1251);
  std::string out;
  size_t start = 0;
  while (start < cp1251.size()) {
    // cp1251 has one byte per character, so any cut keeps characters whole.
    size_t length = 1;
    while (start + length < cp1251.size() && Word(cp1251.substr(start, length + 1), charset).size() <= kWordLimit)
      ++length;
    if (!out.empty()) out += "\n ";
    out += Word(cp1251.substr(start, length), charset);
    start += length;
  }
  return out;
}

std::string EncodeAddressList(std::string_view cp1251List, TMailCharset charset) {
  std::string out;
  for (const std::string& item : SplitAddressList(cp1251List)) {
    if (item.empty()) continue;
    std::string encoded = item;
    size_t open = item.rfind('<');
    if (open != std::string::npos && !IsPlainAscii(item)) {
      std::string name = Trim(item.substr(0, open));
      if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
      encoded = EncodeHeaderText(name, charset) + " " + item.substr(open);
    }
    if (!out.empty()) out += ",\n ";
    out += encoded;
  }
  return out;
}

}  // namespace tern
