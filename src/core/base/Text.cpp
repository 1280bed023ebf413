#include "base/Text.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tern {
namespace {

// Unicode of cp1251 codes 0x80..0xBF; 0x98 is undefined in the code page.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t CodeOf(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return 0x0410 + (c - 0xC0);
  return kHigh[c - 0x80];
}

int ByteOf(char32_t u) {
  if (u < 0x80) return static_cast<int>(u);
  if (u >= 0x0410 && u <= 0x044F) return static_cast<int>(0xC0 + (u - 0x0410));
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == u && u != 0xFFFD) return static_cast<int>(0x80 + i);
  return -1;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

unsigned char FoldUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0) return c - 32;
  if (c == 0xB8) return 0xA8;  // ё
  return c;
}

unsigned char FoldLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDF) return c + 32;
  if (c == 0xA8) return 0xB8;
  return c;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string Utf8ToCp1251(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t u;
    int len;
    if (c < 0x80) { u = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { u = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { u = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { u = c & 0x07; len = 4; }
    else { out += '?'; ++i; continue; }
    if (i + len > s.size()) { out += '?'; break; }
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      u = (u << 6) | (cc & 0x3F);
    }
    if (!ok) { out += '?'; ++i; continue; }
    i += len;
    const int b = ByteOf(u);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string Cp1251ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char c : s) AppendUtf8(out, CodeOf(static_cast<unsigned char>(c)));
  return out;
}

std::string CodeDigits(long long n, int width) {
  std::string digits = std::to_string(n);
  if (static_cast<int>(digits.size()) > width) return std::string(width, '/');
  return std::string(width - digits.size(), '0') + digits;
}

std::string FixedText(double value, int width, int decimals) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
  return Trim(buf);
}

// A number carries at most one sign, and only in front of its digits: what
// follows the sign must start the number itself, so "--50", "+-4.6", "$-10"
// and "0x-5" are not numbers (from_chars would otherwise take a second sign).
static std::string_view AfterSign(std::string_view t, bool& negative) {
  negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  return t;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

static bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::optional<double> TryParseReal(std::string_view text) {
  const std::string t = Trim(text);
  bool negative = false;
  const std::string_view body = AfterSign(t, negative);
  if (body.empty() || !(IsDigit(body[0]) || body[0] == '.')) return std::nullopt;
  // Only the point is a decimal separator; from_chars is locale-independent.
  double v = 0;
  auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::general);
  if (ec != std::errc() || p != body.data() + body.size()) return std::nullopt;
  if (!std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

std::optional<long long> TryParseWhole(std::string_view text) {
  bool negative = false;
  const std::string_view body = AfterSign(text, negative);
  if (body.empty() || !IsDigit(body[0])) return std::nullopt;
  unsigned long long v = 0;
  auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), v, 10);
  if (ec != std::errc() || p != body.data() + body.size()) return std::nullopt;
  if (v > static_cast<unsigned long long>(LLONG_MAX)) return std::nullopt;
  return negative ? -static_cast<long long>(v) : static_cast<long long>(v);
}

std::optional<int> TryParseInt(std::string_view text) {
  const std::string t = Trim(text);
  std::string_view hex;
  if (!t.empty() && t[0] == '$') hex = std::string_view(t).substr(1);
  else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) hex = std::string_view(t).substr(2);
  else {
    const auto v = TryParseWhole(t);
    if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
    return static_cast<int>(*v);
  }
  // Hexadecimal takes no sign: a negative value is written as its 32-bit pattern.
  if (hex.empty() || !IsHexDigit(hex[0])) return std::nullopt;
  unsigned long long v = 0;
  auto [p, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
  if (ec != std::errc() || p != hex.data() + hex.size() || v > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(FoldUpper(static_cast<unsigned char>(c)));
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(FoldLower(static_cast<unsigned char>(c)));
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldUpper(static_cast<unsigned char>(a[i])) != FoldUpper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

static size_t LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

std::string ExtractFileName(std::string_view path) {
  const size_t s = LastSeparator(path);
  return std::string(s == std::string_view::npos ? path : path.substr(s + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const size_t s = LastSeparator(path);
  return s == std::string_view::npos ? std::string() : std::string(path.substr(0, s + 1));
}

static size_t ExtStart(std::string_view path) {
  const size_t s = LastSeparator(path);
  const size_t nameStart = s == std::string_view::npos ? 0 : s + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return path.size();
  return dot;
}

std::string ExtractFileExt(std::string_view path) { return std::string(path.substr(ExtStart(path))); }

std::string NameWithoutExt(std::string_view path) { return std::string(path.substr(0, ExtStart(path))); }

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  return NameWithoutExt(path) + std::string(ext);
}

std::string IncludeTrailingSeparator(std::string_view path) {
  std::string r(path);
  if (!r.empty() && !IsPathSeparator(r.back())) r += '/';
  return r;
}

std::string NativePath(std::string_view path) {
  std::string r(path);
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
}

int LastPos(std::string_view sub, std::string_view s) {
  if (sub.empty() || sub.size() > s.size()) return 0;
  const size_t p = s.rfind(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int LastCharPos(char c, std::string_view s) {
  const size_t p = s.rfind(c);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int ComboIndexOf(const TextList& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  return -1;
}

bool ReadTextLine(std::string_view data, size_t& pos, std::string& line) {
  line.clear();
  if (pos >= data.size()) return false;
  while (pos < data.size()) {
    const char c = data[pos++];
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
  return true;
}

bool SkipLine(std::string_view data, size_t& pos) {
  if (pos >= data.size()) return false;
  const size_t lf = data.find('\n', pos);
  pos = lf == std::string_view::npos ? data.size() : lf + 1;
  return true;
}

TextList SplitLines(std::string_view data) {
  TextList lines;
  size_t pos = 0;
  std::string line;
  while (ReadTextLine(data, pos, line)) lines.push_back(line);
  return lines;
}

}  // namespace tern
