// Abbreviated headings of the BUFR messages. Kept apart from the encoder so
// that only code that builds headings needs the template expander.
#include "config/HeadingTemplate.h"
#include "sounding/UAMessage.h"

namespace tern {

void TUAMessage::ExpandHeading(const std::string& templ, const std::string& bbb, std::string& text) const {
  // Dates first: the indicator and its head and tail text are inserted literally.
  text = InsertBBB(ExpandDates(templ, ObsTime), BBBHead, bbb, BBBTail);
}

void TUAMessage::BuildHeading(const std::string& bbb) { ExpandHeading(BufrI ? IUKHead : IUSHead, bbb, Heading); }

}  // namespace tern
