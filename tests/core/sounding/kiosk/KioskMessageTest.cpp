#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>

#include "KioskFileWriter.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Files.h"
#include "sounding/kiosk/KioskMessage.h"

using namespace tern;
using tern::test::TempDir;
using tern::test::WriteBytes;
using tern::test::WriteCp1251;
namespace kw = tern::test::kiosk;

namespace {

constexpr float M = static_cast<float>(kMissing);

// An ascent object with its data folder in a scratch folder and the station 27612.
struct KioskFixture {
  TempDir dir;
  std::unique_ptr<TuaKioskMessage> a = std::make_unique<TuaKioskMessage>();
  KioskFixture() {
    a->KioskBase = dir.path();
    a->TlgFolder = dir.path();
    a->StationInd = 27612;
    a->StationLat = 55.0;
    a->StationLon = 37.0;
  }
  std::string Write(const std::string& name, const kw::CardPlan& card, const std::vector<kw::EdtPoint>& points,
                    int16_t lastWind, int16_t index100 = 0) {
    return kw::WriteAscent(dir.path(), name, kw::MakeCard(card), kw::MakeEdt(points, lastWind, index100));
  }
  void Open(const std::string& stg) {
    uint8_t rs = 0;
    ASSERT_TRUE(a->OpenAscent(stg, rs));
  }
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TernError& e) {
    return e.Text();
  }
  return "no error";
}

kw::EdtPoint Pt(float time, float p, float t, float u, float z, float dir, float speed, float x, float y,
                uint16_t flags = 0) {
  kw::EdtPoint e;
  e.time = time, e.pressure = p, e.temp = t, e.humidity = u, e.height = z;
  e.windDir = dir, e.windSpeed = speed, e.x = x, e.y = y, e.flags = flags;
  return e;
}

}  // namespace

TEST(KioskAscent, OpensTheCardFindsItsProfileAndReportsTheRadiosonde) {
  KioskFixture f;
  kw::CardPlan card;
  card.variant = 3;
  const std::string stg = f.Write("26120900", card, {Pt(0, 1000, 1, 80, 150, 0, 0, 0, 0)}, 0);
  f.a->SetLayerShiftOn(true);
  f.a->SetLayerShift(0.125);
  uint8_t rs = 0;
  ASSERT_TRUE(f.a->OpenAscent(stg, rs));
  EXPECT_EQ(rs, 58);
  EXPECT_EQ(f.a->StgFile, stg);
  EXPECT_EQ(f.a->EdtFile, f.dir / "RESULT/2612/26120900.EDT");
  EXPECT_EQ(f.a->SourceFile, f.a->EdtFile);
  EXPECT_EQ(f.a->SourceName, "26120900");
  EXPECT_EQ(DateTimeToStr(f.a->ObsTime), "09.12.2026 00:00:00");
  // The card's launch time is known from the opening on: the names of the messages carry it.
  EXPECT_EQ(DateTimeToStr(f.a->LaunchTime), "09.12.2026 23:15:00");
  EXPECT_EQ(DateTimeToStr(f.a->LayerTime), "09.12.2026 03:00:00");
}

TEST(KioskAscent, ACardWithoutAUsableLaunchDateOpensWithTheTerm) {
  KioskFixture f;
  kw::CardPlan card;
  card.month = 13;
  f.Open(f.Write("26120900", card, {Pt(0, 1000, 1, 80, 150, 0, 0, 0, 0)}, 0));
  EXPECT_EQ(f.a->LaunchTime, f.a->ObsTime);
}

TEST(KioskAscent, OpenAscentRefusals) {
  KioskFixture f;
  kw::CardPlan card;
  f.Write("26120912", card, {Pt(0, 1000, 1, 80, 150, 0, 0, 0, 0)}, 0);
  // A profile named in lower case is found all the same.
  kw::WriteAscent(f.dir.path(), "26121000", kw::MakeCard(card), "");
  RenameFile(f.dir / "RESULT/2612/26121000.EDT", f.dir / "RESULT/2612/26121000.edt");
  uint8_t rs = 0;

  struct Case {
    std::string file;
    std::string error;  // empty: accepted
  };
  const std::string raw = f.dir / "RAW/2612/";
  const Case cases[] = {
      {raw + "26120912.stg", ""},
      {raw + "26121000.stg", ""},
      {raw + "2612091.stg", cp("2612091.stg не могу определить срок!!!")},
      {raw + "26130900.stg", cp("26130900.stg не могу определить срок!!!")},
      {raw + "26120924.stg", cp("26120924.stg не могу определить срок!!!")},
      {raw + "2612a912.stg", cp("2612a912.stg не могу определить срок!!!")},
      {raw + "26120915.stg", f.dir / "RESULT/2612/26120915.EDT" + cp(" не могу найти EDT!!!")},
  };
  for (const Case& c : cases) {
    rs = 0;
    const std::string err = ErrorOf([&] { f.a->OpenAscent(c.file, rs); });
    EXPECT_EQ(err, c.error.empty() ? "no error" : c.error) << c.file;
    EXPECT_EQ(rs, c.error.empty() ? 75 : 255) << c.file;
  }
  // After a refused card nothing of the previous ascent is loaded with it.
  ASSERT_TRUE(f.a->OpenAscent(raw + "26120912.stg", rs));
  WriteBytes(raw + "26120915.stg", kw::MakeCard(card));
  EXPECT_NE(ErrorOf([&] { f.a->OpenAscent(raw + "26120915.stg", rs); }), "no error");
  EXPECT_NE(ErrorOf([&] { f.a->LoadData(); }), "no error");
  EXPECT_EQ(f.a->LevelCount, 0);
  // Another extension is simply not this family's file.
  rs = 0;
  EXPECT_FALSE(f.a->OpenAscent(f.dir / "RESULT/2612/26120912.EDT", rs));
  EXPECT_EQ(rs, 255);
  // The extension in capitals is the same card.
  RenameFile(raw + "26120912.stg", raw + "26120912.STG");
  EXPECT_TRUE(f.a->OpenAscent(raw + "26120912.STG", rs));
}

TEST(KioskAscent, LoadReadsTheCardAndFillsTheLevels) {
  KioskFixture f;
  kw::CardPlan card;
  card.cloud = "70560";
  card.day = 8;
  card.hour = 23.25f;
  const std::vector<kw::EdtPoint> points = {
      Pt(0, 1000, 20, 50, 150, 90, 4, 0, 0, 0x01 | 0x20),
      Pt(60, 900, 12, 100, 1000, 270, 8, 1000, 0, 0x02 | 0x04 | 0x08),
      Pt(120, 800, 5, 0, 2000, 180, 6, 0, 1000, 0x10),
      Pt(-9999, 700, kw::kNo, 30, 3000, 180, 7, 500, 500, 0),
      Pt(240, 600, -10, kw::kNo, 4000, 200, 9, 500, 500, 0),
  };
  f.Open(f.Write("26120900", card, points, 2));
  f.a->SetBufrI(false);
  ASSERT_TRUE(f.a->LoadData());
  EXPECT_EQ(f.a->CloudGroup, "70560");
  EXPECT_FALSE(f.a->CloudGroupInvalid);
  EXPECT_EQ(DateTimeToStr(f.a->LaunchTime), "08.12.2026 23:15:00");
  // 925 and 850 hPa are added; nothing above the last record.
  ASSERT_EQ(f.a->LevelCount, 7);
  const auto& L = f.a->Levels;
  const float pressures[] = {1000, 925, 900, 850, 800, 700, 600};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(L[i].Pressure, pressures[i]) << i;

  struct SigCase { int level; uint32_t sig; };
  const SigCase sigs[] = {{0, 0x0001 | 0x0002}, {1, 0x0002}, {2, 0x0004 | 0x0060 | 0x0180}, {3, 0x0002},
                          {4, 0x0190}, {5, 0x0002}, {6, 0}};
  for (const auto& s : sigs) EXPECT_EQ(L[s.level].SigFlags, s.sig) << s.level;

  // Humidity goes with a dew point or not at all.
  EXPECT_NEAR(L[0].DewPoint, 9.26441, 1e-4);
  EXPECT_EQ(L[0].Humidity, 50);
  EXPECT_EQ(L[2].DewPoint, 12);
  EXPECT_EQ(L[4].Humidity, M) << "no humidity: no dew point";
  EXPECT_EQ(L[4].DewPoint, M);
  EXPECT_EQ(L[5].Humidity, M) << "no temperature: no dew point";
  EXPECT_EQ(L[5].Temp, M);
  EXPECT_EQ(L[6].Humidity, M);

  // Wind up to the last wind record (800 hPa, level 4), none above.
  EXPECT_EQ(L[4].WindDir, 180);
  EXPECT_EQ(L[4].WindSpeed, 6);
  EXPECT_EQ(L[5].WindDir, M);
  EXPECT_EQ(L[6].WindSpeed, M);

  // Position on the sphere; a level without time has none.
  EXPECT_NEAR(L[0].LatDisp, 0, 1e-12);
  EXPECT_NEAR(L[2].LatDisp, 0.0089932, 1e-6);
  EXPECT_NEAR(L[2].LonDisp, 0, 1e-9);
  EXPECT_NEAR(L[4].LatDisp, -1.00798e-6, 1e-10) << "a great circle heading east bends towards the equator";
  EXPECT_NEAR(L[4].LonDisp, 0.0156792, 1e-6);
  EXPECT_EQ(L[5].Time, M);
  EXPECT_EQ(L[5].LatDisp, kMissing);
  EXPECT_EQ(L[6].Time, 240);
}

TEST(KioskAscent, BufrIEndsWithTheHundredHectopascalRecord) {
  KioskFixture f;
  f.Open(f.Write("26120900", {}, kw::SampleProfile(400), 399));
  ASSERT_TRUE(f.a->LoadData());
  const int n = f.a->LevelCount;
  ASSERT_GT(n, 100);
  EXPECT_EQ(f.a->Levels[n - 1].Pressure, 100);
  EXPECT_TRUE(f.a->Levels[n - 1].SigFlags & kSigStandard);
  EXPECT_GT(f.a->Levels[n - 2].Pressure, 100);

  f.a->SetBufrI(false);
  ASSERT_TRUE(f.a->LoadData());
  EXPECT_EQ(f.a->LevelCount, 400 + 16) << "every standard level added";
  EXPECT_EQ(f.a->Levels[f.a->LevelCount - 1].Pressure, 8);
}

TEST(KioskAscent, LoadRefusals) {
  KioskFixture f;
  const std::string stg = f.Write("26120900", {}, kw::SampleProfile(3), 2);
  f.Open(stg);
  f.a->StationInd = 27613;
  EXPECT_EQ(ErrorOf([&] { f.a->LoadData(); }), cp("Станция?"));
  f.a->StationInd = 27612;

  struct Case {
    const char* what;
    std::string card, edt, error;
  };
  const std::string edtPath = f.a->EdtFile;
  const std::string good = kw::MakeEdt(kw::SampleProfile(3), 2, 0);
  kw::CardPlan badDate;
  badDate.month = 13;
  kw::CardPlan badHour;
  badHour.hour = std::nanf("");
  kw::CardPlan shortCard;
  shortCard.size = 185;
  const Case cases[] = {
      {"empty profile", kw::MakeCard({}), "", cp("Ошибка чтения файла ") + edtPath},
      {"header only", kw::MakeCard({}), good.substr(0, 32 + 43), cp("Ошибка чтения файла ") + edtPath},
      {"short card", kw::MakeCard(shortCard), good, cp("Ошибка чтения файла ") + stg},
      {"bad launch date", kw::MakeCard(badDate), good, cp("26120900.stg неверная дата выпуска")},
      {"launch hour no number", kw::MakeCard(badHour), good, cp("26120900.stg неверная дата выпуска")},
  };
  for (const Case& c : cases) {
    WriteBytes(stg, c.card);
    WriteBytes(edtPath, c.edt);
    EXPECT_EQ(ErrorOf([&] { f.a->LoadData(); }), c.error) << c.what;
    EXPECT_EQ(f.a->LevelCount, 0) << c.what;
  }
}

TEST(KioskAscent, AProfileIsReadUpToItsLastWholeRecordAndCutAtTheCapacity) {
  KioskFixture f;
  const std::string stg = f.Write("26120900", {}, kw::SampleProfile(3), 2);
  f.Open(stg);
  f.a->SetBufrI(false);
  const std::string whole = kw::MakeEdt(kw::SampleProfile(3), 2, 0);
  WriteBytes(f.a->EdtFile, whole + std::string(43, '\x7F'));
  ASSERT_TRUE(f.a->LoadData());
  EXPECT_EQ(f.a->LevelCount, 3 + 16);
  EXPECT_EQ(f.a->Levels[f.a->LevelCount - 1].Pressure, 8);

  WriteBytes(f.a->EdtFile, kw::MakeEdt(kw::SampleProfile(3100), 3099, 0));
  ASSERT_TRUE(f.a->LoadData());
  EXPECT_EQ(f.a->LevelCount, kMaxLevels);
}

TEST(KioskAscent, RandomBytesNeverCrashTheReader) {
  KioskFixture f;
  const std::string stg = f.Write("26120900", {}, kw::SampleProfile(3), 2);
  f.Open(stg);
  std::mt19937 rng(20261209);
  for (int round = 0; round < 200; ++round) {
    std::uniform_int_distribution<int> size(0, 2000);
    std::string edt(static_cast<size_t>(size(rng)), '\0');
    for (char& c : edt) c = static_cast<char>(rng() & 0xFF);
    std::string card(round % 2 ? 166 : 186, '\0');
    for (char& c : card) c = static_cast<char>(rng() & 0xFF);
    // A recognised card with the right station, so that the profile is read.
    card[55] = round % 2 ? 1 : 0;
    card[20] = static_cast<char>(27612 & 0xFF), card[21] = static_cast<char>(27612 >> 8), card[22] = card[23] = 0;
    const size_t b3 = round % 2 ? 120 : 140;
    card[b3 + 26] = 9, card[b3 + 27] = 0, card[b3 + 28] = 12, card[b3 + 29] = 0;
    card[b3 + 30] = static_cast<char>(2026 & 0xFF), card[b3 + 31] = static_cast<char>(2026 >> 8);
    card[b3 + 32] = card[b3 + 33] = card[b3 + 34] = card[b3 + 35] = 0;
    WriteBytes(stg, card);
    WriteBytes(f.a->EdtFile, edt);
    f.a->SetBufrI(round % 3 == 0);
    try {
      ASSERT_TRUE(f.a->LoadData());
      ASSERT_LE(f.a->LevelCount, kMaxLevels);
      ASSERT_GE(static_cast<size_t>(f.a->LevelCount), (edt.size() - 32) / 44 > 0 ? 1u : 0u);
      for (int i = 0; i < f.a->LevelCount; ++i) {
        const tUALevel& l = f.a->Levels[i];
        for (float v : {l.Time, l.Pressure, l.Temp, l.Humidity, l.DewPoint, l.WindDir, l.WindSpeed, l.Height})
          ASSERT_TRUE(std::isfinite(v)) << "round " << round << " level " << i;
        ASSERT_TRUE(std::isfinite(l.LatDisp) && std::isfinite(l.LonDisp)) << "round " << round << " level " << i;
      }
    } catch (const TernError& e) {
      EXPECT_LT(edt.size(), 32u + 44u) << "round " << round << ": " << e.what();
    }
  }
}

TEST(KioskAscent, TelegramFileNames) {
  KioskFixture f;
  f.a->TlgFolder = f.dir / "TLG/";
  WriteCp1251(f.dir / "TLG/ttaa", "TTAA");
  WriteCp1251(f.dir / "TLG/SLOY.TXT", "СЛОЙ");
  WriteCp1251(f.dir / "TLG/priz.txt", "ПРИЗ");
  struct Case {
    bool txt;
    std::function<bool(std::string&)> get;
    std::string path;
    bool exists;
  };
  auto& a = *f.a;
  const Case cases[] = {
      {false, [&](std::string& p) { return a.GetTelegramFile(1, p); }, f.dir / "TLG/ttaa", true},
      {true, [&](std::string& p) { return a.GetTelegramFile(1, p); }, f.dir / "TLG/ttaa.txt", false},
      {false, [&](std::string& p) { return a.GetTelegramFile(2, p); }, f.dir / "TLG/ttbb", false},
      {true, [&](std::string& p) { return a.GetTelegramFile(3, p); }, f.dir / "TLG/ttcc.txt", false},
      {false, [&](std::string& p) { return a.GetTelegramFile(4, p); }, f.dir / "TLG/ttdd", false},
      {true, [&](std::string& p) { return a.GetLayerFile(p); }, f.dir / "TLG/SLOY.TXT", true},
      {false, [&](std::string& p) { return a.GetLayerFile(p); }, f.dir / "TLG/sloy", false},
      {true, [&](std::string& p) { return a.GetGroundFile(p); }, f.dir / "TLG/priz.txt", true},
      {false, [&](std::string& p) { return a.GetTelegramFile(5, p); }, "", false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    a.TxtExt = c.txt;
    std::string path = "stale";
    EXPECT_EQ(c.get(path), c.exists) << i;
    EXPECT_EQ(path, c.path) << i;
  }
}

TEST(KioskAscent, NamesAndOpenFilterFollowTheDate) {
  TuaKioskMessage a;
  EXPECT_EQ(a.SystemSet, 1u << 8);
  EXPECT_EQ(a.GetAscentFileName(EncodeDateTime(2027, 1, 1, 0, 0, 0)), "27010100.stg");
  EXPECT_EQ(a.GetAscentFileName(EncodeDateTime(2026, 12, 9, 23, 59, 59)), "26120923.stg");
  EXPECT_EQ(a.GetOpenFilter(EncodeDate(2027, 1, 1)),
            cp("Последние выпуски|261231*.stg;270101*.stg|Все выпуски|*.stg"));
}

TEST(KioskFolders, SettingsAndTheirDefaults) {
  TempDir home;
  const char* oldHome = std::getenv("HOME");
  const std::string saved = oldHome ? oldHome : "";
  setenv("HOME", home.path().c_str(), 1);
  struct Case {
    const char* what;
    std::string settings;  // UTF-8 text of the options file
    std::string base, tlg;
    bool txt;
  };
  const Case cases[] = {
      {"no keys", "[OPTIONS]\n", home / "Kiosk/DATA/", home / "Kiosk/DATA/", false},
      {"the Windows default", "[OPTIONS]\nSrc=C:\\Kiosk\\DATA\\\n", home / "Kiosk/DATA/", home / "Kiosk/DATA/", false},
      {"own folders", "[OPTIONS]\nSrc=/srv/kiosk\n[Kiosk]\nTLGPath=\\srv\\tlg\\\nTXTExt=1\n", "/srv/kiosk/",
       "/srv/tlg/", true},
      {"telegrams beside the data", "[OPTIONS]\nSrc=/srv/kiosk/\n[Kiosk]\nTXTExt=0\n", "/srv/kiosk/", "/srv/kiosk/",
       false},
  };
  for (const Case& c : cases) {
    TuaKioskMessage a;
    WriteCp1251(home / "TERN2BFR.CNF", c.settings);
    bool found = true;
    std::string folder;
    a.FindSourceFolder(home / "TERN2BFR.CNF", found, folder, EncodeDate(2026, 12, 9));
    EXPECT_EQ(a.KioskBase, c.base) << c.what;
    EXPECT_EQ(a.TlgFolder, c.tlg) << c.what;
    EXPECT_EQ(a.TxtExt, c.txt) << c.what;
    EXPECT_EQ(folder, c.base + "RAW/") << c.what;
    EXPECT_FALSE(found) << c.what;
  }
  TuaKioskMessage fresh;
  EXPECT_EQ(fresh.KioskBase, home / "Kiosk/DATA/");
  setenv("HOME", saved.c_str(), 1);
}

TEST(KioskFolders, TheFolderOfTheMonthOrTheOneBefore) {
  struct Case {
    const char* what;
    std::vector<std::string> cards;  // relative to RAW/
    std::vector<std::string> folders;
    int year, month, day;
    std::string folder;  // relative to RAW/
    bool found;
  };
  const Case cases[] = {
      {"a card of the day", {"2612/26120900.stg"}, {}, 2026, 12, 9, "2612/", true},
      {"a card of the day before", {"2612/26120823.STG"}, {}, 2026, 12, 9, "2612/", true},
      {"only older cards", {"2612/26120700.stg"}, {}, 2026, 12, 9, "2612/", false},
      {"another extension", {"2612/26120900.EDT"}, {}, 2026, 12, 9, "2612/", false},
      {"early in the month, last month's folder", {"2611/26113023.stg"}, {}, 2026, 12, 1, "2611/", true},
      {"this month's folder, still empty", {"2611/26113023.stg"}, {"2612"}, 2026, 12, 1, "2612/", false},
      {"no month folder", {}, {}, 2026, 12, 20, "", false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    for (const auto& card : c.cards) WriteBytes(dir / ("RAW/" + card), "x");
    for (const auto& folder : c.folders) ForceFolders(dir / ("RAW/" + folder));
    ForceFolders(dir / "RAW");
    WriteCp1251(dir / "TERN2BFR.CNF", "[OPTIONS]\nSrc=" + dir.path() + "\n");
    TuaKioskMessage a;
    bool found = !c.found;
    std::string folder;
    a.FindSourceFolder(dir / "TERN2BFR.CNF", found, folder, EncodeDate(c.year, c.month, c.day));
    EXPECT_EQ(folder, dir / ("RAW/" + c.folder)) << c.what;
    EXPECT_EQ(found, c.found) << c.what;
  }
}
