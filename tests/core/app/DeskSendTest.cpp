// The demo station end to end without windows: the desk starts on a copy of
// the demo settings, opens a demo ascent, every one of the eight buttons sends
// in the modes the settings select, and reopening the ascent shows them sent.
#include <gtest/gtest.h>

#include <filesystem>

#include "../bufr/EccodesDecode.h"
#include "DemoStation.h"
#include "SendDeskFixture.h"
#include "TestSupport.h"
#include "app/AscentFamily.h"
#include "app/Desk.h"
#include "app/DeskSendWorkflow.h"
#include "app/TelegramFiles.h"
#include "config/MyIniFile.h"

namespace tern {
namespace {

namespace fs = std::filesystem;

TEST(DeskSend, EveryButtonOfTheDemoStationSendsAndStaysSentOnReopening) {
  test::DemoStation station;
  test::TempDir& dir = station.dir;
  const std::string& settings = station.settings;
  test::WorkingFolder here(dir.path());

  ScriptedOperator op;
  TDesk desk({"-AC"}, op, CreateAscentObject);
  desk.Create(settings, EncodeDateTime(2026, 12, 9, 14, 0, 0));
  ASSERT_TRUE(desk.LoadAscent(dir / "ascents/20261209-1117.info"));
  TAscentPanel& p = desk.Panel;
  p.RaRa.Index = p.Balloon.Index = p.Gas.Index = 0;
  p.ObserverText = "ABC";
  p.SondeId = "1234567";
  p.OnInfoChange(kInfoSerial);  // as the operator's typing reports it

  test::RecordingDesk view;
  test::RecordingTransports transports;
  TDeskSendWorkflow workflow(view, transports);
  workflow.Clock = test::SendClock;
  desk.Workflow = &workflow;
  desk.BufrNotSent = true;
  const int bufrBulletin = desk.Vars.Counters.BufrBulletin;
  for (int tag = 1; tag <= kSendCount; ++tag) {
    ASSERT_TRUE(desk.SendClick(tag));
    EXPECT_EQ(workflow.LastOutcome, SendOutcome::Sent) << tag << " " << (op.messages.empty() ? "" : Cp1251ToUtf8(op.messages.back()));
  }
  EXPECT_FALSE(desk.BufrNotSent);
  EXPECT_EQ(view.previews.size(), 6u);        // the settings show every text bulletin
  EXPECT_EQ(view.viewerReadOnly.size(), 2u);  // and the data of every BUFR message
  EXPECT_EQ(desk.Vars.Counters.BufrBulletin, (bufrBulletin + 2) % 1000);
  // Folder modes: the bulletins in the dated folder, the BUFR files copied next to them.
  const std::string dated = DatedFolder(dir / "out/TLG/", desk.Ascent->ObsTime);
  int saved = 0;
  for (const auto& e : fs::directory_iterator(dated)) saved += e.path().extension() == ".txt";
  EXPECT_EQ(saved, 6);
  int copies = 0;
  for (const auto& e : fs::directory_iterator(DatedFolder(dir / "out/BUFR/", desk.Ascent->ObsTime)))
    copies += e.path().extension() == ".bin";
  EXPECT_EQ(copies, 2);

  ASSERT_TRUE(desk.LoadAscent(dir / "ascents/20261209-1117.info"));
  for (int tag = 1; tag <= kSendCount; ++tag) EXPECT_TRUE(desk.Panel.Send[tag - 1].Struck) << tag;
  EXPECT_EQ(TMyIniFile(dir / "ascents/20261209-1117.GTS").ReadString("Ascent", "RS", ""), "1234567");
}

}  // namespace
}  // namespace tern

namespace tern {
namespace {

// The demo station switched to the workstation family, with a copy of its sample ascent.
struct KioskStation : test::DemoStation {
  std::string card = dir / "kiosk/RAW/2612/26120900.stg";
  KioskStation() {
    fs::copy(test::FixturePath("../../demo/ascents/kiosk"), dir / "kiosk", fs::copy_options::recursive);
    Set("STATION.CNF", "TERN", "TERN", "8");
    Set("TERN2BFR.CNF", "OPTIONS", "Src", dir / "kiosk");
  }
};

// Names of the files of one extension in a folder.
std::vector<std::string> NamesIn(const std::string& folder, const char* ext) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().extension() == ext) names.push_back(e.path().filename().string());
  return names;
}

// A desk started afresh on the station sends the messages in the given order,
// answering every existing-file question with the given button; the texts of
// the questions asked.
std::vector<std::string> SendInOrder(const KioskStation& station, const std::vector<int>& tags, int existingAnswer) {
  ScriptedOperator op({existingAnswer, existingAnswer});
  TDesk desk({"-AC"}, op, CreateAscentObject);
  desk.Create(station.settings, EncodeDateTime(2026, 12, 9, 2, 0, 0));
  EXPECT_TRUE(desk.LoadAscent(station.card));
  desk.Panel.RaRa.Index = desk.Panel.Balloon.Index = desk.Panel.Gas.Index = 0;
  test::RecordingDesk view;
  test::RecordingTransports transports;
  TDeskSendWorkflow workflow(view, transports);
  desk.Workflow = &workflow;
  for (int tag : tags) {
    EXPECT_TRUE(desk.SendClick(tag));
    EXPECT_EQ(workflow.LastOutcome, SendOutcome::Sent) << tag << " " << (op.messages.empty() ? "" : Cp1251ToUtf8(op.messages.back()));
  }
  std::vector<std::string> asked;
  for (const Question& q : op.asked) asked.push_back(q.text);
  return asked;
}

TEST(DeskSend, KioskNamesCarryTheLaunchTimeWhateverTheOrder) {
  const std::vector<std::string> bulletin{"A_TTAARUMS090000_C_RUMS_202612082315_27612.txt"};
  const std::vector<std::string> bufr{"A_IUKD01RUMS090000_C_RUMS_202612082315_27612.bin"};
  KioskStation textFirst, bufrFirst;
  EXPECT_EQ(SendInOrder(textFirst, {kSendTTAA, kSendBufrI}, 1), std::vector<std::string>{});
  EXPECT_EQ(SendInOrder(bufrFirst, {kSendBufrI, kSendTTAA}, 1), std::vector<std::string>{});
  for (const KioskStation* s : {&textFirst, &bufrFirst}) {
    EXPECT_EQ(NamesIn(s->dir / "out/TLG/2026/12", ".txt"), bulletin);
    EXPECT_EQ(NamesIn(s->dir / "kiosk/RESULT/2612", ".bin"), bufr);
  }
  // After a restart the same names are found, so the desk asks before making second copies.
  EXPECT_EQ(SendInOrder(textFirst, {kSendBufrI, kSendTTAA}, 2), (std::vector<std::string>{bufr[0], bulletin[0]}));
  EXPECT_EQ(NamesIn(textFirst.dir / "out/TLG/2026/12", ".txt"), bulletin);
  EXPECT_EQ(NamesIn(textFirst.dir / "kiosk/RESULT/2612", ".bin"), bufr);
}

TEST(DeskSend, SerialWithTheNumeroSignGoesAsNOnlyInTheBufrField) {
  test::DemoStation station;
  test::WorkingFolder here(station.dir.path());
  ScriptedOperator op;
  TDesk desk({"-AC"}, op, CreateAscentObject);
  desk.Create(station.settings, EncodeDateTime(2026, 12, 9, 14, 0, 0));
  ASSERT_TRUE(desk.LoadAscent(station.ascent));
  TAscentPanel& p = desk.Panel;
  p.RaRa.Index = p.Balloon.Index = p.Gas.Index = p.Termination.Index = 0;
  p.SondeId = cp("№1234567");
  p.OnInfoChange(kInfoSerial);
  test::RecordingDesk view;
  test::RecordingTransports transports;
  TDeskSendWorkflow workflow(view, transports);
  desk.Workflow = &workflow;
  ASSERT_TRUE(desk.SendClick(kSendBufrII));
  ASSERT_EQ(workflow.LastOutcome, SendOutcome::Sent) << (op.messages.empty() ? "" : Cp1251ToUtf8(op.messages.back()));
  const auto d = test::DecodeWithEccodes(desk.Ascent->BufrFileName, {}, {"radiosondeSerialNumber"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Text("radiosondeSerialNumber"), "N1234567");
  EXPECT_EQ(p.SondeId, cp("№1234567"));
  EXPECT_EQ(TMyIniFile(station.SentFile()).ReadString("Ascent", "RS", ""), cp("№1234567"));
}

}  // namespace
}  // namespace tern
