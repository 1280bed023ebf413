// The demo station's sample ascent of the workstation family is made by the
// generator below and kept under demo/ascents/kiosk. After a change of the
// generator, run this suite once with TERN_WRITE_DEMO=1 to rewrite the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "../../bufr/EccodesDecode.h"
#include "KioskFileWriter.h"
#include "TestSupport.h"
#include "base/Files.h"
#include "base/Operator.h"
#include "base/Text.h"
#include "sounding/kiosk/KioskMessage.h"

using namespace tern;
using tern::test::FixturePath;
using tern::test::TempDir;
using tern::test::ReadBytes;
using tern::test::WriteBytes;
namespace kw = tern::test::kiosk;

namespace {

struct SampleFile {
  std::string path;   // relative to the sample's data folder
  std::string bytes;
};

constexpr int kSamplePoints = 600;
constexpr int kSampleLastWind = 560;
constexpr double kSampleSurfaceHeight = 187;  // the demo station's barometer height

std::string Fmt(const char* format, ...) {
  char buf[64];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

kw::CardPlan SampleCard() {
  kw::CardPlan card;
  card.size = 186;
  card.variant = 0;
  card.station = 27612;
  card.cloud = "70560";
  card.day = 8;
  card.month = 12;
  card.year = 2026;
  card.hour = 23.25f;
  return card;
}

// TEMP groups as a workstation writes them: the temperature's tenths digit is
// even above zero and odd below, the depression in tenths up to 5 degrees and
// plus 50 from 6 on, the wind direction in fives with the speed's hundreds
// added to it.
std::string TempGroup(const tUALevel& l) {
  long t = std::lround(l.Temp * 10);
  if ((std::labs(t) % 2 == 1) != (t < 0)) t += l.Temp * 10 > t ? 1 : -1;
  std::string g = Fmt("%03ld", std::labs(t) % 1000);
  if (!Present(l.DewPoint)) return g + "//";
  const double dep = l.Temp - l.DewPoint;
  const long dd = dep <= 5.0 ? std::lround(dep * 10) : std::min(99L, std::lround(dep) + 50);
  return g + Fmt("%02ld", dd);
}
std::string WindGroup(const tUALevel& l) {
  if (!Present(l.WindSpeed) || !Present(l.WindDir)) return "/////";
  long ddd = std::lround(l.WindDir / 5) * 5 % 360;
  if (ddd == 0) ddd = 360;
  const long ff = std::lround(l.WindSpeed);
  return Fmt("%05ld", ddd * 100 + ff + (ff >= 100 ? 400 : 0));
}
int StandardCode(int p) { return p == 1000 ? 0 : p >= 100 ? p / 10 % 100 : p; }
// Heights: metres up to 700 hPa, decametres above, the thousands dropped.
int StandardHeight(const tUALevel& l) {
  const double h = l.Pressure > 500 ? l.Height : l.Height / 10;
  return static_cast<int>(std::lround(h)) % 1000;
}

// Lines of at most 65 characters, broken between groups, CR LF after each.
std::string TelegramLines(const std::vector<std::string>& groups) {
  std::string out, line;
  for (const std::string& g : groups) {
    if (!line.empty() && line.size() + 1 + g.size() > 65) {
      out += line + "\r\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + g;
  }
  return out + line + "\r\n";
}

// The four TEMP parts made from the profile exactly as the desk reads it, so
// that the telegrams and the BUFR messages of the sample tell the same story.
std::vector<SampleFile> SampleTelegrams(const std::string& card, const std::string& edt) {
  TempDir dir;
  WriteBytes(dir / "RAW/2612/26120900.stg", card);
  WriteBytes(dir / "RESULT/2612/26120900.EDT", edt);
  auto a = std::make_unique<TuaKioskMessage>();
  a->KioskBase = dir.path();
  a->TlgFolder = dir.path();
  a->StationInd = 27612;
  uint8_t rs = 0;
  if (!a->OpenAscent(dir / "RAW/2612/26120900.stg", rs)) throw std::runtime_error("sample card");
  a->SetBufrI(false);
  if (!a->LoadData()) throw std::runtime_error("sample profile");

  std::vector<const tUALevel*> low, high;  // standard levels up to 100 hPa and above it
  for (int i = 0; i < a->LevelCount; ++i)
    if (a->Levels[i].SigFlags & kSigStandard) (a->Levels[i].Pressure >= 100 ? low : high).push_back(&a->Levels[i]);
  const tUALevel& sfc = a->Levels[0];
  auto lastWind = [](const std::vector<const tUALevel*>& levels) {
    int id = 0;
    for (const tUALevel* l : levels)
      if (Present(l->WindSpeed)) id = static_cast<int>(l->Pressure) / (l->Pressure >= 100 ? 100 : 10) % 10;
    return id;
  };
  std::vector<std::string> aa{"TTAA", Fmt("0900%d", lastWind(low)), "27612",
                              Fmt("99%03d", static_cast<int>(std::lround(sfc.Pressure)) % 1000), TempGroup(sfc),
                              WindGroup(sfc)};
  for (const tUALevel* l : low) {
    aa.push_back(Fmt("%02d%03d", StandardCode(static_cast<int>(l->Pressure)), StandardHeight(*l)));
    aa.push_back(TempGroup(*l));
    aa.push_back(WindGroup(*l));
  }
  // The profile marks neither a tropopause nor a maximum wind.
  aa.insert(aa.end(), {"88999", "77999="});
  std::vector<std::string> cc{"TTCC", Fmt("0900%d", lastWind(high)), "27612"};
  bool windShown = true;
  for (const tUALevel* l : high) {
    cc.push_back(Fmt("%02d%03d", StandardCode(static_cast<int>(l->Pressure)), StandardHeight(*l)));
    cc.push_back(TempGroup(*l));
    windShown = windShown && Present(l->WindSpeed);
    if (windShown) cc.push_back(WindGroup(*l));
  }
  cc.insert(cc.end(), {"88999", "77999="});

  // Significant levels: the surface and every fiftieth record of the file.
  std::vector<std::string> bb{"TTBB", "0900/", "27612"}, dd{"TTDD", "0900/", "27612"};
  std::vector<std::string> bbWind{"21212"}, ddWind{"21212"};
  int nb = 0, nd = 0;
  for (int i = 0; i < a->LevelCount; ++i) {
    const tUALevel& l = a->Levels[i];
    if (i != 0 && (l.SigFlags & kSigStandard || i % 50 != 0)) continue;
    const bool above = l.Pressure < 100;
    const int n = above ? nd++ : nb++;
    const std::string level = Fmt("%d%d%03ld", n % 10, n % 10,
                                  (above ? std::lround(l.Pressure * 10) : std::lround(l.Pressure)) % 1000);
    (above ? dd : bb).insert((above ? dd : bb).end(), {level, TempGroup(l)});
    if (Present(l.WindSpeed)) (above ? ddWind : bbWind).insert((above ? ddWind : bbWind).end(), {level, WindGroup(l)});
  }
  bb.insert(bb.end(), bbWind.begin(), bbWind.end());
  bb.insert(bb.end(), {"31313", Fmt("5%02d03", rs % 100), "82315", "41414", "70560="});
  if (ddWind.size() > 1) dd.insert(dd.end(), ddWind.begin(), ddWind.end());
  dd.back() += "=";
  return {{"ttaa", TelegramLines(aa)}, {"ttbb", TelegramLines(bb)}, {"ttcc", TelegramLines(cc)},
          {"ttdd", TelegramLines(dd)}};
}

std::vector<SampleFile> SampleAscentFiles() {
  const auto text = [](std::string_view utf8) { return cp(utf8); };
  const std::string card = kw::MakeCard(SampleCard());
  const std::string edt = kw::MakeEdt(kw::SampleProfile(kSamplePoints, kSampleSurfaceHeight), kSampleLastWind, 0);
  std::vector<SampleFile> files{{"RAW/2612/26120900.stg", card}, {"RESULT/2612/26120900.EDT", edt}};
  for (SampleFile& f : SampleTelegrams(card, edt)) files.push_back(std::move(f));
  files.push_back({"sloy", text("СЛОЙ 27612 09000 00150 -0050 084 24003 01000 -0086 080 24204=\r\n")});
  // The workstation's surface-layer file: three lines of title, then the data;
  // the message's own section line and its "=" come from the station's settings.
  files.push_back({"priz", text("ПРИЗЕМНЫЙ СЛОЙ\r\n"
                                "27612 09.12.2026 00 ВСВ\r\n"
                                "------------------------------\r\n"
                                "27612 09000 00150 -050 084 24003\r\n"
                                "00300 -068 082 24103 00600 -085 080 24204\r\n")});
  return files;
}

std::string SampleFolder() { return FixturePath("../../demo/ascents/kiosk/"); }

}  // namespace

TEST(KioskSampleAscent, TheDemoFilesAreWhatTheGeneratorMakes) {
  const bool write = std::getenv("TERN_WRITE_DEMO") != nullptr;
  for (const SampleFile& f : SampleAscentFiles()) {
    if (write) WriteBytes(SampleFolder() + f.path, f.bytes);
    EXPECT_EQ(ReadBytes(SampleFolder() + f.path), f.bytes) << f.path << " is stale: rerun with TERN_WRITE_DEMO=1";
  }
}

TEST(KioskSampleAscent, ReadsBackAsTheDeskWillRead) {
  auto a = std::make_unique<TuaKioskMessage>();
  a->KioskBase = SampleFolder();
  a->TlgFolder = SampleFolder();
  a->StationInd = 27612;
  a->StationLat = 55.93;
  a->StationLon = 37.52;
  uint8_t rs = 0;
  ASSERT_TRUE(a->OpenAscent(SampleFolder() + "RAW/2612/" + a->GetAscentFileName(EncodeDateTime(2026, 12, 9, 0, 0, 0)),
                            rs));
  EXPECT_EQ(rs, 75);
  ASSERT_TRUE(a->LoadData());
  EXPECT_EQ(DateTimeToStr(a->LaunchTime), "08.12.2026 23:15:00");
  EXPECT_FALSE(a->CloudGroupInvalid);
  EXPECT_EQ(a->Levels[a->LevelCount - 1].Pressure, 100);

  a->SetBufrI(false);
  ASSERT_TRUE(a->LoadData());
  // Each standard level once, whether a record of the file or an added one.
  std::vector<float> standard;
  int withWind = 0;
  for (int i = 0; i < a->LevelCount; ++i) {
    if (a->Levels[i].SigFlags & kSigStandard) standard.push_back(a->Levels[i].Pressure);
    withWind += Present(a->Levels[i].WindSpeed);
  }
  EXPECT_EQ(standard, (std::vector<float>{1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70, 50, 30, 20, 10}));
  EXPECT_EQ(a->LevelCount, kSamplePoints + 13) << "three standard levels are records of the file";
  EXPECT_GT(withWind, kSampleLastWind);
  EXPECT_LT(withWind, a->LevelCount);

  for (int part = 1; part <= 4; ++part) {
    std::string path;
    EXPECT_TRUE(a->GetTelegramFile(part, path)) << part;
  }
  EXPECT_FLOAT_EQ(a->Levels[0].Height, kSampleSurfaceHeight);  // launched from the station's barometer height

  // The TEMP parts tell what the profile tells: every standard level's
  // temperature and depression as the desk reads them, no tropopause.
  for (const char* part : {"ttaa", "ttcc"}) {
    std::vector<std::string> groups;
    std::string text = ReadBytes(SampleFolder() + part);
    for (char& c : text)
      if (c == '\r' || c == '\n' || c == '=') c = ' ';
    for (size_t at = 0; at < text.size();) {
      const size_t end = std::min(text.find(' ', at), text.size());
      if (end > at) groups.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    EXPECT_NE(std::find(groups.begin(), groups.end(), "88999"), groups.end()) << part;
    int checked = 0;
    for (int i = 0; i < a->LevelCount; ++i) {
      const tUALevel& l = a->Levels[i];
      if (!(l.SigFlags & kSigStandard) || (l.Pressure >= 100) != (part[2] == 'a')) continue;
      const int p = static_cast<int>(l.Pressure);
      const std::string code = Fmt("%02d", p == 1000 ? 0 : p >= 100 ? p / 10 % 100 : p);
      // Level, temperature and wind groups in threes after the heading groups.
      size_t at = 3;
      while (at + 1 < groups.size() && groups[at].compare(0, 2, code) != 0) at += 3;
      ASSERT_LT(at + 1, groups.size()) << part << " " << p;
      const std::string t = groups[at + 1];
      const int ttt = std::stoi(t.substr(0, 3));
      const double temp = (ttt % 2 ? -1 : 1) * ttt / 10.0;
      EXPECT_NEAR(temp, l.Temp, 0.15) << part << " " << p;
      if (Present(l.DewPoint)) {
        const int dd = std::stoi(t.substr(3, 2));
        EXPECT_NEAR(dd <= 50 ? dd / 10.0 : dd - 50, l.Temp - l.DewPoint, dd <= 50 ? 0.051 : 0.5) << part << " " << p;
      } else {
        EXPECT_EQ(t.substr(3), "//") << part << " " << p;
      }
      ++checked;
    }
    EXPECT_GE(checked, 5) << part;
  }
  std::string path;
  EXPECT_TRUE(a->GetLayerFile(path));
  EXPECT_TRUE(a->GetGroundFile(path));
}

TEST(KioskSampleAscent, EncodesToBufrThatADecoderReadsBack) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = std::make_unique<TuaKioskMessage>();
  a->SetOperator(&op);
  ASSERT_TRUE(a->LoadStation(FixturePath("../../demo/settings"), 8));
  a->KioskBase = SampleFolder();
  a->TlgFolder = SampleFolder();
  uint8_t rs = 0;
  ASSERT_TRUE(a->OpenAscent(SampleFolder() + "RAW/2612/26120900.stg", rs));
  for (bool bufrI : {true, false}) {
    a->SetBufrI(bufrI);
    ASSERT_TRUE(a->LoadData());
    a->BufrFileName = dir / (bufrI ? "I.bin" : "II.bin");
    ASSERT_TRUE(a->EncodeBufr()) << (op.messages.empty() ? "" : op.messages.back());
    const auto d = tern::test::DecodeWithEccodes(
        a->BufrFileName, {"blockNumber", "stationNumber", "pressure", "airTemperature", "dewpointTemperature",
                          "windSpeed", "extendedVerticalSoundingSignificance", "latitudeDisplacement"});
    ASSERT_TRUE(d.Ok()) << d.output;
    EXPECT_EQ(d.Number("blockNumber"), 27);
    EXPECT_EQ(d.Number("stationNumber"), 612);
    const auto p = d.Numbers("pressure"), t = d.Numbers("airTemperature"), td = d.Numbers("dewpointTemperature");
    const auto ws = d.Numbers("windSpeed"), sig = d.Numbers("extendedVerticalSoundingSignificance");
    const auto lat = d.Numbers("latitudeDisplacement");
    ASSERT_EQ(p.size(), a->LevelCount) << bufrI;
    ASSERT_EQ(t.size(), p.size());
    ASSERT_EQ(td.size(), p.size());
    ASSERT_EQ(ws.size(), p.size());
    ASSERT_EQ(sig.size(), p.size());
    ASSERT_EQ(lat.size(), p.size());
    int standard = 0;
    for (size_t i = 0; i < p.size(); ++i) {
      const tUALevel& l = a->Levels[i];
      EXPECT_NEAR(p[i], l.Pressure * 100.0, 5.0) << i;
      const double missing = tern::test::kEcMissingDouble;
      EXPECT_NEAR(t[i], Present(l.Temp) ? l.Temp + 273.15 : missing, 0.051) << i;
      EXPECT_NEAR(td[i], Present(l.DewPoint) ? l.DewPoint + 273.15 : missing, 0.051) << i;
      EXPECT_EQ(ws[i] != missing, Present(l.WindSpeed)) << i;
      EXPECT_NEAR(lat[i], Present(l.LatDisp) ? l.LatDisp : missing, 0.000051) << i;
      standard += (static_cast<long long>(sig[i]) & 0x10000) != 0;  // flag 2 of 18: standard level
    }
    EXPECT_EQ(p.back(), bufrI ? 10000 : 800);
    EXPECT_EQ(standard, bufrI ? 11 : 16);
  }
}
