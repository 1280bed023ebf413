#pragma once
// What a radiosonde BUFR message says: the descriptors of section 3 and the
// data of section 4, both driven by one ordered layout table so that the two
// can never disagree.
#include <cstddef>
#include <cstdint>

#include "bufr/BitWriter.h"
#include "bufr/BufrValues.h"

namespace tern {

class TUAMessage;

struct Descriptor {
  uint8_t f, x, y;
  friend bool operator==(const Descriptor&, const Descriptor&) = default;
};

// The ascent as the encoder sees it: levels prepared, cloud group coded.
struct BufrContext {
  const TUAMessage& a;
  int extMeta;  // 0..4; levels above 4 count as 0
  bool bufrII;
  CloudCodes cloud;
};
BufrContext MakeBufrContext(const TUAMessage& a);

size_t DescriptorCount(const BufrContext& c);
// Bits of section 4 after its 4-octet header, before padding.
size_t DataBitCount(const BufrContext& c);

void WriteDescriptors(TBitWriter& w, const BufrContext& c);
// Range failures raise TernError with the operator's text.
void WriteData(TBitWriter& w, const BufrContext& c);

}  // namespace tern
