#pragma once
// Decodes a BUFR file with ecCodes (bufr_filter), a decoder written by others,
// so the tests compare what a receiving centre would read with what was sent.
#include <map>
#include <string>
#include <vector>

namespace tern::test {

// ecCodes prints these for missing values.
constexpr double kEcMissingDouble = -1e100;
constexpr double kEcMissingLong = 2147483647;

struct EcDecoded {
  int exitCode = -1;
  std::string output;  // everything the decoder printed
  std::map<std::string, std::string> raw;

  bool Ok() const { return exitCode == 0; }
  // Every value of a numeric key, in message order (repeated keys give several).
  std::vector<double> Numbers(const std::string& key) const;
  // The only value of a numeric key; fails the test when there is not exactly one.
  double Number(const std::string& key) const;
  std::string Text(const std::string& key) const;
};

// numericKeys are printed as arrays; textKeys must be single (use "#n#key").
EcDecoded DecodeWithEccodes(const std::string& bufrFile, const std::vector<std::string>& numericKeys,
                            const std::vector<std::string>& textKeys = {});

// Extracts the message from a file that may carry the bulletin envelope.
std::string MessageOnly(const std::string& fileBytes);

}  // namespace tern::test
