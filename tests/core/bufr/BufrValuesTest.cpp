#include <gtest/gtest.h>

#include <string>

#include "bufr/BufrValues.h"

using namespace tern;

TEST(BufrValues, RoundingTiesGoToTheEvenInteger) {
  struct Case { double x, rounded; };
  const Case cases[] = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
      {27302.5, 27302}, {27303.5, 27304}, {2.4999999, 2}, {2.5000001, 3}, {-7.6, -8},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundEven(c.x), c.rounded) << c.x;
}

TEST(BufrValues, ScaledValuesFitTheirFieldOrAreMissing) {
  struct Case {
    double value;
    int scale;
    int ref, width;
    bool present;
    uint32_t coded;
  };
  const Case cases[] = {
      {55.75, 5, -9000000, 25, true, 14575000},
      {-90.0, 5, -9000000, 25, true, 0},
      {100.0, 0, -1000, 17, true, 1100},
      {-1000.0, 0, -1000, 17, true, 0},
      {-1000.6, 0, -1000, 17, false, 0},     // below the reference
      {403500000.0, -5, 0, 15, true, 4035},  // negative scale divides exactly
      {403450000.0, -5, 0, 15, true, 4034},  // 4034.5 ties to even
      {25.0, -1, -40, 11, true, 42},         // 2.5 ties to even
      {kMissing, 1, 0, 12, false, 0},
      {-1e30, 1, 0, 12, false, 0},           // at the limit counts as missing
      {409.4, 1, 0, 12, true, 4094},
      {409.5, 1, 0, 12, false, 0},           // would be all ones, the missing value
  };
  for (const Case& c : cases) {
    const auto v = ScaleValue(c.value, c.scale, c.ref, c.width);
    ASSERT_EQ(v.has_value(), c.present) << c.value;
    if (c.present) {
      EXPECT_EQ(*v, c.coded) << c.value;
    }
  }
}

TEST(BufrValues, CloudGroupRules) {
  struct Case {
    std::string group;
    bool invalid;
    CloudCodes expected;
  };
  // significance, amount, base height (coded), low, middle, high
  const Case cases[] = {
      {"70///", false, {63, 7, 2047, 30, 61, 60}},
      {"00000", false, {62, 0, 2047, 30, 20, 10}},
      {"9////", false, {5, 9, 2047, 62, 61, 60}},
      {"1/0//", true, {63, 15, 2047, 63, 63, 63}},
      {"85230", false, {7, 8, 55, 35, 23, 10}},    // h 2: 150 m -> 15 + 40
      {"30512", false, {8, 3, 120, 30, 21, 12}},   // CL 0, CM 1: middle cloud; h 5: 800 m
      {"20003", false, {0, 2, 42, 30, 20, 13}},    // only CH; h 0: 25 m, 2.5 ties to 2
      {"21100", false, {7, 2, 48, 31, 20, 10}},    // h 1: 75 m, 7.5 ties to 8
      {"10/0/", false, {63, 1, 2047, 30, 20, 60}}, // CH hidden, base unknown
      {"11900", false, {7, 1, 290, 31, 20, 10}},   // h 9 with low cloud: 2500 m
      {"10910", false, {8, 1, 440, 30, 21, 10}},   // h 9 with middle cloud only: 4000 m
      {"10900", false, {63, 1, 2047, 30, 20, 10}}, // h 9 and no cloud type: unknown
      {"00904", false, {0, 0, 840, 30, 20, 10}},   // Nh 0, h 9, CH 1..8: 8000 m
      {"00909", false, {0, 0, 2047, 30, 20, 10}},  // Nh 0, h 9, CH 9: unknown
      {"98765", false, {5, 9, 215, 62, 61, 60}},   // sky obscured: every type hidden
  };
  for (const Case& c : cases) {
    const CloudCodes got = CloudCodesOf(c.group, c.invalid);
    EXPECT_EQ(got.significance, c.expected.significance) << c.group;
    EXPECT_EQ(got.amount, c.expected.amount) << c.group;
    EXPECT_EQ(got.baseHeight, c.expected.baseHeight) << c.group;
    EXPECT_EQ(got.low, c.expected.low) << c.group;
    EXPECT_EQ(got.middle, c.expected.middle) << c.group;
    EXPECT_EQ(got.high, c.expected.high) << c.group;
  }
}

TEST(BufrValues, LevelSignificanceFollowsFlagsAndRejections) {
  struct Case {
    uint32_t sig;
    uint8_t rej;
    uint32_t flag;
  };
  const Case cases[] = {
      {0x0000, 0, 0},
      {0x0001, 31, 0x20000},           // surface and standard levels ignore rejections
      {0x0002, 0, 0x10000},
      {0x0014, 1, 0x04800},            // tropopause dropped with the temperature
      {0x0014, 0, 0x0C800},
      {0x0010, 8, 0},                  // maximum wind dropped with the wind
      {0x0020, 2, 0x02000},            // temperature kept when only humidity is rejected
      {0x0040, 2, 0},
      {0x0040, 1, 0},                  // a rejected temperature also drops humidity
      {0x0080, 0, 0x00800},
      {0x0100, 0, 0x00800},
      {0x0180, 0, 0x00800},
      {0x0600, 0, 0x00600},
      {0x0600, 1, 0},
      {0x1800, 0, 0x00180},
      {0x1800, 2, 0},
      {0x6000, 0, 0x00060},
      {0x6000, 8, 0},
      {0x8000, 31, 0x00010},
      {0x0008, 0, 0},                  // not used by the encoder
      {0x20000, 0, 0},                 // inserted round-height level: not a significance
      {0xFFF7, 0, 0x3FFF0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LevelSignificance(c.sig, c.rej), c.flag) << std::hex << c.sig << " rej " << int(c.rej);
}

TEST(BufrValues, ShearSignificance) {
  EXPECT_EQ(ShearSignificance(0), 0u);
  EXPECT_EQ(ShearSignificance(0x0010), 0x04800u);
  EXPECT_EQ(ShearSignificance(0x0100), 0x00800u);
  EXPECT_EQ(ShearSignificance(0x8090), 0x04810u);
  EXPECT_EQ(ShearSignificance(0x0004 | 0x0020), 0u);  // temperature flags mean nothing here
}
