#pragma once
// Rules of the telegram preview, kept apart from its window: how the text is
// cut into lines for the memo and put back together, what the edit question
// asks, and how a printout is laid out.
#include <string>

#include "base/Operator.h"
#include "base/Text.h"

namespace tern {

// Lines of a telegram for display. CR LF, LF and a lone CR each end a line;
// so does CR CR LF, the line end of WMO headings, which must not show up as
// an empty line.
TextList TelegramLines(const std::string& text);

// The lines joined with CR LF, as an edited telegram is handed back.
std::string JoinTelegramLines(const TextList& lines);

// The text of a telegram the operator did not change: lone CR and lone LF
// become CR LF, CR LF and CR CR LF stay, so an unedited bulletin goes out
// byte for byte as it was built.
std::string NormaliseTelegramBreaks(const std::string& text);

// The question asked when an edited telegram is confirmed; caption is the
// window caption.
Question EditedTelegramQuestion(const std::string& caption);
enum EditedAnswer { kSendEdited = 1, kRestoreText = 2, kBackToPreview = 3 };

// The printout: four empty lines, then every line indented by 16 spaces,
// each ended with CR LF.
std::string TelegramPrintText(const TextList& lines);

}  // namespace tern
