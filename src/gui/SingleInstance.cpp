#include "SingleInstance.h"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

namespace tern {
TSingleInstance::TSingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();
}

QString TSingleInstance::DefaultName() {
  return QStringLiteral("LMB2BUFR-APK-%1").arg(static_cast<qulonglong>(getuid()));
}

bool TSingleInstance::ActivateRunning(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

bool TSingleInstance::Listen() {
  if (server_) return server_->isListening();
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Nobody answered before, so the socket belongs to a desk that is gone.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    // Any knock is a request to come to the front; nothing else is ever said.
    bool knocked = false;
    while (QLocalSocket* s = server_->nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      knocked = true;
    }
    if (knocked) emit activationRequested();
  });
  return true;
}

}  // namespace tern
