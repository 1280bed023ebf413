#pragma once
// The mail addresses of the settings go as they stand into the relay's
// envelope, the message header and the mail client's command line, so a value
// that is not plainly an address must never get that far.
#include <string_view>

namespace tern {

// A bare address: one "@" with text on both sides; no blank, no control
// character, no leading "-" and none of the characters that delimit an
// address or make it a URL (< > " :).
bool IsMailAddress(std::string_view bare);

// One item of an address list, "name <address>" or a bare address: no control
// character anywhere, no leading "-", no ":" outside a quoted name, and its
// address as above.
bool IsMailAddressItem(std::string_view item);

// No control character in the value, and every non-empty item of the
// comma-separated list as above (commas inside a quoted name
// do not separate). Empty items are left to the sender's own rule.
bool IsMailAddressList(std::string_view list);

}  // namespace tern
