#pragma once
// The transports without windows: the FTP upload and the SMTP exchange run to
// their end on the calling thread, each step reported as one line of text.
#include <functional>
#include <string>

#include "app/SendPorts.h"
#include "transmit/mail/SystemMail.h"

namespace tern {

// The message to the workstation's mail client through the platform's hand-off;
// 0 when the client took it.
int HandToMailClient(const tMailHandOff& mail, void* parentWindow);

class THeadlessTransports : public ISendTransports {
 public:
  // progress receives one cp1251 line per step; may be empty.
  explicit THeadlessTransports(std::function<void(const std::string&)> progress = {})
      : progress_(std::move(progress)) {}

  bool SendFileFTP(tFTPTaskRecord& task) override;
  bool SendMailSMTP(tSMTPTaskRecord& task) override;
  // The platform's mail client unless another is given here.
  int SendMailClient(const tMailHandOff& mail) override;
  bool MailClientReportsOutcome() const override { return MailClient ? MailClientReports : PlatformMailReportsOutcome(); }

  std::function<int(const tMailHandOff&)> MailClient;
  bool MailClientReports = true;  // what MailClient's 0 means

 private:
  void Say(const std::string& line) const {
    if (progress_) progress_(line);
  }
  std::function<void(const std::string&)> progress_;
};

}  // namespace tern
