// The send buttons over real servers on this machine: the FTP uploads and
// the SMTP mails of a text bulletin and a BUFR file, and what a refused login
// leaves behind.
#include <gtest/gtest.h>

#include "../transmit/FtpTestServer.h"
#include "../transmit/SmtpRelay.h"
#include "SendDeskFixture.h"
#include "app/HeadlessTransports.h"
#include "app/TransferTasks.h"
#include "base/Error.h"
#include "transmit/ftp/FtpTask.h"

namespace tern {
namespace {

using test::ReadBytes;

class SendOverNetwork : public test::SendWorkflowTest {
 public:
  // The workflow with the windowless transports instead of the recording ones.
  TSendWorkflow& Headless() {
    panel.Configure(options, ascent, op);
    panel.RaRa.Index = 0;
    workflow = std::make_unique<TSendWorkflow>(
        tSendContext{ascent, panel, variables, settings, tasks, desk, headless, op});
    workflow->Clock = test::SendClock;
    return *workflow;
  }
  std::vector<std::string> lines;
  THeadlessTransports headless{[this](const std::string& line) { lines.push_back(line); }};
};

TEST_F(SendOverNetwork, TextAndBufrReachTheFtpServerWithTheirCounters) {
  test::FtpTestServer server;
  settings.Spooling.Text = TextMode::FTP;
  settings.Spooling.Bufr = BufrMode::FTP;
  tasks.TextFTP = server.Task();
  tasks.BufrFTP = server.Task();
  variables.Counters = {41, 17, 999, 99999999};
  TSendWorkflow& w = Headless();

  ASSERT_EQ(w.btnSendClick(kSendTTDD), SendOutcome::Sent);
  const std::string text = ReadBytes(server.root() + "in/234599999999.a");
  EXPECT_NE(text.find("\x01\r\r\n999\r\r\nUXRS01 RUMS 051200\r\r\nTTDD 5512/ 12345 11975 61156="), std::string::npos);
  EXPECT_EQ(text.back(), '\x03');
  EXPECT_EQ(variables.Counters.TextBulletin, 1);
  EXPECT_EQ(variables.Counters.TextFile, 1);
  EXPECT_EQ(Gts("DD"), "05.03.2024 14:20:30");

  ASSERT_EQ(w.btnSendClick(kSendBufrII), SendOutcome::Sent);
  const std::string bufr = ReadBytes(server.root() + "in/234500000017.b");
  EXPECT_EQ(bufr.substr(10), ReadBytes(ascent.BufrFileName));
  EXPECT_EQ(variables.Counters.BufrFile, 18);
  EXPECT_EQ(variables.Counters.BufrBulletin, 42);
  EXPECT_EQ(Gts("CD"), "05.03.2024 14:20:30");
  EXPECT_FALSE(lines.empty());
}

TEST_F(SendOverNetwork, RefusedLoginLeavesTheMessageUnsent) {
  test::FtpTestServer server;
  settings.Spooling.Text = TextMode::FTP;
  tasks.TextFTP = server.Task();
  tasks.TextFTP.Password = "wrong";
  variables.Counters = {0, 0, 5, 6};
  EXPECT_EQ(Headless().btnSendClick(kSendTTAA), SendOutcome::Failed);
  EXPECT_FALSE(Button(kSendTTAA).Struck);
  EXPECT_FALSE(FileExists(SentFile()));
  EXPECT_EQ(variables.Counters.TextBulletin, 5);
  EXPECT_EQ(variables.Counters.TextFile, 7);
}

// The tasks as the desk reads them from its transfer settings.
void ReadTasks(const std::string& file, const std::string& smtpHost, TMessageSettings& settings, tTransferTasks& tasks) {
  test::WriteBytes(file,
                   "[SMTPTXT]\r\nhost=" + smtpHost + "\r\nlogin=meteo\r\nkenwort=secret\r\nTextKod=0\r\n"
                   "[SMTPBIN]\r\nhost=" + smtpHost + "\r\nlogin=meteo\r\nkenwort=secret\r\nreceipt=1\r\n");
  ReadTransferTasks(TMyIniFile(file), settings, tasks);
}

TEST_F(SendOverNetwork, TextAndBufrReachTheRelayByMail) {
  test::SmtpRelay relay;
  settings.Spooling.Text = TextMode::SMTP;
  settings.Spooling.Bufr = BufrMode::SMTP;
  settings.MailText.From = "st@example.org";
  settings.MailBinary.From = "st@example.org";
  ReadTasks(dir / "ASPD.CNF", relay.Host(), settings, tasks);
  EXPECT_TRUE(tasks.TextSMTP.TextMode);
  EXPECT_FALSE(tasks.BufrSMTP.TextMode);
  EXPECT_EQ(tasks.BufrSMTP.ReceiptAddress, "st@example.org");
  TSendWorkflow& w = Headless();

  ASSERT_EQ(w.btnSendClick(kSendTTAA), SendOutcome::Sent);
  ASSERT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Sent);
  const auto messages = relay.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].DecodedHeader("Subject"), "TTAA 0512");
  ASSERT_FALSE(messages[0].Parts.empty());
  EXPECT_NE(messages[0].Parts[0].Payload.find("TTAA 55121 12345 99005"), std::string::npos);
  EXPECT_EQ(messages[1].DecodedHeader("Subject"), "BUFR 20240305");
  bool attached = false;
  for (const auto& part : messages[1].Parts)
    attached |= part.FileName == "A_IUKN01051200_C_RUMS_202403051103_12345.bin" &&
                part.Payload == ReadBytes(ascent.BufrFileName);
  EXPECT_TRUE(attached);
  EXPECT_EQ(Gts("AA"), "05.03.2024 14:20:30");
  EXPECT_EQ(Gts("AB"), "05.03.2024 14:20:30");
}

TEST_F(SendOverNetwork, RelayRefusingTheLoginLeavesTheMessageUnsent) {
  test::SmtpRelay relay({"--password", "other"});
  settings.Spooling.Text = TextMode::SMTP;
  ReadTasks(dir / "ASPD.CNF", relay.Host(), settings, tasks);
  EXPECT_EQ(Headless().btnSendClick(kSendTTAA), SendOutcome::Failed);
  EXPECT_EQ(op.messages.back(), cp("Ошибка отправки.."));
  EXPECT_FALSE(FileExists(SentFile()));
}

TEST(TransferTasks, IncompleteSettingsStopTheStartWithTheSectionName) {
  test::TempDir dir;
  test::WriteBytes(dir / "ASPD.CNF", "[FTPTXT]\r\nserver=h\r\n[SMTPBIN]\r\nhost=h\r\n");
  const struct {
    TextMode text;
    BufrMode bufr;
    const char* error;  // utf-8; empty: nothing to read
  } rows[] = {{TextMode::FTP, BufrMode::KeepFile, "Ошибка загрузки FTPTXT!"},
              {TextMode::Clipboard, BufrMode::FTP, "Ошибка загрузки FTPBIN!"},
              {TextMode::SMTP, BufrMode::KeepFile, "SMTPTXT-ошибка загрузки настроек!"},
              {TextMode::MAPI, BufrMode::SMTP, "SMTPBIN-ошибка загрузки настроек!"},
              {TextMode::SaveFolder, BufrMode::CopyFolder, ""}};
  for (const auto& r : rows) {
    TMessageSettings settings;
    settings.Spooling.Text = r.text;
    settings.Spooling.Bufr = r.bufr;
    tTransferTasks tasks;
    std::string error;
    try {
      ReadTransferTasks(TMyIniFile(dir / "ASPD.CNF"), settings, tasks);
    } catch (const TernError& e) {
      error = e.Text();
    }
    EXPECT_EQ(error, cp(r.error)) << r.error;
  }
}

}  // namespace
}  // namespace tern
