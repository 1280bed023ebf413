#pragma once
// One FTP upload: the settings of a message class (text bulletins or BUFR)
// and the data of the current upload, plus the preparation of that data and
// of the remote names.
#include <cstdint>
#include <string>

#include "base/DateTime.h"
#include "base/Operator.h"
#include "config/MyIniFile.h"

namespace tern {

// Every upload must fit into the send buffer, prefix included.
constexpr size_t kSendBufferSize = 655360;
constexpr uint16_t kDefaultChunk = 1024;

struct tFTPTaskRecord {
  // --- settings -----------------------------------------------------------
  bool WMOFileMode = true;     // length prefix and CCCCnnnnnnnn.a/.b names
  bool Passive = false;
  bool CheckExisting = true;   // look the names up on the server before writing
  bool CheckSize = true;       // compare the remote size after writing
  std::string Server;          // host name or address
  uint16_t Port = 21;
  std::string Folder;          // remote folder; empty: the login folder
  std::string User;
  std::string Password;        // plain, or scrambled when PasswordScrambled
  std::string Originator;      // at most 4 characters; filled at the first WMO upload when empty
  // Dial-up control has no counterpart here; the flags are kept so the
  // settings read back unchanged, and otherwise ignored.
  bool ForceConnect = false;
  bool ForceDisconnect = false;
  uint32_t ConnectTimeout = 0;  // ms, 0: library default
  uint32_t ReceiveTimeout = 0;  // ms
  uint32_t SendTimeout = 0;     // ms
  uint16_t ChunkSize = kDefaultChunk;
  bool PasswordScrambled = false;
  std::string PasswordKey;

  // --- the current upload ------------------------------------------------
  std::string Data;        // bytes to upload, never more than kSendBufferSize
  std::string LocalName;   // short message name or BUFR file path (caption only)
  std::string TempName;    // remote name while writing
  std::string FinalName;   // remote name after the rename

  uint32_t Size() const { return static_cast<uint32_t>(Data.size()); }
  // The password for the login: descrambled when stored scrambled.
  std::string LoginPassword() const;
};

// Fills the settings of the task from a section of the settings file; true
// only when server, user and password are all given.
bool ReadFTPSettings(const TMyIniFile& ini, std::string_view section, tFTPTaskRecord& task);

// What the names of an upload are made of besides the task itself.
struct tFTPNaming {
  uint32_t StationIndex = 0;  // 5-digit WMO index
  std::string CCCC;           // originator of the station settings
  TDateTime ObsTime = 0;      // nominal observation time
  TDateTime ReleaseTime = 0;  // balloon release time
  std::string BBB;            // empty when none
  int BulletinNo = 1;         // 3 digits inside a WMO text file
  uint32_t TextFileNo = 1;    // 8 digits in WMO text file names
  uint32_t BufrFileNo = 1;    // 8 digits in WMO BUFR file names
};

// Counters for the names; advanced by the caller after each upload.
struct tFTPCounters {
  int BulletinNo = 1;
  uint32_t TextFileNo = 1;
  uint32_t BufrFileNo = 1;
  // The file number moves on after every attempt, the bulletin number only
  // after a bulletin actually went out.
  void AfterTextUpload(bool succeeded);
  void AfterBufrUpload();
};

// A text bulletin in the WMO file framing: length, "00", SOH, CR CR LF,
// bulletin number, CR CR LF, text, CR CR LF, ETX.
std::string WmoTextFrame(const std::string& text, int bulletinNo);
// The 10-byte prefix of a WMO-mode binary file of the given size.
std::string WmoBinaryPrefix(size_t size);

// Fill data and names of the task; false (after telling the operator why)
// when nothing should be uploaded.
bool PrepareTextTask(tFTPTaskRecord& task, const std::string& text, const std::string& shortName,
                     const tFTPNaming& naming, IOperator& op);
bool PrepareBUFRTask(tFTPTaskRecord& task, const std::string& bufrPath, const tFTPNaming& naming,
                     IOperator& op);

}  // namespace tern
