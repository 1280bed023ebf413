#pragma once
// The BUFR file of an ascent: its WMO file name and the optional bulletin
// envelope (start of heading, bulletin number, heading, message, end of text).
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace tern {

// "A_" + heading (characters of code 32 and below dropped) + the station part + ".bin",
// in the folder of the ascent's main result file.
std::string BufrFileNameOf(std::string_view sourceFile, std::string_view heading, bool shortName,
                           std::string_view cccc, TDateTime launchTime, std::string_view stationIndText);

// The message wrapped as a WMO bulletin. An empty bulletin number or heading
// raises TernError: such a file would not pass a message switch.
std::string WrapInEnvelope(std::string_view bulletinNo, std::string_view heading, std::string_view message);

}  // namespace tern
