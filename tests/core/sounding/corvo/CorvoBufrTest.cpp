// Generated ascents of each reading route, encoded as BUFR II and read back by
// ecCodes: the receiving centre must see the levels the reader delivered.
#include <gtest/gtest.h>

#include "../../bufr/EccodesDecode.h"
#include "CorvoTestSupport.h"
#include "bufr/BufrMessage.h"
#include "sounding/corvo/AscentGenerator.h"

namespace tern::test {
namespace {

TEST(CorvoBufr, EachRouteEncodesWhatItRead) {
  for (uint8_t code : {1, 0, 2}) {
    SCOPED_TRACE("code " + std::to_string(code));
    TempDir dir;
    AscentPlan plan;
    plan.code = code;
    plan.levels = 700;
    plan.launch = EncodeDateTime(2026, 12, 9, 11, 17, 0);
    const GeneratedAscent g = GenerateCorvoAscent(dir / "ascent", plan);

    ScriptedOperator op;
    TUACorvoMessage a;
    SetPlanStation(a, plan, op);
    a.StationGroundHeight = plan.barometerHeight;
    a.Center = 28;
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(g.infoFile, rs));
    a.SetRadiosondeType(rs);
    a.SetBufrI(false);
    ASSERT_TRUE(a.LoadData());
    ASSERT_GT(a.LevelCount, plan.levels);

    const std::string file = dir / "message.bin";
    WriteBytes(file, BuildBufrMessage(a));
    const EcDecoded d = DecodeWithEccodes(file, {"radiosondeType", "typicalHour", "pressure", "airTemperature",
                                                 "nonCoordinateGeopotentialHeight", "windSpeed", "timePeriod"});
    ASSERT_TRUE(d.Ok()) << d.output;
    EXPECT_EQ(d.Number("radiosondeType"), code == 0 ? kEcMissingLong : plan.sondeType);
    EXPECT_EQ(d.Number("typicalHour"), 11);
    const auto pressure = d.Numbers("pressure"), temp = d.Numbers("airTemperature");
    const auto height = d.Numbers("nonCoordinateGeopotentialHeight"), speed = d.Numbers("windSpeed");
    const auto time = d.Numbers("timePeriod");
    ASSERT_EQ(pressure.size(), a.LevelCount);
    ASSERT_EQ(temp.size(), a.LevelCount);
    for (int i = 0; i < a.LevelCount; ++i) {
      const tUALevel& l = a.Levels[i];
      EXPECT_NEAR(pressure[i], l.Pressure * 100.0, 10) << i;
      EXPECT_NEAR(temp[i], l.Temp + 273.15, 0.011) << i;
      EXPECT_NEAR(height[i], l.Height, 1) << i;
      EXPECT_NEAR(speed[i], l.WindSpeed, 0.11) << i;
      if (Present(l.Time) && l.Time >= 0) {
        EXPECT_NEAR(time[i], l.Time, 1) << i;
      }
    }
  }
}

}  // namespace
}  // namespace tern::test
