#include "gui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace webhoard::gui {
namespace {

constexpr int kConnectTimeoutMs = 2000;
constexpr char kRaiseRequest[] = "raise\n";

// A file name for any program name: the name itself where it is plain,
// with a hash so that two names never share a key.
QString KeyOf(const QString& program_name) {
  QString plain;
  for (const QChar c : program_name) {
    plain.append(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' ? c : QChar(u'_'));
  }
  const QByteArray hash =
      QCryptographicHash::hash(program_name.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
  return plain.left(64) + u'-' + QString::fromLatin1(hash);
}

}  // namespace

QString UserRuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}

SingleInstance::SingleInstance(const QString& program_name, const QString& folder, QObject* parent)
    : QObject(parent), key_(KeyOf(program_name)), folder_(folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lock_path() const {
  return QDir(folder_).filePath(QStringLiteral("webhoard-") + key_ + QStringLiteral(".lock"));
}

QString SingleInstance::server_name() const {
  return QDir(folder_).filePath(QStringLiteral("webhoard-") + key_ + QStringLiteral(".socket"));
}

bool SingleInstance::Claim() {
  lock_ = std::make_unique<QLockFile>(lock_path());
  // A lock left by a process that died is taken over (QLockFile checks the
  // process named in it).
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    Listen();
    return true;
  }
  lock_.reset();
  if (AskFirstToRaise()) return false;
  // The holder does not answer: it is starting or ending. Try once more
  // after it had time, so two quick starts never both go on.
  lock_ = std::make_unique<QLockFile>(lock_path());
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(kConnectTimeoutMs)) {
    Listen();
    return true;
  }
  lock_.reset();
  AskFirstToRaise();
  return false;
}

bool SingleInstance::AskFirstToRaise() const {
  QLocalSocket socket;
  socket.connectToServer(server_name());
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  return true;
}

void SingleInstance::Listen() {
  // Only the lock holder gets here, so a socket file left behind is stale.
  QLocalServer::removeServer(server_name());
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(server_name())) return;  // later starts then find no one to raise
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      auto serve = [this, socket] {
        if (socket->readAll().contains('\n')) emit raiseRequested();
      };
      connect(socket, &QLocalSocket::readyRead, this, serve);
      serve();  // what arrived before the connection was taken
    }
  });
}

}  // namespace webhoard::gui
