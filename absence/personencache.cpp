#include "absence/personencache.h"
#include "absence/frm_fehltage.h"
#include "core/mdl_zandrel.h"
#include "platform/msg.h"

#include <QCoreApplication>

namespace absence {

namespace {

bool vonHeute(zdb::Db &eigen, const QDate &heute)
{
    const QVariant v = eigen.scalar(QStringLiteral("SELECT lastChange FROM tbl_Personen ORDER BY lastChange LIMIT 1"));
    const QDateTime dt = zdb::dateTimeFromStored(v);
    return dt.isValid() && dt.date() == heute;
}

void leeren(zdb::Db &eigen)
{
    zdb::WriteTransaction tx(eigen);
    eigen.exec(QStringLiteral("DELETE FROM tbl_Personen"));
    tx.commit();
}

} // namespace

Personencache::Ergebnis Personencache::PersonenAktualisieren(zdb::Db &eigen, const QDateTime &jetzt)
{
    const bool aktuell = vonHeute(eigen, jetzt.date());
    QCoreApplication::processEvents();
    if (aktuell)
        return Aktuell;

    if (!mdl::NMDatenbankOeffnen()) {
        leeren(eigen);
        return Abgebrochen;
    }
    QVector<zdb::Params> zeilen;
    {
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        zdb::Db &nm = mdl::dbNM();
        QCoreApplication::processEvents();
        nm.forEach(QStringLiteral("SELECT SchülerNr, Name, Vorname, Klasse FROM Schüler"), {},
                   [&](const QVariantList &r) {
                       zeilen.push_back({r[0], r[1], r[2], r[3]});
                       return true;
                   });
        QCoreApplication::processEvents();
        nm.forEach(QStringLiteral("SELECT Kürzel, Name, Vorname FROM Lehrkräfte"), {}, [&](const QVariantList &r) {
            zeilen.push_back({r[0], r[1], r[2], QStringLiteral("LK")});
            return true;
        });
    }

    const QString stempel = zdb::isoDateTime(jetzt);
    zdb::WriteTransaction tx(eigen);
    if (vonHeute(eigen, jetzt.date())) // another workstation has just refilled it
        return Aktuell;
    eigen.exec(QStringLiteral("DELETE FROM tbl_Personen"));
    for (zdb::Params &z : zeilen) {
        z << stempel;
        eigen.exec(QStringLiteral("INSERT INTO tbl_Personen (Id, Name, Vorname, Klasse, lastChange) VALUES (?, ?, ?, ?, ?)"),
                   z);
    }
    tx.commit();
    return Gefuellt;
}

bool FehltageLoeschen(zdb::Db &eigen)
{
    const int antwort = msg::box(QStringLiteral("In der Datenbank werden alle Fehltage gelöscht?\r\rWeitermachen?"),
                                 msg::OKCancel | msg::DefaultButton2, QStringLiteral("Sicherheitsnachfrage"));
    if (antwort != msg::OK)
        return false;
    {
        zdb::WriteTransaction tx(eigen);
        eigen.exec(QStringLiteral("DELETE FROM tbl_Fehltage"));
        tx.commit();
    }
    frm_Fehltage::schliessenWennOffen();
    msg::box(QStringLiteral("In der Datenbank wurden alle eingetragenen Fehltage gelöscht."), msg::OKOnly);
    return true;
}

} // namespace absence
