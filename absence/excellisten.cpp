#include "absence/excellisten.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"
#include "platform/xlsxbook.h"

#include <cmath>

namespace absence::excellisten {

const QString KeineDaten =
    QStringLiteral("Es wurden keine passenden Daten gefunden, daher wurde keine Excel-Liste erzeugt.");

namespace {

const QString Ditto = QStringLiteral(" \"");

// A text equal to the one of the row before becomes a ditto mark; an empty text stays empty.
QString oderDitto(const QString &text, bool gleich) { return gleich && !text.isEmpty() ? Ditto : text; }

// Counting values are stored with a decimal comma ("0,5"); an empty value is a whole day.
const QString ZaehltSumme = QStringLiteral(
    "SUM(CASE WHEN zaehlt IS NULL OR trim(zaehlt) = '' THEN 1.0 "
    "ELSE CAST(replace(trim(zaehlt), ',', '.') AS REAL) END)");

// The cached persons with their ids' comparison forms and how many persons share each form.
const QString Getrimmt = QStringLiteral("rtrim(ltrim(S_Id, ' '), ' ')");
const QString PersonenMitForm = QStringLiteral(
    "pers0 AS MATERIALIZED (SELECT rowid AS nr, Id, Klasse, Name, Vorname, IdSchluessel(Id) AS schluessel, "
    "  rtrim(ltrim(Id, ' '), ' ') AS exakt FROM tbl_Personen), "
    "formen AS MATERIALIZED (SELECT schluessel, COUNT(DISTINCT exakt COLLATE BINARY) AS gleiche FROM pers0 "
    "  GROUP BY schluessel), "
    "pers AS MATERIALIZED (SELECT pers0.*, formen.gleiche FROM pers0 JOIN formen USING (schluessel))");
// A record belongs to the person whose id it equals exactly, else to the one person of its form.
const QString GehoertZu = QStringLiteral(
    "pers.schluessel = fehl.schluessel AND (pers.exakt = fehl.exakt COLLATE BINARY OR pers.gleiche = 1)");

void kopfUndFilter(xlsx::Worksheet &ws, const QStringList &titel, int spalten, const QString &ueberschrift)
{
    for (int c = 0; c < titel.size(); ++c)
        ws.setValue(3, c + 1, titel[c]);
    ws.autoFitColumns(1, spalten);
    ws.setAutoFilterAround(3, 1);
    ws.setValue(1, 1, ueberschrift);
}

} // namespace

bool zeitraumLesen(const QString &startText, const QString &endeText, QDate &erster, QDate &letzter)
{
    erster = vt::parseDate(startText.trimmed());
    letzter = vt::parseDate(endeText.trimmed());
    if (!erster.isValid() || !letzter.isValid())
        return false;
    if (erster > letzter)
        std::swap(erster, letzter);
    return true;
}

bool anzahlLesen(const QString &text, int &n)
{
    const double v = std::nearbyint(accessfn::accessVal(text)); // to even, as the 16-bit conversion rounds
    if (v < -32768 || v > 32767)
        return false;
    n = int(v);
    return true;
}

bool unentschuldigtFuellen(zdb::Db &eigen, const QDate &erster, const QDate &letzter, const VSGrid &fgKlassen,
                           xlsx::Workbook &book)
{
    const zdb::Result r = eigen.query(
        // A stored id belongs to the person whose id it equals exactly, else to the one person it
        // equals by the id rule (IdSchluessel), as in every absence view; the forms are made once.
        QStringLiteral("WITH ") + PersonenMitForm + QStringLiteral(", "
                       "     fehl AS MATERIALIZED (SELECT IdSchluessel(S_Id) AS schluessel, ") + Getrimmt + QStringLiteral(
                       " AS exakt, Fehltag, Grund, zaehlt "
                       "                          FROM tbl_Fehltage "
                       "                          WHERE entschuldigt = 0 AND Fehltag >= ? AND Fehltag < ?) "
                       "SELECT pers.Klasse, pers.Name, pers.Vorname, fehl.Fehltag, fehl.Grund, fehl.zaehlt "
                       "FROM fehl INNER JOIN pers ON ") + GehoertZu + QStringLiteral(
                       " WHERE pers.Klasse <> 'LK' COLLATE NOCASE "
                       "ORDER BY pers.Klasse COLLATE DEU, pers.Name COLLATE DEU, pers.Vorname COLLATE DEU, pers.nr, "
                       "         fehl.Fehltag"),
        {zdb::isoDate(erster), zdb::isoDate(letzter.addDays(1))});
    if (r.isEmpty())
        return false;

    // Class teachers by class, from the class list as the window shows it (the last row wins).
    QHash<QString, QString> leiter;
    const int kKlasse = mdl::SpalteSuchen(fgKlassen, QStringLiteral("Klasse"));
    const int kName = mdl::SpalteSuchen(fgKlassen, QStringLiteral("Name"));
    if (kKlasse < fgKlassen.cols() && kName < fgKlassen.cols())
        for (int i = 1; i < fgKlassen.rows(); ++i)
            leiter.insert(vt::upperTrim(fgKlassen.textMatrix(i, kKlasse)), vt::trimBlanks(fgKlassen.textMatrix(i, kName)));

    xlsx::Worksheet &ws = book.sheet(1);
    QString vorKlasse, vorLeiter, vorPerson;
    int zeile = 3;
    for (int i = 0; i < r.rowCount(); ++i) {
        ++zeile;
        const QString klasse = mdl::NullZuText(r.value(i, 0));
        const QString person = vt::trimBlanks(mdl::NullZuText(r.value(i, 1))) + QStringLiteral(", ")
                               + vt::trimBlanks(mdl::NullZuText(r.value(i, 2)));
        // A class missing from the class list has no teacher (not the one of the row before).
        const QString lehrer = leiter.value(vt::upperTrim(klasse));
        ws.setValue(zeile, 1, oderDitto(vt::trimBlanks(klasse), vt::upperTrim(klasse) == vt::upperTrim(vorKlasse)));
        ws.setValue(zeile, 2, oderDitto(lehrer, lehrer == vorLeiter));
        ws.setValue(zeile, 3, oderDitto(person, person == vorPerson));
        const QDate tag = zdb::dateFromStored(r.value(i, 3));
        ws.setText(zeile, 4, datetexts::format(tag, QStringLiteral("ddd dd.mm.yyyy")));
        ws.setValue(zeile, 5, vt::trimBlanks(mdl::NullZuText(r.value(i, 4))));
        const QString zaehlt = vt::trimBlanks(mdl::NullZuText(r.value(i, 5)));
        double wert = 0;
        if (vt::parseNumber(zaehlt, &wert))
            ws.setNumber(zeile, 6, wert, QStringLiteral("0.0"));
        else
            ws.setText(zeile, 6, zaehlt);
        vorPerson = person;
        vorLeiter = lehrer;
        vorKlasse = klasse;
    }
    kopfUndFilter(ws,
                  {QStringLiteral("Klasse"), QStringLiteral("Klassenleiter"), QStringLiteral("Person"),
                   QStringLiteral("Fehltag"), QStringLiteral("Grund"), QStringLiteral("zaehlt")},
                  6,
                  QStringLiteral("unentschuldigte Fehltage im Zeitraum ")
                      + datetexts::format(erster, QStringLiteral("dd.mm.yyyy")) + QStringLiteral(" bis ")
                      + datetexts::format(letzter, QStringLiteral("dd.mm.yyyy")));
    return true;
}

bool vieleFehltageFuellen(zdb::Db &eigen, const QDate &erster, const QDate &letzter, int n,
                          const QString &startText, const QString &endeText, xlsx::Workbook &book)
{
    const zdb::Result r = eigen.query(
        QStringLiteral("WITH ") + PersonenMitForm + QStringLiteral(", "
                       "     fehl AS MATERIALIZED (SELECT IdSchluessel(S_Id) AS schluessel, ") + Getrimmt + QStringLiteral(
                       " AS exakt, ") + ZaehltSumme + QStringLiteral(" AS anz "
                       "                          FROM tbl_Fehltage WHERE Fehltag >= ? AND Fehltag < ? "
                       "                          GROUP BY 1, 2) "
                       "SELECT pers.Klasse, pers.Id, pers.Name, pers.Vorname, IFNULL(SUM(fehl.anz), 0) "
                       "FROM pers LEFT JOIN fehl ON ") + GehoertZu + QStringLiteral(
                       " WHERE pers.Id <> 'X' COLLATE NOCASE AND pers.Id <> 'XS' COLLATE NOCASE "
                       "GROUP BY pers.nr "
                       "ORDER BY pers.Name COLLATE DEU, pers.Vorname COLLATE DE"),
        {zdb::isoDate(erster), zdb::isoDate(letzter.addDays(1))});
    xlsx::Worksheet &ws = book.sheet(1);
    int zeile = 3;
    for (int i = 0; i < r.rowCount(); ++i) {
        const double summe = r.value(i, 4).toDouble();
        if (summe < n)
            continue;
        ++zeile;
        ws.setValue(zeile, 1, vt::trimBlanks(mdl::NullZuText(r.value(i, 2))) + QStringLiteral(", ")
                                  + vt::trimBlanks(mdl::NullZuText(r.value(i, 3))));
        ws.setValue(zeile, 2, vt::trimBlanks(mdl::NullZuText(r.value(i, 0))));
        ws.setNumber(zeile, 3, summe);
    }
    if (zeile == 3)
        return false;
    kopfUndFilter(ws, {QStringLiteral("Person"), QStringLiteral("Klasse"), QStringLiteral("Fehltage")}, 3,
                  QStringLiteral("Personen mit ") + QString::number(n)
                      + QStringLiteral(" Fehltagen (oder mehr) im Zeitraum ") + vt::trimBlanks(startText)
                      + QStringLiteral(" bis ") + vt::trimBlanks(endeText));
    return true;
}

void tageslisteFuellen(const VSGrid &fgKranke, const QString &datum, const TageslistenOptionen &o,
                       const Klartext &grundKlartext, xlsx::Workbook &book)
{
    xlsx::Worksheet &ws = book.sheet(1);
    const int kKlasse = mdl::SpalteSuchen(fgKranke, QStringLiteral("Klasse"));
    const int kName = mdl::SpalteSuchen(fgKranke, QStringLiteral("Name"));
    const int kGrund = mdl::SpalteSuchen(fgKranke, QStringLiteral("Grund"));
    const int kBemerkung = mdl::SpalteSuchen(fgKranke, QStringLiteral("Bemerkung"));
    for (int r = 0; r < fgKranke.rows(); ++r) {
        if (fgKranke.cols() > 1 && vt::upperTrim(fgKranke.textMatrix(r, 1)) == QLatin1String("LK") && !o.lk)
            continue;
        for (int c = 1; c < fgKranke.cols(); ++c) {
            const QString t = fgKranke.textMatrix(r, c);
            if (c == kKlasse)
                ws.setValue(r + 3, 1, QLatin1Char('\'') + t);
            else if (c == kName)
                ws.setValue(r + 3, 2, t);
            else if (c == kGrund && o.grund)
                ws.setValue(r + 3, 3, o.klartext && grundKlartext ? grundKlartext(t) : t);
            else if (c == kBemerkung && o.bemerkung)
                ws.setValue(r + 3, o.grund ? 4 : 3, t);
        }
    }
    ws.autoFitColumns(1, 6);
    ws.setAutoFilterAround(3, 1);
    ws.setValue(1, 1, QStringLiteral("Absenzen am ") + vt::trimBlanks(datum));
}

} // namespace absence::excellisten
