#include <gtest/gtest.h>

#include <functional>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "app/AscentVariables.h"
#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::ReadBytes;
using tern::test::TempDir;
using tern::test::WriteBytes;
using tern::test::WriteCp1251;

namespace {

const tListSizes kSizes{2, 3, 4, 5};

TAscentVariables LoadFrom(const std::string& path) {
  TAscentVariables v;
  v.LoadAscentVariables(path, kSizes, true);
  return v;
}

}  // namespace

TEST(AscentVariables, LoadFoldsEveryValueIntoRange) {
  using Get = std::function<double(const TAscentVariables&)>;
  const Get raRa = [](const auto& v) { return v.Choices.RaRa; };
  const Get balloon = [](const auto& v) { return v.Choices.Balloon; };
  const Get gas = [](const auto& v) { return v.Choices.Gas; };
  const Get lift = [](const auto& v) { return v.Choices.Lift; };
  const Get train = [](const auto& v) { return v.Choices.Train; };
  const Get last = [](const auto& v) { return v.LastNumber; };
  const Get bufrNo = [](const auto& v) { return v.Counters.BufrBulletin; };
  const Get bufrFile = [](const auto& v) { return v.Counters.BufrFile; };
  const Get textNo = [](const auto& v) { return v.Counters.TextBulletin; };
  const Get textFile = [](const auto& v) { return v.Counters.TextFile; };
  struct Case {
    const char* file;  // nullptr: no file at all
    Get get;
    double want;
  };
  const Case cases[] = {
      {nullptr, raRa, 0},
      {nullptr, lift, 1.1},
      {nullptr, train, 20},
      {nullptr, last, 1},
      {nullptr, bufrFile, 0},
      {"[Ascent]\r\nRaRa=-3\r\n", raRa, 1},
      {"[Ascent]\r\nbmanuf=7\r\n", balloon, 1},
      {"[Ascent]\r\ngas=-2147483648\r\n", gas, 0},
      {"[Ascent]\r\nnozzle=-250\r\n", lift, 2.5},
      {"[Ascent]\r\nnozzle=1001\r\n", lift, 0},
      {"[Ascent]\r\ntrain=9000\r\n", train, 9.99},
      {"[Ascent]\r\ntrain=-4050\r\n", train, 40.5},
      {"[LAST]\r\nnum=1500\r\n", last, 1},
      {"[LAST]\r\nnum=-1499\r\n", last, 1499},
      {"[LAST]\r\nnum=3001\r\n", last, 1},
      {"[BUFR]\r\nNNN=1000\r\n", bufrNo, 0},
      {"[BUFR]\r\nNNNNNNNN=-100000007\r\n", bufrFile, 7},
      {"[TLG]\r\ntNNN=2999\r\n", textNo, 999},
      {"[TLG]\r\ntNNNNNNNN=99999999\r\n", textFile, 99999999},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.file) WriteBytes(dir / "ASCVAR.CNF", c.file);
    const TAscentVariables v = LoadFrom(dir / "ASCVAR.CNF");
    EXPECT_DOUBLE_EQ(c.get(v), c.want) << (c.file ? c.file : "(no file)");
  }
}

TEST(AscentVariables, LoadClearsTerminationAndTheChangedMark) {
  TempDir dir;
  WriteBytes(dir / "ASCVAR.CNF", "[Ascent]\r\ntermination=2\r\n[LAST]\r\ndt=05.03.2024 11:03:00\r\n");
  TAscentVariables v;
  v.Choices.Termination = 4;
  v.Changed = true;
  v.LoadAscentVariables(dir / "ASCVAR.CNF", kSizes, true);
  EXPECT_EQ(v.Choices.Termination, -1);
  EXPECT_FALSE(v.Changed);
  EXPECT_DOUBLE_EQ(v.LastTime, EncodeDateTime(2024, 3, 5, 11, 3, 0));

  // Empty lists cannot take a stored index.
  v.LoadAscentVariables(dir / "ASCVAR.CNF", tListSizes{}, true);
  EXPECT_EQ(v.Choices.RaRa, -1);
  EXPECT_EQ(v.Choices.Gas, -1);
}

TEST(AscentVariables, PickOnlyObserverListMustNotBeEmpty) {
  TempDir dir;
  const std::string path = dir / "ASCVAR.CNF";
  TAscentVariables v;
  try {
    v.LoadAscentVariables(path, kSizes, false);
    FAIL() << "an empty pick-only list must stop the start";
  } catch (const TernError& e) {
    EXPECT_EQ(e.Text(), cp("Ошибка загрузки ФИО старших смены"));
  }
  WriteCp1251(path, "[SMENA]\r\nN=2\r\nsmena0=ИВН\r\nsmena1=ПТР\r\n");
  v.LoadAscentVariables(path, kSizes, false);
  EXPECT_EQ(v.Observers.size(), 2u);
  EXPECT_EQ(v.Choices.Observer, cp("ИВН"));
  // With free typing an empty list is fine and nothing is chosen for the operator.
  TAscentVariables free;
  free.LoadAscentVariables(dir / "none.CNF", kSizes, true);
  EXPECT_TRUE(free.Observers.empty());
  EXPECT_EQ(free.Choices.Observer, "");
}

TEST(AscentVariables, VariablesFormWritesKeysInOrderAndKeepsOtherKeys) {
  TempDir dir;
  const std::string path = dir / "ASCVAR.CNF";
  WriteBytes(path, "[AZEL]\r\nremind=2\r\n[Ascent]\r\ntermination=3\r\nextra=kept\r\n");
  FakeAscent a;
  a.LaunchTime = EncodeDateTime(2024, 3, 5, 11, 3, 7);
  TAscentVariables v;
  v.Choices.Number = 64;
  v.Choices.Repeated = true;
  v.Choices.RaRa = 1;
  v.Choices.Balloon = -1;
  v.Choices.Gas = 2;
  v.Choices.Lift = 1.35;
  v.Choices.Train = 25.5;
  v.Choices.Serial = "A123";    // sent form only
  v.Choices.Observer = "IVN";  // sent form only
  v.Counters = {999, 12345678, 7, 42};
  v.SaveAscentVariables(path, VariablesForm::Variables, a);
  EXPECT_EQ(ReadBytes(path),
            "[AZEL]\r\nremind=2\r\n"
            "[Ascent]\r\nextra=kept\r\nrepeated=1\r\nRaRa=1\r\ngas=2\r\nnozzle=135\r\ntrain=2550\r\n"
            "\r\n[LAST]\r\nnum=64\r\ndt=05.03.2024 11:03:07\r\n"
            "\r\n[BUFR]\r\nNNN=999\r\nNNNNNNNN=12345678\r\n"
            "\r\n[TLG]\r\ntNNN=7\r\ntNNNNNNNN=42\r\n");

  // What was written comes back.
  const TAscentVariables back = LoadFrom(path);
  EXPECT_EQ(back.Choices.RaRa, 1);
  EXPECT_EQ(back.Choices.Balloon, 0);
  EXPECT_EQ(back.Choices.Gas, 2);
  EXPECT_DOUBLE_EQ(back.Choices.Lift, 1.35);
  EXPECT_DOUBLE_EQ(back.Choices.Train, 25.5);
  EXPECT_EQ(back.LastNumber, 64);
  EXPECT_DOUBLE_EQ(back.LastTime, a.LaunchTime);
  EXPECT_EQ(back.Counters.BufrBulletin, 999);
  EXPECT_EQ(back.Counters.BufrFile, 12345678);
  EXPECT_EQ(back.Counters.TextBulletin, 7);
  EXPECT_EQ(back.Counters.TextFile, 42);
}

TEST(AscentVariables, LastAscentMovesOnlyForALaterLaunch) {
  const TDateTime stored = EncodeDateTime(2024, 3, 5, 11, 3, 7);
  struct Case {
    TDateTime launch;
    bool moves;
  };
  const Case cases[] = {
      {stored + 1.0 / 86400, true},
      {stored + 0.4 / 86400, false},  // same whole second
      {stored - 1.0, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir / "ASCVAR.CNF";
    WriteBytes(path, "[LAST]\r\nnum=10\r\ndt=05.03.2024 11:03:07\r\n");
    TAscentVariables v = LoadFrom(path);
    v.Choices.Number = 11;
    FakeAscent a;
    a.LaunchTime = c.launch;
    v.SaveAscentVariables(path, VariablesForm::Variables, a);
    const TAscentVariables back = LoadFrom(path);
    EXPECT_EQ(back.LastNumber, c.moves ? 11 : 10) << DateTimeToStr(c.launch);
    EXPECT_EQ(v.LastNumber, back.LastNumber);
  }
}

TEST(AscentVariables, SentFormWritesMetadataBesideTheSendRecord) {
  TempDir dir;
  const std::string gts = dir / "A1231103.GTS";
  WriteCp1251(gts, "[GTS]\r\nAA=05.03.2024 12:40:00\r\n[Ascent]\r\ntermination=1\r\nRS=OLD\r\n");
  FakeAscent a;
  a.TablesVer = 36;
  a.LocTablesVer = 1;
  a.CnfVer = 17;
  a.LaunchTime = EncodeDateTime(2024, 3, 5, 11, 3, 0);
  TAscentVariables v;
  v.Choices.Number = 5;
  v.Choices.RaRa = 1;
  v.Choices.Balloon = 2;
  v.Choices.Gas = 3;
  v.Choices.Lift = 2.5;
  v.Choices.Train = 9.99;
  v.Choices.Observer = cp("ИВН");
  v.SaveAscentVariables(gts, VariablesForm::Sent, a);
  // No termination and no serial chosen: their old keys go.
  EXPECT_EQ(ReadBytes(gts), "[GTS]\r\nAA=05.03.2024 12:40:00\r\n"
                            "[Ascent]\r\nnumber=5\r\nrepeated=0\r\nRaRa=1\r\nbmanuf=2\r\ngas=3\r\nnozzle=250\r\n"
                            "train=999\r\n" +
                                cp("observer=ИВН\r\n") + "\r\n[BUFR]\r\ninttab=36\r\nloctab=1\r\nbufrcnf=17\r\n");
  // The sent form never touches the workstation's last ascent or counters.
  EXPECT_EQ(v.LastNumber, 1);
}

TEST(AscentVariables, RecordSendKeepsTheIndicatorOfTheLastSend) {
  TempDir dir;
  const std::string gts = dir / "A.GTS";
  WriteBytes(gts, "[Ascent]\r\nnumber=5\r\n");
  RecordSend(gts, kSendTTBB, "CCA", EncodeDateTime(2024, 3, 5, 12, 40, 1));
  RecordSend(gts, kSendBufrII, "", EncodeDateTime(2024, 3, 5, 12, 41, 0));
  EXPECT_EQ(ReadBytes(gts),
            "[Ascent]\r\nnumber=5\r\n\r\n[GTS]\r\nBB=05.03.2024 12:40:01\r\nBBB_BB=CCA\r\nCD=05.03.2024 12:41:00\r\n");
  // A later send without an indicator drops the old one.
  RecordSend(gts, kSendTTBB, "", EncodeDateTime(2024, 3, 5, 13, 0, 0));
  EXPECT_EQ(ReadBytes(gts), "[Ascent]\r\nnumber=5\r\n\r\n[GTS]\r\nBB=05.03.2024 13:00:00\r\nCD=05.03.2024 12:41:00\r\n");
  RecordSend(gts, 9, "CCA", 45000);  // no such message
  EXPECT_EQ(TMyIniFile(gts).ReadSections(), (TextList{"Ascent", "GTS"}));
}

TEST(AscentVariables, PanelRoundTrip) {
  TempDir dir;
  const std::string path = dir / "ASCVAR.CNF";
  WriteCp1251(path, "[Ascent]\r\nRaRa=3\r\ngas=1\r\nnozzle=150\r\n[LAST]\r\nnum=41\r\n"
                    "[SMENA]\r\nN=3\r\nsmena0=ПТР\r\nsmena1=ИВН\r\nsmena2=СИД\r\n");
  TAscentVariables v;
  v.LoadAscentVariables(path, kSizes, false);
  TAscentPanel panel;
  panel.RaRa.Items = {"27", "90"};
  panel.Balloon.Items = {"b1", "b2", "b3"};
  panel.Gas.Items = {"g1", "g2", "g3", "g4"};
  panel.Termination.Items = {"t1"};
  panel.Termination.Index = 0;
  v.ApplyTo(panel, false);
  EXPECT_EQ(panel.RaRa.Index, 1);
  EXPECT_EQ(panel.Balloon.Index, 0);
  EXPECT_EQ(panel.Gas.Index, 1);
  EXPECT_EQ(panel.Termination.Index, -1);
  EXPECT_DOUBLE_EQ(panel.Lift, 1.5);
  EXPECT_EQ(panel.LastAscentNo, 41);
  EXPECT_EQ(panel.Observers, (TextList{cp("ИВН"), cp("ПТР"), cp("СИД")}));
  EXPECT_EQ(panel.ObserverText, cp("ИВН"));

  // The operator's edits go back through the panel.
  panel.Number = 42;
  panel.Repeated = 1;
  panel.Gas.Index = 3;
  panel.Termination.Index = 0;
  panel.SondeId = "A1";
  panel.AddObserver("ABC");
  panel.VariablesChanged = true;
  v.TakeFrom(panel);
  EXPECT_TRUE(v.Changed);
  const tAscentChoices& c = v.Choices;
  EXPECT_EQ(c.Number, 42);
  EXPECT_TRUE(c.Repeated);
  EXPECT_EQ(c.RaRa, 1);
  EXPECT_EQ(c.Gas, 3);
  EXPECT_EQ(c.Termination, 0);
  EXPECT_EQ(c.Serial, "A1");
  EXPECT_EQ(c.Observer, cp("ИВН"));
  EXPECT_EQ(v.Observers.size(), 4u);
  panel.Gas.Index = 7;  // outside the list: nothing chosen
  EXPECT_EQ(ChoicesOf(panel).Gas, -1);
}

TEST(AscentVariables, CountersWrapAsTheirWidthsSay) {
  TAscentVariables v;
  v.Counters = {999, 99999999, 999, 99999999};
  v.AdvanceBufrBulletin();
  v.AdvanceBufrFile();
  v.AdvanceTextBulletin();
  v.AdvanceTextFile();
  EXPECT_EQ(v.Counters.BufrBulletin, 0);
  EXPECT_EQ(v.Counters.BufrFile, 1);
  EXPECT_EQ(v.Counters.TextBulletin, 1);
  EXPECT_EQ(v.Counters.TextFile, 1);
  EXPECT_TRUE(v.Changed);
  v.Counters = {0, 0, 0, 0};
  v.AdvanceBufrBulletin();
  v.AdvanceTextBulletin();
  EXPECT_EQ(v.Counters.BufrBulletin, 1);
  EXPECT_EQ(v.Counters.TextBulletin, 1);
}

TEST(AscentVariables, ClosingWritesOnlyWhenSomethingChanged) {
  TempDir dir;
  const std::string path = dir / "ASCVAR.CNF";
  FakeAscent a;
  a.SystemCode = 1;
  ScriptedOperator op;
  TAscentVariables v;
  v.Observers = {cp("ИВН"), "PTR"};
  v.SaveAtClosing(path, a, true, op, 45000);
  EXPECT_FALSE(FileExists(path));
  v.AdvanceTextFile();
  v.SaveAtClosing(path, a, true, op, 45000);
  const TMyIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("TLG", "tNNNNNNNN", 0), 1);
  EXPECT_EQ(ini.ReadInteger("SMENA", "N", 0), 2);
  // A pick-only list is the station's own and is not rewritten by the desk.
  TempDir other;
  v.SaveAtClosing(other / "ASCVAR.CNF", a, false, op, 45000);
  EXPECT_FALSE(TMyIniFile(other / "ASCVAR.CNF").SectionExists("SMENA"));
}

namespace {

// Runs the reminder once over an [AZEL] section; returns the operator.
struct Reminder {
  TempDir dir;
  FakeAscent ascent;
  ScriptedOperator op;
  std::string path = dir / "ASCVAR.CNF";
  Reminder(uint8_t code, double az, double el) {
    ascent.SystemCode = code;
    ascent.Meta.CorrAz = az;
    ascent.Meta.CorrEl = el;
  }
  void Run(TDateTime now, std::deque<int> answers = {}) {
    for (int a : answers) op.Push(a);
    CorrectionsReminder(path, ascent, op, now);
  }
  int Remind() const { return TMyIniFile(path).ReadInteger("AZEL", "remind", -1); }
  TDateTime Confirmed() const { return TMyIniFile(path).ReadDateTime("AZEL", "dt", -1); }
};

const TDateTime kNow = EncodeDateTime(2024, 3, 5, 9, 30, 0);

}  // namespace

TEST(CorrectionsReminder, OnlyTrackingSystemsAreReminded) {
  for (uint8_t code : {0, 1, 2, 8, 9}) {
    Reminder r(code, -1e31, -1e31);
    r.Run(kNow);
    EXPECT_TRUE(r.op.messages.empty()) << int(code);
    EXPECT_FALSE(FileExists(r.path)) << int(code);
  }
}

TEST(CorrectionsReminder, MissingCorrectionsAreCountedEveryClosing) {
  Reminder r(5, 1.5, -1e31);
  for (int i = 0; i < 3; ++i) r.Run(kNow);
  const std::string ask = cp("Задайте в настройках поправки по азимуту и углу места!");
  EXPECT_EQ(r.op.messages, (std::vector<std::string>{ask, ask, ask, cp("Это было напоминание №2")}));
  EXPECT_EQ(r.Remind(), 3);
  EXPECT_TRUE(r.op.asked.empty());
}

TEST(CorrectionsReminder, FirstConfirmationIsTakenSilently) {
  Reminder r(3, 1.5, -0.25);
  WriteBytes(r.path, "[AZEL]\r\nremind=-4\r\n");
  r.Run(kNow);
  EXPECT_TRUE(r.op.asked.empty());
  EXPECT_EQ(r.Remind(), 0);
  EXPECT_DOUBLE_EQ(r.Confirmed(), kNow);
}

TEST(CorrectionsReminder, OldConfirmationAsksUntilConfirmed) {
  Reminder r(7, 1.5, -0.25);
  WriteBytes(r.path, "[AZEL]\r\ndt=25.01.2024 09:30:00\r\n");  // 40 days before
  r.Run(kNow, {2});
  r.Run(kNow, {2});
  EXPECT_TRUE(r.op.messages.empty());
  r.Run(kNow, {2});
  EXPECT_EQ(r.op.messages, std::vector<std::string>{cp("Это было напоминание №2")});
  EXPECT_EQ(r.Remind(), 3);
  ASSERT_EQ(r.op.asked.size(), 3u);
  const Question& q = r.op.asked[0];
  EXPECT_EQ(q.title, cp("Запрос на подтверждение"));
  EXPECT_EQ(q.text, cp("Информация о поправках по азимуту и углу места могла устареть\rCorrAz=1.50,OrientCorrEl=-0.25"));
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Данные о поправках актуальны"),
                                                 cp("Поправки будут уточнены к следующему разу")}));
  EXPECT_EQ(q.icon, BoxIcon::Warning);
  EXPECT_EQ(q.defaultButton, 0);
  EXPECT_EQ(q.escButton, 0);

  r.Run(kNow, {1});
  EXPECT_EQ(r.Remind(), 0);
  EXPECT_DOUBLE_EQ(r.Confirmed(), kNow);
  r.Run(kNow + 31);  // exactly 31 days later is still fresh
  EXPECT_EQ(r.op.asked.size(), 4u);
}
