// Values the radiosonde message cannot carry: found element by element from the
// layout the encoder writes by, with the limits of their fields.
#include "bufr/UnfitValues.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "EccodesDecode.h"
#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Text.h"
#include "bufr/BufrMessage.h"

using namespace tern;
using tern::test::FakeAscent;

namespace {

// Every coded metadata value present and within its field; one level.
std::unique_ptr<FakeAscent> FittingAscent(int extMeta) {
  auto a = std::make_unique<FakeAscent>();
  a->ExtMeta = static_cast<uint8_t>(extMeta);
  a->BufrI = false;
  a->StationInd = 27612;
  a->LaunchTime = EncodeDateTime(2026, 12, 9, 11, 17, 0);
  a->ObsTime = EncodeDateTime(2026, 12, 9, 11, 0, 0);
  tAscentMeta& m = a->Meta;
  m.AntennaHeight = 254;
  m.GasAmount = 8.19;
  m.BalloonWeight = 4.094;
  m.CorrAz = 359.4;
  m.CorrEl = -10;
  m.TrainLength = 102.2;
  m.BarometerHeight = 187;
  m.PressureSensor = 31;  // the field's own missing code
  a->AddLevel(1000);
  return a;
}

struct Want {
  Descriptor descriptor;
  int level;
  bool shear;
  double value, lowest, highest;
};

}  // namespace

TEST(UnfitValues, EachValueBeyondItsFieldWithItsLimits) {
  struct Case {
    const char* what;
    int extMeta;
    std::function<void(FakeAscent&)> set;
    std::vector<Want> want;
  };
  const Case cases[] = {
      {"everything fits", 2, [](FakeAscent&) {}, {}},
      {"antenna height all ones", 2, [](FakeAscent& a) { a.Meta.AntennaHeight = 255; },
       {{{0, 2, 102}, -1, false, 255, 0, 254}}},
      {"antenna height all ones with the metadata sequence", 4, [](FakeAscent& a) { a.Meta.AntennaHeight = 255; },
       {{{0, 2, 102}, -1, false, 255, 0, 254}}},
      {"lift", 2, [](FakeAscent& a) { a.Meta.GasAmount = 8.191; }, {{{0, 2, 85}, -1, false, 8.191, 0, 8.19}}},
      {"balloon weight", 2, [](FakeAscent& a) { a.Meta.BalloonWeight = 4.095; },
       {{{0, 2, 82}, -1, false, 4.095, 0, 4.094}}},
      {"elevation correction", 2, [](FakeAscent& a) { a.Meta.CorrEl = -10.01; },
       {{{0, 25, 66}, -1, false, -10.01, -10, 645.34}}},
      {"azimuth correction", 4, [](FakeAscent& a) { a.Meta.CorrAz = -10.5; },
       {{{0, 25, 65}, -1, false, -10.5, -10, 645.34}}},
      {"train length", 2, [](FakeAscent& a) { a.Meta.TrainLength = 150; }, {{{0, 2, 86}, -1, false, 150, 0, 102.2}}},
      {"code above its field", 2, [](FakeAscent& a) { a.Meta.PressureSensor = 40; },
       {{{0, 2, 95}, -1, false, 40, 0, 30}}},
      {"station index beyond the block field", 0, [](FakeAscent& a) { a.StationInd = 1234567; },
       {{{0, 1, 1}, -1, false, 1234, 0, 126}}},
      {"station height", 0, [](FakeAscent& a) { a.StationGroundHeight = -500; },
       {{{0, 7, 30}, -1, false, -500, -400, 12707}}},
      {"metadata the layout does not carry", 0,
       [](FakeAscent& a) {
         a.Meta.GasAmount = 20;
         a.Meta.AntennaHeight = 255;
       },
       {}},
      {"level values", 0,
       [](FakeAscent& a) {
         tUALevel& l = a.AddLevel(500, -300, -10, 180, 500, 5500);
         l.Time = 30000;
       },
       {{{0, 4, 86}, 1, false, 30000, -8192, 24574},
        {{0, 12, 101}, 1, false, -300, -273.15, 382.19},
        {{0, 11, 2}, 1, false, 500, 0, 409.4}}},
      {"a rejected value is not sent at all", 0,
       [](FakeAscent& a) { a.AddLevel(500, -300).RejFlags = kRejTemp; }, {}},
      {"wind-shear record", 0,
       [](FakeAscent& a) {
         tUAWindShear& s = a.Shears[a.ShearCount++];
         s.Time = 1800;
         s.Pressure = 250;
         s.ShearBelow = 500;
       },
       {{{0, 11, 61}, 0, true, 500, 0, 409.4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = FittingAscent(c.extMeta);
    c.set(*a);
    const UnfitValues got = FindUnfitValues(*a);
    ASSERT_EQ(got.size(), c.want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      const tUnfitValue& u = got[i];
      const Want& w = c.want[i];
      EXPECT_EQ(u.descriptor, w.descriptor) << i;
      EXPECT_EQ(u.level, w.level) << i;
      EXPECT_EQ(u.shear, w.shear) << i;
      EXPECT_NEAR(u.value, w.value, 1e-9) << i;
      EXPECT_NEAR(u.lowest, w.lowest, 1e-9) << i;
      EXPECT_NEAR(u.highest, w.highest, 1e-9) << i;
      EXPECT_TRUE(CodedMissingForUnfit(got, w.descriptor, w.level, w.shear)) << i;
    }
  }
}

TEST(UnfitValues, TheOperatorsLinesAreCountedBeyondAScreenful) {
  auto a = FittingAscent(2);
  a->Meta.CorrEl = -12.5;
  for (int i = 0; i < 15; ++i) a->AddLevel(500, 10, 5, 180, 5).Time = 30000;
  const UnfitValues unfit = FindUnfitValues(*a);
  ASSERT_EQ(unfit.size(), 16u);
  const std::string text = Cp1251ToUtf8(UnfitValuesText(unfit));
  EXPECT_EQ(text.substr(0, text.find('\r')), "время от выпуска, уровень 2: 30000 с (пределы -8192..24574 с)");
  EXPECT_EQ(text.substr(text.rfind('\r') + 1), "и ещё 1");
  EXPECT_FALSE(CodedMissingForUnfit(unfit, {0, 4, 86}, 0));
  EXPECT_FALSE(CodedMissingForUnfit(unfit, {0, 4, 86}, 1, true));
}

TEST(UnfitValues, TheMessageSendsThemAsMissing) {
  // A code beyond its field must not arrive as the entry its low bits name.
  auto a = FittingAscent(2);
  a->Meta.PressureSensor = 40;  // 0b101000: five bits would read 8
  a->Meta.HumSensor = 9;
  a->Meta.AntennaHeight = 255;
  a->Meta.GasAmount = 8.5;
  tern::test::TempDir dir;
  const std::string file = dir / "m.bin";
  tern::test::WriteBytes(file, BuildBufrMessage(*a));
  const auto d = tern::test::DecodeWithEccodes(
      file, {"pressureSensorType", "humiditySensorType", "antennaHeightAboveTowerBase", "amountOfGasUsedInBalloon"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Number("pressureSensorType"), tern::test::kEcMissingLong);
  EXPECT_EQ(d.Number("humiditySensorType"), 9);
  EXPECT_EQ(d.Number("antennaHeightAboveTowerBase"), tern::test::kEcMissingLong);
  EXPECT_EQ(d.Number("amountOfGasUsedInBalloon"), tern::test::kEcMissingDouble);
}
