#include <gtest/gtest.h>

#include <functional>

#include "CorvoTestSupport.h"
#include "base/Error.h"

namespace tern::test {
namespace {

const char* kRaw =
    "  ВРЕМЯ     H      D      E      A     T  U\r\n"
    "    0.0   147      0   0.00   0.00  12.5 85\r\n"
    "  125.0  1229   5000  20.00  90.00  -5.0 80\r\n"
    "  130.0  1236   5100  20.00  90.00  -5.0 80\r\n"
    "\r\n"
    "  140.0  1234   5200  20.00  90.00  -5.2 80\r\n"
    "  150.0  1300   5300  /////  90.00  -6.0 80\r\n";

// Three table levels without time and position, as the TAE-3 table leaves them.
struct RawAscent : CorvoFixture {
  explicit RawAscent(uint8_t code) : CorvoFixture(code) {
    const float heights[] = {147, 1234, 1300}, temps[] = {12.5f, -5.0f, -6.0f};
    for (int i = 0; i < 3; ++i) {
      tUALevel& l = ascent.Levels[ascent.LevelCount++];
      l.Height = heights[i];
      l.Temp = temps[i];
      l.Humidity = 80.5f;
      l.DewPoint = static_cast<float>(kMissing);
      l.Time = static_cast<float>(kMissing);
      l.LatDisp = l.LonDisp = kMissing;
    }
    Write(".RAW", kRaw);
    Write(".RAWDATA", kRaw);
  }
  bool Read() { return ascent.ReadRawData(base + FindCorvoSystem(ascent.SystemCode)->rawExt); }
};

TEST(CorvoRawData, MatchesFromTheTopByHeightTemperatureAndHumidity) {
  RawAscent f(2);
  f.Write(".SP", "");
  ASSERT_TRUE(f.Read());
  const tUALevel* l = f.ascent.Levels.data();
  EXPECT_FALSE(Present(l[0].Time));  // the first level never gets a time
  // 1234 gpm to ten metres is 123: the record at 1229 m; the one at 1234 m is 0.2 degC off.
  EXPECT_FLOAT_EQ(l[1].Time, 125);
  double lat = 0, lon = 0;
  f.ascent.PositionOf(5000, 20, 90, lat, lon);
  EXPECT_DOUBLE_EQ(l[1].LatDisp, lat);
  EXPECT_DOUBLE_EQ(l[1].LonDisp, lon);
  EXPECT_GT(l[1].LonDisp, 0.05);
  EXPECT_FLOAT_EQ(l[2].Time, 150);
  EXPECT_FALSE(Present(l[2].LatDisp));  // no elevation in the record: no position
  EXPECT_FALSE(Present(l[1].DewPoint));
}

TEST(CorvoRawData, WholeMetresForTae3SystemsAndSaturationForCodeZero) {
  RawAscent f(0);
  f.ascent.Levels[1].Temp = -5.2f;
  WriteCp1251(f.base + ".RAWDATA", std::string(kRaw) + "  160.0  1400   5400  20.00  90.00 -30.0 100\r\n");
  f.ascent.Levels[2].Height = 1400;
  f.ascent.Levels[2].Temp = -30.0f;
  f.ascent.Levels[2].Humidity = 99.5f;  // within 1 % of the record
  ASSERT_TRUE(f.Read());
  EXPECT_FLOAT_EQ(f.ascent.Levels[1].Time, 140);  // only the record at 1234 m matches to the metre
  EXPECT_FLOAT_EQ(f.ascent.Levels[2].Time, 160);
  EXPECT_FLOAT_EQ(f.ascent.Levels[2].DewPoint, -30.0f);  // saturated record
  EXPECT_FALSE(Present(f.ascent.Levels[1].DewPoint));

  RawAscent g(7);  // the same files, code 7: no dew point from saturation
  WriteCp1251(g.base + ".RAWDATA", std::string(kRaw) + "  160.0  1400   5400  20.00  90.00 -30.0 100\r\n");
  g.ascent.Levels[2].Height = 1400;
  g.ascent.Levels[2].Temp = -30.0f;
  g.ascent.Levels[2].Humidity = 99.5f;
  ASSERT_TRUE(g.Read());
  EXPECT_FLOAT_EQ(g.ascent.Levels[2].Time, 160);
  EXPECT_FALSE(Present(g.ascent.Levels[2].DewPoint));
}

TEST(CorvoRawData, SpecialPointTimesMarkTheirLevels) {
  const struct {
    const char* sp;
    uint32_t level1, level2;
  } cases[] = {
      {"  125.0 V\r\n", 0x180, 0},
      {"  125.0 T\r\n", 0, 0},
      {"    0.0 V\r\n", 0, 0},
      {"  140.4 D\r\n", 0x180, 0},  // the record matched level 1 by height although its temperature did not
      {"  130.0 V\r\n", 0, 0},      // that record's height matched no level
      {"\r\n  150 DV\r\n  125 d\r\n", 0, 0x180},
  };
  for (const auto& c : cases) {
    RawAscent f(6);
    f.Write(".SP", c.sp);
    ASSERT_TRUE(f.Read()) << c.sp;
    EXPECT_EQ(f.ascent.Levels[1].SigFlags, c.level1) << c.sp;
    EXPECT_EQ(f.ascent.Levels[2].SigFlags, c.level2) << c.sp;
  }
}

TEST(CorvoRawData, Failures) {
  auto errorOf = [](const std::function<void()>& fn) -> std::string {
    try {
      fn();
    } catch (const TernError& e) {
      return Cp1251ToUtf8(e.Text());
    }
    return "<no error>";
  };
  RawAscent noHeader(2);
  noHeader.Write(".RAW", "   0.0   147\r\n");
  EXPECT_FALSE(noHeader.Read());

  RawAscent badTime(2);
  badTime.Write(".RAW", std::string(kRaw) + "  1x0.0  1229   5000  20.00  90.00  -5.0 80\r\n");
  EXPECT_EQ(errorOf([&] { badTime.Read(); }), "!Ошибка ввода RAW(DATA)!");

  RawAscent badSp(2);
  badSp.Write(".SP", "  125.0 V\r\n  abc V\r\n");
  EXPECT_EQ(errorOf([&] { badSp.Read(); }), "'abc' не является числом");

  RawAscent garbage(2);  // unreadable fields are missing, never a crash
  WriteBytes(garbage.base + ".RAW", std::string("U\r\n") + "5 \xFF\x01\x02\x03\r\n  7\r\n 8 1234 zz");
  garbage.Write(".SP", "");
  EXPECT_TRUE(garbage.Read());
  EXPECT_FALSE(Present(garbage.ascent.Levels[1].Time));
}

}  // namespace
}  // namespace tern::test
