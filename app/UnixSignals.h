// SIGTERM, SIGINT and SIGHUP end the main dialog as its close box would, so
// the device is closed properly when a session ends or a tester stops the
// tool from a terminal. UI thread only (the handler itself only writes a byte).
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tvx {

class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

signals:
    void TerminationRequested();

private:
    QSocketNotifier *notifier_ = nullptr;
};

}  // namespace tvx
