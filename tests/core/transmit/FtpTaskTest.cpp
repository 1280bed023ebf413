#include "transmit/ftp/FtpTask.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Text.h"

namespace tern {
namespace {

using test::TempDir;
using test::WriteBytes;

tFTPTaskRecord ReadSection(const std::string& body, bool* complete = nullptr) {
  TempDir dir;
  test::WriteCp1251(dir / "ASPD.CNF", "[FTPBIN]\r\n" + body);
  tFTPTaskRecord task;
  const bool ok = ReadFTPSettings(TMyIniFile(dir / "ASPD.CNF"), "FTPBIN", task);
  if (complete) *complete = ok;
  return task;
}

TEST(ReadFTPSettings, DefaultsWhenTheSectionIsEmpty) {
  bool complete = true;
  const tFTPTaskRecord t = ReadSection("", &complete);
  EXPECT_FALSE(complete);
  EXPECT_TRUE(t.WMOFileMode);
  EXPECT_FALSE(t.Passive);
  EXPECT_TRUE(t.CheckExisting);
  EXPECT_TRUE(t.CheckSize);
  EXPECT_FALSE(t.ForceConnect);
  EXPECT_FALSE(t.ForceDisconnect);
  EXPECT_EQ(t.ConnectTimeout, 0u);
  EXPECT_EQ(t.ReceiveTimeout, 0u);
  EXPECT_EQ(t.SendTimeout, 0u);
  EXPECT_EQ(t.ChunkSize, 1024);
  EXPECT_EQ(t.Originator, "");
  EXPECT_FALSE(t.PasswordScrambled);
  EXPECT_EQ(t.Port, 21);
}

TEST(ReadFTPSettings, ReadsEveryKey) {
  bool complete = false;
  const tFTPTaskRecord t = ReadSection(
      "FTPWMOOLD=0\r\nURL=ftp.example.org\r\nUSER=aero\r\nPWD=616263\r\nPATH=  in/bufr  \r\n"
      "PASV=1\r\nCHECKSIZE=0\r\nFORCECONNECT=1\r\nFORCEDISCONNECT=1\r\nTOUT_CONNECT=-3000\r\n"
      "TOUT_RECEIVE=4000\r\nTOUT_SEND=-5000\r\nCHUNK=2048\r\nCCCC0=UUEEX\r\nencode=1\r\nenkey=\r\n",
      &complete);
  EXPECT_TRUE(complete);
  EXPECT_FALSE(t.WMOFileMode);
  EXPECT_EQ(t.Server, "ftp.example.org");
  EXPECT_EQ(t.User, "aero");
  EXPECT_EQ(t.Folder, "in/bufr");
  EXPECT_TRUE(t.Passive);
  EXPECT_TRUE(t.CheckExisting);
  EXPECT_FALSE(t.CheckSize);
  EXPECT_TRUE(t.ForceConnect);
  EXPECT_TRUE(t.ForceDisconnect);
  EXPECT_EQ(t.ConnectTimeout, 3000u);
  EXPECT_EQ(t.ReceiveTimeout, 4000u);
  EXPECT_EQ(t.SendTimeout, 5000u);
  EXPECT_EQ(t.ChunkSize, 2048);
  EXPECT_EQ(t.Originator, "UUEE");
  // Scrambled with an empty key: the pairs are only converted.
  EXPECT_EQ(t.LoginPassword(), "abc");
}

TEST(ReadFTPSettings, KeyIsReadOnlyForScrambledPasswords) {
  const tFTPTaskRecord plain = ReadSection("PWD=616263\r\nenkey=xyz\r\n");
  EXPECT_EQ(plain.PasswordKey, "");
  EXPECT_EQ(plain.LoginPassword(), "616263");
  const tFTPTaskRecord scrambled = ReadSection("PWD=000102\r\nencode=1\r\nenkey=AB\r\n");
  EXPECT_EQ(scrambled.LoginPassword(), "ACC");
}

TEST(ReadFTPSettings, CompleteOnlyWithServerUserAndPassword) {
  struct Case {
    const char* body;
    bool complete;
  } cases[] = {
      {"URL=h\r\nUSER=u\r\nPWD=p\r\n", true},
      {"USER=u\r\nPWD=p\r\n", false},
      {"URL=h\r\nPWD=p\r\n", false},
      {"URL=h\r\nUSER=u\r\n", false},
      {"URL=h\r\nUSER=u\r\nPWD=\r\n", false},
  };
  for (const Case& c : cases) {
    bool complete = !c.complete;
    ReadSection(c.body, &complete);
    EXPECT_EQ(complete, c.complete) << c.body;
  }
}

TEST(ReadFTPSettings, ChunkOutsideItsRangeFallsBackToTheDefault) {
  struct Case {
    const char* value;
    uint16_t chunk;
  } cases[] = {{"100", 1024}, {"5000", 1024}, {"-2048", 2048}, {"256", 256},   {"4096", 4096},
               {"255", 1024}, {"4097", 1024}, {"0", 1024},     {"-256", 256}, {"-2147483648", 1024}};
  for (const Case& c : cases)
    EXPECT_EQ(ReadSection(std::string("CHUNK=") + c.value + "\r\n").ChunkSize, c.chunk) << c.value;
}

TEST(WmoTextFrame, HundredCharacterBulletin) {
  const std::string text(100, 'T');
  const std::string frame = WmoTextFrame(text, 7);
  ASSERT_EQ(frame.size(), 124u);
  EXPECT_EQ(frame, std::string("00000114") + "00" + "\x01" + "\r\r\n" + "007" + "\r\r\n" + text + "\r\r\n" + "\x03");
}

tFTPNaming Naming() {
  tFTPNaming n;
  n.StationIndex = 12345;
  n.CCCC = "UUEE";
  n.ObsTime = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  n.ReleaseTime = EncodeDateTime(2026, 12, 9, 11, 7, 30);
  n.BulletinNo = 42;
  n.TextFileNo = 5;
  n.BufrFileNo = 77;
  return n;
}

TEST(PrepareTextTask, WmoModeFramesTheTextAndTakesTheOriginatorFromTheIndex) {
  tFTPTaskRecord task;
  ScriptedOperator op;
  ASSERT_TRUE(PrepareTextTask(task, "TTAA 09121 12345", "TTAA", Naming(), op));
  EXPECT_EQ(task.Data, WmoTextFrame("TTAA 09121 12345", 42));
  EXPECT_EQ(task.Size(), task.Data.size());
  EXPECT_EQ(task.LocalName, "TTAA");
  EXPECT_EQ(task.Originator, "2345");
  EXPECT_EQ(task.FinalName, "234500000005.a");
  EXPECT_EQ(task.TempName, "234500000005.a.tmp");

  // The originator chosen once stays for the run, even for another index.
  tFTPNaming other = Naming();
  other.StationIndex = 27612;
  other.TextFileNo = 6;
  ASSERT_TRUE(PrepareTextTask(task, "x", "TTBB", other, op));
  EXPECT_EQ(task.FinalName, "234500000006.a");
  EXPECT_TRUE(op.messages.empty());
}

TEST(PrepareTextTask, ConfiguredOriginatorIsKept) {
  tFTPTaskRecord task;
  task.Originator = "RUMS";
  ScriptedOperator op;
  ASSERT_TRUE(PrepareTextTask(task, "x", "SLOY", Naming(), op));
  EXPECT_EQ(task.FinalName, "RUMS00000005.a");
}

TEST(PrepareTextTask, PlainModeUsesTheLongNameAndTheBareText) {
  tFTPTaskRecord task;
  task.WMOFileMode = false;
  ScriptedOperator op;
  tFTPNaming n = Naming();
  n.StationIndex = 7612;
  ASSERT_TRUE(PrepareTextTask(task, "TTAA 09121", "TTAA", n, op));
  EXPECT_EQ(task.Data, "TTAA 09121");
  EXPECT_EQ(task.FinalName, "A_TTAAUUEE091200_C_UUEE_202612091107_07612.txt");
  n.BBB = "RRA";
  ASSERT_TRUE(PrepareTextTask(task, "TTAA 09121", "TTAA", n, op));
  EXPECT_EQ(task.FinalName, "A_TTAAUUEE091200RRA_C_UUEE_202612091107_07612.txt");
  EXPECT_EQ(task.TempName, task.FinalName + ".tmp");
  EXPECT_EQ(task.Originator, "");
}

TEST(PrepareTextTask, RefusesDataBeyondTheSendBuffer) {
  struct Case {
    bool wmo;
    size_t textLength;
    bool accepted;
  } cases[] = {{false, kSendBufferSize, true},
               {false, kSendBufferSize + 1, false},
               {true, kSendBufferSize - 24, true},
               {true, kSendBufferSize - 23, false}};
  for (const Case& c : cases) {
    tFTPTaskRecord task;
    task.WMOFileMode = c.wmo;
    task.Data = "previous";
    ScriptedOperator op;
    EXPECT_EQ(PrepareTextTask(task, std::string(c.textLength, 'x'), "PRIZ", Naming(), op), c.accepted)
        << c.textLength;
    if (c.accepted) {
      EXPECT_LE(task.Data.size(), kSendBufferSize);
      EXPECT_TRUE(op.messages.empty());
    } else {
      EXPECT_EQ(task.Data, "previous");
      ASSERT_EQ(op.messages.size(), 1u);
      EXPECT_EQ(op.messages[0].rfind("PRIZ:", 0), 0u) << op.messages[0];
    }
  }
}

TEST(PrepareBUFRTask, BothNamingModes) {
  TempDir dir;
  const std::string path = dir / "A_IUSD01UUEE091200_C_UUEE_20261209110730_12345.bin";
  const std::string content = std::string("BUFR\0\0\x30\x04", 8) + std::string(40, '\xFF') + "7777";
  WriteBytes(path, content);
  ScriptedOperator op;

  tFTPTaskRecord wmo;
  ASSERT_TRUE(PrepareBUFRTask(wmo, path, Naming(), op));
  EXPECT_EQ(wmo.Data, "0000005200" + content);
  EXPECT_EQ(wmo.Size(), content.size() + 10);
  EXPECT_EQ(wmo.FinalName, "234500000077.b");
  EXPECT_EQ(wmo.TempName, "234500000077.b.tmp");
  EXPECT_EQ(wmo.LocalName, path);

  tFTPTaskRecord plain;
  plain.WMOFileMode = false;
  ASSERT_TRUE(PrepareBUFRTask(plain, path, Naming(), op));
  EXPECT_EQ(plain.Data, content);
  EXPECT_EQ(plain.FinalName, "A_IUSD01UUEE091200_C_UUEE_20261209110730_12345.bin");
  EXPECT_EQ(plain.TempName, plain.FinalName + ".tmp");
  EXPECT_TRUE(op.messages.empty());
}

TEST(PrepareBUFRTask, MissingFileIsReportedAndNothingIsPrepared) {
  TempDir dir;
  tFTPTaskRecord task;
  ScriptedOperator op;
  EXPECT_FALSE(PrepareBUFRTask(task, dir / "none.bin", Naming(), op));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], dir / "none.bin" + cp(":Файл не найден!"));
  EXPECT_EQ(task.FinalName, "");
  EXPECT_EQ(task.Originator, "");
}

TEST(PrepareBUFRTask, RefusesFilesBeyondTheSendBuffer) {
  TempDir dir;
  struct Case {
    bool wmo;
    size_t fileSize;
    bool accepted;
  } cases[] = {{true, kSendBufferSize - 10, true},
               {true, kSendBufferSize - 9, false},
               {false, kSendBufferSize, true},
               {false, kSendBufferSize + 1, false}};
  for (const Case& c : cases) {
    WriteBytes(dir / "big.bin", std::string(c.fileSize, 'B'));
    tFTPTaskRecord task;
    task.WMOFileMode = c.wmo;
    ScriptedOperator op;
    EXPECT_EQ(PrepareBUFRTask(task, dir / "big.bin", Naming(), op), c.accepted) << c.fileSize;
    EXPECT_EQ(op.messages.size(), c.accepted ? 0u : 1u);
    if (c.accepted) {
      EXPECT_EQ(task.Size(), kSendBufferSize);
    }
  }
}

TEST(FTPCounters, FileNumbersMoveOnEveryAttemptBulletinNumberOnlyOnSuccess) {
  tFTPCounters c;
  c.AfterTextUpload(false);
  EXPECT_EQ(c.BulletinNo, 1);
  EXPECT_EQ(c.TextFileNo, 2u);
  c.AfterTextUpload(true);
  EXPECT_EQ(c.BulletinNo, 2);
  EXPECT_EQ(c.TextFileNo, 3u);
  c.AfterBufrUpload();
  EXPECT_EQ(c.BufrFileNo, 2u);

  c.BulletinNo = 999;
  c.TextFileNo = 99999999;
  c.BufrFileNo = 99999999;
  c.AfterTextUpload(true);
  c.AfterBufrUpload();
  EXPECT_EQ(c.BulletinNo, 1);
  EXPECT_EQ(c.TextFileNo, 1u);
  EXPECT_EQ(c.BufrFileNo, 1u);
}

}  // namespace
}  // namespace tern
