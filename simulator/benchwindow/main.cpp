// tvxsim-panel: the bench window of the simulated adapter.
#include <QApplication>

#include <cstdio>

#include "simulator/benchwindow/BenchWindow.h"
#include "simulator/benchwindow/CommandLine.h"
#include "simulator/control/ControlPath.h"

int main(int argc, char **argv)
{
    tvxsim::bench::NameTheApplication();
    // The command line first: help, version and a bad option need no
    // display, and a GUI application ends without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const tvxsim::bench::CommandLineAnswer answer = tvxsim::bench::ReadCommandLine(arguments);
    if (!answer.openWindow) {
        std::fputs(answer.out.toLocal8Bit().constData(), stdout);
        std::fputs(answer.err.toLocal8Bit().constData(), stderr);
        return answer.exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Parlino bench"));
    QApplication::setDesktopFileName(QStringLiteral("com.telvora.tvxsim-panel"));
    tvxsim::bench::BenchWindow window(QString::fromStdString(tvxsim::ControlSocketPath()));
    window.show();
    return app.exec();
}
