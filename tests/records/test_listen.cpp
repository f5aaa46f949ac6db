#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <QFile>

using listen::anweisungAusText;
using listen::Ergebnis;

TEST(ListenAnweisung, CommentBeforeSelectIsDroppedAndLinesJoinWithBlanks)
{
    const QString crlf = "Liste der Klassen\r\nselect Klasse, Klassenleiter\r\nfrom Klassen order by Klasse;\r\nalt";
    EXPECT_EQ(anweisungAusText(crlf).text, "select Klasse, Klassenleiter from Klassen order by Klasse;");
    const QString lf = "Liste der Klassen\nselect Klasse, Klassenleiter\nfrom Klassen order by Klasse;\nalt";
    EXPECT_EQ(anweisungAusText(lf).text, "select Klasse, Klassenleiter from Klassen order by Klasse;");
    EXPECT_EQ(anweisungAusText("SELECT Name\rFROM Schüler").text, "SELECT Name FROM Schüler;");
}

TEST(ListenAnweisung, SelectFoundInsideAWordAndWithoutCase)
{
    const auto a = anweisungAusText("Alle selected Schüler: SELECT Name FROM Schüler");
    EXPECT_TRUE(a.hatSelect);
    EXPECT_EQ(a.text, "selected Schüler: SELECT Name FROM Schüler;");
    EXPECT_FALSE(anweisungAusText("Liste ohne Abfrage\r\nFROM Schüler").hatSelect);
}

TEST(ListenAnweisung, CutAfterTheLastSemicolonOrOneAppended)
{
    EXPECT_EQ(anweisungAusText("  SELECT 1  ").text, "SELECT 1;");
    EXPECT_EQ(anweisungAusText("SELECT 1; SELECT 2; Rest").text, "SELECT 1; SELECT 2;");
    EXPECT_EQ(anweisungAusText("SELECT 1;  ").text, "SELECT 1;");
}

TEST(ListenAnzeige, CountLabel)
{
    EXPECT_EQ(listen::anzahlText(3), "3 Datensätze");
    EXPECT_EQ(listen::anzahlText(1), "1 Datensätze");
}

TEST(ListenZugang, OnlyXAndXsAsTyped)
{
    EXPECT_TRUE(listen::istZugelassen("X"));
    EXPECT_TRUE(listen::istZugelassen("xs"));
    EXPECT_FALSE(listen::istZugelassen("X "));
    EXPECT_FALSE(listen::istZugelassen("SCH"));
    EXPECT_FALSE(listen::istZugelassen(""));
}

TEST(ListenDateien, NamesAndFolders)
{
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste.xls"), "/tmp/Liste.xlsx");
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste"), "/tmp/Liste.xlsx");
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste.XLSX"), "/tmp/Liste.XLSX");
    EXPECT_EQ(listen::ordnerVon("/home/x/Export.xlsx"), "/home/x");
    EXPECT_EQ(listen::ordnerVon("Export.xlsx"), "");
}

TEST(ListenDateien, QueryFileKeepsItsTextAndReadsOlderFiles)
{
    testsupport::Sandbox sb;
    const QString text = "Schüler der 5a\nSELECT Name FROM Schüler WHERE Klasse = '5a';";
    ASSERT_TRUE(listen::abfrageSpeichern(sb.file("a.SQL"), text));
    QFile f(sb.file("a.SQL"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("5a\r\nSELECT")); // CR LF on disk
    QString gelesen;
    ASSERT_TRUE(listen::abfrageLaden(sb.file("a.SQL"), &gelesen));
    EXPECT_EQ(gelesen, text);

    QFile alt(sb.file("alt.sql"));
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("SELECT * FROM Sch\xfcler\r\n");
    alt.close();
    ASSERT_TRUE(listen::abfrageLaden(sb.file("alt.sql"), &gelesen));
    EXPECT_EQ(gelesen, "SELECT * FROM Schüler\n");
    EXPECT_FALSE(listen::abfrageLaden(sb.file("fehlt.sql"), &gelesen));
    EXPECT_FALSE(listen::abfrageSpeichern(sb.file("kein/Ordner/b.SQL"), text));

    QFile(sb.file("c.Sql")).open(QIODevice::WriteOnly);
    QFile(sb.file("d.txt")).open(QIODevice::WriteOnly);
    EXPECT_EQ(listen::abfrageDateien(sb.path()), QStringList({"a.SQL", "alt.sql", "c.Sql"}));
}

using listentest::ListenFixture;

TEST_F(ListenFixture, RowsShowAsTheProgramShowsValues)
{
    const Ergebnis e = listen::ausfuehren(
        "Noten\r\nSELECT LNW.ID, Schnitt, Geschrieben, Geschrieben & '' AS Roh FROM LNW ORDER BY ID");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.felder, QStringList({"ID", "Schnitt", "Geschrieben", "Roh"}));
    ASSERT_EQ(e.zeilen.size(), 2);
    EXPECT_EQ(e.zeilen[0], QStringList({"1", "2,5", "01.03.2024 08:15:00", "2024-03-01 08:15:00"}));
    EXPECT_EQ(e.zeilen[1], QStringList({"2", "3", "08.03.2024", "2024-03-08"}));

    const Ergebnis s = listen::ausfuehren("SELECT Name, Geburtsdatum, LRS FROM Schüler WHERE SchülerNr IN (1, 4) ORDER BY 1");
    ASSERT_EQ(s.status, Ergebnis::Daten);
    EXPECT_EQ(s.zeilen[0], QStringList({"Müller", "04.03.2009", "Wahr"}));
    EXPECT_EQ(s.zeilen[1], QStringList({"Schmidt", "", "Falsch"}));
}

TEST_F(ListenFixture, ClassComparisonIgnoresCase)
{
    const Ergebnis e = listen::ausfuehren("SELECT Name FROM Schüler WHERE Klasse = '10A' ORDER BY Name");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.zeilen, QVector<QStringList>({{"Maier"}, {"Müller"}}));
}

TEST_F(ListenFixture, BuilderExampleWithCrLfRuns)
{
    const Ergebnis e = listen::ausfuehren("SELECT Schüler.Name, Schüler.Vorname\r\nFROM Schüler\r\n"
                                          "WHERE (((Schüler.Name) LIKE \"M*\") AND ((Schüler.Klasse)= '5a') )\r\n"
                                          "ORDER BY Schüler.Name, Schüler.Klasse DESC ;");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.felder, QStringList({"Name", "Vorname"}));
    EXPECT_EQ(e.zeilen, QVector<QStringList>({{"Mayer", "Paul"}, {"meier", "Lena"}}));
}

TEST_F(ListenFixture, EmptyResultKeepsTheFieldNames)
{
    const Ergebnis e = listen::ausfuehren("SELECT Name FROM Schüler WHERE Klasse = '9z'");
    EXPECT_EQ(e.status, Ergebnis::Leer);
    EXPECT_TRUE(e.zeilen.isEmpty());
}

TEST_F(ListenFixture, StatementsThatWriteNeverRun)
{
    for (const char *text : {"SELECT 1; DELETE FROM Schüler;", "SELECT * FROM Schüler; DROP TABLE Noten;",
                             "Kommentar\r\nselect 1;\r\nUPDATE Schüler SET Name = 'x';", "SELECT * INTO Kopie FROM Schüler"})
        EXPECT_EQ(listen::ausfuehren(QString::fromUtf8(text)).status, Ergebnis::Fehler) << text;
    EXPECT_EQ(wert("SELECT count(*) FROM Schüler").toInt(), 6);
    EXPECT_EQ(wert("SELECT count(*) FROM sqlite_master WHERE name IN ('Noten', 'Kopie')").toInt(), 1);
    EXPECT_EQ(wert("SELECT Name FROM Schüler WHERE SchülerNr = 1").toString(), "Müller");
}

TEST_F(ListenFixture, ConnectionOfTheListsIsReadOnly)
{
    const listen::Verbindung v = listen::Verbindung::nmNurLesen();
    ASSERT_TRUE(v.oeffnen());
    EXPECT_THROW(v.db().exec("DELETE FROM Schüler"), zdb::DbError);
    v.schliessen();
    EXPECT_EQ(wert("SELECT count(*) FROM Schüler").toInt(), 6);
}

TEST_F(ListenFixture, ErrorsOfTheDatabaseCloseTheConnection)
{
    int offen = 0;
    listen::Verbindung v = listen::Verbindung::nmNurLesen();
    const auto oeffnen = v.oeffnen;
    const auto schliessen = v.schliessen;
    v.oeffnen = [&] { ++offen; return oeffnen(); };
    v.schliessen = [&] { --offen; schliessen(); };
    EXPECT_EQ(listen::ausfuehren("SELECT Gibtsnicht FROM Schüler", v).status, Ergebnis::Fehler);
    EXPECT_EQ(listen::ausfuehren("SELECT Name FROM Gibtsnicht", v).status, Ergebnis::Fehler);
    EXPECT_EQ(listen::ausfuehren("SELECT Unbekannt(Name) FROM Schüler", v).status, Ergebnis::Fehler);
    EXPECT_EQ(listen::ausfuehren("SELECT Name FROM Schüler WHERE Name = 'x", v).status, Ergebnis::Fehler);
    EXPECT_EQ(offen, 0);
    EXPECT_EQ(listen::ausfuehren("kein Abfragetext", v).status, Ergebnis::KeinSelect);
    EXPECT_EQ(offen, 0);
}
