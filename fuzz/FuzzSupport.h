#pragma once
// A private scratch folder per fuzz process, for readers that take file names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tern::fuzz {

// Folder with trailing '/', created once per process.
const std::string& ScratchFolder();
// Writes the bytes to a file of that name in the scratch folder; its full path.
std::string WriteScratch(std::string_view name, const uint8_t* data, size_t size);
std::string WriteScratch(std::string_view name, std::string_view text);
// Splits the input at the first occurrences of a separator byte.
std::string_view Piece(std::string_view& rest, char separator);

}  // namespace tern::fuzz
