// The absence report of the chosen classes in Word: every person of a class with the number of
// days in the period and the days themselves, four to a line.
#include "absence/klassenliste.h"
#include "absence/worddokumente.h"
#include "platform/datetexts.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace absence {

namespace {

const QChar Zeilenumbruch(11);
const QChar Tab(9);

QString datumText(const QDate &d) { return datetexts::format(d, QStringLiteral("dd.mm.yyyy")); }

// The remark as the report shows it: without the hint the entry panel stores for "kr" days.
QString bemerkungFuerBericht(const QString &bemerkung)
{
    QString b = bemerkung;
    b.remove(Absenz::KrBemerkung, Qt::CaseInsensitive);
    return vt::trimBlanks(b);
}

// The absences of the persons in the period, earliest first: one read for the whole class. Keyed
// by the comparison form of those found by the rule and by the trimmed id of those found exactly.
struct Absenzen {
    QHash<QString, QVector<Absenz::Zeile>> regel, exakt;
    const QVector<Absenz::Zeile> &der(const BerichtsPerson &p) const
    {
        static const QVector<Absenz::Zeile> keine;
        const auto &h = p.nurExakt ? exakt : regel;
        const auto it = h.constFind(p.nurExakt ? vt::trimBlanks(p.id) : vt::idSchluessel(p.id));
        return it == h.cend() ? keine : it.value();
    }
};

Absenzen absenzenDerPersonen(zdb::Db &eigen, const QVector<BerichtsPerson> &personen, const QDate &start,
                             const QDate &ende)
{
    QJsonArray formen, exakte;
    bool ascii = true;
    for (const BerichtsPerson &p : personen) {
        const Kennung k(p.id, p.nurExakt);
        (k.nurExakt ? exakte : formen).append(k.suchwert());
        ascii = ascii && (k.nurExakt || istAscii(k.suchwert()));
    }
    auto json = [](const QJsonArray &a) { return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact)); };
    Absenzen tage;
    eigen.forEach(fehltageSql(QStringLiteral("Fehltag, Grund, s01, s02, s03, s04, s05, s06, s07, s08, s09, s10, "
                                             "Bemerkung"),
                              formen.isEmpty() ? QString() : QStringLiteral("IN (SELECT value FROM json_each(?3))"),
                              QStringLiteral(" AND Fehltag >= ?1 AND Fehltag < ?2"), QStringLiteral("Fehltag, nr"), ascii,
                              exakte.isEmpty() ? QString() : QStringLiteral("SELECT value FROM json_each(?4)")),
                  {zdb::isoDate(start), zdb::isoDate(ende.addDays(1)), json(formen), json(exakte)},
                  [&](const QVariantList &r) {
                      Absenz::Zeile z;
                      z.fehltag = zdb::dateFromStored(r[0]);
                      z.grund = vt::valueText(r[1]);
                      for (int i = 0; i < 10; ++i)
                          z.std[size_t(i)] = vt::valueText(r[2 + i]);
                      z.bemerkung = vt::valueText(r[12]);
                      (r[15].toInt() ? tage.exakt : tage.regel)[r[14].toString()].push_back(z);
                      return true;
                  });
    return tage;
}

void ueberschriftSchreiben(docx::Textfluss &t, const QString &ueberschrift, const QString &zusatz, const QDate &heute)
{
    t.schrift.groesse = 14;
    t.schrift.fett = true;
    t.schreiben(ueberschrift);
    t.schrift.fett = false;
    t.schrift.groesse = 12;
    t.schreiben(zusatz + QStringLiteral("\r"));
    t.absatzformat().ausrichtung = docx::Ausrichtung::Rechts;
    t.schreiben(QStringLiteral("Stand: ") + datumText(heute) + QStringLiteral("\r"));
    t.absatzformat().ausrichtung = docx::Ausrichtung::Links;
    t.absatz();
}

} // namespace

QVector<BerichtsKlasse> gewaehlteKlassen(const VSGrid &fgKlassen)
{
    QVector<BerichtsKlasse> klassen;
    const int von = qMin(fgKlassen.row(), fgKlassen.rowSel()), bis = qMax(fgKlassen.row(), fgKlassen.rowSel());
    for (int r = 1; r < fgKlassen.rows(); ++r)
        if (fgKlassen.isSelected(r) || (r >= von && r <= bis))
            klassen.push_back({vt::trimBlanks(fgKlassen.textMatrix(r, 0)), vt::trimBlanks(fgKlassen.textMatrix(r, 1))});
    return klassen;
}

QVector<BerichtsPerson> berichtsPersonen(zdb::Db &nm, const QString &klasse, const IdZuordnung *zuordnung)
{
    const Abfrage a = Klassenliste::personenDerKlasse(klasse, Klassenliste::NurDieseKlasse);
    QVector<BerichtsPerson> personen;
    const zdb::Result res = nm.query(a.sql, a.params);
    const int id = res.columnIndex(QStringLiteral("SchülerNr")), name = res.columnIndex(QStringLiteral("Name")),
              vorname = res.columnIndex(QStringLiteral("Vorname"));
    for (int r = 0; r < res.rowCount(); ++r) {
        const QString pid = vt::trimBlanks(vt::valueText(res.value(r, id)));
        personen.push_back({pid, vt::valueText(res.value(r, name)), vt::valueText(res.value(r, vorname)),
                            zuordnung && zuordnung->nurExakt(pid)});
    }
    return personen;
}

QString fehltageText(const QVector<Absenz::Zeile> &zeilen, const QDate &start, const QDate &ende, int *anzahl)
{
    int n = 0, p = 0;
    QString text;
    for (const Absenz::Zeile &z : zeilen) {
        if (!z.fehltag.isValid() || z.fehltag < start || z.fehltag > ende)
            continue;
        ++n;
        ++p;
        const QString grund = vt::trimBlanks(z.grund);
        const QString bemerkung = bemerkungFuerBericht(z.bemerkung);
        QString stunden;
        for (int k = 0; k < 10; ++k) {
            const QString code = vt::trimBlanks(z.std[size_t(k)]);
            if (!code.isEmpty())
                stunden += QString::number(k + 1) + QStringLiteral(".h:") + code + QLatin1Char(' ');
        }
        const bool ausfuehrlich = !stunden.isEmpty() || !bemerkung.isEmpty();
        QString innen = grund;
        QString davor;
        if (ausfuehrlich) {
            innen += QLatin1Char(' ') + stunden;
            if (!bemerkung.isEmpty())
                innen += QStringLiteral("Bem:") + bemerkung;
            if (p % 4 != 1)
                davor = Zeilenumbruch; // a detailed entry stands on a line of its own
            p = 0;
        }
        text += davor + datumText(z.fehltag) + QStringLiteral(" (") + innen + QLatin1Char(')') +
                (p % 4 == 0 ? Zeilenumbruch : Tab);
    }
    if (text.size() > 3 && text.endsWith(Zeilenumbruch))
        text[text.size() - 1] = QLatin1Char(' ');
    if (anzahl)
        *anzahl = n;
    return vt::trimBlanks(text);
}

docx::Dokument klassenberichtDokument(zdb::Db &eigen, const BerichtsKlasse &k, const QVector<BerichtsPerson> &personen,
                                      const QDate &start, const QDate &ende, bool extraSeite, const QDate &heute)
{
    docx::Dokument d;
    docx::Textfluss &t = d.text();
    const QString zeitraum = datumText(start) + QStringLiteral(" - ") + datumText(ende);
    if (!extraSeite) {
        const QString leiter = vt::trimBlanks(k.klassenleiter);
        ueberschriftSchreiben(t, QStringLiteral("Fehltage der Klasse ") + vt::trimBlanks(k.klasse) +
                                QStringLiteral(" im Zeitraum ") + zeitraum,
                         leiter.isEmpty() ? QString() : QStringLiteral("\r (") + leiter + QLatin1Char(')'), heute);
    }
    docx::Absatzformat &f = t.absatzformat();
    f.einzugLinks = docx::cm(2);
    f.einzugErsteZeile = -docx::cm(2);
    f.abstandVorAuto = false;
    f.abstandNachAuto = false;
    for (double pos : {5.0, 8.0, 11.0, 14.0})
        f.tabstoppHinzufuegen(docx::cm(pos));

    const Absenzen tageAller = absenzenDerPersonen(eigen, personen, start, ende);
    for (const BerichtsPerson &p : personen) {
        if (extraSeite)
            ueberschriftSchreiben(t, QStringLiteral("Fehltage im Zeitraum ") + zeitraum, QString(), heute);
        int n = 0;
        const QString tage = fehltageText(tageAller.der(p), start, ende, &n);
        t.schrift.fett = true;
        t.schreiben(vt::trimBlanks(p.name) + QStringLiteral(", ") + vt::trimBlanks(p.vorname));
        t.schrift.fett = false;
        t.schreiben(QStringLiteral(" (") + QString::number(n) +
                    (n == 1 ? QStringLiteral(" Fehltag)") : QStringLiteral(" Fehltage)")) + Zeilenumbruch);
        t.schreiben(n > 0 ? tage + QStringLiteral("\r\r") : QStringLiteral("\r"));
        if (extraSeite)
            t.seitenumbruch();
    }
    return d;
}

} // namespace absence
