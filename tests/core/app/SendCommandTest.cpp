// The unattended send of the command line: the real program on a copy of the
// demo station, by folder and by SMTP to a local relay.
#include "app/SendCommand.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "../transmit/SmtpRelay.h"
#include "DemoStation.h"
#include "base/Error.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

namespace tern {
namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;  // utf-8
};

CliRun RunCli(const std::string& folder, const std::string& arguments) {
  CliRun r;
  const std::string command = "cd '" + folder + "' && '" + TERN_CLI + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Send(const test::DemoStation& s, const std::string& rest) {
  return "-C '" + s.settings + "' send '" + s.ascent + "' " + rest;
}

TEST(SendCommand, FolderModeSavesRecordsAndSucceeds) {
  test::DemoStation s;
  const CliRun r = RunCli(s.dir.path(), Send(s, "TTBB --bbb CCA --serial 7654321 --rara 0"));
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("Сообщение: TTBB CCA"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Отправлено"), std::string::npos) << r.out;
  TMyIniFile gts(s.SentFile());
  EXPECT_EQ(gts.ReadString("GTS", "BBB_BB", ""), "CCA");
  EXPECT_NE(gts.ReadString("GTS", "BB", ""), "");
  EXPECT_EQ(gts.ReadString("Ascent", "RS", ""), "7654321");
}

TEST(SendCommand, BufrBySmtpCountsInTheVariablesFile) {
  test::DemoStation s;
  test::SmtpRelay relay;
  s.Set("ASPD.CNF", "SPOOLING", "BUFR", "4");
  s.Set("ASPD.CNF", "SMTPBIN", "host", relay.Host());
  s.Set("ASPD.CNF", "SMTPBIN", "login", "meteo");
  s.Set("ASPD.CNF", "SMTPBIN", "kenwort", "secret");
  s.Set("ASPD.CNF", "MAILBIN", "MailFrom", "st@example.org");
  s.Set("ASPD.CNF", "MAILBIN", "MailTo", "gts@example.org");
  const CliRun r = RunCli(s.dir.path(), Send(s, "BUFR1 --rara 0 --balloon 0 --gas 0 --observer ABC"));
  ASSERT_EQ(r.exitCode, 0) << r.out;
  ASSERT_EQ(relay.Messages().size(), 1u);
  EXPECT_EQ(relay.Events("RCPT"), std::vector<std::string>{"RCPT gts@example.org"});
  EXPECT_EQ(TMyIniFile(s.dir / "ASCVAR.CNF").ReadInteger("BUFR", "NNN", -1), 1);
  EXPECT_NE(TMyIniFile(s.SentFile()).ReadString("GTS", "AB", ""), "");

  // A refused login: nothing recorded, a failing exit code.
  s.Set("ASPD.CNF", "SMTPBIN", "kenwort", "wrong");
  const CliRun refused = RunCli(s.dir.path(), Send(s, "BUFR2 --rara 0"));
  EXPECT_EQ(refused.exitCode, 1) << refused.out;
  EXPECT_NE(refused.out.find("Не отправлено"), std::string::npos) << refused.out;
  EXPECT_EQ(TMyIniFile(s.SentFile()).ReadString("GTS", "CD", ""), "");
  EXPECT_EQ(relay.Messages().size(), 1u);
}

TEST(SendCommand, ClipboardModeAndBadArgumentsAreRefused) {
  test::DemoStation s;
  s.Set("ASPD.CNF", "SPOOLING", "TLG", "0");
  const CliRun clip = RunCli(s.dir.path(), Send(s, "TTAA"));
  EXPECT_EQ(clip.exitCode, 1);
  EXPECT_NE(clip.out.find("буфер обмена"), std::string::npos) << clip.out;
  EXPECT_FALSE(FileExists(s.SentFile()));

  const struct {
    std::vector<std::string> args;
    const char* error;  // utf-8
  } rows[] = {{{"a.info"}, "Укажите восхождение и сообщение"},
              {{"a.info", "TTEE"}, "Неизвестное сообщение: TTEE"},
              {{"a.info", "TTAA", "--bbb", "CA"}, "Неверный индикатор BBB: CA"},
              {{"a.info", "TTAA", "--lift"}, "Нет значения для --lift"},
              {{"a.info", "TTAA", "--lift", "x"}, "Неверное значение --lift: x"},
              {{"a.info", "TTAA", "--colour", "red"}, "Неизвестный параметр: --colour"}};
  for (const auto& row : rows) {
    std::string error;
    try {
      ParseSendArguments(row.args);
    } catch (const TernError& e) {
      error = e.Text();
    }
    EXPECT_EQ(error, cp(row.error));
  }
  const tSendRequest ok = ParseSendArguments({"a.info", "bufr2", "--bbb", "rrb", "--lift", "1.25"});
  EXPECT_EQ(ok.Tag, 8);
  EXPECT_EQ(ok.BBB, "RRB");
  EXPECT_EQ(ok.Lift, 1.25);
  EXPECT_EQ(RunCli(s.dir.path(), "send").exitCode, 2);
}

TEST(SendCommand, OptionsAreNamedAsInTheOtherCommands) {
  // Each row: the options after the message, the radiosonde index and the repeated flag they give.
  const struct {
    std::vector<std::string> options;
    std::optional<int> raRa, repeated;
  } rows[] = {{{"--radiosonde", "2"}, 2, std::nullopt},
              {{"--rara", "1"}, 1, std::nullopt},  // the earlier spelling
              {{"--repeated"}, std::nullopt, 1},
              {{"--repeated", "--radiosonde", "0"}, 0, 1},
              {{"--repeated", "0", "--rara", "3"}, 3, 0}};
  for (const auto& row : rows) {
    std::vector<std::string> args{"a.info", "BUFR1"};
    args.insert(args.end(), row.options.begin(), row.options.end());
    const tSendRequest r = ParseSendArguments(args);
    EXPECT_EQ(r.RaRa, row.raRa) << row.options.front();
    EXPECT_EQ(r.Repeated, row.repeated) << row.options.front();
  }
  // What a new user types after reading the other commands' usage is taken by send too.
  test::DemoStation s;
  const CliRun r = RunCli(s.dir.path(), Send(s, "TTBB --radiosonde 0 --repeated"));
  EXPECT_EQ(r.exitCode, 0) << r.out;
}

}  // namespace
}  // namespace tern
