// The demo station's ASPD.CNF must build every text bulletin the desk offers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Text.h"
#include "bulletins/TextBulletin.h"
#include "config/MessageSettings.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::FixturePath;

namespace {

std::string DemoSettingsFile() { return FixturePath("../../demo/settings/ASPD.CNF"); }

struct DemoAscent : FakeAscent {
  DemoAscent() {
    SystemCode = 5;
    Single = true;
    StationIndText = "27612";
    ObsTime = LayerTime = EncodeDateTime(2024, 3, 5, 12, 0, 0);
    for (auto& f : TelegramFiles) f = FixturePath("bulletins/kn04-crcrlf.txt");
    LayerFile = FixturePath("bulletins/ascent.LAYERS");
    GroundFile = FixturePath("bulletins/ascent.GROUND");
    SystemCodes.Count = 1;
    SystemCodes.Rs.resize(1);
    SystemCodes.Rs[0].Code = 90;
    Meta.TernNo = 1;
  }
};

}  // namespace

TEST(DemoBulletins, EveryBulletinBuildsFromTheDemoSettings) {
  // The save folders are relative to the repository root, where the demo
  // runs; only the bulletin sections matter here.
  const TMyIniFile ini(DemoSettingsFile());
  TMessageSettings s;
  ReadTempSettings(ini, s.Temp);
  ReadLayerSettings(ini, s.Layer);
  ReadPrizSettings(ini, s.Priz);
  ScriptedOperator op;

  DemoAscent a;
  const tTempOptions options{true, false, 0};
  const std::string tail = "=\r\n\r\n\r\nNNNN";
  EXPECT_EQ(BuildTextBulletin(1, a, "", s, options, op),
            "USMS01 RUMS 051200\r\n"
            "TTAA 55121 27612 99005 10658 27015 00134 09857 27516 92812\r\n"
            "05656 28023 85534 00258 29529 70173 11163 28544 50589 27562\r\n"
            "28564 40758 40164 29076 30962 51562 29097 25085 50963 29107\r\n"
            "20230 52363 28598 15412 55763 28090 10658 59163 27567 88231\r\n"
            "54562 29103 77999" + tail);
  EXPECT_EQ(BuildTextBulletin(2, a, "CCA", s, options, op),
            "UKMS01 RUMS 051200 CCA\r\n"
            "TTBB 5512/ 27612 00005 10658 11990 09253 22962 08456 33904\r\n"
            "04258 44850 00460 55779 04157 66700 11163 21212 00005 27015\r\n"
            "11982 27516 22874 28523 33700 28544 31313 59003 81103 41414\r\n"
            "45630" + tail);
  EXPECT_EQ(BuildTextBulletin(3, a, "", s, options, op),
            "ULMS01 RUMS 051200\r\n"
            "TTCC 55125 27612 70855 60157 29110 50058 59957 28594 30380\r\n"
            "55556 28100 20623 52756 27086 10152 49556 27565 88999 77999" + tail);
  EXPECT_EQ(BuildTextBulletin(4, a, "", s, options, op),
            "UEMS01 RUMS 051200\r\n"
            "TTDD 5512/ 27612 11975 61156 22903 59157 33815 59557 21212\r\n"
            "11975 27586 22850 28098 33817 28101" + tail);
  EXPECT_EQ(BuildTextBulletin(5, a, "", s, options, op),
            "UXRS41 RUMS 051200\r\n" + cp("СЛОЙ ") +
                "27612 05121 01027 02032 04035 08040 12042 16045 20048 24052=\r\nNNNN");
  EXPECT_EQ(BuildTextBulletin(6, a, "RRA", s, options, op),
            "UXRS42 RUMS 051200 RRA\r\n" + cp("ПРИЗ 0512\r\nСТАНЦИЯ 27612  05.03.2024  11:03\r\nПРИЗЕМНЫЙ СЛОЙ\r\n") +
                "  0 998.2  3 270  -2.5  85 2.1\r\n"
                "  5 992.1  4 275  -2.9  84 2.3\r\n"
                " 10 986.0  5 280  -3.2  82 2.6\r\n"
                " 20 974.1  6 285  -3.8  80 2.9\r\n"
                " 30 962.3  7 290  -4.4  79 3.1=\r\nNNNN");
  EXPECT_TRUE(op.messages.empty());
  EXPECT_THROW(BuildTextBulletin(7, a, "", s, options, op), std::invalid_argument);
}

TEST(DemoBulletins, MailSubjectsUseTheIndicatorTextsOfTheirKind) {
  TMessageSettings s;
  s.Temp.BBBHead = "t";
  s.Layer.BBBHead = "l";
  s.Priz.BBBHead = "p";
  s.Priz.BBBTail = ".";
  for (int tag = 1; tag <= 6; ++tag) s.MailText.Subject[tag - 1] = std::to_string(tag) + ":{yyyymmdd-hh}<BBB>";
  const TDateTime obs = EncodeDateTime(2024, 3, 5, 0, 0, 0);
  const std::pair<int, std::string> cases[] = {
      {1, "1:20240305-00tCCA "}, {4, "4:20240305-00tCCA "}, {5, "5:20240305-00lCCA "}, {6, "6:20240305-00pCCA."}};
  for (const auto& [tag, want] : cases) EXPECT_EQ(TextMailSubject(tag, s, obs, "CCA"), want) << tag;
  EXPECT_EQ(TextMailSubject(2, s, obs, ""), "2:20240305-00");
  EXPECT_EQ(TextMailSubject(7, s, obs, "CCA"), "");
}
