#include "transmit/smtp/SMTPTask.h"

#include <cstdlib>

#include "transmit/Password.h"


namespace tern {
namespace {

int Fold(int value, int modulus) { return std::abs(value % modulus); }

int FoldTick(int value) {
  int tick = Fold(value, 15000);
  if (tick > 0 && tick < 150) tick = 150;
  return tick;
}

}  // namespace

bool ReadSMTPSettings(const TMyIniFile& ini, std::string_view section, tSMTPTaskRecord& task) {
  task.Mixed = ini.ReadBool(section, "Mixed", true);
  task.ForceMixed = ini.ReadBool(section, "ForceMixed", true);
  task.StartTLS = ini.ReadBool(section, "TLS", false);
  task.ImplicitTLS = ini.ReadBool(section, "SSL", false);
  task.RawText = ini.ReadBool(section, "Raw", true);
  task.Heartbeat = ini.ReadBool(section, "Beat", true);
  task.TickMs = FoldTick(ini.ReadInteger(section, "Tick", 1000));
  task.ShowStatus = ini.ReadBool(section, "Status", true);
  task.ShowReplies = ini.ReadBool(section, "Info", true);
  task.AbortOnError = ini.ReadBool(section, "Cancel", true);
  task.TLSVerify = ini.ReadBool(section, "TLSVerify", true);
  task.ConnectTimeoutMs = static_cast<uint32_t>(std::llabs(ini.ReadInteger(section, "TOUT_CONNECT", 0)));
  task.ReplyTimeoutMs = static_cast<uint32_t>(std::llabs(ini.ReadInteger(section, "TOUT_RECEIVE", 0)));
  task.HeaderCharset = static_cast<TMailCharset>(Fold(ini.ReadInteger(section, "HeadKod", 1), 4));
  task.TextCharset = static_cast<TMailCharset>(Fold(ini.ReadInteger(section, "TextKod", 1), 4));
  task.Encoding = static_cast<TMailEncoding>(Fold(ini.ReadInteger(section, "mime", 0), 6));
  task.Server = ini.ReadString(section, "host", "");
  task.Receipt = ini.ReadBool(section, "receipt", false);
  task.PasswordScrambled = ini.ReadBool(section, "cipher", false);
  task.Login = ini.ReadString(section, "login", "");
  task.Password = ini.ReadString(section, "kenwort", "");
  task.PasswordKey = task.PasswordScrambled ? ini.ReadString(section, "schlsl", "") : std::string();
  return !task.Server.empty() && !task.Login.empty() && !task.Password.empty();
}

std::string SMTPPassword(const tSMTPTaskRecord& task) {
  return task.PasswordScrambled ? DescramblePassword(task.Password, task.PasswordKey) : task.Password;
}

const char* MailCharsetName(TMailCharset charset) {
  switch (charset) {
    case TMailCharset::Windows1251: return "windows-1251";
    case TMailCharset::Koi8R: return "koi8-r";
    case TMailCharset::Utf7: return "utf-7";
    case TMailCharset::Utf8: return "utf-8";
  }
  return "utf-8";
}

TSMTPServer SplitServer(std::string_view server) {
  TSMTPServer result;
  size_t colon = server.find(':');
  result.Host = Trim(server.substr(0, colon));
  if (colon != std::string_view::npos) {
    auto port = TryParseInt(Trim(server.substr(colon + 1)));
    result.Port = (port && *port > 0 && *port <= 65535) ? *port : 0;
  }
  return result;
}

TextList SplitAddressList(std::string_view list) {
  TextList items;
  std::string item;
  bool quoted = false;
  for (char c : list) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      items.push_back(Trim(item));
      item.clear();
    } else {
      item += c;
    }
  }
  items.push_back(Trim(item));
  return items;
}

std::string BareAddress(std::string_view item) {
  size_t open = item.rfind('<');
  if (open != std::string_view::npos) {
    size_t close = item.find('>', open);
    if (close != std::string_view::npos) return Trim(item.substr(open + 1, close - open - 1));
  }
  return Trim(item);
}

}  // namespace tern
