// Event flow: single-line device events fired from the library's thread as
// fast as it can, carried by OnDeviceEvent and the relay into the event log.
// With PAUSES, a dial string of that many pauses, each made to hold the UI
// thread for its second, stalls the UI thread as long while the flood comes. Prints events per second, whether the
// top line is the last event sent, and the resident memory when idle and at
// its peak.
//   bench_event_flow [EVENTS] [PAUSES]   (default 500000 0; the check: 2000000 10)
#include "app/CControlMonitorDlg.h"
#include "log/EventLog.h"
#include "tests/stub/StubLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <thread>
#include <utility>

namespace {

// The resident memory now, in MiB.
double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char **argv)
{
    const uint64_t events = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 500000;
    const int pauses = argc > 2 ? std::atoi(argv[2]) : 0;
    QApplication app(argc, argv);
    CControlMonitorDlg::Seams seams;
    seams.dialPause = [](int milliseconds, const std::function<void()> &resume) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        resume();
    };
    CControlMonitorDlg dialog(nullptr, std::move(seams));
    const QString last = QStringLiteral("Event 100 (%1)").arg(events - 1);
    QCoreApplication::processEvents();
    const double idle = ResidentMiB();

    QElapsedTimer timer;
    timer.start();
    stub::StartEventStream([](uint64_t n) { return stub::Event{100, static_cast<int32_t>(n), {}, 0}; }, events, false);
    if (pauses > 0) {
        // The dial string holds the UI thread one second per pause.
        dialog.findChild<QLineEdit *>(QStringLiteral("1047"))->setText(QString(pauses, QLatin1Char(',')));
        dialog.findChild<QPushButton *>(QStringLiteral("1067"))->click();
    }
    const double stalled = timer.nsecsElapsed() / 1e9;
    const uint64_t firedInStall = stub::EventsFired();
    while (dialog.Log().Count() == 0 || dialog.Log().Line(0) != last)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = timer.nsecsElapsed() / 1e9;
    stub::StopEventStream();

    std::printf("%llu events in %.3f s (%.0f events/s into the log); UI thread blocked %.3f s, %llu events fired "
                "meanwhile\n",
                static_cast<unsigned long long>(events),
                seconds,
                events / seconds,
                stalled,
                static_cast<unsigned long long>(firedInStall));
    std::printf("top line is the last event sent: %s; log holds %d lines\n",
                dialog.Log().Line(0) == last ? "yes" : "no",
                dialog.Log().Count());
    std::printf("resident memory: idle %.1f MiB, peak %.1f MiB (%.2f x idle), now %.1f MiB\n",
                idle,
                PeakMiB(),
                PeakMiB() / idle,
                ResidentMiB());
    return dialog.Log().Line(0) == last ? 0 : 1;
}
