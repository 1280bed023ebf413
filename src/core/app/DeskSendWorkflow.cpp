#include "app/DeskSendWorkflow.h"

#include "base/Error.h"
#include "config/MyIniFile.h"

namespace tern {
namespace {

// The desk's windows, with its closing request.
class DeskView : public ISendDesk {
 public:
  DeskView(ISendDesk& inner, const TDesk& desk) : inner_(inner), desk_(desk) {}
  void SetClipboardText(const std::string& text) override { inner_.SetClipboardText(text); }
  bool ShowTelegram(std::string& text, const std::string& caption, bool readOnly,
                    const std::string& okCaption) override {
    return inner_.ShowTelegram(text, caption, readOnly, okCaption);
  }
  bool ShowCheckData(TUAMessage& ascent, bool readOnly) override { return inner_.ShowCheckData(ascent, readOnly); }
  bool CloseRequested() const override { return desk_.Closing || inner_.CloseRequested(); }
  void TerminateApplication() override { inner_.TerminateApplication(); }

 private:
  ISendDesk& inner_;
  const TDesk& desk_;
};

// The transports, with the desk's flag raised while the mail client has the message:
// closing the desk meanwhile asks first.
class DeskTransports : public ISendTransports {
 public:
  DeskTransports(ISendTransports& inner, TDesk& desk) : inner_(inner), desk_(desk) {}
  bool SendFileFTP(tFTPTaskRecord& task) override { return inner_.SendFileFTP(task); }
  bool SendMailSMTP(tSMTPTaskRecord& task) override { return inner_.SendMailSMTP(task); }
  int SendMailClient(const tMailHandOff& mail) override {
    desk_.EmailSending = true;
    const int result = inner_.SendMailClient(mail);
    desk_.EmailSending = false;
    return result;
  }
  bool MailClientReportsOutcome() const override { return inner_.MailClientReportsOutcome(); }

 private:
  ISendTransports& inner_;
  TDesk& desk_;
};

}  // namespace

void TDeskSendWorkflow::Send(int sendTag, TDesk& desk) {
  LastOutcome = SendOutcome::Stopped;
  if (!desk.Ascent) return;
  DeskView view(view_, desk);
  DeskTransports transports(transports_, desk);
  TSendWorkflow workflow(
      tSendContext{*desk.Ascent, desk.Panel, desk.Vars, desk.Messages, desk.Transfers, view, transports, desk.Op});
  workflow.Clock = Clock;
  workflow.BufrNotSent = desk.BufrNotSent;
  LastOutcome = workflow.btnSendClick(sendTag);
  desk.BufrNotSent = workflow.BufrNotSent;
}

}  // namespace tern
