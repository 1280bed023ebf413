#include "transmit/FrmSendSMTP.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint),
      task_(task),
      runner_(std::move(runner)) {
  setWindowTitle(ToQ(cp("Отправка:") + task.Subject));
  setModal(true);

  lblSMTPPhase = new QLabel(this);
  lblSMTPPhase->setObjectName(QStringLiteral("lblSMTPPhase"));
  QFont bold = lblSMTPPhase->font();
  bold.setBold(true);
  lblSMTPPhase->setFont(bold);
  SetPhase(QString(), false);

  lblSMTPStatus = new QLabel(this);
  lblSMTPStatus->setObjectName(QStringLiteral("lblSMTPStatus"));
  lblSMTPStatus->setTextFormat(Qt::PlainText);

  lblProgress = new QLabel(this);
  lblProgress->setObjectName(QStringLiteral("lblProgress"));
  lblProgress->setTextFormat(Qt::PlainText);

  btnOK = new QPushButton(QStringLiteral("О&К"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setEnabled(false);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Прервать"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmSendSMTP::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblProgress, 1);
  bottom->addWidget(btnOK);
  bottom->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  layout->addWidget(lblSMTPPhase);
  layout->addWidget(lblSMTPStatus);
  layout->addLayout(bottom);

  setMinimumWidth(418);
  setMaximumWidth(800);
  resize(kClientWidth, kClientHeight);
}

TfrmSendSMTP::~TfrmSendSMTP() {
  // A destroyed owner can take the window down while the send runs: ask the
  // exchange to stop and wait for it.
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void TfrmSendSMTP::SetPhase(const QString& text, bool failed) {
  lblSMTPPhase->setText(text);
  QPalette p = lblSMTPPhase->palette();
  p.setColor(QPalette::WindowText, failed ? QColor(Qt::red) : palette().color(QPalette::Highlight));
  lblSMTPPhase->setPalette(p);
  lblSMTPPhase->setProperty("failed", failed);
}

void TfrmSendSMTP::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!started_) {
    started_ = true;
    QTimer::singleShot(0, this, &TfrmSendSMTP::Start);
  }
}

void TfrmSendSMTP::Start() {
  running_ = true;
  worker_ = std::thread([this] {
    QueuedSmtpMonitor monitor(this);
    TSMTPResult result = runner_(task_, monitor);
    QMetaObject::invokeMethod(this, [this, result] { Finish(result); }, Qt::QueuedConnection);
  });
}

void TfrmSendSMTP::Finish(const TSMTPResult& result) {
  if (worker_.joinable()) worker_.join();
  running_ = false;
  finished_ = true;
  result_ = result;
  if (!result.ErrorText.empty()) lblSMTPStatus->setText(ToQ(result.ErrorText));
  SetPhase(ToQ(SMTPOutcomeText(result)), !result.Sent);
  if (result.Sent) {
    setWindowTitle(ToQ(cp("Отправлено:") + task_.Subject));
    btnOK->setEnabled(true);
    btnCancel->setEnabled(false);
    btnOK->setFocus();
  } else {
    btnCancel->setText(QStringLiteral("Отмена"));
  }
}

void TfrmSendSMTP::reject() {
  if (running_ || !started_) {
    cancel_ = true;
    return;
  }
  QDialog::reject();
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
