#pragma once
// A real FTP server (pyftpdlib under the system Python) on 127.0.0.1 with a
// free port and a scratch root folder, for the upload tests. Started by the
// constructor, stopped by the destructor.
#include <sys/types.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "transmit/ftp/FtpTask.h"

namespace tern::test {

class FtpTestServer {
 public:
  static constexpr const char* kUser = "station";
  static constexpr const char* kPassword = "s3cr et";

  // extraArgs: misbehaviour switches of the server script ("--drop-on", "STOR").
  explicit FtpTestServer(std::vector<std::string> extraArgs = {});
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  int port() const { return port_; }
  // The server's root on disk, with trailing '/'.
  const std::string& root() const { return root_.path(); }
  // Commands as the server received them: "<session> <COMMAND> [argument]".
  std::vector<std::string> Log() const;
  // Commands without the session number and without the transfer set-up
  // chatter (PWD, TYPE, PORT/EPRT/PASV/EPSV, returns to the login folder).
  std::vector<std::string> Commands() const;
  // Number of control connections the server accepted.
  int Sessions() const;

  // Settings of a task that logs in to this server and uploads into "in".
  tFTPTaskRecord Task() const;

 private:
  TempDir root_;
  TempDir work_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace tern::test
