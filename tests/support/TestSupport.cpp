#include "TestSupport.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/Error.h"
#include "base/Text.h"

namespace tern::test {

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tern2bufr-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  getrlimit(RLIMIT_FSIZE, &old_);
  rlimit lim = old_;
  lim.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &lim);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &old_);
  std::signal(SIGXFSZ, SIG_DFL);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteCp1251(const std::string& path, std::string_view utf8) { WriteBytes(path, Utf8ToCp1251(utf8)); }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string FixturePath(std::string_view relative) { return std::string(TERN_FIXTURES) + "/" + std::string(relative); }

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TernError& e) {
    return Cp1251ToUtf8(e.Text());
  }
  return "<no error>";
}

}  // namespace tern::test
