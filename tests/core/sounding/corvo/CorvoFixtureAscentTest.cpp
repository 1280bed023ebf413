// The small hand-written ascents of tests/fixtures/corvo: one per reading
// route, each line chosen to show one rule of its reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CorvoTestSupport.h"
#include "config/CodeTables.h"
#include "config/MyIniFile.h"
#include "review/ChartScales.h"

namespace tern::test {
namespace {

constexpr double M = kMissing;

struct ExpectedLevel {
  double pressure, time, height, temp, dew, dir, speed;
  uint32_t flags;
};

struct RouteCase {
  const char* folder;
  uint8_t code;
  int questions;  // answered "Продолжить"
  std::vector<ExpectedLevel> levels;
};

bool Same(double expected, float actual) {
  return Present(expected) ? std::abs(expected - actual) < 1e-3 : !Present(actual);
}

TEST(CorvoFixtureAscent, HandWrittenAscentOfEachRoute) {
  const RouteCase cases[] = {
      {"prof", 1, 1,
       {
           {1003.4, 0, 147, 5.2, 2.3, 270, 3, 0x01E1},
           {1000.004, 20, 250, 4.6, 1.6, 0, 0.04, kSigStandard},  // calm
           {997.5, M, 197, 4.9, 2.0, 272, 3, kSigRoundHeight},    // surface layer
           {991.9, M, 247, 4.7, 1.7, M, M, kSigRoundHeight},      // surface layer without wind
           {960, 80, 560, 3.0, -0.1, 360, 5, kSigWind1},
           {925, 150, 900, 1.0, 1.0, 280, 6, kSigStandard | kSigHum},  // humidity 100 one column right
           {850, 300, 1500, -3.0, -7.0, 0, 105, kSigStandard | kSigMaxWind},  // 105 m/s: one column right
           // the line with "x.xx" was skipped
           {700, 500, 3000, -45.0, M, 290, 25, kSigStandard | kSigTropopause | kSigTemp},
       }},
      {"tae3", 0, 0,
       {
           {1003.4, M, 147, 5.2, 2.3, 270, 3, 0x01E1},               // first direction point: surface
           {991.0, 20, 250, 4.6, 1.6, 0, 0, kSigWind1},               // speed point, calm
           {979.0, M, 347, 4.0, 1.0, 272, 4, kSigRoundHeight},        // surface layer
           {962.0, 50, 500, 3.0, -0.1, 360, 5, kSigRoundHeight},      // the record at 505 m is not 500 m
           {925.0, 90, 900, 1.0, 1.0, 280, 6, kSigStandard | kSigHum | kSigWind2},
           {220.0, 1800, 11000, -56.0, -65.0, 280, 9, kSigTropopause | kSigRoundHeight},
       }},
      {"tae03", 2, 0,
       {
           {1003.4, M, 147, 5.2, 2.3, 270, 3, 0x01E1},
           {1000.0, 20, 250, 4.6, 1.6, 275, 4, kSigStandard | kSigWind1 | kSigWind2},  // ".SP" time 20 s
           {979.0, M, 347, 4.0, 1.0, 272, 4, kSigRoundHeight},
           {962.0, 50, 500, 3.0, -0.1, 360, 5, kSigRoundHeight},  // 505 m is 500 m to ten metres, but 0.3 degC off
           {925.0, M, 900, M, M, 280, 6, kSigWind1 | kSigWind2},  // no temperature: no time
           {220.0, 1800, 11000, -56.0, -65.0, M, M, kSigTropopause | kSigRoundHeight | kSigWind1 | kSigWind2},
       }},
  };
  for (const RouteCase& c : cases) {
    SCOPED_TRACE(c.folder);
    ScriptedOperator op;
    for (int q = 0; q < c.questions; ++q) op.Push(1);
    TUACorvoMessage a;
    a.SetOperator(&op);
    a.SystemCode = c.code;
    a.StationInd = 27612;
    a.StationLat = 55.75;
    a.StationLon = 37.62;
    a.StationBarometerHeight = 147;
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(FixturePath(std::string("corvo/") + c.folder + "/5.3.2020-23.5.info"), rs));
    EXPECT_EQ(rs, c.code == 0 ? 255 : 90);
    a.SetBufrI(false);
    ASSERT_TRUE(a.LoadData()) << AskedText(op, 0);
    EXPECT_EQ(op.asked.size(), static_cast<size_t>(c.questions)) << AskedText(op, c.questions);
    ASSERT_EQ(a.LevelCount, c.levels.size());
    for (size_t i = 0; i < c.levels.size(); ++i) {
      const ExpectedLevel& e = c.levels[i];
      const tUALevel& l = a.Levels[i];
      EXPECT_NEAR(l.Pressure, e.pressure, 1e-3) << i;
      EXPECT_TRUE(Same(e.time, l.Time)) << i << " time " << l.Time;
      EXPECT_TRUE(Same(e.height, l.Height)) << i << " height " << l.Height;
      EXPECT_TRUE(Same(e.temp, l.Temp)) << i << " temp " << l.Temp;
      EXPECT_TRUE(Same(e.dew, l.DewPoint)) << i << " dew " << l.DewPoint;
      EXPECT_TRUE(Same(e.dir, l.WindDir)) << i << " dir " << l.WindDir;
      EXPECT_TRUE(Same(e.speed, l.WindSpeed)) << i << " speed " << l.WindSpeed;
      EXPECT_EQ(l.SigFlags, e.flags) << i << std::hex << " 0x" << l.SigFlags;
      // On the TAE-3 routes the raw data give a level its time and its position together.
      if (c.code != 1) {
        EXPECT_EQ(Present(l.LatDisp), Present(l.Time)) << i;
      }
    }
  }
}

}  // namespace
}  // namespace tern::test

namespace tern::test {
namespace {

// The demo station (system code 5) opens these sample ascents.
TEST(CorvoFixtureAscent, DemoAscentsReadWithoutQuestions) {
  const std::string folder = std::string(TERN_FIXTURES) + "/../../demo/ascents/corvo/";
  int read = 0;
  for (const char* name : {"20261209-1117.info", "20261208-2316.info"}) {
    ScriptedOperator op;
    TUACorvoMessage a;
    a.SetOperator(&op);
    a.SystemCode = 5;
    a.StationInd = 27612;
    a.StationBarometerHeight = 187;
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(folder + name, rs)) << name;
    EXPECT_EQ(rs, 90);
    // The ascent's radiosonde is one the station flies: opening it asks nothing about retired codes.
    tGSSystemCodes gs;
    ASSERT_TRUE(ReadGroundSystem(TMyIniFile(folder + "../../settings/BUFRCODES.CNF"), a.SystemCode, gs));
    EXPECT_TRUE(std::any_of(gs.Rs.begin(), gs.Rs.end(), [rs](const tRsSystemCodes& c) { return c.Code % 100 == rs; }))
        << name;
    for (bool bufrI : {true, false}) {
      a.SetBufrI(bufrI);
      ASSERT_TRUE(a.LoadData()) << name;
      EXPECT_TRUE(op.asked.empty()) << AskedText(op, 0);
      EXPECT_GT(a.LevelCount, bufrI ? 1500 : 2950) << name;
      std::string path;
      EXPECT_TRUE(a.GetTelegramFile(1, path));
      EXPECT_TRUE(a.GetLayerFile(path));
      EXPECT_TRUE(a.GetGroundFile(path));
    }
    // Neighbouring levels deviate alike from the standard atmosphere: no level
    // is pinned to a pressure far from its height (a spike on the dH curve).
    for (int i = 1; i < a.LevelCount; ++i) {
      const tUALevel &l = a.Levels[i], &below = a.Levels[i - 1];
      if (!Present(l.Pressure) || !Present(below.Pressure) || !Present(l.Height) || !Present(below.Height)) continue;
      const double step = (l.Height - StdAtmHeight(l.Pressure)) - (below.Height - StdAtmHeight(below.Pressure));
      EXPECT_LT(std::fabs(step), 30) << name << " level " << i << " at " << l.Pressure << " hPa";
    }
    ++read;
  }
  EXPECT_EQ(read, 2);
}

}  // namespace
}  // namespace tern::test
