// Typed statements a school office writes, with the rows German Access gives for them, run
// through the lists window's own function: dates and Yes/No values where numbers or texts are
// taken, TOP PERCENT, joins, field names, ANY/ALL, Access's own functions and argument counts.
#include "records/listenlogik.h"
#include "test_listen_fixture.h"
#include "test_typed_faelle.h"

#include <vector>

using listentest::fehler;
using listentest::pruefen;
using listentest::zeilen;

namespace {

// That school with grades stored as text and three subjects taught.
class TypedCorpus : public listentest::JahreswechselFixture {
protected:
    void SetUp() override
    {
        JahreswechselFixture::SetUp();
        einfuegen(QStringLiteral(
            "INSERT INTO Noten (ID, SchülerNr, UIndex, Archiv, sa1) VALUES "
            "(1,1,1,0,'2'),(2,1,2,0,'2,5'),(3,1,3,0,'2-'),(4,2,1,0,NULL),(5,3,1,0,'');"
            "INSERT INTO Unterricht (\"Index\", Klasse, Fach, Lehrkraft, AnzStd, Archiv) VALUES "
            "(1,'10a','D','SCH',4,0),(2,'10a','M','bau',3.5,0),(3,'5a','E','BAU',2,1);"));
    }
};

} // namespace

// Dates as numbers, day zero and date texts, as German Access reads and shows them.
TEST_F(TypedCorpus, DatesAreReadAndShownAsAccessDoes)
{
    pruefen({
        // A date given to a function that takes a number counts as its serial number; Int and Fix keep
        // it a date without its time.
        {"SELECT Int(Geburtsdatum), Fix(Geburtsdatum), CDbl(Geburtsdatum), CLng(Geburtsdatum) FROM Schüler "
         "WHERE SchülerNr = 9", {"02.01.2012|02.01.2012|40910,4375|40910"}},
        {"SELECT SchülerNr FROM Schüler WHERE Int(Geburtsdatum) = #1/2/2012# ORDER BY 1", {"9"}},
        {"SELECT 'am ' & Int(#1/2/2012 10:30#), CDbl(#12/30/1899 12:00#), CDbl(#1/1/1900#)", {"am 02.01.2012|0,5|2"}},
        {"SELECT Int(Now()) = Date(), Fix(Now()) = Date()", {"-1|-1"}},
        {"SELECT Int(Geburtsdatum) FROM Schüler WHERE SchülerNr = 4", {""}},
        {"SELECT #1/3/2012# - #1/1/2012#, CDate(40909), #1/1/2012# + 1", {"2|01.01.2012|02.01.2012"}},
        // Avg and Sum of dates average and add their serial numbers and stay dates.
        {"SELECT Avg(Geschrieben) FROM LNW", {"04.03.2024 16:07:30"}},
        {"SELECT Klasse, Avg(Geburtsdatum) FROM Schüler WHERE Klasse In ('10a', '10B') GROUP BY Klasse ORDER BY Klasse",
         {"10a|28.01.2009", "10B|"}},
        // Access's day zero (30.12.1899) is a time alone, midnight too.
        {"SELECT TimeValue('1.1.2012'), CDate(0), #00:00:00#, CDate(0.5), 'um ' & TimeSerial(0, 0, 0)",
         {"00:00:00|00:00:00|00:00:00|12:00:00|um 00:00:00"}},
        {"SELECT Format(0, 'General Date'), Format(CDate(0), 'dd.mm.yyyy'), Format(#1/1/2012#, 'General Date')",
         {"00:00:00|30.12.1899|01.01.2012"}},
        // CDate, DateValue, IsDate and the date parts read a text as German settings do, the same way a
        // text compared with a date is read; two dates added give a day with its time.
        {"SELECT CDate('31. Dezember 2011'), CDate('31/12/2011'), CDate('12/31/2011'), CDate('31.12.11 14:30'), "
         "CDate('14:30')", {"31.12.2011|31.12.2011|31.12.2011|31.12.2011 14:30:00|14:30:00"}},
        {"SELECT IsDate('1. Januar 2012'), DateValue('2. Februar 2012'), Year('1. März 2011'), Month('3/4/2012')",
         {"-1|02.02.2012|2011|4"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum = '12/31/2011'", {"Öztürk"}},
        {"SELECT CDate('31.13.2011')", fehler},
        {"SELECT #1/1/2012# + #12:00#, Geburtsdatum + #10:00# FROM Schüler WHERE SchülerNr = 1",
         {"01.01.2012 12:00:00|04.03.2009 10:00:00"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum + #10:30# = #1/2/2012 21:00#", {"MÜLLER"}},
        // A text with a number added to a date or taken from it counts as days, never joined to it.
        {"SELECT Geburtsdatum + '1', Geburtsdatum - '2', '7' + Geburtsdatum, #1/1/2012# + '0,5' FROM Schüler "
         "WHERE SchülerNr = 1", {"05.03.2009|02.03.2009|11.03.2009|01.01.2012 12:00:00"}},
    });
}

// Conversions, products and numeric texts in the forms German Access reads.
TEST_F(TypedCorpus, NumbersAndNumericTextsAsAccessReadsThem)
{
    pruefen({
        // CInt and CLng round half to even and stop beyond Integer and Long.
        {"SELECT CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1.5), CInt('2,5'), CInt(2.51)", {"2|4|-2|2|2|3"}},
        {"SELECT CInt(32767.4), CInt(-32768.5), CLng(2147483647.4)", {"32767|-32768|2147483647"}},
        {"SELECT CInt(40000)", fehler}, {"SELECT CInt(-32769)", fehler}, {"SELECT CLng(2147483648)", fehler},
        {"SELECT CInt(#1/1/2012#)", fehler},
        {"SELECT Int(-2.5), Fix(-2.5), Int(-0.1), 7.6 \\ 2, -7 \\ 2, 7.6 Mod 3, -7 Mod 3, 8.5 Mod 2", {"-3|-2|-1|4|-3|2|-1|0"}},
        // *, /, ^ and the sign read a numeric text with the decimal comma and a date as its serial
        // number; a text that is no number stops the statement.
        {"SELECT Format(12.5, '0.0') * 2, '12,5' * 2, '3' / '2', -'2,5', '2' ^ 2, 2 * Null", {"25|25|1,5|-2,5|4|"}},
        {"SELECT ID, sa1 * 2, -sa1, sa1 / 2 FROM Noten WHERE ID In (1, 2) ORDER BY ID", {"1|4|-2|1", "2|5|-2,5|1,25"}},
        {"SELECT #1/2/2012# * 1, Geburtsdatum * 1, (#9/1/2024# - Geburtsdatum) / 365.25 > 15 FROM Schüler "
         "WHERE SchülerNr = 1", {"40910|39876|-1"}},
        {"SELECT Sum(LRS) * -1, True * 3, Nz(Null, '4') * 2 FROM Schüler", {"3|-3|8"}}, {"SELECT 'x' * 2", fehler},
        {"SELECT sa1 * 2 FROM Noten WHERE ID = 5", fehler},
        // A text read as a number takes the forms Access reads in German settings: thousands, a sign
        // after the number ("2-" is -2), parentheses, the euro sign, &H; a date text stays no number.
        {"SELECT CDbl('1.000,5'), CDbl('2-'), '2-' + 0, '(2)' * 1, CDbl('3 €'), CInt('&H1F'), CLng('&HFFFF')",
         {"1000,5|-2|-2|-2|3|31|-1"}},
        {"SELECT ID, sa1 * 1 FROM Noten WHERE IsNumeric(sa1) ORDER BY ID", {"1|2", "2|2,5", "3|-2"}},
        {"SELECT Str(Geburtsdatum), CDbl('1,5') FROM Schüler WHERE SchülerNr = 1", {"04.03.2009|1,5"}},
        {"SELECT CDbl('04.03.2009')", fehler}, {"SELECT CDbl('abc')", fehler},
        // Sum and Avg of grades stored as text read each as a number the same way; an empty grade
        // stops the statement.
        {"SELECT Sum(sa1), Avg(sa1), Count(sa1), Max(sa1) FROM Noten WHERE sa1 <> ''", {"2,5|0,833333333333333|3|2,5"}},
        {"SELECT Sum(sa1) FROM Noten", fehler},
    });
}

// Yes/No values made text, sorted and grouped.
TEST_F(TypedCorpus, YesNoShowsAndSortsAsAccess)
{
    pruefen({
        // A Yes/No made text is Access's -1 or 0; shown on its own it is "Wahr"/"Falsch".
        {"SELECT 'x' & LRS, CStr(LRS), LRS & '', Format(LRS), Format(LRS, 'Yes/No'), LRS FROM Schüler "
         "WHERE SchülerNr In (1, 2) ORDER BY SchülerNr", {"x-1|-1|-1|-1|Ja|Wahr", "x0|0|0|0|Nein|Falsch"}},
        {"SELECT Name & ' ' & IIf(LRS, 'LRS', '-') FROM Schüler WHERE SchülerNr In (1, 2) ORDER BY SchülerNr",
         {"Müller LRS", "Maier -"}},
        // Yes (-1) sorts before No (0) and is the smaller of the two, as Access keeps Yes/No.
        {"SELECT Name, LRS FROM Schüler WHERE Klasse = '10a' ORDER BY LRS", {"Müller|Wahr", "Maier|Falsch"}},
        {"SELECT Name FROM Schüler WHERE Klasse = '10a' ORDER BY LRS DESC, Name", {"Maier", "Müller"}},
        {"SELECT TOP 1 Name FROM Schüler WHERE Klasse = '10a' ORDER BY LRS", {"Müller"}},
        {"SELECT LRS, Count(*) FROM Schüler GROUP BY LRS ORDER BY LRS", {"Wahr|3", "Falsch|6"}},
        {"SELECT Min(LRS), Max(LRS) FROM Schüler", {"-1|0"}}, {"SELECT Max(LRS) FROM Schüler WHERE LRS", {"-1"}},
        {"SELECT DISTINCT LRS FROM Schüler ORDER BY LRS", {"Wahr", "Falsch"}},
        {"SELECT LRS AS L, Count(*) FROM Schüler GROUP BY LRS ORDER BY 1", {"Wahr|3", "Falsch|6"}},
        {"SELECT LRS, Name FROM Schüler WHERE Klasse = '10a' ORDER BY 1 DESC", {"Falsch|Maier", "Wahr|Müller"}},
        {"SELECT Name, Vorname, LRS FROM Schüler WHERE Klasse = '7b' ORDER BY 3, 1",
         {"Weiß|Jan|Wahr", "MÜLLER|Tom|Falsch", "Öztürk|Deniz|Falsch"}},
        {"SELECT Name, Vorname, LRS FROM Schüler WHERE Klasse = '7b' ORDER BY 3 DESC, 1 DESC",
         {"Öztürk|Deniz|Falsch", "MÜLLER|Tom|Falsch", "Weiß|Jan|Wahr"}},
    });
}

// Which rows TOP PERCENT keeps and how a column position sorts.
TEST_F(TypedCorpus, TopPercentAndOrderByPositionAsAccess)
{
    pruefen({
        // TOP n PERCENT counts a started row and, like TOP n, keeps the rows tied with the last one.
        {"SELECT TOP 50 PERCENT SchülerNr FROM Schüler ORDER BY SchülerNr", {"1", "2", "3", "4", "5"}},
        {"SELECT TOP 10 PERCENT Name FROM Schüler ORDER BY SchülerNr", {"Müller"}},
        {"SELECT TOP 20 PERCENT Klasse FROM Schüler ORDER BY Klasse", {"10a", "10a"}},
        {"SELECT TOP 25 PERCENT Klasse FROM Schüler ORDER BY Klasse", {"10a", "10a", "10B"}},
        {"SELECT TOP 30 PERCENT Klasse FROM Schüler ORDER BY Klasse", {"10a", "10a", "10B"}},
        {"SELECT Count(*) FROM (SELECT TOP 40 PERCENT Klasse FROM Schüler ORDER BY Klasse)", {"6"}},
        // A column's position in ORDER BY sorts in German order as its name does.
        {"SELECT DISTINCT UCase(Left(Name, 1)) FROM Schüler ORDER BY 1", {"M", "Ö", "S", "W"}},
        {"SELECT Name FROM Schüler WHERE SchülerNr In (3, 7, 8) UNION SELECT 'Ober' FROM Klassen ORDER BY 1",
         {"Ober", "Özdemir", "Öztürk", "Weiß"}},
        {"SELECT Vorname, Name FROM Schüler WHERE Klasse = '10a' ORDER BY 1 DESC", {"Ömer|Maier", "Anna|Müller"}},
    });
}

// Two selected columns of one name from different tables are named with their table.
TEST_F(TypedCorpus, ColumnsOfOneNameFromTwoTablesNamedWithTheirTable)
{
    auto felder = [](const char *sql) { return listen::ausfuehren(QString::fromUtf8(sql)).felder; };
    EXPECT_EQ(felder("SELECT S.Name, K.Klasse, S.Klasse, Count(*) FROM Schüler S INNER JOIN Klassen K "
                     "ON S.Klasse = K.Klasse GROUP BY S.Name, K.Klasse, S.Klasse"),
              QStringList({"Name", "K.Klasse", "S.Klasse", "Ausdr1000"}));
    EXPECT_EQ(felder("SELECT Schüler.Name, Lehrkräfte.Name FROM Schüler, Lehrkräfte WHERE Schüler.SchülerNr = 1"),
              QStringList({"Schüler.Name", "Lehrkräfte.Name"}));
    EXPECT_EQ(felder("SELECT Name, Schüler.Name AS N, Schüler.Vorname FROM Schüler"),
              QStringList({"Name", "N", "Vorname"}));
    pruefen({
        {"SELECT S.Klasse, K.Klasse FROM Schüler S INNER JOIN Klassen K ON S.Klasse = K.Klasse "
         "WHERE S.SchülerNr < 3 UNION SELECT 'x', 'y' ORDER BY 1", {"10a|10a", "x|y"}},
    });
}

// Access joins two items at a time: a third table needs the first join in parentheses.
TEST_F(TypedCorpus, AFurtherJoinNeedsParentheses)
{
    pruefen({
        {"SELECT S.Name, U.Fach FROM (Schüler S INNER JOIN Noten N ON S.SchülerNr = N.SchülerNr) "
         "INNER JOIN Unterricht U ON N.UIndex = U.[Index] ORDER BY U.Fach, S.SchülerNr",
         {"Müller|D", "Maier|D", "Özdemir|D", "Müller|E", "Müller|M"}},
        {"SELECT S.Name FROM Schüler S INNER JOIN (Noten N LEFT JOIN Unterricht U ON N.UIndex = U.[Index]) "
         "ON S.SchülerNr = N.SchülerNr WHERE N.ID = 1", {"Müller"}},
        {"SELECT S.Name FROM Schüler S INNER JOIN Noten N ON S.SchülerNr = N.SchülerNr "
         "INNER JOIN Unterricht U ON N.UIndex = U.[Index]", fehler},
        {"SELECT S.Name FROM Schüler S LEFT JOIN Noten N ON S.SchülerNr = N.SchülerNr "
         "LEFT JOIN Unterricht U ON N.UIndex = U.[Index]", fehler},
    });
}

// Format masks and the argument counts Access takes.
TEST_F(TypedCorpus, FormatAndArgumentCountsAsAccess)
{
    pruefen({
        // Format counts "w" and "ww" from the first day of the week and the first week of the year given
        // to it; a call with more arguments than Access takes is refused, never SQLite's own function.
        {"SELECT Format(#1/1/2012#, 'ww', 2, 2), Format(#12/31/2012#, 'ww', 2, 2), Format(#1/1/2012#, 'w', 2), "
         "Format(#1/1/2012#, '\"KW \"ww', 2, 2), Format(#1/1/2012#, 'ww'), Format(1234.5, '0.0', 2)",
         {"52|53|7|KW 52|1|1234,5"}},
        {"SELECT Format(Geburtsdatum, 'ww', 2, 2) = DatePart('ww', Geburtsdatum, 2, 2) FROM Schüler WHERE SchülerNr = 1",
         {"-1"}},
        {"SELECT Format(#1/1/2012#, 'ww', 1, 1, 1)", fehler}, {"SELECT IIf(1 = 1, 'a')", fehler},
        {"SELECT Date('now')", fehler}, {"SELECT Trim(Name, 'M') FROM Schüler", fehler},
        {"SELECT Abs(-3), Abs(Null), Abs('-2,5'), Abs(-2.5)", {"3||2,5|2,5"}}, {"SELECT Abs('abc')", fehler},
        // A "," after a mask's integer digits counts in thousands, and a fourth section is what Null
        // shows (the sections joined with Chr(59): the window cuts the text after its last ";").
        {"SELECT Format(1900000, '0,,'), Format(1900000, '0,,.0'), Format(1234567, '#,##0,'), "
         "Format(1900000, '#,##0,, \"Mio.\"'), Format(1234567, '#,###'), Format(19, '\\####\\#')",
         {"2|1,9|1.235|2 Mio.|1.234.567|#19#"}},
        {"SELECT Format(Null, '0' & Chr(59) & '-0' & Chr(59) & '\"null\"' & Chr(59) & '\"nichts\"'), "
         "Format(0, '0' & Chr(59) & '-0' & Chr(59) & '\"null\"' & Chr(59) & '\"nichts\"'), Format(Null, '0.00') & '|'",
         {"nichts|null||"}},
    });
}

// SQLite's own syntax and names are refused as Access refuses what it does not know; Access's
// own forms run.
TEST_F(TypedCorpus, SqliteOnlySyntaxRefusedAccessSyntaxRuns)
{
    for (const char *sql :
         {"SELECT rowid FROM Klassen", "SELECT S.oid FROM Schüler S", "SELECT _rowid_ FROM Klassen",
          "SELECT CAST(SchülerNr AS TEXT) FROM Schüler", "SELECT Name || Vorname FROM Schüler",
          "SELECT Name FROM Schüler LIMIT 2", "SELECT Name FROM Schüler WHERE Name glob 'M*'",
          "SELECT Name FROM Schüler WHERE Name IS NOT DISTINCT FROM 'Lang'", "SELECT json_extract('{}', '$.a')",
          "SELECT CASE WHEN 1 = 1 THEN 'a' END", "WITH x AS (SELECT 1) SELECT * FROM x",
          "SELECT Name FROM Schüler EXCEPT SELECT 'x'", "SELECT Name FROM Schüler WHERE SchülerNr % 2 = 0",
          "SELECT Name FROM Schüler WHERE SchülerNr == 1", "SELECT Name FROM Schüler WHERE SchülerNr != 1",
          "SELECT Name FROM Schüler NATURAL JOIN Klassen", "SELECT Name FROM Schüler S LEFT JOIN Klassen K USING (Klasse)",
          "SELECT Name FROM Schüler WHERE SchülerNr = 1 -- Kommentar", "SELECT Name FROM Schüler WHERE Name = `Müller`",
          "SELECT Count(DISTINCT Klasse) FROM Schüler", "SELECT Name Nachname FROM Schüler"})
        EXPECT_EQ(zeilen(QString::fromUtf8(sql)), fehler) << sql;
    pruefen({
        {"SELECT [Name], [Schüler].[Vorname], Schüler!Klasse FROM [Schüler] WHERE [SchülerNr] = 1", {"Müller|Anna|10a"}},
        {"SELECT Schüler.* FROM Schüler WHERE SchülerNr = 1", {"1|Müller|Anna|10a||04.03.2009||||Wahr|Falsch"}},
        {"SELECT Name AS [Nach-name], 'It''s', \"Er sagt \"\"Hallo\"\"\" FROM Schüler WHERE SchülerNr = 1",
         {"Müller|It's|Er sagt \"Hallo\""}},
    });
}

// Comparisons with a sub-select's values and Between's bounds.
TEST_F(TypedCorpus, SubSelectsAndBetweenCompareAsAccess)
{
    pruefen({
        // ANY, SOME and ALL compare with each value of a sub-select, as Access does; ALL over a Null
        // holds for no row, over no value for every row.
        {"SELECT Name FROM Schüler WHERE Klasse = Any (SELECT Klasse FROM Klassen WHERE Klassenleiter = 'sch') "
         "ORDER BY Name", {"Maier", "Müller"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum > ALL (SELECT Geburtsdatum FROM Schüler WHERE Klasse = '7b') "
         "ORDER BY Name", {"meier", "Özdemir"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum < SOME (SELECT Geburtsdatum FROM Schüler WHERE Klasse = '10a')",
         {"Maier"}},
        {"SELECT Name FROM Schüler S WHERE S.SchülerNr >= ALL (SELECT T.SchülerNr FROM Schüler T "
         "WHERE T.Klasse = S.Klasse) ORDER BY S.SchülerNr", {"Maier", "Schmidt", "Mayer", "MÜLLER"}},
        {"SELECT Name FROM Schüler WHERE Name < ALL (SELECT Name FROM Schüler WHERE Klasse = '7b') ORDER BY Name",
         {"Maier", "Mayer", "meier"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum > ALL (SELECT Geburtsdatum FROM Schüler WHERE Klasse = '10B')",
         {"0"}},
        {"SELECT Count(*) FROM Schüler WHERE SchülerNr > ALL (SELECT SchülerNr FROM Schüler WHERE Klasse = 'x')", {"9"}},
        // A date In the values of a sub-select reads them as dates, as Access compares them.
        {"SELECT Name FROM Schüler WHERE Geburtsdatum In (SELECT '01.01.2012' FROM Klassen)", {"Weiß"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum In (SELECT Max(Geburtsdatum) FROM Schüler GROUP BY Klasse) "
         "ORDER BY SchülerNr", {"Müller", "Özdemir", "MÜLLER"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum In (SELECT 'x' FROM Klassen)", fehler},
        // Between takes its bounds in either order, as Jet does.
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr Between 5 And 3 ORDER BY 1", {"3", "4", "5"}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr Not Between 8 And 3 ORDER BY 1", {"1", "2", "9"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum Between '1.1.2012' And '31.12.2011' ORDER BY 1", {"7", "8"}},
        {"SELECT SchülerNr FROM Schüler WHERE Geburtsdatum Between #1/1/2013# And #1/1/2012# ORDER BY 1", {"8", "9"}},
        {"SELECT Name FROM Schüler WHERE Name Not Between 'Z' And 'N' ORDER BY Name, SchülerNr",
         {"Maier", "Mayer", "meier", "Müller", "MÜLLER"}},
        {"SELECT Count(*) FROM Schüler WHERE Geburtsdatum Not Between #1/1/2013# And #1/1/2009#", {"3"}},
        {"SELECT 2 Between 3 And 1, 2 Between Null And 3", {"-1|"}},
    });
}

// Like and the text functions on numbers, texts and Null.
TEST_F(TypedCorpus, LikeAndTextFunctionsAsAccess)
{
    pruefen({
        // Like matches a number as it shows, with the decimal comma.
        {"SELECT ID FROM LNW WHERE Schnitt Like '2,*'", {"1"}}, {"SELECT ID FROM LNW WHERE Schnitt Like '*.*'", {}},
        {"SELECT SchülerNr FROM Schüler WHERE SchülerNr Like '1*' ORDER BY 1", {"1"}},
        {"SELECT ID FROM LNW WHERE Schnitt * 2 Like '5' OR Schnitt & '' Like '3'", {"1", "2"}},
        // So do Replace, LTrim and RTrim; Replace with its start, count and compare.
        {"SELECT Replace(Schnitt, '5', 'x'), LTrim(Schnitt), RTrim(Schnitt) FROM LNW WHERE ID = 1", {"2,x|2,5|2,5"}},
        {"SELECT Replace('Aa', 'a', 'x'), Replace('Aa', 'a', 'x', 1, -1, 1), Replace('abcabc', 'b', 'x', 3), "
         "Replace('abcabc', 'b', 'x', 1, 1), Replace(Null, 'a', 'b'), Replace('abc', '', 'x')",
         {"Ax|xx|caxc|axcabc||abc"}},
        {"SELECT LTrim('  a  ') & '|' & RTrim('  a  ') & '|'", {"a  |  a|"}},
        {"SELECT Replace('abc', Null, 'x')", fehler},
        // Left, Right and Mid round their lengths and positions as Access does and refuse a negative
        // length, a position before the first character or a Null count.
        {"SELECT Left(Name, 3), Right(Name, 2), Mid(Name, 3), Mid(Name, 10) & '|', Left(Name, 0) & '|', "
         "Mid(Name, 2, 2.5), Left(Name, 2.6), Mid('abc', '2') FROM Schüler WHERE SchülerNr = 1",
         {"Mül|er|ller|||||ül|Mül|bc"}},
        {"SELECT Left(Null, 2) & '|', Left(Geburtsdatum, 2), Right(Schnitt, 1) FROM Schüler, LNW "
         "WHERE SchülerNr = 1 AND ID = 1", {"||04|5"}},
        {"SELECT Left(Name, -1) FROM Schüler", fehler}, {"SELECT Mid(Name, 0, 2) FROM Schüler", fehler},
        {"SELECT Right(Name, Null) FROM Schüler", fehler},
    });
}

// A later item of the select list may use the name given to an earlier one, as Access allows;
// a field of that name wins.
TEST_F(TypedCorpus, LaterItemsUseEarlierNames)
{
    pruefen({
        {"SELECT SchülerNr * 2 AS x, x + 1 AS y, [x] * y FROM Schüler WHERE SchülerNr < 3 ORDER BY SchülerNr",
         {"2|3|6", "4|5|20"}},
        {"SELECT Name, DateDiff('yyyy', Geburtsdatum, #9/1/2024#) AS Jahre, IIf(Jahre >= 15, 'ja', 'nein') "
         "FROM Schüler WHERE SchülerNr In (1, 3) ORDER BY SchülerNr", {"Müller|15|ja", "Özdemir|11|nein"}},
        {"SELECT Klasse, Count(*) AS Anz, Anz * 2 FROM Schüler WHERE Klasse Like '1*' GROUP BY Klasse ORDER BY Klasse",
         {"10a|2|4", "10B|1|2"}},
        {"SELECT Geburtsdatum AS G, G & '', G > '1.1.2009' FROM Schüler WHERE SchülerNr = 1", {"04.03.2009|04.03.2009|-1"}},
        {"SELECT Name AS Vorname, Vorname FROM Schüler WHERE SchülerNr = 1", {"Müller|Anna"}},
    });
}


// IIf in a query computes only the part its test chooses (in VBA it computes both), so a test
// guards a conversion; Yes and No, as the query grid writes them, are True and False.
TEST_F(TypedCorpus, IIfComputesTheChosenPartAndYesNoAreTruthValues)
{
    pruefen({
        {"SELECT ID, IIf(IsNumeric(sa1), CDbl(sa1) * 2, 'keine') FROM Noten ORDER BY ID",
         {"1|4", "2|5", "3|-4", "4|keine", "5|keine"}},
        {"SELECT ID, IIf(sa1 = '' Or sa1 Is Null, Null, 1 / CDbl(sa1)) FROM Noten WHERE ID > 2 ORDER BY ID",
         {"3|-0,5", "4|", "5|"}},
        {"SELECT IIf(1 = 1, 1, 1 / 0), IIf(True, 'a', CDbl('x')), IIf(False, CDbl('x'), 'b'), IIf(Null, CDbl('x'), 2)",
         {"1|a|b|2"}},
        {"SELECT IIf(SchülerNr > 1, Geburtsdatum, #1/1/2000#) + 1 FROM Schüler WHERE SchülerNr In (1, 2) "
         "ORDER BY SchülerNr", {"02.01.2000", "25.12.2008"}},
        {"SELECT Name FROM Schüler WHERE IIf(Klasse = '10a', LRS, Not LRS) AND Klasse In ('10a', '7b') ORDER BY SchülerNr",
         {"Müller", "Öztürk", "MÜLLER"}},
        {"SELECT Name FROM Schüler WHERE LRS = Yes ORDER BY SchülerNr", {"Müller", "meier", "Weiß"}},
        {"SELECT Count(*) FROM Schüler WHERE LRS = No", {"6"}},
        {"SELECT Yes, No, Not Yes, yes + 1", {"-1|0|0|0"}},
        {"SELECT Fach FROM Unterricht WHERE Archiv = No ORDER BY Fach", {"D", "M"}},
    });
}

// A grouped query shows and sorts by its groups and aggregates only, a DISTINCT by its items:
// Access refuses another field there instead of showing any row's value of it.
TEST_F(TypedCorpus, GroupedAndDistinctQueriesRefuseOtherFieldsAsAccess)
{
    for (const char *sql :
         {"SELECT Klasse, Name, Count(*) FROM Schüler GROUP BY Klasse", "SELECT Name, Count(*) FROM Schüler",
          "SELECT Max(Name), Klasse FROM Schüler WHERE Klasse = '10a'",
          "SELECT Klasse FROM Schüler GROUP BY Klasse ORDER BY Name", "SELECT DISTINCT Klasse FROM Schüler ORDER BY Name",
          "SELECT DISTINCT Name FROM Schüler ORDER BY Len(Name)"})
        EXPECT_EQ(zeilen(QString::fromUtf8(sql)), fehler) << sql;
    pruefen({
        {"SELECT Schüler.Klasse, Count(*) FROM Schüler WHERE Klasse Like '1*' GROUP BY Klasse ORDER BY S.Klasse",
         fehler},
        {"SELECT S.Klasse, Count(*) FROM Schüler S WHERE Klasse Like '1*' GROUP BY Klasse ORDER BY S.Klasse",
         {"10a|2", "10B|1"}},
        {"SELECT Klasse & ':', Count(*), 'x' FROM Schüler WHERE Klasse Like '1*' GROUP BY Klasse "
         "ORDER BY Max(Geburtsdatum) DESC", {"10a:|2|x", "10B:|1|x"}},
        {"SELECT Count(*) FROM Schüler HAVING Count(*) > 5", {"9"}},
        {"SELECT Klasse FROM Schüler GROUP BY Klasse HAVING Count(Name) > 2 ORDER BY Klasse", {"5a", "7b"}},
        {"SELECT DISTINCT Klasse FROM Schüler WHERE Klasse Like '1*' ORDER BY Schüler.Klasse DESC", {"10B", "10a"}},
    });
}
