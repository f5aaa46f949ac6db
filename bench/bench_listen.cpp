// Free SQL lists: the Access-dialect translation of typed statements, and a list run into the
// grid on the demo school (a join over pupils, grades and courses, and the whole grade table).
#include "bench/bench.h"

#include "core/mdl_zandrel.h"
#include "platform/accesssql.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "records/frm_listen.h"
#include "tools/demo/demoschool.h"

#include <QLabel>
#include <QPlainTextEdit>

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

    demo::Options o;
    o.out = bench::scratchDir() + QStringLiteral("/listen");
    const demo::Result r = demo::generate(o);
    mdl::NMDateiParameter = r.nmFile;
    mdl::Benutzer = QStringLiteral("X");
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    {
        frm_Listen w;
        w.rtfSQL->setPlainText(getippt);
        const double join = bench::timeMs([&] { w.cmd_SQL_ausfuehren_Click(); });
        bench::report(QStringLiteral("join of pupils, grades, courses into the grid (") + w.lblAnzahl->text() + ')',
                      join, QStringLiteral("ms"));
        w.rtfSQL->setPlainText(QStringLiteral("SELECT * FROM Noten;"));
        const double alle = bench::timeMs([&] { w.cmd_SQL_ausfuehren_Click(); });
        bench::report(QStringLiteral("whole grade table into the grid (") + w.lblAnzahl->text() + ')', alle,
                      QStringLiteral("ms"));
    }
    msg::clearHandler();
    mdl::NMDatenbankZuruecksetzen();
    mdl::NMDateiParameter.clear();
    bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), QStringLiteral("MiB"));
}
