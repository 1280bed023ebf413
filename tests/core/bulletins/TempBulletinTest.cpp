#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "bulletins/TempBulletin.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::FixturePath;
using tern::test::TempDir;
using tern::test::WriteBytes;

namespace {

const TDateTime kObs = EncodeDateTime(2024, 3, 5, 12, 0, 0);

// A station flying three radiosonde types: code 27 (manufacturer 3, model 2),
// code 90 and code 69.
void FitRadiosondes(FakeAscent& a) {
  a.ObsTime = kObs;
  a.Meta.TernNo = 1;
  a.SystemCodes.Count = 3;
  a.SystemCodes.Rs.resize(3);
  a.SystemCodes.Rs[2].Code = 69;
  a.SystemCodes.Rs[0].Code = 27;
  a.SystemCodes.Rs[0].Manuf = 3;
  a.SystemCodes.Rs[0].Model = 2;
  a.SystemCodes.Rs[1].Code = 90;
  a.SystemCodes.Rs[1].Manuf = 14;
  a.SystemCodes.Rs[1].Model = 7;
}

struct TempCase {
  const char* name;
  int part;
  std::string file;  // telegram file bytes
  std::function<void(tTempSettings&)> settings;
  std::string bbb;
  std::string want;                // expected bulletin bytes, when it builds
  std::optional<std::string> fails;  // expected failure text (UTF-8), otherwise
};

std::string BuildCase(const TempCase& c, const tTempOptions& options, ScriptedOperator& op, bool single = true) {
  TempDir dir;
  FakeAscent a;
  FitRadiosondes(a);
  a.Single = single;
  a.TelegramFiles[c.part - 1] = dir / "ascent.KN04";
  WriteBytes(a.TelegramFiles[c.part - 1], c.file);
  tTempSettings s;
  if (c.settings) c.settings(s);
  return BuildTemp(c.part, a, c.bbb, s, options, op);
}

const auto kDefaults = [](tTempSettings&) {};
const auto kRumsHeading = [](tTempSettings& s) { s.Head[0] = "TTAA01 RUMS {ddhh}00<BBB>\r\n"; };

}  // namespace

TEST(TempBulletin, PartsBuildAsConfigured) {
  const TempCase cases[] = {
      {"all keys absent", 1, "TTAA 55121 27612 99005 10658 27015 =\r\n", kDefaults, "",
       "TTAA 55121 27612 99005 10658 27015=\r\nNNNN", std::nullopt},
      {"heading with indicator", 1, "TTAA 55121 27612=", kRumsHeading, "CCA",
       "TTAA01 RUMS 051200 CCA \r\nTTAA 55121 27612=\r\nNNNN", std::nullopt},
      {"heading without indicator", 1, "TTAA 55121 27612=", kRumsHeading, "",
       "TTAA01 RUMS 051200\r\nTTAA 55121 27612=\r\nNNNN", std::nullopt},
      {"lines before the part are ignored, lines after the separator too", 3,
       "TTAA 1=\nTTCC 55125\n  70855 60157  \nTTCC 2 = 3\nTTDD 4=\n", kDefaults, "",
       "TTCC 55125\r\n  70855 60157  \r\nTTCC 2=\r\nNNNN", std::nullopt},
      {"separator on the first line", 4, "TTDD    5512/ 27612 == x\nmore=\n",
       [](tTempSettings& s) { s.OrgSep = "=="; s.Sep = "=="; }, "", "TTDD 5512/ 27612==\r\nNNNN", std::nullopt},
      {"configured line break, section head with a date field, own separator and tail", 1, "TTAA 1\nTTAA 2\n3=\n",
       [](tTempSettings& s) {
         s.CRLF = "\r\r\n";
         s.SecHead[0] = "{dd} TTAA ";
         s.Sep = "==";
         s.Tail = "\r\r\n\x03";
       },
       "", "05 TTAA 1\r\r\nTTAA 2\r\r\n3==\r\r\n\x03", std::nullopt},
      {"no separator configured: the part runs to the end of the file", 2, "TTBB 1=\n2\n \n",
       [](tTempSettings& s) { s.OrgSep = ""; s.Sep = "="; }, "", "TTBB 1=\r\n2=\r\nNNNN", std::nullopt},
      {"a separator inside the heading does not cut the bulletin", 1, "TTAA 55121=",
       [](tTempSettings& s) { s.Head[0] = "TT=AA\r\n"; }, "", "TT=AA\r\nTTAA 55121=\r\nNNNN", std::nullopt},
      {"own file head replaced by the bulletin's", 1, "XXAA 55121=\n",
       [](tTempSettings& s) { s.OrgSecHead[0] = "XXAA"; s.SecHead[0] = "TTAA "; }, "", "TTAA 55121=\r\nNNNN",
       std::nullopt},
      {"part head must start the line", 1, " TTAA 55121=\n", kDefaults, "", "", "Часть не найдена"},
      {"empty file", 1, "", kDefaults, "", "", "Часть не найдена"},
      {"no separator after the part", 1, "TTAA 55121\n27612\n", kDefaults, "", "", "Ошибка формата"},
  };
  for (const TempCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedOperator op;
    if (c.fails) {
      try {
        BuildCase(c, {}, op);
        ADD_FAILURE() << "built a bulletin";
      } catch (const TernError& e) {
        EXPECT_EQ(e.Text(), cp(*c.fails));
      }
    } else {
      EXPECT_EQ(BuildCase(c, {false, false, 0}, op), c.want);
      EXPECT_TRUE(op.messages.empty());
    }
  }
}

TEST(TempBulletin, LineEndingsOfTheFileDoNotMatter) {
  for (const char* eol : {"\r\r\n", "\n", "\r\n"}) {
    const std::string file = std::string("KN04") + eol + "TTAA 55121 27612" + eol + "99005 10658=" + eol;
    TempCase c{"", 1, file, kDefaults, "", "", std::nullopt};
    ScriptedOperator op;
    EXPECT_EQ(BuildCase(c, {}, op), "TTAA 55121 27612\r\n99005 10658=\r\nNNNN");
  }
}

TEST(TempBulletin, MissingTelegramFile) {
  FakeAscent a;
  ScriptedOperator op;
  for (const std::string& path : {std::string(), std::string("/nonexistent/ascent.KN04")}) {
    a.TelegramFiles[0] = path;
    try {
      BuildTemp(1, a, "", tTempSettings{}, {}, op);
      ADD_FAILURE() << "built without a file";
    } catch (const TernError& e) {
      EXPECT_EQ(e.Text(), cp("Файл KN4 не найден!"));
    }
  }
}

TEST(TempBulletin, Fix31313RepairsOnlyTheRadiosondeGroup) {
  struct Case {
    std::string in;
    int code;
    std::string out;  // empty: cannot repair
  };
  const Case cases[] = {
      {"TTBB 1 31313 5//03 81103", 27, "TTBB 1 31313 52703 81103"},
      {"TTBB 1 31313\r\n58803 81103", 7, "TTBB 1 31313\r\n50703 81103"},
      {"31313 58803 81103", 127, "31313 52703 81103"},  // the code's last two digits
      {"TTBB 1 31313 \r\r\n 58803\r\n\r\n81103=", 27, "TTBB 1 31313 \r\r\n 52703\r\n\r\n81103="},
      // a temperature group 31313 before the section, and the section alone
      {"44320 31313 55303 32560 31313 59003 81117", 69, "44320 31313 55303 32560 31313 56903 81117"},
      {"44320 31313 55303 32560", 69, ""},
      {"TTBB 31313 58803 41414", 27, ""},
      {"TTBB 31313 58803", 27, ""},
      {"TTBB 131313 58803 81103", 27, ""},
      {"TTBB 31313 58804 81103", 27, ""},
      {"TTBB 31313 48803", 27, ""},
      {"TTBB 31313 5880", 27, ""},
      {"TTBB 31313", 27, ""},
      {"TTBB 21212 00005", 27, ""},
  };
  for (const Case& c : cases) {
    ScriptedOperator op;
    const std::string got = Fix31313(c.in, c.code, op);
    if (c.out.empty()) {
      EXPECT_EQ(got, c.in);
      EXPECT_EQ(op.messages, std::vector<std::string>{cp("Не могу исправить 31313!?")}) << c.in;
    } else {
      EXPECT_EQ(got, c.out);
      EXPECT_TRUE(op.messages.empty()) << c.in;
    }
  }
}

TEST(TempBulletin, Add61616KeepsLinesShort) {
  const std::string g = "10302";
  const std::string line40(40, 'x'), line45(45, 'x'), line47(47, 'x'), line54(54, 'x'), line55(55, 'x');
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"TTBB 5512/ 27612", "TTBB 5512/ 27612 61616 10302"},
      {"TTBB 5512/ 27612 00005 61616", "TTBB 5512/ 27612 00005 61616 61616 10302"},  // a temperature
      {"TTBB 5512/ 27612 \r\n \r\n", "TTBB 5512/ 27612 61616 10302"},
      {"TTBB\r\n" + line45 + "  \r\n", "TTBB\r\n" + line45 + " 61616 10302"},
      {"TTBB\r\n" + line40, "TTBB\r\n" + line40 + " 61616 10302"},
      {"TTBB\r\n" + line45, "TTBB\r\n" + line45 + " 61616 10302"},
      {"TTBB\r\n  " + line47 + " ", "TTBB\r\n" + line47 + " 61616 10302"},
      {"TTBB\r\n" + line54, "TTBB\r\n" + line54 + " 61616\r\n10302"},
      {"TTBB\r\n" + line55, "TTBB\r\n" + line55 + "\r\n 61616\r\n10302"},
  };
  for (const Case& c : cases) {
    ScriptedOperator op;
    EXPECT_EQ(Add61616(c.in, g, op), c.out);
    EXPECT_TRUE(op.messages.empty());
  }
  ScriptedOperator op;
  EXPECT_EQ(Add61616("TTBB 5512/ 27612 61616 10302", g, op), "TTBB 5512/ 27612 61616 10302");
  EXPECT_EQ(op.messages,
            std::vector<std::string>{cp("Раздел 61616 уже имеется в телеграмме TTBB, отредактируйте ее вручную!")});
}

TEST(TempBulletin, TTBBRepairsAndNationalSectionFollowTheOptions) {
  const TempCase c{"", 2, "TTBB 5512/ 27612 31313 5//03 81103=\n", kDefaults, "", "", std::nullopt};
  struct Case {
    tTempOptions options;
    bool single;
    std::string want;
  };
  const Case cases[] = {
      {{false, false, 0}, true, "TTBB 5512/ 27612 31313 5//03 81103=\r\nNNNN"},
      {{true, false, 0}, true, "TTBB 5512/ 27612 31313 52703 81103=\r\nNNNN"},
      // one sounding system with an ordinary radiosonde: 61616 is not relevant
      {{true, true, 0}, true, "TTBB 5512/ 27612 31313 52703 81103=\r\nNNNN"},
      {{true, true, 0}, false, "TTBB 5512/ 27612 31313 52703 81103 61616 10302=\r\nNNNN"},
      {{false, true, 1}, true, "TTBB 5512/ 27612 31313 5//03 81103 61616 11407=\r\nNNNN"},
  };
  for (const Case& k : cases) {
    ScriptedOperator op;
    EXPECT_EQ(BuildCase(c, k.options, op, k.single), k.want);
    EXPECT_TRUE(op.messages.empty());
  }
  // Other parts are never touched.
  ScriptedOperator op;
  const TempCase a{"", 1, "TTAA 31313 5//03=", kDefaults, "", "", std::nullopt};
  EXPECT_EQ(BuildCase(a, {true, true, 0}, op, false), "TTAA 31313 5//03=\r\nNNNN");
}

TEST(TempBulletin, FailedRepairsLeaveTheBulletinOtherwiseIntact) {
  const TempCase c{"", 2, "TTBB 5512/ 27612 61616 10302\n21212 00005=\n", kDefaults, "", "", std::nullopt};
  ScriptedOperator op;
  EXPECT_EQ(BuildCase(c, {true, true, 0}, op, false), "TTBB 5512/ 27612 61616 10302\r\n21212 00005=\r\nNNNN");
  EXPECT_EQ(op.messages, (std::vector<std::string>{
                             cp("Не могу исправить 31313!?"),
                             cp("Раздел 61616 уже имеется в телеграмме TTBB, отредактируйте ее вручную!")}));
}

TEST(TempBulletin, AllFourPartsOfAStationTelegram) {
  FakeAscent a;
  FitRadiosondes(a);
  a.Single = false;
  for (auto& f : a.TelegramFiles) f = FixturePath("bulletins/kn04-crcrlf.txt");
  tTempSettings s;
  s.Head = {"USMS01 RUMS {ddhh}00<BBB>\r\n", "UKMS01 RUMS {ddhh}00<BBB>\r\n", "ULMS01 RUMS {ddhh}00<BBB>\r\n",
            "UEMS01 RUMS {ddhh}00<BBB>\r\n"};
  s.Tail = "\r\n\r\n\r\n\r\nNNNN\r\n";
  ScriptedOperator op;
  const tTempOptions opt{true, true, 0};
  const std::string tail = "=\r\n\r\n\r\n\r\nNNNN\r\n";
  EXPECT_EQ(BuildTemp(1, a, "RRB", s, opt, op),
            "USMS01 RUMS 051200 RRB \r\n"
            "TTAA 55121 27612 99005 10658 27015 00134 09857 27516 92812\r\n"
            "05656 28023 85534 00258 29529 70173 11163 28544 50589 27562\r\n"
            "28564 40758 40164 29076 30962 51562 29097 25085 50963 29107\r\n"
            "20230 52363 28598 15412 55763 28090 10658 59163 27567 88231\r\n"
            "54562 29103 77999" + tail);
  EXPECT_EQ(BuildTemp(2, a, "", s, opt, op),
            "UKMS01 RUMS 051200\r\n"
            "TTBB 5512/ 27612 00005 10658 11990 09253 22962 08456 33904\r\n"
            "04258 44850 00460 55779 04157 66700 11163 21212 00005 27015\r\n"
            "11982 27516 22874 28523 33700 28544 31313 52703 81103 41414\r\n"
            "45630 61616 10302" + tail);
  EXPECT_EQ(BuildTemp(3, a, "", s, opt, op),
            "ULMS01 RUMS 051200\r\n"
            "TTCC 55125 27612 70855 60157 29110 50058 59957 28594 30380\r\n"
            "55556 28100 20623 52756 27086 10152 49556 27565 88999 77999" + tail);
  EXPECT_EQ(BuildTemp(4, a, "", s, opt, op),
            "UEMS01 RUMS 051200\r\n"
            "TTDD 5512/ 27612 11975 61156 22903 59157 33815 59557 21212\r\n"
            "11975 27586 22850 28098 33817 28101" + tail);
  EXPECT_TRUE(op.messages.empty());
}

// Station telegram files whose TTBB trips a repair that reads groups by
// position: data groups that read like section heads, line breaks of three
// characters, blanks and a lone separator at the end.
TEST(TempBulletin, TTBBRepairsTouchOnlyTheirSections) {
  const std::string cannotFix = cp("Не могу исправить 31313!?");
  const std::string hasSection = cp("Раздел 61616 уже имеется в телеграмме TTBB, отредактируйте ее вручную!");
  struct Case {
    const char* fixture;  // tests/fixtures/bulletins/<fixture>.kn04 in, .bulletin out
    int rara;
    bool add61616;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"ttbb-data-31313", 2, false, {}},
      {"ttbb-data-31313-only", 2, false, {cannotFix}},
      {"ttbb-crcrlf-31313", 0, false, {}},
      {"ttbb-blank-before-sep", 0, true, {}},
      {"ttbb-sep-alone", 0, true, {}},
      {"ttbb-data-61616", 0, true, {}},
      {"ttbb-has-61616", 0, true, {hasSection}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    FakeAscent a;
    FitRadiosondes(a);
    a.Single = false;
    a.TelegramFiles[1] = FixturePath(std::string("bulletins/") + c.fixture + ".kn04");
    tTempSettings s;
    s.CRLF = "\r\r\n";
    s.Tail = "\r\r\nNNNN";
    ScriptedOperator op;
    EXPECT_EQ(BuildTemp(2, a, "", s, {true, c.add61616, c.rara}, op),
              tern::test::ReadBytes(FixturePath(std::string("bulletins/") + c.fixture + ".bulletin")));
    EXPECT_EQ(op.messages, c.messages);
  }
}
