// The lists window on the demo school: its sample query files load and run.
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "records/frm_listen.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(ListenDemo, SampleQueryFilesLoadAndRun)
{
    testsupport::Sandbox box;
    demo::Options o;
    o.out = box.file("demo");
    o.pupils = 160;
    o.teachers = 20;
    o.classes = 8;
    o.today = QDate(2024, 3, 15);
    const demo::Result schule = demo::generate(o);
    mdl::NMDateiParameter = schule.nmFile;
    mdl::Benutzer = QStringLiteral("X");
    zdb::Db db;
    db.open(schule.nmFile, zdb::Db::ReadOnly);
    {
        frm_Listen w;
        w.setDirPath(schule.programFolder + "/SQL");
        ASSERT_EQ(w.File1->count(), 2);
        testsupport::MsgRecorder rec;
        for (int i = 0; i < w.File1->count(); ++i) {
            w.File1->setCurrentRow(i);
            w.File1_Click();
            EXPECT_TRUE(w.rtfSQL->toPlainText().contains(QStringLiteral("SELECT"))) << i;
            w.cmd_SQL_ausfuehren_Click();
        }
        EXPECT_TRUE(rec.texts().isEmpty()) << rec.texts().join(" | ").toStdString();
        // The last file listed: the teachers without a password.
        const int ohne = db.scalar("SELECT count(*) FROM Lehrkräfte WHERE coalesce(Passwort, '') = '' "
                                   "AND coalesce(pwdh, '') = ''").toInt();
        if (ohne > 0)
            EXPECT_EQ(w.lblAnzahl->text(), QString::number(ohne) + " Datensätze");
        w.File1->setCurrentRow(0);
        w.File1_Click();
        w.cmd_SQL_ausfuehren_Click();
        EXPECT_EQ(w.lblAnzahl->text(),
                  db.scalar("SELECT count(*) FROM Schüler WHERE Klasse LIKE '5%'").toString() + " Datensätze");
        EXPECT_EQ(w.fg->textMatrix(0, 3), "Geburtsdatum");
        EXPECT_TRUE(w.fg->textMatrix(1, 3).contains(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4}$")));
    }
    mdl::NMDatenbankZuruecksetzen();
    mdl::NMDateiParameter.clear();
    mdl::Benutzer.clear();
}
