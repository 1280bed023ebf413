#include "SmtpRelay.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

#include "base/Text.h"

extern char** environ;

namespace tern::test {
namespace {

// The script lives with the shared test helpers: tests/support, found from
// the fixtures' absolute path so that the test runs from any folder.
std::string ScriptPath() {
  return (std::filesystem::path(TERN_FIXTURES).parent_path() / "support" / "smtp_relay.py").lexically_normal().string();
}

std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

struct CertFiles {
  TempDir dir;
  std::string cert = dir / "cert.pem";
  std::string key = dir / "key.pem";
  CertFiles() {
    std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                          " -subj /CN=relay.test -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                          key + "' -out '" + cert + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
  }
};

const CertFiles& Certs() {
  static CertFiles files;
  return files;
}

}  // namespace

std::string ReceivedMessage::Header(const std::string& name) const {
  for (const auto& [key, value] : Headers)
    if (SameText(key, name)) return value;
  return {};
}

bool ReceivedMessage::HasHeader(const std::string& name) const {
  for (const auto& header : Headers)
    if (SameText(header.first, name)) return true;
  return false;
}

std::string ReceivedMessage::DecodedHeader(const std::string& name) const {
  for (const auto& [key, value] : Decoded)
    if (key == name) return value;
  return {};
}

const std::string& SmtpRelay::CertFile() { return Certs().cert; }
const std::string& SmtpRelay::KeyFile() { return Certs().key; }

SmtpRelay::SmtpRelay(std::vector<std::string> args) {
  std::string ready = dir_ / "port";
  std::vector<std::string> argv = {"/usr/bin/python3", ScriptPath(), "--log", dir_ / "events", "--ready", ready};
  bool tls = false;
  for (const auto& a : args) tls = tls || a == "--starttls" || a == "--implicit-tls" || a == "--refuse-starttls";
  if (tls) argv.insert(argv.end(), {"--cert", CertFile(), "--key", KeyFile()});
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  if (posix_spawn(&pid_, raw[0], nullptr, nullptr, raw.data(), environ) != 0) throw std::runtime_error("cannot start relay");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!std::filesystem::exists(ready)) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("relay ended at start");
    }
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("relay did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  port_ = std::stoi(ReadBytes(ready));
}

SmtpRelay::~SmtpRelay() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
}

std::vector<std::string> SmtpRelay::Events() const {
  std::vector<std::string> events;
  if (std::filesystem::exists(dir_ / "events"))
    for (auto& line : SplitLines(ReadBytes(dir_ / "events"))) events.push_back(line);
  return events;
}

std::vector<std::string> SmtpRelay::Events(const std::string& word) const {
  std::vector<std::string> found;
  for (const auto& e : Events())
    if (e == word || e.rfind(word + " ", 0) == 0) found.push_back(e);
  return found;
}

std::vector<ReceivedMessage> SmtpRelay::Messages() const {
  std::vector<ReceivedMessage> messages;
  for (const auto& event : Events("DATA")) {
    std::string path = event.substr(5);
    ReceivedMessage m;
    m.Raw = ReadBytes(path);
    for (const auto& line : SplitLines(ReadBytes(path + ".txt"))) {
      if (line.rfind("HEADER ", 0) == 0) {
        auto f = SplitTabs(line.substr(7));
        m.Headers.emplace_back(f[0], f.size() > 1 ? f[1] : "");
      } else if (line.rfind("DECODED ", 0) == 0) {
        auto f = SplitTabs(line.substr(8));
        m.Decoded.emplace_back(f[0], f.size() > 1 ? f[1] : "");
      } else if (line.rfind("PART ", 0) == 0) {
        auto f = SplitTabs(line.substr(5));
        f.resize(6);
        m.Parts.push_back({f[0], f[1], f[2], f[3], f[4], FromHex(f[5])});
      }
    }
    messages.push_back(std::move(m));
  }
  return messages;
}

}  // namespace tern::test
