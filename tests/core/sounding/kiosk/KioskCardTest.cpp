#include <gtest/gtest.h>

#include "KioskFileWriter.h"
#include "base/Error.h"
#include "base/Text.h"
#include "sounding/kiosk/KioskCard.h"

using namespace tern;
using namespace tern::kiosk;
namespace kw = tern::test::kiosk;

TEST(KioskCard, IdentifiedBySizeAndVariantOctet) {
  struct Case {
    size_t size;
    uint8_t variant;
    int rsType;  // -1: "Зонд не опознан", -2: read error (too short for its blocks)
  };
  const Case cases[] = {
      {166, 1, 76}, {166, 0, -1}, {166, 2, -1},
      {186, 0, 75}, {186, 2, 75}, {186, 3, 58}, {186, 4, 68}, {186, 5, 28}, {186, 1, -1}, {186, 6, -1}, {186, 255, -1},
      {154, 0, -2}, {155, 1, -2}, {155, 2, -1}, {165, 1, -2}, {184, 0, -2}, {185, 3, -2}, {185, 1, -1},
      {0, 0, -1}, {153, 1, -1}, {167, 1, -1}, {187, 0, -1}, {200, 0, -1},
  };
  for (const Case& c : cases) {
    kw::CardPlan plan;
    plan.size = c.size;
    plan.variant = c.variant;
    const std::string bytes = kw::MakeCard(plan);
    ASSERT_EQ(bytes.size(), c.size);
    try {
      const tKioskCard card = ParseCard(bytes, "26120900.stg");
      EXPECT_EQ(RadiosondeTypeOfCard(card.Type), c.rsType) << c.size << "/" << int(c.variant);
    } catch (const TernError& e) {
      const std::string expected = c.rsType == -1 ? cp("Зонд не опознан") : cp("Ошибка чтения файла 26120900.stg");
      EXPECT_EQ(e.Text(), expected) << c.size << "/" << int(c.variant);
      EXPECT_LT(c.rsType, 0) << c.size << "/" << int(c.variant);
    }
  }
}

TEST(KioskCard, FieldsOfBothLayouts) {
  for (size_t size : {166, 186}) {
    kw::CardPlan plan;
    plan.size = size;
    plan.variant = size == 166 ? 1 : 4;
    plan.station = 4000123456u;
    plan.cloud = "8/5//";
    plan.day = 31;
    plan.month = 1;
    plan.year = 2027;
    plan.hour = 22.75f;
    const tKioskCard card = ParseCard(kw::MakeCard(plan), "x.stg");
    EXPECT_EQ(card.StationIndex, 4000123456u) << size;
    EXPECT_EQ(card.CloudGroup, "8/5//") << size;
    EXPECT_EQ(card.Day, 31) << size;
    EXPECT_EQ(card.Month, 1) << size;
    EXPECT_EQ(card.Year, 2027) << size;
    EXPECT_EQ(card.LaunchHour, 22.75f) << size;
  }
  // The cloud group takes as many of its five characters as the length octet says.
  kw::CardPlan shortCloud;
  shortCloud.cloud = "7/";
  EXPECT_EQ(ParseCard(kw::MakeCard(shortCloud), "x.stg").CloudGroup, "7/");
}
