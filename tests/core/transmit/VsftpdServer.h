#pragma once
// The production FTP server of many stations, vsftpd, on 127.0.0.1 with free
// ports and a configuration written here: anonymous login (any password) into
// a scratch root whose folder "in" takes uploads, deletes and renames.
// Started by the constructor, stopped by the destructor; a server that cannot
// start throws, so the test using it fails.
#include <sys/types.h>

#include <string>

#include "TestSupport.h"
#include "transmit/ftp/FtpTask.h"

namespace tern::test {

class VsftpdServer {
 public:
  VsftpdServer();
  ~VsftpdServer();
  VsftpdServer(const VsftpdServer&) = delete;
  VsftpdServer& operator=(const VsftpdServer&) = delete;

  int port() const { return port_; }
  // The folder uploads go to, on disk, with trailing '/'.
  std::string upload() const { return work_ / "root/in/"; }
  // Puts a file into the upload folder as an earlier upload would have left it.
  void Place(const std::string& name, const std::string& bytes) const;
  // The server's protocol log (commands and replies).
  std::string Log() const;

  // Settings of a task that logs in anonymously and uploads into "in".
  tFTPTaskRecord Task() const;

 private:
  TempDir work_;
  pid_t pid_ = -1;
  int port_ = 0;
  uid_t ftpUid_ = 0;
  gid_t ftpGid_ = 0;
};

}  // namespace tern::test
