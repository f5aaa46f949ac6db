#pragma once
// The one save dialog: preset with a file name in a starting folder. Overwriting is confirmed
// by the caller (the windows ask their own question).
#include <QString>
#include <functional>

class QWidget;

namespace speichern {

// Answers the dialog instead of showing it (tests): start folder, preset file name, filter;
// returns the chosen full name, or the preset name when cancelled.
using Antwort = std::function<QString(const QString &startOrdner, const QString &dateiname, const QString &filter)>;

// The chosen full name; "" when the dialog was cancelled.
QString dateiWaehlen(QWidget *parent, const QString &startOrdner, const QString &dateiname, const QString &filter,
                     const QString &titel = QStringLiteral("Speichern unter"));

// As the records windows use it: a cancelled dialog gives the preset name back unchanged, so
// callers detect the cancel by comparing. `antwort`, when set, answers instead of the dialog.
QString dialogZeigen(QWidget *parent, const Antwort &antwort, const QString &startOrdner, const QString &dateiname,
                     const QString &filter);

// The dialog's starting folder from a stored one: none stored, the old default "C:\" or a
// folder that is gone gives the user's home folder.
QString startOrdner(const QString &gespeichert);
// The same from the path of the file saved last.
QString startOrdnerVonDatei(const QString &letzterPfad);

} // namespace speichern
