#include "SingleInstance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include "TextBridge.h"

namespace tern {
namespace {

// A real folder (not a link to one) of this user that nobody else may enter.
bool IsPrivateFolder(const QString& path) {
  struct stat st{};
  return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// A socket of this user: the only thing at the name that may be replaced.
bool IsOwnSocket(const QString& path) {
  struct stat st{};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

bool Exists(const QString& path) {
  struct stat st{};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Where the local socket of a name lies: a bare name goes to the temporary folder.
QString SocketPath(const QString& name) {
  return name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

}  // namespace

TSingleInstance::TSingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();
}

QString TSingleInstance::RuntimeFolder() {
  const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!xdg.isEmpty()) return IsPrivateFolder(xdg) ? xdg : QString();
  const QString own = QDir::tempPath() + QStringLiteral("/tern2bufr-%1").arg(static_cast<qulonglong>(::geteuid()));
  ::mkdir(QFile::encodeName(own).constData(), 0700);  // an existing one is checked below like a new one
  return IsPrivateFolder(own) ? own : QString();
}

QString TSingleInstance::DefaultName() {
  const QString folder = RuntimeFolder();
  return folder.isEmpty() ? QString() : folder + QStringLiteral("/LMB2BUFR-APK");
}

bool TSingleInstance::ActivateRunning(int timeoutMs) const {
  if (name_.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  // Only a desk of the same user may send this one away.
  ucred peer{};
  socklen_t size = sizeof peer;
  const bool same = ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                                 &size) == 0 &&
                    peer.uid == ::geteuid();
  if (same)
    socket.disconnectFromServer();
  else
    socket.abort();
  return same;
}

bool TSingleInstance::Listen() {
  if (server_) return server_->isListening();
  listenError_.clear();
  auto fail = [this](const QString& why) {
    listenError_ = cp("Не удалось открыть канал связи с другими запусками программы") +
                   (name_.isEmpty() ? std::string() : " " + FromQ(name_)) + "\r" + FromQ(why) + "\r" +
                   cp("Второй запуск программы не будет обнаружен");
    return false;
  };
  if (name_.isEmpty()) return fail(QStringLiteral("Нет личной папки пользователя для сокета"));
  // Nobody of this user answered before, so a socket of this user at the name
  // belongs to a desk that is gone; anything else there is not ours to
  // replace (Qt's listen would rename its socket over it without a word).
  const QString path = SocketPath(name_);
  if (Exists(path)) {
    if (!IsOwnSocket(path))
      return fail(QStringLiteral("Имя занято файлом, который не является сокетом этого пользователя"));
    QLocalServer::removeServer(name_);
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) return fail(server_->errorString());
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
