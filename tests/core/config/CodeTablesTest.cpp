#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "base/Text.h"
#include "config/CodeTables.h"

using namespace tern;
using tern::test::TempDir;
using tern::test::WriteCp1251;

namespace {

const char* kTables = R"([TERN]
Title5=АВК-1М
HiRes5=1
GroundSys5=1
RSSet5=1
Title8=Киоск
HiRes8=0
GroundSys8=2
RSSet8=1
[GroundSys]
GroundSys1=5
GroundSys2=6
[RSSet1]
N=3
rs0=27
rs1=58
rs2=90
[rs27]
code=27
type=МРЗ-3А
manuf=1
model=3
rsmeta=1
[rs58]
code=58
type=АК2-02
manuf=2
rsmeta=1
[rs90]
code=90
type=МРЗ-Н1
manuf=4
model=12
rsmeta=2
[rsmeta1]
radcor=0
trackt=6
windeq=2
freq=1680
complet=0
conf=0
psensor=30
tsensor=2
usensor=3
humcor=0
geopcalc=1
[rsmeta2]
radcor=1
trackt=8
windeq=6
freq=403.5
complet=1
conf=4
psensor=30
tsensor=8
usensor=11
humcor=1
geopcalc=2
[balloon]
N=3
[balloon0]
manuf=1
weight=0.35
type=0
[balloon1]
manuf=1
weight=0.5
type=0
[balloon2]
manuf=2
weight=0.8
type=1
[manuf1]
code=4
type=Уфа
[manuf2]
code=8
type=Totex
[gas]
N=2
[gas0]
code=1
type=Водород
[gas1]
code=2
type=Гелий
[Termination]
N=2
code0=1
code1=4
[eterm]
ecod0=BALLOON BURST
ecod1=SIGNAL LOST
[rterm]
rcod0=Разрыв оболочки
rcod1=Потеря сигнала
)";

// The table text with one piece replaced; the piece must be there.
std::string With(const std::string& from, const std::string& to) {
  std::string text = kTables;
  const size_t at = text.find(from);
  if (at == std::string::npos) throw std::logic_error("fixture has no " + from);
  return text.replace(at, from.size(), to);
}

struct Tables {
  TempDir dir;
  TMyIniFile ini{dir / "codes.cnf"};
  explicit Tables(const std::string& utf8 = kTables) { WriteCp1251(ini.FileName(), utf8); }
};

TEST(CodeTables, GroundSystemWithItsRadiosondes) {
  Tables t;
  tGSSystemCodes gs;
  ASSERT_TRUE(ReadGroundSystem(t.ini, 5, gs));
  EXPECT_EQ(gs.Title, cp("АВК-1М"));
  EXPECT_EQ(gs.HiRes, 1);
  EXPECT_EQ(gs.GroundSys, 5);
  ASSERT_EQ(gs.Count, 3);
  ASSERT_EQ(gs.Rs.size(), 3u);
  EXPECT_EQ(gs.Rs[0].Code, 27);
  EXPECT_EQ(gs.Rs[0].Manuf, 1);
  EXPECT_EQ(gs.Rs[0].Model, 3);
  // manuf without model: both read as 0
  EXPECT_EQ(gs.Rs[1].Name, cp("АК2-02"));
  EXPECT_EQ(gs.Rs[1].Manuf, 0);
  EXPECT_EQ(gs.Rs[1].Model, 0);
  const tRsSystemCodes& r = gs.Rs[2];
  EXPECT_EQ(r.Code, 90);
  EXPECT_EQ(r.Manuf, 4);
  EXPECT_EQ(r.Model, 12);
  EXPECT_EQ(r.RadCor, 1);
  EXPECT_EQ(r.TrackT, 8);
  EXPECT_EQ(r.WindEq, 6);
  EXPECT_DOUBLE_EQ(r.Freq, 403.5);
  EXPECT_EQ(r.Complet, 1);
  EXPECT_EQ(r.Conf, 4);
  EXPECT_EQ(r.PSensor, 30);
  EXPECT_EQ(r.TSensor, 8);
  EXPECT_EQ(r.USensor, 11);
  EXPECT_EQ(r.HumCor, 1);
  EXPECT_EQ(r.GeopCalc, 2);
}

TEST(CodeTables, RadiosondeCode27BecomesSeventyFiveOnlyForSystemsEightAndNine) {
  Tables t(With("Title8=", "Title9=Киоск-2\nHiRes9=0\nGroundSys9=2\nRSSet9=1\nTitle8="));
  for (int system : {5, 8, 9}) {
    tGSSystemCodes gs;
    ASSERT_TRUE(ReadGroundSystem(t.ini, system, gs)) << system;
    EXPECT_EQ(gs.Rs[0].Code, system == 5 ? 27 : 75) << system;
    EXPECT_EQ(gs.Rs[1].Code, 58) << system;
  }
}

TEST(CodeTables, AnyBrokenGroundSystemValueEmptiesTheList) {
  struct Case {
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"Title5=АВК-1М", "Title5=?"},
      {"HiRes5=1", "HiRes5=2"},
      {"GroundSys5=1", "GroundSys5=3"},  // no GroundSys3 entry
      {"GroundSys1=5", "GroundSys1=256"},
      {"RSSet5=1", "RSSet5=x"},
      {"N=3\nrs0", "N=0\nrs0"},
      {"N=3\nrs0", "N=4\nrs0"},  // rs3 absent
      {"rs2=90", "rs2=91"},      // no [rs91]
      {"[rs90]\ncode=90", "[rs90]\ncode=-1"},
      {"type=МРЗ-Н1", "type=?"},
      {"manuf=4\nmodel=12", "manuf=4\nmodel=256"},
      {"rsmeta=2", "rsmeta=-1"},
      {"rsmeta=2", "rsmeta=3"},  // no [rsmeta3]
      {"freq=403.5", "freq=2000.1"},
      {"freq=403.5", "freq=403,5"},
      {"geopcalc=2", "geopcalc=300"},
      {"usensor=11\n", ""},
  };
  for (const auto& c : cases) {
    Tables t(With(c.from, c.to));
    tGSSystemCodes gs;
    EXPECT_FALSE(ReadGroundSystem(t.ini, 5, gs)) << c.from << " -> " << c.to;
    EXPECT_TRUE(gs.Rs.empty()) << c.from;
    EXPECT_EQ(gs.Count, 0) << c.from;
  }
  Tables t;
  tGSSystemCodes gs;
  EXPECT_FALSE(ReadGroundSystem(t.ini, 3, gs));  // system without entry
}

TEST(CodeTables, BalloonGasAndTerminationLists) {
  Tables t;
  tBalloonCodesArray balloons;
  ASSERT_TRUE(ReadBalloonList(t.ini, balloons));
  ASSERT_EQ(balloons.size(), 3u);
  EXPECT_EQ(balloons[0].Maker, 4);
  EXPECT_EQ(balloons[0].Name, cp("Уфа"));
  EXPECT_DOUBLE_EQ(balloons[0].Weight, 0.35);
  EXPECT_EQ(balloons[2].Maker, 8);
  EXPECT_EQ(balloons[2].Type, 1);
  EXPECT_EQ(balloons[2].Name, "Totex");

  tGasCodesArray gases;
  ASSERT_TRUE(ReadGasList(t.ini, gases));
  ASSERT_EQ(gases.size(), 2u);
  EXPECT_EQ(gases[1].Code, 2);
  EXPECT_EQ(gases[1].Name, cp("Гелий"));

  tTerminationCodesArray reasons;
  ASSERT_TRUE(ReadTerminationList(t.ini, reasons));
  ASSERT_EQ(reasons.size(), 2u);
  EXPECT_EQ(reasons[1].Code, 4);
  EXPECT_EQ(reasons[1].BufrText, "SIGNAL LOST");
  EXPECT_EQ(reasons[1].Name, cp("Потеря сигнала"));
}

// A failing entry ends the read; the list keeps length N with the entries from
// the failing one on empty.
TEST(CodeTables, ListFailureKeepsLengthAndEmptiesLaterEntries) {
  struct Case {
    const char* name;
    const char* from;
    const char* to;
    size_t length;  // 0: the list length itself is bad
    size_t firstEmpty;
  };
  const Case cases[] = {
      {"balloon", "weight=0.5", "weight=0.04", 3, 1},
      {"balloon", "weight=0.8", "weight=5.01", 3, 2},
      {"balloon", "[manuf2]\ncode=8", "[manuf2]\ncode=256", 3, 2},
      {"balloon", "type=Totex", "type=?", 3, 2},
      {"balloon", "[balloon]\nN=3", "[balloon]\nN=256", 0, 0},
      {"gas", "[gas1]\ncode=2\ntype=Гелий", "[gas1]\ncode=2", 2, 1},
      {"gas", "[gas]\nN=2", "[gas]\nN=0", 0, 0},
      {"term", "code1=4", "code1=x", 2, 1},
      {"term", "ecod0=BALLOON BURST\n", "", 2, 0},
      {"term", "rcod1=Потеря сигнала\n", "", 2, 1},
  };
  for (const auto& c : cases) {
    Tables t(With(c.from, c.to));
    const std::string what = std::string(c.name) + ": " + c.from + " -> " + c.to;
    std::vector<bool> empty;
    bool ok = true;
    if (std::string(c.name) == "balloon") {
      tBalloonCodesArray l;
      ok = ReadBalloonList(t.ini, l);
      for (const auto& b : l) empty.push_back(b.Name.empty() && b.Weight == 0 && b.Maker == 0);
    } else if (std::string(c.name) == "gas") {
      tGasCodesArray l;
      ok = ReadGasList(t.ini, l);
      for (const auto& g : l) empty.push_back(g.Name.empty() && g.Code == 0);
    } else {
      tTerminationCodesArray l;
      ok = ReadTerminationList(t.ini, l);
      for (const auto& r : l) empty.push_back(r.Name.empty() && r.BufrText.empty() && r.Code == 0);
    }
    EXPECT_FALSE(ok) << what;
    ASSERT_EQ(empty.size(), c.length) << what;
    for (size_t k = 0; k < empty.size(); ++k) EXPECT_EQ(empty[k], k >= c.firstEmpty) << what << " entry " << k;
  }
}

TEST(CodeTables, ObserversAreReadCutAndCapitalised) {
  TempDir dir;
  WriteCp1251(dir / "ascvar.cnf", "[SMENA]\nN=3\nsmena0=ivanov\nsmena1=\nsmena2=Petr\nsmena3=late\n");
  const TMyIniFile ini(dir / "ascvar.cnf");
  TextList list;
  ReadObservers(ini, list);
  EXPECT_EQ(list, (TextList{"IVAN", "PETR"}));

  // Cyrillic letters stay as they are; a negative N counts by its absolute value.
  WriteCp1251(dir / "ascvar.cnf", "[SMENA]\nN=-2\nsmena1=Сидоров\nsmena0=abc\n");
  ReadObservers(ini, list);
  EXPECT_EQ(list, (TextList{"ABC", cp("Сидо")}));
}

TEST(CodeTables, DamagedObserverCountDoesNotStall) {
  TempDir dir;
  WriteCp1251(dir / "ascvar.cnf", "[SMENA]\nN=2147483647\nsmena0=Ivan\nsmena7=Olga\n");
  const TMyIniFile ini(dir / "ascvar.cnf");
  TextList list;
  ReadObservers(ini, list);  // walks the keys present, not 0..N-1
  EXPECT_EQ(list, (TextList{"IVAN", "OLGA"}));
}

TEST(CodeTables, ObserverListRoundTrip) {
  TempDir dir;
  TMyIniFile ini(dir / "ascvar.cnf");
  WriteCp1251(ini.FileName(), "[Other]\nkeep=1\n[SMENA]\nN=1\nsmena0=OLD\nsmena5=stale\n");
  WriteObservers(ini, {"ivanov", cp("Петров"), "Ab"});
  TextList list;
  ReadObservers(ini, list);
  EXPECT_EQ(list, (TextList{"IVAN", cp("Петр"), "AB"}));
  EXPECT_EQ(ini.ReadString("SMENA", "smena5", "gone"), "gone");
  EXPECT_EQ(ini.ReadString("Other", "keep", ""), "1");

  // An unchanged list is not written again (a write replaces the file, so
  // the same file means no write).
  struct stat before {}, after {};
  ASSERT_EQ(stat(ini.FileName().c_str(), &before), 0);
  WriteObservers(ini, {"IVAN", cp("Петр"), "ab"});
  ASSERT_EQ(stat(ini.FileName().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  // A name swapped for another keeps the count but is still saved.
  WriteObservers(ini, {"IVAN", "Olga", "AB"});
  ReadObservers(ini, list);
  EXPECT_EQ(list, (TextList{"IVAN", "OLGA", "AB"}));

  WriteObservers(ini, {});
  ReadObservers(ini, list);
  EXPECT_TRUE(list.empty());
  TextList keys;
  ini.ReadSection("SMENA", keys);
  EXPECT_EQ(keys, (TextList{"N"}));
  EXPECT_EQ(ini.ReadInteger("SMENA", "N", -1), 0);
}

TEST(CodeTables, ObserverCode) {
  struct Case {
    const char* name;
    const char* code;
  };
  const Case cases[] = {
      {"Иванов", "Iva"}, {"Щукин", "Scuk"}, {"Жужа", "Zhuz"}, {"Ёлкин", "Yolk"}, {"ёж", "yozh"},
      {"Чаша", "Chas"},  {"Юля", "Yuly"},  {"Ьяк", "'yak"},  {"ivan", "IVA"},  {"Ab", "AB"},
      {"П-1", "P-1"},    {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ObserverCode(cp(c.name)), c.code) << c.name;
}

}  // namespace
