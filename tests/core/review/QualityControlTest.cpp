#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "../sounding/corvo/CorvoTestSupport.h"
#include "TestSupport.h"
#include "review/QualityControl.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/CorvoMessage.h"

namespace tern::test {
namespace {

// A clean profile every 50 m from 150 m to 25 km: a standard atmosphere with a
// tropopause at 11 km, dew point 4 °C below the temperature, a wind that grows
// and turns slowly, 5 m/s of climb; pressure integrated hydrostatically.
std::vector<tUALevel> CleanProfile() {
  std::vector<tUALevel> out;
  double p = 1000.0;
  double prevT = 0, prevZ = 0;
  for (double z = 150; z <= 25000; z += 50) {
    tUALevel l{};
    const double t = z < 11000 ? 15.0 - 6.5 * (z / 1000.0) : 15.0 - 6.5 * 11.0;
    if (!out.empty()) p *= std::exp(-9.80665 * (z - prevZ) / (287.05 * (0.5 * (t + prevT) + 273.15)));
    l.Time = static_cast<float>((z - 150) / 5.0);
    l.Height = static_cast<float>(z);
    l.Pressure = static_cast<float>(p);
    l.Temp = static_cast<float>(t);
    l.DewPoint = static_cast<float>(t - 4.0 - z / 2000.0);
    l.Humidity = 50;
    l.WindSpeed = static_cast<float>(3.0 + z / 1000.0);
    l.WindDir = static_cast<float>(std::fmod(200.0 + z / 200.0, 360.0));
    l.LatDisp = l.LonDisp = 0;
    if (out.empty()) l.SigFlags = kSigSurface;
    out.push_back(l);
    prevT = t;
    prevZ = z;
  }
  return out;
}

int LevelNear(const std::vector<tUALevel>& p, double height) {
  for (size_t i = 0; i < p.size(); ++i)
    if (p[i].Height >= height) return static_cast<int>(i);
  return -1;
}

std::vector<QcFinding> Suspects(const std::vector<tUALevel>& p, const std::vector<uint8_t>* masks = nullptr) {
  return FindSuspects(p.data(), static_cast<int>(p.size()), masks ? masks->data() : nullptr);
}

std::string Describe(const std::vector<QcFinding>& found) {
  std::string s;
  for (const auto& f : found) s += std::to_string(f.level) + ": " + Cp1251ToUtf8(QcReason(f)) + "\n";
  return s;
}

TEST(QualityControl, CleanProfileRaisesNothing) {
  const auto p = CleanProfile();
  EXPECT_EQ(Describe(Suspects(p)), "");
}

// Each case plants one fault into the clean profile; the check named must fire
// on a run that covers the planted level or ends within a few levels of it
// (layer checks report at the layer's top).
struct PlantedFault {
  const char* name;
  double height;
  std::function<void(std::vector<tUALevel>&, int)> plant;
  QcCheck check;
};

TEST(QualityControl, EachCheckFiresOnItsPlantedFault) {
  const std::vector<PlantedFault> cases = {
      {"dew point above temperature", 3000, [](auto& p, int i) { p[i].DewPoint = p[i].Temp + 1.5f; }, QcCheck::DewAboveTemp},
      {"pressure rises", 6000, [](auto& p, int i) { p[i].Pressure = p[i - 1].Pressure + 0.8f; }, QcCheck::PressureOrder},
      {"height falls", 8000, [](auto& p, int i) { p[i].Height = p[i - 1].Height - 20; }, QcCheck::HeightOrder},
      {"superadiabatic layer",
       5000,
       [](auto& p, int i) {
         for (int k = 0; k < 48; ++k) {
           const float drop = static_cast<float>(k < 8 ? k * 1.2 : 8 * 1.2);
           p[i + k].Temp -= drop;
           p[i + k].DewPoint -= drop;
         }
       }, QcCheck::Superadiabatic},
      {"height off the hypsometric thickness", 12000, [](auto& p, int i) { p[i].Height += 120; }, QcCheck::Hydrostatic},
      {"temperature spike", 4000, [](auto& p, int i) { p[i].Temp += 5; }, QcCheck::TempSpike},
      {"dew point spike", 2000, [](auto& p, int i) { p[i].DewPoint -= 15; }, QcCheck::DewSpike},
      {"wind speed spike", 9000, [](auto& p, int i) { p[i].WindSpeed += 18; }, QcCheck::SpeedSpike},
      {"wind speed beyond any jet", 10000,
       [](auto& p, int i) {
         for (int k = 0; k < 20; ++k) p[i + k].WindSpeed = 160;
       }, QcCheck::SpeedLimit},
      {"wind speed jump", 14000,
       [](auto& p, int i) {
         for (size_t k = static_cast<size_t>(i); k < p.size(); ++k) p[k].WindSpeed += 30;
       }, QcCheck::WindJump},
      {"wind turns back", 15000,
       [](auto& p, int i) {
         for (size_t k = static_cast<size_t>(i); k < p.size(); ++k) {
           p[k].WindSpeed = 20;
           p[k].WindDir = static_cast<float>(std::fmod(p[k].WindDir + 180, 360));
         }
         for (int k = i - 5; k < i; ++k) p[k].WindSpeed = 20;
       }, QcCheck::WindTurn},
      {"balloon hardly climbs", 16000,
       [](auto& p, int i) {
         for (size_t k = static_cast<size_t>(i); k < p.size(); ++k) p[k].Time += static_cast<float>((k - i) * 90.0);
       }, QcCheck::AscentRate},
      {"temperature below any climate", 20000, [](auto& p, int i) { p[i].Temp = p[i - 1].Temp = p[i + 1].Temp = -99; }, QcCheck::TempClimate},
      {"dew point above any climate", 600,
       [](auto& p, int i) { p[i].DewPoint = 38, p[i].Temp = 45; }, QcCheck::DewClimate},
      {"standard level far too low", 5500,
       [](auto& p, int i) {
         p[i].SigFlags |= kSigStandard;
         p[i].Pressure = 500;
         p[i].Height = 4000;
       }, QcCheck::StandardHeight},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto p = CleanProfile();
    const int i = LevelNear(p, c.height);
    ASSERT_GT(i, 5);
    c.plant(p, i);
    const auto found = Suspects(p);
    bool fired = false;
    for (const auto& f : found)
      if (f.check == c.check && i >= f.level - 10 && i <= f.lastLevel + 10) fired = true;
    EXPECT_TRUE(fired) << Describe(found);
    // The planted fault does not drown the operator in findings.
    EXPECT_LE(found.size(), 4u) << Describe(found);
  }
}

TEST(QualityControl, RejectedValuesAreNotSuspects) {
  auto p = CleanProfile();
  const int i = LevelNear(p, 4000);
  p[i].Temp += 5;
  p[i].DewPoint = p[i].Temp + 2;
  std::vector<uint8_t> masks(p.size(), 0);
  masks[i] = kRejTemp | kRejHum;
  EXPECT_EQ(Describe(Suspects(p, &masks)), "");
  masks[i] = kRejLevel;
  EXPECT_EQ(Describe(Suspects(p, &masks)), "");
}

TEST(QualityControl, MissingValuesAreNeverSuspects) {
  auto p = CleanProfile();
  for (size_t k = 100; k < 140; ++k) p[k].Temp = p[k].DewPoint = p[k].WindSpeed = p[k].WindDir = kMissing;
  for (size_t k = 300; k < 310; ++k) p[k].Height = kMissing;
  EXPECT_EQ(Describe(Suspects(p)), "");
}

TEST(QualityControl, ReasonNamesTheCheckAndItsValuesWithThePoint) {
  const QcFinding f{7, 7, QcCheck::DewAboveTemp, kRejHum, 3.44, 2.1};
  EXPECT_EQ(Cp1251ToUtf8(QcReason(f)), "Точка росы выше температуры: Td 3.4 °C, T 2.1 °C");
  EXPECT_EQ(Cp1251ToUtf8(QcCheckName(QcCheck::AscentRate)), "Скорость подъёма вне пределов");
}

// Full generated ascents of the Corvo family read back through the readers:
// a plausible flight, so the checks stay quiet.
TEST(QualityControl, GeneratedAscentsAreQuiet) {
  for (uint8_t code : {1, 5}) {
    SCOPED_TRACE("code " + std::to_string(code));
    TempDir dir;
    AscentPlan plan;
    plan.code = code;
    plan.levels = 2990;
    plan.launch = EncodeDateTime(2026, 12, 9, 11, 17, 0);
    const GeneratedAscent g = GenerateCorvoAscent(dir.path(), plan);
    ScriptedOperator op;
    TUACorvoMessage a;
    SetPlanStation(a, plan, op);
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(g.infoFile, rs));
    for (bool bufrI : {true, false}) {
      a.SetBufrI(bufrI);
      ASSERT_TRUE(a.LoadData());
      const auto found = FindSuspects(a.Levels.data(), a.LevelCount);
      EXPECT_EQ(Describe(found), "") << (bufrI ? "BUFR I" : "BUFR II");
    }
  }
}

}  // namespace
}  // namespace tern::test
