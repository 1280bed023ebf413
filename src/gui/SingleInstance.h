#pragma once
// One desk per user: the first one listens on a local socket; a later start
// only knocks there (which brings the running desk to the front) and ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace tern {

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit TSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
  ~TSingleInstance() override;
  // The per-user name the desk listens under.
  static QString DefaultName();

  // True when another desk answered and was asked to come to the front.
  bool ActivateRunning(int timeoutMs = 2000) const;
  // Starts listening; a socket left behind by a desk that died is replaced.
  bool Listen();

 signals:
  void activationRequested();

 private:
  QString name_;
  QLocalServer* server_ = nullptr;
};

}  // namespace tern
