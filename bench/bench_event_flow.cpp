// Event flow: single-line device events fired from the library's thread as
// fast as it can, carried by OnDeviceEvent and the relay into the event log.
// Prints events per second and the peak resident memory.
//   bench_event_flow [EVENTS]   (default 500000)
#include "app/CControlMonitorDlg.h"
#include "device/EventLog.h"
#include "tests/stub/StubLibrary.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    const uint64_t events = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 500000;
    QApplication app(argc, argv);
    CControlMonitorDlg dialog;
    const QString last = QStringLiteral("Event 100 (%1)").arg(events - 1);

    QElapsedTimer timer;
    timer.start();
    stub::StartEventStream([](uint64_t n) { return stub::Event{100, static_cast<int32_t>(n), {}, 0}; }, events, false);
    while (dialog.Log().Count() == 0 || dialog.Log().Line(0) != last)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = timer.nsecsElapsed() / 1e9;
    stub::StopEventStream();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%llu events in %.3f s: %.0f events/s into the log; log holds %d lines; peak RSS %.1f MiB\n",
                static_cast<unsigned long long>(events),
                seconds,
                events / seconds,
                dialog.Log().Count(),
                usage.ru_maxrss / 1024.0);
    return 0;
}
