#include "calendar/markierung.h"
#include "calendar/termine.h"
#include "calendar/terminrechte.h"
#include "platform/db.h"
#include "platform/textzuschnitt.h"

namespace kalender {

QString meldungKopiert(const Zwischenablage &z)
{
    return QStringLiteral("In der Zwischenablage befinden sich nun folgende Daten: \r - Fach = ") + z.fach
        + QStringLiteral("\r - Lehrkraft = ") + z.lehrkraft + QStringLiteral("\r - nicht Internet = ")
        + (z.nichtInternet ? QStringLiteral("wahr") : QStringLiteral("falsch")) + QStringLiteral("\r - Bemerkung = ")
        + z.bemerkung
        + QStringLiteral("\r\rSie können diese Einträge über 'Shift'+Klick an andere Tage bzw. Klassen übertragen.");
}

QString meldungMehrereTermineKopieren()
{
    return QStringLiteral("In dieser Klasse gibt es an diesem Tag mehrere Termine. \rBitte markieren Sie den zu "
                          "kopierenden Termin unter 'Details' und drücken Sie 'Strg-C'!");
}

QString meldungKeineDatenZumKopieren()
{
    return QStringLiteral("Es liegen keine Daten zum Kopieren vor.\r\rMarkieren Sie Tag/Klasse, wählen Sie unter "
                          "Details einen Termin aus und drücken Sie Strg-C.");
}

QString meldungMehrereTermineMarkieren()
{
    return QStringLiteral("Wenn in einer Klasse an einem Tag mehrere Termine existieren, müssen diese einzeln "
                          "gelöscht werden!");
}

QString frageMarkierteLoeschen(int anzahl)
{
    if (anzahl == 1)
        return QStringLiteral("Soll der violett eingefärbte Termin gelöscht werden?");
    return QStringLiteral("Sollen die %1 violett eingefärbten Termine gelöscht werden?").arg(anzahl);
}

qint64 terminEinfuegen(zdb::Db &db, const QDate &datum, const QString &klasse, const Zwischenablage &z,
                       const QString &benutzer)
{
    if (!istSchulleitung(benutzer) || z.leer() || !datum.isValid() || klasse.trimmed().isEmpty())
        return 0;
    zdb::WriteTransaction tx(db);
    db.exec(QStringLiteral("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                           "eingetragenDatum, eingetragenPerson) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {zdb::isoDate(datum), klasse.trimmed(), z.fach, z.lehrkraft, z.nichtInternet ? 1 : 0,
             zuschnitt::kuerzen(z.bemerkung, MaxBemerkung), zdb::isoDateTime(jetzt()), benutzer});
    const qint64 id = db.lastInsertId();
    tx.commit();
    return id;
}

static QVector<Termin> aktive(zdb::Db &db, const MarkierteZelle &z)
{
    QVector<Termin> out;
    for (const Termin &t : termineVonTag(db, z.klasse, z.datum))
        if (!t.geloescht)
            out.append(t);
    return out;
}

QVector<ZellErgebnis> markierteLoeschen(zdb::Db &db, const QVector<MarkierteZelle> &zellen, const QString &benutzer)
{
    QVector<ZellErgebnis> out(zellen.size());
    if (!istSchulleitung(benutzer))
        return out;
    zdb::WriteTransaction tx(db);
    for (int i = 0; i < zellen.size(); ++i) {
        if (!zellen[i].datum.isValid())
            continue;
        const QVector<Termin> vorher = aktive(db, zellen[i]);
        if (vorher.size() == 1) {
            loeschRegelAnwenden(db, vorher[0].id, vorher[0].eingetragenDatum, benutzer);
            out[i].geloescht = true;
            continue;
        }
        for (const Termin &t : vorher)
            out[i].faecher = (out[i].faecher + QLatin1Char(' ') + t.fach.trimmed()).trimmed();
    }
    tx.commit();
    return out;
}

} // namespace kalender
