#include <gtest/gtest.h>

#include <functional>

#include "CorvoTestSupport.h"
#include "base/Error.h"

namespace tern::test {
namespace {

constexpr double M = kMissing;
bool Same(double expected, float actual) {
  return Present(expected) ? std::abs(expected - actual) < 1e-3 : !Present(actual);
}

// A profile of three levels (1000, 950, 900 hPa) read by some route before the surface layer.
struct LayerAscent : CorvoFixture {
  LayerAscent() : CorvoFixture(2) {
    for (float p : {1000.0f, 950.0f, 900.0f}) {
      tUALevel& l = ascent.Levels[ascent.LevelCount++];
      l.Pressure = p;
      l.Height = 1000 - p;
      l.RejFlags = kRejWind;
      l.LatDisp = p / 10000;
      l.SigFlags = kSigWind1;
    }
  }
  bool Read(const std::vector<std::string>& lines) {
    std::string text = "Высоты: над барометром\r\n   ПРИЗЕМНЫЙ СЛОЙ   \r\n";
    for (const std::string& l : lines) text += l + "\r\n";
    Write(".GROUND", text);
    return ascent.ReadSurfaceLayer(base + ".GROUND");
  }
  std::vector<float> Pressures() const {
    std::vector<float> out;
    for (int i = 0; i < ascent.LevelCount; ++i) out.push_back(ascent.Levels[i].Pressure);
    return out;
  }
};

TEST(CorvoSurfaceLayer, LineColumnsShiftsAndMissingMarks) {
  struct Case {
    const char* line;
    int index;  // where the level lands, -1: nothing inserted
    double height, pressure, speed, dir, temp, hum, dew;
  };
  const Case cases[] = {
      // six-character pressure (B = 1), above the first profile level: becomes level 0
      {"  5 1013.2  3 270  12.5  85 3.2", 0, 197, 1013.2, 3, 270, 12.5, 85, 9.3},
      // five-character pressure (B = 0); calm wind keeps direction 0
      {" 10 975.0  0  90  11.0  80 2.0", 1, 247, 975, 0, 0, 11, 80, 9},
      // humidity 100 moves the depression one character right; direction 0 becomes 360
      {" 10 975.0  4   0  11.0 100  0.0", 1, 247, 975, 4, 360, 11, 100, 11},
      // "/" in the wind columns: no wind; no temperature: the line carries nothing
      {" 10 975.0  / /// ///./  80 2.0", -1, 0, 0, 0, 0, 0, 0, 0},
      // no temperature, "/" in the humidity: humidity and depression missing
      {" 10 975.0  4 200 ///./  //  //", 1, 247, 975, 4, 200, M, M, M},
      {" 10 1010.0  / ///   8.5  //  //", 0, 247, 1010, M, M, 8.5, M, M},
      // below the last profile level: the merge ends
      {" 90 850.0  4 200  -1.0  60 5.0", -1, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    LayerAscent f;
    ASSERT_TRUE(f.Read({c.line})) << c.line;
    ASSERT_EQ(f.ascent.LevelCount, c.index < 0 ? 3 : 4) << c.line;
    if (c.index < 0) continue;
    const tUALevel& l = f.ascent.Levels[c.index];
    EXPECT_TRUE(Same(c.height, l.Height)) << c.line << " height " << l.Height;
    EXPECT_TRUE(Same(c.pressure, l.Pressure)) << c.line;
    EXPECT_TRUE(Same(c.speed, l.WindSpeed)) << c.line << " speed " << l.WindSpeed;
    EXPECT_TRUE(Same(c.dir, l.WindDir)) << c.line << " dir " << l.WindDir;
    EXPECT_TRUE(Same(c.temp, l.Temp)) << c.line << " temp " << l.Temp;
    EXPECT_TRUE(Same(c.hum, l.Humidity)) << c.line << " hum " << l.Humidity;
    EXPECT_TRUE(Same(c.dew, l.DewPoint)) << c.line << " dew " << l.DewPoint;
    EXPECT_FALSE(Present(l.Time));
    EXPECT_EQ(l.SigFlags, kSigRoundHeight);
    // Rejections and position are those of the level that now follows.
    EXPECT_EQ(l.RejFlags, kRejWind);
    EXPECT_DOUBLE_EQ(l.LatDisp, f.ascent.Levels[c.index + 1].LatDisp);
  }
}

TEST(CorvoSurfaceLayer, MergesByPressureAndSkipsLevelsTheProfileHas) {
  LayerAscent f;
  ASSERT_TRUE(f.Read({
      "  0 1005.0  3 270  12.5  85 3.2",
      " 10 1000.0  3 270  12.5  85 3.2",   // the profile's 1000 hPa, which the search steps over
      " 20 990.0  3 270  12.5  85 3.2",
      "",
      " 30 975.0  3 270  12.5  85 3.2",
      " 40 950.04  3 270  12.5  85 3.2",   // equal to 950 to 0.1 hPa, the search stops at 950
      " 50 949.96  3 270  12.5  85 3.2",   // equal to 950 to 0.1 hPa, the search steps over 950
      " 60 925.0  3 270  12.5  85 3.2",
      " 70 880.0  3 270  12.5  85 3.2",    // ends the merge
      " 80 870.0  3 270  12.5  85 3.2",
  }));
  EXPECT_EQ(f.Pressures(), (std::vector<float>{1005, 1000, 990, 975, 950, 925, 900}));
}

TEST(CorvoSurfaceLayer, FullProfileTakesNothingMore) {
  LayerAscent f;
  f.ascent.LevelCount = kMaxLevels;
  for (int i = 3; i < kMaxLevels; ++i) f.ascent.Levels[i].Pressure = 899.0f - i * 0.1f;
  ASSERT_TRUE(f.Read({" 10 975.0  3 270  12.5  85 3.2"}));
  EXPECT_EQ(f.ascent.LevelCount, kMaxLevels);
  EXPECT_FLOAT_EQ(f.ascent.Levels[1].Pressure, 950);
}

TEST(CorvoSurfaceLayer, ErrorsAndQuestions) {
  LayerAscent f;
  f.Write(".GROUND", "no header here\r\n");
  try {
    f.ascent.ReadSurfaceLayer(f.base + ".GROUND");
    ADD_FAILURE() << "no error";
  } catch (const TernError& e) {
    EXPECT_EQ(Cp1251ToUtf8(e.Text()), f.base + ".GROUND:Ошибка заголовка!");
  }

  const std::string bad = " 10 9x5.0  3 270  12.5  85 3.2";
  for (int answer : {1, 2, 3}) {
    LayerAscent g;
    g.op.Push(answer);
    EXPECT_EQ(g.Read({bad, " 20 975.0  3 270  12.5  85 3.2"}), answer != 3);
    EXPECT_EQ(g.ascent.LevelCount, answer == 1 ? 4 : 3);
    EXPECT_EQ(AskedText(g.op, 0), "ПРИЗЕМНЫЙ СЛОЙ - ошибка чтения в строке:\r" + bad + "\rПродолжить ввод?");
    EXPECT_EQ(g.op.asked[0].escButton, 3);
  }
}

}  // namespace
}  // namespace tern::test
