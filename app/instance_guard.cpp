// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instance_guard.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

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
// Another start sends short lines; more than this without a line feed is not one of ours.
constexpr qsizetype kLongestLine = 4096;

// The socket file for `serverName`, where Qt's local server put it for a name
// without a folder: in the temporary folder.
QByteArray SocketFile(const QString& serverName) {
  return QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + serverName);
}

// The address of the socket file `file`; false when the name is too long for one.
bool AddressOf(const QByteArray& file, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  if (file.isEmpty() || static_cast<size_t>(file.size()) >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, file.constData(), static_cast<size_t>(file.size()));
  return true;
}

// Whether the process at the other end of `fd` runs as this user.
bool PeerIsThisUser(int fd) {
  ucred peer{};
  socklen_t length = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

// A socket that is closed when it goes out of scope.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }
  // Hands the socket over: it is no longer closed here.
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Waits until `fd` is ready for `events` or `deadline` (of `clock`) has passed.
bool WaitFor(int fd, short events, const QElapsedTimer& clock, int deadline) {
  for (;;) {
    const auto left = static_cast<int>(deadline - clock.elapsed());
    if (left <= 0) return false;
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, left);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// Connects `fd` to `address`, waiting up to `ms` while the listener's queue is full.
bool ConnectTo(int fd, const sockaddr_un& address, int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
    if (errno == EAGAIN) {  // the queue is full: the holder is busy or still starting
      if (clock.elapsed() >= ms) return false;
      QThread::msleep(10);
      continue;
    }
    // An interrupted connect goes on by itself, as one in progress does.
    if (errno != EINPROGRESS && errno != EINTR) return false;
    if (!WaitFor(fd, POLLOUT, clock, ms)) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  }
}

// Sends all of `bytes` by `deadline`, however the socket takes them.
bool SendAll(int fd, const QByteArray& bytes, const QElapsedTimer& clock, int deadline) {
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
    if (n > 0) {
      sent += n;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      if (!WaitFor(fd, POLLOUT, clock, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// The first line that arrives by `deadline`, with its line feed; empty when none does.
QByteArray ReceiveLine(int fd, const QElapsedTimer& clock, int deadline) {
  QByteArray received;
  char chunk[256];
  while (!received.contains('\n') && received.size() <= kLongestLine) {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n > 0) {
      received.append(chunk, n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      if (!WaitFor(fd, POLLIN, clock, deadline)) return {};
    } else {
      return {};  // the holder hung up, or the socket failed
    }
  }
  const qsizetype end = received.indexOf('\n');
  return end < 0 ? QByteArray() : received.left(end + 1);
}

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

// A start that is being answered: what it sent that is not yet a whole line,
// and the answer that the socket has not yet taken.
struct InstanceGuard::Connection {
  int fd = -1;
  QSocketNotifier* reading = nullptr;
  QSocketNotifier* writing = nullptr;
  QByteArray received, answer;
};

InstanceGuard::InstanceGuard(QString autoSavePath, QObject* parent)
    : QObject(parent), path_(std::move(autoSavePath)), serverName_(InstanceServerName(path_)), lock_(path_) {
  acceptAgain_.setSingleShot(true);
  acceptAgain_.setInterval(1000);
  connect(&acceptAgain_, &QTimer::timeout, this, [this] {
    if (accepting_ != nullptr) accepting_->setEnabled(true);
  });
}

InstanceGuard::~InstanceGuard() {
  while (!connections_.empty()) Drop(connections_.back().get());
  StopListening();
}

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
  if (listener_ >= 0) return true;
  const QByteArray file = SocketFile(serverName_);
  sockaddr_un address{};
  if (!AddressOf(file, address)) return false;  // a temporary folder with a very long name
  // We hold the lock, so a socket of that name was left by a window that died.
  ::unlink(file.constData());

  // The socket is made in a folder of its own that only this user may enter,
  // given this user's access only, and then moved to its name: no other user
  // can reach it at any time.
  QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/suusiki-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return false;
  const QByteArray made = folder + "/s";
  sockaddr_un madeAddress{};
  Socket listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  bool listening = listener.fd() >= 0 && AddressOf(made, madeAddress) &&
                   ::bind(listener.fd(), reinterpret_cast<const sockaddr*>(&madeAddress), sizeof madeAddress) == 0 &&
                   ::listen(listener.fd(), 50) == 0 && ::chmod(made.constData(), S_IRWXU) == 0 &&
                   ::rename(made.constData(), file.constData()) == 0;
  ::unlink(made.constData());
  ::rmdir(folder.constData());
  struct stat placed {};
  if (listening && ::stat(file.constData(), &placed) != 0) {
    ::unlink(file.constData());
    listening = false;
  }
  if (!listening) return false;

  listener_ = listener.Release();
  socketFile_ = file;
  socketDevice_ = placed.st_dev;
  socketInode_ = placed.st_ino;
  accepting_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
  connect(accepting_, &QSocketNotifier::activated, this, &InstanceGuard::Accept);
  return true;
}

void InstanceGuard::StopListening() {
  if (listener_ < 0) return;
  accepting_->setEnabled(false);
  delete accepting_;
  accepting_ = nullptr;
  ::close(listener_);
  listener_ = -1;
  // The file goes only while it is still ours: a later window may have put its own there.
  struct stat placed {};
  if (::stat(socketFile_.constData(), &placed) == 0 && placed.st_dev == socketDevice_ && placed.st_ino == socketInode_)
    ::unlink(socketFile_.constData());
  socketFile_.clear();
}

bool InstanceGuard::AskHolder(const QString& file) const {
  sockaddr_un address{};
  if (!AddressOf(SocketFile(serverName_), address)) return false;
  const Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (socket.fd() < 0 || !ConnectTo(socket.fd(), address, kConnectMs) || !PeerIsThisUser(socket.fd())) return false;
  QByteArray request;
  if (!file.isEmpty()) request += kOpen + file.toUtf8().replace('\n', "") + '\n';
  request += kActivate + qgetenv("XDG_ACTIVATION_TOKEN").replace('\n', "") + '\n';
  QElapsedTimer clock;
  clock.start();
  if (!SendAll(socket.fd(), request, clock, kAnswerMs)) return false;
  clock.start();
  return ReceiveLine(socket.fd(), clock, kAnswerMs) == kDone;
}

void InstanceGuard::Accept() {
  for (;;) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EAGAIN) {
        // Out of file descriptors, say: try again in a while rather than at once and forever.
        accepting_->setEnabled(false);
        acceptAgain_.start();
      }
      return;
    }
    if (!PeerIsThisUser(fd)) {
      ::close(fd);
      continue;
    }
    auto& connection = connections_.emplace_back(std::make_unique<Connection>());
    Connection* c = connection.get();
    c->fd = fd;
    c->reading = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    c->writing = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    c->writing->setEnabled(false);
    connect(c->reading, &QSocketNotifier::activated, this, [this, c] { Read(c); });
    connect(c->writing, &QSocketNotifier::activated, this, [this, c] { Write(c); });
  }
}

void InstanceGuard::Read(Connection* c) {
  QList<QByteArray> lines;
  bool ended = false;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::recv(c->fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {  // the other start hung up (a line it did not end is dropped), or the socket failed
      ended = true;
      break;
    }
    c->received.append(chunk, n);
    qsizetype end = c->received.indexOf('\n');
    while (end >= 0) {
      lines << c->received.left(end + 1);
      c->received.remove(0, end + 1);
      end = c->received.indexOf('\n');
    }
    if (c->received.size() > kLongestLine) {  // not one of ours: cut it off after its whole lines
      ended = true;
      break;
    }
  }

  // The window may open a dialog on a request, and with it an event loop:
  // meanwhile this connection waits, and it may be gone when the dialog closes.
  c->reading->setEnabled(false);
  for (const QByteArray& line : std::as_const(lines)) {
    if (line.startsWith(kOpen)) {
      const QString path = QString::fromUtf8(line.mid(sizeof kOpen - 1)).chopped(1);
      if (!path.isEmpty()) emit openRequested(path);
    } else if (line.startsWith(kActivate)) {
      emit activationRequested(QString::fromUtf8(line.mid(sizeof kActivate - 1).trimmed()));
      if (!Has(c)) return;
      c->answer += kDone;
    }
    if (!Has(c)) return;
  }
  if (ended) {
    Write(c);  // what it can still take
    if (Has(c)) Drop(c);
    return;
  }
  c->reading->setEnabled(true);
  Write(c);
}

void InstanceGuard::Write(Connection* c) {
  while (!c->answer.isEmpty()) {
    const ssize_t n =
        ::send(c->fd, c->answer.constData(), static_cast<size_t>(c->answer.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      Drop(c);
      return;
    }
    c->answer.remove(0, n);
  }
  c->writing->setEnabled(!c->answer.isEmpty());
}

void InstanceGuard::Drop(Connection* c) {
  const auto found =
      std::find_if(connections_.begin(), connections_.end(), [c](const auto& each) { return each.get() == c; });
  if (found == connections_.end()) return;
  // The notifiers may be the ones that called: they go when control is back in the event loop.
  for (QSocketNotifier* notifier : {c->reading, c->writing}) {
    notifier->setEnabled(false);
    notifier->disconnect(this);
    notifier->deleteLater();
  }
  ::close(c->fd);
  connections_.erase(found);
}

bool InstanceGuard::Has(const Connection* c) const {
  return std::any_of(connections_.begin(), connections_.end(), [c](const auto& each) { return each.get() == c; });
}

}  // namespace suusiki
