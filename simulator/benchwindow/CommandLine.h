// tvxsim-panel's command line, read before anything needs a display:
// --help and --version print and end, an option it does not take ends with
// the reason, and Qt's own options (-platform, -geometry, -style, ...) are
// left for the application to take when the window opens.
#pragma once

#include <QString>
#include <QStringList>

namespace tvxsim::bench {

struct CommandLineAnswer {
    bool openWindow = false;  // nothing to print: the window opens
    int exitCode = 0;         // otherwise: the exit status
    QString out;              // for stdout (help, version)
    QString err;              // for stderr (what was wrong)
};

// Reads the arguments, the program's name first; needs no application.
CommandLineAnswer ReadCommandLine(const QStringList &arguments);

// The application's names and version, set before any application is made.
void NameTheApplication();

}  // namespace tvxsim::bench
