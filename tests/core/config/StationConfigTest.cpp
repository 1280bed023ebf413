#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Text.h"
#include "config/CodesChecksum.h"
#include "config/StationConfig.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::TempDir;
using tern::test::WriteCp1251;

namespace {

const char* kStationPart = R"([Station]
StationLat=55.75
StationLon=-37.5
StationBarometerHeight=148.5
StationGroundHeight=147
StationRSReleaseHeight=149
StationInd=1234567
)";

struct StationCase {
  const char* name;
  const char* tern;  // the [TERN] section body
  int systemCode;
  bool ok;
  double corrAz = kMissing, corrEl = kMissing;
  uint8_t ternNo = 1;
  const char* softVer = "UNKNWN";
};

TEST(StationConfig, LoadStationKeys) {
  const char* base = "AntennaHeightAbove=12.5\nRadome=1\n";
  const StationCase cases[] = {
      {"plain", "AntennaHeightAbove=12.5\nRadome=1\nSoftVer=?\n", 5, true},
      {"no SoftVer", base, 5, true},
      {"SoftVer cut to 12", "AntennaHeightAbove=1\nRadome=0\nSoftVer=Corvo 2.1.15 build 7\n", 5, true, kMissing,
       kMissing, 1, "Corvo 2.1.15"},
      {"negative CorrAz turned", "AntennaHeightAbove=1\nRadome=0\nCorrAz=-90\nCorrEl=0.25\n", 5, true, 270, 0.25},
      {"negative CorrEl stays below the horizon", "AntennaHeightAbove=1\nRadome=0\nCorrAz=-0.6\nCorrEl=-0.12\n", 5,
       true, 359.4, -0.12},
      {"CorrAz 360", "AntennaHeightAbove=1\nRadome=0\nCorrAz=360\n", 3, true, 360},
      {"CorrAz 400", "AntennaHeightAbove=1\nRadome=0\nCorrAz=400\n", 5, false},
      {"CorrEl -1500", "AntennaHeightAbove=1\nRadome=0\nCorrEl=-1500\n", 7, false},
      {"CorrAz malformed", "AntennaHeightAbove=1\nRadome=0\nCorrAz=1,5\n", 4, false},
      {"CorrAz ignored for code 1", "AntennaHeightAbove=1\nRadome=0\nCorrAz=400\nCorrEl=5\n", 1, true},
      {"CorrAz ignored for code 8", "AntennaHeightAbove=1\nRadome=0\nCorrAz=10\n", 8, true},
      {"second system", "single=0\nTERNnum=3\nAntennaHeightAbove=1\nRadome=0\n", 5, true, kMissing, kMissing, 3},
      {"TERNnum 6", "single=0\nTERNnum=6\nAntennaHeightAbove=1\nRadome=0\n", 5, false},
      {"TERNnum absent", "single=0\nAntennaHeightAbove=1\nRadome=0\n", 5, false},
      {"TERNnum unused when single", "single=1\nTERNnum=9\nAntennaHeightAbove=1\nRadome=0\n", 5, true},
      {"antenna absent", "Radome=0\n", 5, false},
      {"antenna 1000", "AntennaHeightAbove=1000\nRadome=0\n", 5, true},
      {"antenna -1000.5", "AntennaHeightAbove=-1000.5\nRadome=0\n", 5, false},
      {"Radome absent", "AntennaHeightAbove=1\n", 5, false},
      {"Radome 2", "AntennaHeightAbove=1\nRadome=2\n", 5, false},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteCp1251(dir / "STATION.CNF", std::string(kStationPart) + "[TERN]\nTERN=5\n" + c.tern);
    FakeAscent a;
    EXPECT_EQ(a.LoadStation(dir.path(), static_cast<uint8_t>(c.systemCode)), c.ok) << c.name;
    if (!c.ok) continue;
    EXPECT_EQ(a.SystemCode, c.systemCode) << c.name;
    EXPECT_EQ(a.Meta.CorrAz, c.corrAz) << c.name;
    EXPECT_EQ(a.Meta.CorrEl, c.corrEl) << c.name;
    EXPECT_EQ(a.Meta.TernNo, c.ternNo) << c.name;
    EXPECT_EQ(a.Meta.SoftVer, c.softVer) << c.name;
  }
}

TEST(StationConfig, LoadStationPlaceAndHeights) {
  TempDir dir;
  WriteCp1251(dir / "station.cnf", std::string(kStationPart) + "[TERN]\nAntennaHeightAbove=-2.5\nRadome=1\n");
  FakeAscent a;
  ASSERT_TRUE(a.LoadStation(dir.path(), 2));
  EXPECT_EQ(a.StationLat, 55.75);
  EXPECT_EQ(a.StationLon, -37.5);
  EXPECT_EQ(a.StationGroundHeight, 147);
  EXPECT_EQ(a.StationRSReleaseHeight, 149);
  EXPECT_EQ(a.Meta.BarometerHeight, 148.5);
  EXPECT_EQ(a.Meta.AntennaHeight, -2.5);
  EXPECT_EQ(a.Meta.Radome, 1);
  EXPECT_EQ(a.StationInd, 1234567u);
  EXPECT_EQ(a.StationIndText, "12345");
}

TEST(StationConfig, LoadStationNeedsTheFolderAndTheFile) {
  TempDir dir;
  FakeAscent a;
  EXPECT_FALSE(a.LoadStation(dir / "absent", 5));
  EXPECT_FALSE(a.LoadStation(dir.path(), 5));
  EXPECT_FALSE(a.LoadStation("", 5));
}

TEST(StationConfig, UnsupportedSystemIsRaised) {
  TempDir dir;
  WriteCp1251(dir / "STATION.CNF", "[TERN]\nAntennaHeightAbove=1\nRadome=0\n");
  const std::string text = cp("Проверьте настройки в файле STATION.CNF\rСистема зондирования указана неверно!");
  for (int code : {8, 16, 200}) {
    FakeAscent a;
    a.SystemSet = 0xFF;  // the Corvo family: codes 0..7
    try {
      a.LoadStation(dir.path(), static_cast<uint8_t>(code));
      ADD_FAILURE() << "code " << code << " accepted";
    } catch (const TernError& e) {
      EXPECT_EQ(e.Text(), text) << code;
    }
  }
  FakeAscent a;
  a.SystemSet = 0xFF;
  EXPECT_TRUE(a.LoadStation(dir.path(), 255));  // 255 modulo 255 is system 0
  EXPECT_EQ(a.SystemCode, 0);
}

TEST(StationConfig, SystemCodeOfTheStationFile) {
  struct Case {
    const char* text;
    std::optional<uint8_t> code;
  };
  const Case cases[] = {
      {"[TERN]\nTERN=5\n", 5},      {"[TERN]\nTERN=263\n", 8},  {"[TERN]\nTERN=-8\n", 8},
      {"[TERN]\nTERN=255\n", 0},    {"[TERN]\nTERN=abc\n", 0},  {"[TERN]\nTERN=-2147483648\n", 128},
      {"[TERN]\nsingle=1\n", std::nullopt},                     {"[Station]\nTERN=5\n", std::nullopt},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteCp1251(dir / "STATION.CNF", c.text);
    EXPECT_EQ(ReadSystemCode(TMyIniFile(dir / "STATION.CNF")), c.code) << c.text;
  }
}

const char* kCodes = R"([TERN]
Title5=АВК-1М
HiRes5=1
GroundSys5=1
RSSet5=1
[GroundSys]
GroundSys1=5
[RSSet1]
N=1
rs0=27
[rs27]
code=27
type=МРЗ-3А
rsmeta=1
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
[balloon]
N=1
[balloon0]
manuf=1
weight=0.5
type=0
[manuf1]
code=4
type=Уфа
[gas]
N=1
[gas0]
code=1
type=Водород
[Termination]
N=1
code0=1
[eterm]
ecod0=BALLOON BURST
[rterm]
rcod0=Разрыв оболочки
)";

// A signed code tables file with the given [BUFR] body.
std::string SignedCodes(const TempDir& dir, const std::string& bufr, const std::string& tables = kCodes) {
  const std::string path = dir / "BUFRCODES.CNF";
  WriteCp1251(path, "[BUFR]\n" + bufr + tables);
  WriteCodesChecksum(path);
  return path;
}

TEST(StationConfig, TablesVersionRules) {
  struct Case {
    const char* bufr;
    bool ok;
    int extMeta, tablesVer, locTablesVer = 0, cnfVer = 0;
    bool include61616 = true;
  };
  const Case cases[] = {
      {"", true, 2, 25},
      {"ExtMeta=0\nTablesVer=10\n", true, 0, 13},
      {"ExtMeta=0\nTablesVer=14\n", true, 0, 14},
      {"ExtMeta=1\nTablesVer=14\n", true, 1, 22},
      {"ExtMeta=4\nTablesVer=-30\n", true, 4, 30},
      {"ExtMeta=-7\n", true, 2, 25},  // folded into 0..4
      {"TablesVer=255\nLocTablesVer=-3\nCnfVer=-12\n61616=0\n", true, 2, 255, 3, 12, false},
      {"TablesVer=256\n", false, 0, 0},
      {"LocTablesVer=300\n", false, 0, 0},
  };
  for (const auto& c : cases) {
    TempDir dir;
    FakeAscent a;
    a.SystemCode = 5;
    EXPECT_EQ(a.LoadBufrCodes(SignedCodes(dir, c.bufr)), c.ok) << c.bufr;
    if (!c.ok) continue;
    EXPECT_EQ(a.ExtMeta, c.extMeta) << c.bufr;
    EXPECT_EQ(a.TablesVer, c.tablesVer) << c.bufr;
    EXPECT_EQ(a.LocTablesVer, c.locTablesVer) << c.bufr;
    EXPECT_EQ(a.CnfVer, c.cnfVer) << c.bufr;
    EXPECT_EQ(a.Meta.Include61616, c.include61616) << c.bufr;
  }
}

TEST(StationConfig, LoadBufrCodesReadsTheListsOfTheSystem) {
  TempDir dir;
  FakeAscent a;
  a.SystemCode = 5;
  ASSERT_TRUE(a.LoadBufrCodes(SignedCodes(dir, "")));
  EXPECT_EQ(a.GetSystemTitle(), cp("АВК-1М"));
  ASSERT_EQ(a.SystemCodes.Rs.size(), 1u);
  EXPECT_EQ(a.BalloonCodes.size(), 1u);
  EXPECT_EQ(a.GasCodes.size(), 1u);
  EXPECT_EQ(a.TerminationCodes.size(), 1u);

  a.SystemCode = 6;  // no entry for this system in the tables
  EXPECT_FALSE(a.LoadBufrCodes(dir / "BUFRCODES.CNF"));
}

TEST(StationConfig, LoadBufrCodesRefusesAnUnsignedOrEditedFile) {
  TempDir dir;
  FakeAscent a;
  a.SystemCode = 5;
  const std::string path = SignedCodes(dir, "");
  WriteCp1251(path, std::string("[BUFR]\nExtMeta=0\n") + kCodes);  // edited after signing
  EXPECT_FALSE(a.LoadBufrCodes(path));
  std::remove((dir / "BUFRCODES.crc").c_str());
  EXPECT_FALSE(a.LoadBufrCodes(path));
  EXPECT_FALSE(a.LoadBufrCodes(dir / "absent.cnf"));
}

TEST(StationConfig, LoadBufrCodesFailsOnABrokenList) {
  TempDir dir;
  std::string tables = kCodes;
  tables.replace(tables.find("weight=0.5"), 10, "weight=0.04");
  FakeAscent a;
  a.SystemCode = 5;
  EXPECT_FALSE(a.LoadBufrCodes(SignedCodes(dir, "", tables)));
}

TEST(StationConfig, BufrOptionsDefaults) {
  TempDir dir;
  WriteCp1251(dir / "ASPD.CNF", "[SPOOLING]\nx=1\n");
  FakeAscent a;
  ASSERT_TRUE(a.LoadBufrOptions(dir / "ASPD.CNF"));
  EXPECT_EQ(a.Center, 4);
  EXPECT_EQ(a.SubCenter, 0);
  EXPECT_EQ(a.IUKHead, "IUKD90 RUMS {ddhh}00<BBB>");
  EXPECT_EQ(a.IUSHead, "IUSD90 RUMS {ddhh}00<BBB>");
  EXPECT_EQ(a.CCCC, "RUMS");
  EXPECT_FALSE(a.ShortName);
  EXPECT_TRUE(a.WMOMssgFmt);
  EXPECT_EQ(a.BBBHead, " ");
  EXPECT_EQ(a.BBBTail, "");
}

TEST(StationConfig, BufrOptionsFromTheFile) {
  TempDir dir;
  WriteCp1251(dir / "ASPD.CNF",
              "[BUFR]\nCenter=-65535\nSubCenter=40000\nIUKHead=IUKC01#$20UHMM#$20{ddhh}00<BBB>\n"
              "IUSHead=IUSC01 UHMM {ddhh}00<BBX>\nCCCC=UHMM\nShortName=1\nWMOMssgFmt=0\n"
              "BUFRBBBHead=#$20(\nBUFRBBBTail=)#$21\n");
  FakeAscent a;
  ASSERT_TRUE(a.LoadBufrOptions(dir / "ASPD.CNF"));
  EXPECT_EQ(a.Center, 65535);
  EXPECT_EQ(a.SubCenter, 40000);
  EXPECT_EQ(a.IUKHead, "IUKC01 UHMM {ddhh}00<BBB>");
  EXPECT_EQ(a.IUSHead, "IUSC01 UHMM {ddhh}00<BBX>");
  EXPECT_EQ(a.CCCC, "UHMM");
  EXPECT_TRUE(a.ShortName);
  EXPECT_FALSE(a.WMOMssgFmt);
  EXPECT_EQ(a.BBBHead, " (");
  EXPECT_EQ(a.BBBTail, ")!");
}

TEST(StationConfig, CentreBeyondItsFieldStopsWithTheKeyNamed) {
  for (const char* key : {"Center", "SubCenter"}) {
    TempDir dir;
    WriteCp1251(dir / "ASPD.CNF", std::string("[BUFR]\n") + key + "=65536\n");
    FakeAscent a;
    try {
      a.LoadBufrOptions(dir / "ASPD.CNF");
      ADD_FAILURE() << key << " accepted";
    } catch (const TernError& e) {
      EXPECT_NE(e.Text().find(std::string(" ") + key + " = 65536"), std::string::npos) << e.Text();
      EXPECT_NE(e.Text().find("ASPD.CNF"), std::string::npos) << e.Text();
    }
  }
}

}  // namespace
