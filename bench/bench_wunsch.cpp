// Teaching-assignment file and the performance-record workbook on a big school: Wunsch.txt for
// 9,000 courses of 300 teachers (read, lines, bytes), and the packed copy of a whole-school grid
// with every sub-column shown and with the default options, saved as a workbook.
#include "bench/bench.h"

#include "records/lnwexport.h"
#include "records/lnwspalten.h"
#include "records/wunschzettel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/demoschool.h"

ZBENCH("wunschzettel")
{
    demo::Options o;
    o.out = bench::scratchDir() + QStringLiteral("/wunsch");
    o.courses = 9000;
    o.classes = 300;
    o.teachers = 300;
    o.pupils = 2000;
    const demo::Result r = demo::generate(o);
    zdb::Db db;
    db.open(r.nmFile);
    QVector<wunsch::Kurs> kurse;
    bench::report(QStringLiteral("read 9000 courses"), bench::timeMs([&] { kurse = wunsch::kurseLesen(db); }),
                  QStringLiteral("ms"));
    QByteArray inhalt;
    bench::report(QStringLiteral("lines and bytes"), bench::timeMs([&] {
                      inhalt = wunsch::dateiInhalt(QStringList{wunsch::kopfzeile()} + wunsch::lehrerZeilen(kurse));
                  }),
                  QStringLiteral("ms"));
    const QString datei = o.out + QStringLiteral("/Wunsch.txt");
    bench::report(QStringLiteral("write"), bench::timeMs([&] { wunsch::schreiben(datei, inhalt); }),
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("courses listed"), kurse.size(), QString());
}

ZBENCH("lnw-export")
{
    VSGrid g;
    g.setCols(lnw::Spalten);
    g.setRows(lnw::KopfZeilen + 9000);
    g.setFixedRows(lnw::KopfZeilen);
    g.setFixedCols(lnw::FesteSpalten);
    GridStore &s = g.store();
    for (int r = lnw::KopfZeilen; r < s.rows(); ++r)
        for (int c = 0; c < lnw::Spalten; ++c)
            if (lnw::unterspalteVon(c) != lnw::LfdNr)
                s.setTextMatrix(r, c, QStringLiteral("2,13"));
    for (int c = 0; c < lnw::Spalten; ++c)
        if (lnw::unterspalteVon(c) == lnw::LfdNr)
            s.setColWidth(c, 0);
    VSGrid kopie;
    bench::report(QStringLiteral("pack 9000 rows x 165 shown columns"),
                  bench::timeMs([&] { lnw::sichtbarKopieren(s, kopie.store()); }), QStringLiteral("ms"));
    bench::report(QStringLiteral("save workbook"),
                  bench::timeMs([&] { kopie.saveXlsx(bench::scratchDir() + QStringLiteral("/LNW.xlsx")); }),
                  QStringLiteral("ms"));
    // The default options: the course columns and "abgeg." of each test.
    for (int c = lnw::FesteSpalten; c < lnw::Spalten; ++c)
        if (lnw::unterspalteVon(c) != lnw::Abgegeben)
            s.setColWidth(c, 0);
    lnw::sichtbarKopieren(s, kopie.store());
    bench::report(QStringLiteral("save workbook, default options (21 columns)"),
                  bench::timeMs([&] { kopie.saveXlsx(bench::scratchDir() + QStringLiteral("/LNW2.xlsx")); }),
                  QStringLiteral("ms"));
}
