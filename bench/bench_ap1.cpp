// Final-exam overview on the demo school at 1x and 20x: the load (whose class pass shows every pupil's
// sheet once and the first again) and a class choice, beside the sheets' WinSV reads alone through
// ODBC and the same statements through plain SQLite.
#include "bench/bench.h"
#include "bench/nackt.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/winsvodbc.h"
#include "tools/demo/demoschool.h"
#include "winsv/ap1blatt.h"
#include "winsv/ap1logik.h"
#include "winsv/frm_ap1.h"

#include <QListWidget>

namespace {

// The WinSV numbers of a class's pupils, in the order the window lists them.
QVector<qint64> nummern(const QString &klasse)
{
    QVector<qint64> out;
    mdl::NMDatenbankOeffnen();
    for (const ap1::Schueler &s : ap1::schuelerDerKlasse(mdl::dbNM(), klasse))
        out << s.winsvNr.value_or(0);
    mdl::NMDatenbankSchliessen();
    return out;
}

// The three statements of one sheet through plain SQLite, for information.
void blattRoh(bench::Nackt &d, qint64 id)
{
    const QString t = QString::number(id);
    d.lesen("SELECT _SCHUELER_ID, KLASSE, FAMILIENNAME, RUFNAME, GESCHLECHT, AUSBILDUNGSR, VORJAHR_KLASSE, "
            "JAHRGANGSSTUFE FROM DSchueler WHERE _SCHUELER_ID = ?1", {t});
    d.lesen("SELECT K_LEITER, K_LEITER_TITEL, K_LEITER_GESCHL, K_NAME FROM DKlassen WHERE K_NAME = "
            "(SELECT KLASSE FROM DSchueler WHERE _SCHUELER_ID = ?1)", {t});
    d.lesen("SELECT * FROM DZeugnis WHERE _Z_SCHUELER_ID = ?1", {t});
}

} // namespace

ZBENCH("ap1")
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (bench::scratchDir() + "/ap1-config").toUtf8());
    msg::setHandler([](const msg::Request &) { return msg::OK; });

    for (int faktor : {1, 20}) {
        const QString x = QStringLiteral(" %1x").arg(faktor);
        const demo::Result &res = bench::school(faktor);
        demo::useFiles(res);
        frm_AP1 w;
        bench::zeigen(w);
        const double laden = bench::timeMs([&] { bench::bisGemalt(&w, [&] { w.formLoad(); }); });
        bench::report("classes of grade 10" + x, w.lstKlasse->count(), "");
        bench::report("load with the class pass" + x, laden, "ms");
        w.lstKlasse->setCurrentRow(std::min(1, w.lstKlasse->count() - 1));
        const QString klasse = w.lstKlasse->currentItem() ? w.lstKlasse->currentItem()->text() : QString();
        // The handler a change of the chosen row runs, through to the paint (a click on the chosen row
        // changes nothing).
        const double wahl = bench::medianMs([&] { bench::bisGemalt(&w, [&] { w.lstKlasse_Click(); }); }, 3);
        const int n = w.fg_Schueler->rows();
        bench::report("pupils of the chosen class" + x, n, "");
        bench::report("class choice" + x, wahl, "ms");

        // The same sheets' reads alone: n + 1 sheets, as the class pass shows them.
        const QVector<qint64> ids = nummern(klasse);
        const double odbc = bench::medianMs([&] {
            winsvdb::Connection c(res.winsvFile);
            for (qint64 id : ids)
                ap1::blattLesen(c, id);
            if (!ids.isEmpty())
                ap1::blattLesen(c, ids.first());
        }, 3);
        const double roh = bench::medianMs([&] {
            bench::Nackt d(res.winsvFile);
            for (qint64 id : ids)
                blattRoh(d, id);
            if (!ids.isEmpty())
                blattRoh(d, ids.first());
        }, 3);
        bench::report("sheets' reads through ODBC" + x, odbc, "ms");
        bench::report("sheets' reads, plain SQLite (information)" + x, roh, "ms");
        bench::report("class choice / sheets' ODBC reads" + x, odbc > 0 ? wahl / odbc : 0, "x");
    }
    msg::clearHandler();
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}
