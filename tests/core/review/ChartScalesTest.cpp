#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "review/ChartScales.h"

using namespace tern;
using tern::test::FakeAscent;

TEST(ChartScales, StandardAtmosphereHeightsByLayer) {
  struct Case { double p, h; };
  const Case cases[] = {{1013.25, 0}, {500, 5574.4}, {226.32, 11000.0}, {100, 16180.3}, {54.7487, 20000},
                        {10, 31054.9}, {8.68014, 32000}, {2, 42439.8}};
  for (const auto& c : cases) EXPECT_NEAR(StdAtmHeight(c.p), c.h, 1.0) << c.p;
}

TEST(ChartScales, PressureAxisStaysInsideItsRange) {
  auto a = std::make_unique<FakeAscent>();
  a->AddLevel(1000, 10, 5, 90, 5);
  a->AddLevel(2, -50, -60, 100, 30);
  tFlagRejArr masks{0, 0};
  const ScaleSet s = ComputeFullScales(*a, masks, false, true);
  EXPECT_DOUBLE_EQ(s.pressure.min, 3.3);
  EXPECT_NEAR(s.pressure.max, 1000 * 61.0 / 60.0, 1e-9);
  EXPECT_DOUBLE_EQ(s.temp.min, -60.5);  // margins
  EXPECT_DOUBLE_EQ(s.temp.max, 10.5);
  EXPECT_DOUBLE_EQ(s.dir.min, 88);
  EXPECT_DOUBLE_EQ(s.dir.max, 102);
  EXPECT_DOUBLE_EQ(s.lat.min, 0.0);    // 0.01 +/- 0.01 margin
  EXPECT_NEAR(s.lat.max, 0.02, 1e-12);
}

TEST(ChartScales, AllRejectedWithoutRejectedDataUsesOverallExtremes) {
  auto a = std::make_unique<FakeAscent>();
  a->AddLevel(900);
  a->AddLevel(400);
  tFlagRejArr masks{31, 31};
  const ScaleSet s = ComputeFullScales(*a, masks, true, false);
  EXPECT_DOUBLE_EQ(s.pressure.max, 900);
  EXPECT_DOUBLE_EQ(s.pressure.min, 400);
  // Nothing tracked: the fixed limits.
  EXPECT_DOUBLE_EQ(s.temp.min, -110);
  EXPECT_DOUBLE_EQ(s.temp.max, 50);
  EXPECT_DOUBLE_EQ(s.speed.min, 0);
  EXPECT_DOUBLE_EQ(s.speed.max, 130);
}

TEST(ChartScales, NarrowRangesAreWidened) {
  auto a = std::make_unique<FakeAscent>();
  a->AddLevel(500, -20, -20, 180, 10);
  tFlagRejArr masks{0};
  const ScaleSet s = ComputeFullScales(*a, masks, false, false);
  EXPECT_NEAR(s.pressure.max - s.pressure.min, 500 * 61 / 60.0 * 1.025 - 500 * 59 / 60.0 * 0.975, 1e-9);
  EXPECT_DOUBLE_EQ(s.temp.max - s.temp.min, 5);  // minimum span around -20
  EXPECT_DOUBLE_EQ(s.temp.min, -22.5);
  EXPECT_DOUBLE_EQ(s.dir.max - s.dir.min, 10);
  // A selection stays inside the full set.
  const ScaleSet sel = ComputeSelectionScales(*a, masks, 0, 0, false, false, s);
  EXPECT_GE(sel.temp.min, s.temp.min);
  EXPECT_LE(sel.temp.max, s.temp.max);
}

TEST(ChartScales, PressureLabels) {
  struct Case { double min, max; bool standard; double increment; };
  const Case cases[] = {{100, 150, false, 10},  {100, 300, true, 0}, {300, 1050, true, 0},
                        {1000, 1100, false, 10}, {5, 12, false, 1},   {5, 40, true, 0},
                        {3.3, 15, false, 10}};
  for (const auto& c : cases) {
    const PressureLabels l = LabelsForPressureAxis(c.min, c.max);
    EXPECT_EQ(l.standard, c.standard) << c.min << ".." << c.max;
    if (!c.standard) {
      EXPECT_EQ(l.increment, c.increment) << c.min << ".." << c.max;
    } else {
      EXPECT_EQ(l.levels.size(), 16u);
    }
  }
}

TEST(ChartScales, BandSelectsLevels) {
  const std::vector<double> p = {1000, 950, 900, 850, 800};
  struct Case { double start, end; LevelSelection sel; };
  const Case cases[] = {
      {1100, 800, {0, 4}},   // start limited to the first level
      {800, 1000, {0, 4}},   // ends ordered
      {940, 860, {1, 3}},    // the closer level before wins: 950 is closer to 940 than 900
      {910, 910, {2, 2}},
      {975, 975, {1, 1}},    // a tie is not strictly closer: the first level not above wins
  };
  for (const auto& c : cases) EXPECT_EQ(SelectionFromBand(p, c.start, c.end), c.sel) << c.start << "-" << c.end;
}

TEST(ChartScales, WindDirectionCrossesNorthInsteadOfSweeping) {
  const auto line = WindDirectionLine({ChartPoint{350, 500}, ChartPoint{10, 490}});
  ASSERT_EQ(line.size(), 5u);
  EXPECT_DOUBLE_EQ(line[1]->x, 360);
  EXPECT_DOUBLE_EQ(line[1]->y, 495);
  EXPECT_FALSE(line[2]);
  EXPECT_DOUBLE_EQ(line[3]->x, 0);
  EXPECT_DOUBLE_EQ(line[3]->y, 495);
  const auto back = WindDirectionLine({ChartPoint{10, 500}, ChartPoint{350, 480}});
  ASSERT_EQ(back.size(), 5u);
  EXPECT_DOUBLE_EQ(back[1]->x, 0);
  EXPECT_DOUBLE_EQ(back[1]->y, 490);  // 10 of the 20 degrees lie before north
  EXPECT_DOUBLE_EQ(back[3]->x, 360);
  const auto plain = WindDirectionLine({ChartPoint{10, 500}, std::nullopt, ChartPoint{350, 480}});
  EXPECT_EQ(plain.size(), 3u);  // a break in the data: nothing to cross
}

TEST(ChartScales, RectangleZoomRules) {
  const AxisRange full{3.3, 1150};
  const auto z = ZoomPressureRange({500, 505}, full);
  ASSERT_TRUE(z);
  EXPECT_NEAR(z->min, 502.5 * 0.975, 1e-9);
  EXPECT_NEAR(z->max, 502.5 * 1.025, 1e-9);
  const auto shifted = ZoomPressureRange({1100, 1200}, full);
  ASSERT_TRUE(shifted);
  EXPECT_DOUBLE_EQ(shifted->max, 1150);
  EXPECT_DOUBLE_EQ(shifted->min, 1050);
  EXPECT_FALSE(ZoomPressureRange({500, 505}, {500, 505}));
  const AxisRange fit = FitRange(48, 49, 5, -110, 50);
  EXPECT_DOUBLE_EQ(fit.max, 50);
  EXPECT_DOUBLE_EQ(fit.min, 45);
}

TEST(ChartScales, ValueTextFollowsTheChartFormats) {
  struct Case { double value; int decimals; const char* text; };
  const Case cases[] = {
      {15.0, 1, "15"},      {15.26, 1, "15.3"},   {-0.04, 1, "0"},       {1234.56, 1, "1234.6"},
      {359.6, 0, "360"},    {-999.3, 1, "-999.3"}, {0.00512, 4, "0.0051"}, {-0.01, 4, "-0.01"},
      {0.0, 4, "0"},        {100.0, 0, "100"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChartValueText(c.value, c.decimals), c.text) << c.value;
}
