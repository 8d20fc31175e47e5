// SPDX-License-Identifier: GPL-3.0-or-later
// The lock that keeps one writer per variable file: taken, refused while held,
// taken over from a process that died.
#include "storage/table_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <QFile>
#include <QTemporaryDir>
#include <ctime>

namespace suusiki::storage {
namespace {

using Outcome = TableLock::Outcome;

TEST(TableLockTest, OneHolderAtATime) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  EXPECT_EQ(LockPathFor(path), path + QStringLiteral(".lock"));

  TableLock first(path);
  TableLock second(path);
  EXPECT_EQ(first.TryAcquire(), Outcome::Acquired);
  EXPECT_TRUE(first.held());
  EXPECT_TRUE(QFile::exists(LockPathFor(path)));
  EXPECT_EQ(first.TryAcquire(), Outcome::Acquired) << "taking it again changes nothing";
  EXPECT_EQ(second.TryAcquire(), Outcome::HeldByOther);
  EXPECT_FALSE(second.held());
  EXPECT_EQ(second.holder().pid, ::getpid());
  // A live holder keeps it however long it has held it, also on a file system
  // without native locks, where only the lock file tells of the holder.
  {
    QFile file(LockPathFor(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray holderInfo = file.readAll();
    TableLock nativeless(dir.filePath(QStringLiteral("nativeless.0DT")));
    QFile copy(LockPathFor(dir.filePath(QStringLiteral("nativeless.0DT"))));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(holderInfo);
    copy.close();
    const utimbuf anHourAgo{::time(nullptr) - 3600, ::time(nullptr) - 3600};
    ASSERT_EQ(::utime(QFile::encodeName(copy.fileName()).constData(), &anHourAgo), 0);
    EXPECT_EQ(nativeless.TryAcquire(), Outcome::HeldByOther) << holderInfo.toStdString();
  }

  // Another file is another lock.
  TableLock other(dir.filePath(QStringLiteral("other.0DT")));
  EXPECT_EQ(other.TryAcquire(), Outcome::Acquired);

  first.Release();
  EXPECT_FALSE(QFile::exists(LockPathFor(path)));
  EXPECT_EQ(second.TryAcquire(), Outcome::Acquired);
}

TEST(TableLockTest, ALockNobodyCanMakeIsUnavailable) {
  QTemporaryDir dir;
  TableLock lock(dir.filePath(QStringLiteral("no such folder/DATT.0DT")));
  EXPECT_EQ(lock.TryAcquire(), Outcome::Unavailable);
  EXPECT_FALSE(lock.held());
}

TEST(TableLockTest, ALockLeftByAKilledProcessIsTakenOverAtOnce) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TableLock lock(path);
    const char held = lock.TryAcquire() == Outcome::Acquired ? 'y' : 'n';
    (void)!::write(ready[1], &held, 1);
    for (;;) ::pause();
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ::close(ready[0]);
  ::close(ready[1]);
  ASSERT_EQ(held, 'y');

  TableLock lock(path);
  EXPECT_EQ(lock.TryAcquire(), Outcome::HeldByOther) << "the holder is alive";
  EXPECT_EQ(lock.holder().pid, child);

  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(QFile::exists(LockPathFor(path))) << "a killed holder leaves its lock file behind";
  EXPECT_EQ(lock.TryAcquire(), Outcome::Acquired);
}

}  // namespace
}  // namespace suusiki::storage
