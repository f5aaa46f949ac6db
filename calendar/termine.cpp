#include "calendar/termine.h"
#include "calendar/terminrechte.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"

namespace kalender {

static std::function<QDateTime()> s_uhr;

QDateTime jetzt()
{
    // Whole seconds: that is what the database keeps.
    QDateTime t = s_uhr ? s_uhr() : QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

void setUhr(std::function<QDateTime()> uhr) { s_uhr = std::move(uhr); }

QDate Termin::tag() const
{
    if (!datum.isValid() || datum.time() != QTime(0, 0))
        return {};
    return datum.date();
}

static const char *kSpalten = "SELECT Id, Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                              "eingetragenDatum, eingetragenPerson, geloeschtDatum, geloeschtPerson "
                              "FROM tbl_Termin ";

// Classes by their leading grade number, classes without one after grade 19, then by name.
static const char *kKlassenOrdnung = "IIf(Val(Klasse)=0,20,Val(Klasse)), Klasse COLLATE NOCASE";

static QString text(const QVariant &v) { return v.isNull() ? QString() : v.toString(); }

static QVector<Termin> lesen(zdb::Db &db, const QString &restSql, const zdb::Params &params = {})
{
    QVector<Termin> out;
    db.forEach(QLatin1String(kSpalten) + restSql, params, [&out](const QVariantList &r) {
        Termin t;
        t.id = r[0].toLongLong();
        t.datum = zdb::dateTimeFromStored(r[1]);
        t.klasse = text(r[2]);
        t.fach = text(r[3]);
        t.lehrkraft = text(r[4]);
        t.nichtInternet = zdb::yesNo(r[5]);
        t.bemerkung = text(r[6]);
        t.eingetragenDatum = zdb::dateTimeFromStored(r[7]);
        t.eingetragenPerson = text(r[8]);
        t.geloeschtDatum = zdb::dateTimeFromStored(r[9]);
        t.geloeschtPerson = text(r[10]);
        t.geloescht = !r[9].isNull() && !r[9].toString().trimmed().isEmpty();
        out.append(t);
        return true;
    });
    return out;
}

QVector<Termin> alleTermine(zdb::Db &db) { return lesen(db, QStringLiteral("ORDER BY Id")); }

QVector<Termin> termineVonTag(zdb::Db &db, const QString &klasse, const QDate &datum)
{
    return lesen(db,
                 QStringLiteral("WHERE trim(Klasse) = ? COLLATE NOCASE AND Datum = ? "
                                "ORDER BY geloeschtDatum, Id"),
                 {klasse.trimmed(), zdb::isoDate(datum)});
}

QVector<Termin> termineVonLehrkraft(zdb::Db &db, const QString &lehrkraft)
{
    return lesen(db,
                 QStringLiteral("WHERE trim(Lehrkraft) = ? COLLATE NOCASE ORDER BY %1, Fach COLLATE NOCASE, Datum, Id")
                     .arg(QLatin1String(kKlassenOrdnung)),
                 {lehrkraft.trimmed()});
}

QVector<Termin> termineNachDatumUndFach(zdb::Db &db)
{
    return lesen(db, QStringLiteral("ORDER BY Datum, Fach COLLATE NOCASE, Id"));
}

QVector<Termin> termineFuerKlassenplan(zdb::Db &db)
{
    return lesen(db, QStringLiteral("WHERE nichtInternet = 0 ORDER BY %1, "
                                    "IIf(Fach = 'so' COLLATE NOCASE OR Fach = 'KF' COLLATE NOCASE, 'ZZ' || Fach, Fach) "
                                    "COLLATE NOCASE, Datum, Id")
                         .arg(QLatin1String(kKlassenOrdnung)));
}

static bool istFreieArt(const QString &fach)
{
    const QString f = mdl::GrossGetrimmt(fach);
    return f == QLatin1String("KF") || f == QLatin1String("SO");
}

Eintragen terminEintragen(zdb::Db &db, const NeuerTermin &t, const QString &benutzer, qint64 *neueId)
{
    const QString lehrkraft = t.lehrkraft.trimmed().isEmpty() ? QStringLiteral("X") : t.lehrkraft;
    zdb::WriteTransaction tx(db);
    if (!istFreieArt(t.fach)) {
        const QVariant schon = db.scalar(
            QStringLiteral("SELECT COUNT(*) FROM tbl_Termin WHERE Datum = ? AND trim(Klasse) = ? COLLATE NOCASE "
                           "AND trim(Fach) = ? COLLATE NOCASE AND trim(Lehrkraft) = ? COLLATE NOCASE "
                           "AND (geloeschtDatum IS NULL OR trim(geloeschtDatum) = '')"),
            {zdb::isoDate(t.datum), t.klasse.trimmed(), t.fach.trimmed(), lehrkraft.trimmed()});
        if (schon.toLongLong() > 0)
            return Eintragen::BereitsEingetragen;
    }
    db.exec(QStringLiteral("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Lehrkraft, Bemerkung, "
                           "eingetragenDatum, eingetragenPerson) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {zdb::isoDate(t.datum), t.klasse, t.fach, lehrkraft, t.bemerkung.left(MaxBemerkung),
             zdb::isoDateTime(jetzt()), benutzer});
    if (neueId)
        *neueId = db.lastInsertId();
    tx.commit();
    return Eintragen::Eingetragen;
}

struct RechteZeile {
    bool gefunden = false;
    QString lehrkraft, eingetragenVon;
    QVariant eingetragenDatum, geloeschtDatum;
};

static RechteZeile zeileLesen(zdb::Db &db, qint64 id)
{
    RechteZeile z;
    const zdb::Result r = db.query(QStringLiteral("SELECT Lehrkraft, eingetragenPerson, eingetragenDatum, geloeschtDatum "
                                                  "FROM tbl_Termin WHERE Id = ?"),
                                   {id});
    if (r.rowCount() != 1)
        return z;
    z.gefunden = true;
    z.lehrkraft = text(r.value(0, 0));
    z.eingetragenVon = text(r.value(0, 1));
    z.eingetragenDatum = r.value(0, 2);
    z.geloeschtDatum = r.value(0, 3);
    return z;
}

Aenderung terminAendern(zdb::Db &db, qint64 id, bool nichtInternet, const QString &bemerkung,
                        const QString &benutzer, QString *lehrkraftFuerMeldung)
{
    zdb::WriteTransaction tx(db);
    const RechteZeile z = zeileLesen(db, id);
    if (!z.gefunden)
        return Aenderung::NichtGefunden;
    if (lehrkraftFuerMeldung)
        *lehrkraftFuerMeldung = z.lehrkraft;
    if (!darfAendern(benutzer, z.lehrkraft, z.eingetragenVon))
        return Aenderung::KeinRecht;
    db.exec(QStringLiteral("UPDATE tbl_Termin SET nichtInternet = ?, Bemerkung = ? WHERE Id = ?"),
            {nichtInternet ? 1 : 0, bemerkung.trimmed().left(MaxBemerkung), id});
    tx.commit();
    return Aenderung::Gespeichert;
}

Loeschung terminLoeschen(zdb::Db &db, qint64 id, const QString &benutzer, QString *lehrkraftFuerMeldung)
{
    zdb::WriteTransaction tx(db);
    const RechteZeile z = zeileLesen(db, id);
    if (!z.gefunden || (!z.geloeschtDatum.isNull() && !z.geloeschtDatum.toString().trimmed().isEmpty()))
        return Loeschung::NichtAktiv;
    if (lehrkraftFuerMeldung)
        *lehrkraftFuerMeldung = z.lehrkraft;
    if (!darfAendern(benutzer, z.lehrkraft, z.eingetragenVon))
        return Loeschung::KeinRecht;
    const QDateTime nun = jetzt();
    if (innerhalbEinerMinute(zdb::dateTimeFromStored(z.eingetragenDatum), nun)) {
        db.exec(QStringLiteral("DELETE FROM tbl_Termin WHERE Id = ?"), {id});
        tx.commit();
        return Loeschung::Entfernt;
    }
    db.exec(QStringLiteral("UPDATE tbl_Termin SET geloeschtDatum = ?, geloeschtPerson = ? WHERE Id = ?"),
            {zdb::isoDateTime(nun), benutzer.trimmed(), id});
    tx.commit();
    return Loeschung::AlsGeloeschtMarkiert;
}

} // namespace kalender
