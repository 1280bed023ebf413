// A settings write never destroys what it cannot read or may not change: the
// ".GTS" of an ascent and ASCVAR.CNF hold records nothing else keeps.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "OtherUser.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Files.h"
#include "config/CodesChecksum.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::TempDir;

namespace {

const std::string kGts =
    "[Ascent]\r\nNumber=412\r\n[BUFR]\r\nI=09.12.2026 11:40\r\n[GTS]\r\nAA=09.12.2026 11:31\r\nBB=09.12.2026 11:33\r\n";

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

}  // namespace

TEST(SettingsWrite, FileThatCannotBeReadOrChangedStaysAsItWas) {
  struct Case {
    const char* what;
    const char* name;
    mode_t mode;
    std::function<void(const std::string& path)> write;
  };
  const Case cases[] = {
      {"write-only .GTS, TTCC sent", "27612.GTS", 0200,
       [](const std::string& p) { TMyIniFile(p).WriteString("GTS", "CC", "09.12.2026 12:10"); }},
      {"unreadable ASCVAR.CNF, counter advanced", "ASCVAR.CNF", 0000,
       [](const std::string& p) { TMyIniFile(p).WriteInteger("Ascent", "Number", 413); }},
      {"read-only .GTS, a new key", "27612.GTS", 0444,
       [](const std::string& p) { TMyIniFile(p).WriteString("GTS", "DD", "09.12.2026 12:12"); }},
      {"read-only .GTS, a key replaced", "27612.GTS", 0444,
       [](const std::string& p) { TMyIniFile(p).WriteString("GTS", "BB", "09.12.2026 12:00"); }},
      {"read-only .GTS, a key deleted", "27612.GTS", 0444,
       [](const std::string& p) { TMyIniFile(p).DeleteKey("GTS", "AA"); }},
      {"read-only .GTS, a section erased", "27612.GTS", 0444,
       [](const std::string& p) { TMyIniFile(p).EraseSection("BUFR"); }},
      {"read-only .crc, code tables signed again", "BUFRCODES.crc", 0444,
       [](const std::string& p) { WriteCodesChecksum(ExtractFilePath(p) + "BUFRCODES.CNF"); }},
      {"read-only BUFR file", "A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin", 0444,
       [](const std::string& p) { WriteFileAtomic(p, "new message"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string folder = dir / "station/";
    const std::string path = folder + c.name;
    test::WriteBytes(folder + "BUFRCODES.CNF", "[BUFR]\r\nA=1\r\n");
    test::WriteBytes(path, kGts);
    ::chmod(dir.path().c_str(), 0711);
    ::chmod(folder.c_str(), 0755);
    test::GiveToOtherUser(folder);
    test::GiveToOtherUser(path);
    ::chmod(path.c_str(), c.mode);
    const size_t before = EntriesIn(folder);
    const auto child = test::AsOtherUser([&]() -> std::string {
      try {
        c.write(path);
      } catch (const TernError& e) {
        // The message names the file the write was refused for.
        return e.Text().find(c.name) != std::string::npos ? std::string() : "message without the file: " + e.Text();
      }
      return "the write went through";
    });
    EXPECT_EQ(child.exitCode, 0) << child.failure;
    EXPECT_EQ(child.failure, "");
    EXPECT_EQ(test::ReadBytes(path), kGts);
    struct stat st{};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_EQ(EntriesIn(folder), before);  // no temporary left behind
  }
}

TEST(SettingsWrite, LinkedSettingsFileIsWrittenThroughTheLink) {
  struct Case {
    const char* what;
    std::function<std::string(const TempDir&)> link;  // the link's text
  };
  const Case cases[] = {
      {"absolute link", [](const TempDir& d) { return d / "real/ASCVAR.CNF"; }},
      {"relative link", [](const TempDir&) { return std::string("../real/ASCVAR.CNF"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string real = dir / "real/ASCVAR.CNF";
    const std::string linked = dir / "settings/ASCVAR.CNF";
    test::WriteBytes(real, "[Counters]\r\nBUFR=41\r\n");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_directories(dir / "settings");
    ASSERT_EQ(::symlink(c.link(dir).c_str(), linked.c_str()), 0);

    TMyIniFile(linked).WriteInteger("Counters", "BUFR", 42);
    TMyIniFile(linked).WriteString("Observers", "smena1", "Ivanova");

    EXPECT_TRUE(std::filesystem::is_symlink(linked));
    EXPECT_EQ(test::ReadBytes(real), "[Counters]\r\nBUFR=42\r\n\r\n[Observers]\r\nsmena1=Ivanova\r\n");
    struct stat st{};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(dir / "settings"), 1u);
    EXPECT_EQ(EntriesIn(dir / "real"), 1u);
  }
}

TEST(SettingsWrite, LinkPlantedByAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "a second user needs root to play";
  TempDir dir;
  const std::string secret = dir / "private/notes";
  const std::string share = dir / "archive/";
  const std::string gts = share + "27612.GTS";
  test::WriteBytes(secret, "private notes\n");
  std::filesystem::create_directories(share);
  ::chmod(dir.path().c_str(), 0711);
  ::chmod(share.c_str(), 0777);
  const auto child = test::AsOtherUser(
      [&]() -> std::string { return ::symlink(secret.c_str(), gts.c_str()) == 0 ? "" : "cannot plant"; });
  ASSERT_EQ(child.exitCode, 0) << child.failure;

  const std::string error = test::ErrorOf([&] { TMyIniFile(gts).WriteString("GTS", "AA", "09.12.2026 11:31"); });
  EXPECT_NE(error.find("27612.GTS"), std::string::npos) << error;
  EXPECT_EQ(test::ReadBytes(secret), "private notes\n");
  EXPECT_TRUE(std::filesystem::is_symlink(gts));
  EXPECT_EQ(EntriesIn(share), 1u);
}
