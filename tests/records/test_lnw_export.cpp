// The performance-record grid handed out: the packed copy of the shown part, Ctrl+C, the
// workbook with its save dialog, and the printout.
#include "test_lnw_fixture.h"

#include "records/frm_lnw.h"
#include "records/lnwexport.h"
#include "records/lnwspalten.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
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

// Teacher AB's own courses: M 5a with "1. SchA" handed in and "2. Ex" overdue, D 6b with an
// ungraded test.
struct Umgebung {
    lnwtest::NM nm;
    testsupport::Sandbox eigenBox;

    Umgebung()
    {
        zdb::Db eigen;
        eigen.create(eigenBox.file("Zandrel.mdb"));
        nmschema::createOwnPrepared(eigen);
        eigen.close();
        mdl::dbEigen.open(eigenBox.file("Zandrel.mdb"));
        mdl::NMDateiParameter = nm.path();
        mdl::Benutzer = "AB";
        mdl::IstAdmin = false;
        nm.db.exec("INSERT INTO Lehrkräfte (Kürzel, Passwort) VALUES ('AB', 'pw')");
        const qint64 m = nm.kurs("M", "5a", "AB");
        const qint64 d = nm.kurs("D", "6b", "AB");
        nm.gleicheNoten(m, "sa1", "3", 6);
        nm.gleicheNoten(m, "ex2", "2", 7);
        nm.lnw(m, 0, "SA", "2024-03-05");
        nm.lnw(m, 11, "EX");
        nm.lnw(d, 0, "SA");
    }
    ~Umgebung()
    {
        mdl::dbEigen.close();
        mdl::NMDatenbankZuruecksetzen();
        mdl::NMDateiParameter.clear();
        mdl::Benutzer.clear();
    }
};

class LnwExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        w.speichernDialog = [this](const QString &start, const QString &name, const QString &) {
            dialogStart = start;
            return antwort.isEmpty() ? name : antwort;
        };
        w.formActivate();
        ASSERT_EQ(w.fg_LNW->rows(), 4);
    }

    Umgebung u;
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    QString antwort, dialogStart;
};

} // namespace

TEST(LnwKopie, PacksShownRowsAndColumnsWithColoursAndSelection)
{
    GridStore q;
    q.setCols(5);
    q.setRows(4);
    q.setFixedRows(1);
    q.setFixedCols(1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            q.setTextMatrix(r, c, QString("%1%2").arg(r).arg(c));
    q.setColWidth(1, 0);
    q.setColWidth(3, 1); // one twip counts as hidden too
    q.setRowHeight(2, 0);
    q.setColWidth(4, 1234);
    q.setCellBackColor(3, 4, lnw::Hellrot);
    q.setCellForeColor(3, 2, 255);
    q.select(1, 1, 3, 4); // starts in a hidden column

    GridStore z;
    z.setRows(9); // leftovers of an earlier copy go
    z.setCols(9);
    z.setTextMatrix(8, 8, "alt");
    lnw::sichtbarKopieren(q, z);

    ASSERT_EQ(z.rows(), 3);
    ASSERT_EQ(z.cols(), 3);
    EXPECT_EQ(z.fixedRows(), 1);
    EXPECT_EQ(z.fixedCols(), 1);
    EXPECT_EQ(zeile(z, 0), QStringList({"00", "02", "04"}));
    EXPECT_EQ(zeile(z, 2), QStringList({"30", "32", "34"}));
    EXPECT_EQ(z.colWidth(2), 1234);
    EXPECT_EQ(z.cellBackColor(2, 2), lnw::Hellrot);
    EXPECT_EQ(z.cellForeColor(2, 1), 255);
    EXPECT_EQ(z.cellBackColor(1, 1), 0);
    // The hidden start column maps to column 0 of the copy.
    EXPECT_EQ(z.row(), 1);
    EXPECT_EQ(z.col(), 0);
    EXPECT_EQ(z.rowSel(), 2);
    EXPECT_EQ(z.colSel(), 2);
    // The original keeps its selection.
    EXPECT_EQ(q.col(), 1);
    EXPECT_EQ(q.colSel(), 4);
}

TEST_F(LnwExport, CopyHoldsCourseColumnsAndOneColumnPerUsedTest)
{
    w.Copy_fg_LNW();
    const GridStore &z = w.fg_LNW2->store();
    EXPECT_EQ(zeile(z, 0), QStringList({"Fach", "Klasse", "Lehrer", "1. SchA", "2. Ex"}));
    EXPECT_EQ(zeile(z, 1), QStringList({"", "", "", "abgeg.", "abgeg."}));
    EXPECT_EQ(zeile(z, 2), QStringList({"M", "5a", "AB", "05.03.", ""}));
    EXPECT_EQ(zeile(z, 3), QStringList({"D", "6b", "AB", "", ""}));
    EXPECT_EQ(z.cellBackColor(2, 3), lnw::Hellgruen);
    EXPECT_EQ(z.cellBackColor(2, 4), lnw::Hellrot);
    EXPECT_EQ(z.fixedRows(), 2);
    EXPECT_EQ(z.fixedCols(), 3);

    // Courses filtered out are left out.
    w.chkNichtAbgeg->setChecked(true);
    w.chkNichtAbgeg_Click();
    w.Copy_fg_LNW();
    EXPECT_EQ(w.fg_LNW2->rows(), 3);
    EXPECT_EQ(w.fg_LNW2->textMatrix(2, 0), "M");
}

TEST_F(LnwExport, CtrlCCopiesTheSelectionWithoutHiddenCells)
{
    QApplication::clipboard()->setText("vorher");
    w.fg_LNW->select(2, 0, 3, 113 + lnw::Abgegeben); // over the hidden columns up to "2. Ex" abgeg.
    w.fg_LNW->setFocus();
    QTest::keyClick(w.fg_LNW, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "M\t5a\tAB\t05.03.\t\r\nD\t6b\tAB\t\t");
    EXPECT_EQ(w.fg_LNW->row(), 2);
    EXPECT_EQ(w.fg_LNW->colSel(), 121);

    // Other keys copy nothing.
    QApplication::clipboard()->setText("vorher");
    int taste = 'c';
    w.fg_LNW_KeyPress(taste);
    EXPECT_EQ(QApplication::clipboard()->text(), "vorher");
}

TEST_F(LnwExport, WorkbookIsSavedWhereChosenAndTheFolderRemembered)
{
    testsupport::Sandbox ziel;
    antwort = ziel.file("Noten.xls");
    w.cmdExcel_Click();
    EXPECT_EQ(boxes.texts(), QStringList({"Die gewünschte Datei wurde gespeichert."}));
    QFile f(ziel.file("Noten.xlsx"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(2) == "PK");
    EXPECT_FALSE(QFileInfo::exists(ziel.file("Noten.xls")));
    EXPECT_EQ(settings::getSetting("Save", "LNW"), ziel.path());
    EXPECT_EQ(w.fg_LNW2->cols(), 5); // the packed copy was saved

    // The next dialog starts there.
    antwort.clear();
    w.cmdExcel_Click();
    EXPECT_EQ(dialogStart, ziel.path());
}

TEST_F(LnwExport, CancelSavesNothingAndForgetsTheFolder)
{
    settings::saveSetting("Save", "LNW", "C:\\");
    w.cmdExcel_Click();
    EXPECT_EQ(dialogStart, QDir::homePath());
    EXPECT_EQ(boxes.texts(), QStringList({"Es wurde nichts gespeichert."}));
    EXPECT_EQ(settings::getSetting("Save", "LNW", "unberührt"), "");
}

TEST_F(LnwExport, UnwritableTargetGivesTheAccessMessage)
{
    testsupport::Sandbox ziel;
    antwort = ziel.file("fehlt/LNW.xlsx");
    w.cmdExcel_Click();
    EXPECT_EQ(boxes.texts(),
              QStringList({"Dateizugriffsfehler. Die Datei wurde nicht gespeichert. Evtl. ist die Datei noch geöffnet."}));
    EXPECT_EQ(settings::getSetting("Save", "LNW"), ziel.file("fehlt"));
}

TEST_F(LnwExport, PrintWithoutPrinterGoesToTheTemporaryFolder)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer would really print";
    testsupport::Sandbox tmp; // the temporary folder of this test
    w.cmdDruck_Click();
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(QDir(QDir::tempPath()).filePath("LNW.pdf")));
}
