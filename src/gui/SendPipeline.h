#pragma once
// The send workflow's windows and transports on the desk: the clipboard, the
// telegram preview, the data check viewer, the FTP and SMTP progress windows
// and the mail client.
#include <QWidget>

#include "app/DeskSendWorkflow.h"
#include "app/SendPorts.h"
#include "base/Operator.h"

namespace tern {

class TQtSendDesk : public ISendDesk {
 public:
  TQtSendDesk(QWidget* owner, IOperator& op) : owner_(owner), op_(op) {}
  void SetClipboardText(const std::string& text) override;
  bool ShowTelegram(std::string& text, const std::string& caption, bool readOnly,
                    const std::string& okCaption) override;
  bool ShowCheckData(TUAMessage& ascent, bool readOnly) override;
  void TerminateApplication() override;

 private:
  QWidget* owner_;
  IOperator& op_;
};

class TQtTransports : public ISendTransports {
 public:
  explicit TQtTransports(QWidget* owner) : owner_(owner) {}
  bool SendFileFTP(tFTPTaskRecord& task) override;
  bool SendMailSMTP(tSMTPTaskRecord& task) override;
  int SendMailClient(const tMailHandOff& mail) override;
  bool MailClientReportsOutcome() const override;

 private:
  QWidget* owner_;
};

// What the main window installs as its send hook.
struct TQtSendPipeline {
  TQtSendPipeline(QWidget* owner, IOperator& op) : Desk(owner, op), Transports(owner), Workflow(Desk, Transports) {}
  TQtSendDesk Desk;
  TQtTransports Transports;
  TDeskSendWorkflow Workflow;
};

}  // namespace tern
