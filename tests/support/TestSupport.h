#pragma once
// Shared helpers of the tests: a scratch folder per test and file writers.
#include <sys/resource.h>

#include <functional>
#include <string>
#include <string_view>

namespace tern::test {

// A fresh folder under the system temp folder, removed when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // Path with trailing '/'.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

// A full disk for as long as the object lives: a file-size limit makes write()
// fail with EFBIG exactly as ENOSPC would midway through a file.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
};

// Writes bytes as they are.
void WriteBytes(const std::string& path, std::string_view bytes);
// Writes a UTF-8 source text converted to cp1251.
void WriteCp1251(const std::string& path, std::string_view utf8);
std::string ReadBytes(const std::string& path);
std::string FixturePath(std::string_view relative);

// The operator's text (in UTF-8) of the error that f raises; "<no error>" when
// it raises none.
std::string ErrorOf(const std::function<void()>& f);

}  // namespace tern::test
