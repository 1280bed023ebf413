#include <gtest/gtest.h>

#include "TestSupport.h"
#include "transmit/smtp/SMTPAddresses.h"
#include "transmit/smtp/SMTPSender.h"
#include "transmit/smtp/SMTPTask.h"

namespace tern {
namespace {

tSMTPTaskRecord ReadSection(const std::string& body, bool* complete = nullptr) {
  test::TempDir dir;
  test::WriteCp1251(dir / "ASPD.CNF", "[SMTPBIN]\r\n" + body);
  tSMTPTaskRecord task;
  bool ok = ReadSMTPSettings(TMyIniFile(dir / "ASPD.CNF"), "SMTPBIN", task);
  if (complete) *complete = ok;
  return task;
}

TEST(SMTPSettings, DefaultsWhenKeysAreMissing) {
  bool complete = true;
  tSMTPTaskRecord t = ReadSection("", &complete);
  EXPECT_FALSE(complete);
  EXPECT_TRUE(t.Mixed);
  EXPECT_TRUE(t.ForceMixed);
  EXPECT_FALSE(t.StartTLS);
  EXPECT_FALSE(t.ImplicitTLS);
  EXPECT_TRUE(t.RawText);
  EXPECT_TRUE(t.Heartbeat);
  EXPECT_EQ(t.TickMs, 1000);
  EXPECT_TRUE(t.ShowStatus);
  EXPECT_TRUE(t.ShowReplies);
  EXPECT_TRUE(t.AbortOnError);
  EXPECT_TRUE(t.TLSVerify);
  EXPECT_EQ(t.HeaderCharset, TMailCharset::Koi8R);
  EXPECT_EQ(t.TextCharset, TMailCharset::Koi8R);
  EXPECT_EQ(t.Encoding, TMailEncoding::SevenBit);
  EXPECT_FALSE(t.Receipt);
  EXPECT_FALSE(t.PasswordScrambled);
  EXPECT_EQ(t.Server, "");
}

TEST(SMTPSettings, ExplicitValuesAreRead) {
  tSMTPTaskRecord t = ReadSection(
      "Mixed=0\r\nForceMixed=0\r\nTLS=1\r\nSSL=1\r\nRaw=0\r\nBeat=0\r\nStatus=0\r\nInfo=0\r\nCancel=0\r\n"
      "TLSVerify=0\r\nreceipt=1\r\nhost=mail.example.org:587\r\nlogin=meteo\r\nkenwort=secret\r\n");
  EXPECT_FALSE(t.Mixed);
  EXPECT_FALSE(t.ForceMixed);
  EXPECT_TRUE(t.StartTLS);
  EXPECT_TRUE(t.ImplicitTLS);
  EXPECT_FALSE(t.RawText);
  EXPECT_FALSE(t.Heartbeat);
  EXPECT_FALSE(t.ShowStatus);
  EXPECT_FALSE(t.ShowReplies);
  EXPECT_FALSE(t.AbortOnError);
  EXPECT_FALSE(t.TLSVerify);
  EXPECT_TRUE(t.Receipt);
  EXPECT_EQ(t.Server, "mail.example.org:587");
  EXPECT_EQ(t.Login, "meteo");
  EXPECT_EQ(t.Password, "secret");
}

TEST(SMTPSettings, IntegerKeysAreFoldedIntoRange) {
  struct Case {
    std::string line;
    int tick;
    TMailCharset head, text;
    TMailEncoding mime;
  };
  const Case cases[] = {
      {"Tick=0", 0, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=20", 150, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=149", 150, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=150", 150, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=16000", 1000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=15000", 0, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"Tick=-3000", 3000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"HeadKod=5", 1000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::SevenBit},
      {"HeadKod=-2\r\nTextKod=3", 1000, TMailCharset::Utf7, TMailCharset::Utf8, TMailEncoding::SevenBit},
      {"TextKod=4", 1000, TMailCharset::Koi8R, TMailCharset::Windows1251, TMailEncoding::SevenBit},
      {"mime=9", 1000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::Base64},
      {"mime=-5", 1000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::XXEncode},
      {"mime=4", 1000, TMailCharset::Koi8R, TMailCharset::Koi8R, TMailEncoding::UUEncode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    tSMTPTaskRecord t = ReadSection(c.line + "\r\n");
    EXPECT_EQ(t.TickMs, c.tick);
    EXPECT_EQ(t.HeaderCharset, c.head);
    EXPECT_EQ(t.TextCharset, c.text);
    EXPECT_EQ(t.Encoding, c.mime);
  }
}

TEST(SMTPSettings, CompleteOnlyWithHostLoginAndPassword) {
  struct Case {
    std::string body;
    bool complete;
  };
  const Case cases[] = {
      {"host=h\r\nlogin=l\r\nkenwort=p\r\n", true},
      {"login=l\r\nkenwort=p\r\n", false},
      {"host=h\r\nkenwort=p\r\n", false},
      {"host=h\r\nlogin=l\r\n", false},
      {"host=h\r\nlogin=l\r\nkenwort=\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    bool complete = !c.complete;
    ReadSection(c.body, &complete);
    EXPECT_EQ(complete, c.complete);
  }
}

TEST(SMTPSettings, ScrambledPasswordUsesTheKeyOnlyWhenCiphered) {
  // "pw" = 70 77; with key "AB" (41 42): 31 35.
  tSMTPTaskRecord ciphered = ReadSection("cipher=1\r\nkenwort=3135\r\nschlsl=AB\r\n");
  EXPECT_EQ(ciphered.PasswordKey, "AB");
  EXPECT_EQ(SMTPPassword(ciphered), "pw");

  tSMTPTaskRecord plain = ReadSection("cipher=0\r\nkenwort=3135\r\nschlsl=AB\r\n");
  EXPECT_EQ(plain.PasswordKey, "");
  EXPECT_EQ(SMTPPassword(plain), "3135");
}

TEST(SMTPServerSetting, HostAndOptionalPort) {
  struct Case {
    std::string server, host;
    int port;
  };
  const Case cases[] = {
      {"mail.example.org", "mail.example.org", 25},
      {"mail.example.org:587", "mail.example.org", 587},
      {"  mail.example.org : 465 ", "mail.example.org", 465},
      {"mail.example.org:", "mail.example.org", 0},
      {"mail.example.org:smtp", "mail.example.org", 0},
      {"mail.example.org:70000", "mail.example.org", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.server);
    TSMTPServer s = SplitServer(c.server);
    EXPECT_EQ(s.Host, c.host);
    EXPECT_EQ(s.Port, c.port);
  }
}

TEST(SMTPAddresses, CommasInsideQuotesDoNotSplit) {
  EXPECT_EQ(SplitAddressList("\"Ivanov, I.\" <a@x.org>, b@x.org"),
            (TextList{"\"Ivanov, I.\" <a@x.org>", "b@x.org"}));
  EXPECT_EQ(SplitAddressList("a@x.org,,b@x.org"), (TextList{"a@x.org", "", "b@x.org"}));
  EXPECT_EQ(BareAddress("\"Ivanov, I.\" <a@x.org>"), "a@x.org");
  EXPECT_EQ(BareAddress("  b@x.org "), "b@x.org");
  EXPECT_EQ(BareAddress("Station <st@x.org> "), "st@x.org");
}

TEST(SMTPAddresses, EnvelopeRecipientsInOrderToCcBcc) {
  tSMTPTaskRecord t;
  t.To = "a@x.org, \"Ivanov, I.\" <b@x.org>";
  t.Cc = "c@x.org";
  t.Bcc = "d@x.org";
  EXPECT_EQ(EnvelopeRecipients(t), (TextList{"a@x.org", "b@x.org", "c@x.org", "d@x.org"}));

  t.Cc = "";
  t.To = "a@x.org,, b@x.org";  // an empty item after an address is skipped
  EXPECT_EQ(EnvelopeRecipients(t), (TextList{"a@x.org", "b@x.org", "d@x.org"}));

  t.To = "";  // nothing before the first comma: no recipient at all
  EXPECT_TRUE(EnvelopeRecipients(t).empty());
  t.To = " , a@x.org";
  EXPECT_TRUE(EnvelopeRecipients(t).empty());
}

TEST(SMTPAddresses, FilledFromTheMailSectionWithReceiptsWhenAsked) {
  tMailSettings mail;
  mail.From = "Station <st@x.org>";
  mail.To = "a@x.org";
  mail.BCC = "d@x.org";
  for (bool receipt : {false, true}) {
    SCOPED_TRACE(receipt);
    tSMTPTaskRecord t;
    t.Receipt = receipt;
    FillSMTPAddresses(t, mail, true);
    EXPECT_TRUE(t.TextMode);
    EXPECT_EQ(t.From, "Station <st@x.org>");
    EXPECT_EQ(t.To, "a@x.org");
    EXPECT_EQ(t.Cc, "");
    EXPECT_EQ(t.Bcc, "d@x.org");
    EXPECT_EQ(t.ReceiptAddress, receipt ? mail.From : "");
    EXPECT_EQ(t.NotificationAddress, receipt ? mail.From : "");
  }
}

}  // namespace
}  // namespace tern
