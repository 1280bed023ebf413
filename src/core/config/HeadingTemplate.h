#pragma once
// Heading and subject templates: "#$hh" escapes, date fields in braces and one
// BBB placeholder ("<BBB>", "<BBX>", "<BBR>", "<BRX>").
#include <string>

#include "base/DateTime.h"

namespace tern {

// "#$" and two hex digits stand for that character; a text of at most 3 characters is unchanged.
std::string DecodeEscapes(const std::string& text);
// Every "{pattern}" replaced by the time formatted with that pattern.
std::string ExpandDates(const std::string& templ, TDateTime time);
// The BBB placeholder replaced by head + indicator + tail (or removed as its kind says).
std::string InsertBBB(const std::string& templ, const std::string& head, const std::string& indicator,
                      const std::string& tail);

}  // namespace tern
