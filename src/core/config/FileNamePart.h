#pragma once
// Settings values that become part of a file name (headings, originator
// codes): such a part must keep the file in the folder it is written for.
#include <string_view>

#include "config/MyIniFile.h"

namespace tern {

// No "/", "\" or ".." in the text.
bool StaysInFolder(std::string_view part);

// Raises TernError naming the settings file and the key, with the value as
// written, when part (the value as the name will hold it, escapes decoded)
// does not stay in its folder.
void RequireFileNamePart(const TMyIniFile& ini, std::string_view section, std::string_view key, std::string_view part);

}  // namespace tern
