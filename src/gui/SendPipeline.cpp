#include "SendPipeline.h"

#include <QApplication>
#include <QClipboard>

#include "TextBridge.h"
#include "app/HeadlessTransports.h"
#include "transmit/mail/SystemMail.h"
#include "review/DisplayTLG.h"
#include "review/ViewCheckData.h"
#include "transmit/FrmSendFTP.h"
#include "transmit/FrmSendSMTP.h"

namespace tern {

void TQtSendDesk::SetClipboardText(const std::string& text) {
  // Through Unicode, so that the Cyrillic letters survive any locale.
  QApplication::clipboard()->setText(ToQ(text));
}

bool TQtSendDesk::ShowTelegram(std::string& text, const std::string& caption, bool readOnly,
                               const std::string& okCaption) {
  return tern::ShowTelegram(owner_, text, caption, readOnly, okCaption, &op_);
}

bool TQtSendDesk::ShowCheckData(TUAMessage& ascent, bool readOnly) {
  return tern::ShowCheckData(owner_, ascent, readOnly, op_);
}

void TQtSendDesk::TerminateApplication() { QApplication::exit(0); }

bool TQtTransports::SendFileFTP(tFTPTaskRecord& task) { return tern::SendFileFTP(owner_, task); }

bool TQtTransports::SendMailSMTP(tSMTPTaskRecord& task) { return tern::SendMailSMTP(owner_, task); }

int TQtTransports::SendMailClient(const tMailHandOff& mail) { return HandToMailClient(mail, owner_); }

bool TQtTransports::MailClientReportsOutcome() const { return PlatformMailReportsOutcome(); }

}  // namespace tern
