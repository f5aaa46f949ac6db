#pragma once
// Whether the program can open its windows at all: Qt's desktop platforms (xcb, wayland) need a
// display, and without one Qt ends the process with an English abort before any window exists.
#include <QStringList>

namespace anzeige {

// The German message for a start without a display, or "" when the chosen platform has what it
// needs. args: the whole command line (a "-platform name" there wins over QT_QPA_PLATFORM).
QString fehlt(const QStringList &args);

} // namespace anzeige
