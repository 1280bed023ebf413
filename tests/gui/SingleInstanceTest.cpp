#include <gtest/gtest.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>

#include "SingleInstance.h"
#include "TestSupport.h"

using namespace tern;
using tern::test::TempDir;

TEST(SingleInstance, SecondStartKnocksAndTheFirstIsAsked) {
  const QString name = QStringLiteral("tern-test-%1").arg(QCoreApplication::applicationPid());
  TSingleInstance first(name);
  EXPECT_FALSE(first.ActivateRunning(200));  // nobody there yet
  ASSERT_TRUE(first.Listen());
  QSignalSpy spy(&first, &TSingleInstance::activationRequested);
  TSingleInstance second(name);
  EXPECT_TRUE(second.ActivateRunning());
  EXPECT_TRUE(spy.wait(2000));
}

TEST(SingleInstance, ASocketLeftBehindDoesNotBlockTheNextDesk) {
  const QString name = QStringLiteral("tern-test-stale-%1").arg(QCoreApplication::applicationPid());
  {
    TSingleInstance gone(name);
    ASSERT_TRUE(gone.Listen());
  }
  TSingleInstance next(name);
  EXPECT_FALSE(next.ActivateRunning(200));
  EXPECT_TRUE(next.Listen());
}

TEST(SingleInstance, TheDeskExitsAtOnceWhenAnotherRuns) {
  TSingleInstance running;  // stands in for the desk already open for this user
  ASSERT_TRUE(running.Listen());
  QSignalSpy spy(&running, &TSingleInstance::activationRequested);
  tern::test::TempDir dir;
  const QString log = QString::fromStdString(dir / "desk.log");
  QProcess desk;
  desk.start(QStringLiteral(TERN_DESK), {QStringLiteral("-L"), log, QStringLiteral("-C"),
                                         QString::fromStdString(dir / "no-such-folder")});
  // Without the knock the missing settings folder would ask a question and never end by itself.
  const bool ended = desk.waitForFinished(15000);
  if (!ended) desk.kill();
  ASSERT_TRUE(ended);
  EXPECT_EQ(desk.exitCode(), 0);
  EXPECT_FALSE(QFile::exists(log));
  EXPECT_TRUE(spy.count() > 0 || spy.wait(2000));
}

namespace {

// Another user of the workstation listening on a name: a child process that
// drops to uid/gid 65534 and keeps a bare listening socket until told to go.
class ForeignListener {
 public:
  explicit ForeignListener(const std::string& path) {
    int ready[2], done[2];
    if (::pipe(ready) != 0 || ::pipe(done) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(done[1]);
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
      const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
      if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 8) != 0) ::_exit(3);
      const char ok = 'k';
      if (::write(ready[1], &ok, 1) != 1) ::_exit(4);
      char c;
      while (::read(done[0], &c, 1) < 0 && errno == EINTR) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(done[0]);
    done_ = done[1];
    char c = 0;
    listening_ = ::read(ready[0], &c, 1) == 1 && c == 'k';
    ::close(ready[0]);
  }
  ~ForeignListener() {
    if (pid_ <= 0) return;
    ::close(done_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool listening() const { return listening_; }

 private:
  pid_t pid_ = -1;
  int done_ = -1;
  bool listening_ = false;
};

// A folder the other user may write in, so that its socket can be made there.
std::string SharedFolder(const TempDir& dir) {
  const std::string shared = dir / "shared";
  std::filesystem::create_directory(shared);
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(shared.c_str(), 01777);
  return shared;
}

}  // namespace

TEST(SingleInstance, AListenerOfAnotherUserDoesNotSendTheDeskAway) {
  TempDir dir;
  const std::string name = SharedFolder(dir) + "/LMB2BUFR-APK";
  ForeignListener squatter(name);
  ASSERT_TRUE(squatter.listening());
  TSingleInstance desk(QString::fromStdString(name));
  EXPECT_FALSE(desk.ActivateRunning(2000)) << "a stranger's listener was taken for the running desk";
  // The name is not the desk's to take over, and the operator is told so.
  EXPECT_FALSE(desk.Listen());
  EXPECT_NE(desk.ListenError().find(name), std::string::npos) << desk.ListenError();
  struct stat st{};
  ASSERT_EQ(::lstat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
}

TEST(SingleInstance, AFileAtTheNameIsReportedAndLeftAlone) {
  TempDir dir;
  for (const bool folder : {false, true}) {
    const std::string name = dir / (folder ? "as-folder" : "as-file");
    if (folder)
      std::filesystem::create_directory(name);
    else
      test::WriteBytes(name, "keep me");
    TSingleInstance desk(QString::fromStdString(name));
    EXPECT_FALSE(desk.ActivateRunning(200));
    EXPECT_FALSE(desk.Listen()) << name;
    EXPECT_NE(desk.ListenError().find(name), std::string::npos) << desk.ListenError();
    if (folder) {
      EXPECT_TRUE(std::filesystem::is_directory(name));
    } else {
      EXPECT_EQ(test::ReadBytes(name), "keep me");
    }
  }
}

TEST(SingleInstance, TheSocketLivesInAFolderOnlyTheUserCanEnter) {
  TempDir dir;
  const std::string oldXdg = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
  const bool hadXdg = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
  const QByteArray oldTmp = qgetenv("TMPDIR");
  const std::string priv = dir / "private", open = dir / "open", tmp = dir / "tmp";
  for (const auto& [path, mode] : {std::pair{priv, 0700}, std::pair{open, 0755}, std::pair{tmp, 01777}}) {
    std::filesystem::create_directory(path);
    ::chmod(path.c_str(), mode);
  }
  const std::string own = tmp + "/tern2bufr-" + std::to_string(::geteuid());
  struct Case {
    const char* what;
    const char* xdg;  // nullptr: unset
    std::function<void()> before;
    std::string folder;  // empty: no private folder, so no name
  };
  const Case cases[] = {
      {"the runtime folder of the session", priv.c_str(), [] {}, priv},
      {"a runtime folder others may enter", open.c_str(), [] {}, ""},
      {"no runtime folder: one of the user's own", nullptr, [] {}, own},
      {"that folder made by someone else first", nullptr,
       [own] {
         std::filesystem::remove_all(own);
         std::filesystem::create_directory(own);
         ::chown(own.c_str(), 65534, 65534);
       },
       ""},
  };
  qputenv("TMPDIR", QByteArray::fromStdString(tmp));
  for (const Case& c : cases) {
    if (c.xdg)
      qputenv("XDG_RUNTIME_DIR", c.xdg);
    else
      qunsetenv("XDG_RUNTIME_DIR");
    c.before();
    const QString name = TSingleInstance::DefaultName();
    EXPECT_EQ(name.toStdString(), c.folder.empty() ? std::string() : c.folder + "/LMB2BUFR-APK") << c.what;
    if (!c.folder.empty()) {
      struct stat st{};
      ASSERT_EQ(::lstat(c.folder.c_str(), &st), 0) << c.what;
      EXPECT_EQ(st.st_mode & 0777, 0700u) << c.what;
      TSingleInstance desk(name);
      EXPECT_TRUE(desk.Listen()) << c.what << " " << desk.ListenError();
    } else {
      TSingleInstance desk(name);
      EXPECT_FALSE(desk.Listen()) << c.what;
      EXPECT_FALSE(desk.ListenError().empty()) << c.what;
    }
  }
  if (hadXdg)
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(oldXdg));
  else
    qunsetenv("XDG_RUNTIME_DIR");
  if (oldTmp.isNull())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", oldTmp);
}
