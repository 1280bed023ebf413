#pragma once
// The small progress window of one mail send. The exchange runs on a worker
// thread and reports through queued calls, so the window keeps painting and
// the operator's "Прервать" reaches the exchange at its next callback.
#include <QDialog>
#include <atomic>
#include <functional>
#include <thread>

#include "transmit/smtp/SMTPSender.h"

class QLabel;
class QPushButton;

namespace tern {

using SmtpRunner = std::function<TSMTPResult(const tSMTPTaskRecord&, ISMTPMonitor&)>;

class TfrmSendSMTP : public QDialog {
  Q_OBJECT
 public:
  // The task must outlive the window. runner is the send; tests pass their own.
  explicit TfrmSendSMTP(const tSMTPTaskRecord& task, QWidget* owner = nullptr, SmtpRunner runner = SendSMTPMessage);
  ~TfrmSendSMTP() override;

  bool Running() const { return running_; }
  bool Succeeded() const { return finished_ && result_.Sent; }
  bool CancelRequested() const { return cancel_.load(); }

  QLabel* lblSMTPPhase = nullptr;
  QLabel* lblSMTPStatus = nullptr;
  QLabel* lblProgress = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  static constexpr int kClientWidth = 516;
  static constexpr int kClientHeight = 81;

 public slots:
  // "Прервать" and Esc: a request while the send runs, closing afterwards.
  void reject() override;

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  // The title-bar close does nothing: only the buttons end the window.
  void closeEvent(QCloseEvent* e) override;

 private:
  friend class QueuedSmtpMonitor;
  void Start();
  void Finish(const TSMTPResult& result);
  void SetPhase(const QString& text, bool failed);

  const tSMTPTaskRecord& task_;
  SmtpRunner runner_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool started_ = false;
  bool running_ = false;
  bool finished_ = false;
  TSMTPResult result_;
};

// Runs one send in the modal window; true only when the message went out and
// the operator closed the window with "ОК".
bool SendMailSMTP(QWidget* owner, const tSMTPTaskRecord& task);

}  // namespace tern
