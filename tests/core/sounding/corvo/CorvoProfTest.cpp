#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "CorvoTestSupport.h"
#include "base/Error.h"
#include "base/Files.h"

namespace tern::test {
namespace {

const char* kProfHeader =
    "ИНДЕКС СТАНЦИИ: 27612\r\n"
    "ДАТА: 05.03.2020\r\n"
    "\r\n"
    "\r\n"
    "ОБЛАЧНОСТЬ: 62816 конец\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "  t, c   D, m  H, m   P, hPa   E, gr  A, gr  dd, gr ff,m/s  T, C   U,%  dT    SP\r\n";
const char* kEmptyGround = "ПРИЗЕМНЫЙ СЛОЙ\r\n";

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

// A profile ascent (code 1) with the given data lines and an empty surface layer.
struct ProfAscent : CorvoFixture {
  explicit ProfAscent(const std::vector<std::string>& lines, const char* ext = ".prof.1") : CorvoFixture(1) {
    Write(ext, std::string(kProfHeader) + Joined(lines));
    Write(".GROUND", kEmptyGround);
    ascent.SetBufrI(false);
  }
};

constexpr double M = kMissing;
bool Same(double expected, float actual) {
  return Present(expected) ? std::abs(expected - actual) < 1e-3 : !Present(actual);
}

TEST(CorvoProfLine, ColumnsShiftsWindDewPointAndFlags) {
  struct Case {
    const char* line;
    double time, height, pressure, dir, speed, temp, hum, dew;
    uint32_t flags;
  };
  // Column rulers: L = 0, 1 and 2 extra characters in the time column.
  const Case cases[] = {
      // L = 0; wind of 0.04 m/s is calm
      {"12.5    800   512  950.00  20.00  90.00  270.0  0.04   3.10 80   1.1", 12.5, 512, 950, 0, 0.04, 3.1, 80, 2.0, 0},
      // L = 2; direction 0 with wind becomes 360; 300 hPa is standard
      {"1234.5  40000  9200  300.00  10.00  45.00    0.0   5.0 -40.00 30   5.0", 1234.5, 9200, 300, 360, 5, -40, 30,
       -45, kSigStandard},
      // 120 m/s moves temperature, humidity and depression one character right; 849.99 is not 850
      {"100.0   2000  1500  849.99  20.00  90.00    0.0 120.0   -5.00 60   4.0 M", 100, 1500, 849.99, 0, 120, -5, 60,
       -9, kSigMaxWind},
      // humidity 100 written one character right; 850.004 is 850 to 0.01 hPa; negative direction: no wind
      {"100.0   2000  1500 850.004  20.00  90.00   -1.0  12.0  -5.00 100   0.0", 100, 1500, 850.004, M, M, -5, 100, -5,
       kSigStandard},
      // slashes are missing; a depression below 0.1 in cold dry air is no dew point
      {"200.0  /////  3000  700.00  /////  /////  ///// ///// -45.00 80  0.05", 200, 3000, 700, M, M, -45, 80, M,
       kSigStandard},
      {"200.0   4000  3000  700.00  20.00  90.00   90.0  12.0 -35.00 80  0.05 TR T", 200, 3000, 700, 90, 12, -35, 80,
       -35.05, kSigStandard | kSigTropopause | kSigTemp},
      // time 0 is the surface; direction rounding to 0 becomes 360
      {"  0.0      0   147 1003.40   0.00   0.00    0.4   3.0   5.20 95  0.05 UI TI", 0, 147, 1003.4, 360, 3, 5.2, 95,
       5.15, kSigSurface | kSigHum | kSigTemp},
      // a slashed time switches the layout detection off at L = 0 and gives no surface
      {"////    800   512  950.00  20.00  90.00  270.0   2.0   3.10 80   1.1", M, 512, 950, 270, 2, 3.1, 80, 2.0, 0},
  };
  for (const Case& c : cases) {
    ProfAscent f({c.line});
    ASSERT_TRUE(f.ascent.LoadData()) << c.line;
    ASSERT_EQ(f.ascent.LevelCount, 1) << c.line;
    const tUALevel& l = f.ascent.Levels[0];
    EXPECT_TRUE(Same(c.time, l.Time)) << c.line << " time " << l.Time;
    EXPECT_TRUE(Same(c.height, l.Height)) << c.line;
    EXPECT_TRUE(Same(c.pressure, l.Pressure)) << c.line;
    EXPECT_TRUE(Same(c.dir, l.WindDir)) << c.line << " dir " << l.WindDir;
    EXPECT_TRUE(Same(c.speed, l.WindSpeed)) << c.line << " speed " << l.WindSpeed;
    EXPECT_TRUE(Same(c.temp, l.Temp)) << c.line << " temp " << l.Temp;
    EXPECT_TRUE(Same(c.hum, l.Humidity)) << c.line << " hum " << l.Humidity;
    EXPECT_TRUE(Same(c.dew, l.DewPoint)) << c.line << " dew " << l.DewPoint;
    EXPECT_EQ(l.SigFlags, c.flags) << c.line;
    EXPECT_TRUE(f.op.asked.empty()) << AskedText(f.op, 0);
  }
}

TEST(CorvoProfLine, SignificanceLetters) {
  const struct {
    const char* rest;
    uint32_t flags;
  } cases[] = {
      {" uR U", 0},         {" UI uR", kSigHum},  {" U", kSigHum},        {" DI dR", kSigWind1},
      {" dR D", 0},         {" V", kSigWind2},    {" vR V", 0},           {" M", kSigMaxWind},
      {" TR", kSigTropopause},                    {" TR T", kSigTropopause | kSigTemp},
      {" tR T", 0},         {" TI tR", kSigTemp}, {" u d v t", 0},        {" UDVMT", 0x01F0},
  };
  for (const auto& c : cases) EXPECT_EQ(ProfLetterFlags(c.rest), c.flags) << c.rest;
}

TEST(CorvoProfLine, PositionFromSlantRangeAndAngles) {
  ProfAscent f({"12.5  10000   512  950.00   0.00   0.00  270.0   2.0   3.10 80   1.1",
                "12.5  10000   512  940.00  60.00  90.00  270.0   2.0   3.10 80   1.1"});
  ASSERT_TRUE(f.ascent.LoadData());
  // 10 km north along the ground: 10/6371 rad of latitude.
  EXPECT_NEAR(f.ascent.Levels[0].LatDisp, 10.0 / 6371 * 180 / std::numbers::pi, 1e-9);
  EXPECT_NEAR(f.ascent.Levels[0].LonDisp, 0, 1e-12);
  // 5 km east at 55.75 N: the longitude step grows by 1 / cos(latitude).
  EXPECT_NEAR(f.ascent.Levels[1].LonDisp, 5.0 / 6371 * 180 / std::numbers::pi / std::cos(55.75 * std::numbers::pi / 180), 1e-5);
  EXPECT_NEAR(f.ascent.Levels[1].LatDisp, 0, 1e-4);
  EXPECT_LT(f.ascent.Levels[1].LatDisp, 0);  // a great circle heading east bends south
}

const char* kLine1000 = "  0.0      0   147 1000.00   0.00   0.00  270.0   3.0   5.20 80   2.9";
const char* kLine925 = " 90.0    900   750  925.00  20.00  90.00  270.0   6.0   1.10 75   3.0";
const char* kLine99 = "900.0  20000 16000   99.90  20.00  90.00  270.0   9.0 -60.00 10   5.0";
const char* kLine80 = "990.0  21000 17000   80.00  20.00  90.00  270.0   9.0 -61.00 10   5.0";
const char* kBadTemp = " 40.0    500   400  960.00  20.00  90.00  270.0   5.0   x.xx 78   3.1";

TEST(CorvoProfTable, BufrIEndsBelow100hPaBufrIIReadsAll) {
  ProfAscent f({kLine1000, kLine925, kLine99, kLine80});
  f.ascent.SetBufrI(true);
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.LevelCount, 2);
  f.ascent.SetBufrI(false);
  ASSERT_TRUE(f.ascent.LoadData());  // every run starts from zero
  EXPECT_EQ(f.ascent.LevelCount, 4);
  EXPECT_EQ(f.ascent.Levels[1].SigFlags, kSigStandard);
}

TEST(CorvoProfTable, UnreadableLineAsksAndFollowsTheAnswer) {
  struct Case {
    int answer;
    bool result;
    int levels;
  };
  const Case cases[] = {{1, true, 3}, {2, true, 1}, {3, false, 1}};
  for (const Case& c : cases) {
    ProfAscent f({kLine1000, kBadTemp, kLine925, kLine99});
    f.op.Push(c.answer);
    EXPECT_EQ(f.ascent.LoadData(), c.result) << c.answer;
    EXPECT_EQ(f.ascent.LevelCount, c.levels) << c.answer;
    ASSERT_EQ(f.op.asked.size(), 1u);
    const Question& q = f.op.asked[0];
    EXPECT_EQ(Cp1251ToUtf8(q.title), "Запрос " + f.base + ".info");
    EXPECT_EQ(AskedText(f.op, 0), std::string("PROF - ошибка чтения:\r") + kBadTemp + "\rПродолжить ввод?");
    ASSERT_EQ(q.buttons.size(), 3u);
    EXPECT_EQ(Cp1251ToUtf8(q.buttons[0]), "Продолжить");
    EXPECT_EQ(Cp1251ToUtf8(q.buttons[1]), "Прервать");
    EXPECT_EQ(Cp1251ToUtf8(q.buttons[2]), "Отменить");
    EXPECT_EQ(q.defaultButton, 1);
    EXPECT_EQ(q.escButton, 3);
    EXPECT_EQ(q.icon, BoxIcon::Question);
  }
}

// A second sign makes a column unreadable like any other garbage: the
// operator is asked instead of the line being stored with the sign dropped.
TEST(CorvoProfTable, ASecondSignIsALineQuestionNotAValue) {
  const std::string twoSignHeight = std::string(kLine925).replace(12, 6, "  --50");
  const std::string twoSignTemp = std::string(kLine925).replace(54, 6, " +-4.6");
  for (const std::string& bad : {twoSignHeight, twoSignTemp}) {
    ProfAscent f({kLine1000, bad, kLine99});
    f.op.Push(1);
    ASSERT_TRUE(f.ascent.LoadData()) << bad;
    EXPECT_EQ(f.ascent.LevelCount, 2) << bad;
    ASSERT_EQ(f.op.asked.size(), 1u) << bad;
    EXPECT_EQ(AskedText(f.op, 0), "PROF - ошибка чтения:\r" + bad + "\rПродолжить ввод?");
  }
}

TEST(CorvoProfTable, TruncatedAndGarbledLinesAskInsteadOfCrashing) {
  for (const std::string& bad : {std::string("12.5    800   512"), std::string("\x01\x02\xFF"), std::string(""),
                                std::string(kLine925).substr(0, 60)}) {
    ProfAscent f({kLine1000, bad, kLine925});
    f.op.Push(1);
    EXPECT_TRUE(f.ascent.LoadData());
    EXPECT_EQ(f.ascent.LevelCount, 2);
    EXPECT_EQ(f.op.asked.size(), 1u);
  }
}

TEST(CorvoProfTable, CutAt3000LevelsWithAMessage) {
  for (int lines : {2999, 3000, 3100}) {
    std::vector<std::string> data(static_cast<size_t>(lines), kLine925);
    ProfAscent f(data);
    ASSERT_TRUE(f.ascent.LoadData());
    EXPECT_EQ(f.ascent.LevelCount, std::min(lines, 3000));
    const size_t messages = lines >= 3000 ? 1 : 0;
    ASSERT_EQ(f.op.messages.size(), messages) << lines;
    if (messages) {
      EXPECT_EQ(Cp1251ToUtf8(f.op.messages[0]), "Слишком много уровней...\rвыпуск будет обрезан!");
    }
  }
}

TEST(CorvoProfTable, HeaderAndFileErrors) {
  const std::string good = std::string(kProfHeader) + kLine1000 + "\r\n";
  auto replaceLine = [&](int n, const std::string& text) {
    TextList lines = SplitLines(good);
    lines[static_cast<size_t>(n - 1)] = text;
    return Joined(lines);
  };
  const struct {
    std::string content;
    const char* error;
  } cases[] = {
      {replaceLine(1, "ИНДЕКС СТАНЦИИ: 27613"), "Станция?"},
      {replaceLine(1, "ИНДЕКС СТАНЦИИ: 27x12"), "'27x12' не является целым числом"},
      {"\x01", "'' не является целым числом"},  // control characters count as blanks
      {std::string(kProfHeader) + "  0.0      0   147 //////   0.00   0.00  270.0   3.0   5.20 80   2.9\r\n",
       "PROF -ошибка:нет давления, уровень нельзя сравнить со стандартными"},
  };
  for (const auto& c : cases) {
    CorvoFixture f(1);
    f.Write(".prof.1", c.content);
    f.Write(".GROUND", kEmptyGround);
    EXPECT_EQ(ErrorOf([&] { f.ascent.LoadData(); }), c.error);
  }
  CorvoFixture none(1);
  EXPECT_EQ(ErrorOf([&] { none.ascent.LoadData(); }), "Нет файла prof!");

  ProfAscent noSP({kLine1000});
  noSP.Write(".prof.1", replaceLine(10, "  t, c   D, m  H, m"));
  EXPECT_FALSE(noSP.ascent.LoadData());
  EXPECT_TRUE(noSP.op.asked.empty());
}

TEST(CorvoProfTable, ProfFileChoiceAndCloudGroup) {
  ProfAscent f({kLine1000, kLine925}, ".prof");
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.LevelCount, 2);
  EXPECT_EQ(f.ascent.CloudGroup, "62816");
  EXPECT_FALSE(f.ascent.CloudGroupInvalid);
  f.Write(".PROF.1", std::string(kProfHeader) + kLine1000 + "\r\n");  // preferred, found without case
  ASSERT_TRUE(f.ascent.LoadData());
  EXPECT_EQ(f.ascent.LevelCount, 1);
}

TEST(CorvoProfTable, MissingGroundAsksWhetherToGoOn) {
  for (int answer : {1, 2}) {
    ProfAscent f({kLine1000});
    DeleteFileAt(f.base + ".GROUND");
    f.op.Push(answer);
    EXPECT_EQ(f.ascent.LoadData(), answer == 1);
    ASSERT_EQ(f.op.asked.size(), 1u);
    EXPECT_EQ(AskedText(f.op, 0),
              "Нет файла ПРИЗЕМНЫЙ СЛОЙ GROUND!\rПродолжить формирование BUFR без данных ПРИЗЕМНЫЙ СЛОЙ?");
    const Question& q = f.op.asked[0];
    ASSERT_EQ(q.buttons.size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(q.buttons[1]), "Отменить");
    EXPECT_EQ(q.defaultButton, 1);
    EXPECT_EQ(q.escButton, 0);
  }
}

}  // namespace
}  // namespace tern::test
