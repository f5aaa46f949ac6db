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
    EXPECT_EQ(Schuljahr::endeText(QDate(2024, 7, 31)), "31.07.2024");
    EXPECT_EQ(Schuljahr::beginn(QDate(2024, 8, 1)), QDate(2024, 8, 1));
    EXPECT_EQ(Schuljahr::endeText(QDate(2024, 8, 1)), "31.07.2025");
    EXPECT_EQ(Schuljahr::beginn(QDate(2025, 1, 15)), QDate(2024, 8, 1));

    // Opened on 01.08.: today is the first day column and nothing scrolls.
    KalenderTage erster(QDate(2024, 8, 1));
    EXPECT_EQ(erster.heuteSpalte(), 3);
    EXPECT_EQ(erster.scrollSpalte(), -1);
    EXPECT_EQ(erster.tage().first().farbe, Schuljahr::FarbeHeute);
}

TEST(Schuljahr, LeapYearHasTheTwentyNinthAndEndsOnTenthAugust)
{
    KalenderTage leap(QDate(2024, 3, 1)); // school year 2023/24
    ASSERT_EQ(leap.tage().size(), 376);
    EXPECT_GE(leap.spalte(QDate(2024, 2, 29)), 3);
    EXPECT_EQ(leap.tage().last().datum, QDate(2024, 8, 10));
    EXPECT_EQ(leap.tage().last().schluessel, "10.08.2024");

    KalenderTage normal(QDate(2024, 9, 1)); // 2024/25
    EXPECT_EQ(normal.tage().last().datum, QDate(2025, 8, 11));
    for (const QDate &d : {QDate(2025, 8, 12), QDate(2024, 7, 31), QDate()})
        EXPECT_EQ(normal.spalte(d), -1) << d.toString().toStdString();
}

TEST(Schuljahr, AHolidayWinsOverToday)
{
    mdl::Ferien.clear();
    KalenderTage kt(QDate(2024, 10, 3)); // Tag der Deutschen Einheit, a Thursday
    const KalenderTag &einheit = kt.tage()[kt.spalte(QDate(2024, 10, 3)) - 3];
    EXPECT_EQ(einheit.farbe, 255);
    EXPECT_EQ(einheit.tag, "03");
    EXPECT_EQ(einheit.wochentag, "Do");
}

TEST(Gruende, ColourAndLongTextCompareTrimmedAndCaseBlind)
{
    absencetest::Schule s;
    mdl::dbEigen.exec("UPDATE tbl_Fehlgrund SET farbe = 255 WHERE kurz = 'kr'");
    mdl::dbEigen.exec("INSERT INTO tbl_Fehlgrund (kurz, lang, farbe, sort) VALUES ('nf', NULL, NULL, 700)");
    GrundTabelle g;
    g.laden(mdl::dbEigen);
    EXPECT_EQ(g.farbeDesGrundes("kr "), 255);
    EXPECT_EQ(g.farbeDesGrundes(" KR"), 255);
    EXPECT_EQ(g.farbeDesGrundes("zz"), 0xFF0000);
    EXPECT_EQ(g.farbeDesGrundes(QString()), 0xFF0000);
    EXPECT_EQ(g.farbeDesGrundes("nf"), 0xFF0000); // Null colour is blue
    EXPECT_EQ(g.grundKlartext("Kr "), "krank");
    EXPECT_EQ(g.grundKlartext("zz"), "zz");
    EXPECT_EQ(g.grundKlartext("nf"), "nf"); // no long text
    EXPECT_EQ(g.grundKlartext("  "), QString());
    EXPECT_EQ(g.gruende().size(), 7);
    EXPECT_EQ(g.gruende().first().kurz, "kr");
}

TEST(Zaehlt, CountBoxReadsTheTextWithAnAppendedZero)
{
    // "-": not a number, nothing is saved.
    const char *faelle[][2] = {{"", "0,0"},     {"1", "1,0"},    {"3", "1,0"},    {"0.5", "0,5"},  {",5", "0,5"},
                               {"0,7", "0,7"},  {"2,5", "1,0"},  {"-0,3", "0,0"}, {"-0,01", "0,0"}, {"-1", "0,0"},
                               {"0,25", "0,3"}, {"abc", "-"},    {"1 0", "-"}};
    for (const auto &f : faelle)
        EXPECT_EQ(Absenz::zaehltNormalisieren(f[0]).value_or("-"), f[1]) << f[0];
}

TEST(Kontakt, SalutationWordsLeaveOnlyTheSalutation)
{
    const char *faelle[][3] = {{"Frau", "Huber, Anna", "- Huber, Anna"},
                               {"Herrn und Frau", "Huber, Anna", "und - Huber, Anna"},
                               {"", "Frauke, Herrnberger", "- Frauke, Herrnberger"},
                               {"Familie\r\nHuber", "Huber,  Anna", "Familie / Huber - Huber, Anna"}};
    for (const auto &f : faelle)
        EXPECT_EQ(Kontakt::nameBereinigen(f[0], f[1]), f[2]) << f[0];
    EXPECT_EQ(Kontakt::erzName("Huber", "  "), "Huber");
    EXPECT_EQ(Kontakt::erzName("Huber", "Eva"), "Huber, Eva");
}
