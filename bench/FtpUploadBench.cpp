// Upload of a 64 KB BUFR file to a local FTP server, the whole sequence from
// login to rename. Target: under 200 ms.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>

#include "transmit/ftp/FtpUpload.h"

extern char** environ;

namespace {

class NullView : public tern::IFtpUploadView {
 public:
  void ShowCaption(const std::string&) override {}
  void ShowPhase(const std::string&, bool) override {}
  void ShowStatus(const std::string&) override {}
  void ShowProgress(uint32_t, uint32_t) override {}
};

void BM_FtpUpload64K(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("tern2bufr-bench-" + std::to_string(getpid()));
  fs::create_directories(root / "in");
  // The build passes absolute source paths, so the script is found next to this file.
  const std::string script = (fs::path(__FILE__).parent_path().parent_path() / "tests/fixtures/transmit/ftp_server.py").string();
  const std::string rootText = root.string(), log = (root / "commands.log").string();
  const char* argv[] = {"/usr/bin/python3", script.c_str(), rootText.c_str(), "bench", "bench", log.c_str(), nullptr};
  int out[2];
  if (pipe(out) != 0) return state.SkipWithError("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0, 0);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  char line[32] = {};
  FILE* in = fdopen(out[0], "r");
  const int port = in && fgets(line, sizeof line, in) ? std::atoi(line) : 0;
  if (in) fclose(in);
  if (port <= 0) {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    return state.SkipWithError("FTP server did not start");
  }

  tern::tFTPTaskRecord task;
  task.Server = "127.0.0.1";
  task.Port = static_cast<uint16_t>(port);
  task.Folder = "in";
  task.User = "bench";
  task.Password = "bench";
  task.Data = "0000065536" + std::string(65536, 'B');
  NullView view;
  std::atomic<bool> cancel{false};
  int n = 0;
  for (auto _ : state) {
    task.FinalName = "2345" + std::to_string(++n) + ".b";
    task.TempName = task.FinalName + ".tmp";
    if (tern::RunFtpUpload(task, view, cancel) != tern::FtpOutcome::Succeeded) {
      state.SkipWithError("upload failed");
      break;
    }
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  fs::remove_all(root);
}
BENCHMARK(BM_FtpUpload64K)->Unit(benchmark::kMillisecond);

}  // namespace
