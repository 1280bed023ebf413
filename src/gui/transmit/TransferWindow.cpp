#include "transmit/TransferWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tern {

TTransferWindow::TTransferWindow(QWidget* owner, Qt::WindowFlags flags) : QDialog(owner, flags) { setModal(true); }

TTransferWindow::~TTransferWindow() { StopTransfer(); }

void TTransferWindow::StopTransfer() {
  // The window cannot close while the transfer runs, but a destroyed owner
  // can take it down.
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void TTransferWindow::BuildControls(const QString& phaseName, const QString& statusName,
                                    const QString& cancelCaption, QSize clientSize) {
  phase_ = new QLabel(this);
  phase_->setObjectName(phaseName);
  QFont bold = phase_->font();
  bold.setBold(true);
  phase_->setFont(bold);
  SetPhase(QString(), false);

  status_ = new QLabel(this);
  status_->setObjectName(statusName);
  status_->setTextFormat(Qt::PlainText);

  lblProgress = new QLabel(this);
  lblProgress->setObjectName(QStringLiteral("lblProgress"));
  lblProgress->setTextFormat(Qt::PlainText);

  btnOK = new QPushButton(QStringLiteral("О&К"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setEnabled(false);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(cancelCaption, this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &TTransferWindow::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblProgress, 1);
  bottom->addWidget(btnOK);
  bottom->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  layout->addWidget(phase_);
  layout->addWidget(status_);
  layout->addLayout(bottom);

  setMinimumWidth(418);
  setMaximumWidth(800);
  resize(clientSize);
}

void TTransferWindow::SetPhase(const QString& text, bool failed) {
  phase_->setText(text);
  QPalette p = phase_->palette();
  p.setColor(QPalette::WindowText, failed ? QColor(Qt::red) : palette().color(QPalette::Highlight));
  phase_->setPalette(p);
  phase_->setProperty("failed", failed);
}

void TTransferWindow::ShowSucceeded() {
  btnOK->setEnabled(true);
  btnCancel->setEnabled(false);
  btnOK->setFocus();
}

void TTransferWindow::ShowFailed() { btnCancel->setText(QStringLiteral("Отмена")); }

void TTransferWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!started_) {
    started_ = true;
    // Start once the window is on screen, from the event loop.
    QTimer::singleShot(0, this, &TTransferWindow::Start);
  }
}

void TTransferWindow::Start() {
  running_ = true;
  worker_ = std::thread([this] {
    std::function<void()> report = RunTransfer();
    QMetaObject::invokeMethod(
        this,
        [this, report] {
          if (worker_.joinable()) worker_.join();
          running_ = false;
          finished_ = true;
          report();
        },
        Qt::QueuedConnection);
  });
}

void TTransferWindow::reject() {
  if (running_ || !started_) {
    cancel_ = true;
    return;
  }
  QDialog::reject();
}

}  // namespace tern
