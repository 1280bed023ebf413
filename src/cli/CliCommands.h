#pragma once
// The commands of tern2bufr-cli. Each returns the process exit code: 0 success,
// 1 a failure whose text went to standard error.
#include <optional>
#include <string>

namespace tern::cli {

int Open(const std::string& settings, const std::string& ascent);
int Levels(const std::string& settings, const std::string& ascent, bool bufrI);
// Only the suspects of the automatic checks; exit 0 whatever they find.
int Qc(const std::string& settings, const std::string& ascent, bool bufrI);

struct BufrRequest {
  std::string ascent;
  bool bufrI = true;
  std::string bbb;
  int bulletin = 0;
  int radiosonde = 0;
  std::optional<int> number;
  bool repeated = false;
  std::optional<std::string> observer;
  std::optional<std::string> serial;
  std::optional<int> balloon, gas, termination;
  std::optional<double> lift, train;
};
int Bufr(const std::string& settings, const BufrRequest& request);

// 1..6 for TTAA, TTBB, TTCC, TTDD, SLOY, PRIZ; 0 for anything else.
int BulletinTag(const std::string& name);
int Bulletin(const std::string& settings, const std::string& ascent, int tag, const std::string& bbb, int rara);

int SignCodes(const std::string& file);
int CheckCodes(const std::string& file);

}  // namespace tern::cli
