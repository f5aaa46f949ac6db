// The calendar's Excel export at full size: 400 day rows by 45 classes, an entry with a note in every
// fifth cell; the workbook built from the grid, then written.
#include "bench/bench.h"
#include "calendar/gridexcel.h"
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"

#include <QDir>

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
