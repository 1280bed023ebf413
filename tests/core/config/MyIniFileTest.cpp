#include <gtest/gtest.h>
#include <sys/stat.h>

#include "OtherUser.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::TempDir;

namespace {
const char* kSample =
    "; comment line\r\n"
    "[BUFR]\r\n"
    "[Station]\r\n"
    "  ExtMeta = 3  \r\n"
    "Index=27612\r\n"
    "Empty=\r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Mixed=\"abc'\r\n"
    "Comma=55,75\r\n"
    "Dot=55.75\r\n"
    "Exp=-1.5E2\r\n"
    "Hex=$1F\r\n"
    "Hex2=0x20\r\n"
    "Yes=yes\r\n"
    "Two=2\r\n"
    "Zero=0\r\n"
    "Date=05.03.2026\r\n"
    "BadDate=2026-03-05\r\n"
    "Time=07:08\r\n"
    "Stamp=05.03.2026 07:08:09\r\n"
    "NoEquals\r\n"
    "[station]\r\n"
    "Index=1\r\n"
    "Late=1\r\n";
}

TEST(MyIniFile, ReadsFollowTheProfileRules) {
  TempDir dir;
  tern::test::WriteBytes(dir / "s.cnf", kSample);
  const TMyIniFile ini(dir / "s.cnf");
  EXPECT_EQ(ini.ReadInteger("station", "extmeta", 0), 3);
  EXPECT_EQ(ini.ReadInteger("Station", "Index", 0), 27612);  // the first section of a name wins
  EXPECT_EQ(ini.ReadInteger("Station", "Late", 9), 9);
  EXPECT_EQ(ini.ReadString("Station", "Empty", "def"), "");
  EXPECT_EQ(ini.ReadInteger("Station", "Empty", 5), 5);
  EXPECT_EQ(ini.ReadString("Station", "Quoted", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Station", "Single", ""), "x");
  EXPECT_EQ(ini.ReadString("Station", "Mixed", ""), "\"abc'");
  EXPECT_EQ(ini.ReadFloat("Station", "Comma", -1), -1);
  EXPECT_EQ(ini.ReadFloat("Station", "Dot", -1), 55.75);
  EXPECT_EQ(ini.ReadFloat("Station", "Exp", -1), -150.0);
  EXPECT_EQ(ini.ReadInteger("Station", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Station", "Hex2", 0), 32);
  EXPECT_EQ(ini.ReadBool("Station", "Yes", false), false);
  EXPECT_EQ(ini.ReadBool("Station", "Yes", true), true);
  EXPECT_EQ(ini.ReadBool("Station", "Two", false), true);
  EXPECT_EQ(ini.ReadBool("Station", "Zero", true), false);
  EXPECT_EQ(ini.ReadDate("Station", "Date", 0), EncodeDate(2026, 3, 5));
  EXPECT_EQ(ini.ReadDate("Station", "BadDate", 1.0), 1.0);
  EXPECT_EQ(ini.ReadTime("Station", "Time", 0), EncodeTime(7, 8, 0));
  EXPECT_EQ(ini.ReadDateTime("Station", "Stamp", 0), EncodeDateTime(2026, 3, 5, 7, 8, 9));
  EXPECT_EQ(ini.ReadString("Nowhere", "Index", "d"), "d");
  EXPECT_FALSE(ini.ValueExists("Station", "NoEquals"));
  EXPECT_TRUE(ini.ValueExists("STATION", "index"));
}

TEST(MyIniFile, NumbersWithASecondSignReadAsTheDefault) {
  TempDir dir;
  tern::test::WriteBytes(dir / "s.cnf", "[S]\r\nA=--50\r\nB=$-10\r\nC=0x-5\r\nD=+-4.6\r\nE=-+1\r\nF=+$10\r\n");
  const TMyIniFile ini(dir / "s.cnf");
  for (const char* key : {"A", "B", "C", "D", "E", "F"}) {
    EXPECT_EQ(ini.ReadInteger("S", key, 7), 7) << key;
    EXPECT_EQ(ini.ReadBool("S", key, true), true) << key;
    EXPECT_EQ(ini.ReadFloat("S", key, 0.5), 0.5) << key;
  }
}

TEST(MyIniFile, ASectionWithoutEntriesIsAbsent) {
  TempDir dir;
  tern::test::WriteBytes(dir / "s.cnf", kSample);
  const TMyIniFile ini(dir / "s.cnf");
  EXPECT_FALSE(ini.SectionExists("BUFR"));
  EXPECT_EQ(ini.ReadString("BUFR", "anything", "d"), "d");
  EXPECT_TRUE(ini.SectionExists("station"));
  TextList keys;
  ini.ReadSection("Station", keys);
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(keys[0], "ExtMeta");
  EXPECT_EQ(keys[1], "Index");
  TextList lines;
  ini.ReadSectionValues("Station", lines);
  EXPECT_EQ(lines[0], "ExtMeta=3");
  EXPECT_EQ(ini.ReadSections(), (TextList{"Station"}));
}

TEST(MyIniFile, MissingFileReadsAsEmpty) {
  TempDir dir;
  const TMyIniFile ini(dir / "absent.cnf");
  EXPECT_EQ(ini.ReadInteger("A", "B", 7), 7);
  EXPECT_FALSE(ini.SectionExists("A"));
}

TEST(MyIniFile, WritesKeepEveryOtherLine) {
  TempDir dir;
  const std::string path = dir / "w.cnf";
  tern::test::WriteBytes(path, "; keep me\n[A]\nx = 1\n\n[B]\ny=2\n");
  TMyIniFile ini(path);
  ini.WriteInteger("a", "X", 5);       // replace in place
  ini.WriteString("A", "z", "new");    // append to the section, before the blank line
  ini.WriteFloat("C", "f", 0.1);       // new section at the end
  ini.WriteBool("B", "flag", true);
  EXPECT_EQ(tern::test::ReadBytes(path),
            "; keep me\n[A]\nX=5\nz=new\r\n\n[B]\ny=2\nflag=1\r\n\r\n[C]\r\nf=0.1\r\n");
  ini.DeleteKey("A", "z");
  ini.EraseSection("B");
  EXPECT_EQ(tern::test::ReadBytes(path), "; keep me\n[A]\nX=5\n\n[C]\r\nf=0.1\r\n");
  EXPECT_EQ(ini.ReadFloat("C", "f", 0), 0.1);
}

// A key appended after a line that has no line feed of its own (the end of
// the file, a stray CR) must land on a line of its own and read back.
TEST(MyIniFile, AppendedKeysNeverJoinTheLineBefore) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {"[A]", "[A]\r\nk=v\r\n"},
      {"[A]\r", "[A]\r\r\nk=v\r\n"},
      {"[A]\nx=1\r", "[A]\nx=1\r\r\nk=v\r\n"},
      {"[A\x01]\r", "[A\x01]\r\r\nk=v\r\n"},  // control characters are trimmed from names
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TempDir dir;
    const std::string path = dir / "w.cnf";
    tern::test::WriteBytes(path, c.content);
    TMyIniFile ini(path);
    ini.WriteString("A", "k", "v");
    EXPECT_EQ(tern::test::ReadBytes(path), c.expected);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "v");
  }
}

TEST(MyIniFile, WriteCreatesTheFileAndRoundTripsTypedValues) {
  TempDir dir;
  TMyIniFile ini(dir / "new.cnf");
  ini.WriteDateTime("S", "Last", EncodeDateTime(2026, 12, 9, 11, 30, 0));
  ini.WriteFloat("S", "Neg", -1e-5);
  ini.WriteString("S", "Text", "\xC0\xC1");
  EXPECT_EQ(ini.ReadDateTime("S", "Last", 0), EncodeDateTime(2026, 12, 9, 11, 30, 0));
  EXPECT_EQ(ini.ReadFloat("S", "Neg", 0), -1e-5);
  EXPECT_EQ(ini.ReadString("S", "Text", ""), "\xC0\xC1");
  EXPECT_EQ(ini.ReadString("S", "Neg", ""), "-1E-5");
}

TEST(MyIniFile, AFailedWriteNamesTheFileAndKeepsTheOldContent) {
  TempDir dir;
  TMyIniFile missingFolder(dir / "no/such/folder.cnf");
  try {
    missingFolder.WriteInteger("A", "b", 1);
    FAIL() << "expected an error";
  } catch (const TernError& e) {
    EXPECT_NE(e.Text().find("folder.cnf"), std::string::npos);
  }
  // A read-only folder, seen by an ordinary user: root would pass the check.
  ::chmod(dir.path().c_str(), 0755);
  const std::string sub = dir / "ro";
  mkdir(sub.c_str(), 0755);
  tern::test::WriteBytes(sub + "/f.cnf", "[A]\nb=1\n");
  tern::test::GiveToOtherUser(sub);
  tern::test::GiveToOtherUser(sub + "/f.cnf");
  chmod(sub.c_str(), 0555);
  const auto child = tern::test::AsOtherUser([&]() -> std::string {
    try {
      TMyIniFile(sub + "/f.cnf").WriteInteger("A", "b", 2);
    } catch (const TernError& e) {
      return e.Text().find("f.cnf") != std::string::npos ? std::string() : "message without the file: " + e.Text();
    }
    return "the write went through";
  });
  EXPECT_EQ(child.exitCode, 0) << child.failure;
  chmod(sub.c_str(), 0755);
  EXPECT_EQ(tern::test::ReadBytes(sub + "/f.cnf"), "[A]\nb=1\n");
}
