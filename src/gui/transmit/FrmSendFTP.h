#pragma once
// The small progress window of an FTP upload. The upload itself runs on a
// worker thread and reports through queued calls, so the window keeps
// painting and the operator's "Прервать" arrives while data is written.
#include <QDialog>
#include <atomic>
#include <functional>
#include <thread>

#include "transmit/ftp/FtpUpload.h"

class QLabel;
class QPushButton;

namespace tern {

using FtpRunner = std::function<FtpOutcome(const tFTPTaskRecord&, IFtpUploadView&, const std::atomic<bool>&)>;

class TfrmSendFTP : public QDialog {
  Q_OBJECT
 public:
  // The task must outlive the window. runner is the upload; tests pass their own.
  explicit TfrmSendFTP(const tFTPTaskRecord& task, QWidget* owner = nullptr, FtpRunner runner = RunFtpUpload);
  ~TfrmSendFTP() override;

  bool Running() const { return running_; }
  bool Succeeded() const { return finished_ && outcome_ == FtpOutcome::Succeeded; }
  bool CancelRequested() const { return cancel_.load(); }

  QLabel* lblFTPPhase = nullptr;
  QLabel* lblFTPStatus = nullptr;
  QLabel* lblProgress = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  static constexpr int kClientWidth = 516;
  static constexpr int kClientHeight = 91;

 public slots:
  // Esc, the close control and "Прервать": a request while the upload runs,
  // closing afterwards.
  void reject() override;

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  friend class QueuedFtpView;
  void Start();
  void Finish(FtpOutcome outcome);
  void SetPhase(const QString& text, bool failed);

  const tFTPTaskRecord& task_;
  FtpRunner runner_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool started_ = false;
  bool running_ = false;
  bool finished_ = false;
  FtpOutcome outcome_ = FtpOutcome::Failed;
};

// Runs one upload in the modal window; true only when the upload succeeded
// and the operator closed the window with "ОК".
bool SendFileFTP(QWidget* owner, const tFTPTaskRecord& task);

}  // namespace tern
