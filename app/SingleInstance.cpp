#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace tvx {

namespace {
constexpr int kConnectTimeoutMs = 500;
// How long a later start waits for the lock's holder to listen: it may have
// started a moment before and still be setting up.
constexpr int kRaiseWaitMs = 5000;
constexpr int kRetryMs = 20;
const QByteArray kRaiseMessage = QByteArrayLiteral("raise\n");
}  // namespace

SingleInstance::SingleInstance(const QString &title, QObject *parent) : QObject(parent), name_(ServerName(title)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName(const QString &title)
{
    QByteArray key = title.toUtf8();
    key += '\n' + QByteArray::number(static_cast<qulonglong>(getuid()));
    key += '\n' + qgetenv("WAYLAND_DISPLAY") + '\n' + qgetenv("DISPLAY");
    return QStringLiteral("tvxmonitor-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

QString SingleInstance::LockPath(const QString &serverName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(serverName + QStringLiteral(".lock"));
}

bool SingleInstance::RaiseRunningInstance()
{
    lock_ = std::make_unique<QLockFile>(LockPath(name_));
    // Held for the instance's whole life: it goes stale only when its holder
    // is gone, never by age.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        // The one instance. A socket still there was left by one that died.
        QLocalServer::removeServer(name_);
        Listen();
        return false;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        AskToRaise(kRaiseWaitMs);
        return true;
    }
    // No lock can be taken here (no writable runtime directory): the socket
    // alone decides, and one that nobody answers is taken over.
    lock_.reset();
    if (AskToRaise(0))
        return true;
    QLocalServer::removeServer(name_);
    Listen();
    return false;
}

bool SingleInstance::AskToRaise(int waitMs) const
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write(kRaiseMessage);
            socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            return true;
        }
        if (timer.elapsed() >= waitMs)
            return false;
        QThread::msleep(kRetryMs);
    }
}

void SingleInstance::Listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(name_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit RaiseRequested();
        }
    });
}

}  // namespace tvx
