// Pupil-to-course overview: one class click (three reads and the grid) on the demo school.
#include "bench/bench.h"

#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "records/frm_unterrichtbearbeiten.h"
#include "tools/demo/demoschool.h"

#include <QListWidget>

ZBENCH("zuordnungen")
{
    demo::Options o;
    o.out = bench::scratchDir() + QStringLiteral("/zuordnungen");
    const demo::Result r = demo::generate(o);
    mdl::NMDateiParameter = r.nmFile;
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    {
        frm_UnterrichtBearbeiten w;
        w.Form_Load();
        const int n = w.lstKlassen->count();
        int zellen = 0;
        const double ms = bench::timeMs([&] {
            for (int i = 0; i < n; ++i) {
                w.lstKlassen->setCurrentRow(i);
                w.lstKlassen_Click();
                zellen = qMax(zellen, w.fg->rows() * w.fg->cols());
            }
        });
        bench::report(QStringLiteral("one class click, mean over %1 classes").arg(n), n ? ms / n : 0,
                      QStringLiteral("ms"));
        bench::report(QStringLiteral("largest class grid"), zellen, QStringLiteral("cells"));
    }
    msg::clearHandler();
    mdl::NMDatenbankZuruecksetzen();
    mdl::NMDateiParameter.clear();
}
