#pragma once
// Header fields with text outside ASCII, written as RFC 2047 encoded words in
// the configured header charset. Each word holds whole characters and decodes
// on its own, and a text becomes as few words as the 75-character limit
// allows: some decoders lose adjacent padded words of one charset, so the
// words are never cut at blanks.
#include <string>
#include <string_view>

#include "transmit/smtp/SMTPTask.h"

namespace tern {

// An unstructured text (the subject): unchanged when it is plain ASCII, else
// encoded words separated by folding ("\n ").
std::string EncodeHeaderText(std::string_view cp1251, TMailCharset charset);

// A comma-separated address list: each display name outside ASCII becomes
// encoded words, addresses stay as they are; items are joined by ",\n ".
std::string EncodeAddressList(std::string_view cp1251List, TMailCharset charset);

}  // namespace tern
