#pragma once
// The code tables file is signed by a companion ".crc" file: its first line is
// the MD5 digest of the tables file in upper-case hex, each character k (from 1)
// XOR-ed with 2*k, written with "#$hh" escapes. A station that edits its tables
// re-signs them with WriteCodesChecksum.
#include <optional>
#include <string>

namespace tern {

// MD5 of the file's bytes as 32 upper-case hex digits; nullopt when it cannot be read.
std::optional<std::string> FileMd5Hex(const std::string& path);

// True when the file and its ".crc" companion exist and the companion's
// unscrambled first line equals the file's digest exactly.
bool CheckCodesFile(const std::string& path);

// Writes the ".crc" companion of the file (the path with its extension replaced)
// and returns its path. Throws TernError when the file cannot be read or the
// companion cannot be written.
std::string WriteCodesChecksum(const std::string& path);

}  // namespace tern
