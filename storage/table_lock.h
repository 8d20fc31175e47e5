// SPDX-License-Identifier: GPL-3.0-or-later
// One writer per variable file. A window or a suusiki-calc run that writes a
// table after every change holds a lock beside the file for as long as it
// runs, so that two of them never overwrite each other's changes.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace suusiki::storage {

// The lock file that guards `path`: the same name with ".lock" after it.
QString LockPathFor(const QString& path);

class TableLock {
 public:
  enum class Outcome {
    Acquired,     // this process is now the file's only writer
    HeldByOther,  // another running process holds it
    Unavailable,  // no lock file can be made there (a read-only folder); nobody can write the file either
  };

  explicit TableLock(const QString& path);
  ~TableLock();
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;

  // Takes the lock without waiting. A lock left by a process that is gone
  // (killed, or before a restart of the machine) is taken over at once; a
  // live holder keeps it however long it has held it.
  Outcome TryAcquire();
  bool held() const;
  void Release();

  // The process that holds the lock, when it can be told: its id and program name.
  struct Holder {
    long long pid = 0;
    QString program;
  };
  Holder holder() const;

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace suusiki::storage
