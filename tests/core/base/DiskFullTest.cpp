// A full disk during a write, simulated with a file-size limit.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "base/Error.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

using namespace tern;

namespace {

size_t FilesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

}  // namespace

TEST(DiskFull, AtomicWriteKeepsTheOldFileAndLeavesNothingBehind) {
  tern::test::TempDir dir;
  const std::string path = dir / "A_IUKD90RUMS051200_27612.bin";
  tern::test::WriteBytes(path, "old message");
  {
    tern::test::FileSizeLimit limit(64);
    try {
      WriteFileAtomic(path, std::string(4096, 'x'));
      FAIL() << "a write beyond the limit must fail";
    } catch (const TernError& e) {
      EXPECT_NE(e.Text().find("A_IUKD90RUMS051200_27612.bin"), std::string::npos);
    }
  }
  EXPECT_EQ(tern::test::ReadBytes(path), "old message");
  EXPECT_EQ(FilesIn(dir.path()), 1u);  // no temporary file left
}

TEST(DiskFull, InterruptedSettingsWriteKeepsTheOldSettings) {
  tern::test::TempDir dir;
  const std::string path = dir / "ASCVAR.CNF";
  std::string big = "[Counters]\r\nBUFR=41\r\n[Observers]\r\n";
  for (int i = 0; i < 200; ++i) big += "smena" + std::to_string(i) + "=XXXX\r\n";
  tern::test::WriteBytes(path, big);
  TMyIniFile ini(path);
  {
    tern::test::FileSizeLimit limit(128);
    EXPECT_THROW(ini.WriteInteger("Counters", "BUFR", 42), TernError);
  }
  EXPECT_EQ(ini.ReadInteger("Counters", "BUFR", 0), 41);
  EXPECT_EQ(tern::test::ReadBytes(path), big);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}
