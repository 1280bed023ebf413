#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "app/AscentPanel.h"
#include "base/DateTime.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::TempDir;

namespace {

// An ascent whose files name a radiosonde code and an observation time.
class CodedAscent : public test::FakeAscent {
 public:
  uint8_t storedCode = 255;
  TDateTime obs = EncodeDateTime(2026, 5, 14, 11, 30, 0);
  bool failOpen = false;  // the reader reports a file it cannot use
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override {
    if (failOpen) return false;
    SourceFile = fileName;
    ObsTime = obs;
    rsType = storedCode;
    return true;
  }
};

struct PanelFixture {
  TempDir dir;
  CodedAscent ascent;
  ScriptedOperator op;
  TAscentPanel panel;
  std::string info = dir / "A20260514_12.info";

  explicit PanelFixture(TDeskOptions o = {}, int extMeta = 1) {
    ascent.SystemCode = 2;
    ascent.ExtMeta = static_cast<uint8_t>(extMeta);
    ascent.Single = false;
    ascent.CnfVer = 7;
    ascent.SystemCodes.Rs = {{}, {}, {}};
    ascent.SystemCodes.Rs[0].Code = 90;
    ascent.SystemCodes.Rs[0].Name = "MRZ";
    ascent.SystemCodes.Rs[1].Code = 158;  // 58 in the two digits of a TEMP
    ascent.SystemCodes.Rs[1].Name = "AK2";
    ascent.SystemCodes.Rs[2].Code = 21;
    ascent.SystemCodes.Rs[2].Name = "RS92";
    ascent.SystemCodes.Count = 3;
    ascent.BalloonCodes = {{1, 1, "B300", 0.3}, {2, 1, "B500", 0.5}};
    ascent.GasCodes = {{1, "H2"}, {2, "He"}};
    ascent.TerminationCodes = {{1, "burst", "BURST"}, {2, "lost", "LOST"}};
    panel.Configure(o, ascent, op);
  }
  void WriteGts(std::string_view text) { test::WriteCp1251(ChangeFileExt(info, ".GTS"), text); }
  // Every input filled and checked as the operator would.
  void FillAll() {
    panel.Number = 12;
    panel.OnInfoChange(kInfoNumber);
    panel.ObserverText = cp("ИВА");
    panel.OnInfoChange(kInfoObserver);
    panel.RaRa.Index = 0;
    panel.OnInfoChange(kInfoRaRa);
    panel.SondeId = "123";
    panel.OnInfoChange(kInfoSerial);
    panel.Balloon.Index = 0;
    panel.OnInfoChange(kInfoBalloon);
    panel.Gas.Index = 0;
    panel.OnInfoChange(kInfoGas);
    panel.OnInfoChange(kInfoLift);
    panel.OnInfoChange(kInfoTrain);
  }
};

}  // namespace

TEST(AscentPanel, InputsAreNormalisedAndCheckedAsTyped) {
  struct Case { const char* what; InfoTag tag; std::string text; double number; std::string wantText; double wantNumber;
                bool ok; Ink ink; };
  const Case cases[] = {
      {"observer keeps digits and capital Cyrillic", kInfoObserver, cp("ab1ж"), 0, cp("1Ж"), 0, false, Ink::Red},
      {"observer: first four characters only", kInfoObserver, cp("иван"), 0, cp("ИВАН"), 0, true, Ink::Blue},
      {"observer: Ё is not accepted", kInfoObserver, cp("ёжик"), 0, cp("ЖИК"), 0, true, Ink::Blue},
      {"serial drops the blank", kInfoSerial, cp("rs-92/123 №5"), 0, cp("RS-92/123№5"), 0, true, Ink::Blue},
      {"serial: 20 characters", kInfoSerial, "abcdefghij0123456789XYZ", 0, "ABCDEFGHIJ0123456789", 0, true, Ink::Blue},
      {"serial empty is missing", kInfoSerial, "", 0, "", 0, false, Ink::Red},
      {"number above 1500 becomes 1", kInfoNumber, "", 1501, "", 1, true, Ink::Blue},
      {"number 0 stays", kInfoNumber, "", 0, "", 0, true, Ink::Blue},
      {"train 90 becomes 5", kInfoTrain, "", 90, "", 5, true, Ink::Blue},
      {"train 80 stays", kInfoTrain, "", 80, "", 80, true, Ink::Blue},
      {"lift 0.1 becomes 0.2", kInfoLift, "", 0.1, "", 0.2, true, Ink::Blue},
      {"lift 10.5 becomes 0.2", kInfoLift, "", 10.5, "", 0.2, true, Ink::Blue},
  };
  for (const auto& c : cases) {
    PanelFixture f;
    ASSERT_TRUE(f.panel.LoadAscent(f.info));
    auto& p = f.panel;
    switch (c.tag) {
      case kInfoObserver: p.ObserverText = c.text; break;
      case kInfoSerial: p.SondeId = c.text; break;
      case kInfoNumber: p.Number = static_cast<int>(c.number); break;
      case kInfoTrain: p.Train = c.number; break;
      case kInfoLift: p.Lift = c.number; break;
      default: break;
    }
    p.OnInfoChange(c.tag);
    if (c.tag == kInfoObserver) {
      EXPECT_EQ(p.ObserverText, c.wantText) << c.what;
    }
    if (c.tag == kInfoSerial) {
      EXPECT_EQ(p.SondeId, c.wantText) << c.what;
    }
    if (c.tag == kInfoNumber) {
      EXPECT_EQ(p.Number, c.wantNumber) << c.what;
    }
    if (c.tag == kInfoTrain) {
      EXPECT_DOUBLE_EQ(p.Train, c.wantNumber) << c.what;
    }
    if (c.tag == kInfoLift) {
      EXPECT_DOUBLE_EQ(p.Lift, c.wantNumber) << c.what;
    }
    EXPECT_EQ(p.Ok[c.tag], c.ok) << c.what;
    EXPECT_EQ(p.InputInk[c.tag], c.ink) << c.what;
    EXPECT_EQ(p.LabelInk[c.tag], c.ink) << c.what;
    EXPECT_FALSE(p.Changed);
    EXPECT_TRUE(p.VariablesChanged);
  }
}

TEST(AscentPanel, EditsBeforeLoadingAndClicksDoNotMarkChanges) {
  PanelFixture f;
  f.panel.SondeId = "x1";
  f.panel.OnInfoChange(kInfoSerial);  // no ascent yet: ignored
  EXPECT_EQ(f.panel.SondeId, "x1");
  EXPECT_FALSE(f.panel.VariablesChanged);
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  f.panel.SondeId = "x1";
  f.panel.OnInfoClick(kInfoSerial);
  EXPECT_EQ(f.panel.SondeId, "X1");
  EXPECT_EQ(f.panel.InputInk[kInfoSerial], Ink::Black);  // settled, not changed
  EXPECT_FALSE(f.panel.VariablesChanged);
}

TEST(AscentPanel, ObserverListGrowsSortedAndDeleteSelectsTheFirst) {
  PanelFixture f;
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  auto& p = f.panel;
  for (const char* t : {"ПЕТ", "ИВА", "ПЕТ"}) {
    p.ObserverText = cp(t);
    p.OnInfoChange(kInfoObserver);
  }
  EXPECT_EQ(p.Observers, (TextList{cp("ИВА"), cp("ПЕТ")}));
  p.DelObserverClick();  // "ПЕТ" is selected
  EXPECT_EQ(p.Observers, TextList{cp("ИВА")});
  EXPECT_EQ(p.ObserverText, cp("ИВА"));
  EXPECT_EQ(p.InputInk[kInfoObserver], Ink::Black);
  p.DelObserverClick();
  EXPECT_TRUE(p.Observers.empty());
  EXPECT_EQ(p.ObserverText, "");
  EXPECT_EQ(p.InputInk[kInfoObserver], Ink::Red);

  TDeskOptions pickOnly;
  pickOnly.ObserverOn = false;
  PanelFixture g(pickOnly);
  g.panel.Observers = {cp("ИВА")};
  g.panel.ObserverText = cp("ИВА");
  g.panel.DelObserverClick();
  EXPECT_EQ(g.panel.Observers.size(), 1u);
}

TEST(AscentPanel, DeletingAnObserverWithoutAnAscentEnablesNoSendButton) {
  // Before any ascent, and after one that failed to open, the "-" button only edits the list.
  struct Case {
    const char* what;
    bool loadFailed;  // a good ascent first, then one whose reader fails
  };
  for (const Case c : {Case{"no ascent yet", false}, Case{"after a failed load", true}}) {
    TDeskOptions o;
    o.InjectRaRa = false;  // TTBB then waits for nothing but the check itself
    PanelFixture f(o, 0);
    auto& p = f.panel;
    if (c.loadFailed) {
      ASSERT_TRUE(p.LoadAscent(f.info));
      f.ascent.failOpen = true;
      EXPECT_FALSE(p.LoadAscent(f.info));
    }
    p.RaRa.Index = 0;  // a radiosonde chosen: the BUFR buttons would follow it
    p.Ok[kInfoRaRa] = true;
    p.Observers = {cp("ИВА"), cp("ПЕТ")};
    p.ObserverText = cp("ПЕТ");
    p.DelObserverClick();
    EXPECT_EQ(p.Observers, TextList{cp("ИВА")}) << c.what;
    for (const tSendButton& b : p.Send) EXPECT_FALSE(b.Enabled) << c.what << " " << b.Caption;
  }
}

TEST(AscentPanel, BufrButtonsNeedTheWholePanelWithExtendedMetadata) {
  PanelFixture f;
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  auto& s = f.panel.Send;
  EXPECT_TRUE(s[kSendTTAA - 1].Enabled);
  EXPECT_TRUE(s[kSendLayer - 1].Enabled);
  EXPECT_FALSE(s[kSendTTBB - 1].Enabled);  // the radiosonde is not chosen yet
  EXPECT_FALSE(s[kSendBufrI - 1].Enabled);
  EXPECT_EQ(f.panel.InfoCaption, Ink::Red);
  f.FillAll();
  EXPECT_TRUE(s[kSendTTBB - 1].Enabled);
  EXPECT_TRUE(s[kSendBufrI - 1].Enabled);
  EXPECT_FALSE(s[kSendBufrII - 1].Enabled);  // termination still missing
  f.panel.Termination.Index = 1;
  f.panel.OnInfoChange(kInfoTermination);
  EXPECT_TRUE(s[kSendBufrII - 1].Enabled);
  EXPECT_EQ(f.panel.InfoCaption, Ink::Blue);  // filled, but changed since the last send
  f.panel.MetaChangedSinceSend = false;
  f.panel.OnInfoClick(kInfoGas);
  EXPECT_EQ(f.panel.InfoCaption, Ink::Black);
  f.panel.SondeId = "";
  f.panel.OnInfoChange(kInfoSerial);
  EXPECT_FALSE(s[kSendBufrI - 1].Enabled);
  EXPECT_FALSE(s[kSendBufrII - 1].Enabled);

  // Without extended metadata both follow the radiosonde alone.
  PanelFixture g({}, 0);
  ASSERT_TRUE(g.panel.LoadAscent(g.info));
  g.panel.RaRa.Index = 2;
  g.panel.OnInfoChange(kInfoRaRa);
  EXPECT_TRUE(g.panel.Send[kSendBufrI - 1].Enabled);
  EXPECT_TRUE(g.panel.Send[kSendBufrII - 1].Enabled);
}

TEST(AscentPanel, RadiosondeModesDecideWhatCountsAsFilled) {
  struct Case { int mode; bool ttbbAtLoad; bool raraEnabled; };
  const Case cases[] = {{0, true, false}, {1, true, false}, {2, false, true}, {4, false, true}};
  for (const auto& c : cases) {
    TDeskOptions o;
    o.RaRaMode = c.mode;
    o.InjectRaRa = c.mode != 1;
    PanelFixture f(o, 0);
    ASSERT_TRUE(f.panel.LoadAscent(f.info));
    EXPECT_EQ(f.panel.Send[kSendTTBB - 1].Enabled, c.ttbbAtLoad) << c.mode;
    EXPECT_EQ(f.panel.InputEnabled(kInfoRaRa), c.raraEnabled) << c.mode;
    EXPECT_EQ(f.panel.InputInk[kInfoRaRa], c.raraEnabled ? Ink::Red : Ink::Black) << c.mode;
  }
}

TEST(AscentPanel, SingleStationShowsThe61616SectionOnlyForCode90) {
  TDeskOptions o;
  o.InjectRaRa = false;
  o.Opt61616 = true;
  PanelFixture f(o);
  f.ascent.Single = true;
  f.ascent.Meta.TernNo = 3;
  f.ascent.SystemCodes.Rs[2].Manuf = 7;
  f.ascent.SystemCodes.Rs[2].Model = 12;
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  f.panel.RaRa.Index = 2;  // code 21
  f.panel.OnInfoChange(kInfoRaRa);
  EXPECT_FALSE(f.panel.Relevant61616);
  EXPECT_EQ(f.panel.Label61616, "61616 30712");
  EXPECT_TRUE(f.panel.Send[kSendTTBB - 1].Enabled);
  f.panel.RaRa.Index = 0;  // code 90
  f.panel.OnInfoChange(kInfoRaRa);
  EXPECT_TRUE(f.panel.Relevant61616);
}

TEST(AscentPanel, RestoresTheSentFileAndStrikesOutSentMessages) {
  TDeskOptions o;
  o.Repeated = true;
  PanelFixture f(o);
  f.panel.Observers = {cp("ИВА")};
  f.ascent.storedCode = 90;
  f.WriteGts(
      "[GTS]\r\nAA=14.05.2026 12:40:00\r\nBBB_AA=\r\nBB=0\r\nBBB_BB=CCA\r\nAB=14.05.2026 12:50:00\r\nBBB_AB=CCB\r\n"
      "[BUFR]\r\nbufrcnf=7\r\n"
      "[Ascent]\r\nnumber=-417\r\nrepeated=1\r\nRaRa=-3\r\nbmanuf=5\r\ngas=1\r\nRS=ak2-0917\r\nnozzle=-250\r\n"
      "train=9000\r\nobserver=пет\r\n");
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  const auto& p = f.panel;
  EXPECT_EQ(p.Number, 417);
  EXPECT_EQ(p.Repeated, 1);
  EXPECT_EQ(p.RaRa.Index, 0);   // 3 modulo 3
  EXPECT_EQ(p.Balloon.Index, 1);
  EXPECT_EQ(p.Gas.Index, 1);
  EXPECT_EQ(p.SondeId, "AK2-0917");  // checked on restore
  EXPECT_DOUBLE_EQ(p.Lift, 2.5);
  EXPECT_DOUBLE_EQ(p.Train, 9.99);  // 9000 modulo 8001
  EXPECT_EQ(p.Termination.Index, -1);
  EXPECT_EQ(p.ObserverText, cp("ПЕТ"));
  EXPECT_EQ(p.Observers, (TextList{cp("ИВА"), cp("ПЕТ")}));
  EXPECT_TRUE(f.op.messages.empty());  // same code-table version

  EXPECT_EQ(p.Send[kSendTTAA - 1].Caption, "TTAA-");
  EXPECT_TRUE(p.Send[kSendTTAA - 1].Struck);
  EXPECT_EQ(p.Send[kSendBufrI - 1].Caption, "BUFR I-CCB");
  EXPECT_FALSE(p.Send[kSendTTBB - 1].Struck);
  EXPECT_EQ(p.Send[kSendTTBB - 1].Caption, "TTBB");
  // Unsent messages lose their keys in the file; sent ones keep them.
  TMyIniFile gts(ChangeFileExt(f.info, ".GTS"));
  EXPECT_FALSE(gts.ValueExists("GTS", "BB"));
  EXPECT_FALSE(gts.ValueExists("GTS", "BBB_BB"));
  EXPECT_TRUE(gts.ValueExists("GTS", "BBB_AB"));
  // Restored inputs are settled (black), and BUFR I may go again at once.
  EXPECT_EQ(p.InputInk[kInfoSerial], Ink::Black);
  for (int tag = 1; tag < kInfoTermination; ++tag) EXPECT_TRUE(p.Ok[tag]) << tag;
  EXPECT_TRUE(p.Send[kSendBufrI - 1].Enabled);
  EXPECT_FALSE(p.Send[kSendBufrII - 1].Enabled);
  EXPECT_EQ(p.AscentLabel, cp("A20260514_12|14.05.26 11:30 ВСВ"));
  EXPECT_EQ(p.AscentInk, Ink::Blue);
}

TEST(AscentPanel, AnotherCodeTableVersionIsReported) {
  PanelFixture f;
  f.ascent.storedCode = 21;
  f.WriteGts("[BUFR]\r\nbufrcnf=5\r\n");
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  ASSERT_EQ(f.op.messages.size(), 1u);
  EXPECT_EQ(f.op.messages[0], cp("ВНИМАНИЕ!\rВозможен конфликт версий BUFRCODES.CNF:\rАктуальная версия-7\r"
                                 "Использовалась версия-5\rКодовые цифры могли измениться!"));
}

TEST(AscentPanel, DefaultNumberWithoutSentFile) {
  struct Case { TDateTime obs; int want; };
  const Case cases[] = {{EncodeDateTime(2027, 1, 1, 12, 0, 0), 2},
                        {EncodeDateTime(2027, 1, 1, 11, 59, 0), 1},
                        {EncodeDateTime(2027, 1, 2, 0, 0, 0), 42}};
  for (const auto& c : cases) {
    PanelFixture f;
    f.panel.LastAscentNo = 41;
    f.ascent.obs = c.obs;
    ASSERT_TRUE(f.panel.LoadAscent(f.info));
    EXPECT_EQ(f.panel.Number, c.want);
  }
}

TEST(AscentPanel, StoredRadiosondeCodeAgainstTheChosenOne) {
  // Entries: 0 -> code 90, 1 -> 158 (58), 2 -> 21. The panel starts with entry 2 chosen.
  struct Case { const char* what; int mode; uint8_t stored; int answer; bool sentFile; int wantIndex;
                size_t questions; size_t messages; };
  const Case cases[] = {
      {"mode 1 selects silently", 1, 58, 0, false, 1, 0, 0},
      {"mode 2 selects silently", 2, 90, 0, false, 0, 0, 0},
      {"mode 3 keeps on button 1", 3, 58, 1, false, 2, 1, 0},
      {"mode 3 uses the stored one on button 2", 3, 58, 2, false, 1, 1, 0},
      {"mode 3 trusts a restored ascent", 3, 58, 2, true, 2, 0, 0},
      {"mode 4 never checks", 4, 58, 0, false, 2, 0, 0},
      {"unknown code is reported", 2, 33, 0, false, 2, 0, 1},
      {"no code in the files", 2, 255, 0, false, 2, 0, 1},
      {"same code: nothing", 3, 21, 0, false, 2, 0, 0},
  };
  for (const auto& c : cases) {
    TDeskOptions o;
    o.RaRaMode = c.mode;
    PanelFixture f(o);
    f.ascent.storedCode = c.stored;
    if (c.answer) f.op.Push(c.answer);
    if (c.sentFile) f.WriteGts("[Ascent]\r\nRaRa=2\r\n");
    f.panel.RaRa.Index = 2;
    ASSERT_TRUE(f.panel.LoadAscent(f.info)) << c.what;
    EXPECT_EQ(f.panel.RaRa.Index, c.wantIndex) << c.what;
    EXPECT_EQ(f.op.asked.size(), c.questions) << c.what;
    EXPECT_EQ(f.op.messages.size(), c.messages) << c.what;
  }
}

TEST(AscentPanel, CodeMismatchQuestionAndMessagesText) {
  TDeskOptions o;
  o.RaRaMode = 3;
  PanelFixture f(o);
  f.ascent.SourceName = "A1";
  f.ascent.storedCode = 58;
  f.panel.RaRa.Index = 2;
  f.op.Push(1);
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  ASSERT_EQ(f.op.asked.size(), 1u);
  const Question& q = f.op.asked[0];
  EXPECT_EQ(q.title, cp("Запрос"));
  EXPECT_EQ(q.text, cp("В данных выпускаA1\rкодовые цифры радиозонда/системы:58\rне совпадают с заданными:21!"));
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Оставить 21"), cp("Использовать 58")}));
  EXPECT_EQ(q.defaultButton, 1);
  EXPECT_EQ(q.escButton, 0);
  EXPECT_EQ(q.icon, BoxIcon::Question);

  PanelFixture g(o);
  g.ascent.SourceName = "A1";
  g.ascent.storedCode = 255;
  ASSERT_TRUE(g.panel.LoadAscent(g.info));
  EXPECT_EQ(g.op.messages, std::vector<std::string>{
                               cp("Ошибка чтения кодовых цифр для типа радиозонда/системы из данных выпуска A1")});
  PanelFixture h(o);
  h.ascent.SourceName = "A1";
  h.ascent.storedCode = 33;
  ASSERT_TRUE(h.panel.LoadAscent(h.info));
  EXPECT_EQ(h.op.messages, std::vector<std::string>{
                               cp("Кодовые цифры радиозонда/системы:33\rв данных выпуска A1\rбольше не используются!")});
}

TEST(AscentPanel, ChangesAfterASendAskForARepeatedSend) {
  PanelFixture f;
  f.WriteGts("[GTS]\r\nBB=14.05.2026 12:40:00\r\nAB=14.05.2026 12:50:00\r\nCD=14.05.2026 12:55:00\r\n"
             "[Ascent]\r\nnumber=3\r\nRS=1\r\nobserver=ИВА\r\ntermination=0\r\n");
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  auto& p = f.panel;
  EXPECT_EQ(p.BBBCaption, Ink::Black);
  p.Balloon.Index = 1;
  p.OnInfoChange(kInfoBalloon);
  EXPECT_EQ(p.Send[kSendBufrI - 1].Colour, Ink::Red);
  EXPECT_EQ(p.Send[kSendBufrII - 1].Colour, Ink::Red);
  EXPECT_EQ(p.Send[kSendTTBB - 1].Colour, Ink::Black);
  EXPECT_EQ(p.BBBCaption, Ink::Red);

  // The termination reason only concerns BUFR II; a new radiosonde concerns TTBB too.
  PanelFixture g;
  g.WriteGts("[GTS]\r\nBB=14.05.2026 12:40:00\r\nAB=14.05.2026 12:50:00\r\nCD=14.05.2026 12:55:00\r\n");
  ASSERT_TRUE(g.panel.LoadAscent(g.info));
  g.panel.Termination.Index = 1;
  g.panel.OnInfoChange(kInfoTermination);
  EXPECT_EQ(g.panel.Send[kSendBufrI - 1].Colour, Ink::Black);
  EXPECT_EQ(g.panel.Send[kSendBufrII - 1].Colour, Ink::Red);
  g.panel.RaRa.Index = 1;
  g.panel.OnInfoChange(kInfoRaRa);
  EXPECT_EQ(g.panel.Send[kSendTTBB - 1].Colour, Ink::Red);
  EXPECT_EQ(g.panel.Send[kSendBufrI - 1].Colour, Ink::Red);
}

TEST(AscentPanel, BbbIndicator) {
  struct Case { bool rrxOption; bool include; bool ccx; int letter; std::string bbb; bool rrxEnabled; int letterAfter; };
  const Case cases[] = {
      {false, true, true, 0, "CCA", false, 0},
      {true, true, false, 2, "RRC", true, 2},
      {true, true, true, 25, "CCZ", true, 25},
      {true, false, false, 4, "", false, 0},
  };
  for (const auto& c : cases) {
    TDeskOptions o;
    o.RRx = c.rrxOption;
    PanelFixture f(o);
    auto& p = f.panel;
    p.IncludeBBB = c.include;
    p.CCx = c.ccx;
    p.BBBLetter = c.letter;
    p.CbxBBBClick();
    EXPECT_EQ(p.BBB, c.bbb);
    EXPECT_EQ(p.RRxEnabled, c.rrxEnabled);
    EXPECT_EQ(p.BBBInputsEnabled, c.include);
    EXPECT_EQ(p.BBBLetter, c.letterAfter);
    EXPECT_EQ(p.BBBCaption, c.include ? Ink::Blue : Ink::Black);
  }
}

TEST(AscentPanel, LoadingResetsTheFormerAscent) {
  PanelFixture f;
  ASSERT_TRUE(f.panel.LoadAscent(f.info));
  f.FillAll();
  f.panel.IncludeBBB = true;
  f.panel.CbxBBBClick();
  f.panel.MarkSentCaption(kSendBufrI, "CCA");
  EXPECT_EQ(f.panel.Send[kSendBufrI - 1].Caption, "BUFR I-CCA");
  f.panel.MarkSentCaption(kSendBufrI, "CCB");
  EXPECT_EQ(f.panel.Send[kSendBufrI - 1].Caption, "BUFR I-CCB");
  ASSERT_TRUE(f.panel.LoadAscent(f.dir / "B.info"));
  const auto& p = f.panel;
  EXPECT_EQ(p.BBB, "");
  EXPECT_EQ(p.SondeId, "");
  EXPECT_EQ(p.ObserverText, "");
  EXPECT_EQ(p.Send[kSendBufrI - 1].Caption, "BUFR I");
  EXPECT_FALSE(p.Send[kSendBufrI - 1].Enabled);
  EXPECT_FALSE(p.Ok[kInfoSerial]);
  EXPECT_EQ(p.Balloon.Index, 0);  // choices that were not restored stay
  EXPECT_EQ(p.InputInk[kInfoBalloon], Ink::Red);
  EXPECT_EQ(p.InputInk[kInfoNumber], Ink::Red);  // enabled by the first ascent
}
