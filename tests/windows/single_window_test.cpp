// SPDX-License-Identifier: GPL-3.0-or-later
// One running window per variable file: a second start brings the first one
// forward and leaves the file alone; a window that died blocks nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "app/instance_guard.h"
#include "storage/table_lock.h"

namespace suusiki {
namespace {

using Outcome = InstanceGuard::Outcome;
using namespace std::chrono_literals;

// Claims `path` from another thread, as a second start would, while this
// thread's event loop lets the first guard answer.
Outcome ClaimFromAnotherStart(const QString& path, const QString& file = {}) {
  std::atomic<int> outcome{-1};
  std::thread start([&] {
    InstanceGuard guard(path);
    outcome = static_cast<int>(guard.Claim(file));
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return outcome != -1; }, 15000));
  start.join();
  return static_cast<Outcome>(outcome.load());
}

TEST(InstanceGuardTest, ASecondStartAsksTheFirstToComeForward) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  InstanceGuard first(path);
  int requests = 0;
  QString token = QStringLiteral("none yet");
  QObject::connect(&first, &InstanceGuard::activationRequested, [&](const QString& t) {
    ++requests;
    token = t;
  });
  ASSERT_EQ(first.Claim(), Outcome::First);

  qunsetenv("XDG_ACTIVATION_TOKEN");
  EXPECT_EQ(ClaimFromAnotherStart(path), Outcome::HandedOver);
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(token, QString());
  // The desktop's permission to take the focus goes along.
  qputenv("XDG_ACTIVATION_TOKEN", "kde-token 42");
  EXPECT_EQ(ClaimFromAnotherStart(path), Outcome::HandedOver);
  qunsetenv("XDG_ACTIVATION_TOKEN");
  EXPECT_EQ(requests, 2);
  EXPECT_EQ(token, QStringLiteral("kde-token 42"));
  EXPECT_EQ(ClaimFromAnotherStart(dir.filePath(QStringLiteral("./DATT.0DT"))), Outcome::HandedOver)
      << "the same file by another path";
  EXPECT_EQ(requests, 3);
  EXPECT_FALSE(QFile::exists(path)) << "the file is not touched";

  // A start that names a variable file has the running window open it.
  QStringList opened;
  QObject::connect(&first, &InstanceGuard::openRequested, [&](const QString& p) { opened << p; });
  const QString named = dir.filePath(QStringLiteral("数式 1.0DT"));
  EXPECT_EQ(ClaimFromAnotherStart(path, named), Outcome::HandedOver);
  EXPECT_EQ(opened, QStringList{named});
  EXPECT_EQ(requests, 4);

  // A program in another folder has a file of its own.
  QTemporaryDir otherDir;
  InstanceGuard other(otherDir.filePath(QStringLiteral("DATT.0DT")));
  EXPECT_EQ(other.Claim(), Outcome::First);
  EXPECT_NE(InstanceServerName(path), InstanceServerName(other.path()));
  EXPECT_EQ(requests, 4);
}

TEST(InstanceGuardTest, AHolderThatDoesNotAnswerIsUnreachable) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  storage::TableLock calcRun(path);  // e.g. suusiki-calc --autosave: no window to bring forward
  ASSERT_EQ(calcRun.TryAcquire(), storage::TableLock::Outcome::Acquired);
  QElapsedTimer waited;
  waited.start();
  InstanceGuard guard(path);
  EXPECT_EQ(guard.Claim({}, 300ms), Outcome::Unreachable);
  EXPECT_GE(waited.elapsed(), 300) << "a holder that is still starting gets time to answer";
  const QString message = UnreachableMessage(path, guard.holder());
  EXPECT_TRUE(message.contains(path)) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("プロセス番号 %1").arg(::getpid()))) << message.toStdString();

  // Once it has gone, the next start is the first.
  calcRun.Release();
  EXPECT_EQ(guard.Claim({}, 300ms), Outcome::First);
}

TEST(InstanceGuardTest, AFolderWithoutRoomForALockStartsUnlocked) {
  QTemporaryDir dir;
  InstanceGuard guard(dir.filePath(QStringLiteral("gone/DATT.0DT")));
  EXPECT_EQ(guard.Claim({}, 300ms), Outcome::Unlocked);
}

// The real program, copied into a folder of its own so that its DATT.0DT is
// that folder's, on the offscreen platform.
class WindowProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program = dir.filePath(QStringLiteral("suusiki"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SUUSIKI_WINDOW_PROGRAM), program));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    datt = dir.filePath(QStringLiteral("DATT.0DT"));
  }
  void TearDown() override {
    for (auto& p : started) {
      p->kill();
      p->waitForFinished();
    }
  }
  QProcess& Start() {
    auto& p = started.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(environment);
    p->start(program, {});
    EXPECT_TRUE(p->waitForStarted());
    return *p;
  }
  // Whether `process` holds DATT.0DT and has written it within the time, read
  // from the lock file without taking the lock.
  bool Holds(const QProcess& process, int waitMs = 10000) const {
    QElapsedTimer waited;
    waited.start();
    do {
      if (storage::TableLock(datt).holder().pid == process.processId() && QFile::exists(datt)) return true;
      QThread::msleep(20);
    } while (waited.elapsed() < waitMs);
    return false;
  }

  QTemporaryDir dir;
  QString program, datt;
  std::vector<std::unique_ptr<QProcess>> started;
};

TEST_F(WindowProgramTest, ASecondStartEndsAndLeavesTheFileAlone) {
  QProcess& first = Start();
  ASSERT_TRUE(Holds(first));
  QFile file(datt);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  const QDateTime modified = QFileInfo(datt).lastModified();

  QProcess& second = Start();
  ASSERT_TRUE(second.waitForFinished(15000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
  file.seek(0);
  EXPECT_EQ(file.readAll(), before);
  EXPECT_EQ(QFileInfo(datt).lastModified(), modified);

  // Nor may the command-line tool write the running window's file.
  QProcess tool;
  tool.start(QStringLiteral(SUUSIKI_CALC_PROGRAM), {QStringLiteral("--autosave"), datt, QStringLiteral("B=1")});
  ASSERT_TRUE(tool.waitForFinished(15000));
  EXPECT_EQ(tool.exitCode(), 2);
  EXPECT_EQ(QFileInfo(datt).lastModified(), modified);
}

TEST_F(WindowProgramTest, AKilledWindowDoesNotBlockTheNextStart) {
  QProcess& first = Start();
  ASSERT_TRUE(Holds(first));
  first.kill();  // SIGKILL: the lock file and the socket stay behind
  ASSERT_TRUE(first.waitForFinished());
  ASSERT_TRUE(QFile::exists(storage::LockPathFor(datt)));

  QElapsedTimer waited;
  waited.start();
  QProcess& next = Start();
  EXPECT_TRUE(Holds(next));
  // Well before a start would give up waiting for an answer from a live holder.
  EXPECT_LT(waited.elapsed(), 2500);
  EXPECT_EQ(next.state(), QProcess::Running);

  QProcess& third = Start();
  ASSERT_TRUE(third.waitForFinished(15000));
  EXPECT_EQ(third.exitCode(), 0) << "the new window answers on the socket the dead one left";
}

}  // namespace
}  // namespace suusiki
