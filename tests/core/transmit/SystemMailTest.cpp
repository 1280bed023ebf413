#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TestSupport.h"
#include "transmit/mail/SystemMail.h"

namespace tern {
namespace {

struct CapturingHandOff : IMailHandOff {
  std::vector<tMapiMessage> sent;
  int Send(const tMapiMessage& message, bool) override {
    sent.push_back(message);
    return 0;
  }
};

TEST(SystemMail, RecipientsByClassInOrderToCcBcc) {
  CapturingHandOff handOff;
  TextList to = {"a@example.org", "b@example.org"}, bcc = {"hidden@example.org"};
  EXPECT_EQ(SendMailMAPI(cp("Бюллетень"), "TTAA 27612", nullptr, true, nullptr, &to, nullptr, &bcc, handOff), 0);
  ASSERT_EQ(handOff.sent.size(), 1u);
  const tMapiMessage& m = handOff.sent[0];
  EXPECT_EQ(m.Subject, cp("Бюллетень"));
  EXPECT_EQ(m.NoteText, "TTAA 27612");
  EXPECT_TRUE(m.Files.empty());
  ASSERT_EQ(m.Recipients.size(), 3u);
  const std::pair<TMapiRecipientClass, std::string> expected[] = {{TMapiRecipientClass::To, "a@example.org"},
                                                                  {TMapiRecipientClass::To, "b@example.org"},
                                                                  {TMapiRecipientClass::Bcc, "hidden@example.org"}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(m.Recipients[i].Class, expected[i].first);
    EXPECT_EQ(m.Recipients[i].Name, expected[i].second);
    EXPECT_EQ(m.Recipients[i].Address, "SMTP:" + expected[i].second);
  }
}

TEST(SystemMail, BufrSendHasOneAttachmentAndNoText) {
  CapturingHandOff handOff;
  TextList to = {"a@example.org"}, cc = {"c@example.org"}, files = {"/data/bufr/2026/12/A_IUSD01RUMS.bin", "/x/ignored"};
  SendMailMAPI("BUFR", "", nullptr, true, &files, &to, &cc, nullptr, handOff);
  ASSERT_EQ(handOff.sent.size(), 1u);
  const tMapiMessage& m = handOff.sent[0];
  EXPECT_EQ(m.NoteText, "");
  ASSERT_EQ(m.Files.size(), 1u);
  EXPECT_EQ(m.Files[0].PathName, "/data/bufr/2026/12/A_IUSD01RUMS.bin");
  EXPECT_EQ(m.Files[0].FileName, "A_IUSD01RUMS.bin");
  EXPECT_EQ(m.Files[0].Position, -1);
  ASSERT_EQ(m.Recipients.size(), 2u);
  EXPECT_EQ(m.Recipients[1].Class, TMapiRecipientClass::Cc);

  TextList none;
  SendMailMAPI("BUFR", "", nullptr, true, &none, &to, nullptr, nullptr, handOff);
  EXPECT_TRUE(handOff.sent.back().Files.empty());
}

// PATH pointing at a folder of stand-in programs for the duration of a test.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& folder) {
    const char* old = std::getenv("PATH");
    old_ = old ? old : "";
    setenv("PATH", folder.c_str(), 1);
  }
  ~ScopedPath() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

// A stand-in xdg-email that writes each argument on its own line and exits
// with the code in XDG_STANDIN_EXIT.
void InstallStandIn(const test::TempDir& dir) {
  test::WriteBytes(dir / "bin/xdg-email",
                   "#!/bin/sh\n"
                   "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$XDG_STANDIN_LOG\"\n"
                   "exit ${XDG_STANDIN_EXIT:-0}\n");
  chmod((dir / "bin/xdg-email").c_str(), 0755);
}

std::vector<std::string> RecordedArguments(const test::TempDir& dir) {
  std::vector<std::string> args;
  for (auto& line : SplitLines(test::ReadBytes(dir / "args"))) args.push_back(line);
  return args;
}

TEST(SystemMail, XdgEmailGetsTheComposeCommand) {
  test::TempDir dir;
  InstallStandIn(dir);
  ScopedPath path(dir / "bin" + ":/usr/bin:/bin");
  setenv("XDG_STANDIN_LOG", (dir / "args").c_str(), 1);
  setenv("XDG_STANDIN_EXIT", "0", 1);

  TextList to = {"a@example.org", "b@example.org"}, cc = {"c@example.org"}, bcc = {"hidden@example.org"};
  EXPECT_EQ(SendMailMAPI(cp("Бюллетень TTAA"), cp("ТЕСТ 27612"), nullptr, true, nullptr, &to, &cc, &bcc), 0);
  EXPECT_EQ(RecordedArguments(dir),
            (std::vector<std::string>{"--utf8", "--cc", "c@example.org", "--bcc", "hidden@example.org", "--subject",
                                      "Бюллетень TTAA", "--body", "ТЕСТ 27612", "a@example.org", "b@example.org"}));

  TextList files = {"/data/A_IUSD01RUMS.bin"};
  EXPECT_EQ(SendMailMAPI("", "", nullptr, true, &files, &to, nullptr, nullptr), 0);
  EXPECT_EQ(RecordedArguments(dir), (std::vector<std::string>{"--utf8", "--attach", "/data/A_IUSD01RUMS.bin",
                                                              "a@example.org", "b@example.org"}));

  // The client's own failure code comes back unchanged.
  setenv("XDG_STANDIN_EXIT", "4", 1);
  EXPECT_EQ(SendMailMAPI("s", "b", nullptr, true, nullptr, &to, nullptr, nullptr), 4);
  unsetenv("XDG_STANDIN_LOG");
  unsetenv("XDG_STANDIN_EXIT");
}

TEST(SystemMail, NoMailClientInterfaceGivesMinusOne) {
  test::TempDir dir;
  ScopedPath path(dir.path());  // a folder without xdg-email
  TextList to = {"a@example.org"};
  EXPECT_EQ(SendMailMAPI("s", "b", nullptr, true, nullptr, &to, nullptr, nullptr), -1);
}

}  // namespace
}  // namespace tern

namespace tern {
namespace {

// xdg-email returns once the compose window is open, sent or not: the desk
// must ask the operator instead of taking 0 for a sent message.
TEST(SystemMail, TheDesktopHandOffLeavesTheOutcomeToTheOperator) {
  EXPECT_FALSE(TXdgEmailHandOff().ReportsOutcome());
  EXPECT_FALSE(PlatformMailReportsOutcome());
}

}  // namespace
}  // namespace tern
