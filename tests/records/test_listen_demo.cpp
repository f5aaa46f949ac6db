// The lists window on the demo school: its sample query files and the builder's example run.
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "records/frm_listen.h"
#include "records/listenlogik.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"

#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

class ListenDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        box = new testsupport::Sandbox;
        demo::Options o;
        o.out = box->file("demo");
        o.pupils = 160;
        o.teachers = 20;
        o.classes = 8;
        o.today = QDate(2024, 3, 15);
        schule = new demo::Result(demo::generate(o));
    }
    static void TearDownTestSuite()
    {
        delete schule;
        delete box;
    }
    void SetUp() override
    {
        mdl::NMDateiParameter = schule->nmFile;
        mdl::Benutzer = QStringLiteral("X");
    }
    void TearDown() override
    {
        mdl::NMDatenbankZuruecksetzen();
        mdl::NMDateiParameter.clear();
        mdl::Benutzer.clear();
    }
    static qint64 anzahl(const QString &sql)
    {
        zdb::Db db;
        db.open(schule->nmFile, zdb::Db::ReadOnly);
        return db.scalar(sql).toLongLong();
    }

    static testsupport::Sandbox *box;
    static demo::Result *schule;
};
testsupport::Sandbox *ListenDemo::box = nullptr;
demo::Result *ListenDemo::schule = nullptr;

} // namespace

TEST_F(ListenDemo, SampleQueryFilesLoadAndRun)
{
    frm_Listen w;
    w.setDirPath(schule->programFolder + "/SQL");
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
    const qint64 ohne = anzahl("SELECT count(*) FROM Lehrkräfte WHERE coalesce(Passwort, '') = '' AND coalesce(pwdh, '') = ''");
    if (ohne > 0)
        EXPECT_EQ(w.lblAnzahl->text(), listen::anzahlText(int(ohne)));
    w.File1->setCurrentRow(0);
    w.File1_Click();
    w.cmd_SQL_ausfuehren_Click();
    EXPECT_EQ(w.lblAnzahl->text(),
              listen::anzahlText(int(anzahl("SELECT count(*) FROM Schüler WHERE Klasse LIKE '5%'"))));
    EXPECT_EQ(w.fg->textMatrix(0, 3), "Geburtsdatum");
    EXPECT_TRUE(w.fg->textMatrix(1, 3).contains(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4}$")));
}

TEST_F(ListenDemo, BuilderExampleAndTypedStatementRun)
{
    const listen::Ergebnis b = listen::ausfuehren("SELECT Schüler.Name, Schüler.Vorname\r\nFROM Schüler\r\n"
                                                  "WHERE (((Schüler.Name) LIKE \"M*\") AND ((Schüler.Klasse)= '5a') )\r\n"
                                                  "ORDER BY Schüler.Name, Schüler.Klasse DESC ;");
    ASSERT_NE(b.status, listen::Ergebnis::Fehler);
    EXPECT_EQ(b.zeilen.size(), anzahl("SELECT count(*) FROM Schüler WHERE Name LIKE 'M%' AND Klasse = '5a' COLLATE NOCASE"));

    const listen::Ergebnis t = listen::ausfuehren(
        "Geburtstagsliste\r\nSELECT Klasse & ': ' & Name & ', ' & Vorname AS Schüler, "
        "IIf(Geschlecht = 'w', 'Schülerin', 'Schüler') AS Art, Format(Geburtsdatum, 'dd.mm.') AS Tag\r\n"
        "FROM Schüler WHERE Geburtsdatum >= #8/1/2008# AND (Name Like '*ü*' OR Name Like '[M-O]*')\r\n"
        "ORDER BY Name");
    ASSERT_EQ(t.status, listen::Ergebnis::Daten);
    EXPECT_EQ(t.felder, QStringList({"Schüler", "Art", "Tag"}));
    EXPECT_EQ(t.zeilen.size(),
              anzahl("SELECT count(*) FROM Schüler WHERE Geburtsdatum >= '2008-08-01' AND "
                     "(Name LIKE '%ü%' OR upper(substr(Name, 1, 1)) BETWEEN 'M' AND 'O')"));
}
