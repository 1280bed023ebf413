#pragma once
// Values of an ascent that its BUFR message cannot carry. A present value
// whose field (width, scale, reference) cannot hold it is coded as missing
// rather than wrapped into a wrong one; before that happens the operator is
// told which values these are and may cancel. The same list lets a check of
// the written message tell "sent as missing because it did not fit" from a
// real difference.
#include <string>
#include <vector>

#include "bufr/RadiosondeSection.h"

namespace tern {

class IOperator;
class TUAMessage;

struct tUnfitValue {
  Descriptor descriptor;  // the element, for example 0 02 102 antenna height
  int level = -1;         // index in Levels (or in Shears when shear); -1 outside the level groups
  bool shear = false;
  std::string element;    // the operator's name of the element, cp1251
  std::string unit;       // cp1251, may be empty
  double value = 0;       // as the ascent holds it (degrees Celsius for temperatures)
  double lowest = 0, highest = 0;  // the present values the field can carry, same unit
  int decimals = 0;       // the field's resolution in decimals of the unit
};
using UnfitValues = std::vector<tUnfitValue>;

// The values the message of the context would send as missing because they do
// not fit, in message order. The levels must be prepared (PrepareLevels), as
// EncodeBufr leaves them.
UnfitValues FindUnfitValues(const BufrContext& c);
// Same for the ascent's next message; prepares the levels as the encoder does.
UnfitValues FindUnfitValues(TUAMessage& a);

// True when the element at that place was coded as missing because its value did not fit.
bool CodedMissingForUnfit(const UnfitValues& unfit, Descriptor descriptor, int level = -1, bool shear = false);

// One line per value: "масса оболочки: 4.500 кг (пределы 0.000..4.094 кг)", CR between lines.
std::string UnfitValuesText(const UnfitValues& unfit);

// Asks the operator whether values the message cannot carry may go as missing.
// True when there are none or the operator agrees; cancelling is the default
// and the Esc answer, so an unattended run stops here.
bool ConfirmUnfitValues(TUAMessage& a, IOperator& op);

}  // namespace tern
