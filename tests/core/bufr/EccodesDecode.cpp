#include "EccodesDecode.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>

#include "TestSupport.h"

namespace tern::test {

std::vector<double> EcDecoded::Numbers(const std::string& key) const {
  std::vector<double> values;
  auto it = raw.find(key);
  if (it == raw.end()) {
    ADD_FAILURE() << "ecCodes printed no key " << key << "\n" << output;
    return values;
  }
  std::istringstream in(it->second);
  std::string word;
  while (in >> word) {
    try {
      size_t used = 0;
      values.push_back(std::stod(word, &used));
      if (used != word.size()) throw std::invalid_argument(word);
    } catch (const std::exception&) {
      ADD_FAILURE() << "key " << key << " is not numeric: " << it->second;
      return {};
    }
  }
  return values;
}

double EcDecoded::Number(const std::string& key) const {
  const auto v = Numbers(key);
  if (v.size() != 1) {
    ADD_FAILURE() << "key " << key << " has " << v.size() << " values";
    return kEcMissingDouble;
  }
  return v[0];
}

std::string EcDecoded::Text(const std::string& key) const {
  auto it = raw.find(key);
  if (it == raw.end()) {
    ADD_FAILURE() << "ecCodes printed no key " << key << "\n" << output;
    return {};
  }
  return it->second;
}

EcDecoded DecodeWithEccodes(const std::string& bufrFile, const std::vector<std::string>& numericKeys,
                            const std::vector<std::string>& textKeys) {
  TempDir dir;
  std::string rules = "set unpack=1;\n";
  // A separator that cannot occur in the data marks where each key's value ends.
  for (const auto& k : numericKeys) rules += "print \"" + k + "=[" + k + "!100000]\";\n";
  for (const auto& k : textKeys) rules += "print \"" + k + "=[" + k + "]\";\n";
  const std::string rulesFile = dir / "rules.filter";
  WriteBytes(rulesFile, rules);

  EcDecoded d;
  const std::string command = "bufr_filter '" + rulesFile + "' '" + bufrFile + "' 2>&1";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return d;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) d.output.append(buf, n);
  const int status = pclose(p);
  d.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

  std::istringstream lines(d.output);
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) d.raw[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return d;
}

std::string MessageOnly(const std::string& fileBytes) {
  const auto start = fileBytes.find("BUFR");
  const auto end = fileBytes.rfind("7777");
  if (start == std::string::npos || end == std::string::npos) return {};
  return fileBytes.substr(start, end + 4 - start);
}

}  // namespace tern::test
