#include "transmit/ftp/FtpTask.h"

#include <cstdlib>

#include "base/Files.h"
#include "base/Text.h"
#include "transmit/Password.h"

namespace tern {
namespace {

constexpr char kSOH = '\x01';
constexpr char kETX = '\x03';
constexpr const char* kCrCrLf = "\r\r\n";

uint32_t AbsMs(int value) { return static_cast<uint32_t>(std::llabs(static_cast<long long>(value))); }

uint16_t FoldChunk(int value) {
  const long long n = std::llabs(static_cast<long long>(value));
  return (n >= 256 && n <= 4096) ? static_cast<uint16_t>(n) : kDefaultChunk;
}

// The WMO file names carry characters 2 to 5 of the station index when no
// originator is configured; once chosen it stays for the whole run.
void FillOriginator(tFTPTaskRecord& task, const tFTPNaming& naming) {
  if (task.Originator.empty()) task.Originator = CodeDigits(naming.StationIndex, 5).substr(1, 4);
}

bool FitsSendBuffer(const std::string& what, size_t size, IOperator& op) {
  if (size <= kSendBufferSize) return true;
  op.Message(what + cp(":Размер данных ") + std::to_string(size) + cp(" байт больше буфера отправки ") +
             std::to_string(kSendBufferSize) + cp(" байт, отправка невозможна!"));
  return false;
}

}  // namespace

std::string tFTPTaskRecord::LoginPassword() const {
  return PasswordScrambled ? DescramblePassword(Password, PasswordKey) : Password;
}

bool ReadFTPSettings(const TMyIniFile& ini, std::string_view section, tFTPTaskRecord& task) {
  task.WMOFileMode = ini.ReadBool(section, "FTPWMOOLD", true);
  task.Server = ini.ReadString(section, "URL", "");
  task.User = ini.ReadString(section, "USER", "");
  task.Password = ini.ReadString(section, "PWD", "");
  task.Folder = Trim(ini.ReadString(section, "PATH", ""));
  task.Passive = ini.ReadBool(section, "PASV", false);
  task.CheckSize = ini.ReadBool(section, "CHECKSIZE", true);
  task.CheckExisting = true;
  task.ForceConnect = ini.ReadBool(section, "FORCECONNECT", false);
  task.ForceDisconnect = ini.ReadBool(section, "FORCEDISCONNECT", false);
  task.ConnectTimeout = AbsMs(ini.ReadInteger(section, "TOUT_CONNECT", 0));
  task.ReceiveTimeout = AbsMs(ini.ReadInteger(section, "TOUT_RECEIVE", 0));
  task.SendTimeout = AbsMs(ini.ReadInteger(section, "TOUT_SEND", 0));
  task.ChunkSize = FoldChunk(ini.ReadInteger(section, "CHUNK", kDefaultChunk));
  task.Originator = ini.ReadString(section, "CCCC0", "").substr(0, 4);
  task.PasswordScrambled = ini.ReadBool(section, "encode", false);
  task.PasswordKey = task.PasswordScrambled ? ini.ReadString(section, "enkey", "") : std::string();
  return !task.Server.empty() && !task.User.empty() && !task.Password.empty();
}

void tFTPCounters::AfterTextUpload(bool succeeded) {
  if (succeeded && ++BulletinNo >= 1000) BulletinNo = 1;
  if (++TextFileNo >= 100000000) TextFileNo = 1;
}

void tFTPCounters::AfterBufrUpload() {
  if (++BufrFileNo >= 100000000) BufrFileNo = 1;
}

std::string WmoTextFrame(const std::string& text, int bulletinNo) {
  // The length counts from SOH to ETX inclusive.
  const size_t length = text.size() + 14;
  std::string frame = CodeDigits(static_cast<long long>(length), 8) + "00";
  frame += kSOH;
  frame += kCrCrLf;
  frame += CodeDigits(bulletinNo, 3);
  frame += kCrCrLf;
  frame += text;
  frame += kCrCrLf;
  frame += kETX;
  return frame;
}

std::string WmoBinaryPrefix(size_t size) { return CodeDigits(static_cast<long long>(size), 8) + "00"; }

bool PrepareTextTask(tFTPTaskRecord& task, const std::string& text, const std::string& shortName,
                     const tFTPNaming& naming, IOperator& op) {
  std::string data = task.WMOFileMode ? WmoTextFrame(text, naming.BulletinNo) : text;
  if (!FitsSendBuffer(shortName, data.size(), op)) return false;

  std::string finalName;
  if (task.WMOFileMode) {
    FillOriginator(task, naming);
    finalName = task.Originator + CodeDigits(naming.TextFileNo, 8) + ".a";
  } else {
    finalName = "A_" + shortName + naming.CCCC + FormatDateTime("ddhh", naming.ObsTime) + "00" + naming.BBB +
                "_C_" + naming.CCCC + "_" + FormatDateTime("yyyymmddhhnn", naming.ReleaseTime) + "_" +
                CodeDigits(naming.StationIndex, 5) + ".txt";
  }
  task.Data = std::move(data);
  task.LocalName = shortName;
  task.FinalName = finalName;
  task.TempName = finalName + ".tmp";
  return true;
}

bool PrepareBUFRTask(tFTPTaskRecord& task, const std::string& bufrPath, const tFTPNaming& naming,
                     IOperator& op) {
  const long long listed = FileSizeOf(bufrPath);
  if (listed < 0) {
    op.Message(bufrPath + cp(":Файл не найден!"));
    return false;
  }
  const size_t prefixLength = task.WMOFileMode ? 10 : 0;
  // Refused before reading so that a stray huge file is never loaded.
  if (!FitsSendBuffer(bufrPath, static_cast<size_t>(listed) + prefixLength, op)) return false;
  auto content = ReadWholeFile(bufrPath);
  if (!content) {
    op.Message(bufrPath + cp(":Ошибка чтения!"));
    return false;
  }
  // The file may have grown since it was listed.
  if (!FitsSendBuffer(bufrPath, content->size() + prefixLength, op)) return false;

  std::string data = task.WMOFileMode ? WmoBinaryPrefix(content->size()) + *content : std::move(*content);
  std::string finalName;
  if (task.WMOFileMode) {
    FillOriginator(task, naming);
    finalName = task.Originator + CodeDigits(naming.BufrFileNo, 8) + ".b";
  } else {
    finalName = ExtractFileName(bufrPath);
  }
  task.Data = std::move(data);
  task.LocalName = bufrPath;
  task.FinalName = finalName;
  task.TempName = finalName + ".tmp";
  return true;
}

}  // namespace tern
