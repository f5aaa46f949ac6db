#include "records/lehrerliste.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/xlsxbook.h"

namespace lehrerliste {

QVector<Lehrer> lehrerLesen(zdb::Db &nm)
{
    // Access compares the abbreviations without regard to case and sorts names in German order.
    const zdb::Result r = nm.query(QStringLiteral(
        "SELECT Kürzel, Name, Vorname, Dienstbezeichnung FROM Lehrkräfte "
        "WHERE (NOT Kürzel = 'X' COLLATE NOCASEU AND NOT Kürzel = 'XS' COLLATE NOCASEU) "
        "ORDER BY Name COLLATE DEU, Vorname COLLATE DE;"));
    QVector<Lehrer> out;
    out.reserve(r.rowCount());
    for (const auto &row : r.rows)
        out.push_back({mdl::NullZuText(row[0]), mdl::NullZuText(row[1]), mdl::NullZuText(row[2]),
                       mdl::NullZuText(row[3])});
    return out;
}

void blattFuellen(xlsx::Workbook &book, const QVector<Lehrer> &lehrer, const QDate &heute)
{
    xlsx::Worksheet &ws = book.sheet(1);
    const QStringList kopf{QStringLiteral("Kürzel"), QStringLiteral("Name"), QStringLiteral("Vorname"),
                           QStringLiteral("Amtsbez.")};
    for (int c = 0; c < kopf.size(); ++c)
        ws.setValue(3, c + 1, kopf[c]);
    int zeile = 3;
    for (const Lehrer &l : lehrer) {
        ++zeile;
        ws.setValue(zeile, 1, l.kuerzel);
        ws.setValue(zeile, 2, l.name);
        ws.setValue(zeile, 3, l.vorname);
        ws.setValue(zeile, 4, l.dienstbezeichnung);
    }
    // Widths before the title, so that the title does not widen column A.
    ws.autoFitColumns(1, 4);
    for (int c = 5; c <= 12; ++c)
        ws.setColumnWidth(c, 4);
    ws.setValue(1, 1, QStringLiteral("Lehrerliste: (erstellt am ") + datetexts::format(heute, QStringLiteral("dd.mm.yyyy")).trimmed()
                          + QLatin1Char(')'));
    ws.setBold(xlsx::Range(1, 1));
    const int letzte = 3 + int(lehrer.size());
    for (const xlsx::Range &r : {xlsx::Range(3, 1, 3, 4), xlsx::Range(3, 5, 3, 12), xlsx::Range(4, 1, letzte, 4),
                                 xlsx::Range(4, 5, letzte, 12)})
        ws.setBorders(r, xlsx::Medium, xlsx::Thin);
    ws.pageSetup().titleRowFirst = 1;
    ws.pageSetup().titleRowLast = 3;
    ws.pageSetup().titleColFirst = 1;
    ws.pageSetup().titleColLast = 3;
}

QString lesefehlerText(const zdb::DbError &e)
{
    return QStringLiteral("Die Lehrer konnten nicht gelesen werden.\r") + e.germanText();
}

Ergebnis arbeitsmappeAnlegen(const QVector<Lehrer> &lehrer, const QDate &heute)
{
    if (lehrer.isEmpty())
        return {false, QStringLiteral("Es wurden keine Lehrer gefunden.")};
    xlsx::Workbook book;
    blattFuellen(book, lehrer, heute);
    QString fehler;
    docs::Handover h = docs::Handover::Failed;
    const QString pfad = book.openUnsaved(QStringLiteral("Lehrerliste"), &fehler, &h);
    if (pfad.isEmpty())
        return {false, QStringLiteral("Die Lehrerliste konnte nicht erstellt werden.\r") + fehler};
    return {true, docs::handOverText(h, QStringLiteral("Excel wurde gestartet. Die Lehrerliste wurde dort angelegt."),
                                     pfad)};
}

} // namespace lehrerliste
