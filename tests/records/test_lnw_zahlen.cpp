// Number readers, column map and average rounding of the performance-record overview.
#include "records/lnwfuellung.h"
#include "records/lnwspalten.h"
#include "records/zahlen.h"

#include <gtest/gtest.h>
#include <array>
#include <utility>
#include <vector>

using namespace lnw;

TEST(LnwZahlen, ZahlAusTextReadsPointAndCommaAndGivesZeroForNoNumber)
{
    const std::vector<std::pair<const char *, float>> cases{
        {"4.5", 4.5f}, {"4,5", 4.5f}, {"12", 12.0f}, {"2,50", 2.5f}, {" 5,5 ", 5.5f}, {"-1.5", -1.5f},
        {"", 0.0f},    {"   ", 0.0f}, {"fünf", 0.0f}, {"5 Noten", 0.0f}, {"1.234,5", 0.0f},
        // Beyond single precision the text holds no number; within it, the number.
        {"1e18", 1e18f}, {"-1e300", 0.0f}, {"1e39", 0.0f}, {"1e400", 0.0f}};
    for (const auto &[text, wert] : cases)
        EXPECT_FLOAT_EQ(mdl::ZahlAusText(QString::fromUtf8(text)), wert) << text;
}

TEST(LnwZahlen, NoteAusTextJoinsDigitsAndRejectsNoGrade)
{
    const std::vector<std::pair<const char *, int>> cases{
        {"2", 2}, {"3-", 3}, {"1+", 1}, {"6", 6}, {" 4 ", 4}, {"03", 3},
        {"0", 0}, {"7", 0},  {"12", 0}, {"", 0},  {"fehlt", 0}, {"2-3", 0},
        {"100000000000000000000002", 0},
        {"2,5", 0}, // a decimal grade forms 25
    };
    for (const auto &[text, note] : cases)
        EXPECT_EQ(mdl::NoteAusText(QString::fromUtf8(text)), note) << text;
}

TEST(LnwZahlen, NullZuDatumReadsStoredDatesAndTreatsOthersAsNull)
{
    const QDateTime null1900(QDate(1900, 1, 1), QTime(0, 0));
    EXPECT_EQ(mdl::NullZuDatum(QVariant()), null1900);
    EXPECT_EQ(mdl::NullZuDatum(QString("kein Datum")), null1900);
    EXPECT_EQ(mdl::NullZuDatum(QString("")), null1900);
    EXPECT_EQ(mdl::NullZuDatum(qlonglong(5)), null1900);
    EXPECT_EQ(mdl::NullZuDatum(QString("2015-03-12")), QDateTime(QDate(2015, 3, 12), QTime(0, 0)));
    EXPECT_EQ(mdl::NullZuDatum(QString("2000-01-01 10:30:00")), QDateTime(QDate(2000, 1, 1), QTime(10, 30)));
    EXPECT_EQ(mdl::NullZuDatum(QDate(2014, 9, 1)), QDateTime(QDate(2014, 9, 1), QTime(0, 0)));
}

TEST(LnwSpalten, BlockStartsAndFieldMap)
{
    const std::vector<std::pair<const char *, int>> felder{{"sa1", 3},   {"sa6", 53},   {"ka1", 63}, {"ka4", 93},
                                                           {"ex1", 103}, {"ex8", 173}, {"SA1", 0},  {"Index", 0}};
    for (const auto &[feld, spalte] : felder)
        EXPECT_EQ(SpalteZuNotenfeld(feld), spalte) << feld;
    EXPECT_EQ(QStringList({blockTitel(0), blockTitel(5), blockTitel(6), blockTitel(17)}),
              QStringList({"1. SchA", "6. SchA", "1. KA", "8. Ex"}));
    EXPECT_EQ(blockVon(62), 5);
    EXPECT_EQ(unterspalteVon(111), 8);
    EXPECT_EQ(blockVon(2), -1);
}

TEST(LnwSpalten, TestRecordsLandInTheirBlockInBothLayouts)
{
    // Spalte, shift (2: older layout), block start column.
    const std::vector<std::array<int, 3>> faelle{{0, 0, 3},   {4, 0, 43},  {17, 0, 173}, {18, 0, -1}, {-1, 0, -1},
                                                 {3, 2, 33},  // older layout: 4. SchA stays
                                                 {4, 2, 63},  // older layout: 1. KA
                                                 {15, 2, 173}, {16, 2, -1}};
    for (const auto &[spalte, verschiebung, start] : faelle)
        EXPECT_EQ(blockSpalteFuerTest(spalte, verschiebung), start) << spalte << "/" << verschiebung;
}

TEST(LnwSchnitt, AverageRoundsHalfAwayFromZeroInWholeNumbers)
{
    EXPECT_EQ(schnittText(17, 8), "2,13");
    EXPECT_EQ(schnittText(81, 40), "2,03");
    EXPECT_EQ(schnittText(14, 4), "3,50");
    EXPECT_EQ(schnittText(2, 1), "2,00");
    EXPECT_EQ(schnittText(1, 3), "0,33");
    EXPECT_EQ(schnittText(2, 3), "0,67");
    EXPECT_EQ(schnittText(5, 0), "");
}

TEST(LnwSchwelle, ThresholdTextKeepsOneDecimalOrIsNoNumber)
{
    // "-" stands for no number: the box then shows "4,0" and nothing is stored.
    const std::vector<std::pair<const char *, const char *>> faelle{
        {"3.5", "3,5"}, {"4", "4,0"}, {"4,25", "4,3"}, {"-2,5", "-2,5"}, {"vier", "-"}, {"", "-"},
        {"900719925474099", "900719925474099,0"}, {"900719925474100", "-"},
        {"1e18", "-"}, {"-1e18", "-"}, {"-1e300", "-"}, {"1e400", "-"}, {"9223372036854775807", "-"}};
    for (const auto &[text, erwartet] : faelle)
        EXPECT_EQ(schwellenText(QString::fromUtf8(text)).value_or("-"), QString::fromUtf8(erwartet)) << text;
}
