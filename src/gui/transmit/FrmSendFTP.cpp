#include "transmit/FrmSendFTP.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "TextBridge.h"

namespace tern {

// Carries the upload's reports from the worker thread into the window's
// thread. Reports that arrive after the window is gone are dropped by Qt.
class QueuedFtpView : public IFtpUploadView {
 public:
  explicit QueuedFtpView(TfrmSendFTP* w) : w_(w) {}
  void ShowCaption(const std::string& text) override {
    Post([w = w_, t = ToQ(text)] { w->setWindowTitle(t); });
  }
  void ShowPhase(const std::string& text, bool failed) override {
    Post([w = w_, t = ToQ(text), failed] { w->SetPhase(t, failed); });
  }
  void ShowStatus(const std::string& text) override {
    Post([w = w_, t = ToQ(text)] { w->lblFTPStatus->setText(t); });
  }
  void ShowProgress(uint32_t sent, uint32_t size) override {
    Post([w = w_, t = QString::fromStdString(ProgressText(sent, size))] { w->lblProgress->setText(t); });
  }

 private:
  template <typename F>
  void Post(F f) {
    QMetaObject::invokeMethod(w_, std::move(f), Qt::QueuedConnection);
  }
  TfrmSendFTP* w_;
};

TfrmSendFTP::TfrmSendFTP(const tFTPTaskRecord& task, QWidget* owner, FtpRunner runner)
    : TTransferWindow(owner, Qt::Dialog), task_(task), runner_(std::move(runner)) {
  setWindowTitle(QStringLiteral("Отправка"));
  BuildControls(QStringLiteral("lblFTPPhase"), QStringLiteral("lblFTPStatus"), QStringLiteral("Прервать"),
                QSize(kClientWidth, kClientHeight));
  lblFTPPhase = phase_;
  lblFTPStatus = status_;
  // Some failure texts carry an instruction and a file name: wrap rather than clip.
  lblFTPPhase->setWordWrap(true);
  lblFTPStatus->setWordWrap(true);
  lblFTPStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblFTPStatus->setFixedHeight(lblFTPStatus->fontMetrics().lineSpacing() * 3);
}

TfrmSendFTP::~TfrmSendFTP() { StopTransfer(); }

std::function<void()> TfrmSendFTP::RunTransfer() {
  QueuedFtpView view(this);
  const FtpOutcome outcome = runner_(task_, view, cancel_);
  return [this, outcome] { Finish(outcome); };
}

void TfrmSendFTP::Finish(FtpOutcome outcome) {
  outcome_ = outcome;
  if (outcome == FtpOutcome::Succeeded)
    ShowSucceeded();
  else if (outcome == FtpOutcome::Failed)
    ShowFailed();
}

void TfrmSendFTP::keyPressEvent(QKeyEvent* e) {
  // Esc acts as the cancel button and does nothing while that is disabled.
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    if (btnCancel->isEnabled()) reject();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool SendFileFTP(QWidget* owner, const tFTPTaskRecord& task) {
  TfrmSendFTP window(task, owner);
  const int result = window.exec();
  return result == QDialog::Accepted && window.Succeeded();
}

}  // namespace tern
