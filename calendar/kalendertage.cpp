#include "calendar/kalendertage.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/datetexts.h"
#include "platform/db.h"

namespace kalender {

QString tagesLabel(const QDate &d) { return datetexts::format(d, QStringLiteral("ddd dd.mm.")).trimmed(); }

bool istWochenende(const QDate &d)
{
    const QString w = datetexts::format(d, QStringLiteral("ddd")).trimmed();
    return w == QLatin1String("Sa") || w == QLatin1String("So");
}

static const QString kKlassenOrdnung = QStringLiteral("ORDER BY ") + mdl::KlassenFolgeSql(QStringLiteral("Klasse"));

static QStringList ersteSpalte(zdb::Db &db, const QString &sql, const zdb::Params &params)
{
    QStringList out;
    db.forEach(sql, params, [&out](const QVariantList &r) {
        out << (r[0].isNull() ? QString() : r[0].toString());
        return true;
    });
    return out;
}

QStringList klassenLesen(zdb::Db &nm)
{
    return ersteSpalte(nm,
                       QStringLiteral("SELECT Klasse FROM Klassen WHERE Klasse <> 'AUS' COLLATE NOCASEU ")
                           + kKlassenOrdnung,
                       {});
}

QStringList eigeneKlassenLesen(zdb::Db &nm, const QString &benutzer)
{
    return ersteSpalte(nm,
                       QStringLiteral("SELECT Klasse FROM Unterricht WHERE Archiv = 0 AND Lehrkraft = ? COLLATE NOCASEU ")
                           + kKlassenOrdnung,
                       {benutzer.trimmed()});
}

QVector<Kurs> kurseLesen(zdb::Db &nm, const QString &klasse)
{
    QVector<Kurs> out;
    nm.forEach(QStringLiteral("SELECT Fach, Lehrkraft FROM Unterricht WHERE Archiv = 0 AND Klasse = ? COLLATE NOCASEU "
                              "ORDER BY Fach COLLATE DE"),
               {klasse.trimmed()}, [&out](const QVariantList &r) {
                   out.append({r[0].isNull() ? QString() : r[0].toString(),
                               r[1].isNull() ? QString() : r[1].toString()});
                   return true;
               });
    return out;
}

void KalenderTabelle::aufbauen(const QDate &erster, const QDate &letzter, const QStringList &klassen,
                               const QDate &heute, bool *gekuerzt)
{
    m_tage.clear();
    m_zeileVon.clear();
    m_spalteVon.clear();
    m_klassen = klassen;
    bool cut = false;
    if (erster.isValid() && letzter.isValid()) {
        for (QDate d = erster; d <= letzter; d = d.addDays(1)) {
            if (m_tage.size() == MaxTage) {
                cut = true;
                break;
            }
            m_tage.append(d);
            m_zeileVon.insert(d, m_tage.size());
        }
    }
    if (gekuerzt)
        *gekuerzt = cut;

    m_zellen = QVector<KalenderZelle>(rows() * cols());
    m_trenn = QVector<bool>(cols(), false);
    for (int c = 1; c < cols(); ++c) {
        zelle(0, c).text = m_klassen[c - 1];
        const QString key = mdl::GrossGetrimmt(m_klassen[c - 1]);
        if (!m_spalteVon.contains(key))
            m_spalteVon.insert(key, c);
        m_trenn[c] = mdl::KlassenStufe(zelle(0, c - 1).text) != mdl::KlassenStufe(zelle(0, c).text);
    }
    for (int r = 1; r < rows(); ++r) {
        const QDate d = m_tage[r - 1];
        zelle(r, 0).text = tagesLabel(d);
        if (istWochenende(d))
            zeileEinfaerben(r, FarbeWochenende);
    }
    for (int r = 1; r < rows(); ++r) {
        const QDate d = m_tage[r - 1];
        if (d == heute)
            zeileEinfaerben(r, FarbeHeute);
        const mdl::typFeiertag f = mdl::Feiertag(d);
        if (!f.Name.isEmpty())
            zeileEinfaerben(r, f.Farbe);
    }
}

int KalenderTabelle::zeilenHoehe(int r) const
{
    return r >= 1 && r < rows() && istWochenende(m_tage[r - 1]) ? HoeheWochenende : HoeheWerktag;
}

void KalenderTabelle::zeileEinfaerben(int r, long farbe)
{
    if (r < 0 || r >= rows())
        return;
    for (int c = 0; c < cols(); ++c)
        zelle(r, c).farbe = farbe;
}

int KalenderTabelle::zeileZuDatum(const QDate &d) const { return d.isValid() ? m_zeileVon.value(d, 0) : 0; }

int KalenderTabelle::spalteZuKlasse(const QString &k) const { return m_spalteVon.value(mdl::GrossGetrimmt(k), 0); }

QString notizKopf() { return QStringLiteral("Fach - LK - Bem:\n"); }

QString notizZeile(const Termin &t)
{
    return t.fach.trimmed() + QStringLiteral(" - ") + t.lehrkraft.trimmed() + QStringLiteral(" - ")
        + t.bemerkung.trimmed() + QLatin1Char('\n');
}

void KalenderTabelle::termineEinsetzen(const QVector<Termin> &termine, const QDateTime &jetzt, int einfaerbenTage,
                                       long einfaerbenFarbe, bool notizen)
{
    // Made or deleted after this moment counts as a recent change.
    const QDateTime grenze = jetzt.addSecs(-qint64(einfaerbenTage) * 86400);
    for (const Termin &t : termine) {
        const int r = zeileZuDatum(t.tag());
        const int c = t.klasse.trimmed().isEmpty() ? 0 : spalteZuKlasse(t.klasse); // a Null class has no cell
        if (r * c <= 0)
            continue;
        KalenderZelle &z = zelle(r, c);
        if (!t.geloescht) {
            z.text = (z.text + QLatin1Char(' ') + t.fach.trimmed()).trimmed();
            if (notizen) {
                if (z.notiz.trimmed().isEmpty())
                    z.notiz = notizKopf();
                z.notiz += notizZeile(t);
            }
        }
        if (einfaerbenTage > 0 && ((t.geloeschtDatum.isValid() && t.geloeschtDatum > grenze)
                                   || (t.eingetragenDatum.isValid() && t.eingetragenDatum > grenze)))
            z.farbe = einfaerbenFarbe;
    }
}

QVector<MeinTermin> meineTermine(const QVector<Termin> &termineDerLehrkraft)
{
    QVector<MeinTermin> out;
    QString klasse, fach;
    for (const Termin &t : termineDerLehrkraft) {
        if (t.geloescht)
            continue;
        MeinTermin m;
        const QString k = t.klasse.trimmed(), f = t.fach.trimmed();
        if (k != klasse || f != fach) {
            m.fach = f;
            if (k != klasse)
                m.klasse = k;
        }
        m.datum = t.datum.isValid() ? datetexts::format(t.datum.date(), QStringLiteral("dd.mm.")) : QString();
        klasse = k;
        fach = f;
        out.append(m);
    }
    return out;
}

int monatDesKnopfs(int index)
{
    const int m = (index + 9) % 12;
    return m == 0 ? 12 : m;
}

int ersteZeileDesMonats(const KalenderTabelle &t, int monat)
{
    int vorher = 0; // month of the previous weekday row, 0 before the first
    for (int r = 1; r < t.rows(); ++r) {
        if (t.zeilenHoehe(r) < 61)
            continue;
        const int m = t.datum(r).month();
        if (m == monat && m != vorher)
            return r;
        vorher = m;
    }
    return 0;
}

} // namespace kalender
