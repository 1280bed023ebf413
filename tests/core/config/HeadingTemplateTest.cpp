#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Text.h"
#include "config/HeadingTemplate.h"

using namespace tern;

namespace {

struct EscapeCase {
  const char* text;
  const char* decoded;
};

TEST(HeadingTemplate, DecodeEscapes) {
  const EscapeCase cases[] = {
      {"IUKD90#$20RUMS", "IUKD90 RUMS"},
      {"IUKD90#$20RUMS#$2", "IUKD90 RUMS#$2"},  // an unfinished escape at the end stays
      {"#$2", "#$2"},                            // three characters are taken as they are
      {"#$20", " "},
      {"#$0D#$0a", "\r\n"},                      // hex digits in either case
      {"A#$G0B#1", "A#$G0B#1"},                  // not hex: an ordinary "#"
      {"##$41#", "#A#"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeEscapes(c.text), c.decoded) << c.text;
  EXPECT_EQ(DecodeEscapes("x#$C0y"), std::string("x\xC0y"));
}

TEST(HeadingTemplate, ExpandDates) {
  const TDateTime t = EncodeDateTime(2026, 3, 5, 12, 7, 9);
  struct Case {
    const char* templ;
    const char* expanded;
  };
  const Case cases[] = {
      {"IUKD90 RUMS {ddhh}00", "IUKD90 RUMS 051200"},
      {"{yyyy\\mm\\}", "2026\\03\\"},
      {"{yyyymmdd-hh}", "20260305-12"},
      {"{d}.{m}.{yy} {hh:mm:ss}", "5.3.26 12:07:09"},  // m after an hour means minutes
      {"{hhnn}", "1207"},
      {"no fields", "no fields"},
      {"{dd", "{dd"},
      // Odd brace layouts must end; the empty pair and a leading "}" stay as they are.
      {"a{}b{dd}", "a{}b05"},
      {"}x{dd}", "}x05"},
      {"{}", "{}"},
      {"}{", "}{"},
      {"{x}", "x"},
      // Only date letters are formatted: quotes, "z" and the rest stand as written.
      {"{ddhh'Z'z}", "0512'Z'z"},
      {"{\"dd\"hh}", "\"05\"12"},
      {"{DDHH}", "0512"},
      {"{hh.nn.ss t a/p}", "12.07.09 t a/p"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandDates(c.templ, t), c.expanded) << c.templ;
}

TEST(HeadingTemplate, ExpandDatesDoesNotRescanItsOwnOutput) {
  // A brace inside a field stays in the output and must not be expanded again.
  const TDateTime t = EncodeDateTime(2026, 3, 5, 12, 0, 0);
  EXPECT_EQ(ExpandDates("{'{'dd}}", t), "'{'05}");
}

TEST(HeadingTemplate, InsertBBB) {
  struct Case {
    const char* templ;
    const char* indicator;
    const char* head;
    const char* tail;
    const char* utf8Result;
  };
  const Case cases[] = {
      {"IUKD90 RUMS 051200<BBB>", "RRA", " ", "", "IUKD90 RUMS 051200 RRA"},
      {"IUKD90 RUMS 051200<BBB>", "", " ", "", "IUKD90 RUMS 051200"},
      {"X<BBX>Y", "RRB", "(", ")", "X(RTD)Y"},
      {"X<BBX>Y", "CCA", "(", ")", "X(COR)Y"},
      {"X<BBR>", "CCB", " ", "", "X ЦЦБ"},
      {"X<BBR>", "RRC", " ", "", "X РРВ"},
      {"X<BBR>", "RRZ", " ", "", "X РРЩ"},
      {"X<BRX>", "RRA", " ", "", "X РТД"},
      {"X<BRX>", "CCA", " ", "", "X ЦОР"},
      {"X<BRX>", "", " ", "", "X"},
      // Search order decides, not position; only one placeholder is replaced.
      {"<BBX>A<BBB>", "RRA", "", "", "<BBX>ARRA"},
      {"<BBR>A<BRX>", "CCA", "", "", "ЦЦАA<BRX>"},
      {"no placeholder", "RRA", " ", "", "no placeholder"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Cp1251ToUtf8(InsertBBB(c.templ, c.head, c.indicator, c.tail)), c.utf8Result)
        << c.templ << " / " << c.indicator;
}

TEST(HeadingTemplate, DefaultBufrHeadingEndToEnd) {
  const TDateTime t = EncodeDateTime(2026, 3, 5, 12, 0, 0);
  const std::string templ = DecodeEscapes("IUKD90#$20RUMS#$20{ddhh}00<BBB>");
  const std::string head = DecodeEscapes("#$20");
  EXPECT_EQ(InsertBBB(ExpandDates(templ, t), head, "RRA", ""), "IUKD90 RUMS 051200 RRA");
  EXPECT_EQ(InsertBBB(ExpandDates(templ, t), head, "", ""), "IUKD90 RUMS 051200");
}

}  // namespace
