#include "calendar/termine.h"
#include "calendar/terminrechte.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/db.h"
#include "platform/textzuschnitt.h"
#include "platform/valuetext.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

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

// The plans need neither person column; they come last so that both reads share the first nine.
static const char *kSpalten = "SELECT Id, Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                              "eingetragenDatum, geloeschtDatum, eingetragenPerson, geloeschtPerson "
                              "FROM tbl_Termin ";

// Classes by their leading grade number, classes without one after grade 19, then by name.
static const QString kKlassenOrdnung = mdl::KlassenFolgeSql(QStringLiteral("Klasse"));

static QString text(const QVariant &v) { return v.isNull() ? QString() : v.toString(); }

// Columns 0 .. 8 of kSpalten; the persons when the row has them.
static Termin terminAusZeile(const QVariantList &r)
{
    Termin t;
    t.id = r[0].toLongLong();
    t.datum = zeitpunkt(r[1]);
    t.klasse = text(r[2]);
    t.fach = text(r[3]);
    t.lehrkraft = text(r[4]);
    t.nichtInternet = zdb::yesNo(r[5]);
    t.bemerkung = text(r[6]);
    t.eingetragenDatum = zeitpunkt(r[7]);
    t.geloeschtDatum = zeitpunkt(r[8]);
    t.geloescht = !r[8].isNull() && !r[8].toString().trimmed().isEmpty();
    if (r.size() > 10) {
        t.eingetragenPerson = text(r[9]);
        t.geloeschtPerson = text(r[10]);
    }
    return t;
}

// `ganzeTabelle`: the read takes every row, so the vector is sized once (a filtered read of a few
// rows would only pay for counting the whole table).
static QVector<Termin> lesen(zdb::Db &db, const QString &restSql, const zdb::Params &params = {},
                             bool ganzeTabelle = false)
{
    QVector<Termin> out;
    if (ganzeTabelle)
        out.reserve(int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM tbl_Termin")).toLongLong()));
    db.forEach(QLatin1String(kSpalten) + restSql, params, [&out](const QVariantList &r) {
        out.append(terminAusZeile(r));
        return true;
    });
    return out;
}

// A day as a file converted from Access writes it, with its midnight: an entry's day is found in
// either form (Termin::tag).
static QString tagMitMitternacht(const QDate &d) { return zdb::isoDate(d) + QStringLiteral(" 00:00:00"); }

QVector<Termin> alleTermine(zdb::Db &db) { return lesen(db, QStringLiteral("ORDER BY Id"), {}, true); }

QVector<Termin> termineVonTag(zdb::Db &db, const QString &klasse, const QDate &datum)
{
    return lesen(db,
                 QStringLiteral("WHERE trim(Klasse) = ? COLLATE NOCASEU AND Datum IN (?, ?) "
                                "ORDER BY geloeschtDatum, Id"),
                 {klasse.trimmed(), zdb::isoDate(datum), tagMitMitternacht(datum)});
}

QVector<Termin> termineVonLehrkraft(zdb::Db &db, const QString &lehrkraft)
{
    return lesen(db,
                 QStringLiteral("WHERE trim(Lehrkraft) = ? COLLATE NOCASEU ORDER BY ") + kKlassenOrdnung
                     + QStringLiteral(", Fach COLLATE DE, Datum, Id"),
                 {lehrkraft.trimmed()});
}

namespace {

// "so" and "KF" as the database compares them (NOCASE folds ASCII letters only); blanks at the end
// do not count, as Access's = does not count them ("KF " in a converted file).
bool istSoOderKF(QStringView f)
{
    while (f.endsWith(u' '))
        f.chop(1);
    if (f.size() != 2 || f[0].unicode() >= 128 || f[1].unicode() >= 128)
        return false;
    const QString k = f.toString().toLower();
    return k == QLatin1String("so") || k == QLatin1String("kf");
}

// Where a value stands in the ORDER BY terms of one column as SQLite sorts: the class's grade term
// first (Null before any number), then the value itself: Null, numbers by value, texts (in German
// order under COLLATE DE, else by their bytes), anything else by its bytes.
struct Schluessel {
    double vorrang = 0;
    int art = 0; // 0 Null, 1 number, 2 text, 3 other
    double zahl = 0;
    QString deutsch;  // a text under COLLATE DE
    QByteArray bytes; // a text without collation, or another value

    int vergleichen(const Schluessel &o) const
    {
        if (const auto v = std::tie(vorrang, art, zahl) <=> std::tie(o.vorrang, o.art, o.zahl); v != 0)
            return v < 0 ? -1 : 1;
        if (const int d = accessfn::germanCompare(deutsch, o.deutsch))
            return d;
        return bytes < o.bytes ? -1 : (o.bytes < bytes ? 1 : 0);
    }
};

int art(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::UnknownType: return 0;
    case QMetaType::LongLong:
    case QMetaType::Double: return 1;
    case QMetaType::QString: return 2;
    default: return 3;
    }
}

// One stored value in one ORDER BY term; `deutsch`: the term has COLLATE DE.
Schluessel wertSchluessel(const QVariant &v, bool deutsch)
{
    Schluessel k;
    k.art = art(v);
    if (k.art == 1)
        k.zahl = v.toDouble();
    else if (k.art == 2 && deutsch)
        k.deutsch = v.toString();
    else if (k.art == 2)
        k.bytes = v.toString().toUtf8();
    else if (k.art == 3)
        k.bytes = v.toByteArray();
    return k;
}

// The ranks of the distinct stored values of one column in its ORDER BY terms; values that the
// terms do not tell apart share a rank.
class Rangfolge {
public:
    using Bilden = Schluessel (*)(const QVariant &);
    explicit Rangfolge(Bilden bilden) : m_bilden(bilden) {}

    // The slot of a value; equal stored values share one.
    int platz(const QVariant &v)
    {
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            return neu(m_null, v);
        case QMetaType::QString:
            return suchen(m_texte, v.toString(), v);
        case QMetaType::LongLong:
        case QMetaType::Double:
            return suchen(m_zahlen, v.toDouble(), v);
        default:
            return suchen(m_andere, v.toByteArray(), v);
        }
    }
    // Ranks by slot, after every value is in. The German order is asked only for the distinct values.
    QVector<int> raenge() const
    {
        QVector<int> folge(m_schluessel.size());
        std::iota(folge.begin(), folge.end(), 0);
        std::sort(folge.begin(), folge.end(),
                  [this](int a, int b) { return m_schluessel[a].vergleichen(m_schluessel[b]) < 0; });
        QVector<int> rang(m_schluessel.size());
        for (int i = 0, r = 0; i < folge.size(); ++i) {
            if (i > 0 && m_schluessel[folge[i]].vergleichen(m_schluessel[folge[i - 1]]) != 0)
                ++r;
            rang[folge[i]] = r;
        }
        return rang;
    }

private:
    int neu(int &merker, const QVariant &v)
    {
        if (merker < 0) {
            merker = m_schluessel.size();
            m_schluessel.append(m_bilden(v));
        }
        return merker;
    }
    template<class K>
    int suchen(QHash<K, int> &tabelle, const K &k, const QVariant &v)
    {
        auto it = tabelle.constFind(k);
        if (it != tabelle.constEnd())
            return *it;
        m_schluessel.append(m_bilden(v));
        return *tabelle.insert(k, m_schluessel.size() - 1);
    }

    Bilden m_bilden;
    int m_null = -1;
    QHash<QString, int> m_texte;
    QHash<double, int> m_zahlen;
    QHash<QByteArray, int> m_andere;
    QVector<Schluessel> m_schluessel;
};

// Datum (no collation: the bytes as they are).
Schluessel datumSchluessel(const QVariant &v) { return wertSchluessel(v, false); }
// Fach COLLATE DE.
Schluessel fachSchluessel(const QVariant &v) { return wertSchluessel(v, true); }
// IIf(Fach='so' Or Fach='KF','ZZ' & Fach,Fach) COLLATE DE: class trips and other dates last.
Schluessel fachZuletztSchluessel(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString && istSoOderKF(v.toString()))
        return wertSchluessel(QString(QStringLiteral("ZZ") + v.toString()), true);
    return wertSchluessel(v, true);
}
// mdl::KlassenFolgeSql: by grade number (20 without one, so after grade 19), then the name in German order.
Schluessel klassenSchluessel(const QVariant &v)
{
    Schluessel k = wertSchluessel(v, true);
    if (k.art == 0) {
        k.vorrang = -std::numeric_limits<double>::infinity(); // the grade term is Null too
        return k;
    }
    const int stufe = k.art == 1 ? int(qBound(double(std::numeric_limits<int>::min()), std::trunc(k.zahl),
                                              double(std::numeric_limits<int>::max())))
                                 : mdl::KlassenStufe(k.art == 2 ? k.deutsch : QString::fromUtf8(k.bytes));
    k.vorrang = stufe == 0 ? 20.0 : double(stufe);
    return k;
}

} // namespace

PlanTermine termineFuerPlaene(zdb::Db &db)
{
    // One pass in the table's own order; both orders of the plans are made here, as the database
    // would sort (an ORDER BY of the whole table makes SQLite spill its sorter to a temporary file).
    // Slots of the row's values while reading, their ranks afterwards; klasse -1: not in the plan by class.
    struct Zeile {
        int datum, fach, fachZuletzt = -1, klasse = -1;
        qint64 id;
    };
    QVector<Termin> termine;
    QVector<Zeile> zeilen;
    const int n = int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM tbl_Termin")).toLongLong());
    termine.reserve(n);
    zeilen.reserve(n);
    Rangfolge datum(datumSchluessel), fach(fachSchluessel), fachZuletzt(fachZuletztSchluessel),
        klasse(klassenSchluessel);
    db.forEach(QStringLiteral("SELECT Id, Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                              "eingetragenDatum, geloeschtDatum, nichtInternet = 0 FROM tbl_Termin"),
               {}, [&](const QVariantList &r) {
                   Zeile z{datum.platz(r[1]), fach.platz(r[3])};
                   z.id = r[0].toLongLong();
                   if (!r[9].isNull() && r[9].toLongLong() == 1) { // WHERE nichtInternet = 0
                       z.fachZuletzt = fachZuletzt.platz(r[3]);
                       z.klasse = klasse.platz(r[2]);
                   }
                   zeilen.append(z);
                   termine.append(terminAusZeile(r));
                   return true;
               });
    {
        const QVector<int> d = datum.raenge(), f = fach.raenge(), fz = fachZuletzt.raenge(), k = klasse.raenge();
        for (Zeile &z : zeilen) {
            z.datum = d[z.datum];
            z.fach = f[z.fach];
            if (z.klasse >= 0) {
                z.fachZuletzt = fz[z.fachZuletzt];
                z.klasse = k[z.klasse];
            }
        }
    }

    // The table plans: ORDER BY Datum, Fach COLLATE DE, Id.
    QVector<int> folge(termine.size());
    std::iota(folge.begin(), folge.end(), 0);
    std::sort(folge.begin(), folge.end(), [&zeilen](int a, int b) {
        const Zeile &x = zeilen[a], &y = zeilen[b];
        return std::tie(x.datum, x.fach, x.id) < std::tie(y.datum, y.fach, y.id);
    });
    PlanTermine out;
    out.termine.reserve(termine.size());
    QVector<int> stelle(termine.size()); // index in out.termine of each row read
    for (int i : folge) {
        stelle[i] = out.termine.size();
        out.termine.append(std::move(termine[i]));
    }

    // The plan by class: WHERE nichtInternet = 0 ORDER BY class, subject with "KF" and "so" last, Datum, Id.
    QVector<int> klassenplan;
    for (int i = 0; i < zeilen.size(); ++i)
        if (zeilen[i].klasse >= 0)
            klassenplan.append(i);
    std::sort(klassenplan.begin(), klassenplan.end(), [&zeilen](int a, int b) {
        const Zeile &x = zeilen[a], &y = zeilen[b];
        return std::tie(x.klasse, x.fachZuletzt, x.datum, x.id) < std::tie(y.klasse, y.fachZuletzt, y.datum, y.id);
    });
    out.klassenplan.reserve(klassenplan.size());
    for (int i : klassenplan)
        out.klassenplan.append(stelle[i]);
    return out;
}

// Class, subject and teacher as the duplicate rule compares them, the stored values and the new
// ones alike: without surrounding white space (tabs and line breaks too), upper-cased.
static QString vergleichsform(const QString &s) { return vt::upperCase(s.trimmed()); }

static bool istFreieArt(const QString &fach)
{
    const QString f = vergleichsform(fach);
    return f == QLatin1String("KF") || f == QLatin1String("SO");
}

Eintragen terminEintragen(zdb::Db &db, const NeuerTermin &t, const QString &benutzer, qint64 *neueId)
{
    const QString lehrkraft = t.lehrkraft.trimmed().isEmpty() ? QStringLiteral("X") : t.lehrkraft;
    zdb::WriteTransaction tx(db);
    if (!istFreieArt(t.fach)) {
        const QString klasse = vergleichsform(t.klasse), fach = vergleichsform(t.fach),
                      lk = vergleichsform(lehrkraft);
        for (const Termin &e : lesen(db, QStringLiteral("WHERE Datum IN (?, ?)"),
                                     {zdb::isoDate(t.datum), tagMitMitternacht(t.datum)}))
            if (!e.geloescht && vergleichsform(e.klasse) == klasse && vergleichsform(e.fach) == fach
                && vergleichsform(e.lehrkraft) == lk)
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
