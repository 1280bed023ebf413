// The demo station's sample ascent of the workstation family is made by the
// generator below and kept under demo/ascents/kiosk. After a change of the
// generator, run this suite once with TERN_WRITE_DEMO=1 to rewrite the files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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

std::vector<SampleFile> SampleAscentFiles() {
  kw::CardPlan card;
  card.size = 186;
  card.variant = 0;
  card.station = 27612;
  card.cloud = "70560";
  card.day = 8;
  card.month = 12;
  card.year = 2026;
  card.hour = 23.25f;
  const auto text = [](std::string_view utf8) { return cp(utf8); };
  return {
      {"RAW/2612/26120900.stg", kw::MakeCard(card)},
      {"RESULT/2612/26120900.EDT", kw::MakeEdt(kw::SampleProfile(kSamplePoints), kSampleLastWind, 0)},
      {"ttaa",
       text("TTAA 09001 27612 99002 05123 24003 00164 05323 24003 92710 08728 24004\r\n"
            "85302 12733 24304 70661 21345 24705 50502 36764 25307 40658 46977\r\n"
            "25608 30859 600// 26110 25987 682// 26511 20143 751// 26913 15344\r\n"
            "731// 27414 10628 702// 28117 88200 751// 26913 77999=\r\n")},
      {"ttbb",
       text("TTBB 09000 27612 00002 05123 11925 08728 22850 12733 33700 21345\r\n"
            "44500 36764 55300 600// 66200 751// 77100 702// 21212 00002 24003\r\n"
            "11850 24304 22500 25307 33300 26110 44100 28117 31313 57503 82315\r\n"
            "41414 70560=\r\n")},
      {"ttcc",
       text("TTCC 09001 27612 70879 677// 28719 50134 654// 29321 30471 618//\r\n"
            "30224 20755 590// 30926 10240 541// 32130 88999 77999=\r\n")},
      {"ttdd",
       text("TTDD 0900/ 27612 11700 677// 22500 654// 33300 618// 44100 541//\r\n"
            "21212 11700 28719 22300 30224 33100 32130=\r\n")},
      {"sloy", text("СЛОЙ 27612 09000 00150 -0050 084 24003 01000 -0086 080 24204=\r\n")},
      {"priz",
       text("ПРИЗЕМНЫЙ СЛОЙ\r\n"
            "27612 09.12.2026 00 ВСВ\r\n"
            "------------------------------\r\n"
            "ПРИЗ 27612 09000 00150 -050 084 24003\r\n"
            "00300 -068 082 24103 00600 -085 080 24204=\r\n")},
  };
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
