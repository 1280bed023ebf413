#pragma once
// One BUFR edition 4 message of an ascent: sections 0, 1, 3, 4 and 5, one
// uncompressed subset, no optional section.
#include <cstddef>
#include <string>

namespace tern {

class TUAMessage;
struct BufrContext;

// Largest data part of section 4, in octets.
constexpr size_t kBufrDataLimit = 655359;

struct BufrLengths {
  size_t section0 = 8;
  size_t section1 = 23;
  size_t section3 = 0;
  size_t section4 = 0;
  size_t section5 = 4;
  size_t dataBits = 0;  // section 4 after its header, before padding
  size_t Total() const { return section0 + section1 + section3 + section4 + section5; }
};
BufrLengths ComputeBufrLengths(const BufrContext& c);

// Prepares the levels, breaks the launch time down into the ascent's fields and
// builds the message in memory. Failures (size limit, values out of range)
// raise TernError with the operator's text. dataLimit exists for tests.
std::string BuildBufrMessage(TUAMessage& a, size_t dataLimit = kBufrDataLimit);

}  // namespace tern
