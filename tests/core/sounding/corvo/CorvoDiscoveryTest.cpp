#include <gtest/gtest.h>

#include <cstdlib>

#include "CorvoTestSupport.h"
#include "base/Error.h"
#include "base/Files.h"

namespace tern::test {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return EncodeDateTime(y, mo, d, h, mi, 0); }

TEST(CorvoAscentName, ParsesDottedAndCompactNames) {
  struct Case {
    const char* path;
    TDateTime expected;  // 0: impossible date or time
    bool compact;
  };
  const Case cases[] = {
      {"/a/5.3.2020-23.5.info", At(2020, 3, 5, 23, 5), false},
      {"c:\\corvo\\2020\\3\\15.12.2021-0.59.info", At(2021, 12, 15, 0, 59), false},
      {"20200305-2305.info", At(2020, 3, 5, 23, 5), true},
      {"/x.y/20211231-0000.info", At(2021, 12, 31, 0, 0), true},
      {"31.4.2020-1.0.info", 0, false},     // April has 30 days
      {"29.2.2021-1.0.info", 0, false},     // not a leap year
      {"5.13.2020-1.0.info", 0, false},
      {"5.3.2020-24.0.info", 0, false},
      {"5.3.2020-23.60.info", 0, false},
      {"20200230-1200.info", 0, true},
      {"report.info", 0, false},            // no "-"
  };
  for (const Case& c : cases) {
    bool compact = !c.compact;
    EXPECT_DOUBLE_EQ(TUACorvoMessage::ParseAscentTime(c.path, compact), c.expected) << c.path;
    if (std::string(c.path).find('-') != std::string::npos) {
      EXPECT_EQ(compact, c.compact) << c.path;
    }
  }
}

TEST(CorvoAscentName, NonNumericPieceIsAConversionError) {
  for (const char* path : {"5.x.2020-23.5.info", "5.3.2020-23.info", "20200305-23.info", "2020AB05-2305.info",
                           "5.3.2020-+1.5.info", "5.3.99999-1.5.info", "5.3-1.0.info"}) {
    bool compact = false;
    const std::string err = ErrorOf([&] { TUACorvoMessage::ParseAscentTime(path, compact); });
    EXPECT_NE(err.find("не является целым числом"), std::string::npos) << path << ": " << err;
  }
}

TEST(CorvoOpenAscent, SetsNamesTermAndLayerTime) {
  struct Case {
    uint8_t code;
    const char* name;
    TDateTime obsTime;
  };
  const Case cases[] = {
      {1, "5.3.2020-23.29", At(2020, 3, 5, 23)},
      {1, "5.3.2020-23.30", At(2020, 3, 6, 0)},
      {6, "20200305-2305", At(2020, 3, 5, 23)},
      {5, "5.3.2020-23.5", At(2020, 3, 5, 23)},  // dotted names are accepted for every code
      {0, "31.12.2020-23.45", At(2021, 1, 1, 0)},
  };
  for (const Case& c : cases) {
    TempDir dir;
    TUACorvoMessage a;
    a.SystemCode = c.code;
    const std::string file = dir / (std::string(c.name) + ".info");
    WriteBytes(file, "");
    uint8_t rs = 0;
    ASSERT_TRUE(a.OpenAscent(file, rs)) << c.name;
    EXPECT_EQ(a.SourceFile, file);
    EXPECT_EQ(a.SourceName, c.name);
    EXPECT_NEAR(a.ObsTime, c.obsTime, 1e-9) << c.name;
    EXPECT_DOUBLE_EQ(a.LayerTime, a.ObsTime);
  }
  TUACorvoMessage a;
  a.SystemCode = 1;
  a.SetLayerShiftOn(true);
  a.SetLayerShift(-1.0 / 24);
  uint8_t rs = 0;
  ASSERT_TRUE(a.OpenAscent("/nowhere/5.3.2020-11.50.info", rs));
  EXPECT_NEAR(a.LayerTime, At(2020, 3, 5, 11), 1e-9);
  EXPECT_EQ(rs, 255);  // no info file to read
}

TEST(CorvoOpenAscent, RefusesOtherFilesAndRejectsUnknownTerms) {
  TUACorvoMessage a;
  a.SystemCode = 1;
  uint8_t rs = 7;
  EXPECT_FALSE(a.OpenAscent("/d/report.txt", rs));
  EXPECT_EQ(rs, 255);
  EXPECT_TRUE(a.SourceFile.empty());
  EXPECT_TRUE(a.OpenAscent("/d/5.3.2020-1.0.INFO", rs));  // the extension is compared without case

  const struct {
    uint8_t code;
    const char* file;
  } failing[] = {{1, "/d/20200305-2305.info"}, {4, "/d/20200305-2305.info"}, {1, "/d/31.4.2020-1.0.info"},
                 {7, "/d/ascent.info"}};
  for (const auto& c : failing) {
    a.SystemCode = c.code;
    EXPECT_EQ(ErrorOf([&] { a.OpenAscent(c.file, rs); }), std::string(c.file) + " не могу определить срок!!!");
  }
}

TEST(CorvoInfoFile, ReadsTheLastRadiosondeTypeLine) {
  const struct {
    const char* content;
    int expected;
  } cases[] = {
      {"Station: 27612\r\nRadioZondType: 90\r\nRadioZondType: 23\r\n", 23},
      {" RadioZondType: 90\r\n", 255},             // must start at the first character
      {"RadioZondType:   58 (AK2-02)\n", 58},
      {"RadioZondType: abc\r\n", 0},               // no digits
      {"RadioZondType: 300\r\n", 44},              // low 8 bits
      {"RadioZondType: 100000000000000000090\r\n", 90},  // 10^20 + 90: no overflow
      {"radiozondtype: 90\r\n", 255},
      {"", 255},
      {"\x01\xFF\x80garbage\r\r\n", 255},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string file = dir / "a.info";
    WriteBytes(file, c.content);
    EXPECT_EQ(TUACorvoMessage::ReadRadiosondeType(file), c.expected) << c.content;
  }
  EXPECT_EQ(TUACorvoMessage::ReadRadiosondeType(dir / "missing.info"), 255);
}

}  // namespace
}  // namespace tern::test

namespace tern::test {
namespace {

TEST(CorvoNames, AscentFileNameAndOpenFilterFollowTheNameForm) {
  TUACorvoMessage a;
  a.SystemCode = 1;
  EXPECT_EQ(a.GetAscentFileName(At(2020, 3, 5, 23, 5)), "5.3.2020-23.5.info");
  EXPECT_EQ(Cp1251ToUtf8(a.GetOpenFilter(At(2020, 3, 1, 10))),
            "Последние выпуски|29.2.2020-*.info;1.3.2020-*.info|Все выпуски|*.info");
  a.SystemCode = 7;
  EXPECT_EQ(a.GetAscentFileName(At(2020, 3, 5, 3, 5)), "20200305-0305.info");
  EXPECT_EQ(Cp1251ToUtf8(a.GetOpenFilter(At(2020, 3, 1, 10))),
            "Последние выпуски|20200229-*.info;20200301-*.info|Все выпуски|*.info");
}

class CorvoSourceFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* home = std::getenv("HOME");
    savedHome_ = home ? home : "";
    setenv("HOME", dir.path().c_str(), 1);
  }
  void TearDown() override { setenv("HOME", savedHome_.c_str(), 1); }
  void Find(uint8_t code, TDateTime d) {
    TUACorvoMessage a;
    a.SystemCode = code;
    a.FindSourceFolder(dir / "TERN2BFR.CNF", found, folder, d);
  }
  TempDir dir;
  bool found = true;
  std::string folder = "x";

 private:
  std::string savedHome_;
};

TEST_F(CorvoSourceFolder, FallsBackToTheEarlierMonthThenUpwards) {
  WriteBytes(dir / "TERN2BFR.CNF", "[OPTIONS]\r\nSrc=" + dir.path() + "data\\{yyyy}\\{mm}\r\n");
  const TDateTime d = At(2021, 1, 3, 10);
  Find(1, d);  // nothing exists
  EXPECT_FALSE(found);
  EXPECT_EQ(folder, "");

  const std::string steps[] = {dir / "data/", dir / "data/2020/", dir / "data/2020/12/", dir / "data/2021/01/"};
  for (const std::string& step : steps) {
    ForceFolders(step);
    Find(1, d);
    EXPECT_EQ(NativePath(folder), step);
    EXPECT_FALSE(found);  // no ascent of the 3rd or the 2nd there
  }
}

TEST_F(CorvoSourceFolder, FoundWhenAnAscentOfTheDayOrTheDayBeforeIsThere) {
  const TDateTime d = At(2020, 3, 2, 10);
  const std::string month = dir / "corvo/2020/3/";
  ForceFolders(month);
  const struct {
    uint8_t code;
    const char* file;
    bool found;
  } cases[] = {
      {1, "2.3.2020-9.30.info", true},   {1, "1.3.2020-23.30.INFO", true}, {1, "12.3.2020-9.30.info", false},
      {1, "29.2.2020-23.30.info", false}, {1, "2.3.2020-9.30.prof", false},
  };
  for (const auto& c : cases) {
    WriteBytes(month + c.file, "");
    Find(c.code, d);
    EXPECT_EQ(NativePath(folder), month) << c.file;
    EXPECT_EQ(found, c.found) << c.file;
    DeleteFileAt(month + c.file);
  }
  // The other families keep their ascents in their own default folders.
  ForceFolders(dir / "ridge/2020/03");
  WriteBytes(dir / "ridge/2020/03/1.3.2020-0.0.info", "");
  Find(3, d);
  EXPECT_EQ(NativePath(folder), dir / "ridge/2020/03/");
  EXPECT_TRUE(found);
  ForceFolders(dir / "lumen/archive");
  WriteBytes(dir / "lumen/archive/20200302-0000.info", "");
  Find(6, d);
  EXPECT_EQ(NativePath(folder), dir / "lumen/archive/");
  EXPECT_TRUE(found);
}

TEST(CorvoCompanions, TelegramLayerAndGroundFilesByCode) {
  const struct {
    uint8_t code;
    const char* existing;
    bool telegram;
    const char* telegramExt;
    const char* layerExt;
    const char* groundExt;
  } cases[] = {
      {0, ".KN04", false, ".KN4", ".LAYER", ".GLAYER"},
      {7, ".KN04", false, ".KN4", ".LAYER", ".GLAYER"},
      {1, ".KN04", true, ".KN04", ".LAYERS", ".GROUND"},
      {4, ".KN4", true, ".KN4", ".LAYERS", ".GROUND"},
  };
  for (const auto& c : cases) {
    CorvoFixture f(c.code);
    WriteBytes(f.base + c.existing, "TTAA");
    std::string path;
    EXPECT_EQ(f.ascent.GetTelegramFile(1, path), c.telegram) << int(c.code);
    EXPECT_EQ(path, f.base + c.telegramExt);
    EXPECT_FALSE(f.ascent.GetLayerFile(path));
    EXPECT_EQ(path, f.base + c.layerExt);
    EXPECT_FALSE(f.ascent.GetGroundFile(path));
    EXPECT_EQ(path, f.base + c.groundExt);
  }
  // A file written by a system that ignores case is still found.
  CorvoFixture f(2);
  WriteBytes(f.base + ".layers", "x");
  WriteBytes(f.base + ".Ground", "x");
  std::string path;
  EXPECT_TRUE(f.ascent.GetLayerFile(path));
  EXPECT_EQ(path, f.base + ".layers");
  EXPECT_TRUE(f.ascent.GetGroundFile(path));
  EXPECT_EQ(path, f.base + ".Ground");
}

}  // namespace
}  // namespace tern::test
