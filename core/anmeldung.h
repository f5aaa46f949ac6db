#pragma once
// The login's checks, without a window: the teachers offered, the lock flag, the password forms
// and the main window's title.
#include "platform/db.h"

#include <QString>
#include <QStringList>

namespace anmeldung {

// Kürzel of the teachers with a password (Passwort or pwdh not blank), ordered by Kürzel.
QStringList kuerzelListe(zdb::Db &nm);

// Accepted as stored in Passwort (exact), or as the RIPEMD-160 hex of the typed text's
// Windows-1252 bytes in pwdh (compared without regard to case). A blank stored form never matches.
bool passwortPasst(const QString &getippt, const QString &passwort, const QString &pwdh);

struct Schule {
    QString nummer, name, nameSub;
    bool gesperrt = false;
};
Schule schuleLesen(zdb::Db &nm);

enum class Ergebnis { Angemeldet, Abgelehnt, Gesperrt };
// Looks the abbreviation up without regard to case among the teachers with a password.
Ergebnis pruefen(zdb::Db &nm, const QString &kuerzel, const QString &passwort);

QString gesperrtText();

// "Noten für Mitarbeit, Verhalten usw. (Version: …)"
QString startTitel();
// "Zandrel - Version: …     <Nr> <Name>     Angemeldeter Benutzer: <abbr>[     KOPIE der Notenmanager-Datenbank !!!]"
QString titel(const QString &schulnummer, const QString &schulname, const QString &benutzer, bool kopie);

} // namespace anmeldung
