#include "calendar/gridexcel.h"
#include "calendar/kalendertage.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/grid/vsgrid.h"
#include "platform/units.h"
#include "platform/xlsxbook.h"


namespace kalender {

namespace {

constexpr int ErsteZeile = 4; // the grid's row 0 lands in worksheet row 4

} // namespace

void gridInMappe(const VSGrid &grid, xlsx::Workbook &book, const QDateTime &jetzt,
                 const std::function<void(double, double)> &fortschritt)
{
    auto melden = [&](double x, double xmax) {
        if (fortschritt)
            fortschritt(x, xmax);
    };
    xlsx::Worksheet &ws = book.sheet(1);
    const GridStore &g = grid.store();

    // Copy pass: the thin weekend rows (30 twips) and hidden rows stay out.
    int zeile = ErsteZeile - 1, lastCol = 0;
    for (int i = 0; i < grid.rows(); ++i) {
        melden(i, grid.rows() - 1);
        if (g.rowHidden(i) || g.rowHeight(i) <= 50)
            continue;
        ++zeile;
        int spalte = 0;
        for (int j = 0; j < grid.cols(); ++j) {
            if (!g.colShown(j))
                continue;
            ++spalte;
            ws.setValue(zeile, spalte, g.textMatrix(i, j));
            const QString notiz = g.cellData(i, j).toString();
            if (i >= 1 && j >= 1 && !notiz.trimmed().isEmpty())
                ws.addComment(zeile, spalte, notiz);
        }
        lastCol = spalte;
        const long farbe = g.cellBackColor(i, 0);
        if (lastCol > 0 && farbe == units::Yellow)
            ws.setFillIndex(xlsx::Range(zeile, 1, zeile, lastCol), 6);
        else if (lastCol > 0 && farbe == units::Red)
            ws.setFillIndex(xlsx::Range(zeile, 1, zeile, lastCol), 3);
    }
    const int lastRow = zeile;
    if (lastRow >= ErsteZeile && lastCol >= 1) {
        ws.setFillIndex(xlsx::Range(ErsteZeile, 1, ErsteZeile, lastCol), 15);
        ws.setFillIndex(xlsx::Range(ErsteZeile, 1, lastRow, 1), 15);
        ws.setBorders(xlsx::Range(ErsteZeile, 1, lastRow, lastCol), xlsx::Thin, xlsx::Thin);

        // Row pass: heights, and a medium line under the header and under every Friday.
        for (int r = ErsteZeile; r <= lastRow; ++r) {
            melden(r, lastRow - ErsteZeile);
            ws.autoFitRow(r);
            if (r == ErsteZeile || ws.text(r, 1).trimmed().toUpper().startsWith(QLatin1String("FR")))
                ws.setBorder(xlsx::Range(r, 1, r, lastCol), xlsx::EdgeBottom, xlsx::Medium);
        }
        // Column pass, one beyond the table: widths, and a medium line where the grade changes.
        for (int c = 1; c <= lastCol + 1; ++c) {
            melden(c, lastCol);
            ws.autoFitColumn(c);
            if (c > 1 && mdl::KlassenStufe(ws.text(ErsteZeile, c - 1)) != mdl::KlassenStufe(ws.text(ErsteZeile, c)))
                ws.setBorder(xlsx::Range(ErsteZeile, c, lastRow, c), xlsx::EdgeLeft, xlsx::Medium);
        }
    }
    ws.setValue(1, 1, QStringLiteral("Schulaufgabenkalender (intern - nicht zur Weitergabe an Schüler oder Eltern!!!)"));
    ws.setFont(xlsx::Range(1, 1), QStringLiteral("Arial"), 12);
    ws.setBold(xlsx::Range(1, 1));
    ws.setText(2, 1, QStringLiteral("exportiert am ") + datetexts::format(jetzt, QStringLiteral("dd.mm.yyyy hh:mm")));
}

bool GridNachExcel(const VSGrid &grid, const QString &dateiname, QString *fehler,
                   const std::function<void(double, double)> &fortschritt)
{
    xlsx::Workbook book;
    gridInMappe(grid, book, QDateTime::currentDateTime(), fortschritt);
    return book.save(xlsx::xlsxPath(dateiname), fehler);
}

} // namespace kalender
