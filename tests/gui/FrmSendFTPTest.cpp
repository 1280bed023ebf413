#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <thread>

#include "GuiTestSupport.h"
#include "TextBridge.h"
#include "base/Text.h"
#include "transmit/FrmSendFTP.h"

using namespace tern;
using tern::test::PressKey;
using tern::test::WaitFor;

namespace {

bool PhaseIsRed(const TfrmSendFTP& w) { return w.lblFTPPhase->property("failed").toBool(); }

tFTPTaskRecord Task() {
  tFTPTaskRecord task;
  task.Data = "data";
  task.LocalName = "TTAA";
  task.FinalName = "234500000005.a";
  task.TempName = "234500000005.a.tmp";
  return task;
}

// An upload that reports like the real one and ends as told.
FtpRunner Scripted(FtpOutcome outcome, const char* lastPhase, bool red) {
  return [=](const tFTPTaskRecord&, IFtpUploadView& view, const std::atomic<bool>&) {
    view.ShowCaption(cp("Загрузка TTAA/234500000005.a"));
    view.ShowPhase(cp("Подключение к серверу"), false);
    view.ShowStatus(cp("Есть соединение"));
    view.ShowProgress(4, 4);
    view.ShowPhase(cp(lastPhase), red);
    return outcome;
  };
}

}  // namespace

TEST(FrmSendFTP, InitialLook) {
  const tFTPTaskRecord task = Task();
  TfrmSendFTP w(task, nullptr, Scripted(FtpOutcome::Succeeded, "", false));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Отправка"));
  EXPECT_EQ(w.btnOK->text(), QStringLiteral("О&К"));
  EXPECT_FALSE(w.btnOK->isEnabled());
  EXPECT_EQ(w.btnCancel->text(), QStringLiteral("Прервать"));
  EXPECT_TRUE(w.lblFTPPhase->font().bold());
  EXPECT_TRUE(w.lblFTPStatus->wordWrap());
  EXPECT_GE(w.minimumWidth(), 418);
  EXPECT_LE(w.maximumWidth(), 800);
}

TEST(FrmSendFTP, SuccessEnablesOkOnlyOkGivesTrue) {
  const tFTPTaskRecord task = Task();
  TfrmSendFTP w(task, nullptr, Scripted(FtpOutcome::Succeeded, "Загрузка завершена успешно", false));
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return w.btnOK->isEnabled(); }));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Загрузка TTAA/234500000005.a"));
  EXPECT_EQ(w.lblFTPPhase->text(), QStringLiteral("Загрузка завершена успешно"));
  EXPECT_FALSE(PhaseIsRed(w));
  EXPECT_EQ(w.lblFTPStatus->text(), QStringLiteral("Есть соединение"));
  EXPECT_EQ(w.lblProgress->text(), QStringLiteral("4/4"));
  EXPECT_FALSE(w.btnCancel->isEnabled());
  // Esc does nothing while the cancel button is disabled.
  PressKey(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.isVisible());
  w.btnOK->click();
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(w.Succeeded());
}

TEST(FrmSendFTP, FailureRenamesTheCancelButtonWhichCloses) {
  const tFTPTaskRecord task = Task();
  TfrmSendFTP w(task, nullptr, Scripted(FtpOutcome::Failed, "Ошибка подключения к серверу", true));
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return !w.Running() && w.btnCancel->text() == QStringLiteral("Отмена"); }));
  EXPECT_FALSE(w.btnOK->isEnabled());
  EXPECT_TRUE(PhaseIsRed(w));
  EXPECT_EQ(w.lblFTPPhase->text(), QStringLiteral("Ошибка подключения к серверу"));
  w.btnCancel->click();
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(w.Succeeded());
}

TEST(FrmSendFTP, CancelIsARequestThenASecondPressCloses) {
  const tFTPTaskRecord task = Task();
  std::atomic<bool> sawCancel{false};
  // Writes "chunks" until the cancel request arrives.
  FtpRunner runner = [&](const tFTPTaskRecord&, IFtpUploadView& view, const std::atomic<bool>& cancel) {
    for (uint32_t sent = 0; !cancel && sent < 100000; ++sent) {
      view.ShowProgress(sent, 100000);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sawCancel = cancel.load();
    view.ShowPhase(cp("Отмена загрузки бюллетеня"), true);
    return FtpOutcome::Cancelled;
  };
  TfrmSendFTP w(task, nullptr, runner);
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return w.Running() && !w.lblProgress->text().isEmpty(); }));
  // The close control and the cancel button only ask; the window stays.
  w.close();
  EXPECT_TRUE(w.isVisible());
  w.btnCancel->click();
  EXPECT_TRUE(w.isVisible());
  ASSERT_TRUE(WaitFor([&] { return !w.Running(); }));
  EXPECT_TRUE(sawCancel);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(result, -1);
  EXPECT_EQ(w.lblFTPPhase->text(), QStringLiteral("Отмена загрузки бюллетеня"));
  EXPECT_TRUE(PhaseIsRed(w));
  EXPECT_EQ(w.btnCancel->text(), QStringLiteral("Прервать"));
  EXPECT_FALSE(w.btnOK->isEnabled());
  w.btnCancel->click();
  EXPECT_EQ(result, QDialog::Rejected);
}

TEST(FrmSendFTP, EscDuringTheUploadIsACancelRequest) {
  const tFTPTaskRecord task = Task();
  FtpRunner runner = [](const tFTPTaskRecord&, IFtpUploadView&, const std::atomic<bool>& cancel) {
    for (int i = 0; i < 2000 && !cancel; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return cancel ? FtpOutcome::Cancelled : FtpOutcome::Succeeded;
  };
  TfrmSendFTP w(task, nullptr, runner);
  w.open();
  ASSERT_TRUE(WaitFor([&] { return w.Running(); }));
  PressKey(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.CancelRequested());
  ASSERT_TRUE(WaitFor([&] { return !w.Running(); }));
  EXPECT_FALSE(w.Succeeded());
  EXPECT_TRUE(w.isVisible());
}

// The real upload behind the window, against an address where nothing
// listens: the failure text reaches the window and the result is false.
TEST(FrmSendFTP, SendFileFTPReportsAFailedUploadAsFalse) {
  tFTPTaskRecord task = Task();
  task.Server = "127.0.0.1";
  task.Port = 1;  // privileged and unused: the connection is refused at once
  task.User = "u";
  task.Password = "p";
  QString phase, status;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* w = qobject_cast<TfrmSendFTP*>(QApplication::activeModalWidget());
    if (w && !w->Running() && w->btnCancel->text() == QStringLiteral("Отмена")) {
      phase = w->lblFTPPhase->text();
      status = w->lblFTPStatus->text();
      w->btnCancel->click();
    }
  });
  poll.start();
  EXPECT_FALSE(SendFileFTP(nullptr, task));
  EXPECT_EQ(phase, QStringLiteral("Ошибка подключения к серверу"));
  // The reason in Russian, the library's own text behind it.
  EXPECT_TRUE(status.startsWith(QStringLiteral("Сервер отказал в соединении: "))) << status.toStdString();
}
