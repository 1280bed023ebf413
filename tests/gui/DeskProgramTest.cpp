// The window program itself, started as the operator starts it: whatever goes
// wrong it ends normally or stays up, and never aborts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "TestSupport.h"
#include "TextBridge.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::TempDir;

namespace {

struct Program {
  TempDir dir;
  std::string settings = dir / "settings/";
  std::string ascents = dir / "ascents";
  std::string runtime = dir / "run";
  std::string log = dir / "desk.log";
  std::string shots = dir / "shots";

  Program() {
    // The demo station with its real Corvo reader, its ascents looked for in the test's folder.
    std::filesystem::copy(test::FixturePath("../../demo/settings"), settings);
    std::filesystem::create_directories(ascents);
    TMyIniFile(settings + "TERN2BFR.CNF").WriteString("OPTIONS", "Src", ascents);
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
  }
  std::string Ascent(const std::string& name, std::string_view content) {
    const std::string path = ascents + "/" + name;
    test::WriteBytes(path, content);
    return path;
  }
  // Runs the desk taking its pictures (every box it shows is closed as it appears).
  QProcess::ExitStatus Run(QStringList extra, int& exitCode) {
    QProcess desk;
    desk.setWorkingDirectory(QString::fromStdString(dir.path()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime));
    desk.setProcessEnvironment(env);
    desk.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{QStringLiteral("-C"), QString::fromStdString(settings), QStringLiteral("-AC"),
                     QStringLiteral("-L"), QString::fromStdString(log), QStringLiteral("--screenshot"),
                     QString::fromStdString(shots)};
    desk.start(QStringLiteral(TERN_DESK), args + extra);
    if (!desk.waitForFinished(60000)) {
      desk.kill();
      desk.waitForFinished();
      exitCode = -1;
      return QProcess::CrashExit;
    }
    exitCode = desk.exitCode();
    return desk.exitStatus();
  }
  std::string Log() const { return FileExists(log) ? test::ReadBytes(log) : std::string(); }
};

}  // namespace

TEST(DeskProgram, NothingTheOperatorMeetsAbortsTheDesk) {
  struct Case {
    const char* what;
    std::function<QStringList(Program&)> prepare;  // the extra switches
    int exitCode;
    const char* logged;  // a line the log must hold; empty: none
  };
  const Case cases[] = {
      {"an ascent whose name gives no term",
       [](Program& p) {
         return QStringList{QStringLiteral("--ascent"), QString::fromStdString(p.Ascent("bad.name.info", "27612\r\n"))};
       },
       0, ""},
      {"a plain file where the desk's socket belongs",
       [](Program& p) {
         test::WriteBytes(p.runtime + "/LMB2BUFR-APK", "not a socket");
         return QStringList{};
       },
       0, "Не удалось открыть канал связи с другими запусками программы"},
  };
  for (const Case& c : cases) {
    Program p;
    const QStringList extra = c.prepare(p);
    int code = 0;
    EXPECT_EQ(p.Run(extra, code), QProcess::NormalExit) << c.what;
    EXPECT_EQ(code, c.exitCode) << c.what << "\n" << p.Log();
    if (*c.logged) {
      EXPECT_NE(p.Log().find(cp(c.logged)), std::string::npos) << c.what << "\n" << p.Log();
    }
    if (c.exitCode == 0) {
      EXPECT_TRUE(FileExists(p.shots + "/main.png")) << c.what;
    }
  }
}
