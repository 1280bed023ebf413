#include "FtpTestServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tern::test {
namespace {

bool IsChatter(const std::string& command) {
  static const char* kChatter[] = {"PWD", "TYPE", "PORT", "EPRT", "PASV", "EPSV", "CWD /"};
  for (const char* c : kChatter)
    if (command == c || command.rfind(std::string(c) + " ", 0) == 0) return true;
  return false;
}

}  // namespace

FtpTestServer::FtpTestServer(std::vector<std::string> extraArgs) {
  std::filesystem::create_directories(root_ / "in");
  std::vector<std::string> args = {"/usr/bin/python3", FixturePath("transmit/ftp_server.py"), root_.path(),
                                   kUser, kPassword, work_ / "commands.log"};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  const std::string errLog = work_ / "server.err";
  posix_spawn_file_actions_addopen(&actions, 2, errLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    throw std::runtime_error("cannot start /usr/bin/python3");
  }

  // The first line on stdout is the port the server listens on.
  std::string line;
  pollfd p{out[0], POLLIN, 0};
  while (line.find('\n') == std::string::npos && poll(&p, 1, 15000) > 0) {
    char buf[64];
    const ssize_t n = read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, static_cast<size_t>(n));
  }
  close(out[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    throw std::runtime_error("FTP test server did not start: " + ReadBytes(errLog));
  }
}

FtpTestServer::~FtpTestServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::vector<std::string> FtpTestServer::Log() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadBytes(work_ / "commands.log"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> FtpTestServer::Commands() const {
  std::vector<std::string> commands;
  for (const std::string& line : Log()) {
    const std::string command = line.substr(line.find(' ') + 1);
    if (!IsChatter(command)) commands.push_back(command);
  }
  return commands;
}

int FtpTestServer::Sessions() const {
  int n = 0;
  for (const std::string& line : Log())
    if (line.size() > 8 && line.compare(line.size() - 8, 8, " CONNECT") == 0) ++n;
  return n;
}

tFTPTaskRecord FtpTestServer::Task() const {
  tFTPTaskRecord task;
  task.Server = "127.0.0.1";
  task.Port = static_cast<uint16_t>(port_);
  task.Folder = "in";
  task.User = kUser;
  task.Password = kPassword;
  task.ConnectTimeout = 5000;
  task.ReceiveTimeout = 5000;
  task.SendTimeout = 5000;
  return task;
}

}  // namespace tern::test
