// tern2bufr-cli through the real executable, on a copy of the demo station.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "../bufr/EccodesDecode.h"
#include "OtherUser.h"
#include "TestSupport.h"
#include "base/Files.h"
#include "config/CodesChecksum.h"
#include "config/MyIniFile.h"

namespace fs = std::filesystem;
using tern::test::TempDir;

namespace {

const std::string kDemo = std::string(TERN_FIXTURES) + "/../../demo/";
const char* kAscent = "20261209-1117";

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

CliRun Cli(const std::string& args, const TempDir& dir) {
  const std::string errFile = dir / "stderr.txt";
  const std::string command = "cd '" + dir.path() + "' && '" + TERN_CLI + "' " + args + " 2>'" + errFile + "'";
  CliRun r;
  FILE* p = popen(command.c_str(), "r");
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = tern::test::ReadBytes(errFile);
  return r;
}

// The demo station and its Corvo ascents, copied so that written files stay in the test's folder.
void CopyDemo(const TempDir& dir) {
  fs::copy(kDemo + "settings", dir / "settings", fs::copy_options::recursive);
  fs::copy(kDemo + "ascents/corvo", dir / "ascents", fs::copy_options::recursive);
  fs::create_directories(dir / "demo/out/TLG");
  fs::create_directories(dir / "demo/out/BUFR");
}

std::string Ascent(const TempDir& dir) { return dir / "ascents/" + kAscent + ".info"; }

}  // namespace

TEST(Cli, OpenPrintsTheAscentTimes) {
  TempDir dir;
  CopyDemo(dir);
  const CliRun r = Cli("-C settings open " + Ascent(dir), dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "source: 20261209-1117\n"
            "launch: 09.12.2026 11:17:00\n"
            "observation: 09.12.2026 11:00:00\n"
            "radiosonde: 90\n");
}

TEST(Cli, LevelsPrintsTheDataCheckTable) {
  TempDir dir;
  CopyDemo(dir);
  const CliRun r = Cli("-C settings levels " + Ascent(dir) + " --bufr1", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "    t      P     T    dT     H   D   f    dLat    dLon Признаки");
  EXPECT_NE(r.out.find("\n    0 1012.6  13.9  11.4   187 203   3  0.0000  0.0000 STUW\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nlevels: 1576 included: 1576\n"), std::string::npos);
}

TEST(Cli, BufrWritesTheFileThatDecodes) {
  TempDir dir;
  CopyDemo(dir);
  const CliRun r = Cli("-C settings bufr " + Ascent(dir) + " --bufr2 --bbb CCB --number 412 --bulletin 7", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string path = r.out.substr(0, r.out.size() - 1);
  EXPECT_EQ(path, dir / "ascents/A_IUSD01RUMS091100CCB_C_RUMS_202612091117_27612.bin");
  ASSERT_TRUE(tern::FileExists(path));
  const auto d = tern::test::DecodeWithEccodes(path, {"updateSequenceNumber", "stationNumber", "radiosondeAscensionNumber"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Number("updateSequenceNumber"), 2);  // CCB: the second correction
  EXPECT_EQ(d.Number("stationNumber"), 612);
  EXPECT_EQ(d.Number("radiosondeAscensionNumber"), 412);
}

TEST(Cli, BufrStopsOnValuesTheMessageCannotCarry) {
  TempDir dir;
  CopyDemo(dir);
  const CliRun r = Cli("-C settings bufr " + Ascent(dir) + " --bufr1 --lift 9", dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("\nподъёмная сила: 9.000 кг (пределы 0.000..8.190 кг)\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("  answer: 2\n"), std::string::npos) << r.err;
  EXPECT_FALSE(tern::FileExists(dir / "ascents/A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin"));

  const CliRun send = Cli("-C settings send " + Ascent(dir) + " BUFR1 --rara 0 --lift 9", dir);
  EXPECT_EQ(send.code, 1);
  EXPECT_NE(send.err.find("\nподъёмная сила: 9.000 кг (пределы 0.000..8.190 кг)\n"), std::string::npos) << send.err;
  EXPECT_NE(send.out.find("Не отправлено"), std::string::npos) << send.out;
  EXPECT_FALSE(tern::FileExists(dir / "ascents/A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin"));
}

TEST(Cli, BulletinIsTheExactBytesOfTheMessage) {
  TempDir dir;
  CopyDemo(dir);
  const CliRun r = Cli("-C settings bulletin " + Ascent(dir) + " TTAA", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, tern::test::ReadBytes(tern::test::FixturePath("cli/TTAA-20261209-1117.txt")));
}

TEST(Cli, SignAndCheckCodes) {
  TempDir dir;
  CopyDemo(dir);
  const std::string codes = dir / "settings/BUFRCODES.CNF";
  EXPECT_EQ(Cli("check-codes " + codes, dir).code, 0);
  tern::test::WriteBytes(codes, tern::test::ReadBytes(codes) + "; edited\r\n");
  EXPECT_EQ(Cli("check-codes " + codes, dir).code, 1);
  EXPECT_EQ(Cli("sign-codes " + codes, dir).code, 0);
  EXPECT_EQ(Cli("check-codes " + codes, dir).code, 0);
  EXPECT_TRUE(tern::CheckCodesFile(codes));
}

TEST(Cli, ExitCodes) {
  TempDir dir;
  CopyDemo(dir);
  struct Case { std::string args; int code; };
  const Case cases[] = {
      {"", 2},
      {"frobnicate", 2},
      {"-C settings levels " + Ascent(dir), 2},               // no message kind
      {"-C settings levels " + Ascent(dir) + " --bufr1 --bufr2", 2},
      {"-C settings bulletin " + Ascent(dir) + " TTZZ", 2},
      {"-C settings bufr " + Ascent(dir) + " --bufr1 --number x", 2},
      {"-C settings open " + (dir / "ascents/nothing.info"), 1},
      {"-C missing-folder open " + Ascent(dir), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.args, dir).code, c.code) << c.args;
}

TEST(Cli, HelpPrintsTheUsageAndSucceeds) {
  TempDir dir;
  for (const char* args : {"--help", "-h"}) {
    const CliRun r = Cli(args, dir);
    EXPECT_EQ(r.code, 0) << args;
    EXPECT_EQ(r.out.rfind("usage: tern2bufr-cli", 0), 0u) << args;
    EXPECT_NE(r.out.find("bulletin ASCENT"), std::string::npos) << args;
  }
}

TEST(Cli, BufrIsNotTurnedAgainstTheUserByLinksInASharedArchive) {
  TempDir dir;
  CopyDemo(dir);
  const std::string secret = dir / "private/secret";
  tern::test::WriteBytes(secret, "the operator's own file\n");
  ::chmod(dir.path().c_str(), 0711);
  ::chmod((dir / "private").c_str(), 0700);
  ::chmod((dir / "ascents").c_str(), 0777);  // a group-writable archive share
  const std::string bufr = dir / "ascents/A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin";
  const auto child = tern::test::AsOtherUser([&]() -> std::string {
    for (const std::string& name : {bufr + ".tmp~", bufr})
      if (::symlink(secret.c_str(), name.c_str()) != 0) return "cannot plant " + name;
    return {};
  });
  ASSERT_EQ(child.exitCode, 0) << child.failure;

  const CliRun r = Cli("-C settings bufr " + Ascent(dir) + " --bufr1", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.size() - 1), bufr);
  EXPECT_EQ(tern::test::ReadBytes(secret), "the operator's own file\n");
  struct stat st{};
  ASSERT_EQ(::lstat(bufr.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_uid, ::geteuid());
  EXPECT_NE(tern::test::ReadBytes(bufr).find("BUFR"), std::string::npos);
}

// The automatic checks: "qc" prints only the suspects, "levels" after its
// table; a planted temperature spike (10 °C at 4233 gpm) is the one suspect.
TEST(Cli, QcPrintsTheSuspectsAndSucceeds) {
  TempDir dir;
  CopyDemo(dir);
  const std::string prof = dir / "ascents/" + kAscent + ".prof";
  std::string text = tern::test::ReadBytes(prof);
  const std::string line = " 778.0   4941  4233  610.91  54.97  44.84  234.9   4.7 -12.61";
  const size_t at = text.find(line);
  ASSERT_NE(at, std::string::npos);
  text.replace(at + line.size() - 6, 6, " -2.61");
  tern::test::WriteBytes(prof, text);

  const CliRun qc = Cli("-C settings qc " + Ascent(dir) + " --bufr1", dir);
  EXPECT_EQ(qc.code, 0) << qc.err;
  EXPECT_NE(qc.out.find("suspects: 1\n"), std::string::npos) << qc.out;
  EXPECT_NE(qc.out.find("(t 778, P 610.9): Выброс температуры: отклонение 10.0 °C, предел 3.0 °C\n"),
            std::string::npos)
      << qc.out;

  const CliRun levels = Cli("-C settings levels " + Ascent(dir) + " --bufr1", dir);
  EXPECT_EQ(levels.code, 0) << levels.err;
  const size_t table = levels.out.find("\nlevels: ");
  ASSERT_NE(table, std::string::npos);
  EXPECT_NE(levels.out.find(qc.out, table), std::string::npos) << levels.out.substr(table);
}

// The demo ascents of both families are plausible soundings: the automatic
// checks find nothing in either message of any of them.
TEST(Cli, QcFindsNothingInTheDemoAscents) {
  TempDir dir;
  CopyDemo(dir);
  for (const char* name : {"20261208-2316", "20261209-1117"})
    for (const char* kind : {"--bufr1", "--bufr2"}) {
      const CliRun r = Cli("-C settings qc " + dir / "ascents/" + name + ".info " + kind, dir);
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(r.out, "suspects: 0\n") << name << " " << kind;
    }
  fs::copy(kDemo + "ascents/kiosk", dir / "kiosk", fs::copy_options::recursive);
  tern::TMyIniFile(dir / "settings/STATION.CNF").WriteInteger("TERN", "TERN", 8);
  tern::TMyIniFile(dir / "settings/TERN2BFR.CNF").WriteString("OPTIONS", "Src", dir / "kiosk/");
  for (const char* kind : {"--bufr1", "--bufr2"}) {
    const CliRun r = Cli("-C settings qc " + dir / "kiosk/RAW/2612/26120900.stg " + kind, dir);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "suspects: 0\n") << "kiosk " << kind;
  }
}
