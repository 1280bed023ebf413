#pragma once
// Connection events of an upload and the texts the progress window shows for
// them. The numbers are the classic Internet-client status codes so that the
// log of an old station and of this one read alike.
#include <cstdint>
#include <string>

namespace tern {

enum class FtpStatusEvent : int {
  ResolvingName = 10,
  NameResolved = 11,
  ConnectingToServer = 20,
  ConnectedToServer = 21,
  SendingRequest = 30,
  RequestSent = 31,
  ReceivingResponse = 40,
  ResponseReceived = 41,
  CtlResponseReceived = 42,
  Prefetch = 43,
  ClosingConnection = 50,
  ConnectionClosed = 51,
  HandleCreated = 60,
  HandleClosing = 70,
  RequestComplete = 100,
  Redirect = 110,
  IntermediateResponse = 120,
  StateChange = 200,
};

// Text for an event code; detail is the name, the address or the byte count
// where the event carries one. Unknown codes give "UNKNOWN".
std::string FtpStatusText(int code, const std::string& detail);
inline std::string FtpStatusText(FtpStatusEvent e, const std::string& detail = {}) {
  return FtpStatusText(static_cast<int>(e), detail);
}

}  // namespace tern
