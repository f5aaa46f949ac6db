#include "calendar/termine.h"
#include "calendar/terminrechte.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/textzuschnitt.h"

namespace kalender {

static std::function<QDateTime()> s_uhr;

// Times of the calendar are naive wall-clock values, as the database keeps them; they are compared
// only with each other, so they carry no time zone (which also keeps reading 40,000 rows fast).
static QDateTime naiv(const QDate &d, const QTime &t) { return QDateTime(d, t, Qt::UTC); }

QDateTime jetzt()
{
    const QDateTime t = s_uhr ? s_uhr() : QDateTime::currentDateTime();
    const QTime z = t.time();
    return naiv(t.date(), QTime(z.hour(), z.minute(), z.second())); // whole seconds, as stored
}

static bool ziffern(const QString &s, int von, int n, int &wert)
{
    wert = 0;
    for (int i = von; i < von + n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < '0' || c > '9')
            return false;
        wert = wert * 10 + (c - '0');
    }
    return true;
}

static QDateTime zeitpunkt(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        int y, mo, d, h = 0, mi = 0, se = 0;
        if ((s.size() == 10 || (s.size() == 19 && s[10] == QLatin1Char(' ') && ziffern(s, 11, 2, h)
                                && ziffern(s, 14, 2, mi) && ziffern(s, 17, 2, se)))
            && ziffern(s, 0, 4, y) && ziffern(s, 5, 2, mo) && ziffern(s, 8, 2, d)) {
            const QDate datum(y, mo, d);
            const QTime zeit(h, mi, se);
            if (datum.isValid() && zeit.isValid())
                return naiv(datum, zeit);
        }
    }
    const QDateTime dt = zdb::dateTimeFromStored(v);
    return dt.isValid() ? naiv(dt.date(), dt.time()) : QDateTime();
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

// `ganzeTabelle`: the read takes every row, so the vector is sized once (a filtered read of a few
// rows would only pay for counting the whole table).
static QVector<Termin> lesen(zdb::Db &db, const QString &restSql, const zdb::Params &params = {},
                             bool ganzeTabelle = false)
{
    QVector<Termin> out;
    if (ganzeTabelle)
        out.reserve(int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM tbl_Termin")).toLongLong()));
    db.forEach(QLatin1String(kSpalten) + restSql, params, [&out](const QVariantList &r) {
        Termin t;
        t.id = r[0].toLongLong();
        t.datum = zeitpunkt(r[1]);
        t.klasse = text(r[2]);
        t.fach = text(r[3]);
        t.lehrkraft = text(r[4]);
        t.nichtInternet = zdb::yesNo(r[5]);
        t.bemerkung = text(r[6]);
        t.eingetragenDatum = zeitpunkt(r[7]);
        t.eingetragenPerson = text(r[8]);
        t.geloeschtDatum = zeitpunkt(r[9]);
        t.geloeschtPerson = text(r[10]);
        t.geloescht = !r[9].isNull() && !r[9].toString().trimmed().isEmpty();
        out.append(std::move(t));
        return true;
    });
    return out;
}

QVector<Termin> alleTermine(zdb::Db &db) { return lesen(db, QStringLiteral("ORDER BY Id"), {}, true); }

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
    return lesen(db, QStringLiteral("ORDER BY Datum, Fach COLLATE NOCASE, Id"), {}, true);
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
            {zdb::isoDate(t.datum), t.klasse, t.fach, lehrkraft, zuschnitt::kuerzen(t.bemerkung, MaxBemerkung),
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
            {nichtInternet ? 1 : 0, zuschnitt::kuerzen(bemerkung.trimmed(), MaxBemerkung), id});
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
    const Loeschung l = loeschRegelAnwenden(db, id, zeitpunkt(z.eingetragenDatum), benutzer);
    tx.commit();
    return l;
}

Loeschung loeschRegelAnwenden(zdb::Db &db, qint64 id, const QDateTime &eingetragen, const QString &benutzer)
{
    const QDateTime nun = jetzt();
    if (innerhalbEinerMinute(eingetragen, nun)) {
        db.exec(QStringLiteral("DELETE FROM tbl_Termin WHERE Id = ?"), {id});
        return Loeschung::Entfernt;
    }
    db.exec(QStringLiteral("UPDATE tbl_Termin SET geloeschtDatum = ?, geloeschtPerson = ? WHERE Id = ?"),
            {zdb::isoDateTime(nun), benutzer.trimmed(), id});
    return Loeschung::AlsGeloeschtMarkiert;
}

} // namespace kalender
