#pragma once
// The save dialog of the records windows: preset with a file name in a starting folder; a
// cancelled dialog gives the preset name back unchanged, so callers detect the cancel by comparing.
#include <QString>
#include <functional>

class QWidget;

namespace speichern {

// Answers the dialog instead of showing it (tests): start folder, preset file name, filter;
// returns the chosen full name, or the preset name when cancelled.
using Antwort = std::function<QString(const QString &startOrdner, const QString &dateiname, const QString &filter)>;

// Shows the dialog (or asks `antwort` when it is set); overwriting is confirmed by the caller.
QString dialogZeigen(QWidget *parent, const Antwort &antwort, const QString &startOrdner, const QString &dateiname,
                     const QString &filter);

// The dialog's starting folder from a stored one: none stored, or the original's default "C:\",
// gives the user's home folder.
QString startOrdner(const QString &gespeichert);

} // namespace speichern
