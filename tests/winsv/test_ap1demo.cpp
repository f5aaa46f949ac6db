// The final-exam overview on the demo school: its grade-10 classes, and marks and counts that
// agree with WinSV's report rows read directly.
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"
#include "winsv/ap1logik.h"
#include "winsv/frm_ap1.h"

#include <QLabel>
#include <QListWidget>
#include <gtest/gtest.h>

TEST(Ap1Demo, MarkenUndZaehlerStimmenMitDemZeugnis)
{
    testsupport::Sandbox box;
    demo::Options o;
    o.out = box.file("demo");
    o.pupils = 300;
    o.teachers = 20;
    o.classes = 12;
    o.today = QDate(2024, 11, 12);
    const demo::Result res = demo::generate(o);
    demo::useFiles(res);

    frm_AP1 w;
    testsupport::MsgRecorder rec;
    w.formLoad();
    EXPECT_TRUE(rec.boxes.isEmpty()) << rec.texts().join(" | ").toStdString();
    ASSERT_GT(w.lstKlasse->count(), 0);
    for (int i = 0; i < w.lstKlasse->count(); ++i)
        EXPECT_TRUE(w.lstKlasse->item(i)->text().startsWith("10"));
    ASSERT_GT(w.fg_Schueler->rows(), 3);

    // Expected from the report rows: failing pupils, and Rel's offered oral exams (annual grade
    // above 4, or an oral mark of 5 or 6).
    zdb::Db sv;
    sv.open(res.winsvFile, zdb::Db::ReadOnly);
    int rel = 0, markiert = 0, ohneZeugnis = 0;
    for (int r = 0; r < w.fg_Schueler->rows(); ++r) {
        const zdb::Result z = sv.query("SELECT * FROM DZeugnis WHERE _Z_SCHUELER_ID = ?", {QString::number(*w.winsvNummer(r))});
        if (z.isEmpty()) {
            ++ohneZeugnis;
            EXPECT_EQ(w.fg_Schueler->cellBackColor(r, 0), 0);
            continue;
        }
        bool faellt = false;
        for (int i = 1; i <= 25; ++i)
            faellt = faellt || accessfn::accessVal(z.value(0, QStringLiteral("Z_%1").arg(i, 2, 10, QLatin1Char('0'))).toString()) > 4;
        const QString muendlich = (z.value(0, "Z_26").toString() + "--").left(1);
        if (accessfn::accessVal(z.value(0, "Z_01").toString()) > 4 || muendlich == "5" || muendlich == "6")
            ++rel;
        markiert += faellt;
        EXPECT_EQ(w.fg_Schueler->cellBackColor(r, 0), faellt ? ap1::Hellrot : 0) << r;
    }
    EXPECT_EQ(ohneZeugnis, 0);
    EXPECT_GT(markiert, 0);
    EXPECT_EQ(w.zelle("lbl_AnzRel")->text(), rel ? QString::number(rel) : QString());
    EXPECT_EQ(w.zelle("lbl_Name")->text(), w.fg_Schueler->textMatrix(0, 0));
}
