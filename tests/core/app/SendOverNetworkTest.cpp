// The send buttons over real servers on this machine: the FTP uploads of a
// text bulletin and a BUFR file, and what a refused login leaves behind.
#include <gtest/gtest.h>

#include "../transmit/FtpTestServer.h"
#include "SendDeskFixture.h"
#include "app/HeadlessTransports.h"
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

}  // namespace
}  // namespace tern
