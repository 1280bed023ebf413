#include "transmit/ftp/FtpUpload.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "FtpTestServer.h"
#include "FtpTestView.h"
#include "TestSupport.h"
#include "base/Text.h"

namespace tern {
namespace {

using test::FtpTestServer;
using test::Phase;
using test::RecordingView;
using test::Stage;
using test::Bytes;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

bool OnServer(const FtpTestServer& s, const std::string& name) { return std::filesystem::exists(s.root() + "in/" + name); }

// --- the whole sequence against a well-behaved server ----------------------

TEST(FtpUpload, SuccessFollowsTheStepsOnOneConnection) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  Stage(task, Bytes(2500), "234500000005.a");
  RecordingView view;
  std::atomic<bool> cancel{false};

  ASSERT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded);

  EXPECT_EQ(test::ReadBytes(server.root() + "in/234500000005.a"), task.Data);
  EXPECT_FALSE(OnServer(server, "234500000005.a.tmp"));
  EXPECT_EQ(server.Sessions(), 1);
  EXPECT_THAT(server.Commands(),
              ElementsAre("CONNECT", "USER station", "PASS", "CWD in", "LIST", "STOR 234500000005.a.tmp", "LIST",
                          "RNFR 234500000005.a.tmp", "RNTO 234500000005.a", "QUIT"));
  EXPECT_THAT(view.phases, ElementsAre(Phase{cp("Инициализация"), false}, Phase{cp("Подключение к серверу"), false},
                                       Phase{cp("Переход к папке загрузки"), false},
                                       Phase{cp("Загрузка бюллетеня"), false},
                                       Phase{cp("Переименование 234500000005.a.tmp"), false},
                                       Phase{cp("Загрузка завершена успешно"), false}));
  EXPECT_THAT(view.captions,
              ElementsAre(cp("Загрузка 234500000005.a/234500000005.a"), cp("Загружен 234500000005.a/234500000005.a")));
  EXPECT_THAT(view.progress, ElementsAre("0/2500", "1024/2500", "2048/2500", "2500/2500"));
  // The connection events the library reports reach the status line.
  EXPECT_THAT(view.statuses, Contains(cp("IP определен 127.0.0.1")));
  EXPECT_THAT(view.statuses, Contains(cp("Соединение...")));
  EXPECT_THAT(view.statuses, Contains(cp("Есть соединение")));
  EXPECT_THAT(view.statuses, Contains(cp("Отправлен запрос 14 байт отправлено")));  // "USER station\r\n"
  EXPECT_THAT(view.statuses, Contains(cp("Соединение закрыто")));
}

TEST(FtpUpload, StaysInTheLoginFolderWhenNoneIsGiven) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  task.Folder = "";
  task.Passive = true;
  Stage(task, "abc", "x.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  ASSERT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded);
  EXPECT_EQ(test::ReadBytes(server.root() + "x.b"), "abc");
  EXPECT_THAT(server.Commands(), Not(Contains(HasSubstr("CWD"))));
  EXPECT_THAT(view.phases, Not(Contains(Phase{cp("Переход к папке загрузки"), false})));
}

// Prepared text and BUFR messages in both naming modes arrive intact under
// their final names.
struct ModeCase {
  const char* name;
  bool bufr;
  bool wmo;
  bool passive;
  const char* remoteName;
};

class FtpUploadModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FtpUploadModes, FileArrivesUnderItsFinalName) {
  const ModeCase& c = GetParam();
  FtpTestServer server;
  test::TempDir local;
  tFTPTaskRecord task = server.Task();
  task.WMOFileMode = c.wmo;
  task.Passive = c.passive;
  tFTPNaming naming;
  naming.StationIndex = 12345;
  naming.CCCC = "UUEE";
  naming.ObsTime = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  naming.ReleaseTime = EncodeDateTime(2026, 12, 9, 11, 7, 0);
  naming.BulletinNo = 3;
  naming.TextFileNo = 5;
  naming.BufrFileNo = 9;
  ScriptedOperator op;
  std::string content;
  if (c.bufr) {
    content = Bytes(3000);
    test::WriteBytes(local / "A_IUSD01UUEE091200_C_UUEE_20261209110700_12345.bin", content);
    ASSERT_TRUE(PrepareBUFRTask(task, local / "A_IUSD01UUEE091200_C_UUEE_20261209110700_12345.bin", naming, op));
  } else {
    content = cp("TTAA 59121 12345 99012 ПРОБА=");
    ASSERT_TRUE(PrepareTextTask(task, content, "TTAA", naming, op));
  }
  RecordingView view;
  std::atomic<bool> cancel{false};
  ASSERT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded) << Cp1251ToUtf8(view.LastPhase().text);

  const std::string stored = test::ReadBytes(server.root() + "in/" + c.remoteName);
  std::string expected = content;
  if (c.wmo) expected = c.bufr ? WmoBinaryPrefix(content.size()) + content : WmoTextFrame(content, 3);
  EXPECT_EQ(stored, expected);
  EXPECT_FALSE(OnServer(server, std::string(c.remoteName) + ".tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FtpUploadModes,
    ::testing::Values(ModeCase{"TextWmo", false, true, false, "234500000005.a"},
                      ModeCase{"TextLongName", false, false, true, "A_TTAAUUEE091200_C_UUEE_202612091107_12345.txt"},
                      ModeCase{"BufrWmo", true, true, true, "234500000009.b"},
                      ModeCase{"BufrLongName", true, false, false, "A_IUSD01UUEE091200_C_UUEE_20261209110700_12345.bin"}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

// The chunk size decides the write calls; the progress line follows them.
TEST(FtpUpload, ProgressFollowsTheChunks) {
  struct Case {
    size_t size;
    uint16_t chunk;
    std::vector<std::string> progress;
  } cases[] = {
      {0, 1024, {"0/0"}},
      {600, 256, {"0/600", "256/600", "512/600", "600/600"}},
      {4096, 4096, {"0/4096", "4096/4096"}},
      {100, 1024, {"0/100", "100/100"}},
  };
  FtpTestServer server;
  for (const Case& c : cases) {
    tFTPTaskRecord task = server.Task();
    task.ChunkSize = c.chunk;
    const std::string name = "p" + std::to_string(c.size) + ".b";
    Stage(task, Bytes(c.size), name);
    RecordingView view;
    std::atomic<bool> cancel{false};
    ASSERT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded) << c.size;
    EXPECT_EQ(view.progress, c.progress) << c.size;
    EXPECT_EQ(test::ReadBytes(server.root() + "in/" + name), task.Data);
  }
}

TEST(FtpUpload, WithoutSizeCheckTheRenameFollowsTheWrite) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  task.CheckSize = false;
  Stage(task, "data", "n.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  ASSERT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded);
  EXPECT_THAT(server.Commands(),
              ElementsAre("CONNECT", "USER station", "PASS", "CWD in", "LIST", "STOR n.b.tmp", "RNFR n.b.tmp",
                          "RNTO n.b", "QUIT"));
}

// --- what is already on the server -----------------------------------------

TEST(FtpUpload, LeftoverTemporaryFileIsDeletedAndTheNextAttemptSucceeds) {
  FtpTestServer server;
  test::WriteBytes(server.root() + "in/2345.b.tmp", "half an upload");
  tFTPTaskRecord task = server.Task();
  Stage(task, "whole upload", "2345.b");
  std::atomic<bool> cancel{false};

  RecordingView first;
  EXPECT_EQ(RunFtpUpload(task, first, cancel), FtpOutcome::Failed);
  const std::string text =
      cp("Временный файл уже существует, отправлена команда на удаление. Повторите загрузку.2345.b.tmp");
  EXPECT_THAT(first.phases, Contains(Phase{text, true}));
  EXPECT_EQ(first.LastPhase(), (Phase{text, true}));
  EXPECT_EQ(first.captions.back(), cp("Ошибка 2345.b/2345.b"));
  EXPECT_FALSE(OnServer(server, "2345.b.tmp"));
  EXPECT_FALSE(OnServer(server, "2345.b"));
  EXPECT_THAT(server.Commands(), Not(Contains(HasSubstr("STOR"))));

  RecordingView second;
  EXPECT_EQ(RunFtpUpload(task, second, cancel), FtpOutcome::Succeeded);
  EXPECT_EQ(test::ReadBytes(server.root() + "in/2345.b"), "whole upload");
}

TEST(FtpUpload, ExistingFinalNameIsLeftAlone) {
  FtpTestServer server;
  test::WriteBytes(server.root() + "in/2345.b", "sent before");
  tFTPTaskRecord task = server.Task();
  Stage(task, "new data", "2345.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Failed);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Файл уже существует 2345.b! Попробуйте повторить загрузку"), true}));
  EXPECT_EQ(test::ReadBytes(server.root() + "in/2345.b"), "sent before");
  EXPECT_FALSE(OnServer(server, "2345.b.tmp"));
}

// --- failures ----------------------------------------------------------------

TEST(FtpUpload, LoginAndFolderFailures) {
  FtpTestServer server;
  struct Case {
    const char* name;
    std::function<void(tFTPTaskRecord&)> change;
    const char* phase;
  } cases[] = {
      {"wrong password", [](tFTPTaskRecord& t) { t.Password = "wrong"; }, "Ошибка подключения к серверу"},
      {"scrambled password with the wrong key",
       [](tFTPTaskRecord& t) {
         t.PasswordScrambled = true;
         t.PasswordKey = "k";
         t.Password = "73336372206574";  // "s3cr et" as plain hex, not combined with the key
       },
       "Ошибка подключения к серверу"},
      {"missing folder", [](tFTPTaskRecord& t) { t.Folder = "no/such"; }, "Ошибка перехода в папку назначения"},
  };
  for (const Case& c : cases) {
    tFTPTaskRecord task = server.Task();
    c.change(task);
    Stage(task, "data", "f.b");
    RecordingView view;
    std::atomic<bool> cancel{false};
    EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Failed) << c.name;
    EXPECT_EQ(view.LastPhase(), (Phase{cp(c.phase), true})) << c.name;
    EXPECT_EQ(view.captions.back(), cp("Ошибка f.b/f.b")) << c.name;
  }
  EXPECT_THAT(server.Commands(), Not(Contains(HasSubstr("STOR"))));
}

TEST(FtpUpload, ScrambledPasswordLogsIn) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  task.PasswordScrambled = true;
  task.PasswordKey = "k";
  // "s3cr et" with every byte combined with 'k' (0x6B).
  task.Password = "185808194B0E1F";
  Stage(task, "data", "s.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Succeeded) << Cp1251ToUtf8(view.LastPhase().text);
}

TEST(FtpUpload, UnreachableServerFailsToConnect) {
  // A port that was free a moment ago: nothing listens there now.
  int port;
  { FtpTestServer gone; port = gone.port(); }
  tFTPTaskRecord task;
  task.Server = "127.0.0.1";
  task.Port = static_cast<uint16_t>(port);
  task.User = "u";
  task.Password = "p";
  Stage(task, "data", "f.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Failed);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Ошибка подключения к серверу"), true}));
}

// A server that misbehaves at a given point: the failure text names the step.
struct MisbehaviourCase {
  const char* name;
  std::vector<std::string> serverArgs;
  const char* phasePrefix;  // UTF-8
};

class FtpUploadMisbehaviour : public ::testing::TestWithParam<MisbehaviourCase> {};

TEST_P(FtpUploadMisbehaviour, FailsWithTheStepText) {
  const MisbehaviourCase& c = GetParam();
  FtpTestServer server(c.serverArgs);
  tFTPTaskRecord task = server.Task();
  task.ChunkSize = 256;
  Stage(task, Bytes(300000), "m.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Failed);
  const Phase last = view.LastPhase();
  EXPECT_TRUE(last.failed);
  EXPECT_EQ(last.text.rfind(cp(c.phasePrefix), 0), 0u) << Cp1251ToUtf8(last.text);
  EXPECT_EQ(view.captions.back(), cp("Ошибка m.b/m.b"));
  EXPECT_FALSE(OnServer(server, "m.b"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FtpUploadMisbehaviour,
    ::testing::Values(
        MisbehaviourCase{"DropOnStore", {"--drop-on", "STOR"}, "Не могу создать файл m.b.tmp"},
        MisbehaviourCase{"DropWhileWriting", {"--drop-after", "1000"}, "Ошибка загрузки бюллетеня "},
        MisbehaviourCase{"StoredFileVanishes", {"--after-store", "delete"}, "Файл не найден m.b.tmp"},
        MisbehaviourCase{"StoredFileShort", {"--after-store", "truncate"}, "Неверный размер файла m.b.tmp"},
        MisbehaviourCase{"DropOnRename", {"--drop-on", "RNFR"}, "Файл не переименован m.b.tmp"},
        MisbehaviourCase{"DropOnListing", {"--drop-on", "LIST"}, "Ошибка загрузки"}),
    [](const ::testing::TestParamInfo<MisbehaviourCase>& info) { return info.param.name; });

// --- cancel --------------------------------------------------------------------

TEST(FtpUpload, CancelWhileWritingRemovesTheTemporaryFile) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  task.ChunkSize = 256;
  Stage(task, Bytes(5000), "c.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  view.onProgress = [&](uint32_t sent) {
    if (sent >= 512) cancel = true;
  };
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Cancelled);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Отмена загрузки бюллетеня"), true}));
  EXPECT_EQ(view.captions.back(), cp("Ошибка c.b/c.b"));
  EXPECT_EQ(view.progress.back(), "512/5000");  // no chunk reported after the cancel
  EXPECT_FALSE(OnServer(server, "c.b.tmp"));
  EXPECT_FALSE(OnServer(server, "c.b"));
  EXPECT_EQ(server.Sessions(), 1);
  EXPECT_THAT(server.Commands(), Contains("DELE c.b.tmp"));
  EXPECT_THAT(server.Commands(), Not(Contains(HasSubstr("RNFR"))));
}

TEST(FtpUpload, CancelAfterTheLastChunkStillRemovesTheFile) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  Stage(task, Bytes(1000), "l.b");  // a single chunk
  RecordingView view;
  std::atomic<bool> cancel{false};
  view.onProgress = [&](uint32_t) { cancel = true; };  // pressed as the file opens
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Cancelled);
  EXPECT_FALSE(OnServer(server, "l.b.tmp"));
  EXPECT_FALSE(OnServer(server, "l.b"));
}

TEST(FtpUpload, CancelBeforeConnectingWritesNothing) {
  FtpTestServer server;
  tFTPTaskRecord task = server.Task();
  Stage(task, "data", "e.b");
  RecordingView view;
  std::atomic<bool> cancel{true};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Cancelled);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Отмена загрузки бюллетеня"), true}));
  EXPECT_THAT(server.Commands(), Not(Contains(HasSubstr("STOR"))));
}

}  // namespace
}  // namespace tern

namespace tern {
namespace {

// --- a server that stops answering ------------------------------------------------

TEST(FtpUpload, ReceiveTimeoutEndsAWaitForAnAnswer) {
  FtpTestServer server({"--stall-on", "CWD"});
  tFTPTaskRecord task = server.Task();
  task.ReceiveTimeout = 300;
  Stage(task, "data", "t.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(RunFtpUpload(task, view, cancel), FtpOutcome::Failed);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Ошибка перехода в папку назначения"), true}));
}

TEST(FtpUpload, CancelEndsAWaitForAnAnswer) {
  FtpTestServer server({"--stall-on", "LIST"});
  tFTPTaskRecord task = server.Task();
  task.ReceiveTimeout = 0;  // the library would wait for minutes
  task.SendTimeout = 0;
  Stage(task, "data", "w.b");
  RecordingView view;
  std::atomic<bool> cancel{false};
  std::thread operatorPress([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cancel = true;
  });
  const FtpOutcome outcome = RunFtpUpload(task, view, cancel);
  operatorPress.join();
  EXPECT_EQ(outcome, FtpOutcome::Cancelled);
  EXPECT_EQ(view.LastPhase(), (Phase{cp("Отмена загрузки бюллетеня"), true}));
  EXPECT_FALSE(OnServer(server, "w.b.tmp"));
}

}  // namespace
}  // namespace tern
