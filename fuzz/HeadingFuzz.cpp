// Heading templates: escapes, date fields and the BBB placeholder on any text
// must end and never crash.
#include "FuzzSupport.h"
#include "config/HeadingTemplate.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string templ(fuzz::Piece(rest, '\n'));
  const std::string head(fuzz::Piece(rest, '\n'));
  const std::string bbb(fuzz::Piece(rest, '\n'));
  const std::string tail(rest);
  const std::string decoded = DecodeEscapes(templ);
  const std::string dated = ExpandDates(decoded, 46365.4791666667);
  InsertBBB(dated, head, bbb, tail);
  return 0;
}
