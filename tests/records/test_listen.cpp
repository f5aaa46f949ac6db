#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <cerrno>
#include <atomic>
#include <utility>
#include <vector>

using listen::anweisungAusText;
using listen::Ergebnis;

// The comment before "SELECT" dropped, line breaks as blanks, the cut after the last ";" or one appended.
TEST(ListenAnweisung, StatementExtraction)
{
    const QString klassen = "select Klasse, Klassenleiter from Klassen order by Klasse;";
    const std::vector<std::pair<QString, QString>> faelle{
        {"Liste der Klassen\r\nselect Klasse, Klassenleiter\r\nfrom Klassen order by Klasse;\r\nalt", klassen},
        {"Liste der Klassen\nselect Klasse, Klassenleiter\nfrom Klassen order by Klasse;\nalt", klassen},
        {"SELECT Name\rFROM Schüler", "SELECT Name FROM Schüler;"},
        {"Alle selected Schüler: SELECT Name FROM Schüler", "selected Schüler: SELECT Name FROM Schüler;"},
        {"  SELECT 1  ", "SELECT 1;"},
        {"SELECT 1; SELECT 2; Rest", "SELECT 1; SELECT 2;"},
        {"SELECT 1;  ", "SELECT 1;"},
    };
    for (const auto &[text, erwartet] : faelle) {
        const auto a = anweisungAusText(text);
        EXPECT_TRUE(a.hatSelect) << text.toStdString();
        EXPECT_EQ(a.text, erwartet);
    }
    EXPECT_FALSE(anweisungAusText("Liste ohne Abfrage\r\nFROM Schüler").hatSelect);
}

TEST(ListenDateien, NamesAndFolders)
{
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste.xls"), "/tmp/Liste.xlsx");
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste"), "/tmp/Liste.xlsx");
    EXPECT_EQ(listen::excelDateiname("/tmp/Liste.XLSX"), "/tmp/Liste.XLSX");
    EXPECT_EQ(listen::ordnerVon("/home/x/Export.xlsx"), "/home/x");
    EXPECT_EQ(listen::ordnerVon("Export.xlsx"), "");
}

// Saving, loading and the file list of the window: ListenFenster.
TEST(ListenDateien, OlderFilesReadAsWindows1252AndFailuresReported)
{
    testsupport::Sandbox sb;
    QFile alt(sb.file("alt.sql"));
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("SELECT * FROM Sch\xfcler\r\n");
    alt.close();
    QString gelesen;
    ASSERT_TRUE(listen::abfrageLaden(sb.file("alt.sql"), &gelesen));
    EXPECT_EQ(gelesen, "SELECT * FROM Schüler\n");
    EXPECT_FALSE(listen::abfrageLaden(sb.file("fehlt.sql"), &gelesen));
    EXPECT_FALSE(listen::abfrageSpeichern(sb.file("kein/Ordner/b.SQL"), "SELECT 1"));
}

// A saved query that cannot be read is told with its file and why: missing, its network folder
// gone, no right to read it, no text; a file saved as UTF-16 by an editor is read.
TEST(ListenDateien, AQueryThatCannotBeReadNamesItsFileAndTheReason)
{
    testsupport::Sandbox sb;
    QString gelesen = "vorher", fehler;
    auto grund = [&](const QString &pfad) {
        fehler.clear();
        EXPECT_FALSE(listen::abfrageLaden(pfad, &gelesen, &fehler));
        return fehler;
    };
    EXPECT_EQ(grund(sb.file("fehlt.sql")), "Datei: " + sb.file("fehlt.sql") + "\rGrund: Die Datei existiert nicht.");

    const QString pfad = sb.file("da.sql");
    QFile da(pfad);
    ASSERT_TRUE(da.open(QIODevice::WriteOnly));
    da.write("SELECT 1");
    da.close();
    {
        testsupport::OrdnerWeg weg(pfad, ENOTCONN);
        EXPECT_EQ(grund(pfad), "Datei: " + pfad + "\rGrund: Die Verbindung zum Netzwerkordner ist unterbrochen.");
    }
    ASSERT_TRUE(listen::abfrageLaden(pfad, &gelesen, &fehler));
    EXPECT_EQ(gelesen, "SELECT 1");

    const QString ohneRecht = testsupport::imKind([&] {
        if (!testsupport::alsGewoehnlicherBenutzer(true))
            return QStringLiteral("<keine Rechte abgegeben>");
        QFile::setPermissions(pfad, QFileDevice::WriteOwner);
        QString t, f;
        return listen::abfrageLaden(pfad, &t, &f) ? QStringLiteral("gelesen") : f;
    });
    EXPECT_EQ(ohneRecht, "Datei: " + pfad + "\rGrund: Keine Leseberechtigung.");

    const QString bild = sb.file("bild.sql");
    QFile b(bild);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    b.close();
    EXPECT_EQ(grund(bild), "Datei: " + bild + "\rGrund: Die Datei ist keine Textdatei.");
    EXPECT_EQ(gelesen, "SELECT 1"); // nothing read is handed on

    const QString unicode = sb.file("unicode.sql");
    QFile u(unicode);
    ASSERT_TRUE(u.open(QIODevice::WriteOnly));
    u.write("\xff\xfe");
    const QString text = "SELECT Name FROM Schüler\r\n";
    u.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    u.close();
    ASSERT_TRUE(listen::abfrageLaden(unicode, &gelesen, &fehler)) << fehler.toStdString();
    EXPECT_EQ(gelesen, "SELECT Name FROM Schüler\n");
}

using listentest::ListenFixture;

// The lists' connection is read-only; a statement the database refuses closes it again.
TEST_F(ListenFixture, ReadOnlyConnectionClosedAfterErrors)
{
    listen::Verbindung v = listen::Verbindung::nmNurLesen();
    ASSERT_TRUE(v.oeffnen());
    EXPECT_THROW(v.db().exec("DELETE FROM Schüler"), zdb::DbError);
    v.schliessen();
    EXPECT_EQ(wert("SELECT count(*) FROM Schüler").toInt(), 6);
    int offen = 0;
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

TEST_F(ListenFixture, AFolderGoneAwayIsToldWithItsFileNotAsAWrongStatement)
{
    testsupport::Netzausfall netz; // the list's connection reads through it
    listen::Verbindung v = listen::Verbindung::nmNurLesen();
    const auto oeffnen = v.oeffnen;
    bool wegNachDemOeffnen = true;
    v.oeffnen = [&] {
        const bool ok = oeffnen();
        netz.ausfallen(wegNachDemOeffnen);
        return ok;
    };
    const Ergebnis e = listen::ausfuehren("SELECT Name FROM Schüler", v);
    netz.ausfallen(false);
    EXPECT_EQ(e.status, Ergebnis::Datenbankfehler);
    EXPECT_TRUE(e.meldung.startsWith("Die Datenbank\r" + pfad + "\rkann nicht gelesen oder geschrieben werden"))
        << e.meldung.toStdString();
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
    // Once it is back, the list runs; a wrong statement is still one.
    wegNachDemOeffnen = false;
    EXPECT_EQ(listen::ausfuehren("SELECT Name FROM Schüler", v).zeilen.size(), 6);
    EXPECT_EQ(listen::ausfuehren("SELECT Gibtsnicht FROM Schüler", v).status, Ergebnis::Fehler);
}

// A run on a thread and read-only connection of its own: its end is told, its rows come whole,
// and "abbrechen" ends a statement that would run for hours; the caller's connection stays closed.
TEST_F(ListenFixture, BackgroundRunComesWholeAndEndsAtOnceWhenGivenUp)
{
    std::atomic<bool> gemeldet{false};
    listen::Hintergrundlauf lauf(listen::vorbereiten("SELECT Name FROM Schüler WHERE Klasse = '10A' ORDER BY Name"), {},
                                 [&] { gemeldet = true; });
    const Ergebnis e = lauf.ergebnis();
    EXPECT_TRUE(lauf.fertig());
    EXPECT_TRUE(gemeldet);
    EXPECT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.zeilen, QVector<QStringList>({{"Maier"}, {"Müller"}}));

    std::atomic<bool> laeuft{false};
    listen::Grenzen grenzen;
    grenzen.weiter = [&](accesssql::RunPhase) {
        laeuft = true;
        return true;
    };
    listen::Hintergrundlauf lang(listen::vorbereiten("SELECT Count(*) FROM Schüler a, Schüler b, Schüler c, Schüler d, "
                                                     "Schüler e, Schüler f, Schüler g, Schüler h, Schüler i, Schüler j, "
                                                     "Schüler k, Schüler l, Schüler m"),
                                 grenzen, {});
    while (!laeuft)
        QThread::msleep(1);
    EXPECT_FALSE(lang.fertig());
    lang.abbrechen();
    EXPECT_EQ(lang.ergebnis().status, Ergebnis::Abgebrochen);
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
    EXPECT_EQ(listen::ausfuehren("SELECT Count(*) FROM Schüler").zeilen, QVector<QStringList>({{"6"}}));

    // Given up while the file failed, the run shows nothing rather than the file's fault.
    testsupport::Netzausfall netz;
    const listen::Auftrag auftrag = listen::vorbereiten("SELECT Name FROM Schüler");
    netz.ausfallen(true);
    accesssql::Interrupt aufgegeben;
    aufgegeben.stop();
    EXPECT_EQ(listen::lesen(auftrag, {}, &aufgegeben).status, Ergebnis::Abgebrochen);
    EXPECT_EQ(listen::lesen(auftrag).status, Ergebnis::Datenbankfehler);
    netz.ausfallen(false);
    EXPECT_EQ(listen::lesen(auftrag).zeilen.size(), 6);
}

// A second statement after the first is refused; the cut message counts in German digits.
TEST_F(ListenFixture, SecondStatementRefusedAndCutCountInGermanDigits)
{
    EXPECT_EQ(listen::ausfuehren("SELECT Name FROM Schüler; SELECT Vorname FROM Schüler;").status, Ergebnis::Fehler);
    EXPECT_EQ(listen::abgeschnittenText(1048575),
              "Das Ergebnis hat mehr Datensätze, als eine Excel-Tabelle aufnehmen kann.\r"
              "Die Liste wurde nach 1.048.575 Datensätzen abgeschnitten.");
}

// Values show as Access shows them: a decimal comma, Wahr/Falsch, dates as a DATE column shows
// them whether stored, computed or inside a text; a text that merely looks like a date stays as typed.
TEST_F(ListenFixture, ValuesShowAsAccessShowsThem)
{
    const std::vector<std::pair<QString, QVector<QStringList>>> faelle{
        {"Noten\r\nSELECT LNW.ID, Schnitt, Geschrieben, Geschrieben & '' AS Roh FROM LNW ORDER BY ID",
         {{"1", "2,5", "01.03.2024 08:15:00", "01.03.2024 08:15:00"}, {"2", "3", "08.03.2024", "08.03.2024"}}},
        {"SELECT Name, Geburtsdatum, LRS FROM Schüler WHERE SchülerNr IN (1, 4) ORDER BY 1",
         {{"Müller", "04.03.2009", "Wahr"}, {"Schmidt", "", "Falsch"}}},
        {"SELECT Max(Geburtsdatum) AS J, Min(Geburtsdatum), #1/1/2000# AS L, #1/1/2000 13:30# AS LZ, "
         "'2024-01-01' AS T, First(Geburtsdatum) AS F FROM Schüler",
         {{"01.07.2013", "24.12.2008", "01.01.2000", "01.01.2000 13:30:00", "2024-01-01", "04.03.2009"}}},
        {"SELECT Name, Geburtsdatum, Geburtsdatum + 1 AS Danach, IIf(LRS, #2/29/2024#, Null) AS Wenn, "
         "DateAdd('m', 1, Geburtsdatum) AS Monat, Year(Geburtsdatum) AS Jahr, Nz(Geburtsdatum, #1/1/1900#) AS Ersatz, "
         "(Geburtsdatum) - 1 AS Vorher, CDate('04.02.2014') AS C FROM Schüler WHERE SchülerNr IN (1, 4) ORDER BY SchülerNr",
         {{"Müller", "04.03.2009", "05.03.2009", "29.02.2024", "04.04.2009", "2009", "04.03.2009", "03.03.2009",
           "04.02.2014"},
          {"Schmidt", "", "", "", "", "", "01.01.1900", "", "04.02.2014"}}},
    };
    for (const auto &[sql, zeilen] : faelle) {
        const Ergebnis e = listen::ausfuehren(sql);
        EXPECT_EQ(e.status, Ergebnis::Daten) << sql.toStdString();
        EXPECT_EQ(e.zeilen, zeilen) << sql.toStdString();
    }
    EXPECT_EQ(listen::ausfuehren(faelle[0].first).felder, QStringList({"ID", "Schnitt", "Geschrieben", "Roh"}));

    const Ergebnis e = listen::ausfuehren("SELECT S.*, S.Geburtsdatum - 1 AS Vorher, Date() AS Heute, Now() AS Jetzt "
                                          "FROM Schüler AS S WHERE SchülerNr = 1");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    const QStringList z = e.zeilen[0];
    EXPECT_EQ(z[e.felder.indexOf("Geburtsdatum")], "04.03.2009");
    EXPECT_EQ(z[z.size() - 3], "03.03.2009");
    EXPECT_EQ(z[z.size() - 2], QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?$").match(z.last()).hasMatch())
        << z.last().toStdString();
}

TEST_F(ListenFixture, VerySmallAndLargeNumbersShowTwoExponentDigitsAsAccessDoes)
{
    const Ergebnis e = listen::ausfuehren("SELECT Schnitt / 10000000 AS Klein, -0.00000015 AS Neg, "
                                          "Schnitt * 1E+20 AS Gross, 2E-5 AS Rund FROM LNW WHERE ID = 1");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.zeilen, QVector<QStringList>({{"2,5E-07", "-1,5E-07", "2,5E+20", "2E-05"}}));
}

