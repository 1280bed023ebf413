#include "transmit/smtp/XXEncode.h"

#include "base/Text.h"

namespace tern {
namespace {

constexpr std::string_view kAlphabet = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr size_t kLineBytes = 45;

int ValueOf(char c) {
  size_t pos = kAlphabet.find(c);
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

}  // namespace

std::string XXEncode(std::string_view data, std::string_view name) {
  std::string out = "begin 644 " + std::string(name) + "\r\n";
  for (size_t at = 0; at < data.size(); at += kLineBytes) {
    std::string_view chunk = data.substr(at, kLineBytes);
    out += kAlphabet[chunk.size()];
    for (size_t i = 0; i < chunk.size(); i += 3) {
      unsigned b0 = static_cast<unsigned char>(chunk[i]);
      unsigned b1 = i + 1 < chunk.size() ? static_cast<unsigned char>(chunk[i + 1]) : 0;
      unsigned b2 = i + 2 < chunk.size() ? static_cast<unsigned char>(chunk[i + 2]) : 0;
      unsigned triple = (b0 << 16) | (b1 << 8) | b2;
      for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(triple >> shift) & 0x3F];
    }
    out += "\r\n";
  }
  out += kAlphabet[0];
  out += "\r\nend\r\n";
  return out;
}

std::string XXDecode(std::string_view text) {
  TextList lines = SplitLines(text);
  size_t i = 0;
  while (i < lines.size() && lines[i].rfind("begin ", 0) != 0) ++i;
  if (i == lines.size()) return {};
  std::string out;
  for (++i; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == "end") return out;
    if (line.empty()) return {};
    int count = ValueOf(line[0]);
    if (count < 0) return {};
    std::string bytes;
    for (size_t p = 1; p + 4 <= line.size(); p += 4) {
      unsigned triple = 0;
      for (size_t k = 0; k < 4; ++k) {
        int v = ValueOf(line[p + k]);
        if (v < 0) return {};
        triple = (triple << 6) | static_cast<unsigned>(v);
      }
      bytes += static_cast<char>((triple >> 16) & 0xFF);
      bytes += static_cast<char>((triple >> 8) & 0xFF);
      bytes += static_cast<char>(triple & 0xFF);
    }
    if (bytes.size() < static_cast<size_t>(count)) return {};
    out.append(bytes, 0, static_cast<size_t>(count));
  }
  return {};
}

}  // namespace tern
