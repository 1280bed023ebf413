#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "app/Startup.h"
#include "base/Files.h"
#include "base/Text.h"

using namespace tern;

TEST(Switches, ValuesAndPresence) {
  struct Case { ParamList params; const char* name; std::string value; bool present; };
  const Case cases[] = {
      {{"/c", "D:\\cfg"}, "C", "D:\\cfg", true},
      {{"-C", "D:\\cfg"}, "c", "D:\\cfg", true},
      {{"/C", "/L", "x.log"}, "C", "/L", true},  // the value is used unchanged
      {{"-L", "x.log", "/C"}, "C", "", true},    // last parameter: no value
      {{"/", "C"}, "C", "", false},              // a lone slash is not a switch
      {{"-q"}, "Q", "", true},
      {{"/AC"}, "A", "", false},
      {{"x", "-C", "one", "-C", "two"}, "C", "one", true},  // the first one decides
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindSwitchValue(c.params, c.name), c.value);
    EXPECT_EQ(HasSwitch(c.params, c.name), c.present);
  }
}

TEST(Log, DateLineIsTheDayNumberInA23CharacterField) {
  EXPECT_EQ(LogDateLine(46365.5), " 4.63655000000000E+0004");
  EXPECT_EQ(LogDateLine(-0.25), "-2.50000000000000E-0001");
  EXPECT_EQ(LogDateLine(46365.5).size(), 23u);
}

TEST(Log, EachStartAppendsADateLineAndLinesEndWithCrLf) {
  tern::test::TempDir dir;
  const std::string path = dir / "desk.log";
  ASSERT_TRUE(Log::Open(path, 46365.5));
  Log::Write("Run");
  ASSERT_TRUE(Log::Open(path, 46366.0));
  Log::Write("Run");
  EXPECT_EQ(tern::test::ReadBytes(path),
            " 4.63655000000000E+0004\r\nRun\r\n 4.63660000000000E+0004\r\nRun\r\n");
  EXPECT_FALSE(Log::Open(dir / "missing/dir/x.log", 1.0));
  EXPECT_FALSE(Log::Enabled());
  Log::Write("ignored");  // disabled: nothing happens, no error
  Log::Disable();
}

TEST(Folders, ForceFoldersAndCopy) {
  tern::test::TempDir dir;
  ForceFolders(dir / "a\\b/c\\");
  EXPECT_TRUE(FolderExists(dir / "a/b/c"));
  ForceFolders("");
  tern::test::WriteBytes(dir / "src.bin", std::string("\0\x01\xFF", 3));
  EXPECT_TRUE(CopyFileTo(dir / "src.bin", dir / "a/b/c/dst.bin"));
  EXPECT_EQ(tern::test::ReadBytes(dir / "a/b/c/dst.bin"), std::string("\0\x01\xFF", 3));
  EXPECT_THROW(CopyFileTo(dir / "absent", dir / "x"), std::exception);
  EXPECT_EQ(FileSizeOf(dir / "src.bin"), 3);
  EXPECT_EQ(FileSizeOf(dir / "a"), -1);
}

TEST(Folders, CompanionFilesExactNameFirstThenAnyCase) {
  tern::test::TempDir dir;
  tern::test::WriteBytes(dir / "asc.INFO", "x");
  EXPECT_EQ(FindCompanionFile(dir / "asc", ".info"), dir / "asc.INFO");
  tern::test::WriteBytes(dir / "asc.info", "y");
  EXPECT_EQ(FindCompanionFile(dir / "asc", ".info"), dir / "asc.info");
  EXPECT_FALSE(FindCompanionFile(dir / "asc", ".prof"));
}

TEST(Folders, ProgramFolderIsAPortableCopyOrTheUsersOwn) {
  tern::test::TempDir dir;
  const std::string portable = dir / "portable/", installed = dir / "usr/bin/", user = dir / "home/.config/tern2bufr/";
  ForceFolders(portable);
  ForceFolders(installed);
  tern::test::WriteBytes(portable + "STATION.CNF", "[TERN]\r\nTERN=5\r\n");
  struct Case { ParamList params; std::string exe; std::string expected; };
  const Case cases[] = {
      {{}, portable, portable},                     // settings beside the executable: a portable copy
      {{}, installed, user},                        // an installed program: the user's folder
      {{"-C", portable}, installed, user},          // the settings switch does not move ASCVAR.CNF
      {{"/ac"}, portable, dir / "work/"},           // the working folder wins over both
      {{}, dir / "portable", portable},             // the separator is added
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProgramFolderFor(c.params, dir / "work", c.exe, user), c.expected) << c.exe;
}

TEST(Folders, UserProgramFolderFollowsXdgConfigHome) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  struct Case { const char* xdg; std::string expected; };
  const Case cases[] = {
      {"/srv/cfg", "/srv/cfg/tern2bufr/"},
      {"/srv/cfg/", "/srv/cfg/tern2bufr/"},
      {"", IncludeTrailingSeparator(home.empty() ? "/" : home) + ".config/tern2bufr/"},
      {"relative/cfg", IncludeTrailingSeparator(home.empty() ? "/" : home) + ".config/tern2bufr/"},
  };
  for (const auto& c : cases) {
    ::setenv("XDG_CONFIG_HOME", c.xdg, 1);
    EXPECT_EQ(UserProgramFolder(), c.expected) << c.xdg;
  }
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
}
