// The desk as a menu entry starts it: installed under a prefix, run without
// switches, with a home folder of its own. Where does it look for the station
// and where does it write?
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "TestSupport.h"

namespace fs = std::filesystem;
using tern::test::TempDir;

namespace {

// One staged install for every test of this file.
const std::string& Prefix() {
  static TempDir dir;
  static const bool installed = [] {
    QProcess p;
    p.start(QStringLiteral(TERN_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(TERN_BUILD_DIR), QStringLiteral("--prefix"),
             QString::fromStdString(dir.path())});
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }();
  EXPECT_TRUE(installed);
  return dir.path();
}

struct Start {
  QString fatal;  // the fatal stop's line on standard error
};

// Runs the desk with no switches until it names the reason of its fatal stop
// (the box then waits for an operator who is not there, so it is ended).
Start RunUntilFatal(const std::string& exe, const std::string& home, const std::string& xdg = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), QString::fromStdString(home));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  // The single-instance socket lives in TMPDIR: a desk running elsewhere on the machine must not answer.
  env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(home));
  if (xdg.empty()) env.remove(QStringLiteral("XDG_CONFIG_HOME"));
  else env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(xdg));
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(QString::fromStdString(home));
  p.start(QString::fromStdString(exe), {});
  // Qt may say other things on standard error; the desk's own line starts with its name.
  auto line = [](const QByteArray& err) {
    const qsizetype at = err.indexOf("tern2bufr: ");
    const qsizetype end = at < 0 ? -1 : err.indexOf('\n', at);
    return end < 0 ? QByteArray() : err.mid(at, end - at);
  };
  QByteArray err;
  for (int i = 0; i < 300 && line(err).isEmpty(); ++i) {
    p.waitForReadyRead(100);
    err += p.readAllStandardError();
    if (p.state() == QProcess::NotRunning) break;
  }
  p.kill();
  p.waitForFinished(5000);
  err += p.readAllStandardError();
  Start s;
  s.fatal = QString::fromUtf8(line(err));
  return s;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(InstalledDesk, LooksForTheStationInTheUsersFolderAndCreatesIt) {
  const std::string bin = Prefix() + "bin/";
  ASSERT_TRUE(fs::exists(bin + "tern2bufr"));
  const auto before = FilesIn(bin);
  // Each case: XDG_CONFIG_HOME (empty: unset) and the folder the desk must use.
  TempDir home;
  struct Case { std::string xdg, folder; };
  const Case cases[] = {{"", home / ".config/tern2bufr/"}, {home / "cfg", home / "cfg/tern2bufr/"}};
  for (const auto& c : cases) {
    const Start s = RunUntilFatal(bin + "tern2bufr", home.path(), c.xdg);
    EXPECT_EQ(s.fatal, QStringLiteral("tern2bufr: Не найден ") + QString::fromStdString(c.folder) +
                           QStringLiteral("STATION.CNF"));
    EXPECT_TRUE(fs::is_directory(c.folder)) << c.folder;  // created on the first start
  }
  EXPECT_EQ(FilesIn(bin), before);  // nothing is written beside an installed program
}

TEST(InstalledDesk, ReadsTheDemoStationCopiedIntoTheUsersFolder) {
  TempDir home;
  const std::string folder = home / ".config/tern2bufr/";
  fs::create_directories(folder);
  fs::copy(Prefix() + "share/tern2bufr/demo/settings", folder);
  // Without ASPD.CNF the start gets past STATION.CNF and TERN2BFR.CNF of that folder and stops at the next one.
  fs::remove(folder + "ASPD.CNF");
  const Start s = RunUntilFatal(Prefix() + "bin/tern2bufr", home.path());
  EXPECT_EQ(s.fatal, QStringLiteral("tern2bufr: Не найден ") + QString::fromStdString(folder) + QStringLiteral("ASPD.CNF"));
}

TEST(InstalledDesk, PortableCopyKeepsEverythingBesideItsExecutable) {
  TempDir home, portable;
  fs::copy_file(Prefix() + "bin/tern2bufr", portable / "tern2bufr");
  fs::copy_file(Prefix() + "share/tern2bufr/demo/settings/STATION.CNF", portable / "STATION.CNF");
  const Start s = RunUntilFatal(portable / "tern2bufr", home.path());
  EXPECT_EQ(s.fatal, QStringLiteral("tern2bufr: Не найден ") + QString::fromStdString(portable.path()) +
                         QStringLiteral("TERN2BFR.CNF"));
  EXPECT_FALSE(fs::exists(home / ".config/tern2bufr"));
}
