#pragma once
// Another user of the workstation, played by a forked child. The tests run as
// root in CI, and root passes every permission check; the child drops to the
// ordinary uid/gid 65534 so that permissions hold, then reports what it saw.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace tern::test {

constexpr uid_t kOtherUid = 65534;
constexpr gid_t kOtherGid = 65534;

struct ChildOutcome {
  int exitCode = -1;    // 0 when every check of the child passed
  std::string failure;  // what the child found wrong
};

// Runs body in a child as uid/gid 65534 (as the current user when that is not
// root: an ordinary user is already subject to permissions). body returns an
// empty text when its checks passed, otherwise what failed.
inline ChildOutcome AsOtherUser(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return {-1, "pipe"};
  const pid_t pid = ::fork();
  if (pid < 0) return {-1, "fork"};
  if (pid == 0) {
    ::close(fds[0]);
    std::string failure;
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kOtherGid) != 0 || ::setuid(kOtherUid) != 0)) {
      failure = "cannot become uid 65534";
    } else {
      try {
        failure = body();
      } catch (const std::exception& e) {
        failure = std::string("exception: ") + e.what();
      }
    }
    if (!failure.empty() && ::write(fds[1], failure.data(), failure.size()) < 0) failure += " (unreported)";
    ::_exit(failure.empty() ? 0 : 1);
  }
  ::close(fds[1]);
  ChildOutcome out;
  char buf[512];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) out.failure.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return out;
}

// Hands a file or folder to the other user (a no-op when not running as root).
inline void GiveToOtherUser(const std::string& path) {
  if (::geteuid() == 0 && ::chown(path.c_str(), kOtherUid, kOtherGid) != 0) throw std::runtime_error("chown " + path);
}

}  // namespace tern::test
