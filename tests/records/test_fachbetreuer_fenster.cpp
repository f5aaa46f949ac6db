// The supervisor editor: adding, editing, deleting and a failed write.
#include "records/fachbetreuer.h"
#include "records/frm_fachbetreuer.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct EigeneDb {
    testsupport::Sandbox box;
    explicit EigeneDb(const char *zeilen = nullptr)
    {
        zdb::Db db;
        db.create(box.file("Zandrel.mdb"));
        nmschema::createOwnPrepared(db);
        if (zeilen)
            db.exec(QString("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES ") + zeilen);
        db.close();
        mdl::dbEigen.open(box.file("Zandrel.mdb"), zdb::Db::ReadWrite, 50);
    }
    ~EigeneDb() { mdl::dbEigen.close(); }
    QStringList alle()
    {
        QStringList out;
        for (const auto &e : fachbetreuer::laden(mdl::dbEigen))
            out << mdl::NullZuText(e.fach) + "=" + mdl::NullZuText(e.betreuer);
        return out;
    }
};

} // namespace

TEST(FachbetreuerFenster, AddRefusesEmptyAndExistingCodes)
{
    EigeneDb db("('M', 'AB')");
    testsupport::MsgRecorder boxes;
    frm_Fachbetreuer w;
    w.formLoad();
    w.txtFach->setText("  ");
    w.cmdFachHinzu_Click();
    w.txtFach->setText(" m ");
    w.cmdFachHinzu_Click();
    EXPECT_EQ(boxes.texts(), QStringList({"Geben Sie zunächst ein Fächerkürzel an.", "Diese Fächerbezeichnung existiert schon."}));
    EXPECT_EQ(w.txtFach->text(), " m ");
    EXPECT_EQ(w.fg->rows(), 2);
}

TEST(FachbetreuerFenster, AddedSubjectBecomesARecordWithItsFirstSupervisor)
{
    EigeneDb db;
    frm_Fachbetreuer w;
    w.formLoad();
    w.txtFach->setText(" Ph ");
    w.cmdFachHinzu_Click();
    ASSERT_EQ(w.fg->rows(), 2);
    EXPECT_EQ(w.fg->textMatrix(1, 0), "Ph");
    EXPECT_EQ(w.txtFach->text(), "");
    EXPECT_EQ(db.alle(), QStringList());
    w.fg->setTextMatrix(1, 1, "AB CD");
    w.fg_AfterEdit(1, 1);
    EXPECT_EQ(db.alle(), QStringList({"Ph=AB CD"})); // later writes: Fachbetreuer.*
    // A pasted tab stays in the code and never fills the supervisor cell.
    w.txtFach->setText("Ch\tx");
    w.cmdFachHinzu_Click();
    EXPECT_EQ(w.fg->textMatrix(2, 0), "Ch\tx");
    EXPECT_EQ(w.fg->textMatrix(2, 1), "");
}

TEST(FachbetreuerFenster, LoadShowsTheTableAndOnlyTheSupervisorsCanBeEdited)
{
    EigeneDb db("('M', 'AB'), ('D', NULL)");
    frm_Fachbetreuer w;
    w.formLoad();
    ASSERT_EQ(w.fg->rows(), 3);
    EXPECT_EQ(QStringList({w.fg->textMatrix(0, 0), w.fg->textMatrix(0, 1), w.fg->textMatrix(1, 0),
                           w.fg->textMatrix(1, 1), w.fg->textMatrix(2, 1)}),
              QStringList({"Fach", "Fachbetreuer", "D", "", "AB"}));
    bool abbruch0 = false, abbruch1 = false;
    emit w.fg->beforeEdit(1, 0, abbruch0);
    emit w.fg->beforeEdit(1, 1, abbruch1);
    EXPECT_TRUE(abbruch0);
    EXPECT_FALSE(abbruch1);
}

TEST(FachbetreuerFenster, DeleteRemovesRowAndExactRecordOnly)
{
    EigeneDb db("('M', 'AB'), ('m', 'CD')");
    frm_Fachbetreuer w;
    w.formLoad();
    ASSERT_EQ(w.fg->textMatrix(2, 0), "m");
    w.fg->select(2, 0);
    w.cmdFachWeg_Click();
    EXPECT_EQ(w.fg->rows(), 2);
    EXPECT_EQ(db.alle(), QStringList({"M=AB"}));
    // No subject row: nothing happens.
    w.fg->select(0, 0);
    w.cmdFachWeg_Click();
    EXPECT_EQ(db.alle(), QStringList({"M=AB"}));
    EXPECT_EQ(w.fg->rows(), 2);
}

TEST(FachbetreuerFenster, FailedWriteShowsMessageAndKeepsTheTypedText)
{
    EigeneDb db("('M', 'AB')");
    testsupport::MsgRecorder boxes;
    frm_Fachbetreuer w;
    w.formLoad();
    zdb::Db andere;
    andere.open(db.box.file("Zandrel.mdb"));
    andere.beginImmediate(); // another workstation writes
    w.fg->setTextMatrix(1, 1, "AB EF");
    w.fg_AfterEdit(1, 1);
    andere.rollback();
    EXPECT_EQ(boxes.texts(), QStringList({"Die Fachbetreuer wurden nicht gespeichert.\rDie Datenbank\r" +
                                          db.box.file("Zandrel.mdb") +
                                          "\rwird gerade von einem anderen Arbeitsplatz benutzt.\r"
                                          "Bitte versuchen Sie es in einigen Sekunden noch einmal.\r\r(database is locked)"}));
    EXPECT_EQ(w.fg->textMatrix(1, 1), "AB EF");
    EXPECT_EQ(db.alle(), QStringList({"M=AB"}));
    w.fg_AfterEdit(1, 1); // the next try succeeds
    EXPECT_EQ(db.alle(), QStringList({"M=AB EF"}));
}
