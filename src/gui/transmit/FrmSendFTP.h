#pragma once
// The small progress window of an FTP upload. The upload reports through
// queued calls, so the window keeps painting and the operator's "Прервать"
// arrives while data is written.
#include <atomic>
#include <functional>

#include "transmit/TransferWindow.h"
#include "transmit/ftp/FtpUpload.h"

namespace tern {

using FtpRunner = std::function<FtpOutcome(const tFTPTaskRecord&, IFtpUploadView&, const std::atomic<bool>&)>;

class TfrmSendFTP : public TTransferWindow {
  Q_OBJECT
 public:
  // The task must outlive the window. runner is the upload; tests pass their own.
  explicit TfrmSendFTP(const tFTPTaskRecord& task, QWidget* owner = nullptr, FtpRunner runner = RunFtpUpload);
  ~TfrmSendFTP() override;

  bool Succeeded() const { return finished_ && outcome_ == FtpOutcome::Succeeded; }

  QLabel* lblFTPPhase = nullptr;
  QLabel* lblFTPStatus = nullptr;

  static constexpr int kClientWidth = 516;
  static constexpr int kClientHeight = 91;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  std::function<void()> RunTransfer() override;

 private:
  friend class QueuedFtpView;
  void Finish(FtpOutcome outcome);

  const tFTPTaskRecord& task_;
  FtpRunner runner_;
  FtpOutcome outcome_ = FtpOutcome::Failed;
};

// Runs one upload in the modal window; true only when the upload succeeded
// and the operator closed the window with "ОК".
bool SendFileFTP(QWidget* owner, const tFTPTaskRecord& task);

}  // namespace tern
