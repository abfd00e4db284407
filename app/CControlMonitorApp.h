// The application object: starts once per user and display, then runs the
// main dialog modally.
#pragma once

#include <QApplication>

class CControlMonitorApp : public QApplication {
    Q_OBJECT
public:
    CControlMonitorApp(int &argc, char **argv);

    // Raises a running instance and returns, or runs the main dialog until it
    // ends. Returns false in every case: the process then ends.
    bool InitInstance();

    // The application's name. It sets no display name, so that every window,
    // the window manager's title included, is titled exactly as its template.
    static void SetIdentity(QGuiApplication &app);
};
