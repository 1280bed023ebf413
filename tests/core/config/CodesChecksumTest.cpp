#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Error.h"
#include "config/CodesChecksum.h"

using namespace tern;
using tern::test::ReadBytes;
using tern::test::TempDir;
using tern::test::WriteBytes;

namespace {

// MD5 of "abc" (RFC 1321 test suite).
constexpr const char* kAbcDigest = "900150983CD24FB0D6963F7D28E17F72";

// A companion line built independently of the writer: every byte escaped.
std::string CompanionLine(const std::string& digest) {
  static const char* kHex = "0123456789ABCDEF";
  std::string line;
  for (size_t i = 0; i < digest.size(); ++i) {
    const auto c = static_cast<unsigned char>(digest[i] ^ ((2 * (i + 1)) & 0xFF));
    line += "#$";
    line += kHex[c >> 4];
    line += kHex[c & 15];
  }
  return line;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(CodesChecksum, DigestIsUpperCaseMd5OfTheBytes) {
  TempDir dir;
  WriteBytes(dir / "t.cnf", "abc");
  EXPECT_EQ(FileMd5Hex(dir / "t.cnf"), kAbcDigest);
  EXPECT_FALSE(FileMd5Hex(dir / "absent.cnf").has_value());
}

TEST(CodesChecksum, CompanionLineIsCompared) {
  struct Case {
    const char* name;
    std::string companion;  // empty: no companion file
    bool ok;
  };
  const Case cases[] = {
      {"match", CompanionLine(kAbcDigest) + "\r\n", true},
      {"match without line end", CompanionLine(kAbcDigest), true},
      {"only the first line counts", CompanionLine(kAbcDigest) + "\r\ngarbage\r\n", true},
      {"lower-case digest", CompanionLine(Lower(kAbcDigest)) + "\r\n", false},
      {"digest not scrambled", std::string(kAbcDigest) + "\r\n", false},
      {"digest of other bytes", CompanionLine("00000000000000000000000000000000") + "\r\n", false},
      {"truncated companion", CompanionLine(kAbcDigest).substr(0, 40), false},
      {"empty companion", "", false},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / "t.cnf", "abc");
    WriteBytes(dir / "t.crc", c.companion);
    EXPECT_EQ(CheckCodesFile(dir / "t.cnf"), c.ok) << c.name;
  }
}

TEST(CodesChecksum, MissingFileOrCompanionFails) {
  TempDir dir;
  WriteBytes(dir / "t.cnf", "abc");
  EXPECT_FALSE(CheckCodesFile(dir / "t.cnf"));
  WriteBytes(dir / "u.crc", CompanionLine(kAbcDigest));
  EXPECT_FALSE(CheckCodesFile(dir / "u.cnf"));
}

TEST(CodesChecksum, CompanionIsFoundInAnyLetterCase) {
  TempDir dir;
  WriteBytes(dir / "BUFRCODES.CNF", "abc");
  WriteBytes(dir / "BUFRCODES.CRC", CompanionLine(kAbcDigest));
  EXPECT_TRUE(CheckCodesFile(dir / "BUFRCODES.CNF"));
}

TEST(CodesChecksum, WriterSignsAndAnyLaterEditBreaksTheSignature) {
  TempDir dir;
  // Binary content with line ends and NULs must sign like any other file.
  using namespace std::string_literals;
  const std::string content = "[BUFR]\r\nExtMeta=2\r\n\0\xFF\x01\n"s;
  WriteBytes(dir / "codes.cnf", content);
  EXPECT_EQ(WriteCodesChecksum(dir / "codes.cnf"), dir / "codes.crc");
  EXPECT_TRUE(CheckCodesFile(dir / "codes.cnf"));

  // The companion is one printable line: safe to copy, mail or edit as text.
  const std::string crc = ReadBytes(dir / "codes.crc");
  ASSERT_GE(crc.size(), 34u);
  EXPECT_EQ(crc.substr(crc.size() - 2), "\r\n");
  for (char c : crc.substr(0, crc.size() - 2)) EXPECT_TRUE(c > 0x20 && c < 0x7F) << int(c);

  WriteBytes(dir / "codes.cnf", content.substr(0, content.size() - 1));
  EXPECT_FALSE(CheckCodesFile(dir / "codes.cnf"));
  WriteCodesChecksum(dir / "codes.cnf");
  EXPECT_TRUE(CheckCodesFile(dir / "codes.cnf"));
}

TEST(CodesChecksum, WriterReportsAnUnreadableFile) {
  TempDir dir;
  EXPECT_THROW(WriteCodesChecksum(dir / "absent.cnf"), TernError);
}

}  // namespace
