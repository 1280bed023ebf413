#pragma once
// Pieces every text bulletin is made of: the sounding system's file read as
// lines, the expanded heading, and the failure texts the operator sees.
#include <string>

#include "base/DateTime.h"
#include "base/Text.h"

namespace tern {

// Lines of the sounding system's file (LF ends a line, CR is dropped). When the
// file is not there or cannot be read, raises missingText.
TextList ReadSourceLines(bool exists, const std::string& path, const std::string& missingText);

// A heading template with its date fields expanded with the observation time
// and its BBB placeholder with head + indicator + tail.
std::string ExpandBulletinHeading(const std::string& templ, TDateTime obsTime, const std::string& bbbHead,
                                  const std::string& bbb, const std::string& bbbTail);

// The failure of a file whose content does not have the expected layout.
[[noreturn]] void ThrowFormatError();

// text cut before the first sep found at or after position from; false when
// there is none. The heading before `from` is never searched, so a separator
// character inside a configured heading cannot cut the bulletin short.
bool CutAtSeparator(std::string& text, size_t from, const std::string& sep);

}  // namespace tern
