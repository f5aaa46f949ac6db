// Typed statements a school office writes, with the rows German Access gives for them, run
// through the lists window's own function: dates where numbers are taken, whole-number limits,
// Yes/No values made text.
#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <vector>

using listen::Ergebnis;

namespace {

// The lists' school with a pupil born at 10:30 and grades stored as text.
class TypedCorpus : public listentest::ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        einfuegen(QStringLiteral(
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Geburtsdatum, LRS) VALUES "
            "(7,'Öztürk','Deniz','7b','2011-12-31',0),(8,'Weiß','Jan','7b','2012-01-01',1),"
            "(9,'MÜLLER','Tom','7b','2012-01-02 10:30:00',0);"
            "INSERT INTO Noten (ID, SchülerNr, UIndex, Archiv, sa1) VALUES "
            "(1,1,1,0,'2'),(2,1,2,0,'2,5'),(3,1,3,0,'2-'),(4,2,1,0,NULL),(5,3,1,0,'');"));
    }
};

// One typed statement and its rows (cells joined by "|"), or "Fehler" when Access refuses it.
struct Fall {
    const char *sql;
    QStringList zeilen;
};

QStringList zeilen(const QString &sql)
{
    const Ergebnis e = listen::ausfuehren(sql);
    if (e.status == Ergebnis::Fehler)
        return {QStringLiteral("Fehler")};
    QStringList out;
    for (const QStringList &z : e.zeilen)
        out << z.join('|');
    return out;
}

void pruefen(const std::vector<Fall> &faelle)
{
    for (const Fall &f : faelle)
        EXPECT_EQ(zeilen(QString::fromUtf8(f.sql)), f.zeilen) << f.sql;
}

const QStringList fehler{QStringLiteral("Fehler")};

} // namespace

// A date given to a function that takes a number counts as its serial number; Int and Fix keep
// it a date without its time.
TEST_F(TypedCorpus, DatesWhereNumbersAreTaken)
{
    pruefen({
        {"SELECT Int(Geburtsdatum), Fix(Geburtsdatum), CDbl(Geburtsdatum), CLng(Geburtsdatum) FROM Schüler "
         "WHERE SchülerNr = 9",
         {"02.01.2012|02.01.2012|40910,4375|40910"}},
        {"SELECT SchülerNr FROM Schüler WHERE Int(Geburtsdatum) = #1/2/2012# ORDER BY 1", {"9"}},
        {"SELECT 'am ' & Int(#1/2/2012 10:30#), CDbl(#12/30/1899 12:00#), CDbl(#1/1/1900#)", {"am 02.01.2012|0,5|2"}},
        {"SELECT Int(Now()) = Date(), Fix(Now()) = Date()", {"-1|-1"}},
        {"SELECT Int(Geburtsdatum) FROM Schüler WHERE SchülerNr = 4", {""}},
        {"SELECT #1/3/2012# - #1/1/2012#, CDate(40909), #1/1/2012# + 1", {"2|01.01.2012|02.01.2012"}},
    });
}

// CInt and CLng round half to even and stop beyond Integer and Long.
TEST_F(TypedCorpus, WholeNumberConversionsRoundToEvenWithinTheirRange)
{
    pruefen({
        {"SELECT CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1.5), CInt('2,5'), CInt(2.51)", {"2|4|-2|2|2|3"}},
        {"SELECT CInt(32767.4), CInt(-32768.5), CLng(2147483647.4)", {"32767|-32768|2147483647"}},
        {"SELECT CInt(40000)", fehler},
        {"SELECT CInt(-32769)", fehler},
        {"SELECT CLng(2147483648)", fehler},
        {"SELECT CInt(#1/1/2012#)", fehler},
        {"SELECT Int(-2.5), Fix(-2.5), Int(-0.1), 7.6 \\ 2, -7 \\ 2, 7.6 Mod 3, -7 Mod 3, 8.5 Mod 2", {"-3|-2|-1|4|-3|2|-1|0"}},
    });
}

// A Yes/No made text is Access's -1 or 0; shown on its own it is "Wahr"/"Falsch".
TEST_F(TypedCorpus, YesNoMadeTextIsMinusOneOrZero)
{
    pruefen({
        {"SELECT 'x' & LRS, CStr(LRS), LRS & '', Format(LRS), Format(LRS, 'Yes/No'), LRS FROM Schüler "
         "WHERE SchülerNr In (1, 2) ORDER BY SchülerNr",
         {"x-1|-1|-1|-1|Ja|Wahr", "x0|0|0|0|Nein|Falsch"}},
        {"SELECT Name & ' ' & IIf(LRS, 'LRS', '-') FROM Schüler WHERE SchülerNr In (1, 2) ORDER BY SchülerNr",
         {"Müller LRS", "Maier -"}},
    });
}
