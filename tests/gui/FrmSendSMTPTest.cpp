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
#include "transmit/FrmSendSMTP.h"

using namespace tern;
using tern::test::PressKey;
using tern::test::WaitFor;

namespace {

bool PhaseIsRed(const TfrmSendSMTP& w) { return w.lblSMTPPhase->property("failed").toBool(); }

tSMTPTaskRecord Task() {
  tSMTPTaskRecord task;
  task.Subject = cp("TTAA 27612 Бюллетень");
  return task;
}

// A send that reports like the real one and ends with the given result.
SmtpRunner Scripted(TSMTPResult result) {
  return [=](const tSMTPTaskRecord&, ISMTPMonitor& m) {
    m.Phase(cp("Подключение к серверу.."));
    m.Reply("250 OK");
    m.Status(2, "DATA");
    return result;
  };
}

TEST(FrmSendSMTP, InitialLook) {
  const tSMTPTaskRecord task = Task();
  TfrmSendSMTP w(task, nullptr, Scripted({}));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Отправка:TTAA 27612 Бюллетень"));
  EXPECT_EQ(w.btnOK->text(), QStringLiteral("О&К"));
  EXPECT_FALSE(w.btnOK->isEnabled());
  EXPECT_EQ(w.btnCancel->text(), QStringLiteral("&Прервать"));
  EXPECT_TRUE(w.lblSMTPPhase->font().bold());
  EXPECT_GE(w.minimumWidth(), 418);
  EXPECT_LE(w.maximumWidth(), 800);
}

TEST(FrmSendSMTP, SuccessShowsTheExchangeAndOnlyOkOrEscClose) {
  const tSMTPTaskRecord task = Task();
  TSMTPResult sent;
  sent.Sent = true;
  TfrmSendSMTP w(task, nullptr, Scripted(sent));
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return w.btnOK->isEnabled(); }));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Отправлено:TTAA 27612 Бюллетень"));
  EXPECT_EQ(w.lblSMTPPhase->text(), QStringLiteral("Сообщение отправлено"));
  EXPECT_FALSE(PhaseIsRed(w));
  EXPECT_EQ(w.lblSMTPStatus->text(), QStringLiteral("250 OK"));
  EXPECT_EQ(w.lblProgress->text(), QStringLiteral("2:DATA"));
  EXPECT_FALSE(w.btnCancel->isEnabled());
  w.close();  // the title-bar close does nothing
  EXPECT_TRUE(w.isVisible());
  PressKey(&w, Qt::Key_Escape);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(w.Succeeded());
}

TEST(FrmSendSMTP, FailureShowsTheErrorAndTheCancelButtonCloses) {
  const tSMTPTaskRecord task = Task();
  TSMTPResult failed;
  failed.ErrorText = "Login denied";
  TfrmSendSMTP w(task, nullptr, Scripted(failed));
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return !w.Running() && w.btnCancel->text() == QStringLiteral("Отмена"); }));
  EXPECT_EQ(w.lblSMTPPhase->text(), QStringLiteral("Ошибка отправки.."));
  EXPECT_TRUE(PhaseIsRed(w));
  EXPECT_EQ(w.lblSMTPStatus->text(), QStringLiteral("Login denied"));
  EXPECT_FALSE(w.btnOK->isEnabled());
  // The caption no longer claims a send in progress.
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Не отправлено:TTAA 27612 Бюллетень"));
  w.close();
  EXPECT_TRUE(w.isVisible());
  w.btnCancel->click();
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(w.Succeeded());
}

TEST(FrmSendSMTP, CancelReachesTheExchangeAndEndsAsCancelled) {
  const tSMTPTaskRecord task = Task();
  std::atomic<int> beats{0};
  SmtpRunner runner = [&](const tSMTPTaskRecord&, ISMTPMonitor& m) {
    TSMTPResult r;
    while (!m.Cancelled() && beats < 5000) {
      m.Heartbeat();
      ++beats;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    r.Cancelled = m.Cancelled();
    return r;
  };
  TfrmSendSMTP w(task, nullptr, runner);
  int result = -1;
  QObject::connect(&w, &QDialog::finished, [&](int r) { result = r; });
  w.open();
  ASSERT_TRUE(WaitFor([&] { return w.Running() && beats > 0; }));
  w.btnCancel->click();
  EXPECT_TRUE(w.isVisible());
  ASSERT_TRUE(WaitFor([&] { return !w.Running(); }));
  EXPECT_LT(beats, 5000);
  EXPECT_EQ(w.lblSMTPPhase->text(), QStringLiteral("Отмена отправки.."));
  EXPECT_TRUE(PhaseIsRed(w));
  EXPECT_EQ(w.btnCancel->text(), QStringLiteral("Отмена"));
  EXPECT_EQ(result, -1);
  PressKey(&w, Qt::Key_Escape);
  EXPECT_EQ(result, QDialog::Rejected);
}

// The real exchange behind the window against a port where nothing listens.
TEST(FrmSendSMTP, SendMailSMTPReportsAFailedSendAsFalse) {
  tSMTPTaskRecord task = Task();
  task.TextMode = true;
  task.Server = "127.0.0.1:1";
  task.Login = "meteo";
  task.Password = "secret";
  task.From = "st@example.org";
  task.To = "a@example.org";
  QString phase, status;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* w = qobject_cast<TfrmSendSMTP*>(QApplication::activeModalWidget());
    if (w && !w->Running() && w->btnCancel->text() == QStringLiteral("Отмена")) {
      phase = w->lblSMTPPhase->text();
      status = w->lblSMTPStatus->text();
      w->btnCancel->click();
    }
  });
  poll.start();
  EXPECT_FALSE(SendMailSMTP(nullptr, task));
  EXPECT_EQ(phase, QStringLiteral("Ошибка отправки.."));
  // The reason in Russian, the library's own text behind it.
  EXPECT_TRUE(status.startsWith(QStringLiteral("Сервер отказал в соединении: "))) << status.toStdString();
  EXPECT_TRUE(status.contains(QStringLiteral("127.0.0.1"))) << status.toStdString();
}

}  // namespace
