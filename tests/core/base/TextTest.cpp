#include <gtest/gtest.h>
#include <iconv.h>

#include "base/Text.h"

using namespace tern;

namespace {
std::string IconvCp1251ToUtf8(const std::string& in) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}
}  // namespace

TEST(Cp1251, EveryDefinedCodeMatchesTheSystemConverterBothWays) {
  for (int c = 1; c < 256; ++c) {
    if (c == 0x98) continue;  // undefined in the code page
    const std::string byte(1, static_cast<char>(c));
    const std::string utf8 = Cp1251ToUtf8(byte);
    EXPECT_EQ(utf8, IconvCp1251ToUtf8(byte)) << "code " << c;
    EXPECT_EQ(Utf8ToCp1251(utf8), byte) << "code " << c;
  }
}

TEST(Cp1251, UnrepresentableAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xAC" "b"), "a\x88" "b");  // euro sign exists
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");              // CJK does not
  EXPECT_EQ(Utf8ToCp1251("x\xC3"), "x?");                    // truncated sequence
  EXPECT_EQ(cp("Ёё"), "\xA8\xB8");
}

TEST(TextHelpers, CodeDigitsPadsOrFillsWithSlashes) {
  EXPECT_EQ(CodeDigits(7, 3), "007");
  EXPECT_EQ(CodeDigits(999, 3), "999");
  EXPECT_EQ(CodeDigits(1000, 3), "///");
  EXPECT_EQ(CodeDigits(0, 2), "00");
}

TEST(TextHelpers, FixedTextAndRealParsing) {
  EXPECT_EQ(FixedText(3.14159, 8, 2), "3.14");
  EXPECT_EQ(FixedText(-0.5, 6, 0), "-0");
  EXPECT_EQ(FixedText(250.0, 0, 0), "250");
  struct Case { const char* text; std::optional<double> value; };
  const Case cases[] = {{"55.75", 55.75}, {" -1.5e3 ", -1500.0}, {"+2", 2.0}, {"55,75", std::nullopt},
                        {"", std::nullopt}, {"1.2.3", std::nullopt}, {"abc", std::nullopt}, {"nan", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(TryParseReal(c.text), c.value) << c.text;
}

TEST(TextHelpers, IntegerParsingAcceptsHexPrefixes) {
  struct Case { const char* text; std::optional<int> value; };
  const Case cases[] = {{"42", 42}, {"-7", -7}, {"$FF", 255}, {"0x10", 16}, {"0X1f", 31}, {"", std::nullopt},
                        {"1.0", std::nullopt}, {"true", std::nullopt}, {"99999999999", std::nullopt}, {"$", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(TryParseInt(c.text), c.value) << c.text;
}

TEST(TextHelpers, NumbersTakeOneSignAndOnlyBeforeTheirDigits) {
  struct Case {
    const char* text;
    std::optional<double> real;
    std::optional<int> integer;
    std::optional<long long> whole;
  };
  const auto none = std::nullopt;
  const Case cases[] = {
      {"50", 50.0, 50, 50},          {"-50", -50.0, -50, -50},     {"+50", 50.0, 50, 50},
      {"-.5", -0.5, none, none},     {"+4.6e1", 46.0, none, none}, {"1e-5", 1e-5, none, none},
      {"--50", none, none, none},    {"+-4.6", none, none, none},  {"-+1", none, none, none},
      {"++1", none, none, none},     {"-", none, none, none},      {"- 5", none, none, none},
      {"1e--5", none, none, none},   {"-inf", none, none, none},   {"$10", none, 16, none},
      {"0x1F", none, 31, none},      {"$FFFFFFFF", none, -1, none},
      {"$-10", none, none, none},    {"0x-5", none, none, none},   {"+$10", none, none, none},
      {"-$10", none, none, none},    {"-0x5", none, none, none},   {"$+10", none, none, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TryParseReal(c.text), c.real) << c.text;
    EXPECT_EQ(TryParseInt(c.text), c.integer) << c.text;
    EXPECT_EQ(TryParseWhole(c.text), c.whole) << c.text;
  }
}

TEST(TextHelpers, PathsPositionsAndLists) {
  EXPECT_EQ(NameWithoutExt("c:\\a.b\\file.prof.1"), "c:\\a.b\\file.prof");
  EXPECT_EQ(NameWithoutExt("/x.y/noext"), "/x.y/noext");
  EXPECT_EQ(ExtractFileName("a/b\\c.txt"), "c.txt");
  EXPECT_EQ(ExtractFilePath("a/b\\c.txt"), "a/b\\");
  EXPECT_EQ(LastPos("ab", "xabyab"), 5);
  EXPECT_EQ(LastPos("zz", "xabyab"), 0);
  EXPECT_EQ(LastCharPos('.', "a.b.c"), 4);
  EXPECT_EQ(LastCharPos('/', "abc"), 0);
  EXPECT_EQ(ComboIndexOf({"a", "b", "b"}, "b"), 1);
  EXPECT_EQ(ComboIndexOf({"a"}, "A"), -1);
  EXPECT_TRUE(SameText(cp("абвЁ"), cp("АБВё")));
}

TEST(TextHelpers, LinesEndAtLineFeedAndDropEveryCarriageReturn) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\r\r\nd"), (TextList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("x\n"), (TextList{"x"}));
  EXPECT_EQ(SplitLines("x\n\n"), (TextList{"x", ""}));
  EXPECT_EQ(SplitLines("a\rb\n"), (TextList{"ab"}));
  size_t pos = 0;
  EXPECT_TRUE(SkipLine("one\ntwo", pos));
  std::string line;
  EXPECT_TRUE(ReadTextLine("one\ntwo", pos, line));
  EXPECT_EQ(line, "two");
  EXPECT_FALSE(ReadTextLine("one\ntwo", pos, line));
}
