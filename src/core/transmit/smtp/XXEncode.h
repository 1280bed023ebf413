#pragma once
// xxencode: uuencode's line layout with an alphabet that survives gateways
// which mangle punctuation. The mail library has no encoder for it.
#include <string>
#include <string_view>

namespace tern {

// "begin 644 name", lines of up to 45 data bytes, the empty line "+", "end";
// every line ends with CR LF.
std::string XXEncode(std::string_view data, std::string_view name);
// The data of an xxencoded block (lines before "begin" ignored); empty when malformed.
std::string XXDecode(std::string_view text);

}  // namespace tern
