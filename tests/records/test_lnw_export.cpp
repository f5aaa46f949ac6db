// The performance-record grid handed out: the packed copy of the shown part, Ctrl+C and the workbook.
#include "test_lnw_fixture.h"

#include "records/frm_lnw.h"
#include "records/lnwspalten.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList zeile(const GridStore &g, int r)
{
    QStringList out;
    for (int c = 0; c < g.cols(); ++c)
        out << g.textMatrix(r, c);
    return out;
}

// Teacher AB's own courses: M 5a with "1. SchA" handed in and "2. Ex" overdue, D 6b ungraded.
class LnwExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        lnwtest::NM &nm = anmeldung.nm;
        const qint64 m = nm.kurs("M", "5a", "AB"), d = nm.kurs("D", "6b", "AB");
        nm.gleicheNoten(m, "sa1", "3", 6);
        nm.gleicheNoten(m, "ex2", "2", 7);
        nm.lnw(m, 0, "SA", "2024-03-05");
        nm.lnw(m, 11, "EX");
        nm.lnw(d, 0, "SA");
        w = new frm_LNW;
        w->speichernDialog = [this](const QString &start, const QString &name, const QString &) {
            dialogStart = start;
            return antwort.isEmpty() ? name : antwort;
        };
        w->formActivate();
    }
    void TearDown() override { delete w; }

    lnwtest::Anmeldung anmeldung{"AB", false};
    testsupport::Sandbox ziel;
    testsupport::MsgRecorder boxes;
    frm_LNW *w = nullptr;
    QString antwort, dialogStart;
};

} // namespace

TEST_F(LnwExport, CopyHoldsCourseColumnsAndOneColumnPerUsedTest)
{
    w->Copy_fg_LNW();
    const GridStore &z = w->fg_LNW2->store();
    EXPECT_EQ(zeile(z, 0), QStringList({"Fach", "Klasse", "Lehrer", "1. SchA", "2. Ex"}));
    EXPECT_EQ(zeile(z, 1), QStringList({"", "", "", "abgeg.", "abgeg."}));
    EXPECT_EQ(zeile(z, 2), QStringList({"M", "5a", "AB", "05.03.", ""}));
    EXPECT_EQ(z.cellBackColor(2, 3), lnw::Hellgruen);
    EXPECT_EQ(z.cellBackColor(2, 4), lnw::Hellrot);
    EXPECT_EQ(z.fixedCols(), 3);

    w->chkNichtAbgeg->setChecked(true); // the ungraded D 6b is filtered out
    w->chkNichtAbgeg_Click();
    w->Copy_fg_LNW();
    EXPECT_EQ(w->fg_LNW2->rows(), 3);
}

TEST_F(LnwExport, CtrlCCopiesTheSelectionWithoutHiddenCells)
{
    w->fg_LNW->select(2, 0, 3, 113 + lnw::Abgegeben); // over hidden columns up to "2. Ex" abgeg.
    QTest::keyClick(w->fg_LNW, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "M\t5a\tAB\t05.03.\t\r\nD\t6b\tAB\t\t");
    EXPECT_EQ(w->fg_LNW->colSel(), 121); // the window's selection stays
    w->fg_LNW->select(2, 5, 2, 11); // a hidden start column becomes the copy's column 0
    int taste = 3;
    w->fg_LNW_KeyPress(taste);
    EXPECT_EQ(QApplication::clipboard()->text(), "M\t5a\tAB\t05.03.");
}

TEST_F(LnwExport, WorkbookSavedAsXlsxFolderRememberedCancelAndFailureReported)
{
    antwort = ziel.file("Noten.xls");
    w->cmdExcel_Click();
    EXPECT_EQ(boxes.texts(), QStringList({"Die gewünschte Datei wurde gespeichert."}));
    EXPECT_TRUE(QFileInfo::exists(ziel.file("Noten.xlsx")));
    EXPECT_EQ(settings::getSetting("Save", "LNW"), ziel.path());

    antwort = ziel.file("fehlt/LNW.xlsx");
    w->cmdExcel_Click();
    EXPECT_EQ(boxes.texts().last(),
              "Dateizugriffsfehler. Die Datei wurde nicht gespeichert. Evtl. ist die Datei noch geöffnet.\r\rDatei: "
                  + ziel.file("fehlt/LNW.xlsx") + "\rGrund: Der Ordner \"" + ziel.file("fehlt") + "\" existiert nicht.");
    EXPECT_EQ(dialogStart, ziel.path());

    antwort.clear(); // cancelled: nothing saved, the folder forgotten
    w->cmdExcel_Click();
    EXPECT_EQ(boxes.texts().last(), "Es wurde nichts gespeichert.");
    EXPECT_EQ(settings::getSetting("Save", "LNW", "unberührt"), "");
    settings::saveSetting("Save", "LNW", "C:\\");
    w->cmdExcel_Click();
    EXPECT_EQ(dialogStart, QDir::homePath());
}


TEST_F(LnwExport, WithoutAPrinterThePdfIsHandedOverAndEveryFailureNamesTheFile)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a printer is set up here";
    const QString pdf = ziel.file("tmp/LNW.pdf");
    {
        const testsupport::Desktop desktop;
        w->cmdDruck_Click();
        EXPECT_TRUE(boxes.texts().isEmpty());
        EXPECT_EQ(desktop.files, QStringList{pdf});
        EXPECT_GT(QFileInfo(pdf).size(), 0);
    }
    {
        const testsupport::Desktop desktop(false);
        w->cmdDruck_Click();
        ASSERT_EQ(boxes.texts().size(), 1);
        EXPECT_TRUE(boxes.texts()[0].startsWith("Es ist kein Drucker eingerichtet")) << boxes.texts()[0].toStdString();
        EXPECT_TRUE(boxes.texts()[0].endsWith("\rDatei: " + pdf));
    }
    boxes.boxes.clear();
    {
        // Nothing to hand over when the PDF cannot be written: the file and the reason instead.
        ASSERT_TRUE(QDir(ziel.file("tmp")).removeRecursively());
        const testsupport::Desktop desktop;
        w->cmdDruck_Click();
        EXPECT_EQ(boxes.texts(), QStringList{"Die Übersicht konnte nicht gedruckt werden.\rDatei: " + pdf +
                                             "\rGrund: Der Ordner \"" + ziel.file("tmp") + "\" existiert nicht."});
        EXPECT_TRUE(desktop.files.isEmpty());
    }
}
