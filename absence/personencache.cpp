#include "absence/personencache.h"

#include "platform/valuetext.h"

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

bool Personencache::aktuell(zdb::Db &eigen, const QDate &heute) { return vonHeute(eigen, heute); }

Personencache::Ergebnis Personencache::fuellen(zdb::Db &eigen, zdb::Db *nm, const QDateTime &jetzt,
                                               const std::function<void()> &durchlassen)
{
    if (!nm) {
        leeren(eigen);
        return Abgebrochen;
    }
    auto ereignisse = [&] {
        if (durchlassen)
            durchlassen();
    };
    QVector<zdb::Params> zeilen;
    // The id as the program shows it, without blanks at its ends: a number stored as REAL (990001.0
    // in a converted file) is "990001", an abbreviation kept as "X " is "X".
    auto id = [](const QVariant &v) { return v.isNull() ? v : QVariant(vt::trimBlanks(vt::valueText(v))); };
    ereignisse();
    nm->forEach(QStringLiteral("SELECT SchülerNr, Name, Vorname, Klasse FROM Schüler"), {}, [&](const QVariantList &r) {
        zeilen.push_back({id(r[0]), r[1], r[2], r[3]});
        return true;
    });
    ereignisse();
    nm->forEach(QStringLiteral("SELECT Kürzel, Name, Vorname FROM Lehrkräfte"), {}, [&](const QVariantList &r) {
        zeilen.push_back({id(r[0]), r[1], r[2], QStringLiteral("LK")});
        return true;
    });

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

void alleFehltageLoeschen(zdb::Db &eigen)
{
    zdb::WriteTransaction tx(eigen);
    eigen.exec(QStringLiteral("DELETE FROM tbl_Fehltage"));
    tx.commit();
}

} // namespace absence
