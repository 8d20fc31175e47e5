// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instance_guard.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

namespace suusiki {
namespace {

// A request is "open " and a path (only when a file was named), then "activate
// ", the start's activation token (which may be empty); each in UTF-8 with a
// line feed. The answer: "ok" and a line feed.
constexpr char kOpen[] = "open ";
constexpr char kActivate[] = "activate ";
constexpr char kDone[] = "ok\n";
constexpr int kConnectMs = 500;
constexpr int kAnswerMs = 2000;

// The file's path with symbolic links resolved; the file itself need not exist yet.
QString CanonicalPath(const QString& path) {
  const QFileInfo file(path);
  const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
  return (folder.isEmpty() ? file.absolutePath() : folder) + QLatin1Char('/') + file.fileName();
}

}  // namespace

QString InstanceServerName(const QString& path) {
  const QByteArray hash =
      QCryptographicHash::hash(CanonicalPath(path).toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
  return QStringLiteral("suusiki-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

QString UnreachableMessage(const QString& path, const storage::TableLock::Holder& holder) {
  const QString who =
      holder.pid > 0
          ? QStringLiteral("ほかに動いているプログラム（%1、プロセス番号 %2）").arg(holder.program).arg(holder.pid)
          : QStringLiteral("ほかに動いているプログラム");
  return QStringLiteral(
             "この変数ファイルは%1が使っていて、そのウィンドウを前に出せませんでした。\n%2\n"
             "変数ファイルは変えずに終了します。")
      .arg(who, QDir::toNativeSeparators(path));
}

InstanceGuard::InstanceGuard(QString autoSavePath, QObject* parent)
    : QObject(parent), path_(std::move(autoSavePath)), serverName_(InstanceServerName(path_)), lock_(path_) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
      if (socket->canReadLine()) Answer(socket);
    }
  });
}

InstanceGuard::~InstanceGuard() = default;

InstanceGuard::Outcome InstanceGuard::Claim(const QString& file, std::chrono::milliseconds patience) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    switch (lock_.TryAcquire()) {
      case storage::TableLock::Outcome::Acquired:
        // Without the socket the window still works; only a later start can't reach it.
        Listen();
        return Outcome::First;
      case storage::TableLock::Outcome::Unavailable: return Outcome::Unlocked;
      case storage::TableLock::Outcome::HeldByOther: break;
    }
    if (AskHolder(file)) return Outcome::HandedOver;
    if (waited.elapsed() >= patience.count()) return Outcome::Unreachable;
    QThread::msleep(100);
  }
}

bool InstanceGuard::Listen() {
  // We hold the lock, so a socket of that name was left by a window that died.
  QLocalServer::removeServer(serverName_);
  return server_.listen(serverName_);
}

bool InstanceGuard::AskHolder(const QString& file) {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(kConnectMs)) return false;
  if (!file.isEmpty()) socket.write(kOpen + file.toUtf8().replace('\n', "") + '\n');
  socket.write(kActivate + qgetenv("XDG_ACTIVATION_TOKEN").replace('\n', "") + '\n');
  if (!socket.waitForBytesWritten(kAnswerMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerMs)) return false;
  }
  return socket.readLine() == kDone;
}

void InstanceGuard::Answer(QLocalSocket* socket) {
  // Another start sends one short line; anything else is not one of ours.
  if (!socket->canReadLine() && socket->bytesAvailable() > 4096) {
    socket->abort();
    return;
  }
  while (socket->canReadLine()) {
    const QByteArray line = socket->readLine();
    if (line.startsWith(kOpen)) {
      const QString path = QString::fromUtf8(line.mid(sizeof kOpen - 1)).chopped(1);
      if (!path.isEmpty()) emit openRequested(path);
      continue;
    }
    if (!line.startsWith(kActivate)) continue;
    emit activationRequested(QString::fromUtf8(line.mid(sizeof kActivate - 1).trimmed()));
    socket->write(kDone);
    socket->flush();
  }
}

}  // namespace suusiki
