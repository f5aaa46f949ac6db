#include "records/zuordnungen.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/gridstore.h"
#include "platform/valuetext.h"

#include <QHash>
#include <QSet>

namespace zuordnungen {

namespace {

constexpr int FlexDTString = 8; // column data type "text"
constexpr int KopfZeile = 3;    // "Name", "Vorname", …, the hours

QString text(const QVariant &v) { return vt::valueText(v); }

double zahl(const QString &t)
{
    double d = 0;
    return vt::parseNumber(t, &d) ? d : 0;
}

bool zahlVon(const QVariant &v, qint64 *out)
{
    if (!v.isValid() || v.isNull())
        return false;
    bool ok = false;
    *out = v.toLongLong(&ok);
    return ok;
}

} // namespace

QStringList klassenLesen(zdb::Db &nm)
{
    QStringList klassen;
    nm.forEach(QStringLiteral("SELECT Klasse FROM Klassen WHERE NOT (Klasse LIKE 'AUS%') ORDER BY ")
                   + mdl::KlassenStufeSql(QStringLiteral("Klasse")) + QStringLiteral(", Klasse COLLATE DE"),
               {}, [&](const QVariantList &row) {
                   klassen << text(row[0]);
                   return true;
               });
    return klassen;
}

Daten lesen(zdb::Db &nm, const QString &klasse)
{
    Daten d;
    const zdb::Params k{klasse};
    nm.forEach(QStringLiteral("SELECT SchülerNr, Name, Vorname, Ausbildungsrichtung, Geschlecht FROM Schüler "
                              "WHERE Klasse = ? COLLATE NOCASEU ORDER BY Name COLLATE DEU, Vorname COLLATE DE"),
               k, [&](const QVariantList &row) {
                   d.schueler.append({row[0], text(row[1]), text(row[2]), text(row[3]), text(row[4])});
                   return true;
               });
    if (d.schueler.isEmpty())
        return d;
    // Courses in the order of the subjects' running numbers, then by subject.
    nm.forEach(QStringLiteral("SELECT un.\"Index\", un.Fach, un.Lehrkraft, un.AnzStd AS Std "
                              "FROM Unterricht un LEFT JOIN FächerGym fa ON un.Fach = fa.FachKürzel COLLATE NOCASEU "
                              "WHERE un.Klasse = ? COLLATE NOCASEU "
                              "ORDER BY fa.LfdNr, un.Fach COLLATE DE"),
               k, [&](const QVariantList &row) {
                   d.kurse.append({row[0], text(row[1]), text(row[2]), text(row[3])});
                   return true;
               });
    if (d.kurse.isEmpty())
        return d;
    // Only the grade rows of the class's courses, found through the index on Noten.UIndex; a row
    // of a pupil of another class matches no pupil row of the grid and is left out there.
    zdb::Params indexe;
    for (const Kurs &kurs : std::as_const(d.kurse)) {
        qint64 index = 0;
        if (zahlVon(kurs.index, &index))
            indexe << index;
    }
    if (indexe.isEmpty())
        return d;
    QSet<qint64> klassenSchueler;
    for (const Schueler &s : std::as_const(d.schueler)) {
        qint64 nr = 0;
        if (zahlVon(s.nr, &nr))
            klassenSchueler.insert(nr);
    }
    nm.forEach(zuordnungenSql(int(indexe.size())), indexe, [&](const QVariantList &row) {
        qint64 nr = 0, index = 0;
        if (zahlVon(row[0], &nr) && zahlVon(row[1], &index) && klassenSchueler.contains(nr))
            d.zuordnungen.append({nr, index});
        return true;
    });
    if (d.zuordnungen.isEmpty()) {
        // Rare: no pupil of the class in its own courses. Whether they have grade rows elsewhere
        // decides whether counts and colours are shown; only then is the whole table read.
        d.nurFremdeKurse = nm.scalar(QStringLiteral(
            "SELECT 1 FROM Unterricht INNER JOIN (Noten INNER JOIN Schüler ON Noten.SchülerNr = Schüler.SchülerNr) "
            "ON Unterricht.\"Index\" = Noten.UIndex "
            "WHERE Schüler.Klasse = ? COLLATE NOCASEU AND Noten.Archiv = 0 LIMIT 1"), k).isValid();
    }
    return d;
}

QString zuordnungenSql(int kurse)
{
    QStringList marken;
    for (int i = 0; i < kurse; ++i)
        marken << QStringLiteral("?");
    return QStringLiteral("SELECT SchülerNr, UIndex FROM Noten WHERE UIndex IN (") + marken.join(QLatin1Char(','))
        + QStringLiteral(") AND Archiv = 0");
}

QString aufBreite(const QString &t, int w) { return t.leftJustified(w, QLatin1Char(' '), true); }

void leeresGitter(GridStore &g)
{
    g.setCols(6);
    g.setRows(KopfZeilen);
    g.setFixedRows(KopfZeilen);
    g.setFixedCols(KopfSpalten);
    const QStringList kopf{QStringLiteral("Name"), QStringLiteral("Vorname"), QStringLiteral("AR"), QStringLiteral("G")};
    for (int c = 0; c < kopf.size(); ++c)
        g.setTextMatrix(KopfZeile, c + 1, kopf[c]);
    g.setRowHeight(0, 0);
    g.setColWidth(0, 0);
    g.setColWidth(SchluesselSpalte, 0);
}

void gitterFuellen(GridStore &g, const Daten &d)
{
    const int p = int(d.schueler.size()), n = int(d.kurse.size());
    if (p > 0) {
        // Six columns also without courses: column 5 holds the sort key.
        g.setCols(ErsteKursSpalte);
        g.setColDataType(3, FlexDTString);
        g.setRows(p + KopfZeilen);
        for (int i = 0; i < p; ++i) {
            const Schueler &s = d.schueler[i];
            const int r = i + KopfZeilen;
            g.setTextMatrix(r, 0, text(s.nr));
            g.setTextMatrix(r, 1, s.name);
            g.setTextMatrix(r, 2, s.vorname);
            g.setTextMatrix(r, 3, s.ar);
            g.setTextMatrix(r, 4, s.g);
        }
    }
    if (p > 0 && n > 0) {
        const int anz = n + ErsteKursSpalte, std = anz + 1;
        g.setCols(n + ErsteKursSpalte + 2);
        for (int j = 0; j < n; ++j) {
            const Kurs &k = d.kurse[j];
            const int c = j + ErsteKursSpalte;
            g.setTextMatrix(0, c, text(k.index));
            g.setTextMatrix(1, c, k.fach);
            g.setTextMatrix(2, c, k.lehrkraft);
            g.setTextMatrix(KopfZeile, c, k.std);
            g.setCellAlignment(KopfZeile, c, grid::AlignCenterCenter);
            for (int r = KopfZeilen; r < p + KopfZeilen; ++r) {
                g.setCellChecked(r, c, grid::Unchecked);
                g.setCellAlignment(r, c, grid::AlignCenterCenter);
            }
        }
        for (int c = ErsteKursSpalte; c < g.cols(); ++c)
            g.setColWidth(c, KursBreite);

        if (!d.zuordnungen.isEmpty() || d.nurFremdeKurse) {
            QHash<qint64, int> zeileVon, spalteVon;
            for (int i = p - 1; i >= 0; --i) { // the first row of a number wins
                qint64 nr;
                if (zahlVon(d.schueler[i].nr, &nr))
                    zeileVon.insert(nr, i + KopfZeilen);
            }
            for (int j = n - 1; j >= 0; --j) {
                qint64 index;
                if (zahlVon(d.kurse[j].index, &index))
                    spalteVon.insert(index, j + ErsteKursSpalte);
            }
            for (const auto &z : d.zuordnungen) {
                const int r = zeileVon.value(z.first, -1), c = spalteVon.value(z.second, -1);
                if (r >= 0 && c >= 0)
                    g.setCellChecked(r, c, grid::Checked);
            }
            // Hours add up exactly (1,5 + 1,5 = 3).
            for (int r = KopfZeilen; r < p + KopfZeilen; ++r) {
                int anzahl = 0;
                double stunden = 0;
                for (int c = ErsteKursSpalte; c < anz; ++c)
                    if (g.cellChecked(r, c) == grid::Checked) {
                        ++anzahl;
                        stunden += zahl(g.textMatrix(KopfZeile, c));
                    }
                g.setTextMatrix(r, anz, QString::number(anzahl));
                g.setTextMatrix(r, std, vt::numberText(stunden));
            }
            for (int c = ErsteKursSpalte; c < anz; ++c) {
                int anzahl = 0;
                for (int r = KopfZeilen; r < p + KopfZeilen; ++r)
                    if (g.cellChecked(r, c) == grid::Checked)
                        ++anzahl;
                if (anzahl != p)
                    for (int r = KopfZeilen; r < p + KopfZeilen; ++r)
                        g.setCellBackColor(r, c, Gelb);
            }
            g.setTextMatrix(KopfZeile, anz, QStringLiteral("Anz"));
            g.setTextMatrix(KopfZeile, std, QStringLiteral("Std"));
        }
    }
    g.setColWidth(0, 0);
    g.setColWidth(SchluesselSpalte, 0);
    nachSpalteSortieren(g, 1);
    g.select(0, 0);
}

void nachSpalteSortieren(GridStore &g, int spalte)
{
    g.setColWidth(SchluesselSpalte, 0);
    for (int r = KopfZeile; r < g.rows(); ++r) {
        const QString name = g.textMatrix(r, 1), vorname = g.textMatrix(r, 2);
        switch (spalte) {
        case 1: g.setTextMatrix(r, SchluesselSpalte, aufBreite(name, 20) + vorname); break;
        case 2: g.setTextMatrix(r, SchluesselSpalte, aufBreite(vorname, 20) + name); break;
        case 3:
        case 4:
            g.setTextMatrix(r, SchluesselSpalte,
                            aufBreite(g.textMatrix(r, spalte), 5) + aufBreite(name, 20) + vorname);
            break;
        default: break;
        }
    }
    const int schluessel = spalte >= 1 && spalte <= 4 ? SchluesselSpalte : spalte;
    if (schluessel >= 0 && schluessel < g.cols() && g.rows() > KopfZeilen + 1) {
        // The count and hour columns hold numbers: "9" before "10".
        const bool zahlen = g.cols() > ErsteKursSpalte + 1 && schluessel >= g.cols() - 2;
        g.select(KopfZeilen, schluessel, g.rows() - 1, schluessel);
        g.sort(zahlen ? grid::SortGenericAscending : grid::SortStringAscending);
    }
    g.select(0, 0);
}

} // namespace zuordnungen
