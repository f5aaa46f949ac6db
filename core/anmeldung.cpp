#include "core/anmeldung.h"
#include "platform/ripemd160.h"
#include "platform/valuetext.h"

namespace anmeldung {

QStringList kuerzelListe(zdb::Db &nm)
{
    QStringList out;
    const zdb::Result r = nm.query(QStringLiteral(
        "SELECT \"Kürzel\" FROM \"Lehrkräfte\" WHERE Trim(Nz(Passwort, '')) <> '' OR Trim(Nz(pwdh, '')) <> '' "
        "ORDER BY \"Kürzel\" COLLATE DE"));
    // Without the blanks a converted file keeps at the end ("X "): the one chosen is the user's name.
    for (const auto &row : r.rows)
        out << vt::trimBlanks(vt::valueText(row[0]));
    return out;
}

bool passwortPasst(const QString &getippt, const QString &passwort, const QString &pwdh)
{
    if (!vt::trimBlanks(passwort).isEmpty() && passwort == getippt)
        return true;
    const QString h = vt::trimBlanks(pwdh);
    return !h.isEmpty() && h.compare(hashing::passwordHash(getippt), Qt::CaseInsensitive) == 0;
}

Schule schuleLesen(zdb::Db &nm)
{
    Schule s;
    const zdb::Result r = nm.query(QStringLiteral("SELECT * FROM SYS_Settings"), {}, 1);
    if (r.isEmpty())
        return s;
    s.nummer = vt::valueText(r.value(0, "Schulnummer"));
    s.name = vt::valueText(r.value(0, "Schulname"));
    s.nameSub = vt::valueText(r.value(0, "SchulnameSub"));
    s.gesperrt = zdb::yesNo(r.value(0, "Gesperrt"));
    return s;
}

Ergebnis pruefen(zdb::Db &nm, const QString &kuerzel, const QString &passwort)
{
    if (schuleLesen(nm).gesperrt)
        return Ergebnis::Gesperrt;
    const zdb::Result r = nm.query(QStringLiteral("SELECT Passwort, pwdh FROM \"Lehrkräfte\" "
                                                  "WHERE \"Kürzel\" = ? COLLATE NOCASEU"),
                                   {kuerzel});
    for (const auto &row : r.rows)
        if (passwortPasst(passwort, vt::valueText(row[0]), vt::valueText(row[1])))
            return Ergebnis::Angemeldet;
    return Ergebnis::Abgelehnt;
}

QString gesperrtText()
{
    return QStringLiteral("Die Notenmanager-Datenbank ist zurzeit gesperrt.\r"
                          "Eine Anmeldung ist erst wieder möglich, wenn die Sperre aufgehoben ist.");
}

static QString version() { return QStringLiteral(ZANDREL_VERSION); }

QString startTitel() { return QStringLiteral("Noten für Mitarbeit, Verhalten usw. (Version: ") + version() + ')'; }

QString titel(const QString &schulnummer, const QString &schulname, const QString &benutzer, bool kopie)
{
    QString t = QStringLiteral("Zandrel - Version: ") + version() + QStringLiteral("     ") + schulnummer + ' ' +
                schulname + QStringLiteral("     Angemeldeter Benutzer: ") + benutzer;
    if (kopie)
        t += QStringLiteral("     KOPIE der Notenmanager-Datenbank !!!");
    return t;
}

} // namespace anmeldung
