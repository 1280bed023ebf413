#pragma once
// One mail task of the desk: the relay settings of an SMTP section of ASPD.CNF
// plus the addresses and the content of the current send. Text is cp1251.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "config/MyIniFile.h"

namespace tern {

enum class TMailCharset { Windows1251 = 0, Koi8R = 1, Utf7 = 2, Utf8 = 3 };
enum class TMailEncoding { SevenBit = 0, EightBit = 1, QuotedPrintable = 2, Base64 = 3, UUEncode = 4, XXEncode = 5 };

struct tSMTPTaskRecord {
  bool Mixed = true;        // multipart/mixed container around the parts
  bool ForceMixed = true;   // an empty text part before an attachment in a mixed message
  bool StartTLS = false;    // switch to TLS after the greeting when offered
  bool ImplicitTLS = false; // TLS from the first byte
  bool TextMode = false;    // body is the text (true) or the path of the file to attach
  bool RawText = true;      // text bytes go unchanged, only labelled with the text charset
  bool Heartbeat = true;
  int TickMs = 1000;        // 0: no heartbeat
  bool ShowStatus = true;
  bool ShowReplies = true;
  bool AbortOnError = true;
  bool TLSVerify = true;    // verify the relay's certificate against the system's trusted ones
  uint32_t ConnectTimeoutMs = 0;  // up to the greeting; 0: the desk's default
  uint32_t ReplyTimeoutMs = 0;    // for each answer of the relay; 0: the desk's default
  TMailCharset HeaderCharset = TMailCharset::Koi8R;
  TMailCharset TextCharset = TMailCharset::Koi8R;
  TMailEncoding Encoding = TMailEncoding::SevenBit;
  std::string Server;       // host, optionally ":port"
  std::string Subject;
  std::string To;
  std::string Cc;
  std::string Bcc;
  std::string From;
  std::string Body;         // text, or the path of the file
  std::string ReceiptAddress;
  std::string NotificationAddress;
  bool Receipt = false;     // the caller copies From into both receipt addresses
  std::string Login;
  std::string Password;     // as written in the settings
  bool PasswordScrambled = false;
  std::string PasswordKey;
};

// Fills the settings fields of the task from one section; true only when the
// relay, the login and the password are all given.
bool ReadSMTPSettings(const TMyIniFile& ini, std::string_view section, tSMTPTaskRecord& task);

// The password to present to the relay.
std::string SMTPPassword(const tSMTPTaskRecord& task);

// Name of a charset as it appears in MIME labels.
const char* MailCharsetName(TMailCharset charset);

struct TSMTPServer {
  std::string Host;
  int Port = 25;
};
// "host" or "host:port", each part trimmed; a port that is not a number 1..65535 gives 0.
TSMTPServer SplitServer(std::string_view server);

// Items of an address list split at commas outside double quotes, each trimmed;
// empty items are kept so the caller can see them.
TextList SplitAddressList(std::string_view list);
// The address between angle brackets when present, else the trimmed item.
std::string BareAddress(std::string_view item);

}  // namespace tern
