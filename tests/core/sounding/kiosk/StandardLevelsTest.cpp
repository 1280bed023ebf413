#include <gtest/gtest.h>

#include <cmath>

#include "sounding/Records.h"
#include "sounding/kiosk/StandardLevels.h"

using namespace tern;
using namespace tern::kiosk;

namespace {

constexpr double M = kMissing;

struct R {
  double p, t = M, u = M, z = M, dir = M, speed = M, time = M, x = M, y = M;
  uint16_t flags = 0;
};

tKioskProfile Profile(std::initializer_list<R> rows, int lastWind = -1, int index100 = -1) {
  tKioskProfile prof;
  prof.LastWind = lastWind;
  prof.Index100 = index100;
  for (const R& r : rows) {
    tKioskRecord rec;
    rec.Value = {r.time, r.p, r.t, r.u, r.z, r.dir, r.speed, r.x, r.y};
    rec.Flags = r.flags;
    prof.Records.push_back(rec);
  }
  return prof;
}

std::vector<double> Pressures(const tKioskProfile& p) {
  std::vector<double> out;
  for (const auto& r : p.Records) out.push_back(r[kPressure]);
  return out;
}

bool IsStandard(const tKioskRecord& r) { return (r.Flags & kEdtStandard) && (r.Flags2 & kEdtStandard); }

}  // namespace

TEST(KioskStandardLevels, SurfaceOnAStandardLevelIsMarkedAndNothingIsExtrapolated) {
  auto prof = Profile({{1000, 10, 70, 100, M, M, 0, 0, 0, kEdtSurface}, {990, 9, 70, 190}});
  CompleteStandardLevels(prof, false);
  ASSERT_EQ(Pressures(prof), (std::vector<double>{1000, 990}));
  EXPECT_TRUE(IsStandard(prof.Records[0]));
  EXPECT_EQ(prof.Records[0].Flags, kEdtSurface | kEdtStandard) << "the surface flag stays";
  EXPECT_FALSE(IsStandard(prof.Records[1]));
}

TEST(KioskStandardLevels, StandardLevelsBelowTheGroundAreExtrapolatedOnlyNearTheSurface) {
  struct Case {
    const char* what;
    R surface;
    std::vector<double> pressures;  // after completion, up to the surface
    std::vector<double> heights;    // of the extrapolated records
  };
  const Case cases[] = {
      {"980 hPa, 150 m", {980, 15, 80, 150}, {1000, 980}, {-21.583}},
      {"880 hPa is too high", {880, 5, 80, 1200}, {880}, {}},
      {"990 hPa but 1000 m high", {990, 5, 80, 1000}, {990}, {}},
      {"920 hPa: two levels, highest pressure first", {920, 10, 70, 600}, {1000, 925, 920}, {-98.275, 554.610}},
      {"1000 hPa would lie below -498 m", {901, 10, 70, 300}, {925, 901}, {80.582}},
      {"no surface temperature: no height", {980, M, 80, 150}, {980}, {}},
  };
  for (const Case& c : cases) {
    R top = c.surface;
    top.p = 870;  // above every extrapolated level, below none of the interpolated ones
    auto prof = Profile({c.surface, top});
    CompleteStandardLevels(prof, false);
    std::vector<double> got = Pressures(prof);
    got.resize(c.pressures.size());
    EXPECT_EQ(got, c.pressures) << c.what;
    for (size_t i = 0; i < c.heights.size() && i < prof.Records.size(); ++i) {
      const tKioskRecord& r = prof.Records[i];
      EXPECT_NEAR(r[kHeight], c.heights[i], 1e-3) << c.what;
      EXPECT_TRUE(IsStandard(r)) << c.what;
      EXPECT_FALSE(Present(r[kTemp]) || Present(r[kHumidity]) || Present(r[kTime]) || Present(r[kWindDir]) ||
                   Present(r[kX]))
          << c.what << ": only the height is known";
    }
  }
}

TEST(KioskStandardLevels, ExtrapolatedLevelsShiftTheIndexesBehindThem) {
  auto prof = Profile({{920, 10, 70, 600, 90, 5}, {700, 0, 50, 3000, 90, 5}, {100, -60, M, 16000, 90, 5}}, 1, 2);
  CompleteStandardLevels(prof, false);
  ASSERT_EQ(Pressures(prof), (std::vector<double>{1000, 925, 920, 850, 700, 500, 400, 300, 250, 200, 150, 100}));
  EXPECT_EQ(prof.Index100, 11);
  EXPECT_EQ(prof.LastWind, 4) << "the 700 hPa record keeps its wind";
}

TEST(KioskStandardLevels, AStandardLevelBetweenRecordsIsInterpolatedInLnP) {
  auto prof = Profile({{1000, 15, 80, 100, 90, 10, 0, 0, 0},
                       {900, 10, 60, 1000, 90, 10, 300, 100, 200},
                       {800, 4, 40, 1950, 180, 20, 600, 400, 500}},
                      2);
  CompleteStandardLevels(prof, false);
  ASSERT_EQ(Pressures(prof), (std::vector<double>{1000, 925, 900, 850, 800}));
  const tKioskRecord& r = prof.Records[3];
  EXPECT_TRUE(IsStandard(r));
  EXPECT_NEAR(r[kTemp], 7.08829, 1e-4);
  EXPECT_NEAR(r[kHumidity], 50.29429, 1e-4);
  EXPECT_NEAR(r[kHeight], 1461.0213, 1e-3);
  EXPECT_NEAR(r[kTime], 445.5857, 1e-3);
  EXPECT_NEAR(r[kX], 245.5857, 1e-3);
  EXPECT_NEAR(r[kY], 345.5857, 1e-3);
  // East wind of 10 m/s and north wind of 20 m/s mix by components, not by angle.
  EXPECT_NEAR(r[kWindDir], 152.0621, 1e-3);
  EXPECT_NEAR(r[kWindSpeed], 10.98608, 1e-4);
  EXPECT_EQ(prof.LastWind, 4);
}

TEST(KioskStandardLevels, InterpolationNeverMixesAMissingValueIntoAValue) {
  auto prof = Profile({{900, 10, 60, 1000, 0, 5, 300, M, 200}, {800, M, 40, 1950, 180, 5.2f, 600, 400, 500}}, 1);
  CompleteStandardLevels(prof, false);
  ASSERT_EQ(Pressures(prof), (std::vector<double>{900, 850, 800}));
  const tKioskRecord& r = prof.Records[1];
  EXPECT_FALSE(Present(r[kTemp]));
  EXPECT_FALSE(Present(r[kX]));
  EXPECT_TRUE(Present(r[kY]));
  EXPECT_NEAR(r[kHumidity], 50.2943, 1e-3);
  // Opposite winds nearly cancel: calm.
  EXPECT_EQ(r[kWindDir], 0);
  EXPECT_EQ(r[kWindSpeed], 0);
}

TEST(KioskStandardLevels, WindBeyondTheLastWindRecord) {
  struct Case {
    const char* what;
    double lastWindPressure;
    bool wind850;
  };
  const Case cases[] = {
      {"850 hPa lies on the last wind record once rounded", 850.4, true},
      {"850 hPa lies clearly above the last wind record", 851.0, false},
  };
  for (const Case& c : cases) {
    auto prof = Profile({{1000, 15, 80, 100, 90, 10}, {c.lastWindPressure, 5, 60, 1500, 200, 12}, {800, 4, 40, 1950}},
                        1);
    CompleteStandardLevels(prof, false);
    ASSERT_EQ(prof.Records.size(), 5u) << c.what;
    const tKioskRecord& r = prof.Records[3];
    ASSERT_EQ(r[kPressure], 850) << c.what;
    EXPECT_EQ(Present(r[kWindDir]) && Present(r[kWindSpeed]), c.wind850) << c.what;
    if (c.wind850) {
      EXPECT_EQ(r[kWindDir], 200);
      EXPECT_EQ(r[kWindSpeed], 12);
      EXPECT_EQ(prof.LastWind, 3) << c.what << ": the taken wind is the last wind now";
    } else {
      EXPECT_EQ(prof.LastWind, 2) << c.what;
    }
  }
  // Under 100 hPa the comparison is to tenths of hPa.
  auto high = Profile({{100, -60, M, 16000, 90, 10}, {70.04, -62, M, 18000, 270, 30}, {60, -63, M, 19000}}, 1);
  CompleteStandardLevels(high, false);
  ASSERT_EQ(Pressures(high), (std::vector<double>{100, 70.04, 70, 60}));
  EXPECT_EQ(high.Records[2][kWindSpeed], 30);
  auto notQuite = Profile({{100, -60, M, 16000, 90, 10}, {70.06, -62, M, 18000, 270, 30}, {60, -63, M, 19000}}, 1);
  CompleteStandardLevels(notQuite, false);
  EXPECT_FALSE(Present(notQuite.Records[2][kWindSpeed]));
}

TEST(KioskStandardLevels, TheHundredHectopascalIndexFollowsInsertionsAndEndsBufrI) {
  // 100 hPa is a record of its own: the index moves with the levels inserted before it.
  auto onRecord = Profile({{1000, 15}, {600, -10}, {100, -60}, {40, -55}}, -1, 2);
  CompleteStandardLevels(onRecord, true);
  EXPECT_EQ(Pressures(onRecord),
            (std::vector<double>{1000, 925, 850, 700, 600, 500, 400, 300, 250, 200, 150, 100, 40}));
  EXPECT_EQ(onRecord.Index100, 11);
  EXPECT_TRUE(IsStandard(onRecord.Records[11]));

  // 100 hPa is interpolated; BUFR I goes no further, BUFR II completes the rest.
  auto bufrI = Profile({{1000, 15}, {120, -60}, {40, -55}});
  CompleteStandardLevels(bufrI, true);
  EXPECT_EQ(bufrI.Records.size(), 13u);
  EXPECT_EQ(bufrI.Records[bufrI.Index100][kPressure], 100);
  EXPECT_EQ(bufrI.Records.back()[kPressure], 40) << "nothing inserted beyond 100 hPa";

  auto bufrII = Profile({{1000, 15}, {120, -60}, {40, -55}});
  CompleteStandardLevels(bufrII, false);
  EXPECT_EQ(Pressures(bufrII), (std::vector<double>{1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 120, 100,
                                                    70, 50, 40}));
  EXPECT_EQ(bufrII.Index100, 11);
}

TEST(KioskStandardLevels, RecordsWithoutPressureAreSteppedOver) {
  // Neither a missing nor a negative pressure may bracket a level (its logarithm is no number).
  auto prof = Profile({{1000, 15}, {M, 10}, {900, 10}, {-5, 8}, {800, 4}});
  CompleteStandardLevels(prof, false);
  const std::vector<double> expected = {1000, M, 925, 900, -5, 850, 800};
  ASSERT_EQ(Pressures(prof), expected);
  EXPECT_NEAR(prof.Records[2][kTemp], 15 + (10 - 15) * std::log(925.0 / 1000) / std::log(900.0 / 1000), 1e-9);
  EXPECT_NEAR(prof.Records[5][kTemp], 7.08829, 1e-4) << "between 900 and 800 hPa";
}

TEST(KioskHumidity, DewPointOfTemperatureAndHumidity) {
  struct Case { double t, u, dew; };
  const Case cases[] = {{20, 50, 9.26441}, {-30, 5, -57.63345}, {12.5, 100, 12.5}, {10, 0, -99}, {10, -3, -99}};
  for (const Case& c : cases) EXPECT_NEAR(DewPointOf(c.t, c.u), c.dew, 1e-4) << c.t << " " << c.u;
  EXPECT_NEAR(SaturationPressure(0), 6.107, 1e-12);
  EXPECT_NEAR(SaturationPressure(20), 23.37, 0.05);
}
