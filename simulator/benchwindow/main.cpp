// tvxsim-panel: the bench window of the simulated adapter.
#include <QApplication>
#include <QCommandLineParser>

#include "simulator/benchwindow/BenchWindow.h"
#include "simulator/control/ControlPath.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tvxsim-panel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Parlino bench"));
    QApplication::setApplicationVersion(QStringLiteral(TVX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.telvora.tvxsim-panel"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The bench window of the simulated Parlino USB adapter: "
                                                     "the handset, the adapter and the far end at hand."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);

    tvxsim::bench::BenchWindow window(QString::fromStdString(tvxsim::ControlSocketPath()));
    window.show();
    return app.exec();
}
