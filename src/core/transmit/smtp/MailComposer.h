#pragma once
// Turns a mail task into the message bytes handed to the relay: header lines,
// MIME structure and encoded parts, every line ending with CR LF.
#include <string>
#include <string_view>

#include "transmit/smtp/SMTPTask.h"

namespace tern {

// Composes the message of the task. File mode reads the attachment whole;
// an unreadable file throws TernError with its path. relayTakes8Bit: the
// relay announced 8BITMIME.
std::string ComposeMailMessage(const tSMTPTaskRecord& task, bool relayTakes8Bit = false);

// The charset label of the text part: the bytes' own charset, windows-1251,
// when the text goes raw; the text charset it was converted to otherwise.
TMailCharset TextPartCharset(const tSMTPTaskRecord& task);
// The transfer encoding of text part bytes: the configured one unless that
// would declare 8-bit bytes as 7bit or send 8bit to a relay that did not
// announce 8BITMIME; those go 8bit where the relay takes it, quoted-printable
// otherwise.
TMailEncoding TextPartEncoding(TMailEncoding configured, std::string_view bytes, bool relayTakes8Bit);

// cp1251 text in the given charset; characters the charset lacks become '?'.
std::string ConvertFromCp1251(std::string_view text, TMailCharset charset);

}  // namespace tern
