#include "transmit/FrmSendSMTP.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "TextBridge.h"

namespace tern {

// Carries the exchange's reports from the worker thread into the window's
// thread; the cancel request travels the other way through an atomic flag.
class QueuedSmtpMonitor : public ISMTPMonitor {
 public:
  explicit QueuedSmtpMonitor(TfrmSendSMTP* w) : w_(w) {}
  void Phase(const std::string& text) override {
    Post([w = w_, t = ToQ(text)] { w->SetPhase(t, false); });
  }
  void Status(int event, const std::string& text) override {
    Post([w = w_, t = QString::number(event) + QLatin1Char(':') + ToQ(text)] { w->lblProgress->setText(t); });
  }
  void Reply(const std::string& text) override {
    Post([w = w_, t = ToQ(text)] { w->lblSMTPStatus->setText(t); });
  }
  void Heartbeat() override {}
  bool Cancelled() override { return w_->cancel_.load(); }

 private:
  template <typename F>
  void Post(F f) {
    QMetaObject::invokeMethod(w_, std::move(f), Qt::QueuedConnection);
  }
  TfrmSendSMTP* w_;
};

TfrmSendSMTP::TfrmSendSMTP(const tSMTPTaskRecord& task, QWidget* owner, SmtpRunner runner)
    : TTransferWindow(owner,
                      Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint),
      task_(task),
      runner_(std::move(runner)) {
  setWindowTitle(ToQ(cp("Отправка:") + task.Subject));
  BuildControls(QStringLiteral("lblSMTPPhase"), QStringLiteral("lblSMTPStatus"), QStringLiteral("&Прервать"),
                QSize(kClientWidth, kClientHeight));
  lblSMTPPhase = phase_;
  lblSMTPStatus = status_;
}

TfrmSendSMTP::~TfrmSendSMTP() { StopTransfer(); }

std::function<void()> TfrmSendSMTP::RunTransfer() {
  QueuedSmtpMonitor monitor(this);
  TSMTPResult result = runner_(task_, monitor);
  return [this, result] { Finish(result); };
}

void TfrmSendSMTP::Finish(const TSMTPResult& result) {
  result_ = result;
  if (!result.ErrorText.empty()) lblSMTPStatus->setText(ToQ(result.ErrorText));
  SetPhase(ToQ(SMTPOutcomeText(result)), !result.Sent);
  if (result.Sent) {
    setWindowTitle(ToQ(cp("Отправлено:") + task_.Subject));
    ShowSucceeded();
  } else {
    setWindowTitle(ToQ(cp("Не отправлено:") + task_.Subject));
    ShowFailed();
  }
}

void TfrmSendSMTP::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    // After a success Esc closes as "ОК" does; otherwise it is the cancel button.
    if (finished_ && result_.Sent) {
      btnOK->click();
    } else if (btnCancel->isEnabled()) {
      reject();
    }
    return;
  }
  QDialog::keyPressEvent(e);
}

void TfrmSendSMTP::closeEvent(QCloseEvent* e) { e->ignore(); }

bool SendMailSMTP(QWidget* owner, const tSMTPTaskRecord& task) {
  TfrmSendSMTP window(task, owner);
  const int result = window.exec();
  return result == QDialog::Accepted && window.Succeeded();
}

}  // namespace tern
