#pragma once
// Looking a file up in a folder listing (the LIST reply), as servers write
// it in the Unix "ls -l" form or in the MS-DOS form.
#include <optional>
#include <string>
#include <string_view>

namespace tern {

struct FtpListEntry {
  std::string name;
  long long size = -1;  // -1 for folders and when the line gives none
  bool folder = false;
};

// One listing line; nullopt for lines that are not entries ("total 12", blanks).
std::optional<FtpListEntry> ParseFtpListLine(std::string_view line);
// The entry with exactly this name (case matters on FTP servers).
std::optional<FtpListEntry> FindInFtpListing(std::string_view listing, std::string_view name);

}  // namespace tern
