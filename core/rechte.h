#pragma once
// Which menus a user sees: the user group from the abbreviation and the rights columns
// of the settings row.
#include "platform/db.h"

#include <QHash>
#include <QString>

namespace rechte {

enum class Gruppe { Admin, Sekretariat, Lehrkraft }; // "X", "XS", everybody else ("LK")

// Upper case of the abbreviation without trimming: "x" is the administrator, " X" is not.
Gruppe gruppe(const QString &benutzer);
bool istAdmin(const QString &benutzer); // "X" or "XS"

// Rights column -> its value ("XS LK"); the top menus of the main window.
using Spalten = QHash<QString, QString>;
Spalten spaltenLesen(zdb::Db &eigen);

struct Menues {
    bool fehltage = false, kalender = false, leistungsnachweise = false;
    bool listen = false, datenabgleich = false, unterricht = false;
    bool verwaltung = false;        // "Absenzgründe verwalten", "Fehltage => Notenmanager", "Fachbetreuer",
                                    // the calendar's "Einstellungen"
    bool fehltageLoeschen = false;  // "alle Fehltage löschen": the administrator alone
    bool wunschzettel = false;      // "txt-Datei für Wunschzettel"
};

// konfigurierteSchulnummer: the installation's school number of the teaching-assignment file.
Menues berechnen(const QString &benutzer, const Spalten &spalten, const QString &schulnummer,
                 const QString &konfigurierteSchulnummer);

// "Schulaufgabenplan": open when KalenderGesperrt is "none" or the user is "X"/"XS".
bool kalenderOffen(const QString &benutzer, const QString &kalenderGesperrt);

} // namespace rechte
