#pragma once
// The six text messages of the send buttons, built by their tag, and the mail
// subject each goes out with.
#include <string>

#include "base/Operator.h"
#include "bulletins/TempBulletin.h"
#include "config/MessageSettings.h"
#include "sounding/UAMessage.h"

namespace tern {

// Tags 1..4 TEMP parts, 5 layer message, 6 surface-layer message. Raises the
// builder's failure text; any other tag is not a text message.
std::string BuildTextBulletin(int tag, TUAMessage& ascent, const std::string& bbb, const TMessageSettings& settings,
                              const tTempOptions& options, IOperator& op);

// The subject template of the tag with its date fields expanded with the
// observation time and its BBB placeholder with the head and tail texts of
// the same kind of message.
std::string TextMailSubject(int tag, const TMessageSettings& settings, TDateTime obsTime, const std::string& bbb);

}  // namespace tern
