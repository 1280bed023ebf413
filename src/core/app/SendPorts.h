#pragma once
// What the send workflow needs from its surroundings besides the ascent and
// the settings: the windows the operator reviews a message in, the clipboard,
// and the transports. The desk fills these with its windows, the command line
// and the tests with headless stand-ins.
#include <string>

#include "base/Text.h"
#include "sounding/UAMessage.h"
#include "transmit/ftp/FtpTask.h"
#include "transmit/smtp/SMTPTask.h"

namespace tern {

class ISendDesk {
 public:
  virtual ~ISendDesk() = default;
  // The text as plain text on the clipboard, Cyrillic letters intact (cp1251 in).
  virtual void SetClipboardText(const std::string& text) = 0;
  // The preview of a text bulletin; text is replaced by the reviewed text when
  // the operator confirms (true), untouched otherwise.
  virtual bool ShowTelegram(std::string& text, const std::string& caption, bool readOnly,
                            const std::string& okCaption) = 0;
  // The data check of a BUFR message; false when the operator backs out.
  virtual bool ShowCheckData(TUAMessage& ascent, bool readOnly) = 0;
  // The operator asked to close the desk while a mail hand-off was running.
  virtual bool CloseRequested() const { return false; }
  virtual void TerminateApplication() {}
};

// A message handed to the operator's mail client.
struct tMailHandOff {
  std::string Subject;
  std::string Body;        // the text of a text bulletin; empty for BUFR
  std::string SenderName;  // the station index
  TextList To, Cc, Bcc;
  TextList Attachments;    // file paths
  std::string From;
};

class ISendTransports {
 public:
  virtual ~ISendTransports() = default;
  // Uploads the prepared task; true when the server took the file.
  virtual bool SendFileFTP(tFTPTaskRecord& task) = 0;
  // Sends the task through its relay; true when the relay accepted it.
  virtual bool SendMailSMTP(tSMTPTaskRecord& task) = 0;
  // 0 when the mail client took the message, else its error code.
  virtual int SendMailClient(const tMailHandOff& mail) = 0;
  // True when a 0 from SendMailClient means the message went out; false when
  // the client only opened its compose window, so the operator is asked.
  virtual bool MailClientReportsOutcome() const = 0;
};

}  // namespace tern
