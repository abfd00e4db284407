// One running tool per user and display: a local socket named from the main
// window's title. A second start asks the first to raise itself and ends.
// UI thread only.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tvx {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &title, QObject *parent = nullptr);

    // True if another instance answered and was asked to raise itself; the
    // caller then ends. Otherwise this instance starts listening.
    bool RaiseRunningInstance();

    // The socket name for title, per user and display.
    static QString ServerName(const QString &title);

signals:
    // A later start asked this instance to come to the front.
    void RaiseRequested();

private:
    QString name_;
    QLocalServer *server_ = nullptr;
};

}  // namespace tvx
