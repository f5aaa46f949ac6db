#include "core/rechte.h"
#include "core/schema.h"

#include <gtest/gtest.h>

using rechte::berechnen;

namespace {
rechte::Spalten standard()
{
    rechte::Spalten s;
    for (const auto &c : schema::rightsColumns())
        s.insert(c.column, c.creationValue);
    return s;
}
} // namespace

TEST(Rechte, GroupUpperCasesWithoutTrimming)
{
    EXPECT_EQ(rechte::gruppe("X"), rechte::Gruppe::Admin);
    EXPECT_EQ(rechte::gruppe("x"), rechte::Gruppe::Admin);
    EXPECT_EQ(rechte::gruppe("xs"), rechte::Gruppe::Sekretariat);
    EXPECT_EQ(rechte::gruppe(" X"), rechte::Gruppe::Lehrkraft);
    EXPECT_EQ(rechte::gruppe("X "), rechte::Gruppe::Lehrkraft);
    EXPECT_EQ(rechte::gruppe("MÜL"), rechte::Gruppe::Lehrkraft);
    EXPECT_TRUE(rechte::istAdmin("xS"));
    EXPECT_FALSE(rechte::istAdmin(" XS"));
}

TEST(Rechte, MatrixWithTheCreationValues)
{
    const auto x = berechnen("X", standard(), "", "");
    EXPECT_TRUE(x.fehltage && x.kalender && x.leistungsnachweise && x.listen && x.datenabgleich && x.unterricht);
    EXPECT_TRUE(x.verwaltung);
    EXPECT_TRUE(x.fehltageLoeschen);

    const auto xs = berechnen("XS", standard(), "", "");
    EXPECT_TRUE(xs.fehltage && xs.kalender && xs.leistungsnachweise && xs.listen && xs.datenabgleich && xs.unterricht);
    EXPECT_TRUE(xs.verwaltung);
    EXPECT_FALSE(xs.fehltageLoeschen);

    const auto lk = berechnen("MÜL", standard(), "", "");
    EXPECT_TRUE(lk.fehltage && lk.kalender && lk.leistungsnachweise);
    EXPECT_FALSE(lk.listen || lk.datenabgleich || lk.unterricht);
    EXPECT_FALSE(lk.verwaltung);
    EXPECT_FALSE(lk.fehltageLoeschen);
}

TEST(Rechte, ColumnsDecideForSchoolOfficeAndTeachersButNotForTheAdministrator)
{
    rechte::Spalten s = standard();
    s["mnu_Fehltage"] = "";
    s["mnu_Listen"] = "lk";
    s["mnu_Kalender"] = "XS";
    const auto x = berechnen("X", s, "", "");
    EXPECT_TRUE(x.fehltage && x.listen);
    const auto xs = berechnen("XS", s, "", "");
    EXPECT_FALSE(xs.fehltage);
    EXPECT_FALSE(xs.listen);
    EXPECT_TRUE(xs.kalender);
    const auto lk = berechnen("ABC", s, "", "");
    EXPECT_FALSE(lk.fehltage);
    EXPECT_TRUE(lk.listen);
    EXPECT_FALSE(lk.kalender);
}

TEST(Rechte, WunschzettelOnlyForTheConfiguredSchoolNumber)
{
    EXPECT_TRUE(berechnen("X", standard(), "0815", "0815").wunschzettel);
    EXPECT_FALSE(berechnen("X", standard(), "815", "0815").wunschzettel);
    EXPECT_FALSE(berechnen("X", standard(), "0815 ", "0815").wunschzettel);
    EXPECT_FALSE(berechnen("X", standard(), "", "").wunschzettel);
}

TEST(Rechte, CalendarLockLetsOnlyAdministratorAndOfficeIn)
{
    EXPECT_TRUE(rechte::kalenderOffen("ABC", " none "));
    EXPECT_TRUE(rechte::kalenderOffen("ABC", "NONE"));
    EXPECT_FALSE(rechte::kalenderOffen("ABC", "all"));
    EXPECT_FALSE(rechte::kalenderOffen("ABC", ""));
    EXPECT_TRUE(rechte::kalenderOffen("x", ""));
    EXPECT_TRUE(rechte::kalenderOffen("XS", "all"));
}
