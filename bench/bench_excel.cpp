// Workbooks: the calendar's Excel export (400 day rows by 45 classes, an entry with a note in every
// fifth cell) and the performance-record grid saved as a workbook (165 columns; 450 rows at 1x,
// 9,000 at 20x), beside the same cells written with plain libxlsxwriter calls; the auto filter's block
// around a long list.
#include "bench/bench.h"
#include "calendar/gridexcel.h"
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

ZBENCH("excel-calendar")
{
    VSGrid g;
    const int tage = 400, klassen = 45;
    g.setRows(tage + 1);
    g.setCols(klassen + 1);
    for (int c = 1; c <= klassen; ++c)
        g.setTextMatrix(0, c, QStringLiteral("%1%2").arg(5 + c / 5).arg(QChar('a' + c % 5)));
    for (int r = 1; r <= tage; ++r) {
        const QDate d = QDate(2016, 9, 12).addDays(r - 1);
        g.setTextMatrix(r, 0, d.toString(QStringLiteral("ddd dd.MM.")));
        g.setRowHeight(r, d.dayOfWeek() >= 6 ? 30 : 240);
        for (int c = 1; c <= klassen; ++c)
            if ((r + c) % 5 == 0) {
                g.setTextMatrix(r, c, QStringLiteral("M D"));
                g.setCellData(r, c, QStringLiteral("Mathematik (MÜL)\nDeutsch (ABC)\n"));
            }
    }
    bench::report(QStringLiteral("build workbook from grid"), bench::medianMs([&] {
        xlsx::Workbook book;
        kalender::gridInMappe(g, book, QDateTime::currentDateTime());
    }, 3), "ms");
    xlsx::Workbook book;
    kalender::gridInMappe(g, book, QDateTime::currentDateTime());
    const QString pfad = QDir(bench::scratchDir()).filePath(QStringLiteral("kalender.xlsx"));
    bench::report(QStringLiteral("write .xlsx"), bench::medianMs([&] { book.save(pfad); }, 3), "ms");
}

ZBENCH("excel-filter-region")
{
    // An absence list of 60,000 rows by 6 columns: the filter's block is found around its heading.
    xlsx::Worksheet ws(QStringLiteral("Tabelle1"));
    for (int r = 3; r <= 60002; ++r)
        for (int c = 1; c <= 6; ++c)
            ws.setValue(r, c, QStringLiteral("x"));
    bench::report(QStringLiteral("auto filter around a 60,000-row list"),
                  bench::medianMs([&] { ws.setAutoFilterAround(3, 1); }, 3), "ms");
}

namespace {

constexpr int KopfZeilen = 2, FesteSpalten = 3, Spalten = 165;

// A grade, a "2,13"-like average, a mark or nothing, as the performance-record grid holds them.
QString zelle(int r, int c)
{
    switch ((r * 7 + c) % 6) {
    case 0: return QStringLiteral("%1").arg(1 + (r + c) % 6);
    case 1: return QStringLiteral("%1,%2").arg(1 + r % 5).arg((c * 13) % 100, 2, 10, QLatin1Char('0'));
    case 2: return QStringLiteral("x");
    case 3: return QStringLiteral("05.03.");
    default: return QString();
    }
}

void lnwFuellen(VSGrid &g, int zeilen)
{
    g.setRows(KopfZeilen + zeilen);
    g.setCols(Spalten);
    g.setFixedRows(KopfZeilen);
    g.setFixedCols(FesteSpalten);
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    for (int c = FesteSpalten; c < Spalten; ++c) {
        g.setTextMatrix(0, c, QStringLiteral("SA %1").arg((c - FesteSpalten) / 3 + 1));
        g.setTextMatrix(1, c, QStringLiteral("Note"));
    }
    for (int r = KopfZeilen; r < KopfZeilen + zeilen; ++r) {
        g.setTextMatrix(r, 0, QStringLiteral("Name %1, Vorname").arg(r));
        g.setTextMatrix(r, 1, QStringLiteral("%1%2").arg(5 + r % 8).arg(QChar('a' + r % 4)));
        g.setTextMatrix(r, 2, QStringLiteral("M"));
        for (int c = FesteSpalten; c < Spalten; ++c) {
            g.setTextMatrix(r, c, zelle(r, c));
            if ((r + c) % 17 == 0)
                g.setCellBackColor(r, c, 255);
        }
    }
}

// The same cells with plain libxlsxwriter calls: the floor of any workbook writer.
void bareSchreiben(const VSGrid &g, const QString &pfad)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(pfad).constData());
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Tabelle1");
    lxw_format *rot = workbook_add_format(wb);
    format_set_bg_color(rot, 0xFF0000);
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c) {
            const QString t = g.textMatrix(r, c);
            double v = 0;
            int stellen = 0;
            lxw_format *f = g.cellBackColor(r, c) ? rot : nullptr;
            if (xlsx::plainNumber(t, v, stellen))
                worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), v, f);
            else if (!t.isEmpty())
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), t.toUtf8().constData(), f);
        }
    workbook_close(wb);
}

} // namespace

ZBENCH("excel-lnw")
{
    for (const int faktor : {1, 20}) {
        const QString x = QStringLiteral(" %1x").arg(faktor);
        VSGrid g;
        lnwFuellen(g, 450 * faktor);
        const QString pfad = QDir(bench::scratchDir()).filePath(QStringLiteral("LNW.xlsx"));
        const double ms = bench::medianMs([&] { g.saveXlsx(pfad); }, faktor == 1 ? 5 : 3, faktor == 1);
        bench::report(QStringLiteral("save grid as workbook, %1 rows x 165 columns").arg(450 * faktor) + x, ms, "ms");
        const double bare = bench::medianMs([&] { bareSchreiben(g, pfad); }, faktor == 1 ? 5 : 3, faktor == 1);
        bench::report(QStringLiteral("bare libxlsxwriter, same cells") + x, bare, "ms");
        if (faktor == 20) {
            bench::aimBelow(QStringLiteral("save grid as workbook, 9000 rows x 165 columns"), ms, 3000);
            bench::aimRatio(QStringLiteral("save grid as workbook / bare libxlsxwriter, 20x"), ms, bare, 2.0);
            bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), "MiB");
        }
    }
}
