// The absence calendar shows the records of the school year's first and last shown day, and
// nothing from the days around them.
#include "absence/fehltagekalender.h"
#include "absencefixture.h"
#include "platform/grid/vsgrid.h"

#include <gtest/gtest.h>

using namespace absence;

namespace {

class Schuljahresgrenzen : public absencetest::FensterTest {};

} // namespace

TEST_F(Schuljahresgrenzen, DerErsteAugustUndDerLetzteGezeigteTagStehenImKalender)
{
    const QDate erster(2024, 8, 1), letzter(2025, 8, 11);
    s.fehltag("12", QDate(2024, 7, 31), "un"); // the school year before
    s.fehltag("12", erster, "kr");
    s.fehltag(" 13", erster, "bf");
    s.fehltag("12", letzter, "ab");
    s.fehltag("13", letzter.addDays(1), "vs"); // beyond the last column
    oeffnen("X", "5a");
    ASSERT_EQ(spalte(erster), Schuljahr::ErsteTagSpalte);
    ASSERT_EQ(spalte(letzter), Fehltagekalender::Spalten - 1);
    EXPECT_EQ(f->fgSchueler->textMatrix(zeile("12"), spalte(erster)), "kr");
    EXPECT_EQ(f->fgSchueler->textMatrix(zeile("13"), spalte(erster)), "bf");
    EXPECT_EQ(f->fgSchueler->textMatrix(zeile("12"), spalte(letzter)), "ab");
    // Nothing else anywhere in the two persons' rows.
    int gefuellt = 0;
    for (const QString id : {"12", "13"})
        for (int c = Schuljahr::ErsteTagSpalte; c < Fehltagekalender::Spalten; ++c)
            gefuellt += f->fgSchueler->textMatrix(zeile(id), c).isEmpty() ? 0 : 1;
    EXPECT_EQ(gefuellt, 3);
}
