#include <gtest/gtest.h>

#include "base/Text.h"
#include "review/ProfileTable.h"

using namespace tern;

namespace {
constexpr float M = static_cast<float>(kMissing);

tUALevel Level(float t, float p, float temp, float dew, float h, float dir, float speed, double lat, double lon,
               uint32_t sig) {
  tUALevel l;
  l.Time = t;
  l.Pressure = p;
  l.Temp = temp;
  l.DewPoint = dew;
  l.Height = h;
  l.WindDir = dir;
  l.WindSpeed = speed;
  l.LatDisp = lat;
  l.LonDisp = lon;
  l.SigFlags = sig;
  return l;
}
}  // namespace

TEST(ProfileTable, LinesLineUpUnderTheHeader) {
  const std::string header = Cp1251ToUtf8(ProfileHeaderLine());
  EXPECT_EQ(header, "    t      P     T    dT     H   D   f    dLat    dLon Признаки");
  const tUALevel surface = Level(0, 1012.3f, 5.25f, 1.0f, 152, 270, 4, 0, 0, kSigSurface | kSigStandard);
  EXPECT_EQ(ProfileLine(surface, 0), "    0 1012.3   5.2   1.0   152 270   4  0.0000  0.0000 SC");
  const tUALevel top = Level(-1, 9.87f, -61.4f, M, 31234.4f, M, M, kMissing, kMissing,
                             kSigWind1 | kSigWind2 | kSigWindTop | kSigTropopause);
  // Missing values fill their whole field with dashes.
  EXPECT_EQ(ProfileLine(top, 0), " ----    9.9 -61.4------ 31234------------------------ RWL");
  // A level kept without its pressure.
  const tUALevel noPressure = Level(600, M, -20, -25, 5400, 250, 12, 0.1, 0.2, 0);
  EXPECT_EQ(ProfileLine(noPressure, 0), "  600------- -20.0 -25.0  5400 250  12  0.1000  0.2000 ");
  // Wide numbers widen their field rather than being cut.
  const tUALevel wide = Level(12345, 500, 5, 5, 5, 5, 5, 123.45678, -0.5, 0);
  EXPECT_EQ(ProfileLine(wide, 0), " 12345  500.0   5.0   5.0     5   5   5123.4568 -0.5000 ");
}

TEST(ProfileTable, MarkerFollowsTheInclusionTestWithTheWorkingMask) {
  struct Case { float temp; uint8_t mask; char marker; };
  const Case cases[] = {{5, 0, ' '}, {5, 31, 'x'}, {M, 2, 'x'}, {5, 2, '?'}, {5, 1 | 2, '?'}};
  for (const auto& c : cases) {
    const tUALevel l = Level(10, 900, c.temp, 1, 1000, 10, 10, 0.1, 0.1, 0);
    EXPECT_EQ(LevelMarker(l, c.mask), c.marker) << int(c.mask);
  }
  // Every quantity rejected one by one, leaving nothing: dropped.
  const tUALevel l = Level(10, 900, 5, 1, 1000, 10, 10, 0.1, 0.1, 0);
  EXPECT_EQ(LevelMarker(l, 1 | 2 | 4 | 8 | 16), 'x');
  const tUALevel noWindNoPos = Level(10, 900, 5, 1, 1000, M, M, kMissing, kMissing, 0);
  EXPECT_EQ(LevelMarker(noWindNoPos, 1 | 2 | 4), 'x');
}

TEST(ProfileTable, SignificanceLettersInTheirFixedOrder) {
  EXPECT_EQ(SignificanceLetters(0), "");
  EXPECT_EQ(SignificanceLetters(0xFFFFFFFF), "SCRMTUWL");
  EXPECT_EQ(SignificanceLetters(kSigWind2 | kSigUnused | kSigTempGapBegin), "W");
}
