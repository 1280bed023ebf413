#include "app/HeadlessTransports.h"

#include <atomic>

#include "base/Text.h"
#include "transmit/ftp/FtpUpload.h"
#include "transmit/mail/SystemMail.h"
#include "transmit/smtp/SMTPSender.h"

namespace tern {
namespace {

class LineFtpView : public IFtpUploadView {
 public:
  explicit LineFtpView(std::function<void(const std::string&)> say) : say_(std::move(say)) {}
  void ShowCaption(const std::string& text) override { say_(text); }
  void ShowPhase(const std::string& text, bool) override { say_(text); }
  void ShowStatus(const std::string&) override {}
  void ShowProgress(uint32_t, uint32_t) override {}

 private:
  std::function<void(const std::string&)> say_;
};

class LineSmtpMonitor : public ISMTPMonitor {
 public:
  explicit LineSmtpMonitor(std::function<void(const std::string&)> say) : say_(std::move(say)) {}
  void Phase(const std::string& text) override { say_(text); }
  void Status(int, const std::string&) override {}
  void Reply(const std::string&) override {}
  void Heartbeat() override {}
  bool Cancelled() override { return false; }

 private:
  std::function<void(const std::string&)> say_;
};

}  // namespace

bool THeadlessTransports::SendFileFTP(tFTPTaskRecord& task) {
  LineFtpView view([this](const std::string& line) { Say(line); });
  const std::atomic<bool> never{false};
  return RunFtpUpload(task, view, never) == FtpOutcome::Succeeded;
}

bool THeadlessTransports::SendMailSMTP(tSMTPTaskRecord& task) {
  LineSmtpMonitor monitor([this](const std::string& line) { Say(line); });
  const TSMTPResult result = SendSMTPMessage(task, monitor);
  if (!result.ErrorText.empty()) Say(result.ErrorText);
  Say(SMTPOutcomeText(result));
  return result.Sent;
}

int THeadlessTransports::SendMailClient(const tMailHandOff& mail) {
  if (MailClient) return MailClient(mail);
  return HandToMailClient(mail, nullptr);
}

int HandToMailClient(const tMailHandOff& mail, void* parentWindow) {
  const TextList* attachments = mail.Attachments.empty() ? nullptr : &mail.Attachments;
  const TextList* cc = mail.Cc.empty() ? nullptr : &mail.Cc;
  const TextList* bcc = mail.Bcc.empty() ? nullptr : &mail.Bcc;
  return SendMailMAPI(mail.Subject, mail.Body, parentWindow, true, attachments, &mail.To, cc, bcc);
}

}  // namespace tern
