#pragma once
// One FTP control connection driven through libcurl, one server operation
// per call. Every call reuses the connection the first one opened, so the
// server sees a single login for the whole upload.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "transmit/NetFailure.h"
#include "transmit/ftp/FtpStatus.h"
#include "transmit/ftp/FtpTask.h"

namespace tern {

class FtpSession {
 public:
  using StatusSink = std::function<void(FtpStatusEvent, const std::string& detail)>;
  // Fills buf with at most max bytes of the upload; 0 ends the file.
  using Source = std::function<size_t(char* buf, size_t max)>;
  enum class StoreResult { Stored, NotCreated, WriteFailed };

  // Takes server, port, passive mode, folder, user and timeouts from the task.
  FtpSession(const tFTPTaskRecord& task, StatusSink sink);
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  // False when the library could not give a handle.
  bool Valid() const;
  // Polled while connecting, changing folder and listing; true gives up the
  // wait. Writing is never interrupted this way: its source decides.
  void SetGiveUp(std::function<bool()> giveUp);

  bool Connect(const std::string& password);
  bool ChangeFolder();
  // The LIST reply of the upload folder, fetched afresh; nullopt on failure.
  // A server that refuses to list an empty folder (450, 550) gives an empty
  // listing. A reply is read up to kListingLimit bytes and for at most one
  // answer time-out; a longer one fails.
  std::optional<std::string> List();
  static constexpr size_t kListingLimit = 4u << 20;
  bool Delete(const std::string& name);
  bool Rename(const std::string& from, const std::string& to);
  // STOR in binary mode. NotCreated when the server refused the file before
  // any data was asked for.
  StoreResult Store(const std::string& name, const Source& source);

  // The library's text for the last failure.
  std::string LastError() const;
  // The reason of the last failure, for the operator.
  TNetFailure LastFailure() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tern
