#include "VsftpdServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tern::test {
namespace {

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";

// A port nothing listens on at the moment.
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("no free port");
  ::close(fd);
  return ntohs(addr.sin_port);
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  if (fd >= 0) ::close(fd);
  return ok;
}

}  // namespace

VsftpdServer::VsftpdServer() {
  if (access(kVsftpd, X_OK) != 0) throw std::runtime_error("vsftpd is not installed (scripts/setup.sh installs it)");
  // Anonymous sessions run as the account the Debian package creates.
  const passwd* ftp = getpwnam("ftp");
  if (!ftp) throw std::runtime_error("no \"ftp\" account: vsftpd's package creates it");
  ftpUid_ = ftp->pw_uid;
  ftpGid_ = ftp->pw_gid;

  namespace fs = std::filesystem;
  // The chroot root must not be writable by the session; the folder below it is.
  fs::create_directories(work_ / "root/in");
  fs::create_directories(work_ / "empty");
  chmod(work_.path().c_str(), 0755);
  chmod((work_ / "root").c_str(), 0755);
  chmod((work_ / "empty").c_str(), 0755);
  if (chown((work_ / "root/in").c_str(), ftpUid_, ftpGid_) != 0) throw std::runtime_error("chown of the upload folder");

  port_ = FreePort();
  const int pasv = FreePort();
  std::ofstream conf(work_ / "vsftpd.conf");
  conf << "listen=YES\nlisten_ipv6=NO\nbackground=NO\nlisten_address=127.0.0.1\n"
       << "listen_port=" << port_ << "\n"
       << "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\n"
       << "write_enable=YES\nanon_upload_enable=YES\nanon_other_write_enable=YES\nanon_umask=022\n"
       << "anon_root=" << work_ / "root" << "\n"
       << "ftp_username=" << ftp->pw_name << "\nnopriv_user=" << ftp->pw_name << "\n"
       << "secure_chroot_dir=" << work_ / "empty" << "\n"
       // Containers refuse the sandbox and the namespaces vsftpd would make.
       << "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
       << "pasv_enable=YES\npasv_address=127.0.0.1\n"
       << "pasv_min_port=" << pasv << "\npasv_max_port=" << pasv << "\n"
       << "port_enable=YES\nconnect_from_port_20=NO\n"
       << "use_localtime=NO\nsyslog_enable=NO\nxferlog_enable=YES\nlog_ftp_protocol=YES\n"
       << "dual_log_enable=NO\nvsftpd_log_file=" << work_ / "vsftpd.log" << "\n";
  conf.close();

  const std::string confPath = work_ / "vsftpd.conf";
  std::vector<std::string> args = {kVsftpd, confPath};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string out = work_ / "vsftpd.out";
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  // Its own process group: the sessions it forks are stopped with it.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  const int rc = posix_spawn(&pid_, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) throw std::runtime_error("cannot start vsftpd");

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!Accepts(port_)) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_ || std::chrono::steady_clock::now() > deadline) {
      if (kill(pid_, 0) == 0) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
      pid_ = -1;
      throw std::runtime_error("vsftpd did not start: " + ReadBytes(out));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

VsftpdServer::~VsftpdServer() {
  if (pid_ > 0) {
    kill(-pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void VsftpdServer::Place(const std::string& name, const std::string& bytes) const {
  const std::string path = upload() + name;
  WriteBytes(path, bytes);
  if (chown(path.c_str(), ftpUid_, ftpGid_) != 0) throw std::runtime_error("chown " + path);
}

std::string VsftpdServer::Log() const { return ReadBytes(work_ / "vsftpd.log"); }

tFTPTaskRecord VsftpdServer::Task() const {
  tFTPTaskRecord task;
  task.Server = "127.0.0.1";
  task.Port = static_cast<uint16_t>(port_);
  task.Folder = "in";
  task.User = "anonymous";
  task.Password = "station@example.org";
  task.ConnectTimeout = 5000;
  task.ReceiveTimeout = 5000;
  task.SendTimeout = 5000;
  return task;
}

}  // namespace tern::test
