#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Error.h"

using namespace tern;

TEST(DateTime, DayNumbersMatchTheEpochOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29));
  EXPECT_TRUE(TryEncodeDate(2024, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2100, 2, 29));
  EXPECT_THROW(EncodeDate(2024, 13, 1), TernError);
}

TEST(DateTime, DecodeRoundTripsEveryDayOfSeveralYears) {
  for (double d = EncodeDate(1999, 1, 1); d < EncodeDate(2031, 1, 1); d += 1.0) {
    const DateParts p = DecodeDateTime(d + 0.5);
    EXPECT_EQ(EncodeDate(p.year, p.month, p.day), d);
    EXPECT_EQ(p.hour, 12);
  }
}

TEST(DateTime, DecodeRoundsToTheMillisecondAndCarriesIntoTheNextDay) {
  const double almostMidnight = EncodeDate(2026, 12, 31) + (86400000.0 - 0.3) / kMsecPerDay;
  const DateParts p = DecodeDateTime(almostMidnight);
  EXPECT_EQ(p.year, 2027);
  EXPECT_EQ(p.month, 1);
  EXPECT_EQ(p.day, 1);
  EXPECT_EQ(p.hour, 0);
  const DateParts q = DecodeDateTime(EncodeDateTime(2026, 6, 7, 23, 59, 58, 999));
  EXPECT_EQ(q.second, 58);
  EXPECT_EQ(q.msec, 999);
}

TEST(DateTime, FormatLetters) {
  const double t = EncodeDateTime(2026, 3, 5, 7, 8, 9);
  struct Case { const char* format; const char* text; };
  const Case cases[] = {
      {"yyyy", "2026"}, {"yy", "26"}, {"mm", "03"}, {"m", "3"}, {"dd", "05"}, {"d", "5"},
      {"hh", "07"}, {"h", "7"}, {"nn", "08"}, {"n", "8"}, {"ss", "09"},
      {"hh:mm", "07:08"},              // m after an hour field means minutes
      {"hhmm", "0708"},
      {"hh dd mm", "07 05 03"},        // a day field in between makes it the month again
      {"ddhh", "0507"}, {"yyyy\\mm\\", "2026\\03\\"}, {"yyyy/mm/", "2026/03/"},
      {"yyyymmdd-hh", "20260305-07"}, {"'mm'yy", "mm26"}, {"DD.MM.YYYY", "05.03.2026"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.text) << c.format;
}

TEST(DateTime, ShortFormatsParseAndPrint) {
  EXPECT_EQ(StrToDate("05.03.2026"), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToTime("07:08"), EncodeTime(7, 8, 0));
  EXPECT_EQ(StrToTime("07:08:09"), EncodeTime(7, 8, 9));
  EXPECT_EQ(StrToDateTime("05.03.2026 07:08:09"), EncodeDateTime(2026, 3, 5, 7, 8, 9));
  EXPECT_FALSE(StrToDate("31.02.2026"));
  EXPECT_FALSE(StrToDate("2026-03-05"));
  EXPECT_FALSE(StrToTime("25:00"));
  EXPECT_FALSE(StrToTime("7"));
  EXPECT_EQ(DateTimeToStr(EncodeDateTime(2026, 3, 5, 7, 8, 9)), "05.03.2026 07:08:09");
}

TEST(DateTime, RoundingToTheHour) {
  EXPECT_NEAR(RoundToHour(EncodeDateTime(2026, 1, 1, 11, 29, 59)), EncodeDateTime(2026, 1, 1, 11, 0, 0), 1e-9);
  EXPECT_NEAR(RoundToHour(EncodeDateTime(2026, 1, 1, 23, 31, 0)), EncodeDate(2026, 1, 2), 1e-9);
}
