#pragma once
// The exchange with the relay: log in with a mandatory authentication, hand
// over the envelope and the message, report every step to a monitor.
#include <string>

#include "transmit/smtp/SMTPTask.h"

namespace tern {

// What the window sees of an exchange. Every call comes from inside the
// exchange, on the thread that runs it.
class ISMTPMonitor {
 public:
  virtual ~ISMTPMonitor() = default;
  virtual void Phase(const std::string& text) = 0;             // cp1251
  virtual void Status(int event, const std::string& text) = 0;  // network layer events
  virtual void Reply(const std::string& text) = 0;              // a line the relay sent
  virtual void Heartbeat() = 0;
  // Asked after each of the calls above; true stops the exchange.
  virtual bool Cancelled() = 0;
};

struct TSMTPResult {
  bool Sent = false;
  bool Cancelled = false;
  std::string ErrorText;  // for the status line; empty when there is none to show
};

// Composes the message of the task and sends it. Never throws.
TSMTPResult SendSMTPMessage(const tSMTPTaskRecord& task, ISMTPMonitor& monitor);

// The recipients of the envelope in the order To, Cc, Bcc; empty when the list
// begins with an empty item, which leaves the message without a recipient.
TextList EnvelopeRecipients(const tSMTPTaskRecord& task);

// Where an exchange gets its network-layer (libcurl easy) handle; a null
// handle means the layer could not make one and the send fails. Replaceable so
// that this failure can be played; nullptr restores curl_easy_init.
using SMTPHandleMaker = void* (*)();
void SetSMTPHandleMaker(SMTPHandleMaker maker);

// Final phase text of a send.
std::string SMTPOutcomeText(const TSMTPResult& result);

}  // namespace tern
