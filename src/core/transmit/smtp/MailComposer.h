#pragma once
// Turns a mail task into the message bytes handed to the relay: header lines,
// MIME structure and encoded parts, every line ending with CR LF.
#include <string>
#include <string_view>

#include "transmit/smtp/SMTPTask.h"

namespace tern {

// Composes the message of the task. File mode reads the attachment whole;
// an unreadable file throws TernError with its path.
std::string ComposeMailMessage(const tSMTPTaskRecord& task);

// cp1251 text in the given charset; characters the charset lacks become '?'.
std::string ConvertFromCp1251(std::string_view text, TMailCharset charset);

}  // namespace tern
