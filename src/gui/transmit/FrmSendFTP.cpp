#include "transmit/FrmSendFTP.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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
    : QDialog(owner), task_(task), runner_(std::move(runner)) {
  setWindowTitle(QStringLiteral("Отправка"));
  setModal(true);

  lblFTPPhase = new QLabel(this);
  lblFTPPhase->setObjectName(QStringLiteral("lblFTPPhase"));
  QFont bold = lblFTPPhase->font();
  bold.setBold(true);
  lblFTPPhase->setFont(bold);
  // Some failure texts carry an instruction and a file name: wrap rather than clip.
  lblFTPPhase->setWordWrap(true);
  SetPhase(QString(), false);

  lblFTPStatus = new QLabel(this);
  lblFTPStatus->setObjectName(QStringLiteral("lblFTPStatus"));
  lblFTPStatus->setWordWrap(true);
  lblFTPStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblFTPStatus->setFixedHeight(lblFTPStatus->fontMetrics().lineSpacing() * 3);

  lblProgress = new QLabel(this);
  lblProgress->setObjectName(QStringLiteral("lblProgress"));

  btnOK = new QPushButton(QStringLiteral("О&К"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setEnabled(false);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Прервать"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmSendFTP::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblProgress);
  bottom->addStretch(1);
  bottom->addWidget(btnOK);
  bottom->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  layout->addWidget(lblFTPPhase);
  layout->addWidget(lblFTPStatus);
  layout->addLayout(bottom);

  setMinimumWidth(418);
  setMaximumWidth(800);
  resize(kClientWidth, kClientHeight);
}

TfrmSendFTP::~TfrmSendFTP() {
  // The window cannot close while the upload runs, but a destroyed owner
  // can take it down: ask the upload to stop and wait for it.
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void TfrmSendFTP::SetPhase(const QString& text, bool failed) {
  lblFTPPhase->setText(text);
  QPalette p = lblFTPPhase->palette();
  p.setColor(QPalette::WindowText, failed ? QColor(Qt::red) : palette().color(QPalette::Highlight));
  lblFTPPhase->setPalette(p);
  lblFTPPhase->setProperty("failed", failed);
}

void TfrmSendFTP::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!started_) {
    started_ = true;
    // Start once the window is on screen, from the event loop.
    QTimer::singleShot(0, this, &TfrmSendFTP::Start);
  }
}

void TfrmSendFTP::Start() {
  running_ = true;
  worker_ = std::thread([this] {
    QueuedFtpView view(this);
    const FtpOutcome outcome = runner_(task_, view, cancel_);
    QMetaObject::invokeMethod(this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
  });
}

void TfrmSendFTP::Finish(FtpOutcome outcome) {
  if (worker_.joinable()) worker_.join();
  running_ = false;
  finished_ = true;
  outcome_ = outcome;
  if (outcome == FtpOutcome::Succeeded) {
    btnOK->setEnabled(true);
    btnCancel->setEnabled(false);
    btnOK->setFocus();
  } else if (outcome == FtpOutcome::Failed) {
    btnCancel->setText(QStringLiteral("Отмена"));
  }
}

void TfrmSendFTP::reject() {
  if (running_ || !started_) {
    cancel_ = true;
    return;
  }
  QDialog::reject();
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
