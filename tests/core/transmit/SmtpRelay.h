#pragma once
// A real SMTP relay for the tests: the recording script under tests/support run
// by the system Python with aiosmtpd, on 127.0.0.1 and a free port.
#include <string>
#include <vector>

#include "TestSupport.h"

namespace tern::test {

struct ReceivedPart {
  std::string ContentType, Charset, Encoding, Disposition, FileName;
  std::string Payload;  // decoded by the relay's own mail parser
};

struct ReceivedMessage {
  std::string Raw;
  std::vector<std::pair<std::string, std::string>> Headers;  // raw values, unfolded
  std::vector<std::pair<std::string, std::string>> Decoded;  // From, To, Cc, Subject in UTF-8
  std::vector<ReceivedPart> Parts;
  // First raw value of a header, "" when absent; HasHeader tells absence apart.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
  std::string DecodedHeader(const std::string& name) const;
};

class SmtpRelay {
 public:
  // Extra arguments of the script, e.g. {"--starttls"} or {"--mechs", "PLAIN"}.
  explicit SmtpRelay(std::vector<std::string> args = {});
  ~SmtpRelay();
  SmtpRelay(const SmtpRelay&) = delete;
  SmtpRelay& operator=(const SmtpRelay&) = delete;

  int Port() const { return port_; }
  // "127.0.0.1:<port>" as the "host" setting writes it.
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  // The event lines recorded so far ("MAIL ...", "RCPT ...", "QUIT", ...).
  std::vector<std::string> Events() const;
  // Event lines starting with the given word.
  std::vector<std::string> Events(const std::string& word) const;
  std::vector<ReceivedMessage> Messages() const;

  // A self-signed certificate and key for 127.0.0.1, made once per test run.
  static const std::string& CertFile();
  static const std::string& KeyFile();

 private:
  TempDir dir_;
  int pid_ = -1;
  int port_ = 0;
};

}  // namespace tern::test
