#include <gtest/gtest.h>

#include <functional>

#include "CorvoTestSupport.h"
#include "base/Error.h"
#include "base/Files.h"

namespace tern::test {
namespace {

constexpr double M = kMissing;
bool Same(double expected, float actual) {
  return Present(expected) ? std::abs(expected - actual) < 1e-3 : !Present(actual);
}

const char* kTae3Head =
    "ТАЭ-3   РЕЗУЛЬТАТЫ ЗОНДИРОВАНИЯ\r\n"
    "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ 27612\r\n"
    "ОБЛАЧНОСТЬ: 62816\r\n"
    "\r\n"
    "SP  H      P     T    U  DD   FF   X\r\n";
const char* kTae03Head =
    "ТАЭ-3   РЕЗУЛЬТАТЫ ЗОНДИРОВАНИЯ\r\n"
    "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ  27612\r\n"
    "ОБЛАЧНОСТЬ: 9/0//\r\n"
    "SP     H       P       T      U   DD   FF     X\r\n";
const char* kTae03Surface = "U       0.150  1000.0   10.0  85     0    0    2.0";

// A TAE-3 ascent with empty companion files, so that only the table matters.
struct TaeAscent : CorvoFixture {
  TaeAscent(uint8_t code, const std::vector<std::string>& lines) : CorvoFixture(code) {
    const bool tae3 = code == 0 || code == 7;
    std::string text = tae3 ? kTae3Head : kTae03Head;
    for (const std::string& l : lines) text += l + "\r\n";
    Write(tae3 ? ".tae3" : ".tae03", text);
    Write(tae3 ? ".GLAYER" : ".GROUND", "ПРИЗЕМНЫЙ СЛОЙ\r\n");
    Write(tae3 ? ".RAWDATA" : ".RAW", "ВРЕМЯ  H  D  E  A  T  U\r\n");
    if (tae3) Write(".SPoints", "0\r\n0\r\n");
    else Write(".SP", "");
    ascent.SetBufrI(false);
  }
};

struct LevelCase {
  const char* line;
  double height, pressure, temp, hum, dir, speed, dew;
  uint32_t flags;
};

void ExpectLevel(const tUALevel& l, const LevelCase& c) {
  EXPECT_TRUE(Same(c.height, l.Height)) << c.line << " height " << l.Height;
  EXPECT_TRUE(Same(c.pressure, l.Pressure)) << c.line << " pressure " << l.Pressure;
  EXPECT_TRUE(Same(c.temp, l.Temp)) << c.line << " temp " << l.Temp;
  EXPECT_TRUE(Same(c.hum, l.Humidity)) << c.line << " hum " << l.Humidity;
  EXPECT_TRUE(Same(c.dir, l.WindDir)) << c.line << " dir " << l.WindDir;
  EXPECT_TRUE(Same(c.speed, l.WindSpeed)) << c.line << " speed " << l.WindSpeed;
  EXPECT_TRUE(Same(c.dew, l.DewPoint)) << c.line << " dew " << l.DewPoint;
  EXPECT_EQ(l.SigFlags, c.flags) << c.line << std::hex << " flags 0x" << l.SigFlags;
  EXPECT_FALSE(Present(l.Time));
  EXPECT_FALSE(Present(l.LatDisp));
}

TEST(CorvoTae3Line, FieldsTailShiftWindAndFlags) {
  const LevelCase cases[] = {
      {"UT  0.125  985.0  12.3 85 270   15  3.2", 125, 985, 12.3, 85, 270, 15, 9.1, kSigHum | kSigTemp},
      // humidity 100 in four characters moves DD, FF and X one character right
      {"    0.300  970.0  11.0 100 270   15  0.0", 300, 970, 11, 100, 270, 15, 11, kSigWind1 | kSigWind2},
      // a round height below 3 km replaces the default mark; direction 0 with wind is 360; 850 is standard
      {"    1.500  850.0   1.0 60   0    5  4.0", 1500, 850, 1, 60, 360, 5, -3, kSigRoundHeight | kSigStandard},
      {"    2.500  750.0   1.0 60  90    0  4.0", 2500, 750, 1, 60, 0, 0, -3, kSigRoundHeight},  // calm
      {"ТР 11.000  220.0 -56.0 20 280    9  9.0", 11000, 220, -56, 20, 280, 9, -65, kSigTropopause | kSigRoundHeight},
      // no tail: no humidity, wind or dew point; 3.5 km is not round above 3 km
      {"    3.500  660.0 -10.0", 3500, 660, -10, M, M, M, M, kSigWind1 | kSigWind2},
  };
  for (const LevelCase& c : cases) {
    TaeAscent f(0, {c.line});
    ASSERT_TRUE(f.ascent.LoadData()) << c.line << " " << AskedText(f.op, 0);
    ASSERT_EQ(f.ascent.LevelCount, 1) << c.line;
    ExpectLevel(f.ascent.Levels[0], c);
  }
}

TEST(CorvoTae03Line, FieldsTailShiftWindAndFlags) {
  const LevelCase cases[] = {
      // the first level with a tail and a temperature is the surface; missing wind there is calm
      {kTae03Surface, 150, 1000, 10, 85, 0, 0, 8, 0x01E1},
      {"        0.800  100000    5.0  85    90    3    2.0", -300, 100000, 5, 85, 90, 3, 3, kSigWind1 | kSigWind2},
      // "/" is missing in this layout; one-digit humidity leaves DD where it is; direction 0 is 360
      {"ИП      1.500   850.0 //////  5     0    7  /////", 1500, 850, M, 5, 360, 7, M, kSigStandard | kSigRoundHeight},
      // a level without pressure is kept when it has a height; speeds above 300 are no wind
      {"НГ     11.000          -56.0  20   280  350    9.0", 11000, M, -56, 20, M, M, -65,
       kSigTropopause | kSigRoundHeight},
      // a digit right after the depression: the speed is not trusted
      {"        2.000   800.0   -1.0  50   200   12    3.07", 2000, 800, -1, 50, M, M, -4, kSigRoundHeight},
      // 850 hPa without the letters is not marked standard here
      {"        1.520   850.0   -1.0  50   200   12    3.0", 1520, 850, -1, 50, 200, 12, -4, kSigWind1 | kSigWind2},
  };
  for (const LevelCase& c : cases) {
    const bool first = c.line == kTae03Surface;
    TaeAscent f(2, first ? std::vector<std::string>{c.line} : std::vector<std::string>{kTae03Surface, c.line});
    ASSERT_TRUE(f.ascent.LoadData()) << c.line << " " << AskedText(f.op, 0);
    ASSERT_EQ(f.ascent.LevelCount, first ? 1 : 2) << c.line;
    ExpectLevel(f.ascent.Levels[first ? 0 : 1], c);
  }
}

TEST(CorvoTaeTable, SkippedLinesAndLineFailures) {
  const struct {
    uint8_t code;
    const char* line;
    int levels;           // levels stored after the line (plus the tae03 surface line)
    const char* error;    // nullptr: no error
    bool asks;
  } cases[] = {
      {0, "    0.800          5.0 60   0    5  4.0", 0, nullptr, false},   // no pressure
      {0, "    0.800   -1.0   5.0 60   0    5  4.0", 0, nullptr, false},   // negative pressure
      {2, "                       -56.0  20   280   35    9.0", 1, nullptr, false},  // neither pressure nor height
      {2, "       -0.600          -56.0  20   280   35    9.0", 1, nullptr, false},  // no pressure, below -500 m
      {0, "    0.800  920.0 ///// 60   0    5  4.0", 0, nullptr, true},    // "/" is no number in tae3
      {2, "        0.8x0   920.0    5.0  60     0    5    4.0", 1, nullptr, true},
      {0, "    0.800  920.0   5.0  6", 0, "ТАЭ-3 -ошибка:", false},       // tail too short
      {2, "        2.000   800.0   -1.0  5", 1, "ТАЭ-3 -ошибка:", false},
      {0, "           920.0   5.0 60  10    5  4.0", 0, "ТАЭ-3 -ошибка:нет высоты, уровень нельзя округлить до метра",
       false},
  };
  for (const auto& c : cases) {
    TaeAscent f(c.code, c.code == 0 ? std::vector<std::string>{c.line}
                                    : std::vector<std::string>{kTae03Surface, c.line});
    f.op.Push(1);
    const std::string err = ErrorOf([&] { f.ascent.LoadData(); });
    EXPECT_EQ(err, c.error ? c.error : "<no error>") << c.line;
    if (!c.error) {
      EXPECT_EQ(f.ascent.LevelCount, c.levels) << c.line;
    }
    EXPECT_EQ(f.op.asked.size(), c.asks ? 1u : 0u) << c.line;
  }
}

TEST(CorvoTaeTable, LineQuestionShowsTheFieldsAndFollowsTheAnswer) {
  const std::string bad = "    0.800  920.0 ///// 60   0    5  4.0";
  for (int answer : {1, 2, 3}) {
    TaeAscent f(0, {"    0.125  985.0  12.3 85 270   15  3.2", bad, "    0.900  910.0   5.0 60  10    5  4.0"});
    f.Write(".GLAYER", "ПРИЗЕМНЫЙ СЛОЙ\r\n  0 1005.0  3 270  12.5  85 3.2\r\n");
    f.op.Push(answer);
    EXPECT_EQ(f.ascent.LoadData(), answer != 3);
    ASSERT_GE(f.op.asked.size(), 1u);
    EXPECT_EQ(AskedText(f.op, 0), "ТАЭ-3 - ошибка чтения в строке:\r" + bad + "\rПродолжить ввод?");
    EXPECT_EQ(f.op.asked[0].escButton, 3);
    // "Прервать" keeps the levels read so far and still merges the surface layer.
    if (answer == 2) {
      ASSERT_EQ(f.ascent.LevelCount, 2);
      EXPECT_FLOAT_EQ(f.ascent.Levels[0].Pressure, 1005);
    }
    if (answer == 1) {
      EXPECT_EQ(f.ascent.LevelCount, 3);
    }
  }
}

TEST(CorvoTaeTable, BufrIEndsTheTableButMergesTheRest) {
  TaeAscent f(0, {"    0.125  985.0  12.3 85 270   15  3.2", "   16.000   99.0 -60.0 10 270   15  9.0",
                  "   17.000   90.0 -60.0 10 270   15  9.0"});
  f.Write(".GLAYER", "ПРИЗЕМНЫЙ СЛОЙ\r\n  0 1005.0  3 270  12.5  85 3.2\r\n");
  f.ascent.SetBufrI(true);
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.LevelCount, 2);
  f.ascent.SetBufrI(false);
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.LevelCount, 4);
}

TEST(CorvoTaeTable, StoringThe3000thLevelIsAnError) {
  std::vector<std::string> lines(kMaxLevels, "    0.300  970.0  11.0 85 270   15  3.2");
  TaeAscent f(0, lines);
  EXPECT_EQ(ErrorOf([&] { f.ascent.LoadData(); }), "ТАЭ-3 -ошибка:Слишком много уровней...?!");
  EXPECT_EQ(f.ascent.LevelCount, kMaxLevels);
  lines.pop_back();
  TaeAscent g(0, lines);
  EXPECT_TRUE(g.ascent.LoadData());
  EXPECT_EQ(g.ascent.LevelCount, kMaxLevels - 1);
}

TEST(CorvoTaeTable, HeaderAndFileErrors) {
  const struct {
    uint8_t code;
    const char* ext;
    std::string content;
    std::string error;  // after the ascent's path when it begins with ":"
  } cases[] = {
      {0, ".tae3", "ТАЭ-3\r\nSP  H      P     T\r\n", ":Ошибка заголовка!"},
      {0, ".tae3", "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ 27612\r\nОБЛАЧНОСТЬ: 62816\r\nH P T\r\n", ":Ошибка заголовка!"},
      {0, ".tae3", "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ 27613\r\n", ":Не та станция!"},
      {0, ".tae3", "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ 27б12\r\n", "'27б12' не является целым числом"},
      {2, ".tae03", "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ 27612\r\n", ":Не та станция!"},  // from column 31: 7612
      {2, ".tae3", "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ  27613\r\n", ":Не та станция!"},  // tae03 layout in ".tae3"
      {0, ".info", "", "Нет файла tae3!"},
      {7, ".tae03", "", "Нет файла tae3!"},
      {4, ".info", "", "Нет файлов tae3/tae03!"},
  };
  for (const auto& c : cases) {
    CorvoFixture f(c.code);
    if (std::string(c.ext) != ".info") f.Write(c.ext, c.content);
    f.Write(".SPoints", "0\r\n0\r\n");
    const std::string expected = c.error[0] == ':' ? f.base + ".info" + c.error : c.error;
    EXPECT_EQ(ErrorOf([&] { f.ascent.LoadData(); }), expected) << c.content;
  }
}

TEST(CorvoTaeTable, EmptyTableIsNoMessage) {
  TaeAscent f(2, {});
  EXPECT_FALSE(f.ascent.LoadData());
  EXPECT_TRUE(f.op.asked.empty());
  EXPECT_TRUE(f.op.messages.empty());
}

TEST(CorvoTaeTable, MissingCompanionsAsk) {
  const struct {
    uint8_t code;
    const char* remove;
    const char* question;
    int defaultButton;
    int cancelAnswer;
    const char* cancelError = nullptr;  // the cancelled step is reported as an unreadable file
  } cases[] = {
      {0, ".GLAYER", "Нет файла ПРИЗЕМНЫЙ СЛОЙ GLAYER!\rПродолжить формирование BUFR без данных ПРИЗЕМНЫЙ СЛОЙ?", 1, 2},
      {2, ".GROUND", "Нет файла ПРИЗЕМНЫЙ СЛОЙ GROUND!\rПродолжить формирование BUFR без данных ПРИЗЕМНЫЙ СЛОЙ?", 1, 2},
      {0, ".RAWDATA",
       "Нет файла исходных данных RAWDATA\rПродолжить формирование BUFR без привязки результатов зондирования к "
       "полетному времени и координатам?", 1, 2},
      {6, ".RAW",
       "Нет файла исходных данных RAW\rПродолжить формирование BUFR без привязки результатов зондирования к "
       "полетному времени и координатам?", 1, 2},
      {7, ".SPoints", "Нет файла особых точек SPoints!\rОсобые точки ветра могут быть учтены не полностью", 2, 2},
      {4, ".SP", "Нет файла особых точек SP!\rОсобые точки ветра могут быть учтены не полностью", 2, 2,
       "Ошибка чтения RAW!"},
  };
  for (const auto& c : cases) {
    for (int answer : {1, c.cancelAnswer}) {
      TaeAscent f(c.code, {c.code == 0 || c.code == 7 ? "    0.125  985.0  12.3 85 270   15  3.2" : kTae03Surface,
                           c.code == 0 || c.code == 7 ? "    0.300  970.0  11.0 85 270   15  3.2"
                                                      : "        0.300   970.0   11.0  85   270   15    3.2"});
      DeleteFileAt(f.base + c.remove);
      f.op.Push(answer);
      if (answer != 1 && c.cancelError) {
        EXPECT_EQ(ErrorOf([&] { f.ascent.LoadData(); }), c.cancelError);
      } else {
        EXPECT_EQ(f.ascent.LoadData(), answer == 1) << c.remove << " " << answer;
      }
      ASSERT_EQ(f.op.asked.size(), 1u) << c.remove;
      EXPECT_EQ(AskedText(f.op, 0), c.question);
      EXPECT_EQ(f.op.asked[0].defaultButton, c.defaultButton);
      EXPECT_EQ(f.op.asked[0].escButton, 0);
    }
  }
}

TEST(CorvoTaeTable, WithoutSpecialPointsNoLevelIsTheSurface) {
  TaeAscent f(0, {"    0.125  985.0  12.3 85 270   15  3.2"});
  DeleteFileAt(f.base + ".SPoints");
  f.op.Push(1);
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.Levels[0].SigFlags & kSigSurface, 0u);
}

TEST(CorvoTaeTable, SpecialPointsMarkTheSurfaceAndTheWindLevels) {
  TaeAscent f(0, {
                     "    0.100  990.0  12.5",                    // no humidity: not yet the surface
                     "UT  0.125  985.0  12.3 85 270   15  3.2",   // first direction point: the surface
                     "    0.400  950.0  10.0 80 270   15  3.2",   // speed point
                     "    0.700  920.0   8.0 80 270   15  3.2",   // both
                     "    0.800  910.0   7.0 80 270   15  3.2",   // none
                     "    1.200  870.0   4.0 80 270   15  3.2",   // direction point
                 });
  f.Write(".SPoints", "2 скорость\r\n400 12.0\r\n700 15.0\r\n\r\n3\r\n125 270\r\n 700.4 280\r\n1200 290 x\r\n");
  ASSERT_TRUE(f.ascent.LoadData()) << AskedText(f.op, 0);
  ASSERT_EQ(f.ascent.LevelCount, 6);
  const uint32_t expected[] = {kSigWind1 | kSigWind2, 0x01E1 | kSigWind2, kSigWind1,
                               kSigWind1 | kSigWind2, kSigWind1 | kSigWind2, kSigWind2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f.ascent.Levels[i].SigFlags, expected[i]) << i;
}

TEST(CorvoTaeTable, SpecialPointsFileErrors) {
  const struct {
    const char* content;
    const char* error;
  } cases[] = {
      {"zwei\r\n", "!Ошибка ввода SPoints"},
      {"1\r\nabc 1\r\n0\r\n", "!Ошибка ввода SPoints"},
      {"3\r\n100 1\r\n", "SPoints - ошибка:файл кончился раньше, чем перечислены все точки"},
      {"-2\r\n", "SPoints - ошибка:отрицательное число точек -2"},
      {"\x8F\xFF\x01\x02", "!Ошибка ввода SPoints"},
  };
  for (const auto& c : cases) {
    TaeAscent f(0, {"    0.125  985.0  12.3 85 270   15  3.2"});
    WriteBytes(f.base + ".SPoints", c.content);
    EXPECT_EQ(ErrorOf([&] { f.ascent.LoadData(); }), c.error);
  }
}

}  // namespace
}  // namespace tern::test
