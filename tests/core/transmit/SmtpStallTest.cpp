// A mail server that stops answering: the exchange keeps beating at its tick
// so the window stays alive, and the operator's cancel ends it at once with
// nothing delivered.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "SilentServer.h"
#include "SmtpRelay.h"
#include "TestSupport.h"
#include "transmit/smtp/SMTPSender.h"

namespace tern {
namespace {

using test::SilentServer;

struct BeatCounter : ISMTPMonitor {
  int beats = 0;
  int cancelAt = 0;
  int beatsAfterCancel = 0;
  bool cancelled = false;
  void Phase(const std::string&) override {}
  void Status(int, const std::string&) override {}
  void Reply(const std::string&) override {}
  void Heartbeat() override {
    ++beats;
    if (cancelled) ++beatsAfterCancel;
  }
  bool Cancelled() override { return cancelled = cancelled || beats >= cancelAt; }
};

TEST(SMTPStall, HeartbeatGoesOnAndCancelEndsTheWait) {
  struct Case {
    const char* name;
    std::function<std::string()> start;  // starts the server, gives its host setting
  };
  std::unique_ptr<SilentServer> silent;
  std::unique_ptr<test::SmtpRelay> relay;
  const Case cases[] = {
      {"no greeting at all",
       [&] {
         silent = std::make_unique<SilentServer>();
         return silent->Host();
       }},
      {"relay stalls after the recipient",
       [&] {
         relay = std::make_unique<test::SmtpRelay>(std::vector<std::string>{"--slow-rcpt", "3600"});
         return relay->Host();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tSMTPTaskRecord t;
    t.TextMode = true;
    t.Server = c.start();
    t.Login = "meteo";
    t.Password = "secret";
    t.From = "st@example.org";
    t.To = "a@example.org";
    t.Subject = "TTAA";
    t.Body = "TTAA 59121 27612=\r\nNNNN";
    t.TickMs = 100;
    BeatCounter monitor;
    monitor.cancelAt = 4;
    const TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(monitor.beats, 4);  // beating while stalled, and not one beat after the cancel
    EXPECT_EQ(monitor.beatsAfterCancel, 0);
    if (relay) {
      EXPECT_TRUE(relay->Messages().empty());
    }
  }
}

}  // namespace
}  // namespace tern
