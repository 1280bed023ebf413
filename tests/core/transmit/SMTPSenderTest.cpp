#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "SilentServer.h"
#include "SmtpRelay.h"
#include "TestSupport.h"
#include "transmit/smtp/SMTPSender.h"

namespace tern {
namespace {

using test::SmtpRelay;

struct RecordingMonitor : ISMTPMonitor {
  std::vector<std::string> phases, replies, statuses;
  int beats = 0;
  std::function<bool(const RecordingMonitor&)> cancelWhen;

  void Phase(const std::string& text) override { phases.push_back(Cp1251ToUtf8(text)); }
  void Status(int event, const std::string& text) override { statuses.push_back(std::to_string(event) + ":" + text); }
  void Reply(const std::string& text) override { replies.push_back(text); }
  void Heartbeat() override { ++beats; }
  bool Cancelled() override { return cancelWhen && cancelWhen(*this); }
};

tSMTPTaskRecord Task(const SmtpRelay& relay) {
  tSMTPTaskRecord t;
  t.TextMode = true;
  t.Server = relay.Host();
  t.Login = "meteo";
  t.Password = "secret";
  t.From = cp("\"Станция 27612\" <st@example.org>");
  t.To = "a@example.org, \"Ivanov, I.\" <b@example.org>";
  t.Subject = cp("Бюллетень TTAA 27612");
  t.Body = cp("USUS01 RUMS 091200\r\r\nTTAA 59121 27612 Привет=\r\r\n.\r\r\n..точка\r\r\nNNNN");
  t.TextCharset = TMailCharset::Koi8R;
  t.RawText = false;
  return t;
}

// KOI8-R bytes of a UTF-8 text, by the system's converter.
std::string Koi8(const std::string& utf8) {
  gsize n = 0;
  gchar* bytes = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), "KOI8-R", "UTF-8", nullptr, &n, nullptr);
  std::string out(bytes, n);
  g_free(bytes);
  return out;
}

TEST(SMTPSend, TextMailArrivesWithEnvelopeHeadersAndText) {
  SmtpRelay relay;
  tSMTPTaskRecord t = Task(relay);
  t.Cc = "c@example.org";
  t.Bcc = "hidden@example.org";
  RecordingMonitor monitor;
  TSMTPResult r = SendSMTPMessage(t, monitor);
  ASSERT_TRUE(r.Sent) << r.ErrorText;
  EXPECT_EQ(Cp1251ToUtf8(SMTPOutcomeText(r)), "Сообщение отправлено");

  EXPECT_EQ(relay.Events("RCPT"), (std::vector<std::string>{"RCPT a@example.org", "RCPT b@example.org",
                                                            "RCPT c@example.org", "RCPT hidden@example.org"}));
  auto messages = relay.Messages();
  ASSERT_EQ(messages.size(), 1u);
  const auto& m = messages[0];
  auto mail = relay.Events("MAIL");
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_EQ(mail[0], "MAIL st@example.org SIZE=" + std::to_string(m.Raw.size()));
  EXPECT_EQ(m.Raw.find("hidden@example.org"), std::string::npos);
  EXPECT_FALSE(m.HasHeader("Bcc"));
  EXPECT_EQ(m.DecodedHeader("Subject"), "Бюллетень TTAA 27612");
  EXPECT_EQ(m.DecodedHeader("From"), "Станция 27612 <st@example.org>");
  EXPECT_EQ(m.DecodedHeader("Cc"), "c@example.org");
  ASSERT_EQ(m.Parts.size(), 1u);
  EXPECT_EQ(m.Parts[0].ContentType, "text/plain");
  EXPECT_EQ(m.Parts[0].Charset, "koi8-r");
  // Lines that start with a dot survive the transport.
  EXPECT_EQ(m.Parts[0].Payload, Koi8("USUS01 RUMS 091200\r\nTTAA 59121 27612 Привет=\r\n.\r\n..точка\r\nNNNN\r\n"));
  EXPECT_EQ(relay.Events().back(), "QUIT");
  EXPECT_EQ(monitor.phases, (std::vector<std::string>{"Подготовка сообщения..", "Подключение к серверу..",
                                                      "Проверка адресов..", "Отправка сообщения.."}));
}

TEST(SMTPSend, ANetworkLayerWithoutAHandleIsAFailedSend) {
  SmtpRelay relay;
  SetSMTPHandleMaker([]() -> void* { return nullptr; });
  RecordingMonitor monitor;
  const TSMTPResult r = SendSMTPMessage(Task(relay), monitor);
  SetSMTPHandleMaker(nullptr);
  EXPECT_FALSE(r.Sent);
  EXPECT_FALSE(r.Cancelled);
  EXPECT_FALSE(r.ErrorText.empty());
  EXPECT_EQ(Cp1251ToUtf8(SMTPOutcomeText(r)), "Ошибка отправки..");
  EXPECT_TRUE(relay.Messages().empty());
  // The maker put back, the same task goes through.
  EXPECT_TRUE(SendSMTPMessage(Task(relay), monitor).Sent);
}

TEST(SMTPSend, AuthenticatesWithTheFirstOfferedMechanismInOrder) {
  struct Case {
    std::string offered, used;
  };
  const Case cases[] = {
      {"CRAM-MD5,PLAIN,LOGIN", "AUTH CRAM-MD5 ok"},
      {"LOGIN,PLAIN", "AUTH PLAIN ok"},
      {"LOGIN", "AUTH LOGIN ok"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offered);
    SmtpRelay relay({"--mechs", c.offered});
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(Task(relay), monitor);
    EXPECT_TRUE(r.Sent) << r.ErrorText;
    EXPECT_EQ(relay.Events("AUTH"), std::vector<std::string>{c.used});
    EXPECT_EQ(relay.Messages().size(), 1u);
    // The progress line never shows the credentials.
    for (const auto& s : monitor.statuses) {
      EXPECT_EQ(s.find("secret"), std::string::npos) << s;
      EXPECT_EQ(s.find("AG1ldGVvAHNlY3JldA"), std::string::npos) << s;  // PLAIN response
      EXPECT_EQ(s.find("c2VjcmV0"), std::string::npos) << s;            // LOGIN password
    }
  }
}

TEST(SMTPSend, ScrambledPasswordIsUnscrambledForTheLogin) {
  SmtpRelay relay({"--password", "pw"});
  tSMTPTaskRecord t = Task(relay);
  t.PasswordScrambled = true;
  t.Password = "3135";
  t.PasswordKey = "AB";
  RecordingMonitor monitor;
  EXPECT_TRUE(SendSMTPMessage(t, monitor).Sent);
}

TEST(SMTPSend, NothingIsSentWithoutAuthentication) {
  struct Case {
    std::string name;
    std::vector<std::string> relayArgs;
    std::string password;
  };
  const Case cases[] = {
      {"CRAM-MD5 refused", {"--mechs", "CRAM-MD5"}, "wrong"},
      {"PLAIN refused", {"--mechs", "PLAIN"}, "wrong"},
      {"LOGIN refused", {"--mechs", "LOGIN"}, "wrong"},
      {"no AUTH offered", {"--mechs", ""}, "secret"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpRelay relay(c.relayArgs);
    tSMTPTaskRecord t = Task(relay);
    t.Password = c.password;
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_FALSE(r.Cancelled);
    EXPECT_FALSE(r.ErrorText.empty());
    EXPECT_EQ(Cp1251ToUtf8(SMTPOutcomeText(r)), "Ошибка отправки..");
    EXPECT_TRUE(relay.Events("MAIL").empty());
    EXPECT_TRUE(relay.Events("RCPT").empty());
    EXPECT_TRUE(relay.Messages().empty());
  }
}

TEST(SMTPSend, FirstRefusedRecipientFailsTheSendAndQuits) {
  SmtpRelay relay({"--refuse-rcpt", "b@example.org"});
  tSMTPTaskRecord t = Task(relay);
  t.Cc = "c@example.org";
  RecordingMonitor monitor;
  TSMTPResult r = SendSMTPMessage(t, monitor);
  EXPECT_FALSE(r.Sent);
  EXPECT_EQ(relay.Events("RCPT"), (std::vector<std::string>{"RCPT a@example.org", "RCPT b@example.org"}));
  EXPECT_TRUE(relay.Messages().empty());
  EXPECT_EQ(relay.Events().back(), "QUIT");
}

TEST(SMTPSend, BufrAttachmentOverStartTLSDecodesToTheFile) {
  test::TempDir dir;
  std::string bufr = "BUFR";
  for (int i = 0; i < 3000; ++i) bufr += static_cast<char>((i * 131 + 7) & 0xFF);
  bufr += "7777";
  std::string path = dir / "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin";
  test::WriteBytes(path, bufr);

  SmtpRelay relay({"--starttls"});
  tSMTPTaskRecord t = Task(relay);
  t.TextMode = false;
  t.Body = path;
  t.StartTLS = true;
  t.TLSVerify = false;
  RecordingMonitor monitor;
  TSMTPResult r = SendSMTPMessage(t, monitor);
  ASSERT_TRUE(r.Sent) << r.ErrorText;
  EXPECT_EQ(relay.Events("STARTTLS"), std::vector<std::string>{"STARTTLS"});
  auto messages = relay.Messages();
  ASSERT_EQ(messages.size(), 1u);
  const auto& parts = messages[0].Parts;
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].ContentType, "text/plain");
  EXPECT_EQ(parts[0].Payload, "");
  EXPECT_EQ(parts[1].Disposition, "attachment");
  EXPECT_EQ(parts[1].FileName, "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin");
  EXPECT_EQ(parts[1].Encoding, "base64");
  EXPECT_EQ(parts[1].Payload, bufr);
}

TEST(SMTPSend, TransportSecurityCases) {
  struct Case {
    std::string name;
    std::vector<std::string> relayArgs;
    bool startTLS, implicitTLS, verify;
    bool sent;
    bool authSeen;  // did the relay see credentials at all
  };
  const Case cases[] = {
      {"implicit TLS", {"--implicit-tls"}, false, true, false, true, true},
      // The login would cross in clear text: the send stops before AUTH.
      {"STARTTLS asked, not offered", {}, true, false, false, false, false},
      {"no TLS asked, plain SMTP", {}, false, false, false, true, true},
      {"STARTTLS offered then refused", {"--refuse-starttls"}, true, false, false, false, false},
      {"self-signed certificate while verifying", {"--starttls"}, true, false, true, false, false},
      {"implicit TLS, certificate verified", {"--implicit-tls"}, false, true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpRelay relay(c.relayArgs);
    tSMTPTaskRecord t = Task(relay);
    t.StartTLS = c.startTLS;
    t.ImplicitTLS = c.implicitTLS;
    t.TLSVerify = c.verify;
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_EQ(r.Sent, c.sent) << r.ErrorText;
    EXPECT_EQ(relay.Messages().size(), c.sent ? 1u : 0u);
    EXPECT_EQ(!relay.Events("AUTH").empty(), c.authSeen);
    if (!c.sent) {
      EXPECT_FALSE(r.ErrorText.empty());
      EXPECT_TRUE(relay.Events("MAIL").empty());
    }
  }
}

// With the default "Raw" the bulletin's cp1251 bytes go unchanged: labelled
// as what they are and in an encoding that carries 8-bit bytes, whatever the
// text charset and encoding settings say.
TEST(SMTPSend, RawTextArrivesLabelledAsWindows1251InAnEightBitSafeEncoding) {
  struct Case {
    const char* name;
    std::vector<std::string> relayArgs;
    TMailEncoding configured;
    const char* encoding;
  };
  const Case cases[] = {
      {"relay announces 8BITMIME", {}, TMailEncoding::SevenBit, "8bit"},
      {"relay without 8BITMIME", {"--no-8bitmime"}, TMailEncoding::SevenBit, "quoted-printable"},
      {"8bit asked, relay without 8BITMIME", {"--no-8bitmime"}, TMailEncoding::EightBit, "quoted-printable"},
      {"base64 asked", {"--no-8bitmime"}, TMailEncoding::Base64, "base64"},
  };
  const std::string sloy = cp("ЦСЛОЙ 27612 0912 СЛОЙ=");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpRelay relay(c.relayArgs);
    tSMTPTaskRecord t = Task(relay);
    t.RawText = true;
    t.TextCharset = TMailCharset::Koi8R;  // the settings' default
    t.Encoding = c.configured;
    t.Body = sloy;
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    ASSERT_TRUE(r.Sent) << r.ErrorText;
    auto messages = relay.Messages();
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_EQ(messages[0].Parts.size(), 1u);
    const auto& part = messages[0].Parts[0];
    EXPECT_EQ(part.Charset, "windows-1251");
    EXPECT_EQ(part.Encoding, c.encoding);
    EXPECT_EQ(part.Payload, sloy + "\r\n");
    EXPECT_EQ(Cp1251ToUtf8(part.Payload.substr(1, 4)), "СЛОЙ");
  }
}

// Once the relay has answered 250 to the message, a cancel noticed later
// does not undo the send: it was delivered and must be recorded.
TEST(SMTPSend, CancelAfterTheRelayAcceptedCountsAsSent) {
  SmtpRelay relay;
  tSMTPTaskRecord t = Task(relay);
  RecordingMonitor monitor;
  monitor.cancelWhen = [](const RecordingMonitor& m) {
    return std::any_of(m.replies.begin(), m.replies.end(),
                       [](const std::string& r) { return r.rfind("250 Message accepted", 0) == 0; });
  };
  TSMTPResult r = SendSMTPMessage(t, monitor);
  EXPECT_TRUE(r.Sent) << r.ErrorText;
  EXPECT_FALSE(r.Cancelled);
  EXPECT_EQ(Cp1251ToUtf8(SMTPOutcomeText(r)), "Сообщение отправлено");
  EXPECT_EQ(relay.Messages().size(), 1u);
}

TEST(SMTPSend, FailureTextSaysWhyInRussianWithTheLibraryText) {
  test::SilentServer silent;
  int gonePort = 0;
  {
    test::SilentServer gone;
    gonePort = gone.port();
  }
  SmtpRelay relay({"--refuse-rcpt", "a@example.org"});
  SmtpRelay plain;
  struct Case {
    const char* name;
    std::function<void(tSMTPTaskRecord&)> change;
    const char* reason;
  };
  const Case cases[] = {
      {"nothing listens", [&](tSMTPTaskRecord& t) { t.Server = "127.0.0.1:" + std::to_string(gonePort); },
       "Сервер отказал в соединении: "},
      {"accepts and says nothing",
       [&](tSMTPTaskRecord& t) {
         t.Server = silent.Host();
         t.ConnectTimeoutMs = 300;
       },
       "Сервер не отвечает: "},
      {"password refused",
       [&](tSMTPTaskRecord& t) {
         t.Server = plain.Host();
         t.Password = "wrong";
       },
       "Сервер отказал во входе (имя или пароль): "},
      {"TLS not offered",
       [&](tSMTPTaskRecord& t) {
         t.Server = plain.Host();
         t.StartTLS = true;
       },
       "Сервер не дал перейти на TLS: "},
      {"recipient refused", [&](tSMTPTaskRecord& t) { t.Server = relay.Host(); }, "Сервер отказал получателю: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tSMTPTaskRecord t = Task(plain);
    c.change(t);
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_FALSE(r.Cancelled);
    const std::string text = Cp1251ToUtf8(r.ErrorText);
    EXPECT_EQ(text.rfind(c.reason, 0), 0u) << text;
    EXPECT_GT(text.size(), std::string(c.reason).size()) << "the library's text follows the reason";
  }
  EXPECT_TRUE(plain.Messages().empty());
}

TEST(SMTPSend, ErrorTextOnlyWhenAbortOnError) {
  for (bool abortOnError : {true, false}) {
    SCOPED_TRACE(abortOnError);
    SmtpRelay relay;
    tSMTPTaskRecord t = Task(relay);
    t.Password = "wrong";
    t.AbortOnError = abortOnError;
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_EQ(r.ErrorText.empty(), !abortOnError);
  }
}

TEST(SMTPSend, ConnectionRefusedIsAFailure) {
  int port = 0;
  {
    SmtpRelay relay;  // a port that was free a moment ago
    port = relay.Port();
  }
  tSMTPTaskRecord t;
  t.TextMode = true;
  t.Server = "127.0.0.1:" + std::to_string(port);
  t.Login = "meteo";
  t.Password = "secret";
  t.From = "st@example.org";
  t.To = "a@example.org";
  RecordingMonitor monitor;
  TSMTPResult r = SendSMTPMessage(t, monitor);
  EXPECT_FALSE(r.Sent);
  EXPECT_FALSE(r.Cancelled);
  EXPECT_FALSE(r.ErrorText.empty());
}

TEST(SMTPSend, CallbacksFollowTheirSwitches) {
  SmtpRelay relay;
  tSMTPTaskRecord t = Task(relay);
  RecordingMonitor shown;
  ASSERT_TRUE(SendSMTPMessage(t, shown).Sent);
  ASSERT_FALSE(shown.replies.empty());
  EXPECT_EQ(shown.replies.front().substr(0, 4), "220 ");
  EXPECT_FALSE(shown.statuses.empty());

  t.ShowReplies = false;
  t.ShowStatus = false;
  RecordingMonitor hidden;
  ASSERT_TRUE(SendSMTPMessage(t, hidden).Sent);
  EXPECT_TRUE(hidden.replies.empty());
  EXPECT_TRUE(hidden.statuses.empty());
}

TEST(SMTPSend, HeartbeatAtTheTickWhileTheRelayIsSlow) {
  struct Case {
    bool beat;
    int tick;
    int minBeats, maxBeats;
  };
  // The relay takes 0.8 s to answer the first RCPT.
  const Case cases[] = {{true, 150, 3, 7}, {true, 0, 0, 0}, {false, 150, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "beat " << c.beat << " tick " << c.tick);
    SmtpRelay relay({"--slow-rcpt", "0.8"});
    tSMTPTaskRecord t = Task(relay);
    t.To = "a@example.org";
    t.Heartbeat = c.beat;
    t.TickMs = c.tick;
    RecordingMonitor monitor;
    EXPECT_TRUE(SendSMTPMessage(t, monitor).Sent);
    EXPECT_GE(monitor.beats, c.minBeats);
    EXPECT_LE(monitor.beats, c.maxBeats);
  }
}

TEST(SMTPSend, CancelStopsTheExchange) {
  struct Case {
    std::string name;
    std::function<bool(const RecordingMonitor&)> when;
  };
  const Case cases[] = {
      {"at the greeting", [](const RecordingMonitor& m) { return !m.replies.empty(); }},
      {"during a heartbeat", [](const RecordingMonitor& m) { return m.beats > 0; }},
      {"before connecting", [](const RecordingMonitor& m) { return m.phases.size() >= 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpRelay relay({"--slow-rcpt", "0.5"});
    tSMTPTaskRecord t = Task(relay);
    t.TickMs = 150;
    RecordingMonitor monitor;
    monitor.cancelWhen = c.when;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(Cp1251ToUtf8(SMTPOutcomeText(r)), "Отмена отправки..");
    EXPECT_TRUE(relay.Messages().empty());
  }
}

TEST(SMTPSend, UnusableHostSettingFailsWithoutConnecting) {
  for (const char* server : {"127.0.0.1:", "127.0.0.1:smtp", ":25", ""}) {
    SCOPED_TRACE(server);
    tSMTPTaskRecord t;
    t.TextMode = true;
    t.Server = server;
    t.From = "st@example.org";
    t.To = "a@example.org";
    RecordingMonitor monitor;
    TSMTPResult r = SendSMTPMessage(t, monitor);
    EXPECT_FALSE(r.Sent);
    EXPECT_EQ(r.ErrorText, std::string("host: ") + server);
    EXPECT_EQ(std::count(monitor.phases.begin(), monitor.phases.end(), "Подключение к серверу.."), 0);
  }
}

TEST(SMTPSend, NoRecipientMeansNoSend) {
  SmtpRelay relay;
  tSMTPTaskRecord t = Task(relay);
  t.To = ", a@example.org";
  RecordingMonitor monitor;
  TSMTPResult r = SendSMTPMessage(t, monitor);
  EXPECT_FALSE(r.Sent);
  EXPECT_FALSE(r.ErrorText.empty());
  EXPECT_TRUE(relay.Messages().empty());
}

}  // namespace
}  // namespace tern
