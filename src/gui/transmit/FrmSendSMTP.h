#pragma once
// The small progress window of one mail send. The exchange reports through
// queued calls, so the window keeps painting and the operator's "Прервать"
// reaches the exchange at its next callback.
#include <functional>

#include "transmit/TransferWindow.h"
#include "transmit/smtp/SMTPSender.h"

namespace tern {

using SmtpRunner = std::function<TSMTPResult(const tSMTPTaskRecord&, ISMTPMonitor&)>;

class TfrmSendSMTP : public TTransferWindow {
  Q_OBJECT
 public:
  // The task must outlive the window. runner is the send; tests pass their own.
  explicit TfrmSendSMTP(const tSMTPTaskRecord& task, QWidget* owner = nullptr, SmtpRunner runner = SendSMTPMessage);
  ~TfrmSendSMTP() override;

  bool Succeeded() const { return finished_ && result_.Sent; }

  QLabel* lblSMTPPhase = nullptr;
  QLabel* lblSMTPStatus = nullptr;

  static constexpr int kClientWidth = 516;
  static constexpr int kClientHeight = 81;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  // The title-bar close does nothing: only the buttons end the window.
  void closeEvent(QCloseEvent* e) override;
  std::function<void()> RunTransfer() override;

 private:
  friend class QueuedSmtpMonitor;
  void Finish(const TSMTPResult& result);

  const tSMTPTaskRecord& task_;
  SmtpRunner runner_;
  TSMTPResult result_;
};

// Runs one send in the modal window; true only when the message went out and
// the operator closed the window with "ОК".
bool SendMailSMTP(QWidget* owner, const tSMTPTaskRecord& task);

}  // namespace tern
