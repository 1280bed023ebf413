// The demo station end to end without windows: the desk starts on a copy of
// the demo settings, opens a demo ascent, every one of the eight buttons sends
// in the modes the settings select, and reopening the ascent shows them sent.
#include <gtest/gtest.h>

#include <filesystem>

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
