#include "config/CodesChecksum.h"

#include <openssl/evp.h>

#include <memory>

#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "config/HeadingTemplate.h"

namespace tern {

namespace {

constexpr const char* kCompanionExt = ".crc";

// The scrambling is its own inverse: character k (from 1) XOR 2*k, within a byte.
std::string Scramble(std::string text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned key = static_cast<unsigned>(2 * (i + 1)) & 0xFF;
    text[i] = static_cast<char>(static_cast<unsigned char>(text[i]) ^ key);
  }
  return text;
}

// Every byte that could be lost or misread in a text line (controls, blanks,
// bytes above ASCII, and "#" itself) goes out as a "#$hh" escape.
std::string EscapeLine(const std::string& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c > 0x20 && c < 0x7F && c != '#') {
      out += ch;
    } else {
      out += "#$";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> Md5Hex(const std::string& bytes) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(ctx.get(), bytes.data(), bytes.size()) != 1 ||
      EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
    return std::nullopt;
  static const char* kHex = "0123456789ABCDEF";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

std::optional<std::string> CompanionOf(const std::string& path) {
  return FindCompanionFile(NameWithoutExt(path), kCompanionExt);
}

}  // namespace

std::optional<std::string> FileMd5Hex(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return Md5Hex(*bytes);
}

bool CheckCodesFile(const std::string& path) {
  if (!FileExists(path)) return false;
  const auto companion = CompanionOf(path);
  if (!companion) return false;
  const auto crc = ReadWholeFile(*companion);
  if (!crc) return false;
  size_t pos = 0;
  std::string line;
  if (!ReadTextLine(*crc, pos, line)) return false;
  const auto digest = FileMd5Hex(path);
  return digest && Scramble(DecodeEscapes(line)) == *digest;
}

std::string WriteCodesChecksum(const std::string& path) {
  const auto digest = FileMd5Hex(path);
  if (!digest) throw TernError(cp("Не удалось прочитать файл ") + path);
  const std::string companion = CompanionOf(path).value_or(ChangeFileExt(path, kCompanionExt));
  WriteFileAtomic(companion, EscapeLine(Scramble(*digest)) + "\r\n");
  return companion;
}

}  // namespace tern
