#pragma once
// The upload sequence of one task: connect, change folder, look the names
// up, write under the temporary name, check the size, rename. What happens
// is reported to a view (the progress window, or a test) as it happens.
#include <atomic>
#include <cstdint>
#include <string>

#include "transmit/ftp/FtpTask.h"

namespace tern {

// Receives the texts of the upload, in cp1251. Called on the thread that
// runs the upload.
class IFtpUploadView {
 public:
  virtual ~IFtpUploadView() = default;
  virtual void ShowCaption(const std::string& text) = 0;
  // failed: the phase line turns red.
  virtual void ShowPhase(const std::string& text, bool failed) = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void ShowProgress(uint32_t sent, uint32_t size) = 0;
};

enum class FtpOutcome { Succeeded, Failed, Cancelled };

// "sent/size", the progress line of the window.
std::string ProgressText(uint32_t sent, uint32_t size);

// Runs the whole sequence. cancel is a request: it is looked at after
// connecting, after changing folder, after opening the remote file, after
// every chunk and after the size lookup; while a connection or a lookup is
// still waiting on the network it also ends that wait. A cancel while the
// file is being written removes the remote temporary file.
FtpOutcome RunFtpUpload(const tFTPTaskRecord& task, IFtpUploadView& view, const std::atomic<bool>& cancel);

}  // namespace tern
