#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"

#include <QDateTime>
#include <gtest/gtest.h>

TEST(Helfer, GrossGetrimmtTrimsBlanksOnly)
{
    EXPECT_EQ(mdl::GrossGetrimmt(QString("  5a  ")), QString("5A"));
    EXPECT_EQ(mdl::GrossGetrimmt(QString("\t5a ")), QString("\t5A"));
    EXPECT_EQ(mdl::GrossGetrimmt(QString("straße")), QString("STRAßE"));
    EXPECT_EQ(mdl::GrossGetrimmt(QVariant()), QString());
    EXPECT_EQ(mdl::GrossGetrimmt(1.5), QString("1,5"));
}

TEST(Helfer, NzAndNullZuText)
{
    EXPECT_EQ(mdl::Nz(QVariant(), 0), QVariant(0));
    EXPECT_EQ(mdl::Nz(QString(""), 0), QVariant(QString("")));
    EXPECT_EQ(mdl::Nz(QVariant()), QVariant(QString()));
    EXPECT_EQ(mdl::NullZuText(QVariant()), QString());
    EXPECT_EQ(mdl::NullZuText(QDate(2024, 3, 5)), QString("05.03.2024"));
    EXPECT_EQ(mdl::MitBackslash("/daten"), QString("/daten/"));
    EXPECT_TRUE(mdl::TestForDLL("Excel.Application"));
    EXPECT_TRUE(mdl::TestForDLL("Word.Application"));
}

TEST(Helfer, SpalteSuchenComparesHeadersInTheirComparisonForm)
{
    VSGrid fg;
    fg.setRows(2);
    fg.setCols(4);
    fg.setTextMatrix(0, 0, "Name");
    fg.setTextMatrix(0, 1, " Klasse ");
    fg.setTextMatrix(0, 2, "Fach");
    fg.setTextMatrix(0, 3, "klasse");
    fg.setTextMatrix(1, 2, "Datum");
    EXPECT_EQ(mdl::SpalteSuchen(fg, "KLASSE"), 1);
    EXPECT_EQ(mdl::SpalteSuchen(fg, "fach "), 2);
    EXPECT_EQ(mdl::SpalteSuchen(fg, "Datum"), 10000); // row 0 only
    EXPECT_EQ(mdl::SpalteSuchen(fg, "\tName"), 10000);
    VSGrid leer;
    EXPECT_EQ(mdl::SpalteSuchen(leer, ""), 10000);
}
