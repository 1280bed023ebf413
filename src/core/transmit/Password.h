#pragma once
// Passwords of the transfer settings may be stored scrambled so that they are
// not readable at a glance in the settings file. FTP and SMTP share the rule.
#include <string>

namespace tern {

// hexText is a run of hexadecimal digit pairs, one byte each; a pair that is
// not hexadecimal counts as a blank (32), a lone trailing digit is ignored.
// When key is non-empty, byte i is combined by exclusive-or with key[i % key
// length]. The result is the plain password.
std::string DescramblePassword(const std::string& hexText, const std::string& key);

}  // namespace tern
