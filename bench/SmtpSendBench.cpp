// A BUFR mail with a 64 KB attachment over STARTTLS to a local relay: compose,
// connect, TLS, authenticate, envelope, data, quit. Target: under 300 ms.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "transmit/smtp/SMTPSender.h"

extern char** environ;

namespace {

class NullMonitor : public tern::ISMTPMonitor {
 public:
  void Phase(const std::string&) override {}
  void Status(int, const std::string&) override {}
  void Reply(const std::string&) override {}
  void Heartbeat() override {}
  bool Cancelled() override { return false; }
};

void BM_SmtpBufrMail64K(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tern2bufr-smtp-bench-" + std::to_string(getpid()));
  fs::create_directories(root);
  const std::string cert = (root / "cert.pem").string(), key = (root / "key.pem").string();
  const std::string make = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                           " -subj /CN=relay.test -keyout '" + key + "' -out '" + cert + "' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) return state.SkipWithError("no certificate");
  const std::string bufr = (root / "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin").string();
  std::ofstream(bufr, std::ios::binary) << "BUFR" + std::string(65536 - 8, '\x5a') + "7777";

  // The build passes absolute source paths, so the script is found from this file.
  const std::string script = (fs::path(__FILE__).parent_path().parent_path() / "tests/support/smtp_relay.py").string();
  const std::string log = (root / "events").string(), ready = (root / "port").string();
  const char* argv[] = {"/usr/bin/python3", script.c_str(), "--log", log.c_str(), "--ready", ready.c_str(),
                        "--starttls", "--cert", cert.c_str(), "--key", key.c_str(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return state.SkipWithError("relay did not start");
  for (int i = 0; i < 500 && !fs::exists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::string port;
  std::ifstream(ready) >> port;
  if (port.empty()) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return state.SkipWithError("relay did not start");
  }

  tern::tSMTPTaskRecord task;
  task.Server = "127.0.0.1:" + port;
  task.StartTLS = true;
  task.TLSVerify = false;
  task.Login = "meteo";
  task.Password = "secret";
  task.From = "st@example.org";
  task.To = "a@example.org";
  task.Subject = "BUFR 27612";
  task.Body = bufr;
  NullMonitor monitor;
  for (auto _ : state) {
    if (!tern::SendSMTPMessage(task, monitor).Sent) {
      state.SkipWithError("send failed");
      break;
    }
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  fs::remove_all(root);
}
BENCHMARK(BM_SmtpBufrMail64K)->Unit(benchmark::kMillisecond);

}  // namespace
