#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace tvx {

namespace {
constexpr int kConnectTimeoutMs = 500;
const QByteArray kRaiseMessage = QByteArrayLiteral("raise\n");
}  // namespace

SingleInstance::SingleInstance(const QString &title, QObject *parent) : QObject(parent), name_(ServerName(title)) {}

QString SingleInstance::ServerName(const QString &title)
{
    QByteArray key = title.toUtf8();
    key += '\n' + QByteArray::number(static_cast<qulonglong>(getuid()));
    key += '\n' + qgetenv("WAYLAND_DISPLAY") + '\n' + qgetenv("DISPLAY");
    return QStringLiteral("tvxmonitor-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

bool SingleInstance::RaiseRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        socket.write(kRaiseMessage);
        socket.waitForBytesWritten(kConnectTimeoutMs);
        socket.disconnectFromServer();
        return true;
    }

    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket left by a process that died: nobody answered it above.
        QLocalServer::removeServer(name_);
        server_->listen(name_);
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit RaiseRequested();
        }
    });
    return false;
}

}  // namespace tvx
