// The bench window's end of the control socket: one connection that
// watches (state and events) and one that carries requests. Reconnects by
// itself while no adapter is there. UI thread only.
#pragma once

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

#include <vector>

namespace tvxsim::bench {

class BenchClient : public QObject {
    Q_OBJECT

public:
    // Connects to the socket at path, now and again every retryMs while not connected.
    explicit BenchClient(QString path, int retryMs = 500, QObject *parent = nullptr);

    const QString &Path() const { return path_; }
    // True once the watch has begun and the request socket is connected.
    bool IsConnected() const { return connected_; }

    // Sends one request line (without "\n"); its reply comes as replied().
    // False, with nothing sent, when no adapter is connected.
    bool Send(const QString &line);

signals:
    void connectedChanged(bool connected);
    // The watch has begun: the state and events that follow are those of
    // the device open now, its model time counted from its open.
    void watchStarted();
    // A state line of the watch.
    void stateReceived(const QString &name, const QString &value);
    // An event line of the watch, as the runner prints it.
    void eventReceived(const QString &line);
    // The adapter dropped this many watch lines that this window read too slowly.
    void linesDropped(quint64 count);
    // The reply to a request: ok, or the reason of an error.
    void replied(const QString &request, bool ok, const QString &reason);

private:
    void Connect();
    void Disconnect();
    void ReadWatch();
    void ReadReplies();
    void UpdateConnected();
    void OnSocketGone();
    // The complete lines the socket holds; a line longer than the limit is
    // dropped whole (skipping stays true until its end has come).
    QList<QByteArray> TakeLines(QLocalSocket *socket, bool &skipping);

    QString path_;              // the control socket
    QTimer retry_;              // the next connection attempt while not connected
    QLocalSocket *watch_;       // streams state and events after "watch"
    QLocalSocket *requests_;    // carries requests and their replies in order
    bool watching_ = false;     // the watch's "ok" has come
    bool connected_ = false;    // as last signalled
    bool closing_ = false;      // inside Disconnect(): the sockets' close signals are its own
    bool skipWatch_ = false;    // inside an over-long watch line
    bool skipReplies_ = false;  // inside an over-long reply line
    QQueue<QString> pending_;   // requests sent, oldest first, waiting for their replies
    std::vector<char> line_;    // the line being read: the longest taken, its '\n' and a '\0'
};

}  // namespace tvxsim::bench
