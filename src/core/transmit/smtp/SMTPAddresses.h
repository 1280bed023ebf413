#pragma once
// The addresses of a mail task come from the matching mail section of
// ASPD.CNF, set once after the relay settings are read.
#include "config/MessageSettings.h"
#include "transmit/smtp/SMTPTask.h"

namespace tern {

// Text mode, From, To, Cc and Bcc (the last two only when given) and, when
// the task asks for receipts, both receipt addresses set to From.
void FillSMTPAddresses(tSMTPTaskRecord& task, const tMailSettings& mail, bool textMode);

}  // namespace tern
