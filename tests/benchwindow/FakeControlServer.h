// A stand-in for the simulated adapter's control socket, in the test's own
// process: it answers "watch" with "ok" and its state lines, streams state
// and events to the watchers, and answers each request with "ok" or the
// reply set for it. UI thread only.
#pragma once

#include <QHash>
#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QStringList>

namespace benchtest {

class FakeControlServer : public QObject {
    Q_OBJECT

public:
    explicit FakeControlServer(QString path, QObject *parent = nullptr);
    ~FakeControlServer() override;

    // Starts listening at the path (a socket file left there is removed first).
    bool Listen();
    // Closes every connection and stops listening, as the library does at close.
    void Close();

    // Sets a state line and sends it to every watcher.
    void SetState(const QString &name, const QString &value);
    // Sends an event line to every watcher.
    void SendEvent(const QString &line);
    // Sends bytes as they are (no line end added) to every watcher.
    void SendRaw(const QByteArray &bytes) { SendToWatchers(bytes); }
    // The reply to request (default "ok").
    void SetReply(const QString &request, const QString &reply) { replies_.insert(request, reply); }

    // Every request line received, oldest first (not "watch").
    const QStringList &Requests() const { return requests_; }
    int Watchers() const { return int(watchers_.size()); }

private:
    void Accept();
    void Read(QLocalSocket *client);
    void SendToWatchers(const QByteArray &line);

    QString path_;                          // where it listens
    QLocalServer server_;                   // the listening socket
    QList<QLocalSocket *> clients_;         // every connection
    QSet<QLocalSocket *> watchers_;         // those that sent "watch"
    QList<QPair<QString, QString>> state_;  // name, value in the order set first
    QHash<QString, QString> replies_;       // request -> reply other than "ok"
    QStringList requests_;                  // received so far
};

}  // namespace benchtest
