// Typed statements of the lists window compare as Access does: a date or a number against a
// text converts the text with German settings, texts compare in German order with case ignored,
// DISTINCTROW, TOP ties and -1 for true. Run through the window's own function.
#include "records/listenlogik.h"
#include "test_listen_fixture.h"
#include "test_typed_faelle.h"

#include <vector>

using listen::Ergebnis;
using listentest::fehler;
using listentest::pruefen;
using listentest::zeilen;

namespace {

// That school with four more pupils, more umlauts and case variants,
// and grade rows for joins.
class TypedFixture : public listentest::JahreswechselFixture {
protected:
    void SetUp() override
    {
        JahreswechselFixture::SetUp();
        einfuegen(QStringLiteral(
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Geburtsdatum, LRS) VALUES "
            "(10,'Ozean','Ida','7b','2010-06-15',0),"
            "(11,'Lang','Li','6c','2012-03-05',1),(12,'Ärmel','Udo','6c','2011-02-03',0),"
            "(13,'Maier','Eva','6c','2012-05-05',0);"
            "INSERT INTO Noten (ID, SchülerNr, UIndex, Archiv) VALUES "
            "(1,1,1,0),(2,1,2,0),(3,1,3,0),(4,2,1,0),(5,13,1,0);"));
    }
};

} // namespace

TEST_F(TypedFixture, DatesAgainstTextsReadTheTextAsAGermanDate)
{
    const QStringList nach2012{"3", "5", "9", "11", "13"};
    pruefen({
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum > \"01.01.2012\" ORDER BY SchülerNr", nach2012},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum > '1.1.2012' ORDER BY SchülerNr", nach2012},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum > '1.1.12' ORDER BY SchülerNr", nach2012},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum > '2012-01-01' ORDER BY SchülerNr", nach2012},
        {"SELECT SchülerNr FROM Schüler WHERE '01.01.2012' < Geburtsdatum ORDER BY SchülerNr", nach2012},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum >= '01.01.2012' ORDER BY SchülerNr",
         {"3", "5", "8", "9", "11", "13"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '01.01.2012'", {"8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '02.01.2012 10:30'", {"9"}},
        // The other forms German settings read.
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '1/1/2012'", {"8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '31-12-11'", {"7"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '1. Januar 2012'", {"8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '1 Jan 2012'", {"8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum = '2. Januar 2012 10:30:00'", {"9"}},
        {"SELECT Count(*) FROM Schüler WHERE Date() >= '1.1.' AND Date() < '31.12.9999'", {"13"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum = '1. Janus 2012'", fehler},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum <> '01.01.2012'", {"10"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum Between '31.12.2011' And '1.1.2012' ORDER BY 1", {"7", "8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum Not Between '01.01.2009' And '31.12.2012' ORDER BY 1",
         {"2", "3", "5"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum In ('01.01.2012', #12/31/2011#, '3.2.2011') ORDER BY 1",
         {"7", "8", "12"}},
        {"SELECT SchülerNr FROM Schüler WHERE (((Schüler.Geburtsdatum) < \"01.01.2009\"))", {"2"}},
        // A text that a sub-select gives is read as a date too.
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > (SELECT '1.1.2012')", {"5"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum < (SELECT Max('01.01.2011') FROM Klassen)", {"3"}},
        {"SELECT SchülerNr FROM Schüler WHERE (SELECT '31.12.2011' FROM Klassen WHERE Klasse = '5a') = Geburtsdatum",
         {"7"}},
        // Function results and #literals# are dates as well.
        {"SELECT SchülerNr FROM Schüler WHERE DateAdd('d', 1, Geburtsdatum) = '01.01.2012'", {"7"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum + 1 = '01.01.2012'", {"7"}},
        {"SELECT Count(*) FROM Schüler WHERE #1/1/2012# = '01.01.2012'", {"13"}},
        {"SELECT Count(*) FROM Schüler WHERE DateSerial(2012, 1, 1) > '31.12.2011'", {"13"}},
        {"SELECT Max(Geburtsdatum) > '01.07.2013' AS Spaet, Max(Geburtsdatum) >= '01.07.2013' AS Genau FROM Schüler",
         {"0|-1"}},
        {"SELECT IIf(Geburtsdatum > '01.01.2012', 'jung', 'alt') FROM Schüler WHERE SchülerNr IN (8, 9) ORDER BY 1",
         {"alt", "jung"}},
        // A date or a text: a date text is read as a date, any other text compares as text.
        {"SELECT SchülerNr FROM Schüler WHERE Nz(Geburtsdatum, '') = '' ORDER BY 1", {"4", "6"}},
        {"SELECT SchülerNr FROM Schüler WHERE Nz(Geburtsdatum, 'offen') > '1.1.2013' ORDER BY 1", {"3", "4", "5", "6"}},
        // Null compares as Null: neither side of the condition.
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum < '01.01.2100' OR Geburtsdatum >= '01.01.2100'", {"11"}},
        // A text that is no date: Access refuses the statement.
        {"SELECT Name FROM Schüler WHERE Geburtsdatum > 'Montag'", fehler},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum = ''", fehler},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum Between 'gestern' And '1.1.2012'", fehler},
    });
}

// A year of two digits in a text compared with a date: up to 29 this century, from 30 the last,
// in every form a date text takes, as in #literals# and in the date functions.
TEST_F(TypedFixture, TwoDigitYearsInDateTextsUpTo29AreThisCenturyFrom30TheLast)
{
    pruefen({
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > '1/1/30'", {"11"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum < '1/1/29'", {"11"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > '1.1.30' AND Geburtsdatum < '31.12.29'", {"11"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > '1-1-30' AND Geburtsdatum < '1 Jan 29'", {"11"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum Between '1/1/30' And '1/1/29'", {"11"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > #1/1/30# AND Geburtsdatum < #1/1/29#", {"11"}},
        {"SELECT DateValue('1/1/30'), CDate('31.12.29'), DateSerial(30, 1, 1), Year('1. Jan 30')",
         {"01.01.1930|31.12.2029|01.01.1930|1930"}},
    });
}

// Numbers against numeric texts, and Yes/No as the number -1 or 0.
TEST_F(TypedFixture, NumbersAndYesNoCompareAsNumbers)
{
    pruefen({
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr >= \"12\" ORDER BY 1", {"12", "13"}},
        {"SELECT SchülerNr FROM Schüler WHERE (((Schüler.SchülerNr) >= \"12\")) ORDER BY 1", {"12", "13"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr < '2,5' ORDER BY 1", {"1", "2"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr In ('3', '11') ORDER BY 1", {"3", "11"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr Between '9' And '10' ORDER BY 1", {"9", "10"}},
        {"SELECT ID FROM LNW WHERE Schnitt >= '2,5' ORDER BY ID", {"1", "2"}},
        {"SELECT ID FROM LNW WHERE Schnitt > '2,5'", {"2"}},
        {"SELECT SchülerNr FROM Schüler WHERE Year(Geburtsdatum) = '2013' ORDER BY 1", {"3", "5"}},
        {"SELECT SchülerNr FROM Schüler WHERE Len(Name) > '6' ORDER BY 1", {"3", "4"}},
        {"SELECT Count(*) FROM Schüler WHERE 10 > '9'", {"13"}},
        {"SELECT SchülerNr FROM Schüler WHERE IIf(LRS, 10, 1) >= '9' ORDER BY 1", {"1", "5", "8", "11"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr = 'drei'", fehler},
        {"SELECT ID FROM LNW WHERE Schnitt = ''", fehler},
        // A text column keeps comparing as text.
        {"SELECT Klasse FROM Schüler WHERE Klasse >= '5' AND Klasse < '6' ORDER BY SchülerNr", {"5a", "5a", "5A"}},
        {"SELECT True, False, 1 = 1, 2 < 1, Not (1 = 1)", {"-1|0|-1|0|0"}},
        {"SELECT -Sum(LRS), Sum(LRS), Count(LRS), Avg(LRS) * 13 FROM Schüler", {"4|-4|13|-4"}},
        {"SELECT CInt(LRS), Sgn(LRS), Abs(LRS) FROM Schüler WHERE SchülerNr = 1", {"-1|-1|1"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS = -1", {"4"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS = True", {"4"}}, {"SELECT Count(*) FROM Schüler WHERE LRS", {"4"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS = 0", {"9"}}, {"SELECT Count(*) FROM Schüler WHERE Not LRS", {"9"}},
        {"SELECT LRS, LRS + 0, LRS * 2, (SchülerNr > 4) * 1 FROM Schüler WHERE SchülerNr = 1", {"Wahr|-1|-2|0"}},
        {"SELECT Name FROM Schüler WHERE (Geburtsdatum > '01.01.2013') = True ORDER BY Name", {"meier", "Özdemir"}},
    });
}

TEST_F(TypedFixture, TextsCompareInGermanOrderWithCaseIgnored)
{
    pruefen({
        {"SELECT Count(*) FROM Schüler WHERE Name < 'L'", {"1"}},
        {"SELECT Count(*) FROM Schüler WHERE Name >= 'L' AND Name <= 'Zz'", {"12"}},
        {"SELECT Name FROM Schüler WHERE Name Between 'O' And 'P' ORDER BY Name", {"Özdemir", "Ozean", "Öztürk"}},
        {"SELECT Name FROM Schüler WHERE Name > 'Ozean' AND Name < 'P'", {"Öztürk"}},
        {"SELECT Name FROM Schüler WHERE Name < 'B'", {"Ärmel"}},
        {"SELECT Name FROM Schüler WHERE Name > 'Weis' AND Name < 'Weit'", {"Weiß"}},
        {"SELECT SchülerNr FROM Schüler WHERE Name = 'müller' ORDER BY 1", {"1", "9"}},
        {"SELECT SchülerNr FROM Schüler WHERE Name = 'Muller'", {}},
        {"SELECT SchülerNr FROM Schüler WHERE Name In ('MÜLLER', 'ÖZTÜRK') ORDER BY 1", {"1", "7", "9"}},
        {"SELECT SchülerNr FROM Schüler WHERE UCase(Name) = 'öztürk'", {"7"}},
        {"SELECT A.SchülerNr FROM Schüler A, Schüler B WHERE A.Name = B.Name AND A.SchülerNr < B.SchülerNr "
         "ORDER BY 1", {"1", "2"}},
        {"SELECT SchülerNr FROM Schüler WHERE Name In (SELECT UCase(Name) FROM Schüler WHERE SchülerNr = 1) "
         "ORDER BY 1", {"1", "9"}},
        {"SELECT Max(Trim(Name)), Min(Name), Max(Name) FROM Schüler", {"Weiß|Ärmel|Weiß"}},
        {"SELECT Max(Vorname & '') FROM Schüler WHERE Klasse = '10a'", {"Ömer"}},
        // One group per name whatever its case; an umlaut is not its base letter.
        {"SELECT Count(*) FROM Schüler GROUP BY Name HAVING Count(*) > 1", {"2", "2"}},
        {"SELECT Count(*) FROM (SELECT DISTINCT Name FROM Schüler)", {"11"}},
        {"SELECT Count(*) FROM (SELECT DISTINCT Klasse FROM Schüler WHERE Klasse Like '5*')", {"1"}},
        {"SELECT Count(*) FROM (SELECT DISTINCT Name, Klasse FROM Schüler)", {"13"}},
        {"SELECT LCase(Klasse), Count(*) FROM Schüler WHERE Klasse < '6' GROUP BY LCase(Klasse) ORDER BY 1",
         {"10a|2", "10b|1", "5a|3"}},
        {"SELECT Count(*) FROM (SELECT Name FROM Schüler WHERE SchülerNr = 1 UNION SELECT UCase(Name) FROM Schüler "
         "WHERE SchülerNr = 9 UNION SELECT 'Muller')", {"2"}},
        {"SELECT Name, Geburtsdatum, LRS FROM Schüler WHERE SchülerNr = 1 UNION SELECT Name, Geburtsdatum, LRS "
         "FROM Schüler WHERE SchülerNr = 1", {"Müller|04.03.2009|Wahr"}},
        {"SELECT Name AS N FROM Schüler WHERE SchülerNr In (1, 9) UNION ALL SELECT Name FROM Schüler WHERE SchülerNr = 1",
         {"Müller", "MÜLLER", "Müller"}},
        // Null is not text: it compares as Null.
        {"SELECT Count(*) FROM Schüler WHERE Geschlecht < 'z' OR Geschlecht >= 'z'", {"0"}},
        // Names of tables and columns are found whatever their capitals, umlauts included.
        {"SELECT NAME FROM SCHÜLER WHERE SCHÜLERNR = 12", {"Ärmel"}},
        {"SELECT L.KÜRZEL FROM [LEHRKRÄFTE] AS L INNER JOIN KLASSEN K ON L.kürzel = K.KLASSENLEITER "
         "WHERE K.Klasse = '10a'", {"SCH"}},
    });
    EXPECT_EQ(listen::ausfuehren(QStringLiteral("SELECT Count(*) AS SCHÜLERNR FROM SCHÜLER")).felder,
              QStringList{"SCHÜLERNR"});
}

TEST_F(TypedFixture, ANameSpelledAsItsTableSpellsItStaysSoWhenAnotherTableSpellsItOtherwise)
{
    // A converted file may spell one column in other capitals in another table.
    einfuegen(QStringLiteral("CREATE TABLE Zusatz (SCHÜLERNR INTEGER, KÜRZEL TEXT);"
                             "INSERT INTO Zusatz VALUES (12, 'ZZ');"));
    pruefen({
        {"SELECT Name FROM Schüler WHERE SchülerNr = 12", {"Ärmel"}},
        {"SELECT S.Name, Z.KÜRZEL FROM Schüler S INNER JOIN Zusatz Z ON S.SchülerNr = Z.SCHÜLERNR", {"Ärmel|ZZ"}},
    });
}

TEST_F(TypedFixture, DistinctRowGivesOneRowPerRecordOfTheTablesRead)
{
    pruefen({
        {"SELECT DISTINCTROW Schüler.Name FROM Schüler INNER JOIN Noten ON Schüler.SchülerNr = Noten.SchülerNr "
         "ORDER BY Schüler.Name", {"Maier", "Maier", "Müller"}},
        {"SELECT DISTINCTROW Name, Vorname FROM Schüler INNER JOIN Noten ON Schüler.SchülerNr = Noten.SchülerNr "
         "ORDER BY Name, Vorname", {"Maier|Eva", "Maier|Ömer", "Müller|Anna"}},
        {"SELECT DISTINCT Schüler.Name FROM Schüler INNER JOIN Noten ON Schüler.SchülerNr = Noten.SchülerNr",
         {"Maier", "Müller"}},
        {"SELECT DISTINCTROW S.Name, N.ID FROM Schüler S INNER JOIN Noten N ON S.SchülerNr = N.SchülerNr "
         "ORDER BY N.ID", {"Müller|1", "Müller|2", "Müller|3", "Maier|4", "Maier|5"}},
        {"SELECT DISTINCTROW Klasse FROM Schüler WHERE Klasse = '10a'", {"10a", "10a"}},
        // An alias names its table in any case.
        {"SELECT DISTINCTROW s.Name FROM Schüler AS S INNER JOIN Noten AS N ON S.SchülerNr = N.SchülerNr "
         "WHERE S.SchülerNr In (1, 2) ORDER BY s.Name", {"Maier", "Müller"}},
        {"SELECT DISTINCTROW S.Name FROM Schüler AS s INNER JOIN Noten AS n ON s.SchülerNr = n.SchülerNr "
         "WHERE S.SchülerNr In (1, 2) ORDER BY S.Name", {"Maier", "Müller"}},
        {"SELECT TOP 1 DISTINCTROW Count(*) FROM Schüler INNER JOIN Noten ON Schüler.SchülerNr = Noten.SchülerNr",
         fehler},
        {"SELECT DISTINCTROW Count(*) FROM Schüler INNER JOIN Noten ON Schüler.SchülerNr = Noten.SchülerNr", {"5"}},
    });
    // The columns of S.* are all there, once per pupil.
    const Ergebnis e = listen::ausfuehren("SELECT DISTINCTROW S.*, S.Name AS N FROM Schüler AS S INNER JOIN Noten AS N "
                                          "ON S.SchülerNr = N.SchülerNr ORDER BY S.SchülerNr");
    ASSERT_EQ(e.status, Ergebnis::Daten);
    EXPECT_EQ(e.zeilen.size(), 3);
    EXPECT_EQ(e.zeilen[0][e.felder.indexOf("Geburtsdatum")], "04.03.2009");
}

TEST_F(TypedFixture, TopKeepsTheRowsTiedWithTheLast)
{
    pruefen({
        {"SELECT TOP 1 Klasse FROM Schüler WHERE Klasse Like '10*' ORDER BY Klasse", {"10a", "10a"}},
        {"SELECT TOP 2 Klasse FROM Schüler WHERE Klasse Like '10*' ORDER BY Klasse", {"10a", "10a"}},
        {"SELECT TOP 3 Klasse FROM Schüler WHERE Klasse Like '10*' ORDER BY Klasse", {"10a", "10a", "10B"}},
        // "5a" and "5A" tie (their order among each other is open), unless a further key decides.
        {"SELECT Count(*) FROM (SELECT TOP 1 Klasse FROM Schüler WHERE Klasse Like '5*' ORDER BY Klasse)", {"3"}},
        {"SELECT TOP 1 Klasse, SchülerNr FROM Schüler WHERE Klasse Like '5*' ORDER BY Klasse, SchülerNr", {"5a|3"}},
        // A key given by its position keeps the ties as well.
        {"SELECT TOP 1 Klasse, Klasse & '' FROM Schüler ORDER BY 2", {"10a|10a", "10a|10a"}},
        {"SELECT Count(*) FROM (SELECT TOP 1 Name, Klasse FROM Schüler ORDER BY 2)", {"2"}},
        {"SELECT Count(*) FROM (SELECT TOP 2 Name, Klasse AS K FROM Schüler ORDER BY 2 DESC, 1)", {"2"}},
        // TOP n PERCENT counts a started row (30 % of 13 is 4) and keeps the ties with the last one.
        {"SELECT Count(*) FROM (SELECT TOP 30 PERCENT Klasse FROM Schüler ORDER BY 1)", {"6"}},
        {"SELECT TOP 30 PERCENT UCase(Klasse) AS K FROM Schüler ORDER BY Klasse", {"10A", "10A", "10B", "5A", "5A", "5A"}},
        {"SELECT TOP 1 SchülerNr FROM Schüler ORDER BY Geburtsdatum DESC", {"3"}},
        {"SELECT TOP 2 Name FROM Schüler ORDER BY Name DESC", {"Weiß", "Schmidt"}},
        {"SELECT TOP 1 Trim(Klasse) AS K FROM Schüler WHERE Klasse Like '10*' ORDER BY K DESC", {"10B"}},
        {"SELECT TOP 1 Klasse, Count(*) AS Anzahl FROM Schüler GROUP BY Klasse ORDER BY Count(*) DESC", {"7b|4"}},
        {"SELECT TOP 2 SchülerNr FROM Schüler WHERE Klasse = '7b'", {"7", "8"}},
        // A sub-query's TOP may rank the rows of the outer row's class: the youngest of each class,
        // the first by birth (a missing date sorts first), half of each class with its ties.
        {"SELECT Klasse, Name FROM Schüler S WHERE SchülerNr In (SELECT TOP 1 SchülerNr FROM Schüler T "
         "WHERE T.Klasse = S.Klasse ORDER BY T.Geburtsdatum DESC) ORDER BY SchülerNr",
         {"10a|Müller", "5a|Özdemir", "10B|Schmidt", "7b|MÜLLER", "6c|Maier"}},
        {"SELECT K.Klasse, (SELECT TOP 1 Name FROM Schüler S WHERE S.Klasse = K.Klasse ORDER BY Geburtsdatum) "
         "FROM Klassen K ORDER BY K.Klasse", {"10a|Maier", "10B|Schmidt", "5a|Mayer"}},
        {"SELECT Count(*) FROM Schüler S WHERE SchülerNr In (SELECT TOP 50 PERCENT SchülerNr FROM Schüler T "
         "WHERE T.Klasse = S.Klasse ORDER BY T.Name)", {"8"}},
        {"SELECT T.Name FROM (SELECT TOP 2 Name, Geburtsdatum FROM Schüler WHERE Klasse = '7b' "
         "ORDER BY Geburtsdatum DESC) AS T ORDER BY T.Name", {"MÜLLER", "Weiß"}},
    });
}

// A statement that compares a date with a text and also makes a date text: each place converts
// its own way, and dates keep their order as dates in Min, Max, DISTINCT and groups.
TEST_F(TypedFixture, DatesComparedAndShownAsTextInOneStatement)
{
    pruefen({
        {"SELECT Name & \" \" & Geburtsdatum FROM Schüler WHERE Geburtsdatum > \"01.01.2012\" ORDER BY SchülerNr",
         {"Özdemir 01.07.2013", "meier 15.01.2013", "MÜLLER 02.01.2012 10:30:00", "Lang 05.03.2012",
          "Maier 05.05.2012"}},
        {"SELECT IIf(Geburtsdatum > \"1.1.2012\", \"jung: \" & Geburtsdatum, \"alt\") FROM Schüler "
         "WHERE SchülerNr In (7, 8, 9) ORDER BY SchülerNr", {"alt", "alt", "jung: 02.01.2012 10:30:00"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum & \"\" = \"31.12.2011\" AND Left(Geburtsdatum, 2) = \"31\"",
         {"Öztürk"}},
        // Min and Max of dates as dates, of texts (dates made text too) in German order.
        {"SELECT Min(Geburtsdatum), Max(Geburtsdatum), Max(Geburtsdatum) & '', Min(Name), Max(Trim(Name)) "
         "FROM Schüler", {"24.12.2008|01.07.2013|01.07.2013|Ärmel|Weiß"}},
        {"SELECT Max(CStr(Geburtsdatum)), Min(CStr(Geburtsdatum)) FROM Schüler", {"31.12.2011|01.01.2012"}},
        {"SELECT Klasse, Min(Geburtsdatum), Max(Name) FROM Schüler WHERE Klasse <> '7b' GROUP BY Klasse "
         "ORDER BY Klasse", {"10a|24.12.2008|Müller", "10B||Schmidt", "5a|15.01.2013|Özdemir", "6c|03.02.2011|Maier"}},
        {"SELECT DISTINCT Geburtsdatum FROM Schüler WHERE Geburtsdatum Is Null Or Geburtsdatum < '1.1.2011' "
         "ORDER BY Geburtsdatum", {"", "24.12.2008", "04.03.2009", "15.06.2010"}},
        {"SELECT DISTINCT Format(Geburtsdatum, \"mmmm\") FROM Schüler WHERE Geburtsdatum >= \"1.1.2012\"",
         {"Januar", "Juli", "Mai", "März"}},
        {"SELECT Format(Geburtsdatum, \"Short Date\"), Count(*) FROM Schüler WHERE Geburtsdatum Is Null "
         "Or Year(Geburtsdatum) = 2012 GROUP BY Format(Geburtsdatum, \"Short Date\")",
         {"|2", "01.01.2012|1", "02.01.2012|1", "05.03.2012|1", "05.05.2012|1"}},
        {"SELECT Name FROM Schüler WHERE Nz(Geburtsdatum, \"unbekannt\") = \"unbekannt\" ORDER BY SchülerNr",
         {"Schmidt", "Mayer"}},
        // Choose and Switch pass a date on as IIf does.
        {"SELECT Choose(1, Geburtsdatum, \"x\") & \"\", Choose(2, Geburtsdatum, \"x\") & \"\" FROM Schüler "
         "WHERE SchülerNr = 7", {"31.12.2011|x"}},
        {"SELECT Switch(SchülerNr = 7, Geburtsdatum, True, \"x\") & \"\" FROM Schüler WHERE SchülerNr In (7, 8) "
         "ORDER BY SchülerNr", {"31.12.2011", "x"}},
        {"SELECT Name FROM Schüler WHERE Choose(1, Geburtsdatum) > \"1.1.2013\" ORDER BY SchülerNr",
         {"Özdemir", "meier"}},
        // ORDER BY reads the dates of its SELECT as dates too.
        {"SELECT Name FROM Schüler WHERE Klasse = '7b' ORDER BY IIf(Geburtsdatum < \"1.1.2012\", 0, 1), Name",
         {"Ozean", "Öztürk", "MÜLLER", "Weiß"}},
        {"SELECT Name FROM Schüler WHERE Klasse = '7b' ORDER BY CStr(Geburtsdatum)",
         {"Weiß", "MÜLLER", "Ozean", "Öztürk"}},
    });
}

// Each ORDER BY key compares as Access compares it, so a later key decides between texts that
// differ in case only; by name, position or alias, in a UNION and under TOP alike.
TEST_F(TypedFixture, OrderByKeysCompareAsAccessOneAfterTheOther)
{
    pruefen({
        {"SELECT Name, Vorname FROM Schüler WHERE Name = 'müller' ORDER BY Name, Vorname", {"Müller|Anna", "MÜLLER|Tom"}},
        {"SELECT Name, Vorname FROM Schüler WHERE Name = 'müller' ORDER BY Name DESC, Vorname DESC",
         {"MÜLLER|Tom", "Müller|Anna"}},
        {"SELECT Klasse, Name FROM Schüler WHERE Klasse Like '5*' ORDER BY Klasse, Name DESC",
         {"5a|Özdemir", "5a|meier", "5A|Mayer"}},
        {"SELECT Klasse, SchülerNr FROM Schüler WHERE Klasse Like '5*' ORDER BY 1, 2", {"5a|3", "5a|5", "5A|6"}},
        {"SELECT Klasse AS K, SchülerNr FROM Schüler WHERE Klasse Like '5*' ORDER BY K, SchülerNr", {"5a|3", "5a|5", "5A|6"}},
        {"SELECT UCase(Klasse) & '' AS K, Name FROM Schüler WHERE Klasse Like '5*' ORDER BY Klasse, Name",
         {"5A|Mayer", "5A|meier", "5A|Özdemir"}},
        {"SELECT TOP 1 Name, Vorname FROM Schüler WHERE Name = 'MÜLLER' ORDER BY Name, Vorname", {"Müller|Anna"}},
        {"SELECT Name, Vorname FROM Schüler WHERE SchülerNr = 9 UNION SELECT Name, Vorname FROM Schüler "
         "WHERE SchülerNr = 1 ORDER BY Name, Vorname", {"Müller|Anna", "MÜLLER|Tom"}},
        {"SELECT Klasse, Count(*) FROM Schüler WHERE Klasse < '6' GROUP BY Klasse, SchülerNr > 5 ORDER BY Klasse, "
         "Count(*) DESC", {"10a|2", "10B|1", "5a|2", "5A|1"}},
        // Dates and numbers by value.
        {"SELECT SchülerNr FROM Schüler WHERE Klasse = '7b' ORDER BY Geburtsdatum DESC", {"9", "8", "7", "10"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr > 8 ORDER BY SchülerNr & '', Len(Name)", {"10", "11", "12",
                                                                                                  "13", "9"}},
    });
}

// DISTINCT gives each row once, texts compared as Access compares them, in the order asked for or
// else in the order of its columns; also as a sub-select.
TEST_F(TypedFixture, DistinctGivesEachRowOnceInTheOrderAskedFor)
{
    pruefen({
        {"SELECT DISTINCT UCase(Klasse) FROM Schüler", {"10A", "10B", "5A", "6C", "7B"}},
        {"SELECT DISTINCT S.Klasse AS K FROM Schüler S WHERE SchülerNr <> 6 ORDER BY K DESC",
         {"7b", "6c", "5a", "10B", "10a"}},
        {"SELECT DISTINCT Klasse FROM Schüler WHERE SchülerNr <> 6 ORDER BY Schüler.Klasse DESC",
         {"7b", "6c", "5a", "10B", "10a"}},
        {"SELECT DISTINCT UCase(Left(Name, 1)), Klasse FROM Schüler WHERE Klasse < '6' AND SchülerNr <> 6 "
         "ORDER BY 2, 1 DESC", {"M|10a", "S|10B", "Ö|5a", "M|5a"}},
        {"SELECT DISTINCT Geburtsdatum, Klasse FROM Schüler WHERE Klasse = '7b' ORDER BY Geburtsdatum DESC",
         {"02.01.2012 10:30:00|7b", "01.01.2012|7b", "31.12.2011|7b", "15.06.2010|7b"}},
        {"SELECT DISTINCT SchülerNr Mod 3, Klasse FROM Schüler WHERE Klasse Like '1*' ORDER BY 1 DESC, 2",
         {"2|10a", "1|10a", "1|10B"}},
        {"SELECT DISTINCT S.Klasse, K.Klasse FROM Schüler S INNER JOIN Klassen K ON S.Klasse = K.Klasse "
         "WHERE S.SchülerNr <> 6", {"10a|10a", "10B|10B", "5a|5a"}},
        {"SELECT Name FROM Schüler WHERE Klasse In (SELECT DISTINCT Klasse FROM Klassen WHERE Klassenleiter = 'BAU') "
         "ORDER BY Name", {"Mayer", "meier", "Özdemir", "Schmidt"}},
        {"SELECT Count(*) FROM (SELECT DISTINCT Name, Vorname FROM Schüler WHERE Name Like 'M*')", {"6"}},
    });
}

// Not of a number is bitwise, as in Access; of a comparison or a Yes/No it is the opposite truth.
TEST_F(TypedFixture, NotOfANumberIsBitwise)
{
    pruefen({
        {"SELECT Not 5, Not -1, Not 0, Not Null, Not '5', Not 5.5, Not 4.5, Not True, Not (1 = 2), Not 5 + 1",
         {"-6|0|-1||-6|-7|-5|0|-1|-7"}},
        {"SELECT Not LRS, Not SchülerNr, Not Not LRS FROM Schüler WHERE SchülerNr In (1, 2) ORDER BY SchülerNr",
         {"0|-2|-1", "-1|-3|0"}},
        {"SELECT Count(*) FROM Schüler WHERE Not SchülerNr", {"13"}},
        {"SELECT Count(*) FROM Schüler WHERE Not SchülerNr = 3", {"12"}},
        {"SELECT Count(*) FROM Schüler WHERE Not LRS And Not Klasse = '7b'", {"6"}},
        {"SELECT Not Name FROM Schüler WHERE SchülerNr = 1", fehler},
    });
}

// And, Or, Xor, Eqv and Imp work bit by bit where a number takes part, a decimal rounded half to
// even first; on truth values (comparisons, True/False, a Yes/No stored as 1) they are logical,
// and Null decides nothing unless the other side does alone.
TEST_F(TypedFixture, ConnectivesOnNumbersWorkBitByBit)
{
    pruefen({
        {"SELECT 3 And 5, 3 Or 4, 6 Xor 3, 5 Eqv 3, 5 Imp 3, (1=1) And 5, True Or 4, 2.5 And 3, 3.5 And 7, '6' Or 1",
         {"1|7|5|-7|-5|5|-1|2|4|7"}},
        {"SELECT (1=1) And (2=2), (1=1) Xor (2=2), (1=2) Eqv (2=3), (1=1) Imp (1=2), True And False, Not 1=2 Or False",
         {"-1|0|-1|0|0|-1"}},
        {"SELECT Null And False, Null And True, Null Or True, Null Or False, Null Xor True, Null Eqv False, "
         "False Imp Null, Null Imp True, True Imp Null, Null Imp False", {"0||-1||||-1|-1||"}},
        {"SELECT Null And 0, Null And 5, Null Or -1, Null Or 5, 0 Imp Null, Null Imp -1, Null Xor 5, 5 Eqv Null",
         {"0||-1||-1|-1||"}},
        // Or binds tighter than Xor, Xor than Eqv, Eqv than Imp; Not tighter than all.
        {"SELECT 1 Or 2 Xor 3, 1 Xor 1 Eqv 0, 5 Imp 0 Eqv 5, Not 1 And 3, 6 And 3 Or 8", {"0|-1|-6|2|10"}},
        {"SELECT LRS And (SchülerNr > 3), LRS Or 4, LRS And 6, LRS Xor LRS, SchülerNr And 6, SchülerNr Or LRS "
         "FROM Schüler WHERE SchülerNr In (1, 2) ORDER BY SchülerNr", {"0|-1|6|0|0|-1", "0|4|0|0|2|2"}},
        // True is -1 where it meets a number, a truth value where it meets a Yes/No.
        {"SELECT 5 = True, -1 = True, 0 = False, 1 <> True, (3 And 5) = True, LRS = True, IsNull(Name) = False "
         "FROM Schüler WHERE SchülerNr = 1", {"0|-1|-1|-1|0|-1|-1"}},
        {"SELECT 3000000000 And 1", fehler},
        {"SELECT Name Or 1 FROM Schüler WHERE SchülerNr = 1", fehler},
    });
}

// In a WHERE a number stands for true unless it is 0, also the result of a bitwise connective.
TEST_F(TypedFixture, ConnectivesInAWhereFilterAsAccessDoes)
{
    pruefen({
        {"SELECT Count(*) FROM Schüler WHERE SchülerNr And 1", {"7"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr And 4 ORDER BY SchülerNr", {"4", "5", "6", "7", "12", "13"}},
        {"SELECT Count(*) FROM Schüler WHERE 3 And 4", {"0"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS And SchülerNr > 4", {"3"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS Or Klasse = '7b'", {"7"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr > 10 Xor LRS ORDER BY SchülerNr", {"1", "5", "8", "12", "13"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS Imp SchülerNr > 4", {"12"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS Eqv Geburtsdatum Is Null", {"7"}},
    });
}
