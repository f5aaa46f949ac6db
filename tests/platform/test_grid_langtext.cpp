// A cell of millions of characters (a typed list can make one) is sized and painted from its
// first characters only, as many as a worksheet cell holds; the cell keeps its whole text.
#include "platform/grid/vsgrid.h"

#include <QPixmap>
#include <gtest/gtest.h>

TEST(GridLongText, AHugeCellIsSizedAndPaintedFromItsFirstCharacters)
{
    VSGrid g;
    g.setRows(3);
    g.setCols(2);
    g.resize(500, 300);
    const QString kopf = QString(32767, 'w');
    g.setTextMatrix(1, 0, kopf);
    g.autoSize(0);
    const int breite = g.colWidth(0);
    EXPECT_GT(breite, 0);

    g.setTextMatrix(1, 0, kopf + QString(3000000, 'w'));
    g.setTextMatrix(2, 1, QString(3000000, 'i') + "Ende");
    g.setColAlignment(1, 7); // right: the end of the text is what shows
    g.autoSize(0, 1);
    EXPECT_EQ(g.colWidth(0), breite);
    EXPECT_LT(g.colWidth(1), breite);
    EXPECT_FALSE(g.grab().isNull());
    EXPECT_EQ(g.textMatrix(1, 0).size(), 3032767);
    EXPECT_TRUE(g.textMatrix(2, 1).endsWith("Ende"));
}

// Sizing many cells asks whether to go on; a "no" leaves every width as it was.
TEST(GridLongText, SizingManyCellsAsksAndStopsWithWidthsUnchanged)
{
    VSGrid g;
    g.setRows(20001);
    g.setCols(2);
    for (int r = 0; r < g.rows(); ++r)
        g.setTextMatrix(r, r % 2, QString(1 + r % 40, 'm'));
    g.setColWidth(0, 500);
    g.setColWidth(1, 700);
    int gefragt = 0;
    EXPECT_FALSE(g.autoSize(0, 1, [&] { return ++gefragt < 3; }));
    EXPECT_EQ(gefragt, 3);
    EXPECT_EQ(g.colWidth(0), 500);
    EXPECT_EQ(g.colWidth(1), 700);
    EXPECT_TRUE(g.autoSize(0, 1, [] { return true; }));
    const int breite = g.colWidth(0);
    EXPECT_GT(breite, 500);
    g.autoSize(0, 1);
    EXPECT_EQ(g.colWidth(0), breite);
}
