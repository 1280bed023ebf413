#include "transmit/Password.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

struct PasswordCase {
  const char* name;
  std::string hex;
  std::string key;
  std::string plain;
};

// Scrambles the way an administrator's tool would, so the table can state
// the readable password rather than opaque hex.
std::string Scramble(const std::string& plain, const std::string& key) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < plain.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(plain[i]);
    if (!key.empty()) b ^= static_cast<unsigned char>(key[i % key.size()]);
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

class DescramblePasswordTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(DescramblePasswordTest, GivesThePlainPassword) {
  const PasswordCase& c = GetParam();
  EXPECT_EQ(DescramblePassword(c.hex, c.key), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescramblePasswordTest,
    ::testing::Values(
        // No key: the pairs are only converted, upper and lower case alike.
        PasswordCase{"NoKey", "7365637265742a", "", "secret*"},
        PasswordCase{"NoKeyUpper", "7365637265742A", "", "secret*"},
        // The key is applied cyclically and restarts at its first character.
        PasswordCase{"KeyShorterThanPassword", "000102", "AB", std::string("A") + "C" + "C"},
        PasswordCase{"KeyLongerThanPassword", Scramble("pw", "longkey"), "longkey", "pw"},
        PasswordCase{"KeyCycles", Scramble("station-42", "k3y"), "k3y", "station-42"},
        // A pair that is not hexadecimal is a blank before the key applies.
        PasswordCase{"BadPairIsBlank", "41zz42", "", "A B"},
        PasswordCase{"BadPairThenKey", "0000g0", "\x01", std::string("\x01\x01") + char(32 ^ 1)},
        // A half pair at the end carries no byte.
        PasswordCase{"OddTail", "41424", "", "AB"},
        PasswordCase{"Empty", "", "key", ""},
        // Bytes above 0x7F survive (cp1251 passwords).
        PasswordCase{"HighBytes", "E0FF", "", "\xE0\xFF"}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tern
