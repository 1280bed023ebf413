#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CorvoTestSupport.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/TextTable.h"

namespace tern::test {
namespace {

// Reads a generated full ascent of every system code and checks each level
// against the values the generator wrote.
TEST(CorvoGeneratedAscent, EveryRouteReadsTheWholeAscent) {
  for (uint8_t code = 0; code < 8; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    TempDir dir;
    AscentPlan plan;
    plan.code = code;
    plan.launch = EncodeDateTime(2026, 12, 9, 11, 17, 0);
    const GeneratedAscent g = GenerateCorvoAscent(dir.path(), plan);

    ScriptedOperator op;
    TUACorvoMessage a;
    SetPlanStation(a, plan, op);
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(g.infoFile, rs));
    EXPECT_EQ(rs, code == 0 ? 255 : plan.sondeType);
    EXPECT_NEAR(a.ObsTime, EncodeDateTime(2026, 12, 9, 11, 0, 0), 1e-9);
    a.SetBufrI(false);
    ASSERT_TRUE(a.LoadData());
    EXPECT_TRUE(op.asked.empty()) << AskedText(op, 0);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(a.CloudGroup, plan.cloudGroup);
    const CorvoRoute route = FindCorvoSystem(code)->route;

    // Surface-layer lines that must have been inserted: below the launch, at no table level's pressure.
    int inserted = 0;
    for (const GeneratedSurface& s : g.surface) {
      const bool repeats = std::any_of(g.table.begin(), g.table.end(), [&](const GeneratedLevel& l) {
        return RoundEven(l.pressure * 10) == RoundEven(s.pressure * 10);
      });
      inserted += !repeats && s.pressure > g.table.back().pressure;
    }
    ASSERT_EQ(a.LevelCount, g.table.size() + inserted);
    ASSERT_GT(inserted, 10);

    size_t k = 0;
    int seenInserted = 0;
    for (int i = 0; i < a.LevelCount; ++i) {
      const tUALevel& l = a.Levels[i];
      const bool tableLevel = k < g.table.size() && std::abs(l.Pressure - g.table[k].pressure) < 0.004;
      if (!tableLevel) {  // a surface-layer level
        ++seenInserted;
        const auto s = std::find_if(g.surface.begin(), g.surface.end(),
                                    [&](const GeneratedSurface& x) { return std::abs(x.pressure - l.Pressure) < 0.01; });
        ASSERT_NE(s, g.surface.end()) << "level " << i << " at " << l.Pressure;
        EXPECT_FLOAT_EQ(l.Height, s->heightAboveBarometer * 10 + plan.barometerHeight);
        EXPECT_NEAR(l.Temp, s->temp, 1e-4);
        EXPECT_NEAR(l.DewPoint, s->temp - s->dewDep, 1e-4);
        EXPECT_NEAR(l.WindSpeed, s->speed, 1e-4);
        EXPECT_NEAR(l.WindDir, s->dir, 1e-4);
        EXPECT_EQ(l.SigFlags & ~(kSigWind1 | kSigWind2), kSigRoundHeight);
        EXPECT_GT(a.Levels[i - 1].Pressure, l.Pressure);
        continue;
      }
      ASSERT_LT(k, g.table.size());
      const GeneratedLevel& e = g.table[k++];
      SCOPED_TRACE("table level " + std::to_string(k - 1));
      EXPECT_NEAR(l.Height, e.height, 1e-3);
      EXPECT_NEAR(l.Pressure, e.pressure, 0.004);
      EXPECT_NEAR(l.Temp, e.temp, 1e-4);
      EXPECT_NEAR(l.Humidity, e.hum, 1e-4);
      EXPECT_NEAR(l.DewPoint, e.temp - e.dewDep, 1e-3);
      EXPECT_NEAR(l.WindDir, e.dir, 1e-3);
      EXPECT_NEAR(l.WindSpeed, e.speed, 1e-4);
      if (k == 1 && route != CorvoRoute::Profile) {
        EXPECT_FALSE(Present(l.Time));  // the launch level keeps no time on the TAE-3 route
      } else if (!Present(l.Time) && route == CorvoRoute::Tae03) {
        // Heights compared to ten metres: a surface-layer level just above may take the record first.
        EXPECT_LT(e.height, plan.barometerHeight + 1510);
      } else {
        EXPECT_NEAR(l.Time, e.time, 1e-4);
        // The drift of the balloon, computed by the generator on a flat earth.
        EXPECT_NEAR(l.LatDisp, e.latDisp, 0.01);
        EXPECT_NEAR(l.LonDisp, e.lonDisp, 0.01);
      }
      EXPECT_EQ((l.SigFlags & kSigStandard) != 0, e.standard) << l.Pressure;
      EXPECT_EQ((l.SigFlags & kSigTropopause) != 0, e.tropopause);
      EXPECT_EQ((l.SigFlags & kSigSurface) != 0, k == 1);
      if (route == CorvoRoute::Tae03) {
        const bool point = std::find(g.windPointTimes.begin(), g.windPointTimes.end(), e.time) != g.windPointTimes.end();
        if (point) {
          EXPECT_EQ(l.SigFlags & 0x180, 0x180u);
        }
      }
      if (route == CorvoRoute::Tae3) {
        const bool point = std::find(g.speedPointHeights.begin(), g.speedPointHeights.end(), e.height) !=
                           g.speedPointHeights.end();
        if (point) {
          EXPECT_NE(l.SigFlags & kSigWind1, 0u);
        }
      }
    }
    EXPECT_EQ(k, g.table.size());
    EXPECT_EQ(seenInserted, inserted);
    // The last level is near 10 hPa, 30 km up.
    EXPECT_LT(a.Levels[a.LevelCount - 1].Pressure, 15);
    EXPECT_GT(a.Levels[a.LevelCount - 1].Height, 29000);
  }
}

}  // namespace
}  // namespace tern::test
