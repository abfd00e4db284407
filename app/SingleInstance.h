// One running tool per user and display. The instance that starts first holds
// a lock file in the user's runtime directory for as long as it runs and
// listens on a local socket named from the main window's title; a later
// start, finding the lock held, asks it through the socket to raise itself
// and ends. Only the lock's holder ever listens, and the lock goes stale only
// when its holder is gone, so starts at the same moment leave exactly one
// instance, and a socket left by a killed instance is taken over.
// UI thread only.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace tvx {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &title, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True if another instance runs (it was asked to raise itself if it
    // answered in time); the caller then ends. Otherwise this instance holds
    // the lock and listens.
    bool RaiseRunningInstance();

    // The socket name for title, per user and display.
    static QString ServerName(const QString &title);
    // The lock file for a socket name: in the user's runtime directory.
    static QString LockPath(const QString &serverName);

signals:
    // A later start asked this instance to come to the front.
    void RaiseRequested();

private:
    // Asks the running instance to raise itself; waits up to waitMs for it
    // to listen. True if it was asked.
    bool AskToRaise(int waitMs) const;
    void Listen();

    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer *server_ = nullptr;
};

}  // namespace tvx
