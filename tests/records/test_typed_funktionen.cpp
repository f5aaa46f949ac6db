// Typed statements in the lists window give the values Access gives in German settings: dates
// inside texts, named formats and masks, the further functions, exact rounding, date literals,
// and no functions beyond Access's own.
#include "platform/accesssql.h"
#include "records/listenlogik.h"
#include "test_listen_fixture.h"
#include "test_typed_faelle.h"

#include <string>
#include <vector>

using listen::Ergebnis;
using listentest::ListenFixture;

namespace {

struct Fall {
    const char *ausdruck; // a select item over the pupil with SchülerNr 1 (Müller, born 04.03.2009)
    const char *erwartet; // the cell; "<Fehler>" for "Fehler im SQL-Ausdruck"
};

class TypedFunctions : public ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        einfuegen(QStringLiteral("INSERT INTO Noten (ID, SchülerNr, UIndex, sa1) VALUES "
                               "(1, 1, 1, '2'), (2, 2, 1, '1,5'), (3, 3, 1, '2-'), (4, 4, 1, NULL), (5, 5, 1, ''),"
                               "(6, 6, 1, ' 3 '), (7, 7, 1, '1+'), (8, 8, 1, '(2)'), (9, 9, 1, '-2-'), (10, 10, 1, 'x1')"));
    }

    QString zelle(const QString &ausdruck, int schueler = 1)
    {
        const Ergebnis e = listen::ausfuehren(
            QStringLiteral("SELECT %1 AS W FROM Schüler WHERE SchülerNr = %2").arg(ausdruck).arg(schueler));
        if (e.status == Ergebnis::Fehler)
            return QStringLiteral("<Fehler>");
        return e.status == Ergebnis::Daten ? e.zeilen[0][0] : QStringLiteral("<leer>");
    }

    void pruefen(const std::vector<Fall> &faelle, int schueler = 1)
    {
        for (const Fall &f : faelle)
            EXPECT_EQ(zelle(QString::fromUtf8(f.ausdruck), schueler).toStdString(), std::string(f.erwartet)) << f.ausdruck;
    }
};

} // namespace

// A date turned into text reads "04.03.2009", with the time only when there is one: in &, CStr,
// Str, Format without a mask, Nz and IIf with a text, the text functions and Like.
TEST_F(TypedFunctions, DatesInsideTextsShowAsGermanDates)
{
    pruefen({
        {"Name & \" (\" & Geburtsdatum & \")\"", "Müller (04.03.2009)"}, {"CStr(Geburtsdatum)", "04.03.2009"},
        {"Str(Geburtsdatum)", "04.03.2009"}, {"Format(Geburtsdatum)", "04.03.2009"},
        {"Nz(Geburtsdatum, \"unbekannt\")", "04.03.2009"},
        {"IIf(Geburtsdatum Is Null, \"fehlt\", Geburtsdatum)", "04.03.2009"}, {"Left(Geburtsdatum, 5)", "04.03"},
        {"Len(Geburtsdatum & \"\")", "10"}, {"\"Stand: \" & #12/31/2011 10:20:30#", "Stand: 31.12.2011 10:20:30"},
        {"CStr(#10:20:30#)", "10:20:30"}, {"CStr(DateAdd(\"d\", 1, Geburtsdatum))", "05.03.2009"},
        {"CStr(Geburtsdatum + 1)", "05.03.2009"}, {"Klasse & Name & 5", "10aMüller5"}, {"Name & Null", "Müller"},
        {"Geburtsdatum", "04.03.2009"},
        // Text that merely looks like a date stays as typed.
        {"'2024-01-01' & ''", "2024-01-01"},
    });
    pruefen({
        {"Nz(Geburtsdatum, \"unbekannt\")", "unbekannt"}, {"Name & \" (\" & Geburtsdatum & \")\"", "Schmidt ()"},
        {"IIf(Geburtsdatum Is Null, \"fehlt\", Geburtsdatum)", "fehlt"}, {"CStr(Geburtsdatum)", ""},
    },
            4);
    listentest::pruefen({
        {"SELECT S.Name & ' ' & S.Geburtsdatum FROM Schüler AS S WHERE S.SchülerNr = 2", {"Maier 24.12.2008"}},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum Like '*.2013' ORDER BY Name", {"meier", "Özdemir"}},
        {"SELECT ID, 'am ' & Geschrieben FROM LNW ORDER BY ID", {"1|am 01.03.2024 08:15:00", "2|am 08.03.2024"}},
        // A date column through a sub-select is a date.
        {"SELECT 'geb. ' & G FROM (SELECT Geburtsdatum AS G FROM Schüler WHERE SchülerNr = 3)", {"geb. 01.07.2013"}},
    });
}

// The named formats as German settings give them, masks with "/" ":" and "q", exact rounding.
TEST_F(TypedFunctions, NamedFormatsAndMasks)
{
    pruefen({
        {"Format(0.256, 'Percent')", "25,60%"}, {"Format(1234.5, 'Standard')", "1.234,50"},
        {"Format(1234.5, 'Fixed')", "1234,50"}, {"Format(0.5, 'fixed')", "0,50"},
        {"Format(-1234.5, 'Currency')", "-1.234,50 €"}, {"Format(1234.5, 'Euro')", "1.234,50 €"},
        {"Format(1234.5, 'General Number')", "1234,5"}, {"Format(1234.5, 'Scientific')", "1,23E+03"},
        {"Format(0.000256, 'Scientific')", "2,56E-04"}, {"Format(0, 'Yes/No')", "Nein"},
        {"Format(-1, 'Yes/No')", "Ja"}, {"Format(LRS, 'True/False')", "Wahr"}, {"Format(0, 'On/Off')", "Aus"},
        {"Format(Geburtsdatum, 'Long Date')", "Mittwoch, 4. März 2009"},
        {"Format(Geburtsdatum, 'Medium Date')", "04-Mrz-09"}, {"Format(Geburtsdatum, 'Short Date')", "04.03.2009"},
        {"Format(#12/31/2011 17:05:09#, 'Long Time')", "17:05:09"},
        {"Format(#12/31/2011 17:05:09#, 'Medium Time')", "05:05 PM"},
        {"Format(#12/31/2011 17:05:09#, 'Short Time')", "17:05"},
        {"Format(#12/31/2011 17:05:09#, 'General Date')", "31.12.2011 17:05:09"},
        {"Format(Geburtsdatum, 'General Date')", "04.03.2009"}, {"Format(Geburtsdatum, 'dd/mm/yyyy')", "04.03.2009"},
        {"Format(#12/31/2011 17:05:09#, 'hh:nn:ss')", "17:05:09"}, {"Format(Geburtsdatum, 'yyyy/q')", "2009.1"},
        {"Format(#11/30/2011#, '\"Quartal \"q')", "Quartal 4"},
        {"Format(#1/8/2012 7:05:00#, 'h:nn am/pm')", "7:05 am"},
        {"Format(#1/8/2012 19:05:00#, 'hh:nn A/P')", "07:05 P"}, {"Format(#1/8/2012#, 'w ww y')", "1 2 8"},
        {"Format(#1/7/2012#, 'ww')", "1"}, {"Format(#1/8/2012 19:05:00#, 'c')", "08.01.2012 19:05:00"},
        {"Format(#1/8/2012#, 'ddddd')", "08.01.2012"}, {"Format(#1/8/2012#, 'dddddd')", "Sonntag, 8. Januar 2012"},
        {"Format(#1/8/2012 19:05:00#, 'ttttt')", "19:05:00"}, {"Format(5000000.009, '0.00')", "5000000,01"},
        {"Format(-0.5, '0')", "-1"}, {"Format(1234.5, '#,##0.00 €')", "1.234,50 €"},
        // The window cuts the text after its last ";", so the sections are joined with Chr(59).
        {"Format(-3, '0' & Chr(59) & '(0)')", "(3)"},
        {"Format(0, '0.0' & Chr(59) & '-0.0' & Chr(59) & '\"keine\"')", "keine"},
        {"Format(2.5, '0.0 \"kg\"')", "2,5 kg"}, {"Format(Null, 'Percent')", ""},
        // The decimal sign stays when its optional digits are dropped.
        {"Format(10, '#.##')", "10,"}, {"Format(10.5, '0.##')", "10,5"}, {"Format(1234, '#,##0.##')", "1.234,"},
        {"Format(0.1, '#.##')", ",1"}, {"Format(12345, '0.00E+00')", "1,23E+04"},
        {"FormatNumber(1234.567)", "1.234,57"}, {"FormatNumber(-0.5, 0)", "-1"}, {"FormatPercent(0.256, 1)", "25,6%"},
        {"FormatCurrency(1234.5)", "1.234,50 €"},
        {"FormatDateTime(#12/31/2011 17:05:09#, 1)", "Samstag, 31. Dezember 2011"},
        {"FormatDateTime(#12/31/2011 17:05:09#)", "31.12.2011 17:05:09"},
        {"FormatDateTime(Geburtsdatum, 2)", "04.03.2009"}, {"Format('abc', 'Fixed')", "abc"},
        {"Format(Name, '>')", "MÜLLER"}, {"Format('abc', '@@@@@')", "  abc"}, {"Format('abc', '!@@@@@')", "abc  "},
        {"Format('12345', '@@-@@@')", "12-345"}, {"Format('abc', '&&&&&')", "abc"},
        {"Format('1,5', 'Fixed')", "1,50"},
    });
}

// Functions that people type, with their neighbours: Null, negative numbers, out of range.
TEST_F(TypedFunctions, FurtherFunctionsAsAccess)
{
    pruefen({
        {"Switch(SchülerNr = 2, 'zwei', SchülerNr = 1, 'eins')", "eins"}, {"Switch(SchülerNr = 2, 'zwei')", ""},
        {"Choose(2, 'a', 'b', 'c')", "b"}, {"Choose(4, 'a', 'b', 'c')", ""}, {"Choose(0, 'a', 'b')", ""},
        {"Choose(1.7, 'a', 'b')", "b"}, {"Choose(Null, 'a', 'b')", ""}, {"StrReverse(Name)", "rellüM"},
        {"StrReverse(Null)", ""}, {"InStrRev('a-b-c', '-')", "4"}, {"InStrRev('a-b-c', '-', 3)", "2"},
        {"InStrRev('a-b-c', 'x')", "0"}, {"InStrRev(Name, 'L')", "0"}, {"InStrRev(Name, 'L', -1, 1)", "4"},
        {"InStrRev('', 'a')", "0"}, {"InStrRev(Null, 'a')", ""}, {"InStr(1, Name, 'm', 0)", "0"},
        {"InStr(1, Name, 'm', 1)", "1"}, {"InStr(2, 'abcabc', 'C', 1)", "3"}, {"StrComp('abc', 'ABC')", "0"},
        {"StrComp('abc', 'ABC', 0)", "1"}, {"StrComp('Öl', 'Pfad')", "-1"}, {"StrComp('b', 'a')", "1"},
        {"StrComp(Null, 'a')", ""}, {"Asc('A')", "65"}, {"Asc('€')", "128"}, {"Asc('ä')", "228"},
        {"Asc('')", "<Fehler>"}, {"Chr(65)", "A"}, {"Chr(128)", "€"}, {"Chr(65) & Chr(228)", "Aä"},
        {"CBool(5)", "-1"}, {"CBool(0)", "0"}, {"CBool('Wahr')", "-1"}, {"CCur(1.23456)", "1,2346"},
        {"CCur('2,00005')", "2"}, {"CSng(1.1)", "1,1"}, {"CSng(1/3)", "0,3333333"}, {"CVar(5)", "5"},
        {"CVar(Geburtsdatum)", "04.03.2009"}, {"CVar(Geburtsdatum) + 1", "05.03.2009"}, {"CVar(LRS)", "-1"},
        {"WeekdayName(1)", "Sonntag"}, {"WeekdayName(1, True)", "So"}, {"WeekdayName(1, False, 2)", "Montag"},
        {"WeekdayName(Weekday(Geburtsdatum))", "Mittwoch"}, {"WeekdayName(8)", "<Fehler>"}, {"MonthName(3)", "März"},
        {"MonthName(Month(Geburtsdatum), True)", "Mrz"}, {"MonthName(13)", "<Fehler>"},
        {"Round(5000000.009, 2)", "5000000,01"}, {"Round(2.5)", "2"}, {"Round(3.5)", "4"}, {"Round(-2.5)", "-2"},
        {"Round(0.125, 2)", "0,12"}, {"Round(-1.235, 2)", "-1,24"}, {"Round(123456789.125, 2)", "123456789,12"},
        {"Hex(255)", "FF"}, {"Hex(-1)", "FFFF"}, {"Sqr(16)", "4"}, {"#12/11/2006 1:2:3#", "11.12.2006 01:02:03"},
        {"#10:20:30#", "10:20:30"}, {"TimeSerial(8, 5, 0)", "08:05:00"}, {"TimeSerial(Null, 5, 0)", ""},
        {"Hour(TimeValue('10:20'))", "10"}, {"#12/11/2006 10:20:30# - 0.5", "10.12.2006 22:20:30"},
        {"#13/4/2014#", "13.04.2014"}, {"#4/13/2014#", "13.04.2014"},
        {"IsNumeric('1.000,5 €') & IsNumeric('1e3') & IsNumeric('&H1F') & IsNumeric('') & IsNumeric(Null)", "-1-1-100"},
    });
    listentest::pruefen({
        {"SELECT SchülerNr, IsNumeric(sa1) FROM Noten ORDER BY SchülerNr",
         {"1|-1", "2|-1", "3|-1", "4|0", "5|0", "6|-1", "7|-1", "8|-1", "9|0", "10|0"}},
        {"SELECT Var(Schnitt), VarP(Schnitt), StDevP(Schnitt), Round(StDev(Schnitt), 6) FROM LNW",
         {"0,125|0,0625|0,25|0,353553"}},
        {"SELECT StDev(Schnitt), VarP(Schnitt) FROM LNW WHERE ID = 1", {"|0"}},
        // A trailing sign counts as the number's sign ("2-" reads as -2), as Access reads numbers.
        {"SELECT Count(*) FROM Noten WHERE IsNumeric(sa1) AND Val(sa1) >= 2", {"3"}},
    });
}

// Only Access's functions: SQLite's own names are refused like any unknown function.
TEST_F(TypedFunctions, FunctionsAccessDoesNotKnowAreRefused)
{
    pruefen({
        {"randomblob(10)", "<Fehler>"}, {"zeroblob(10)", "<Fehler>"}, {"printf('%d', 5)", "<Fehler>"},
        {"load_extension('x')", "<Fehler>"}, {"lower(Name)", "<Fehler>"}, {"substr(Name, 1, 2)", "<Fehler>"},
        {"coalesce(Null, 1)", "<Fehler>"}, {"typeof(Name)", "<Fehler>"}, {"AccConcat(Name, 'x')", "<Fehler>"},
        {"Abs(-3)", "3"}, {"Replace(Name, 'ü', 'ue')", "Mueller"}, {"LTrim('  a')", "a"},
        {"UCase(Left(Name, 3))", "MÜL"},
    });
    listentest::pruefen({{"SELECT Count(*), Sum(SchülerNr), Avg(SchülerNr), Max(Name) FROM Schüler WHERE SchülerNr < 3",
                          {"2|3|1,5|Müller"}}});
}

// Functions Access accepts in queries beyond the everyday ones: the grade histogram of Partition,
// Rnd as VBA makes it, the tests and types of a value, RGB, Timer, Date$ and the financial
// functions with the values Access gives.
TEST_F(TypedFunctions, FurtherFunctionsAccessAcceptsInQueries)
{
    pruefen({
        {"Partition(1, 1, 6, 2)", " 1: 2"}, {"Partition(4, 1, 6, 2)", " 3: 4"}, {"Partition(6, 1, 6, 2)", " 5: 6"},
        {"Partition(0, 1, 6, 2)", "  : 0"}, {"Partition(7, 1, 6, 2)", " 7:  "}, {"Partition(55, 0, 99, 5)", " 55: 59"},
        {"Partition(100, 0, 99, 5)", "100:   "}, {"Partition(Null, 1, 6, 2)", ""}, {"Partition(1, 6, 1, 2)", "<Fehler>"},
        {"Rnd(-1)", "0,224007"}, {"Rnd(-1) & ' ' & Rnd(0) & ' ' & Rnd(1)", "0,224007 0,224007 0,03584582"},
        {"CByte(254.5)", "254"}, {"CByte(255.5)", "<Fehler>"}, {"CByte(-1)", "<Fehler>"}, {"CByte('12')", "12"},
        {"IsEmpty(Name) & IsEmpty(Null) & IsError(1 / 1)", "000"},
        {"TypeName(Name) & ' ' & TypeName(Geburtsdatum) & ' ' & TypeName(LRS) & ' ' & TypeName(SchülerNr)",
         "String Date Boolean Long"},
        {"TypeName(1.5) & ' ' & TypeName(Null) & ' ' & TypeName(#1/1/2012#) & ' ' & TypeName(Date())",
         "Double Null Date Date"},
        {"VarType(Name) & ' ' & VarType(Geburtsdatum) & ' ' & VarType(LRS) & ' ' & VarType(Null)", "8 7 11 1"},
        {"RGB(255, 128, 0)", "33023"}, {"RGB(300, 0, 1)", "65791"}, {"RGB(-1, 0, 0)", "<Fehler>"},
        {"Timer() >= 0 And Timer() < 86400", "-1"},
        {"Len(Time$())", "8"}, {"Date$() = Format(Date(), 'mm-dd-yyyy')", "-1"},
        {"Round(Pmt(0.05 / 12, 36, 10000), 2)", "-299,71"}, {"Round(FV(0.06 / 12, 10, -200, -500, 1), 2)", "2581,4"},
        {"Round(PV(0.08 / 12, 240, 500), 2)", "-59777,15"}, {"Round(IPmt(0.1 / 12, 1, 36, 8000), 2)", "-66,67"},
        {"Round(IPmt(0.1, 3, 3, 8000), 2)", "-292,45"}, {"Round(PPmt(0.1 / 12, 1, 24, 2000), 2)", "-75,62"},
        {"Round(NPer(0.12 / 12, -100, -1000, 10000, 1), 4)", "59,6739"}, {"Round(Rate(48, -200, 8000), 4)", "0,0077"},
        {"SLN(30000, 7500, 10)", "2250"}, {"Round(SYD(30000, 7500, 10, 1), 2)", "4090,91"},
        {"DDB(2400, 300, 10, 1)", "480"}, {"Round(DDB(2400, 300, 10, 10), 2)", "22,12"},
        {"Pmt(0, 10, 1000)", "-100"}, {"IPmt(0.1, 4, 3, 8000)", "<Fehler>"}, {"SLN(1, 0, 0)", "<Fehler>"},
        {"Pmt(Null, 10, 1000)", ""},
    });
    // Each function's value has its type: a text compared with a number is read as a number, a
    // date made text shows as a German date.
    listentest::pruefen({
        {"SELECT FormatNumber(5) = 5, FormatNumber(1234) = 1234, FormatCurrency(2) > 10, Partition(3, 1, 6, 2) & ''",
         {"-1|-1|0| 3: 4"}},
        {"SELECT Count(*) FROM Schüler WHERE Rnd(1) < 1 AND TypeName(Name) = 'String' AND Left$(Name, 1) <> ''",
         {"6"}},
        {"SELECT Int(#1/2/2012 10:30#) & '', Max(Geburtsdatum) & '', Nz(Geburtsdatum, Date()) & '' FROM Schüler "
         "WHERE SchülerNr = 1",
         {"02.01.2012|04.03.2009|04.03.2009"}},
    });
    // The office's grade histogram, and a list in random order: every pupil once.
    listentest::pruefen({
        {"SELECT Partition(SchülerNr, 1, 6, 2) AS Bereich, Count(*) FROM Schüler GROUP BY Partition(SchülerNr, 1, 6, 2)",
         {" 1: 2|2", " 3: 4|2", " 5: 6|2"}},
        {"SELECT Count(*), Sum(SchülerNr) FROM (SELECT SchülerNr FROM Schüler ORDER BY Rnd(SchülerNr))", {"6|21"}},
    });
}

// A number inside a text reads as German settings read it: "." groups thousands wherever it
// stands, "," is the decimal sign; Val keeps "." as its decimal point, and a whole date stays
// no number.
TEST_F(TypedFunctions, NumbersInsideTextsReadWithGermanSettings)
{
    pruefen({
        {"CDbl('1.234')", "1234"}, {"'2.5' * 2", "50"}, {"CLng('1.234.567')", "1234567"}, {"CDbl('1.234,5')", "1234,5"},
        {"Val('2.5')", "2,5"}, {"Val('1.234')", "1,234"}, {"'2,5' * 2", "5"}, {"CInt('2.5')", "25"},
        {"CDbl('04.03.2009')", "<Fehler>"}, {"IsNumeric('1.234')", "-1"},
    });
    listentest::pruefen({{"SELECT Count(*) FROM Schüler WHERE SchülerNr < '1.0'", {"6"}}});
}

// Functions of the Access application that the database engine cannot call are refused as Access
// refuses them when a statement runs through the engine.
TEST_F(TypedFunctions, DomainFunctionsAreRefused)
{
    for (const char *f : {"DLookup('Name', 'Schüler')", "DCount('*', 'Schüler')", "DSum('SchülerNr', 'Schüler')",
                          "DMax('Name', 'Schüler')", "DFirst('Name', 'Schüler')"})
        EXPECT_EQ(zelle(QString::fromUtf8(f)).toStdString(), "<Fehler>") << f;
    const auto t = accesssql::translate("SELECT DLookup('Name', 'Schüler')");
    EXPECT_FALSE(t.ok);
    EXPECT_EQ(t.error, "Undefinierte Funktion 'DLookup' in Ausdruck.");
}
