#include "shell/single_instance.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cstring>

#ifdef __linux__
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qlor {
namespace {

constexpr int kMaxRequestBytes = 64; // anything longer is not the request
constexpr int kRetryPauseMs = 50;    // [ms] between attempts while the other copy starts

// Only the user who runs this copy may ask it anything.
bool PeerIsSameUser(QLocalSocket* socket) {
#ifdef __linux__
    struct ucred cred {};
    socklen_t len = sizeof cred;
    const auto fd = static_cast<int>(socket->socketDescriptor());
    if (fd < 0 || getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == geteuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

// A lock file younger than this may belong to a copy that is creating it right now [ms].
constexpr qint64 kLockSettleMs = 1000;

// An empty or garbled lock file (a crash or a full disk while it was written) that no process
// holds: QLockFile can name no owner in it, so it would never count as stale by itself. A live
// owner keeps an exclusive flock on its lock file, which is what is probed here.
bool LockIsAbandoned(const QLockFile& lock, const QString& path) {
    qint64 pid = 0;
    QString host;
    QString app;
    if (lock.getLockInfo(&pid, &host, &app))
        return false; // readable: QLockFile judges it by its process
    const QFileInfo info(path);
    if (!info.isFile() || info.lastModified().msecsTo(QDateTime::currentDateTime()) < kLockSettleMs)
        return false;
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return unheld;
#else
    return false;
#endif
}

// The folder itself when only this user can change what is in it (created 0700 when missing),
// else empty: in a folder others can write to, another user could take or fake the lock and
// the socket, and the one-copy guard would be theirs.
QString PrivateFolder(const QString& folder) {
    if (folder.isEmpty())
        return {};
    if (!QFileInfo::exists(folder) &&
        (!QDir().mkpath(folder) ||
         !QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)))
        return {};
#ifdef __linux__
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
#endif
    return folder;
}

} // namespace

bool ActivateRunningInstance(const QString& socketPath, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    socket.write(kRaiseRequest, static_cast<qint64>(std::strlen(kRaiseRequest)));
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    QByteArray answer;
    const QByteArray expected(kRaiseAnswer);
    while (answer.size() < expected.size()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
        answer += socket.read(expected.size() - answer.size());
    }
    socket.disconnectFromServer();
    return answer == expected;
}

SingleInstance::SingleInstance(const QString& runtimeDir, QObject* parent) : QObject(parent), dir_(runtimeDir) {
    if (dir_.isEmpty()) {
        // The user's runtime folder; when that is not the user's own, a private folder in the
        // user's cache instead, so the guard never silently goes away.
        dir_ = PrivateFolder(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
        if (dir_.isEmpty())
            dir_ = PrivateFolder(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                 QStringLiteral("/qlor-runtime"));
    } else {
        dir_ = PrivateFolder(dir_);
    }
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Only a lock whose process is gone counts as stale, however old it is.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
}

QString SingleInstance::LockPath() const {
    return QDir(dir_).filePath(QString::fromLatin1(kInstanceName) + ".lock");
}
QString SingleInstance::SocketPath() const {
    return QDir(dir_).filePath(QString::fromLatin1(kInstanceName));
}
bool SingleInstance::Listening() const {
    return server_ && server_->isListening();
}

SingleInstance::Outcome SingleInstance::Start(int waitMs) {
    if (dir_.isEmpty() || !QDir().mkpath(dir_))
        return Outcome::FirstUnguarded;
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (lock_->tryLock(0)) {
            Listen();
            return Outcome::First;
        }
        if (lock_->error() != QLockFile::LockFailedError)
            return Outcome::FirstUnguarded; // the folder refuses the lock file: nothing to guard with
        if (LockIsAbandoned(*lock_, LockPath()) && lock_->removeStaleLockFile())
            continue;
        // Another copy holds the lock. It may still be starting up, so keep asking until it
        // answers, or until its lock is released and can be taken.
        const int remaining = static_cast<int>(deadline.remainingTime());
        if (ActivateRunningInstance(SocketPath(), std::min(remaining, 1000)))
            return Outcome::RaisedOther;
        if (deadline.hasExpired())
            return Outcome::OtherNotAnswering;
        QThread::msleep(kRetryPauseMs);
    }
}

void SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket file that is still there was left by a crashed copy.
    QLocalServer::removeServer(SocketPath());
    if (!server_->listen(SocketPath())) {
        qWarning("Cannot listen for raise requests on %s: %s", qPrintable(SocketPath()),
                 qPrintable(server_->errorString()));
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsSameUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        QTimer::singleShot(connectionTimeoutMs_, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        if (socket->bytesAvailable() > 0)
            OnReadable(socket);
    }
}

void SingleInstance::OnReadable(QLocalSocket* socket) {
    const QByteArray expected(kRaiseRequest);
    if (socket->bytesAvailable() < expected.size() && !socket->canReadLine() &&
        socket->bytesAvailable() < kMaxRequestBytes)
        return; // wait for the rest of the line
    const QByteArray request = socket->read(kMaxRequestBytes);
    if (request != expected) {
        socket->abort(); // anything but the request is ignored
        return;
    }
    emit raiseRequested();
    socket->write(kRaiseAnswer, static_cast<qint64>(std::strlen(kRaiseAnswer)));
    socket->flush();
    socket->disconnectFromServer();
}

} // namespace qlor
