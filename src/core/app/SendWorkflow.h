#pragma once
// One press of a send button, from building the message to recording the
// send: the existing-copy question, the bulletin or BUFR message, the review,
// the saved copy, the transport of the configured mode, the counters and the
// record in the ascent's sent-messages file. The desk connects its eight
// buttons to btnSendClick; the command line runs the same sequence headless.
#include <functional>
#include <string>

#include "app/AscentPanel.h"
#include "app/AscentVariables.h"
#include "app/SendPorts.h"
#include "app/TransferTasks.h"
#include "base/DateTime.h"
#include "base/Operator.h"
#include "config/MessageSettings.h"
#include "sounding/UAMessage.h"

namespace tern {

enum class SendOutcome {
  Sent,     // delivered and recorded
  Stopped,  // the operator backed out, or a step reported and stopped
  Failed    // the transport did not deliver; not recorded
};

// Short name of a message ("TTAA" .. "BUFR2") by send tag.
const char* SendShortName(int sendTag);

struct tSendContext {
  TUAMessage& Ascent;
  TAscentPanel& Panel;         // metadata, BBB indicator, button captions, option flags
  TAscentVariables& Variables; // counters and the stored choices
  const TMessageSettings& Settings;
  tTransferTasks& Tasks;
  ISendDesk& Desk;
  ISendTransports& Transports;
  IOperator& Op;
};

class TSendWorkflow {
 public:
  explicit TSendWorkflow(const tSendContext& context) : c_(context) {}

  // The handler of all eight send buttons.
  SendOutcome btnSendClick(int tag);

  // Marks the button, writes the send into the sent-messages file and, for
  // TTBB and the BUFR messages, the metadata that went with it.
  void MarkSent(int tag);

  // Path of the saved copy of text message tag for the current BBB indicator.
  std::string TelegramFileName(int tag) const;

  // Mail subject of a text message: template of the tag with dates and BBB.
  std::string TextSubject(int tag) const;

  // A BUFR message has not been sent yet in this run (switch "Q").
  bool BufrNotSent = false;
  // A hand-off to the mail client is running.
  bool MailInProgress = false;
  // Local time of the records; replaceable so that records can be checked.
  std::function<TDateTime()> Clock = NowLocal;

 private:
  SendOutcome SendText(int tag);
  SendOutcome SendBufr(int tag);
  SendOutcome TransportText(int tag, const std::string& text, const std::string& subject, bool reused,
                            const std::string& fileName);
  void SaveCopy(const std::string& fileName, const std::string& text);
  void CopyBufr();
  SendOutcome TransportBufr(int tag, const std::string& subject);
  // Text bulletin of the tag from the sounding system's files.
  std::string BuildText(int tag) const;
  void HandMetadataToAscent(int tag);
  bool MailOut(int tag, const std::string& subject, const std::string& body, const std::string& attachment);
  // After a hand-off that opened the client's compose window: did it go?
  bool AskMailClientSent(int tag);
  bool SmtpOut(tSMTPTaskRecord& task, bool textMode, const std::string& subject, const std::string& body);
  tFTPNaming Naming() const;
  int AskExisting(const std::string& fileName, const std::string& shortName);
  const std::string& Bbb() const { return c_.Panel.BBB; }
  const TDeskOptions& Options() const { return c_.Panel.Options(); }

  tSendContext c_;
};

}  // namespace tern
