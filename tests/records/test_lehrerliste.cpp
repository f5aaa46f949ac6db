// The teacher list in Excel: who is listed in which order, and the sheet as the saved package holds it.
#include "records/lehrerliste.h"
#include "platform/xlsxbook.h"
#include "test_listen_fixture.h"

#include <QDir>

namespace {

class Lehrerliste : public listentest::ListenFixture {
protected:
    void lehrerEintragen(const QString &werte)
    {
        zdb::Db db;
        db.open(pfad);
        db.exec(QStringLiteral("DELETE FROM Lehrkräfte"));
        db.exec(QStringLiteral("INSERT INTO Lehrkräfte (Kürzel, Name, Vorname, Dienstbezeichnung) VALUES ") + werte);
    }
    QStringList tempListen() const
    {
        return QDir(sb.file("tmp")).entryList({QStringLiteral("Lehrerliste*.xlsx")}, QDir::Files, QDir::Name);
    }
};

TEST_F(Lehrerliste, LeavesOutAdministratorAndOfficeAndSortsByNameThenFirstName)
{
    lehrerEintragen(QStringLiteral("('X','Admin','A',NULL),('xs','Büro','B',NULL),('ZW','Zweig','Anna','StRin'),"
                                   "('ÄB','Ärger','Bea',NULL),('ZB','Zweig','Bernd','OStR'),('LEE',NULL,NULL,NULL)"));
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    const auto lehrer = lehrerliste::lehrerLesen(mdl::dbNM());
    mdl::NMDatenbankSchliessen();
    QStringList kuerzel;
    for (const auto &l : lehrer)
        kuerzel << l.kuerzel;
    EXPECT_EQ(kuerzel, QStringList({"LEE", "ÄB", "ZW", "ZB"}));
}

TEST_F(Lehrerliste, TheMenuActionLeavesAWorkbookWithTitleTableBordersAndPrintTitles)
{
    lehrerEintragen(QStringLiteral("('X','Admin','A',NULL),('ZW','Zweig','Anna','StRin'),('MÜ','Müller','Bea',NULL)"));
    testsupport::MsgRecorder rec;
    const testsupport::Desktop desktop;
    lehrerliste::mnuLehrerliste_Click();
    ASSERT_EQ(rec.texts(), QStringList({"Excel wurde gestartet. Die Lehrerliste wurde dort angelegt."}));
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    ASSERT_EQ(tempListen(), QStringList({"Lehrerliste.xlsx"}));
    const QString datei = sb.file("tmp/Lehrerliste.xlsx");
    const auto cells = testsupport::xlsxCells(datei);
    EXPECT_EQ(cells.value("A1"),
              QStringLiteral("Lehrerliste: (erstellt am %1)").arg(QDate::currentDate().toString("dd.MM.yyyy")));
    EXPECT_EQ(cells.value("A3"), "Kürzel");
    EXPECT_EQ(cells.value("D3"), "Amtsbez.");
    EXPECT_EQ(cells.value("A4"), "MÜ");
    EXPECT_FALSE(cells.contains("D4")); // no official title: empty cell
    EXPECT_EQ(cells.value("D5"), "StRin");
    EXPECT_FALSE(cells.contains("A6"));
    const QString sheet = testsupport::zipEntry(datei, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<col min=\"12\" max=\"12\" width=\"4.7109375\" customWidth=\"1\"/>"))
        << sheet.toStdString();
    EXPECT_TRUE(testsupport::zipEntry(datei, "xl/workbook.xml").contains("Tabelle1!$A:$C,Tabelle1!$1:$3"));

    // A second list is a new workbook beside the first.
    lehrerliste::mnuLehrerliste_Click();
    EXPECT_EQ(tempListen(), QStringList({"Lehrerliste (2).xlsx", "Lehrerliste.xlsx"}));
}

TEST_F(Lehrerliste, BordersAreMediumOutsideAndThinInsideEvenForOneTeacher)
{
    xlsx::Workbook book;
    lehrerliste::blattFuellen(book, {{"ZW", "Zweig", "Anna", ""}}, QDate(2017, 3, 5));
    const auto &ws = book.sheet(1);
    EXPECT_EQ(ws.text(1, 1), "Lehrerliste: (erstellt am 05.03.2017)");
    EXPECT_TRUE(ws.style(1, 1).bold);
    EXPECT_EQ(ws.style(4, 1).left.weight, xlsx::Medium);
    EXPECT_EQ(ws.style(4, 1).right.weight, xlsx::Thin);
    EXPECT_EQ(ws.style(4, 4).right.weight, xlsx::Medium);
    EXPECT_EQ(ws.style(4, 6).left.weight, xlsx::Thin);
    EXPECT_EQ(ws.style(4, 12).bottom.weight, xlsx::Medium);
    EXPECT_EQ(ws.style(3, 2).bottom.weight, xlsx::Medium);
    EXPECT_DOUBLE_EQ(ws.columnWidth(8), 4);
    // Column A fits "Kürzel", not the title.
    EXPECT_LT(ws.columnWidth(1), xlsx::Worksheet::fitWidth(ws.text(1, 1)) / 2);
}

TEST_F(Lehrerliste, NoTeacherGivesTheMessageAndNoWorkbook)
{
    // Without a window: the result says it.
    const lehrerliste::Ergebnis e = lehrerliste::arbeitsmappeAnlegen({}, QDate(2017, 3, 5));
    EXPECT_FALSE(e.angelegt);
    EXPECT_EQ(e.meldung, "Es wurden keine Lehrer gefunden.");
    EXPECT_TRUE(tempListen().isEmpty());

    lehrerEintragen(QStringLiteral("('X','Admin','A',NULL)"));
    testsupport::MsgRecorder rec;
    lehrerliste::mnuLehrerliste_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Es wurden keine Lehrer gefunden."}));
    EXPECT_TRUE(tempListen().isEmpty());
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
}

} // namespace

namespace {

TEST_F(Lehrerliste, WhenNothingOpensTheWorkbookTheMessageSaysSoAndNamesTheFile)
{
    lehrerEintragen(QStringLiteral("('ZW','Zweig','Anna','StRin')"));
    testsupport::MsgRecorder rec;
    {
        const testsupport::Desktop desktop(false);
        lehrerliste::mnuLehrerliste_Click();
        EXPECT_EQ(desktop.files, QStringList{sb.file("tmp/Lehrerliste.xlsx")});
    }
    // Tests and CI open nothing, and the message does not claim it either.
    lehrerliste::mnuLehrerliste_Click();
    ASSERT_EQ(rec.texts().size(), 2);
    EXPECT_EQ(rec.texts()[0], "Das Dokument wurde gespeichert, konnte aber nicht geöffnet werden: Keine Anwendung "
                              "hat es übernommen. Bitte öffnen Sie die Datei selbst.\rDatei: " +
                                  sb.file("tmp/Lehrerliste.xlsx"));
    EXPECT_EQ(rec.texts()[1], "Das Dokument wurde gespeichert, aber nicht geöffnet (ZANDREL_NO_OPEN=1).\rDatei: " +
                                  sb.file("tmp/Lehrerliste (2).xlsx"));
    EXPECT_EQ(tempListen(), QStringList({"Lehrerliste (2).xlsx", "Lehrerliste.xlsx"}));
}

} // namespace
