// School year, day columns, reasons, the count box and the contact name: no window needed.
#include "absence/absenzrecord.h"
#include "absence/grundtabelle.h"
#include "absence/personensuche.h"
#include "absence/schuljahr.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"

#include <gtest/gtest.h>

using namespace absence;

TEST(Schuljahr, EndsOn31JulyAndBeginsOn1August)
{
    EXPECT_EQ(Schuljahr::beginn(QDate(2024, 7, 31)), QDate(2023, 8, 1));
    EXPECT_EQ(Schuljahr::endeText(QDate(2024, 7, 31)), QStringLiteral("31.07.2024"));
    EXPECT_EQ(Schuljahr::beginn(QDate(2024, 8, 1)), QDate(2024, 8, 1));
    EXPECT_EQ(Schuljahr::endeText(QDate(2024, 8, 1)), QStringLiteral("31.07.2025"));
    EXPECT_EQ(Schuljahr::beginn(QDate(2025, 1, 15)), QDate(2024, 8, 1));
}

TEST(Schuljahr, OpenedOn1AugustTodayIsTheFirstDayColumnAndNothingScrolls)
{
    KalenderTage kt(QDate(2024, 8, 1));
    EXPECT_EQ(kt.heuteSpalte(), 3);
    EXPECT_EQ(kt.scrollSpalte(), -1);
    EXPECT_EQ(kt.tage().first().farbe, Schuljahr::FarbeHeute);
}

TEST(Schuljahr, LeapYearHasTheTwentyNinthAndEndsOnTenthAugust)
{
    KalenderTage leap(QDate(2024, 3, 1)); // school year 2023/24
    ASSERT_EQ(leap.tage().size(), 376);
    EXPECT_GE(leap.spalte(QDate(2024, 2, 29)), 3);
    EXPECT_EQ(leap.tage().last().datum, QDate(2024, 8, 10));
    EXPECT_EQ(leap.tage().last().schluessel, QStringLiteral("10.08.2024"));

    KalenderTage normal(QDate(2024, 9, 1)); // 2024/25
    EXPECT_EQ(normal.tage().last().datum, QDate(2025, 8, 11));
    EXPECT_EQ(normal.spalte(QDate(2025, 8, 12)), -1);
    EXPECT_EQ(normal.spalte(QDate(2024, 7, 31)), -1);
    EXPECT_EQ(normal.spalte(QDate()), -1);
}

TEST(Schuljahr, WeekendsAreNarrowAndHolidaysWinOverToday)
{
    mdl::Ferien.clear();
    KalenderTage kt(QDate(2024, 10, 3)); // Tag der Deutschen Einheit, a Thursday
    const KalenderTag &einheit = kt.tage()[kt.spalte(QDate(2024, 10, 3)) - 3];
    EXPECT_EQ(einheit.farbe, 255);
    EXPECT_EQ(einheit.breite, 350);
    const KalenderTag &samstag = kt.tage()[kt.spalte(QDate(2024, 10, 5)) - 3];
    EXPECT_EQ(samstag.wochentag, QStringLiteral("Sa"));
    EXPECT_EQ(samstag.breite, 30);
    EXPECT_EQ(samstag.farbe, 65535);
    const KalenderTag &montag = kt.tage()[kt.spalte(QDate(2024, 10, 7)) - 3];
    EXPECT_EQ(montag.wochentag, QStringLiteral("Mo"));
    EXPECT_EQ(montag.farbe, 0);
    EXPECT_EQ(montag.monat, QStringLiteral("Oktober 2024"));
    EXPECT_EQ(montag.tag, QStringLiteral("07"));
    // Today's column minus seven is where the calendar scrolls to.
    EXPECT_EQ(kt.scrollSpalte(), kt.spalte(QDate(2024, 10, 3)) - 7);
    KalenderTage werktag(QDate(2024, 10, 8));
    EXPECT_EQ(werktag.tage()[werktag.heuteSpalte() - 3].farbe, Schuljahr::FarbeHeute);
}

TEST(Gruende, ColourAndLongTextCompareTrimmedAndCaseBlind)
{
    absencetest::Schule s;
    mdl::dbEigen.exec(QStringLiteral("UPDATE tbl_Fehlgrund SET farbe = 255 WHERE kurz = 'kr'"));
    mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehlgrund (kurz, lang, farbe, sort) VALUES ('nf', NULL, NULL, 700)"));
    GrundTabelle g;
    g.laden(mdl::dbEigen);
    EXPECT_EQ(g.farbeDesGrundes(QStringLiteral("kr ")), 255);
    EXPECT_EQ(g.farbeDesGrundes(QStringLiteral(" KR")), 255);
    EXPECT_EQ(g.farbeDesGrundes(QStringLiteral("zz")), 0xFF0000);
    EXPECT_EQ(g.farbeDesGrundes(QString()), 0xFF0000);
    EXPECT_EQ(g.farbeDesGrundes(QStringLiteral("nf")), 0xFF0000); // Null colour is blue
    EXPECT_EQ(g.grundKlartext(QStringLiteral("Kr ")), QStringLiteral("krank"));
    EXPECT_EQ(g.grundKlartext(QStringLiteral("zz")), QStringLiteral("zz"));
    EXPECT_EQ(g.grundKlartext(QStringLiteral("nf")), QStringLiteral("nf")); // no long text
    EXPECT_EQ(g.grundKlartext(QStringLiteral("  ")), QString());
    EXPECT_EQ(g.gruende().size(), 7);
    EXPECT_EQ(g.gruende().first().kurz, QStringLiteral("kr"));
}

TEST(Zaehlt, CountBoxReadsTheTextWithAnAppendedZero)
{
    auto z = [](const char *t) { return Absenz::zaehltNormalisieren(QString::fromUtf8(t)).value_or(QStringLiteral("-")); };
    EXPECT_EQ(z(""), QStringLiteral("0,0"));
    EXPECT_EQ(z("1"), QStringLiteral("1,0"));
    EXPECT_EQ(z("3"), QStringLiteral("1,0"));
    EXPECT_EQ(z("0.5"), QStringLiteral("0,5"));
    EXPECT_EQ(z(",5"), QStringLiteral("0,5"));
    EXPECT_EQ(z("0,7"), QStringLiteral("0,7"));
    EXPECT_EQ(z("2,5"), QStringLiteral("1,0"));
    EXPECT_EQ(z("-0,3"), QStringLiteral("0,0"));
    EXPECT_EQ(z("-0,01"), QStringLiteral("0,0"));
    EXPECT_EQ(z("-1"), QStringLiteral("0,0"));
    EXPECT_EQ(z("0,25"), QStringLiteral("0,3"));
    EXPECT_EQ(z("abc"), QStringLiteral("-"));
    EXPECT_EQ(z("1 0"), QStringLiteral("-"));
}

TEST(Kontakt, SalutationWordsLeaveOnlyTheSalutation)
{
    EXPECT_EQ(Kontakt::nameBereinigen(QStringLiteral("Frau"), QStringLiteral("Huber, Anna")), QStringLiteral("- Huber, Anna"));
    EXPECT_EQ(Kontakt::nameBereinigen(QStringLiteral("Herrn und Frau"), QStringLiteral("Huber, Anna")),
              QStringLiteral("und - Huber, Anna"));
    EXPECT_EQ(Kontakt::nameBereinigen(QString(), QStringLiteral("Frauke, Herrnberger")),
              QStringLiteral("- Frauke, Herrnberger"));
    EXPECT_EQ(Kontakt::nameBereinigen(QStringLiteral("Familie\r\nHuber"), QStringLiteral("Huber,  Anna")),
              QStringLiteral("Familie / Huber - Huber, Anna"));
    EXPECT_EQ(Kontakt::erzName(QStringLiteral("Huber"), QStringLiteral("  ")), QStringLiteral("Huber"));
    EXPECT_EQ(Kontakt::erzName(QStringLiteral("Huber"), QStringLiteral("Eva")), QStringLiteral("Huber, Eva"));
}
