// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/table_lock.h"

namespace suusiki::storage {

QString LockPathFor(const QString& path) { return path + QStringLiteral(".lock"); }

TableLock::TableLock(const QString& path) : lock_(std::make_unique<QLockFile>(LockPathFor(path))) {
  // Held for as long as the program runs: only a dead holder makes it stale,
  // never its age.
  lock_->setStaleLockTime(0);
}

TableLock::~TableLock() = default;

TableLock::Outcome TableLock::TryAcquire() {
  if (lock_->isLocked()) return Outcome::Acquired;
  if (lock_->tryLock(0)) return Outcome::Acquired;
  return lock_->error() == QLockFile::LockFailedError ? Outcome::HeldByOther : Outcome::Unavailable;
}

bool TableLock::held() const { return lock_->isLocked(); }

void TableLock::Release() { lock_->unlock(); }

TableLock::Holder TableLock::holder() const {
  Holder holder;
  qint64 pid = 0;
  QString host;
  if (lock_->getLockInfo(&pid, &host, &holder.program)) holder.pid = pid;
  return holder;
}

}  // namespace suusiki::storage
