#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Text.h"
#include "config/MessageSettings.h"

using namespace tern;
using tern::test::TempDir;
using tern::test::WriteCp1251;

namespace {

// An ASPD.CNF made of the given lines, read through a fresh settings object.
struct Aspd {
  TempDir dir;
  TMyIniFile ini;
  explicit Aspd(const std::string& utf8) : ini(dir / "ASPD.CNF") { WriteCp1251(ini.FileName(), utf8); }
};

}  // namespace

TEST(MessageSettings, TempDefaultsWhenEveryKeyIsAbsent) {
  Aspd f("[FM35]\r\nInjectRaRa=1\r\n");
  tTempSettings t;
  t.Sep = "junk";
  ReadTempSettings(f.ini, t);
  const std::array<std::string, 4> org{"TTAA", "TTBB", "TTCC", "TTDD"};
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(t.Head[p], "");
    EXPECT_EQ(t.OrgSecHead[p], org[p]);
    EXPECT_EQ(t.SecHead[p], org[p] + " ");
  }
  EXPECT_EQ(t.OrgSep, "=");
  EXPECT_EQ(t.Sep, "=");
  EXPECT_EQ(t.CRLF, "\r\n");
  EXPECT_EQ(t.Tail, "\r\nNNNN");
  EXPECT_EQ(t.BBBHead, " ");
  EXPECT_EQ(t.BBBTail, " ");
}

TEST(MessageSettings, TempValuesAreDecodedAndEmptySectionHeadsFilled) {
  Aspd f(
      "[FM35]\r\n"
      "AHead=TTAA01#$20RUMS#$20{ddhh}00<BBB>#$0D#$0A\r\n"
      "BOrgSecHead=XXBB\r\n"
      "BSecHead=\r\n"
      "CSecHead=#$54TCC#$20\r\n"
      "TEMPOrgSep===\r\n"
      "CRLF=#$0D#$0D#$0A\r\n"
      "TEMPTail=#$0D#$0ANNNN#$0D#$0A\r\n"
      "TEMPBBBHead=#$2\r\n"
      "TEMPBBBTail=#$5F\r\n");
  tTempSettings t;
  ReadTempSettings(f.ini, t);
  EXPECT_EQ(t.Head[0], "TTAA01 RUMS {ddhh}00<BBB>\r\n");
  EXPECT_EQ(t.SecHead[1], "XXBB ");  // an empty head takes the file's own head
  EXPECT_EQ(t.SecHead[2], "TTCC ");
  EXPECT_EQ(t.OrgSep, "==");
  EXPECT_EQ(t.Sep, "==");  // absent separator follows the file's one
  EXPECT_EQ(t.CRLF, "\r\r\n");
  EXPECT_EQ(t.Tail, "\r\nNNNN\r\n");
  EXPECT_EQ(t.BBBHead, "#$2");  // three characters stay as written
  EXPECT_EQ(t.BBBTail, "_");
}

TEST(MessageSettings, LayerFlagsCharacterAndBias) {
  struct Case {
    const char* yygg;  // nullptr: key absent
    const char* bias;
    std::string wantChar;
    int wantBias;
  };
  const Case cases[] = {
      {nullptr, nullptr, "0", 0}, {"12", "25", "1", 12}, {"X", "-13", "X", 0},
      {"", "14", "", 1},          {"7", "-14", "7", -1}, {"7", "abc", "7", 0},
  };
  for (const Case& c : cases) {
    std::string text = "[SLOY]\r\nSLOYYYGG=1\r\nSLOYNoIndex=2\r\nSLOYAsIs=0\r\nSLOYSep=#$3D\r\n";
    if (c.yygg) text += std::string("YYGGChar=") + c.yygg + "\r\n";
    if (c.bias) text += std::string("UTCBias=") + c.bias + "\r\n";
    Aspd f(text);
    tLayerSettings l;
    ReadLayerSettings(f.ini, l);
    SCOPED_TRACE(text);
    EXPECT_EQ(l.YYGGChar, c.wantChar);
    EXPECT_EQ(l.UTCBias, c.wantBias);
    EXPECT_TRUE(l.YYGG);
    EXPECT_TRUE(l.NoIndex);
    EXPECT_FALSE(l.AsIs);
    EXPECT_FALSE(l.Loc);
    EXPECT_EQ(l.Sep, "=");
    EXPECT_EQ(l.OrgSecHead, cp("СЛОЙ"));
    EXPECT_EQ(l.BBBHead, " ");
  }
}

TEST(MessageSettings, LayerBBBTextsComeFromTheTempSection) {
  Aspd f("[FM35]\r\nSLOYBBBHead=#$2D\r\nSLOYBBBTail=#$2E\r\n[SLOY]\r\nSLOYBBBHead=wrong\r\nSLOYOrgSecHead=LAYR\r\n");
  tLayerSettings l;
  ReadLayerSettings(f.ini, l);
  EXPECT_EQ(l.BBBHead, "-");
  EXPECT_EQ(l.BBBTail, ".");
  EXPECT_EQ(l.OrgSecHead, "LAYR");
}

TEST(MessageSettings, PrizBBBTextsHaveNoBlankByDefault) {
  Aspd f("[Priz]\r\nPrizHead=ZCZC#$0D#$0A\r\nPrizOrgSep=NNNN\r\n");
  tPrizSettings p;
  ReadPrizSettings(f.ini, p);
  EXPECT_EQ(p.Head, "ZCZC\r\n");
  EXPECT_EQ(p.OrgSep, "NNNN");
  EXPECT_EQ(p.CRLF, "\r\n");
  EXPECT_EQ(p.BBBHead, "");
  EXPECT_EQ(p.BBBTail, "");
  EXPECT_EQ(p.Sep, "");
}

TEST(MessageSettings, MailSectionsAreNotDecodedAndKeepTheirSubjects) {
  Aspd f(
      "[MAILTXT]\r\nMailFrom=st@x.ru\r\nMailTo=a@x.ru,b@x.ru\r\nSubjA=A#$20{ddhh}<BBB>\r\n"
      "[MAILBIN]\r\nMailTo=c@x.ru\r\nBCCTo=d@x.ru\r\nSubj2ABCD=ALL\r\n");
  tMailSettings txt, bin;
  ReadMailText(f.ini, txt);
  ReadMailBinary(f.ini, bin);
  EXPECT_EQ(txt.From, "st@x.ru");
  EXPECT_EQ(txt.To, "a@x.ru,b@x.ru");
  EXPECT_EQ(txt.CC, "");
  EXPECT_EQ(txt.SubjectFor(1), "A#$20{ddhh}<BBB>");
  EXPECT_EQ(txt.SubjectFor(5), "SLOY:{yyyymmdd-hh}");
  EXPECT_EQ(txt.SubjectFor(6), "PRIZ:{yyyymmdd-hh}");
  EXPECT_EQ(txt.SubjectFor(7), "");  // binary subjects are not part of the text section
  EXPECT_EQ(bin.To, "c@x.ru");
  EXPECT_EQ(bin.BCC, "d@x.ru");
  EXPECT_EQ(bin.SubjectFor(7), "IUK:{yyyymmdd-hh}");
  EXPECT_EQ(bin.SubjectFor(8), "ALL");
  EXPECT_EQ(bin.SubjectFor(0), "");
  EXPECT_EQ(bin.SubjectFor(9), "");
}

TEST(MessageSettings, SpoolingModesFoldIntoRange) {
  struct Case {
    const char* tlg;
    const char* bufr;
    TextMode text;
    BufrMode bin;
  };
  const Case cases[] = {
      {nullptr, nullptr, TextMode::SaveFolder, BufrMode::CopyFolder},
      {"7", "5", TextMode::FTP, BufrMode::KeepFile},
      {"-3", "-2147483648", TextMode::MAPI, BufrMode::MAPI},
      {"4", "x", TextMode::SMTP, BufrMode::CopyFolder},
  };
  for (const Case& c : cases) {
    std::string text = "[SPOOLING]\r\n";
    if (c.tlg) text += std::string("TLG=") + c.tlg + "\r\n";
    if (c.bufr) text += std::string("BUFR=") + c.bufr + "\r\n";
    Aspd f(text);
    ScriptedOperator op;
    tSpoolingSettings s;
    ReadSpooling(f.ini, s, op);
    SCOPED_TRACE(text);
    EXPECT_EQ(s.Text, c.text);
    EXPECT_EQ(s.Bufr, c.bin);
    EXPECT_TRUE(op.messages.empty());
  }
}

TEST(MessageSettings, SpoolingFoldersTakeASeparatorAndMustExist) {
  TempDir dir;
  WriteCp1251(dir / "tlg/keep", "");
  const std::string tlg = dir.path() + "tlg";
  {
    Aspd f("[SPOOLING]\r\nTLG=1\r\nTLGSave=  " + tlg + "  \r\nBUFR=1\r\nBUFRSave=" + dir.path() + "\r\n");
    ScriptedOperator op;
    tSpoolingSettings s;
    ReadSpooling(f.ini, s, op);
    EXPECT_EQ(s.TextFolder, tlg + "/");
    EXPECT_EQ(s.BufrFolder, dir.path());
    EXPECT_TRUE(op.messages.empty());
  }
  {
    // Missing folders are reported (as normalised) and dropped.
    Aspd f("[SPOOLING]\r\nTLGSave=D:\r\nBUFRSave=" + tlg + "\\none\r\n");
    ScriptedOperator op;
    tSpoolingSettings s;
    ReadSpooling(f.ini, s, op);
    EXPECT_EQ(s.TextFolder, "");
    EXPECT_EQ(s.BufrFolder, "");
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0], "D:" + cp(" папка не найдена!"));
    EXPECT_EQ(op.messages[1], tlg + "\\none/" + cp(" папка не найдена!"));
  }
  {
    // Outside the copy mode the BUFR folder is neither checked nor changed.
    Aspd f("[SPOOLING]\r\nBUFR=2\r\nBUFRSave= nowhere \r\n");
    ScriptedOperator op;
    tSpoolingSettings s;
    ReadSpooling(f.ini, s, op);
    EXPECT_EQ(s.BufrFolder, "nowhere");
    EXPECT_TRUE(op.messages.empty());
  }
}

TEST(MessageSettings, SaveFolderSeparatorRule) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"   ", ""}, {"D:", "D:"}, {"D:\\TLG\\", "D:\\TLG\\"}, {"/var/tlg/", "/var/tlg/"}, {" a b ", "a b/"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(NormaliseSaveFolder(in), want) << "[" << in << "]";
}

TEST(MessageSettings, WholeFileReadsMailOnlyForMailModes) {
  Aspd f(
      "[SPOOLING]\r\nTLG=4\r\nBUFR=0\r\n"
      "[MAILTXT]\r\nMailTo=t@x.ru\r\n[MAILBIN]\r\nMailTo=b@x.ru\r\n"
      "[Priz]\r\nPrizSep=#$3D\r\n[FM35]\r\nDHead=H\r\n[SLOY]\r\nUTCBias=3\r\n");
  ScriptedOperator op;
  TMessageSettings s;
  ReadMessageSettings(f.ini, s, op);
  EXPECT_EQ(s.MailText.To, "t@x.ru");
  EXPECT_EQ(s.MailBinary.To, "");
  EXPECT_EQ(s.MailBinary.SubjectFor(7), "");
  EXPECT_EQ(s.Priz.Sep, "=");
  EXPECT_EQ(s.Temp.Head[3], "H");
  EXPECT_EQ(s.Layer.UTCBias, 3);
}
