// Free SQL lists: the Access-dialect translation of typed statements, and the click on "SQL-String
// ausführen" in the shown window through to the finished repaint on the demo school at 1x and 20x (a
// join over pupils, grades and courses, and the whole grade table with its column sizing), beside the
// bare read of the same rows with plain SQLite calls on a plain connection, opened for the read as the
// window opens the file for each click. Typed GROUP BY, DISTINCT and ORDER BY over the grade table at
// 20x, run as the window runs them (prepared, then read on a thread of their own to the rows ready as
// cell texts), each beside the same statement in plain SQLite.
#include "bench/bench.h"
#include "bench/nackt.h"

#include "core/mdl_zandrel.h"
#include "platform/accesssql.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "records/frm_listen.h"
#include "records/listenlogik.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

namespace {

// The typed join in plain SQL: the same rows, without the view's formatting and order.
const QString kJoinPlain = QStringLiteral(
    "SELECT S.Klasse || ': ' || S.Name || ', ' || S.Vorname AS Schüler, U.Fach, N.sa1, N.sa2, "
    "CASE WHEN S.LRS <> 0 THEN 'LRS' ELSE '' END AS Hinweis, S.Geburtsdatum AS Geboren "
    "FROM (Schüler AS S INNER JOIN Noten AS N ON S.SchülerNr = N.SchülerNr) "
    "INNER JOIN Unterricht AS U ON N.UIndex = U.\"Index\" "
    "WHERE S.Geburtsdatum >= '2008-08-01' AND U.Fach LIKE 'M%'");

// Typed statements over every grade row with its pupil: grouped, distinct, sorted. Plain SQLite
// reads them as they stand; typed, they group, compare and sort as Access does (German order).
struct Getippt {
    const char *name;
    const char *sql;
};
const Getippt kGetippt[] = {
    {"GROUP BY", "SELECT Schüler.Klasse, Count(*) AS Anzahl FROM Schüler INNER JOIN Noten "
                 "ON Schüler.SchülerNr = Noten.SchülerNr GROUP BY Schüler.Klasse;"},
    {"DISTINCT", "SELECT DISTINCT Schüler.Name, Schüler.Vorname FROM Schüler INNER JOIN Noten "
                 "ON Schüler.SchülerNr = Noten.SchülerNr;"},
    {"ORDER BY", "SELECT Schüler.Name, Schüler.Vorname, Schüler.Klasse, Noten.sa1 FROM Schüler INNER JOIN Noten "
                 "ON Schüler.SchülerNr = Noten.SchülerNr ORDER BY Schüler.Name, Schüler.Vorname;"},
};

} // namespace

ZBENCH("listen")
{
    const QString builder = QStringLiteral(
        "SELECT Schüler.Name, Schüler.Vorname\r\nFROM Schüler\r\n"
        "WHERE (((Schüler.Name) LIKE \"M*\") AND ((Schüler.Klasse)= '5a') )\r\nORDER BY Schüler.Name, Schüler.Klasse DESC ;");
    const QString getippt = QStringLiteral(
        "SELECT S.Klasse & ': ' & S.Name & ', ' & S.Vorname AS Schüler, U.Fach, N.sa1, N.sa2, "
        "IIf(S.LRS = True, 'LRS', '') AS Hinweis, Format(S.Geburtsdatum, 'dd.mm.yyyy') AS Geboren "
        "FROM (Schüler AS S INNER JOIN Noten AS N ON S.SchülerNr = N.SchülerNr) "
        "INNER JOIN Unterricht AS U ON N.UIndex = U.Index "
        "WHERE S.Geburtsdatum >= #8/1/2008# AND U.Fach Like 'M*' ORDER BY S.Klasse, S.Name;");
    const int n = 10000;
    const double ms = bench::timeMs([&] {
        for (int i = 0; i < n; ++i) {
            accesssql::translate(builder);
            accesssql::translate(getippt);
        }
    });
    bench::report(QStringLiteral("translate one statement"), ms * 1000.0 / (2.0 * n), QStringLiteral("us"));

    mdl::Benutzer = QStringLiteral("X");
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    for (const int faktor : {1, 20}) {
        const QString x = QStringLiteral(" at %1x").arg(faktor);
        mdl::NMDateiParameter = bench::school(faktor).nmFile;
        frm_Listen w;
        bench::zeigen(w);
        auto ausfuehren = [&] { bench::klicken(w.cmd_SQL_ausfuehren); };
        w.rtfSQL->setPlainText(getippt);
        const double join = bench::medianMs(ausfuehren, 3);
        bench::report(QStringLiteral("click on \"SQL-String ausführen\", join of pupils, grades, courses (") +
                          w.lblAnzahl->text() + ')' + x,
                      join, QStringLiteral("ms"));
        bench::report(QStringLiteral("join, bare read of the same rows in plain SQL") + x,
                      bench::medianMs([&] { bench::Nackt(mdl::NMDateiParameter).lesen(kJoinPlain); }, 3),
                      QStringLiteral("ms"));

        const QString alle = QStringLiteral("SELECT * FROM Noten;");
        w.rtfSQL->setPlainText(alle);
        const bench::Paar p = bench::paarweise(ausfuehren, [&] { bench::Nackt(mdl::NMDateiParameter).lesen(alle); },
                                               faktor == 1 ? 7 : 5);
        bench::report(QStringLiteral("whole grade table, bare read") + x, p.bareMs, QStringLiteral("ms"));
        const QString was = QStringLiteral("click on \"SQL-String ausführen\", whole grade table with column sizing (") +
                            w.lblAnzahl->text() + ')' + x;
        bench::report(was, p.ms, QStringLiteral("ms"));
        if (faktor == 20) // at 1x the figures are too small to hold a ratio on a shared machine
            bench::aimRatio(was + QStringLiteral(" vs bare read"), p, 2.5);
        const double groesse = bench::medianMs([&] { w.fg->autoSize(0, w.fg->cols() - 1); }, 3);
        bench::report(QStringLiteral("column sizing alone (information)") + x, groesse, QStringLiteral("ms"));
        mdl::NMDatenbankZuruecksetzen();
    }

    // At 20x only: at 1x the figures are too small to hold a ratio on a shared machine.
    mdl::NMDateiParameter = bench::school(20).nmFile;
    for (const Getippt &g : kGetippt) {
        const QString sql = QString::fromUtf8(g.sql);
        int zeilen = 0;
        const bench::Paar p = bench::paarweise(
            [&] {
                listen::Hintergrundlauf lauf(listen::vorbereiten(sql), {}, {});
                const listen::Ergebnis e = lauf.ergebnis();
                if (e.status != listen::Ergebnis::Daten) {
                    std::fprintf(stderr, "typed %s: status %d %s\n", g.name, int(e.status), qPrintable(e.meldung));
                    std::exit(2);
                }
                zeilen = int(e.zeilen.size());
            },
            [&] { bench::Nackt(mdl::NMDateiParameter).lesen(sql); }, 5);
        const QString was = QStringLiteral("typed %1 over the grade table, statement to rows ready (%2)")
                                .arg(QLatin1String(g.name), listen::anzahlText(zeilen)) +
                            QStringLiteral(" at 20x");
        bench::report(QStringLiteral("typed %1, the same statement in plain SQLite at 20x").arg(QLatin1String(g.name)),
                      p.bareMs, QStringLiteral("ms"));
        bench::report(was, p.ms, QStringLiteral("ms"));
        bench::aimRatio(was + QStringLiteral(" vs plain SQLite"), p, 2.5);
    }
    mdl::NMDatenbankZuruecksetzen();
    msg::clearHandler();
    mdl::NMDateiParameter.clear();
    bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), QStringLiteral("MiB"));
}
