#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Text.h"
#include "bulletins/LayerBulletin.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::TempDir;
using tern::test::WriteBytes;

namespace {

const TDateTime kObs = EncodeDateTime(2024, 3, 5, 12, 0, 0);
const TDateTime kLocal = EncodeDateTime(2024, 3, 5, 11, 0, 0);

// The layer line of the sounding system: the word, the station's own twelve
// characters, then the layer groups.
const char* kLayerLine = "СЛОЙ 12345 05111 10150 20310 30470=";

struct Case {
  const char* name;
  std::string file;  // UTF-8, written as cp1251
  std::function<void(tLayerSettings&)> settings;
  std::string want;  // UTF-8; the bulletin, or the failure text
  bool fails = false;
};

std::string BuildLayerCase(const Case& c, const std::string& bbb = "") {
  TempDir dir;
  FakeAscent a;
  a.ObsTime = kObs;
  a.LayerTime = kLocal;
  a.StationIndText = "12345";
  a.LayerFile = dir / "ascent.LAYERS";
  WriteBytes(a.LayerFile, cp(c.file));
  tLayerSettings s;
  s.Sep = "=";
  s.Tail = "\r\nNNNN";
  if (c.settings) c.settings(s);
  return BuildLayer(a, bbb, s);
}

void Check(const Case& c, const std::function<std::string(const Case&)>& build) {
  SCOPED_TRACE(c.name);
  try {
    const std::string got = build(c);
    if (c.fails)
      ADD_FAILURE() << "built " << Cp1251ToUtf8(got);
    else
      EXPECT_EQ(Cp1251ToUtf8(got), c.want);
  } catch (const TernError& e) {
    if (c.fails)
      EXPECT_EQ(Cp1251ToUtf8(e.Text()), c.want);
    else
      ADD_FAILURE() << "failed with " << Cp1251ToUtf8(e.Text());
  }
}

void Recompose(tLayerSettings& s) { s.OrgSep = "="; }
void WithGroup(tLayerSettings& s) {
  Recompose(s);
  s.YYGG = true;
}

}  // namespace

TEST(LayerBulletin, LineIsRecomposedInTheCentresOrder) {
  const std::string file = std::string("KN LAYERS\n") + kLayerLine + "\nСЛОЙ 99999 99999 9=\n";
  const Case cases[] = {
      {"index then day-hour group", file, WithGroup, "12345 05110 10150 20310 30470=\r\nNNNN"},
      {"group first",
       file,
       [](tLayerSettings& s) {
         WithGroup(s);
         s.YYGG1st = true;
       },
       "05110 12345 10150 20310 30470=\r\nNNNN"},
      {"group without index",
       file,
       [](tLayerSettings& s) {
         WithGroup(s);
         s.YYGG1st = true;
         s.NoIndex = true;
         s.YYGGChar = "1";
       },
       "05111 10150 20310 30470=\r\nNNNN"},
      {"index only", file, Recompose, "12345 10150 20310 30470=\r\nNNNN"},
      {"neither",
       file,
       [](tLayerSettings& s) {
         Recompose(s);
         s.NoIndex = true;
       },
       "10150 20310 30470=\r\nNNNN"},
      {"no separator in the file expected: it stays in the line", file, [](tLayerSettings& s) { s.Sep = ""; },
       "12345 10150 20310 30470=\r\nNNNN"},
      {"blank after the separator is trimmed first", "СЛОЙ 12345 05111 10150 20310=  \r\n", Recompose,
       "12345 10150 20310=\r\nNNNN"},
      {"separator inside the line", "СЛОЙ 12345 05111 10150=20310 30470=\n", Recompose, "Ошибка формата", true},
      {"separator missing", "СЛОЙ 12345 05111 10150 20310\n", Recompose, "Ошибка формата", true},
      {"no layer line", "KN LAYERS\n 12345 05111 10150=\n", Recompose, "Ошибка формата", true},
      {"empty file", "", Recompose, "Ошибка формата", true},
      {"own file head",
       "LAYR 12345 05111 10150=\n",
       [](tLayerSettings& s) {
         Recompose(s);
         s.OrgSecHead = "LAYR";
       },
       "12345 10150=\r\nNNNN"},
  };
  for (const Case& c : cases) Check(c, [](const Case& k) { return BuildLayerCase(k); });
}

TEST(LayerBulletin, LinesTakenAsTheyAre) {
  const std::string file = "СЛОЙ 12345 05111 10150 20310=\r\n12345 10150 20310   \r\n";
  const Case cases[] = {
      {"as is", file, [](tLayerSettings& s) { s.AsIs = true; }, "СЛОЙ 12345 05111 10150 20310==\r\nNNNN"},
      {"as is, one line further",
       file,
       [](tLayerSettings& s) {
         s.AsIs = true;
         s.Mph = true;
       },
       "12345 10150 20310=\r\nNNNN"},
      {"one line further, then recomposed",
       "СЛОЙ\nСЛОЙ 27612 05111 10150=\n",
       [](tLayerSettings& s) {
         Recompose(s);
         s.Mph = true;
       },
       "12345 10150=\r\nNNNN"},
      {"as is from an empty file", "", [](tLayerSettings& s) { s.AsIs = true; }, "Ошибка формата", true},
      {"one line further than the file has",
       "СЛОЙ 12345 05111 10150=\n",
       [](tLayerSettings& s) { s.Mph = true; },
       "Ошибка формата",
       true},
  };
  for (const Case& c : cases) Check(c, [](const Case& k) { return BuildLayerCase(k); });
}

TEST(LayerBulletin, HeadingUsesTheObservationTimeAndTheLayerBBBTexts) {
  const Case c{"", kLayerLine,
               [](tLayerSettings& s) {
                 WithGroup(s);
                 s.Head = "SLOY01 RUMS {ddhh}00<BBB>\r\n";
                 s.BBBHead = "_";
                 s.BBBTail = "";
                 s.SecHead = cp("СЛОЙ {dd} ");  // taken as written
                 s.Tail = "\r\n";
               },
               ""};
  EXPECT_EQ(Cp1251ToUtf8(BuildLayerCase(c, "CCA")),
            "SLOY01 RUMS 051200_CCA\r\nСЛОЙ {dd} 12345 05110 10150 20310 30470=\r\n");
  EXPECT_EQ(Cp1251ToUtf8(BuildLayerCase(c, "")), "SLOY01 RUMS 051200\r\nСЛОЙ {dd} 12345 05110 10150 20310 30470=\r\n");
}

TEST(LayerBulletin, MissingLayerFile) {
  FakeAscent a;
  try {
    BuildLayer(a, "", tLayerSettings{});
    ADD_FAILURE() << "built without a file";
  } catch (const TernError& e) {
    EXPECT_EQ(e.Text(), cp("Файл СЛОЙ не найден!"));
  }
}

TEST(LayerBulletin, ShiftGoesToTheAscent) {
  FakeAscent a;
  tLayerSettings s;
  s.UTCBias = -6;
  s.Loc = true;
  ApplyLayerShift(a, s);
  EXPECT_DOUBLE_EQ(a.LayerShift, -0.25);
  EXPECT_TRUE(a.LayerShiftOn);
}

namespace {

struct PrizCase {
  const char* name;
  uint8_t systemCode;
  std::string file;
  std::function<void(tPrizSettings&)> settings;
  std::string want;
  bool fails = false;
};

std::string BuildPrizCase(const PrizCase& c, const std::string& bbb = "") {
  TempDir dir;
  FakeAscent a;
  a.ObsTime = kObs;
  a.SystemCode = c.systemCode;
  a.GroundFile = dir / "ascent.GROUND";
  WriteBytes(a.GroundFile, cp(c.file));
  tPrizSettings s;
  s.Sep = "=";
  s.Tail = "\r\nNNNN";
  if (c.settings) c.settings(s);
  return BuildPriz(a, bbb, s);
}

void WithHeading(tPrizSettings& s) {
  s.Head = "ZCZC<BBB>\r\n";
  s.SecHead = cp("ПРИЗ {ddhh}");
}

}  // namespace

TEST(PrizBulletin, FileIsWrappedLineByLine) {
  const std::string corvo = "ПРИЗ 12345 0512\r\n1005 -12 80  \r\n\r\n";
  const std::string kiosk = "Kiosk 1\nstation 12345\n05.03.2024\nПРИЗ 12345 0512\n1005 -12 80\n";
  const PrizCase cases[] = {
      {"heading, section head and every line", 1, corvo, WithHeading,
       "ZCZC\r\nПРИЗ 0512\r\nПРИЗ 12345 0512\r\n1005 -12 80=\r\nNNNN"},
      {"nothing before the first line", 1, corvo, nullptr, "ПРИЗ 12345 0512\r\n1005 -12 80=\r\nNNNN"},
      {"configured line break", 1, "a\nb\n", [](tPrizSettings& s) { s.CRLF = "\n"; }, "a\nb=\r\nNNNN"},
      {"Kiosk files start with three lines of their own", 8, kiosk, nullptr, "ПРИЗ 12345 0512\r\n1005 -12 80=\r\nNNNN"},
      {"a Kiosk file of three lines leaves the heading alone", 8, "1\n2\n3\n", WithHeading, "ZCZC\r\nПРИЗ 0512=\r\nNNNN"},
      {"end marker cuts the rest", 1, "a\nb END c\nd\n", [](tPrizSettings& s) { s.OrgSep = "END"; },
       "a\r\nb=\r\nNNNN"},
      {"end marker inside the heading is not searched", 1, "a=b\n",
       [](tPrizSettings& s) {
         s.Head = "H=\r\n";
         s.OrgSep = "=";
       },
       "H=\r\n\r\na=\r\nNNNN"},
      {"end marker missing", 1, "a\nb\n", [](tPrizSettings& s) { s.OrgSep = "END"; }, "Ошибка формата", true},
  };
  for (const PrizCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      const std::string got = Cp1251ToUtf8(BuildPrizCase(c));
      if (c.fails)
        ADD_FAILURE() << "built " << got;
      else
        EXPECT_EQ(got, c.want);
    } catch (const TernError& e) {
      EXPECT_TRUE(c.fails) << Cp1251ToUtf8(e.Text());
      EXPECT_EQ(Cp1251ToUtf8(e.Text()), c.want);
    }
  }
}

TEST(PrizBulletin, BBBTextsHaveNoBlankUnlessConfigured) {
  PrizCase c{"", 1, "a\n", WithHeading, ""};
  EXPECT_EQ(Cp1251ToUtf8(BuildPrizCase(c, "CCA")), "ZCZCCCA\r\nПРИЗ 0512\r\na=\r\nNNNN");
  c.settings = [](tPrizSettings& s) {
    WithHeading(s);
    s.BBBHead = " ";
  };
  EXPECT_EQ(Cp1251ToUtf8(BuildPrizCase(c, "RRA")), "ZCZC RRA\r\nПРИЗ 0512\r\na=\r\nNNNN");
}

TEST(PrizBulletin, MissingSurfaceLayerFile) {
  FakeAscent a;
  try {
    BuildPriz(a, "", tPrizSettings{});
    ADD_FAILURE() << "built without a file";
  } catch (const TernError& e) {
    EXPECT_EQ(e.Text(), cp("Файл ПРИЗЕМНЫЙ СЛОЙ не найден!"));
  }
}
