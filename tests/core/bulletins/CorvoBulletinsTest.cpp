// Every text bulletin of a complete Corvo ascent, opened by the real reader and
// built with the demo station's settings.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "base/Text.h"
#include "bulletins/TextBulletin.h"
#include "config/MessageSettings.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/CorvoMessage.h"

using namespace tern;
using tern::test::FixturePath;
using tern::test::TempDir;

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

TEST(CorvoBulletins, EveryBulletinOfEverySystemBuilds) {
  const TMyIniFile ini(FixturePath("../../demo/settings/ASPD.CNF"));
  TMessageSettings s;
  ReadTempSettings(ini, s.Temp);
  ReadLayerSettings(ini, s.Layer);
  ReadPrizSettings(ini, s.Priz);

  for (uint8_t code = 0; code < 8; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    TempDir dir;
    AscentPlan plan;
    plan.code = code;
    plan.launch = EncodeDateTime(2026, 12, 9, 11, 17, 0);
    const GeneratedAscent g = GenerateCorvoAscent(dir.path(), plan);
    ScriptedOperator op;
    TUACorvoMessage a;
    a.SetOperator(&op);
    a.SystemCode = code;
    a.StationInd = plan.station;
    a.StationIndText = std::to_string(plan.station);
    a.Single = false;
    a.SystemCodes.Count = 1;
    a.SystemCodes.Rs.resize(1);
    a.SystemCodes.Rs[0].Code = 27;
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(g.infoFile, rs));

    const tTempOptions options{true, true, 0};
    const char* heads[] = {"USMS01 RUMS 091100\r\nTTAA 09111 27612 99", "UKMS01 RUMS 091100\r\nTTBB 0911/ 27612 00",
                           "ULMS01 RUMS 091100\r\nTTCC 09117 27612 70", "UEMS01 RUMS 091100\r\nTTDD 0911/ 27612 00"};
    for (int part = 1; part <= 4; ++part) {
      const std::string b = BuildTextBulletin(part, a, "", s, options, op);
      EXPECT_TRUE(StartsWith(b, heads[part - 1])) << b;
      EXPECT_TRUE(EndsWith(b, "=\r\n\r\n\r\nNNNN")) << b;
      EXPECT_EQ(b.find("=", 0), b.size() - 11) << b;
      if (part == 2) {
        EXPECT_NE(b.find(" 31313 52703 8"), std::string::npos) << b;  // the generator's 90 replaced by 27
        EXPECT_NE(b.find(" 61616"), std::string::npos) << b;
      }
    }
    const std::string layer = BuildTextBulletin(5, a, "RRA", s, options, op);
    EXPECT_TRUE(StartsWith(layer, "UXRS41 RUMS 091100 RRA\r\n" + cp("СЛОЙ ") + "27612 09111 1")) << layer;
    EXPECT_TRUE(EndsWith(layer, " 20218 30415 40612 50809 61007=\r\nNNNN")) << layer;

    const std::string priz = BuildTextBulletin(6, a, "", s, options, op);
    EXPECT_TRUE(StartsWith(priz, "UXRS42 RUMS 091100\r\n" + cp("ПРИЗ 0911\r\n"))) << priz;
    EXPECT_NE(priz.find(cp("ПРИЗЕМНЫЙ СЛОЙ")), std::string::npos);
    EXPECT_EQ(std::count(priz.begin(), priz.end(), '\n'), static_cast<long>(g.surface.size()) + 5) << priz;
    EXPECT_TRUE(op.messages.empty());
  }
}

TEST(CorvoBulletins, TheDemoStationsAscentsGiveEveryBulletin) {
  const TMyIniFile ini(FixturePath("../../demo/settings/ASPD.CNF"));
  TMessageSettings s;
  ReadTempSettings(ini, s.Temp);
  ReadLayerSettings(ini, s.Layer);
  ReadPrizSettings(ini, s.Priz);
  for (const char* name : {"20261208-2316.info", "20261209-1117.info"}) {
    SCOPED_TRACE(name);
    ScriptedOperator op;
    TUACorvoMessage a;
    a.SetOperator(&op);
    a.SystemCode = 5;  // as the demo STATION.CNF says
    a.StationIndText = "27612";
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(FixturePath("../../demo/ascents/corvo/") + name, rs));
    for (int tag = 1; tag <= 6; ++tag) {
      const std::string b = BuildTextBulletin(tag, a, "", s, tTempOptions{false, false, 0}, op);
      EXPECT_TRUE(EndsWith(b, tag <= 4 ? "=\r\n\r\n\r\nNNNN" : "=\r\nNNNN")) << tag << "\n" << b;
      EXPECT_NE(b.find(FormatDateTime("ddhh", a.ObsTime) + "00\r\n"), std::string::npos) << b;
    }
    EXPECT_TRUE(op.messages.empty());
  }
}
