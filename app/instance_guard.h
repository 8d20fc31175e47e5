// SPDX-License-Identifier: GPL-3.0-or-later
// One running window per variable file. The first window started for an
// auto-save file holds its lock and listens on a local socket named after the
// file and the user; a window started later for the same file asks that one to
// come to the front and ends without touching the file.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

#include "storage/table_lock.h"

class QSocketNotifier;

namespace suusiki {

// The local socket's name for the auto-save file at `path`: the same for every
// start of the program by this user for that file, whatever path it was given as.
// The socket is the file of that name in the temporary folder (QDir::tempPath()),
// where the windows of earlier versions, which used Qt's local server, keep it too.
QString InstanceServerName(const QString& path);

class InstanceGuard : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    First,        // this process holds the file: go on and show the window
    HandedOver,   // the running window was asked to come to the front: end quietly
    Unreachable,  // another process holds the file and does not answer: tell the user, then end
    Unlocked,     // no lock can be made beside the file (a read-only folder): go on without one
  };

  explicit InstanceGuard(QString autoSavePath, QObject* parent = nullptr);
  ~InstanceGuard() override;

  // Takes the lock, or reaches the holder. The holder may be starting itself,
  // so it is asked again for up to `patience` before it counts as unreachable.
  // `file`, when not empty, is a variable file the holder is asked to open.
  Outcome Claim(const QString& file = {}, std::chrono::milliseconds patience = std::chrono::milliseconds(3000));

  const QString& path() const { return path_; }
  // The process that holds the file, after a claim that found one.
  storage::TableLock::Holder holder() const { return lock_.holder(); }

 signals:
  // Another start for the same file asked this window to come to the front.
  // `token` is the activation token the desktop gave that start (Wayland's
  // XDG_ACTIVATION_TOKEN), empty when it had none: with it the desktop lets
  // this window take the focus.
  void activationRequested(const QString& token);
  // Another start asked this window to open the variable file at `path`.
  void openRequested(const QString& path);

 private:
  struct Connection;

  bool Listen();
  void StopListening();
  bool AskHolder(const QString& file) const;
  void Accept();
  void Read(Connection* connection);
  void Write(Connection* connection);
  void Drop(Connection* connection);
  bool Has(const Connection* connection) const;

  QString path_;
  QString serverName_;
  storage::TableLock lock_;
  // The listening socket, its file and that file's identity (so that only our
  // own file is removed at the end), and the connections being answered.
  int listener_ = -1;
  QByteArray socketFile_;
  unsigned long long socketDevice_ = 0, socketInode_ = 0;
  QSocketNotifier* accepting_ = nullptr;
  QTimer acceptAgain_;  // after accepting failed for want of descriptors, say
  std::vector<std::unique_ptr<Connection>> connections_;
};

// The message shown when the holder of the file can't be reached.
QString UnreachableMessage(const QString& path, const storage::TableLock::Holder& holder);

}  // namespace suusiki
