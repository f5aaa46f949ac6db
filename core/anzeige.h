#pragma once
// Whether the program can open its windows at all: Qt's desktop platforms (xcb, wayland) need a
// display, and without one Qt ends the process with an English abort before any window exists.
#include <QStringList>
#include <QtGlobal>

namespace anzeige {

// The German message for a start without a display, or "" when the chosen platform has what it
// needs. args: the whole command line (a "-platform name" there wins over QT_QPA_PLATFORM).
QString fehlt(const QStringList &args);

// The German message when the platform could not start although a display variable is set (the
// display it names is not reachable), naming the variables' values.
QString nichtErreichbar();
// The German message when Qt could not find or load the platform module itself (a misspelt
// platform name, a library the module needs missing) although the display may be there.
QString modulFehlt();
// The German message when a Wayland session without X11 (WAYLAND_DISPLAY set, DISPLAY empty) cannot
// start because Qt's Wayland module is not installed: what to install and what to set.
QString waylandFehlt();

// Lives while the application is being made: Qt's fatal end of a platform that cannot start
// becomes the German message (nichtErreichbar, modulFehlt when Qt named only the module as the
// fault, waylandFehlt in a Wayland session without X11 whose Wayland display Qt never tried) and
// exit code 2; other messages go on as before.
class PlattformWaechter {
public:
    PlattformWaechter();
    ~PlattformWaechter();
    PlattformWaechter(const PlattformWaechter &) = delete;
    PlattformWaechter &operator=(const PlattformWaechter &) = delete;
    // The handler it installs (tests).
    static void meldung(QtMsgType type, const QMessageLogContext &kontext, const QString &text);
};

} // namespace anzeige
