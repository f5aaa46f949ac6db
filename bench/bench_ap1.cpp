// Final-exam overview on a demo school with classes of about 30 pupils: the load (whose class pass
// shows every pupil's sheet once and the first again) and a class choice, beside one sheet alone.
#include "bench/bench.h"

#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "tools/demo/demoschool.h"
#include "winsv/frm_ap1.h"

#include <QListWidget>

ZBENCH("ap1")
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (bench::scratchDir() + "/ap1-config").toUtf8());
    demo::Options o;
    o.out = bench::scratchDir() + "/ap1-demo";
    o.pupils = 1800;
    o.classes = 60;
    o.teachers = 80;
    o.today = QDate(2024, 11, 12);
    const demo::Result res = demo::generate(o);
    demo::useFiles(res);
    msg::setHandler([](const msg::Request &) { return msg::OK; });

    {
        frm_AP1 w;
        const double laden = bench::timeMs([&] { w.formLoad(); });
        const int n = w.fg_Schueler->rows();
        bench::report("pupils of the first class", n, "");
        bench::report("load with the class pass", laden, "ms");
        w.lstKlasse->setCurrentRow(std::min(1, w.lstKlasse->count() - 1));
        const double wahl = bench::timeMs([&] { w.lstKlasse_Click(); });
        bench::report("class choice (pupils " + QString::number(w.fg_Schueler->rows()) + ")", wahl, "ms");
        w.fg_Schueler->setRow(w.fg_Schueler->rows() - 1);
        const double blatt = bench::timeMs([&] {
            for (int i = 0; i < 20; ++i)
                w.fg_Schueler_Click();
        }) / 20;
        bench::report("one sheet", blatt, "ms");
        bench::report("class choice / (pupils + 1) sheets", wahl / (blatt * (w.fg_Schueler->rows() + 1)), "");
    }
    msg::clearHandler();
    qputenv("XDG_CONFIG_HOME", oldConfig);
}
