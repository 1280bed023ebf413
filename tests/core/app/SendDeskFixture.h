#pragma once
// A desk ready to send from a scratch station folder: the ascent with its
// sounding-system files, the panel, the counters, the settings and recording
// stand-ins for the windows and the transports.
#include <gtest/gtest.h>

#include <memory>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "app/SendWorkflow.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

namespace tern::test {

inline const std::string kKn04 =
    "KN04 12345 05.03.2024 11:03\r\n"
    "TTAA 55121 12345 99005 10658 27015 00134 09857 27516=\r\n"
    "\r\n"
    "TTBB 5512/ 12345 00005 10658 11990 09253 31313 58103 81103=\r\n"
    "TTCC 55125 12345 70855 60157 29110=\r\n"
    "TTDD 5512/ 12345 11975 61156=\r\n";

// An ascent whose sounding-system files lie in the test's folder.
class DeskAscent : public FakeAscent {
 public:
  explicit DeskAscent(const std::string& folder) : folder_(folder) {
    SourceFile = folder + "ASC00001.info";
    SourceName = "ASC00001";
    CCCC = "RUMS";
    StationInd = 12345;
    StationIndText = "12345";
    ObsTime = EncodeDateTime(2024, 3, 5, 12, 0, 0);
    LaunchTime = EncodeDateTime(2024, 3, 5, 11, 3, 0);
    IUKHead = "IUKN01 {ddhh}00<BBB>";
    IUSHead = "IUSN01 {ddhh}00<BBB>";
    BBBHead = " ";
    Meta.Include61616 = false;
    SystemCodes.Count = 1;
    tRsSystemCodes rs;
    rs.Code = 88;
    rs.Name = "MRZ";
    SystemCodes.Rs.push_back(rs);
  }
  bool LoadData() override {
    ++loads;
    if (LevelCount == 0)
      for (int i = 0; i < 4; ++i) AddLevel(1000.0f - 150.0f * i, 10.0f - 8 * i, 5.0f - 8 * i, 200, 6, 100.0f + 1500 * i);
    return loadable;
  }
  bool GetTelegramFile(int, std::string& path) override {
    path = folder_ + "kn04.txt";
    return FileExists(path);
  }
  bool GetLayerFile(std::string& path) override {
    path = folder_ + "layer.txt";
    return FileExists(path);
  }
  bool GetGroundFile(std::string& path) override {
    path = folder_ + "ground.txt";
    return FileExists(path);
  }
  int loads = 0;
  bool loadable = true;

 private:
  std::string folder_;
};

struct PreviewCall {
  std::string text, caption, okCaption;
  bool readOnly;
};

class RecordingDesk : public ISendDesk {
 public:
  void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
  bool ShowTelegram(std::string& text, const std::string& caption, bool readOnly,
                    const std::string& okCaption) override {
    previews.push_back({text, caption, okCaption, readOnly});
    if (accept && !edited.empty()) text = edited;
    return accept;
  }
  bool ShowCheckData(TUAMessage&, bool readOnly) override {
    viewerReadOnly.push_back(readOnly);
    return viewerAccepts;
  }
  bool CloseRequested() const override { return closing; }
  void TerminateApplication() override { terminated = true; }

  std::vector<std::string> clipboard;
  std::vector<PreviewCall> previews;
  std::vector<bool> viewerReadOnly;
  bool accept = true;
  std::string edited;
  bool viewerAccepts = true;
  bool closing = false;
  bool terminated = false;
};

class RecordingTransports : public ISendTransports {
 public:
  bool SendFileFTP(tFTPTaskRecord& task) override {
    ftp.push_back(task);
    return ftpResult;
  }
  bool SendMailSMTP(tSMTPTaskRecord& task) override {
    smtp.push_back(task);
    return smtpResult;
  }
  int SendMailClient(const tMailHandOff& mail) override {
    handOffs.push_back(mail);
    return mailResult;
  }
  bool MailClientReportsOutcome() const override { return mailReports; }
  std::vector<tFTPTaskRecord> ftp;
  std::vector<tSMTPTaskRecord> smtp;
  std::vector<tMailHandOff> handOffs;
  bool ftpResult = true, smtpResult = true;
  int mailResult = 0;
  bool mailReports = true;
};

inline TDateTime SendClock() { return EncodeDateTime(2024, 3, 5, 14, 20, 30); }

// The desk's state for one ascent, with every collaborator of the workflow.
class SendWorkflowTest : public ::testing::Test {
 public:
  SendWorkflowTest() : ascent(dir.path()) {
    WriteBytes(dir / "kn04.txt", kKn04);
    options.ViewDATA = false;
    options.DisplayTLG = false;
    options.SaveTLG = false;
    settings.Spooling.TextFolder = dir / "TLG/";
    settings.Spooling.BufrFolder = dir / "BUFRCOPY/";
    settings.Temp.Head = {"USRS01 RUMS {ddhh}00<BBB>\r\r\n", "ULRS01 RUMS {ddhh}00<BBB>\r\r\n",
                          "UERS01 RUMS {ddhh}00<BBB>\r\r\n", "UXRS01 RUMS {ddhh}00<BBB>\r\r\n"};
    settings.MailText.Subject[0] = "TTAA {ddhh}<BBB>";
    settings.MailBinary.Subject[6] = "BUFR {yyyymmdd}<BBB>";
    settings.MailText.To = "a@example.org, b@example.org";
    settings.MailText.CC = "c@example.org";
    settings.MailText.From = "station@example.org";
    settings.MailBinary.To = "bin@example.org";
  }

  // Applies the options and opens the ascent in the panel, as the desk does before a send.
  TSendWorkflow& Workflow() {
    panel.Configure(options, ascent, op);
    panel.RaRa.Index = 0;
    workflow = std::make_unique<TSendWorkflow>(
        tSendContext{ascent, panel, variables, settings, tasks, desk, transports, op});
    workflow->Clock = SendClock;
    return *workflow;
  }
  std::string SentFile() const { return ChangeFileExt(ascent.SourceFile, ".GTS"); }
  std::string Gts(const std::string& key) const { return TMyIniFile(SentFile()).ReadString("GTS", key, "-"); }
  const tSendButton& Button(int tag) const { return panel.Send[tag - 1]; }
  std::string TtaaFile() const { return dir / "TLG/2024/03/A_TTAARUMS051200_C_RUMS_202403051103_12345.txt"; }

  TempDir dir;
  DeskAscent ascent;
  TDeskOptions options;
  TAscentPanel panel;
  TAscentVariables variables;
  TMessageSettings settings;
  tTransferTasks tasks;
  RecordingDesk desk;
  RecordingTransports transports;
  ScriptedOperator op;
  std::unique_ptr<TSendWorkflow> workflow;
};

}  // namespace tern::test
