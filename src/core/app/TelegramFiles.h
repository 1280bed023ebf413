#pragma once
// Where the desk keeps its copies of the text bulletins: one file per message
// and send, named after the message, its times and the station, in a year and
// month subfolder of the bulletin folder.
#include <optional>
#include <string>

#include "base/DateTime.h"
#include "base/Operator.h"
#include "sounding/UAMessage.h"

namespace tern {

// folder + the year and month of time as subfolders ("2024/03/"); empty for an
// empty folder, which means the bare name in the current folder.
std::string DatedFolder(const std::string& folder, TDateTime time);

// The saved copy of a text bulletin: the dated subfolder of bulletinFolder,
// then "A_" + shortName + CCCC + ddhh00 of the observation + bbb + "_C_" +
// CCCC + "_" + launch as yyyymmddhhnn + "_" + station index + ".txt".
std::string TelegramFileName(const TUAMessage& ascent, const std::string& shortName, const std::string& bbb,
                             const std::string& bulletinFolder);

// Writes the text exactly (no line end added) under fileName, creating its
// folders. A failure raises TernError naming the file.
void SaveTelegram(const std::string& fileName, const std::string& text);

// The whole saved copy; on failure tells the operator which message (its
// short name, "TTAA" .. "PRIZ") could not be read and gives nothing.
std::optional<std::string> ReadSavedTelegram(const std::string& fileName, const std::string& shortName,
                                             IOperator& op);

}  // namespace tern
