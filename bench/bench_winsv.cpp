// Reconciliation with WinSV on a demo school of 16,000 pupils: the full comparison ready to paint and
// the write-back of 1,000 differing pupils, each beside the bare reads of the two sources.
#include "bench/bench.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/winsvodbc.h"
#include "tools/demo/demoschool.h"
#include "winsv/datenvergleich.h"
#include "winsv/frm_datenabgleich.h"
#include "winsv/rueckschreiben.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

ZBENCH("winsv")
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (bench::scratchDir() + "/winsv-config").toUtf8());

    demo::Options o;
    o.out = bench::scratchDir() + "/winsv-demo";
    o.pupils = 16000;
    o.classes = 560;
    o.teachers = 400;
    o.today = QDate(2024, 11, 12);
    demo::Result res;
    const double gen = bench::timeMs([&] { res = demo::generate(o); });
    bench::report("demo school generated (pupils)", res.pupils, "");
    bench::report("demo generation", gen, "ms");
    demo::useFiles(res);

    // 1,000 attending pupils whose town differs in WinSV.
    {
        zdb::Db w;
        w.open(res.winsvFile);
        w.exec("UPDATE DSchueler SET ANSCHR1_ORT = ANSCHR1_ORT || ' (neu)' WHERE rowid IN (SELECT rowid FROM DSchueler "
               "WHERE KLASSE <> 'AUS' AND AUSTR_DATUM IS NULL ORDER BY rowid LIMIT 1000)");
    }

    // Bare reads of the two sources.
    int winsvZeilen = 0, nmZeilen = 0;
    const double leseWinsv = bench::timeMs([&] {
        winsvdb::Connection c(res.winsvFile);
        winsvZeilen = c.query(winsv::winsvAbfrage()).rowCount();
    });
    const double leseNm = bench::timeMs([&] {
        mdl::NMDatenbankOeffnen();
        nmZeilen = mdl::dbNM().query(winsv::nmAbfrage(mdl::dbNM())).rowCount();
        mdl::NMDatenbankSchliessen();
    });
    const double lesen = leseWinsv + leseNm;
    bench::report("WinSV rows read", winsvZeilen, "");
    bench::report("grade-manager rows read", nmZeilen, "");
    bench::report("bare read WinSV (ODBC)", leseWinsv, "ms");
    bench::report("bare read grade manager", leseNm, "ms");

    msg::setHandler([](const msg::Request &) { return int(msg::Yes); });
    {
        frm_Datenabgleich w;
        w.resize(1400, 900);
        w.show();
        w.optSDDF1_NM->setText(res.winsvFile);
        w.optSDDF1_NM->setChecked(true);
        const double vergleich = bench::timeMs([&] { w.cmdVergleich_Click(); });
        bench::report("full comparison in the window, ready to paint", vergleich, "ms");
        bench::report("comparison / bare reads", vergleich / lesen, "x");
        bench::report("pairs with differences", w.lblUnterschiede->text().section(' ', 3, 3).toDouble(), "");

        const QVector<winsv::RueckschreibPaar> paare = winsv::sichtbarePaare(w.fg->store());
        bench::report("pupils to write back", paare.size(), "");
        winsv::RueckschreibErgebnis e;
        const double schreiben = bench::timeMs([&] {
            mdl::NMDatenbankOeffnen();
            winsv::Rueckschreiben rs(mdl::dbNM(), [] { QCoreApplication::processEvents(); });
            e = rs.ausfuehren(paare);
            mdl::NMDatenbankSchliessen();
        });
        bench::report("pupils written", e.geschrieben, "");
        bench::report("write-back", schreiben, "ms");
        bench::report("write-back / bare reads", schreiben / lesen, "x");

        const double runde = bench::timeMs([&] { w.cmdAbgleich_Click(); });
        bench::report("button round (write-back, messages, new comparison)", runde, "ms");
    }
    msg::clearHandler();
    bench::report("peak memory", bench::peakMemoryMiB(), "MiB");
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}
