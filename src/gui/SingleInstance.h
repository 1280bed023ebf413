#pragma once
// One desk per user: the first one listens on a local socket in the user's
// private runtime folder; a later start only knocks there (which brings the
// running desk to the front) and ends. A listener is trusted only when it runs
// as the same user.
#include <QObject>
#include <QString>

class QLocalServer;

namespace tern {

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit TSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
  ~TSingleInstance() override;
  // The socket's path in the user's private runtime folder: $XDG_RUNTIME_DIR,
  // or a folder of the user's own (mode 0700) in the temporary folder when
  // that is unset. Empty when no such folder is private to the user.
  static QString DefaultName();
  // The folder the socket lives in; empty when it is not private to the user.
  static QString RuntimeFolder();

  // True when a desk of this user answered and was asked to come to the front.
  bool ActivateRunning(int timeoutMs = 2000) const;
  // Starts listening; a socket of this user left behind by a desk that died is
  // replaced. False, with ListenError() saying why, when the name is taken by
  // anything else.
  bool Listen();
  // The operator's text of the last failed Listen (cp1251).
  const std::string& ListenError() const { return listenError_; }

 signals:
  void activationRequested();

 private:
  QString name_;
  QLocalServer* server_ = nullptr;
  std::string listenError_;
};

}  // namespace tern
