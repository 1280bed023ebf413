#include "transmit/smtp/SMTPAddresses.h"

namespace tern {

void FillSMTPAddresses(tSMTPTaskRecord& task, const tMailSettings& mail, bool textMode) {
  task.TextMode = textMode;
  task.From = mail.From;
  task.To = mail.To;
  if (!mail.CC.empty()) task.Cc = mail.CC;
  if (!mail.BCC.empty()) task.Bcc = mail.BCC;
  if (task.Receipt) {
    task.ReceiptAddress = mail.From;
    task.NotificationAddress = mail.From;
  }
}

}  // namespace tern
