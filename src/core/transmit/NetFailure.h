#pragma once
// Why a transfer failed, as the progress windows tell the operator: a short
// Russian reason, then the network library's own text for the detail.
#include <string>

namespace tern {

enum class TNetFailure {
  None,
  HostUnknown,
  Refused,           // nothing accepts connections there
  NoAnswer,          // the server went quiet
  ConnectionLost,
  LoginRefused,
  TLSRefused,        // no STARTTLS offered, or refused
  TLSFailed,         // the secure channel could not be set up (certificate, handshake)
  FolderMissing,
  ListingTooLong,
  SenderRefused,
  RecipientRefused,
  MessageRefused,
  Other,
};

// The reason for a failure code of the network library (a CURLcode).
TNetFailure NetFailureOfCurl(int code);
// "<reason>: <detail>" in cp1251; the reason alone when detail is empty.
std::string NetFailureText(TNetFailure failure, const std::string& detail);

}  // namespace tern
