#include "tests/benchwindow/FakeControlServer.h"

namespace benchtest {

FakeControlServer::FakeControlServer(QString path, QObject *parent) : QObject(parent), path_(std::move(path))
{
    connect(&server_, &QLocalServer::newConnection, this, &FakeControlServer::Accept);
}

FakeControlServer::~FakeControlServer() { Close(); }

bool FakeControlServer::Listen()
{
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

void FakeControlServer::Close()
{
    server_.close();
    const QList<QLocalSocket *> clients = clients_;
    clients_.clear();
    watchers_.clear();
    for (QLocalSocket *client : clients) {
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }
}

void FakeControlServer::Accept()
{
    while (QLocalSocket *client = server_.nextPendingConnection()) {
        clients_.append(client);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { Read(client); });
        connect(client, &QLocalSocket::disconnected, this, [this, client] {
            clients_.removeAll(client);
            watchers_.remove(client);
            client->deleteLater();
        });
    }
}

void FakeControlServer::Read(QLocalSocket *client)
{
    while (client->canReadLine()) {
        const QString line = QString::fromUtf8(client->readLine()).chopped(1);
        if (watchers_.contains(client))
            continue;  // lines after "watch" are ignored
        if (line == QLatin1String("watch")) {
            watchers_.insert(client);
            QByteArray reply = "ok\n";
            for (const auto &[name, value] : state_)
                reply += "state " + name.toUtf8() + ' ' + value.toUtf8() + '\n';
            client->write(reply);
            continue;
        }
        requests_.append(line);
        client->write(replies_.value(line, QStringLiteral("ok")).toUtf8() + '\n');
    }
}

void FakeControlServer::SetState(const QString &name, const QString &value)
{
    bool found = false;
    for (auto &entry : state_) {
        if (entry.first == name) {
            entry.second = value;
            found = true;
        }
    }
    if (!found)
        state_.append({name, value});
    SendToWatchers("state " + name.toUtf8() + ' ' + value.toUtf8() + '\n');
}

void FakeControlServer::SendEvent(const QString &line) { SendToWatchers(line.toUtf8() + '\n'); }

void FakeControlServer::SendToWatchers(const QByteArray &line)
{
    for (QLocalSocket *watcher : std::as_const(watchers_))
        watcher->write(line);
}

}  // namespace benchtest
