// Uploads against the servers stations really have: vsftpd, and servers that
// list folders their own way (refusing an empty folder, month names in their
// language, listings without an end), plus servers that fail in the ways an
// operator meets: refused, silent, login or folder refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "FtpTestServer.h"
#include "FtpTestView.h"
#include "SilentServer.h"
#include "TestSupport.h"
#include "VsftpdServer.h"
#include "base/Text.h"
#include "transmit/Timeouts.h"
#include "transmit/ftp/FtpUpload.h"

namespace tern {
namespace {

using test::FtpTestServer;
using test::Phase;
using test::RecordingView;
using test::Stage;
using test::Bytes;
using test::Upload;
using test::VsftpdServer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// --- vsftpd ----------------------------------------------------------------------

struct VsftpdCase {
  const char* name;
  bool bufr;
  bool wmo;
  bool passive;
  const char* remoteName;
};

class VsftpdUpload : public ::testing::TestWithParam<VsftpdCase> {};

// Prepared messages arrive intact under their final names, the size check
// reading vsftpd's own listing, in passive and in active mode.
TEST_P(VsftpdUpload, MessageArrivesUnderItsFinalName) {
  const VsftpdCase& c = GetParam();
  VsftpdServer server;
  test::TempDir local;
  tFTPTaskRecord task = server.Task();
  task.WMOFileMode = c.wmo;
  task.Passive = c.passive;
  task.CheckSize = true;
  tFTPNaming naming;
  naming.StationIndex = 27612;
  naming.CCCC = "RUMS";
  naming.ObsTime = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  naming.ReleaseTime = EncodeDateTime(2026, 12, 9, 11, 3, 0);
  naming.BulletinNo = 17;
  naming.TextFileNo = 41;
  naming.BufrFileNo = 42;
  ScriptedOperator op;
  std::string content;
  if (c.bufr) {
    content = "BUFR" + Bytes(5000) + "7777";
    const std::string path = local / "A_IUSD01RUMS091200_C_RUMS_20261209110300_27612.bin";
    test::WriteBytes(path, content);
    ASSERT_TRUE(PrepareBUFRTask(task, path, naming, op));
  } else {
    content = cp("USUS01 RUMS 091200\r\r\nTTAA 59121 27612 99011 СЛОЙ=");
    ASSERT_TRUE(PrepareTextTask(task, content, "TTAA", naming, op));
  }
  RecordingView view;
  ASSERT_EQ(Upload(task, view), FtpOutcome::Succeeded)
      << Cp1251ToUtf8(view.LastPhase().text) << " / " << view.LastStatus() << "\n" << server.Log();

  std::string expected = content;
  if (c.wmo) expected = c.bufr ? WmoBinaryPrefix(content.size()) + content : WmoTextFrame(content, 17);
  EXPECT_EQ(test::ReadBytes(server.upload() + c.remoteName), expected);
  EXPECT_FALSE(std::filesystem::exists(server.upload() + c.remoteName + ".tmp"));
  EXPECT_EQ(view.progress.back(), ProgressText(task.Size(), task.Size()));
  EXPECT_THAT(server.Log(), HasSubstr(c.passive ? "\"EPSV\"" : "\"EPRT"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VsftpdUpload,
    ::testing::Values(
        VsftpdCase{"TextWmoPassive", false, true, true, "761200000041.a"},
        VsftpdCase{"TextWmoActive", false, true, false, "761200000041.a"},
        VsftpdCase{"TextLongNamePassive", false, false, true, "A_TTAARUMS091200_C_RUMS_202612091103_27612.txt"},
        VsftpdCase{"TextLongNameActive", false, false, false, "A_TTAARUMS091200_C_RUMS_202612091103_27612.txt"},
        VsftpdCase{"BufrWmoPassive", true, true, true, "761200000042.b"},
        VsftpdCase{"BufrWmoActive", true, true, false, "761200000042.b"},
        VsftpdCase{"BufrLongNamePassive", true, false, true, "A_IUSD01RUMS091200_C_RUMS_20261209110300_27612.bin"},
        VsftpdCase{"BufrLongNameActive", true, false, false, "A_IUSD01RUMS091200_C_RUMS_20261209110300_27612.bin"}),
    [](const ::testing::TestParamInfo<VsftpdCase>& info) { return info.param.name; });

TEST(Vsftpd, LeftoverTemporaryIsDeletedAndTheNextAttemptSucceeds) {
  VsftpdServer server;
  server.Place("761200000041.a.tmp", "half an upload");
  tFTPTaskRecord task = server.Task();
  Stage(task, "whole upload", "761200000041.a");

  RecordingView first;
  EXPECT_EQ(Upload(task, first), FtpOutcome::Failed);
  EXPECT_EQ(first.LastPhase(),
            (Phase{cp("Временный файл уже существует, отправлена команда на удаление. Повторите загрузку.") +
                       "761200000041.a.tmp",
                   true}));
  EXPECT_FALSE(std::filesystem::exists(server.upload() + "761200000041.a.tmp"));
  EXPECT_FALSE(std::filesystem::exists(server.upload() + "761200000041.a"));

  RecordingView second;
  EXPECT_EQ(Upload(task, second), FtpOutcome::Succeeded) << Cp1251ToUtf8(second.LastPhase().text);
  EXPECT_EQ(test::ReadBytes(server.upload() + "761200000041.a"), "whole upload");
}

TEST(Vsftpd, ExistingFinalNameIsLeftAlone) {
  VsftpdServer server;
  server.Place("761200000042.b", "sent before");
  tFTPTaskRecord task = server.Task();
  task.Passive = true;
  Stage(task, "new data", "761200000042.b");
  RecordingView view;
  EXPECT_EQ(Upload(task, view), FtpOutcome::Failed);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Файл уже существует 761200000042.b! Попробуйте повторить загрузку"), true}));
  EXPECT_EQ(test::ReadBytes(server.upload() + "761200000042.b"), "sent before");
  EXPECT_FALSE(std::filesystem::exists(server.upload() + "761200000042.b.tmp"));
}

// An empty file is uploaded and its size 0 checked in the listing.
TEST(Vsftpd, EmptyFilePassesTheSizeCheck) {
  VsftpdServer server;
  tFTPTaskRecord task = server.Task();
  Stage(task, "", "e.b");
  RecordingView view;
  EXPECT_EQ(Upload(task, view), FtpOutcome::Succeeded) << Cp1251ToUtf8(view.LastPhase().text);
  EXPECT_TRUE(std::filesystem::exists(server.upload() + "e.b"));
  EXPECT_EQ(std::filesystem::file_size(server.upload() + "e.b"), 0u);
}

// --- listings as other servers write them ----------------------------------------

TEST(FtpServerListings, RefusedListingOfAnEmptyFolderMeansNoFiles) {
  for (const char* code : {"550", "450"}) {
    SCOPED_TRACE(code);
    FtpTestServer server({"--refuse-empty-list", code});
    tFTPTaskRecord task = server.Task();
    Stage(task, Bytes(1500), "234500000005.a");
    RecordingView view;
    ASSERT_EQ(Upload(task, view), FtpOutcome::Succeeded) << Cp1251ToUtf8(view.LastPhase().text);
    EXPECT_EQ(test::ReadBytes(server.root() + "in/234500000005.a"), task.Data);
    EXPECT_THAT(server.Commands(),
                ElementsAre("CONNECT", "USER station", "PASS", "CWD in", "LIST", "STOR 234500000005.a.tmp", "LIST",
                            "RNFR 234500000005.a.tmp", "RNTO 234500000005.a", "QUIT"));
  }
}

// The size check too reads a refused listing as "no files": the file is
// missing, not the upload broken.
TEST(FtpServerListings, RefusedListingAfterTheStoredFileVanishedIsAMissingFile) {
  FtpTestServer server({"--refuse-empty-list", "550", "--after-store", "delete"});
  tFTPTaskRecord task = server.Task();
  Stage(task, "data", "v.b");
  RecordingView view;
  EXPECT_EQ(Upload(task, view), FtpOutcome::Failed);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Файл не найден v.b.tmp"), true}));
}

TEST(FtpServerListings, MonthNamesInAnotherLanguage) {
  FtpTestServer server({"--russian-months"});
  test::WriteBytes(server.root() + "in/older.b", "an older file keeps the folder from being empty");
  tFTPTaskRecord task = server.Task();
  Stage(task, Bytes(2222), "r.b");
  RecordingView view;
  ASSERT_EQ(Upload(task, view), FtpOutcome::Succeeded) << Cp1251ToUtf8(view.LastPhase().text);
  EXPECT_EQ(test::ReadBytes(server.root() + "in/r.b"), task.Data);
  EXPECT_FALSE(std::filesystem::exists(server.root() + "in/r.b.tmp"));
}

TEST(FtpServerListings, ListingWithoutAnEndFailsTheUpload) {
  struct Case {
    const char* speed;
    uint32_t receiveTimeout;
  } cases[] = {{"fast", 5000}, {"slow", 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    FtpTestServer server({"--endless-list", c.speed});
    tFTPTaskRecord task = server.Task();
    task.ReceiveTimeout = c.receiveTimeout;
    Stage(task, "data", "x.b");
    RecordingView view;
    EXPECT_EQ(Upload(task, view), FtpOutcome::Failed);
    EXPECT_EQ(view.LastPhase(), (Phase{cp("Ошибка загрузки"), true}));
    EXPECT_EQ(view.LastStatus().rfind("Список файлов на сервере не получен целиком: ", 0), 0u) << view.LastStatus();
    EXPECT_THAT(server.Commands(), Not(::testing::Contains(HasSubstr("STOR"))));
  }
}

// --- why it failed -----------------------------------------------------------------

// A change of a good task that makes the upload fail: the phase it fails in,
// and the Russian reason the status line starts with (UTF-8), the library's
// own text after it.
struct FailureCase {
  const char* name;
  std::function<void(tFTPTaskRecord&)> change;
  const char* phase;
  const char* reason;
};

void ExpectFailures(const tFTPTaskRecord& good, const std::vector<FailureCase>& cases) {
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    tFTPTaskRecord task = good;
    c.change(task);
    Stage(task, "data", "f.b");
    RecordingView view;
    EXPECT_EQ(Upload(task, view), FtpOutcome::Failed);
    EXPECT_EQ(view.LastPhase(), (Phase{cp(c.phase), true}));
    const std::string status = view.LastStatus();
    EXPECT_EQ(status.rfind(c.reason, 0), 0u) << status;
    EXPECT_GT(status.size(), std::string(c.reason).size()) << "the library's text follows the reason";
  }
}

TEST(FtpServerFailures, TheStatusLineSaysWhyWithTheLibraryText) {
  FtpTestServer pyftpd;
  test::SilentServer silent;
  int gonePort = 0;
  { test::SilentServer gone; gonePort = gone.port(); }
  ExpectFailures(pyftpd.Task(), {
      {"nothing listens", [&](tFTPTaskRecord& t) { t.Port = static_cast<uint16_t>(gonePort); },
       "Ошибка подключения к серверу", "Сервер отказал в соединении: "},
      {"accepts and says nothing",
       [&](tFTPTaskRecord& t) {
         t.Port = static_cast<uint16_t>(silent.port());
         t.ConnectTimeout = 300;
       },
       "Ошибка подключения к серверу", "Сервер не отвечает: "},
      {"password refused", [](tFTPTaskRecord& t) { t.Password = "wrong"; }, "Ошибка подключения к серверу",
       "Сервер отказал во входе (имя или пароль): "},
      {"folder missing", [](tFTPTaskRecord& t) { t.Folder = "no/such"; }, "Ошибка перехода в папку назначения",
       "Нет папки назначения на сервере: "},
  });
}

TEST(FtpServerFailures, VsftpdRefusesAnUnknownUserAndAMissingFolder) {
  VsftpdServer server;
  ExpectFailures(server.Task(), {
      {"unknown user", [](tFTPTaskRecord& t) { t.User = "station"; }, "Ошибка подключения к серверу",
       "Сервер отказал во входе (имя или пароль): "},
      {"folder missing", [](tFTPTaskRecord& t) { t.Folder = "bufr"; }, "Ошибка перехода в папку назначения",
       "Нет папки назначения на сервере: "},
  });
}

// A time-out of 0 in the settings is not "wait for ever" nor the library's
// two minutes, but a wait an operator can sit out.
TEST(FtpServerFailures, UnsetTimeoutsMeanThirtyAndSixtySeconds) {
  struct Case {
    uint32_t configured, connect, answer;
  } cases[] = {{0, 30000, 60000}, {250, 250, 250}, {120000, 120000, 120000}};
  for (const Case& c : cases) {
    EXPECT_EQ(ConnectTimeoutMs(c.configured), c.connect) << c.configured;
    EXPECT_EQ(AnswerTimeoutMs(c.configured), c.answer) << c.configured;
  }
}

}  // namespace
}  // namespace tern
