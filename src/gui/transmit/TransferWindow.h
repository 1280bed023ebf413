#pragma once
// What the FTP and the mail progress windows share: a bold phase line (red on
// failure), a status line, a progress line, "ОК" and the cancel button, and a
// transfer that runs on a worker thread once the window is on screen. While
// it runs, the cancel button, Esc and the close control only ask it to stop.
#include <QDialog>
#include <atomic>
#include <functional>
#include <thread>

class QLabel;
class QPushButton;

namespace tern {

class TTransferWindow : public QDialog {
  Q_OBJECT
 public:
  ~TTransferWindow() override;

  bool Running() const { return running_; }
  bool CancelRequested() const { return cancel_.load(); }

  QLabel* lblProgress = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 public slots:
  void reject() override;

 protected:
  TTransferWindow(QWidget* owner, Qt::WindowFlags flags);
  // Makes the controls, named as the derived window names them, and lays them
  // out in a window of the given client size.
  void BuildControls(const QString& phaseName, const QString& statusName, const QString& cancelCaption,
                     QSize clientSize);
  void SetPhase(const QString& text, bool failed);
  // The outcome on the buttons: "ОК" enabled after a success, the cancel
  // button renamed "Отмена" after a failure.
  void ShowSucceeded();
  void ShowFailed();
  // The transfer, run on the worker thread; what it returns runs afterwards
  // in the window's thread.
  virtual std::function<void()> RunTransfer() = 0;
  // Asks a running transfer to stop and waits for it. A derived window calls
  // it first thing in its destructor, while what the transfer uses still lives.
  void StopTransfer();

  void showEvent(QShowEvent* e) override;

  QLabel* phase_ = nullptr;
  QLabel* status_ = nullptr;
  std::atomic<bool> cancel_{false};
  bool started_ = false;
  bool finished_ = false;

 private:
  void Start();

  std::thread worker_;
  bool running_ = false;
};

}  // namespace tern
