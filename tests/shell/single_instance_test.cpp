// One copy per user: a second start raises the first and ends; two copies started together never
// both run; a stale lock does not block; the socket answers only the raise request; SIGTERM,
// SIGINT and SIGHUP end a starting or running copy as its close button does.
#include "shell/single_instance.h"
#include "tests/support/wait_until.h"

#include <QDeadlineTimer>
#include <QFileSystemWatcher>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>
#include <utility>

using namespace qlor;

namespace {

// Environment of a qlor started by the tests: its own runtime, settings and working folders.
QProcessEnvironment QlorEnvironment(const QString& runtime, const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// Waits until `path` exists, woken by its folder's change notices; false after timeoutMs [ms].
bool WaitForFile(const QString& path, int timeoutMs) {
    QFileSystemWatcher watcher({QFileInfo(path).path()});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(path)) {
        if (deadline.hasExpired())
            return false;
        changed.wait(static_cast<int>(deadline.remainingTime()));
    }
    return true;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> runtime;
    std::unique_ptr<QTemporaryDir> home;

    std::unique_ptr<QProcess> StartQlor() {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(QlorEnvironment(runtime->path(), home->path()));
        p->setWorkingDirectory(home->path());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(QLOR_BINARY), {});
        return p;
    }

private slots:
    void init() {
        runtime = std::make_unique<QTemporaryDir>();
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(runtime->isValid() && home->isValid());
        QFile::setPermissions(runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void cleanup() {
        home.reset();
        runtime.reset();
    }

    void firstStartTakesTheLockAndListens() {
        SingleInstance first(runtime->path());
        QCOMPARE(first.Start(1000), SingleInstance::Outcome::First);
        QVERIFY(first.Listening());
        QVERIFY(QFileInfo::exists(first.LockPath()));
        // Only the owner may use the socket.
        QVERIFY(!(QFileInfo(first.SocketPath()).permissions() & (QFile::WriteOther | QFile::WriteGroup)));
    }

    void secondProcessRaisesTheFirstAndEnds() {
        SingleInstance first(runtime->path());
        QCOMPARE(first.Start(1000), SingleInstance::Outcome::First);
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        auto second = StartQlor();
        QVERIFY(second->waitForStarted(5000));
        QVERIFY(test::WaitUntil([&] { return second->state() == QProcess::NotRunning; }, 15000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(raised.count(), 1);
    }

    void terminationSignalsEndTheProgramLikeItsCloseButton_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("windowShown");
        // Right after the lock appears the window is still being built: the signal must not
        // kill the program there either.
        for (const bool shown : {false, true}) {
            for (const auto& [name, signal] :
                 {std::pair{"SIGTERM", SIGTERM}, std::pair{"SIGINT", SIGINT}, std::pair{"SIGHUP", SIGHUP}}) {
                const QByteArray row = QByteArray(name) + (shown ? " to the shown window" : " right after the lock");
                QTest::newRow(row.constData()) << int(signal) << shown;
            }
        }
    }
    void terminationSignalsEndTheProgramLikeItsCloseButton() {
        QFETCH(int, signal);
        QFETCH(bool, windowShown);
        const SingleInstance probe(runtime->path());
        auto qlor = StartQlor();
        QVERIFY(qlor->waitForStarted(5000));
        QVERIFY(WaitForFile(probe.LockPath(), 15000));
        // The raise request is answered by the running event loop, so after the window is shown;
        // the socket begins to listen a moment after the lock is taken.
        if (windowShown)
            QVERIFY(QTest::qWaitFor([&] { return ActivateRunningInstance(probe.SocketPath(), 5000); }, 15000));
        // A program that has already ended has no process id: kill(0) would signal this test's
        // own process group.
        const auto pid = static_cast<pid_t>(qlor->processId());
        QVERIFY(pid > 0);
        ::kill(pid, signal);
        QVERIFY(test::WaitUntil([&] { return qlor->state() == QProcess::NotRunning; }, 15000));
        QCOMPARE(qlor->exitStatus(), QProcess::NormalExit); // not killed by the signal
        QCOMPARE(qlor->exitCode(), 0);
        // The closing steps ran: the settings were written (once there was a window to close),
        // no temporary MIDI file stays behind, the lock is released.
        if (windowShown)
            QVERIFY(QFileInfo::exists(home->path() + QStringLiteral("/config/Tavel/QLOR.conf")));
        QVERIFY(!QFileInfo::exists(home->path() + QStringLiteral("/temp.mid")));
        SingleInstance next(runtime->path());
        QCOMPARE(next.Start(1000), SingleInstance::Outcome::First);
    }

    void secondInstanceInTheSameProcessIsTurnedAway() {
        SingleInstance first(runtime->path());
        QCOMPARE(first.Start(1000), SingleInstance::Outcome::First);
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        // The answer needs the first one's event loop; a helper thread plays the second copy.
        std::atomic<int> outcome{-1};
        std::unique_ptr<QThread> t(QThread::create([&] {
            SingleInstance second(runtime->path());
            outcome = static_cast<int>(second.Start(5000));
        }));
        t->start();
        QVERIFY(QTest::qWaitFor([&] { return t->isFinished(); }, 10000));
        QCOMPARE(outcome.load(), static_cast<int>(SingleInstance::Outcome::RaisedOther));
        QCOMPARE(raised.count(), 1);
    }

    void twoCopiesStartedTogetherNeverBothRun() {
        for (int round = 0; round < 3; ++round) {
            auto a = StartQlor();
            auto b = StartQlor();
            QVERIFY(a->waitForStarted(5000) && b->waitForStarted(5000));
            // One of them ends at once with 0, the other keeps running with its window.
            QVERIFY(test::WaitUntil(
                [&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; }, 20000));
            QProcess* ended = a->state() == QProcess::NotRunning ? a.get() : b.get();
            QProcess* running = ended == a.get() ? b.get() : a.get();
            QCOMPARE(ended->exitCode(), 0);
            QCOMPARE(running->state(), QProcess::Running);
            // A third start still finds the running one.
            auto c = StartQlor();
            QVERIFY(c->waitForFinished(15000));
            QCOMPARE(c->exitCode(), 0);
            running->kill(); // a crash: the lock stays behind
            QVERIFY(running->waitForFinished(5000));
        }
    }

    void staleLockDoesNotBlock_data() {
        QTest::addColumn<QByteArray>("contents");
        // A lock file left by a process that is gone, and ones a crash or a full disk left empty
        // or garbled: none has a live owner.
        QProcess gone;
        gone.start(QStringLiteral("/bin/true"), {});
        QVERIFY(gone.waitForFinished(5000));
        const qint64 deadPid = gone.processId() > 0 ? gone.processId() : 999999;
        QTest::newRow("crashed copy") << QByteArray::number(deadPid) + "\nqlor\n" +
                                             QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbled") << QByteArray("\x01\xffnot a lock\n");
    }
    void staleLockDoesNotBlock() {
        QFETCH(QByteArray, contents);
        {
            SingleInstance probe(runtime->path());
            QFile lock(probe.LockPath());
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(contents);
            lock.close();
            // Written a while ago, not by a copy that is starting right now.
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
        // And a socket file nobody listens on.
        QFile socketFile(QDir(runtime->path()).filePath(QStringLiteral("QLOR-2000")));
        QVERIFY(socketFile.open(QIODevice::WriteOnly));
        socketFile.close();
        SingleInstance next(runtime->path());
        QElapsedTimer t;
        t.start();
        QCOMPARE(next.Start(5000), SingleInstance::Outcome::First);
        QVERIFY(t.elapsed() < 3000);
        QVERIFY(next.Listening());
    }

    void runtimeFolderOfOthersIsNotUsed() {
        // A runtime folder others can write to: the lock goes to a private folder of the user.
        QFile::setPermissions(runtime->path(), QFileDevice::Permissions(0x7777));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_RUNTIME_DIR", runtime->path().toUtf8());
        qputenv("XDG_CACHE_HOME", (home->path() + QStringLiteral("/cache")).toUtf8());
        SingleInstance guard;
        const SingleInstance::Outcome outcome = guard.Start(1000);
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("XDG_CACHE_HOME", savedCache);
        QCOMPARE(outcome, SingleInstance::Outcome::First);
        QVERIFY2(!guard.LockPath().startsWith(runtime->path()), qPrintable(guard.LockPath()));
        QCOMPARE(QFileInfo(QFileInfo(guard.LockPath()).path()).ownerId(), static_cast<uint>(geteuid()));
        QCOMPARE(QFileInfo(QFileInfo(guard.LockPath()).path()).permissions() & 0x0077, QFileDevice::Permissions());
    }

    void anythingButTheRequestIsIgnored() {
        SingleInstance first(runtime->path());
        QCOMPARE(first.Start(1000), SingleInstance::Outcome::First);
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray("QLOR-2000 raise\nmore"), QByteArray(200, 'x'),
                                       QByteArray("QLOR-2000 rais\n")}) {
            QLocalSocket s;
            s.connectToServer(first.SocketPath());
            QVERIFY(s.waitForConnected(2000));
            s.write(junk);
            QVERIFY(s.waitForBytesWritten(2000));
            QVERIFY(test::WaitUntil([&] { return s.state() == QLocalSocket::UnconnectedState; }));
            QVERIFY(s.readAll().isEmpty());
        }
        // A client that says nothing is dropped after a while (shortened here from seconds).
        constexpr int kSilenceMs = 50;
        first.SetConnectionTimeoutMs(kSilenceMs);
        QLocalSocket silent;
        QElapsedTimer sinceConnect;
        sinceConnect.start();
        silent.connectToServer(first.SocketPath());
        QVERIFY(silent.waitForConnected(2000));
        QVERIFY(test::WaitUntil([&] { return silent.state() == QLocalSocket::UnconnectedState; }, 8000));
        QVERIFY2(sinceConnect.elapsed() >= kSilenceMs, qPrintable(QString::number(sinceConnect.elapsed())));
        QCOMPARE(raised.count(), 0);
    }

    void nobodyListeningMeansNoRaise() {
        QElapsedTimer t;
        t.start();
        QVERIFY(!ActivateRunningInstance(QDir(runtime->path()).filePath(QStringLiteral("QLOR-2000")), 2000));
        QVERIFY(t.elapsed() < 1500);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
