#pragma once
// One part of the FM 35 TEMP message (TTAA, TTBB, TTCC, TTDD) taken from the
// sounding system's telegram file and wrapped as a bulletin with the station's
// heading, section head, separator and tail.
#include <string>

#include "base/Operator.h"
#include "config/MessageSettings.h"
#include "sounding/UAMessage.h"

namespace tern {

// Desk options that change TTBB.
struct tTempOptions {
  bool InjectRaRa = true;  // write the chosen radiosonde code into the 31313 group
  bool Add61616 = false;   // append the national 61616 section
  int RaRa = -1;           // chosen entry of the radiosonde list
};

// Builds part 1..4. Raises "Файл KN4 не найден!", "Часть не найдена" or
// "Ошибка формата"; the TTBB repairs only warn through op and never stop it.
std::string BuildTemp(int part, TUAMessage& ascent, const std::string& bbb, const tTempSettings& settings,
                      const tTempOptions& options, IOperator& op);

// Puts the radiosonde code (its last two digits) into the 5xx03 group of the
// section 31313 5xx03 8GGgg; the groups may be parted by any blanks and line breaks.
std::string Fix31313(const std::string& text, int rsCode, IOperator& op);
// Appends "61616" and the national group after the trailing blanks and line
// ends, keeping lines within 60 characters. A 61616 already among the closing
// sections (after the level and wind data) leaves the text as it is. The body
// (YYGGa4 IIiii and on, optionally led by "TTBB") starts at bodyStart.
std::string Add61616(const std::string& text, const std::string& group, IOperator& op,
                     const std::string& lineBreak = "\r\n", size_t bodyStart = 0);

}  // namespace tern
