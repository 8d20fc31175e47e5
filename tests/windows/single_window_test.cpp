// SPDX-License-Identifier: GPL-3.0-or-later
// One running window per variable file: a second start brings the first one
// forward and leaves the file alone; a window that died blocks nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
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

  // The socket is where Qt's local server, which earlier versions used, keeps
  // one of that name, for this user only. Connections that are not a later
  // start's are cut off or left waiting, and the next start is answered all the same.
  const QString socketFile = QDir::tempPath() + QLatin1Char('/') + InstanceServerName(path);
  EXPECT_EQ(QFileInfo(socketFile).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                    QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
            QFile::Permissions());
  const struct {
    const char* who;
    QByteArray sends;
    bool hangsUp, cutOff;
    QByteArray answer;
    int requests;
  } connections[] = {
      {"a line too long", QByteArray(5000, 'x'), false, true, "", 0},
      {"one that says nothing", "", false, false, "", 0},
      {"one that goes in the middle of a line", "activate kde", true, true, "", 0},
      {"an earlier version's start", "activate \n", false, false, "ok\n", 1},
  };
  for (const auto& c : connections) {
    const int before = requests;
    QLocalSocket socket;
    socket.connectToServer(InstanceServerName(path));
    ASSERT_TRUE(QTest::qWaitFor([&] { return socket.state() == QLocalSocket::ConnectedState; })) << c.who;
    socket.write(c.sends);
    if (c.hangsUp) socket.disconnectFromServer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket.bytesAvailable() >= c.answer.size(); })) << c.who;
    EXPECT_EQ(socket.readAll(), c.answer) << c.who;
    EXPECT_TRUE(!c.cutOff || QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }))
        << c.who;
    EXPECT_EQ(ClaimFromAnotherStart(path), Outcome::HandedOver) << c.who;
    EXPECT_EQ(socket.state() == QLocalSocket::ConnectedState, !c.cutOff) << c.who;
    EXPECT_EQ(requests - before, c.requests + 1) << c.who;
  }

  // The socket goes with its window, but not a file that has taken its place.
  for (const bool replaced : {false, true}) {
    auto later = std::make_unique<InstanceGuard>(dir.filePath(QStringLiteral("later.0DT")));
    ASSERT_EQ(later->Claim(), Outcome::First);
    const QString laterSocket = QDir::tempPath() + QLatin1Char('/') + InstanceServerName(later->path());
    ASSERT_TRUE(QFile::exists(laterSocket));
    ASSERT_TRUE(!replaced || (QFile::remove(laterSocket) && QFile(laterSocket).open(QIODevice::WriteOnly)));
    later.reset();
    EXPECT_EQ(QFile::exists(laterSocket), replaced);
    QFile::remove(laterSocket);
  }
}

TEST(InstanceGuardTest, AStartReachesTheWindowOfAnEarlierVersion) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  storage::TableLock held(path);
  ASSERT_EQ(held.TryAcquire(), storage::TableLock::Outcome::Acquired);
  QLocalServer earlier;
  earlier.setSocketOptions(QLocalServer::UserAccessOption);
  ASSERT_TRUE(earlier.listen(InstanceServerName(path)));
  QByteArray asked;
  QObject::connect(&earlier, &QLocalServer::newConnection, [&] {
    QLocalSocket* socket = earlier.nextPendingConnection();
    QObject::connect(socket, &QLocalSocket::readyRead, [&asked, socket] {
      asked += socket->readAll();
      if (asked.endsWith("activate \n")) socket->write("ok\n");
    });
  });
  qunsetenv("XDG_ACTIVATION_TOKEN");
  EXPECT_EQ(ClaimFromAnotherStart(path, QStringLiteral("/tmp/数式 1.0DT")), Outcome::HandedOver);
  EXPECT_EQ(asked, QByteArray("open /tmp/数式 1.0DT\nactivate \n"));
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

  // Nor can a window be reached whose socket could not be made (the temporary
  // folder's name is too long for a socket's), but it starts all the same.
  QTemporaryDir deepDir;
  const QString deep = deepDir.filePath(QString(120, QLatin1Char('d')));
  ASSERT_TRUE(QDir().mkpath(deep));
  const QByteArray tmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(deep));
  const QString other = dir.filePath(QStringLiteral("other.0DT"));
  InstanceGuard window(other);
  EXPECT_EQ(window.Claim({}, 300ms), Outcome::First);
  EXPECT_EQ(InstanceGuard(other).Claim({}, 300ms), Outcome::Unreachable);
  tmp.isEmpty() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
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
    // The socket of a window killed at the end goes with the folder.
    environment.insert(QStringLiteral("TMPDIR"), dir.path());
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
