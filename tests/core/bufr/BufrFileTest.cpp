#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "EccodesDecode.h"
#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Files.h"
#include "base/Operator.h"
#include "base/Text.h"
#include "bufr/BufrFile.h"
#include "bufr/BufrMessage.h"
#include "config/HeadingTemplate.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::TempDir;

namespace {

// Loads a small profile on demand, as a reader does.
class LoadingAscent : public FakeAscent {
 public:
  bool LoadData() override {
    ++loads;
    if (loadThrows) throw TernError(cp("Файл профиля: нет данных"));
    if (!loadSucceeds) return false;
    AddLevel(1000).SigFlags = kSigSurface;
    AddLevel(850);
    return true;
  }
  int loads = 0;
  bool loadSucceeds = true;
  bool loadThrows = false;
};

std::unique_ptr<LoadingAscent> ReadyAscent(const TempDir& dir, DefaultAnswerOperator& op) {
  auto a = std::make_unique<LoadingAscent>();
  a->SetOperator(&op);
  a->StationInd = 27612;
  a->StationIndText = "27612";
  a->CCCC = "RUMS";
  a->IUKHead = DecodeEscapes("IUKD90#$20RUMS#$20{ddhh}00<BBB>");
  a->IUSHead = DecodeEscapes("IUSD90#$20RUMS#$20{ddhh}00<BBB>");
  a->BBBHead = " ";
  a->ObsTime = EncodeDateTime(2009, 3, 5, 12, 0, 0);
  a->LaunchTime = EncodeDateTime(2009, 3, 5, 11, 23, 0);
  a->SourceFile = dir / "27612_2009030512.info";
  a->WMOMssgFmt = true;
  a->SetBulletinNo(27);
  a->BuildHeading("");
  a->MakeBufrFileName();
  return a;
}

// Files in the folder besides the ascent's own, to catch temporary leftovers.
int FileCount(const TempDir& dir) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) n += e.is_regular_file();
  return n;
}

}  // namespace

TEST(BufrFileName, LongAndShortNames) {
  const TDateTime launch = EncodeDateTime(2009, 3, 5, 11, 23, 59);
  struct Case {
    std::string source, heading;
    bool shortName;
    std::string expected;
  };
  const Case cases[] = {
      {"/data/ascents/27612.info", "IUKD90 RUMS 051200", false,
       "/data/ascents/A_IUKD90RUMS051200_C_RUMS_200903051123_27612.bin"},
      {"/data/ascents/27612.info", "IUKD90 RUMS 051200", true, "/data/ascents/A_IUKD90RUMS051200_27612.bin"},
      {"C:\\TERN\\DATA\\27612.info", "IUSD90 RUMS 051200 RRA", true, "C:\\TERN\\DATA\\A_IUSD90RUMS051200RRA_27612.bin"},
      // Control characters and blanks are dropped, other characters kept.
      {"/d/x.info", "IUKD90\tRUMS\r\n051200\x01 CCA", true, "/d/A_IUKD90RUMS051200CCA_27612.bin"},
      {"/d/x.info", cp("ЦЦА"), true, "/d/A_" + cp("ЦЦА") + "_27612.bin"},
      {"x.info", "H", true, "A_H_27612.bin"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BufrFileNameOf(c.source, c.heading, c.shortName, "RUMS", launch, "27612"), c.expected) << c.heading;
}

TEST(BufrFileName, BuiltFromTheAscent) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  EXPECT_EQ(a->Heading, "IUKD90 RUMS 051200");
  EXPECT_EQ(a->BufrFileName, dir / "A_IUKD90RUMS051200_C_RUMS_200903051123_27612.bin");
  a->ShortName = true;
  a->MakeBufrFileName();
  EXPECT_EQ(a->BufrFileName, dir / "A_IUKD90RUMS051200_27612.bin");
}

TEST(BufrHeading, TemplateOfTheMessageKindWithDatesAndIndicator) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  a->BuildHeading("RRA");
  EXPECT_EQ(a->Heading, "IUKD90 RUMS 051200 RRA");
  a->SetBufrI(false);
  a->BuildHeading("");
  EXPECT_EQ(a->Heading, "IUSD90 RUMS 051200");
  a->BBBHead = "";
  a->BBBTail = "/";
  a->ObsTime = EncodeDateTime(2010, 12, 31, 0, 0, 0);
  a->BuildHeading("CCA");
  EXPECT_EQ(a->Heading, "IUSD90 RUMS 310000CCA/");
  // A template without date fields does not depend on the time.
  a->IUSHead = "IUSD90 RUMS";
  a->BuildHeading("");
  EXPECT_EQ(a->Heading, "IUSD90 RUMS");
  a->ObsTime = EncodeDateTime(2011, 1, 1, 6, 0, 0);
  a->BuildHeading("");
  EXPECT_EQ(a->Heading, "IUSD90 RUMS");
  std::string text;
  a->ExpandHeading("TTAA{ddhh} <BBX>", "RRB", text);
  EXPECT_EQ(text, "TTAA0106 RTD/");
}

TEST(BufrEnvelope, OctetsAroundTheMessage) {
  const std::string wrapped = WrapInEnvelope("027", "IUKD90 RUMS 051200", "BUFR....7777");
  EXPECT_EQ(wrapped, std::string("\x01\r\r\n027\r\r\nIUKD90 RUMS 051200\r\r\nBUFR....7777\r\r\n\x03"));
}

TEST(EncodeBufr, WritesTheEnvelopedMessageThatDecodes) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  a->AddLevel(1000).SigFlags = kSigSurface;
  a->AddLevel(925);
  ASSERT_TRUE(a->EncodeBufr());
  EXPECT_TRUE(op.messages.empty());
  const std::string file = test::ReadBytes(a->BufrFileName);
  const std::string message = BuildBufrMessage(*a);
  EXPECT_EQ(file, "\x01\r\r\n027\r\r\nIUKD90 RUMS 051200\r\r\n" + message + "\r\r\n\x03");
  // A message switch hands the enveloped file on; a decoder finds the message in it.
  const auto d = test::DecodeWithEccodes(a->BufrFileName, {"stationNumber", "pressure"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Number("stationNumber"), 612);
  EXPECT_EQ(d.Numbers("pressure"), (std::vector<double>{100000, 92500}));
}

TEST(EncodeBufr, WithoutEnvelopeTheFileIsTheMessage) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  a->WMOMssgFmt = false;
  a->BulletinNo.clear();  // not needed without the envelope
  a->AddLevel(1000);
  ASSERT_TRUE(a->EncodeBufr());
  const std::string file = test::ReadBytes(a->BufrFileName);
  EXPECT_EQ(file.substr(0, 4), "BUFR");
  EXPECT_EQ(file.substr(file.size() - 4), "7777");
  EXPECT_EQ(file, BuildBufrMessage(*a));
}

TEST(EncodeBufr, LoadsTheProfileOnlyWhenNoneIsStored) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  ASSERT_TRUE(a->EncodeBufr());
  EXPECT_EQ(a->loads, 1);
  EXPECT_EQ(a->LevelCount, 2);
  ASSERT_TRUE(a->EncodeBufr());
  EXPECT_EQ(a->loads, 1);

  auto b = ReadyAscent(dir, op);
  b->loadSucceeds = false;
  std::filesystem::remove(b->BufrFileName);
  EXPECT_FALSE(b->EncodeBufr());
  EXPECT_FALSE(FileExists(b->BufrFileName));
  EXPECT_TRUE(op.messages.empty());  // a quiet reader failure means cancelled or already reported

  auto c = ReadyAscent(dir, op);
  c->loadThrows = true;
  EXPECT_FALSE(c->EncodeBufr());
  EXPECT_FALSE(FileExists(c->BufrFileName));
  EXPECT_EQ(op.messages, (std::vector<std::string>{cp("Файл профиля: нет данных")}));
}

TEST(EncodeBufr, EncodingAgainReplacesTheFile) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  a->AddLevel(1000);
  ASSERT_TRUE(a->EncodeBufr());
  const std::string first = test::ReadBytes(a->BufrFileName);
  a->AddLevel(900);
  ASSERT_TRUE(a->EncodeBufr());
  const std::string second = test::ReadBytes(a->BufrFileName);
  EXPECT_EQ(second.size(), first.size() + 21);  // one more level of 168 bits
  EXPECT_EQ(FileCount(dir), 1);
}

TEST(EncodeBufr, FailuresAreShownAndLeaveThePreviousFileUntouched) {
  struct Case {
    const char* what;
    void (*spoil)(LoadingAscent&);
    const char* text;  // the operator's message, or part of it
  };
  const Case cases[] = {
      {"update sequence", [](LoadingAscent& a) { a.SetUpdateSeq(300); }, "300"},
      {"antenna height",
       [](LoadingAscent& a) {
         a.ExtMeta = 2;
         a.Meta.AntennaHeight = 300;
       },
       "высота антенны"},
      {"level without pressure",
       [](LoadingAscent& a) {
         a.AddLevel(1000);
         a.AddLevel(static_cast<float>(kMissing));
       },
       "уровень 2"},
      {"empty bulletin number", [](LoadingAscent& a) { a.BulletinNo.clear(); }, "номер бюллетеня"},
      {"empty heading", [](LoadingAscent& a) { a.Heading.clear(); }, "заголовок"},
      {"missing folder",
       [](LoadingAscent& a) { a.BufrFileName = ExtractFilePath(a.BufrFileName) + "no/such/folder/x.bin"; },
       "Ошибка записи файла"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    DefaultAnswerOperator op;
    auto a = ReadyAscent(dir, op);
    test::WriteBytes(a->BufrFileName, "previous");
    c.spoil(*a);
    EXPECT_FALSE(a->EncodeBufr()) << c.what;
    ASSERT_EQ(op.messages.size(), 1u) << c.what;
    EXPECT_NE(op.messages[0].find(cp(c.text)), std::string::npos) << c.what << ": " << Cp1251ToUtf8(op.messages[0]);
    EXPECT_EQ(test::ReadBytes(dir / "A_IUKD90RUMS051200_C_RUMS_200903051123_27612.bin"), "previous") << c.what;
    EXPECT_EQ(FileCount(dir), 1) << c.what;
  }
}

TEST(EncodeBufr, FailureLeavesNoFileWhenThereWasNone) {
  TempDir dir;
  DefaultAnswerOperator op;
  auto a = ReadyAscent(dir, op);
  a->SetUpdateSeq(256);
  EXPECT_FALSE(a->EncodeBufr());
  EXPECT_EQ(FileCount(dir), 0);
  ASSERT_EQ(op.messages.size(), 1u);
}

TEST(EncodeBufr, FullDiskLeavesNoPartialFileAndTellsWhichFile) {
  for (const bool previous : {true, false}) {
    SCOPED_TRACE(previous ? "over an earlier file" : "no earlier file");
    TempDir dir;
    DefaultAnswerOperator op;
    auto a = ReadyAscent(dir, op);
    if (previous) test::WriteBytes(a->BufrFileName, "previous");
    {
      test::FileSizeLimit diskFull(64);  // the message with its envelope is well over 64 octets
      EXPECT_FALSE(a->EncodeBufr());
    }
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(Cp1251ToUtf8(op.messages[0]), "Ошибка записи файла " + a->BufrFileName);
    if (previous) {
      EXPECT_EQ(test::ReadBytes(a->BufrFileName), "previous");
    }
    EXPECT_EQ(FileExists(a->BufrFileName), previous);
    EXPECT_EQ(FileCount(dir), previous ? 1 : 0);  // no temporary left behind
    // Room again: the same send now succeeds.
    EXPECT_TRUE(a->EncodeBufr());
    EXPECT_EQ(test::ReadBytes(a->BufrFileName).substr(0, 1), "\x01");
  }
}
