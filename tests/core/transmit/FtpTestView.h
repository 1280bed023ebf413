#pragma once
// What the FTP tests share: a view that records what the upload shows, and
// the staging of a prepared message into a task.
#include <atomic>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/Text.h"
#include "transmit/ftp/FtpUpload.h"

namespace tern::test {

struct Phase {
  std::string text;
  bool failed;
  bool operator==(const Phase&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Phase& p) {
  return os << Cp1251ToUtf8(p.text) << (p.failed ? " [red]" : "");
}

class RecordingView : public IFtpUploadView {
 public:
  void ShowCaption(const std::string& text) override { captions.push_back(text); }
  void ShowPhase(const std::string& text, bool failed) override { phases.push_back({text, failed}); }
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowProgress(uint32_t sent, uint32_t size) override {
    progress.push_back(ProgressText(sent, size));
    if (onProgress) onProgress(sent);
  }
  Phase LastPhase() const { return phases.empty() ? Phase{} : phases.back(); }
  // The last status line, UTF-8.
  std::string LastStatus() const { return statuses.empty() ? std::string() : Cp1251ToUtf8(statuses.back()); }

  std::vector<std::string> captions;
  std::vector<Phase> phases;
  std::vector<std::string> statuses;
  std::vector<std::string> progress;
  std::function<void(uint32_t)> onProgress;
};

// A prepared message of the task, its final name and its temporary name.
inline void Stage(tFTPTaskRecord& task, const std::string& data, const std::string& finalName) {
  task.Data = data;
  task.LocalName = "/data/bufr/" + finalName;
  task.FinalName = finalName;
  task.TempName = finalName + ".tmp";
}

// n bytes of every value, so that a text-mode transfer would show.
inline std::string Bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return s;
}

inline FtpOutcome Upload(const tFTPTaskRecord& task, RecordingView& view) {
  std::atomic<bool> cancel{false};
  return RunFtpUpload(task, view, cancel);
}

}  // namespace tern::test
