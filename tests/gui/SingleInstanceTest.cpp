#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>

#include "SingleInstance.h"
#include "TestSupport.h"

using namespace tern;

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
