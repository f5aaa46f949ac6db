#include "platform/grid/gridstore.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

GridStore makeGrid(int rows, int cols, int fixedRows = 1, int fixedCols = 0)
{
    GridStore g;
    g.setRows(rows);
    g.setCols(cols);
    g.setFixedRows(fixedRows);
    g.setFixedCols(fixedCols);
    return g;
}

QStringList column(const GridStore &g, int c)
{
    QStringList out;
    for (int r = 0; r < g.rows(); ++r)
        out << g.textMatrix(r, c);
    return out;
}

// One digit per column: the width of an edge along a row.
QString edges(const GridStore &g, int r, const grid::BorderEdge grid::CellBorders::*edge)
{
    QString out;
    for (int c = 0; c < g.cols(); ++c)
        out += QString::number((g.cellBorders(r, c).*edge).width);
    return out;
}

} // namespace

TEST(GridStoreCells, ColoursReadBackExactlyAndZeroRemovesThem)
{
    GridStore g = makeGrid(3, 3);
    EXPECT_EQ(g.cellBackColor(1, 1), 0);
    g.setCellBackColor(1, 1, 13158655);
    EXPECT_EQ(g.cellBackColor(1, 1), 13158655);
    g.setCellForeColor(1, 1, 0xFF0000);
    EXPECT_EQ(g.cellForeColor(1, 1), 0xFF0000);
    g.setCellBackColor(1, 1, -2147483633); // a system colour long
    EXPECT_EQ(g.cellBackColor(1, 1), -2147483633);
    g.setCellBackColor(1, 1, 0);
    EXPECT_EQ(g.cellBackColor(1, 1), 0);
    EXPECT_EQ(g.cellForeColor(1, 1), 0xFF0000);
}

TEST(GridStoreCells, OutOfRangeIsHarmless)
{
    GridStore g = makeGrid(2, 2);
    g.setTextMatrix(5, 5, "x");
    g.setCellBackColor(-1, 0, 255);
    EXPECT_EQ(g.textMatrix(5, 5), QString());
    EXPECT_EQ(g.cellBackColor(-1, 0), 0);
    EXPECT_EQ(g.colWidth(9), 0);
}

TEST(GridStoreCells, SizesKeptInTwipsAsSet)
{
    GridStore g = makeGrid(3, 3);
    EXPECT_EQ(g.rowHeight(1), 240);
    g.setColWidth(1, 350);
    g.setRowHeight(2, 30);
    EXPECT_EQ(g.colWidth(1), 350);
    EXPECT_EQ(g.rowHeight(2), 30);
    // The hidden flag keeps the size; width 0 hides without the flag.
    g.setColHidden(1, true);
    EXPECT_EQ(g.colWidth(1), 350);
    EXPECT_FALSE(g.colShown(1));
    g.setColHidden(1, false);
    g.setColWidth(2, 0);
    EXPECT_TRUE(g.colShown(1));
    EXPECT_FALSE(g.colShown(2));
}

// Texts of a Yes/No column as check states, and check states written back as texts; fixed rows
// keep their own check boxes.
TEST(GridStoreCells, BooleanColumnTextsAndStatesBothWays)
{
    GridStore g = makeGrid(2, 2);
    g.setColDataType(1, grid::TypeBoolean);
    const struct {
        QString text;
        int zustand;
    } lesen[] = {{"", grid::Unchecked},       {" 0 ", grid::Unchecked},  {"Falsch", grid::Unchecked},
                 {"FALSE", grid::Unchecked},  {"falsch ", grid::Unchecked}, {"1", grid::Checked},
                 {"-1", grid::Checked},       {"Wahr", grid::Checked},   {"x", grid::Checked},
                 {"00", grid::Checked}};
    for (const auto &f : lesen) {
        g.setTextMatrix(1, 1, f.text);
        EXPECT_EQ(g.cellChecked(1, 1), f.zustand) << qPrintable(f.text);
    }
    const struct {
        int zustand;
        QString text;
    } schreiben[] = {{grid::Checked, "1"}, {grid::Unchecked, "0"}, {grid::NoCheckbox, ""}};
    for (const auto &f : schreiben) {
        g.setCellChecked(1, 1, f.zustand);
        EXPECT_EQ(g.textMatrix(1, 1), f.text) << f.zustand;
    }
    // A state that is none of the three changes nothing.
    g.setCellChecked(1, 0, grid::Checked);
    g.setCellChecked(1, 0, 3);
    g.setCellChecked(1, 0, -1);
    EXPECT_EQ(g.cellChecked(1, 0), grid::Checked);
    EXPECT_EQ(g.textMatrix(1, 0), QString());
    g.setTextMatrix(0, 1, "ent");
    EXPECT_EQ(g.cellChecked(0, 1), grid::NoCheckbox); // the header stays text
    g.setCellChecked(0, 1, grid::Checked);
    EXPECT_EQ(g.textMatrix(0, 1), "ent");
    EXPECT_EQ(g.cellChecked(0, 1), grid::Checked);
    g.setColDataType(1, grid::TypeDefault);
    g.setTextMatrix(1, 1, "1");
    EXPECT_EQ(g.cellChecked(1, 1), grid::NoCheckbox);
}

TEST(GridStoreStructure, InsertedRowMovesTheRowsBelowWithTheirProperties)
{
    GridStore g = makeGrid(4, 2);
    g.setTextMatrix(2, 0, "b");
    g.setCellBackColor(2, 0, 255);
    g.setCellChecked(2, 1, grid::Checked);
    g.setCellData(2, 0, "Notiz");
    g.setRowHeight(2, 400);
    const int r = g.addItem("neu\tx", 1);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g.rows(), 5);
    EXPECT_EQ(g.textMatrix(1, 0), "neu");
    EXPECT_EQ(g.textMatrix(1, 1), "x");
    EXPECT_EQ(g.textMatrix(3, 0), "b");
    EXPECT_EQ(g.cellBackColor(3, 0), 255);
    EXPECT_EQ(g.cellChecked(3, 1), grid::Checked);
    EXPECT_EQ(g.cellData(3, 0).toString(), "Notiz");
    EXPECT_EQ(g.rowHeight(3), 400);
    EXPECT_EQ(g.cellBackColor(2, 0), 0);
    g.removeItem(1);
    EXPECT_EQ(g.textMatrix(2, 0), "b");
    EXPECT_EQ(g.cellBackColor(2, 0), 255);
}

TEST(GridStoreStructure, GrowingGivesFreshCellsAndShrinkingDropsThem)
{
    GridStore g = makeGrid(2, 2);
    g.setTextMatrix(1, 1, "a");
    g.setCellBackColor(1, 1, 255);
    g.setCols(1);
    g.setCols(3);
    EXPECT_EQ(g.textMatrix(1, 1), QString());
    EXPECT_EQ(g.cellBackColor(1, 1), 0);
    g.setRows(0);
    EXPECT_EQ(g.row(), -1);
    g.setRows(3);
    EXPECT_EQ(g.textMatrix(2, 2), QString());
}

// A row's texts given at once read as the same texts written cell by cell: into an empty row and
// over a row that already has cells, without the texts beyond the last column.
TEST(GridStoreCells, RowTextsGivenAtOnceReadAsCellByCell)
{
    GridStore g = makeGrid(3, 3);
    g.setRowTexts(1, {"a", "", "c", "jenseits"});
    g.setTextMatrix(2, 2, "alt");
    g.setCellBackColor(2, 0, 255);
    g.setRowTexts(2, {"x", "y"});
    const QStringList erwartet[] = {{"", "", ""}, {"a", "", "c"}, {"x", "y", "alt"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(g.textMatrix(r, c), erwartet[r][c]) << r << "," << c;
    EXPECT_EQ(g.cellBackColor(2, 0), 255);
    g.setRowTexts(5, {"außerhalb"});
    EXPECT_EQ(g.rows(), 3);
}

TEST(GridStoreStructure, RowsGivenFormatsTogetherChangeEachAlone)
{
    GridStore g = makeGrid(6, 4);
    g.setCellBackColor(1, 0, 4, 3, 255);
    g.setCellBackColor(2, 1, 0);
    g.setCellFontBold(3, 2, true);
    EXPECT_EQ(g.cellBackColor(1, 1), 255);
    EXPECT_EQ(g.cellBackColor(2, 1), 0);
    EXPECT_EQ(g.cellBackColor(3, 1), 255);
    EXPECT_FALSE(g.cellFontBold(4, 2));
    EXPECT_EQ(g.cellBackColor(5, 1), 0);

    g.copyRowFormats(3, 1, 2);
    g.setTextMatrix(2, 0, "x");
    g.setCellData(2, 0, 7);
    g.clear(grid::ClearEverywhere, grid::ClearText);
    EXPECT_FALSE(g.cellData(2, 0).isValid());
    EXPECT_TRUE(g.cellFontBold(1, 2));
    EXPECT_EQ(g.cellBackColor(2, 1), 255);
    g.setCellData(1, 0, 7);
    g.clearRange(1, 0, 1, 3, grid::ClearFormatting);
    EXPECT_EQ(g.cellData(1, 0).toInt(), 7);
    EXPECT_FALSE(g.cellFontBold(1, 2));
    EXPECT_EQ(g.cellBackColor(1, 0), 0);
    EXPECT_TRUE(g.cellFontBold(2, 2));
    EXPECT_EQ(g.cellBackColor(2, 0), 255);
    g.setCellBackColor(2, 3, 3, 3, 65535);
    EXPECT_EQ(g.cellBackColor(2, 3), 65535);
    EXPECT_EQ(g.cellBackColor(3, 3), 65535);
    EXPECT_EQ(g.cellBackColor(4, 3), 255);
    g.setCols(3);
    g.setCols(4);
    EXPECT_EQ(g.cellBackColor(4, 3), 0);
    EXPECT_EQ(g.cellBackColor(4, 2), 255);
}

TEST(GridStoreStructure, ClearTextKeepsFormatsAndClearEverythingDropsBoth)
{
    GridStore g = makeGrid(3, 3);
    g.setTextMatrix(1, 1, "a");
    g.setCellBackColor(1, 1, 255);
    g.cellBorderRange(1, 1, 1, 1, 0, 1, grid::BorderKeep, grid::BorderKeep, grid::BorderKeep);
    g.clear(grid::ClearEverywhere, grid::ClearText);
    EXPECT_EQ(g.textMatrix(1, 1), QString());
    EXPECT_EQ(g.cellBackColor(1, 1), 255);
    g.clear();
    EXPECT_EQ(g.cellBackColor(1, 1), 0);
    EXPECT_FALSE(g.hasBorders());
}

TEST(GridStoreSort, GenericOrderComparesNumbersByValueBeforeTexts)
{
    GridStore g = makeGrid(7, 1);
    const QStringList texts{"5a", "10", "9", "10a", "2,5", "Abc"};
    for (int i = 0; i < texts.size(); ++i)
        g.setTextMatrix(i + 1, 0, texts[i]);
    g.select(1, 0);
    g.sort(grid::SortGenericAscending);
    EXPECT_EQ(column(g, 0), (QStringList{"", "2,5", "9", "10", "10a", "5a", "Abc"}));
}

TEST(GridStoreSort, StringOrderIsGermanAndCaseSensitive)
{
    GridStore g = makeGrid(6, 1);
    const QStringList texts{"Zander", "Özdemir", "Ober", "Müller", "muller"};
    for (int i = 0; i < texts.size(); ++i)
        g.setTextMatrix(i + 1, 0, texts[i]);
    g.select(1, 0);
    g.sort(grid::SortStringAscending);
    const QStringList got = column(g, 0).mid(1);
    EXPECT_EQ(got.indexOf("Ober") + 1, got.indexOf("Özdemir")) << got.join(',').toStdString();
    EXPECT_LT(got.indexOf("Özdemir"), got.indexOf("Zander"));
    EXPECT_LT(got.indexOf("muller"), got.indexOf("Müller")); // lower case first, umlaut not at the end
    EXPECT_LT(got.indexOf("Müller"), got.indexOf("Ober"));
    // A string sort keeps numbers as texts: "10" before "9".
    EXPECT_LT(GridStore::compareString("10", "9"), 0);
    EXPECT_GT(GridStore::compareGeneric("10", "9"), 0);
}

TEST(GridStoreSort, TextsSortInTheOneGermanOrderOfTheDatabase)
{
    // Umlauts and ß beside their base letters, case only parting otherwise equal texts, in both
    // orders and exactly as ORDER BY ... COLLATE DE gives them.
    const QStringList texts{"Zander", "öl", "Masse", "Bäcker", "Apfel", "MASSE", "Oz", "Maß", "Bach", "äpfel",
                            "Ober", "Ölig", "apfel", "Übel", "ub", "Uz"};
    const QStringList german{"Apfel", "apfel", "äpfel", "Bach", "Bäcker", "Maß", "MASSE", "Masse",
                             "Ober", "öl", "Ölig", "Oz", "ub", "Übel", "Uz", "Zander"};
    testsupport::Sandbox sb;
    zdb::Db db;
    db.create(sb.file("f.db"));
    db.exec("CREATE TABLE t (x TEXT)");
    for (const QString &t : texts)
        db.exec("INSERT INTO t VALUES (?)", {t});
    QStringList datenbank;
    for (const auto &row : db.query("SELECT x FROM t ORDER BY x COLLATE DE").rows)
        datenbank << row[0].toString();
    EXPECT_EQ(datenbank.join(' ').toStdString(), german.join(' ').toStdString());
    for (const int order : {int(grid::SortStringAscending), int(grid::SortGenericAscending)}) {
        GridStore g = makeGrid(int(texts.size()) + 1, 1);
        for (int i = 0; i < texts.size(); ++i)
            g.setTextMatrix(i + 1, 0, texts[i]);
        g.select(1, 0);
        g.sort(order);
        EXPECT_EQ(column(g, 0).mid(1).join(' ').toStdString(), german.join(' ').toStdString()) << "order " << order;
    }
}

TEST(GridStoreSort, OneSelectedRowSortsAllScrollableRowsAndFixedRowsStay)
{
    GridStore g = makeGrid(6, 3, 2, 1);
    g.setTextMatrix(0, 1, "Kopf");
    g.setTextMatrix(1, 1, "zz");
    const QStringList keys{"b", "a", "b", "a"};
    const QStringList second{"2", "9", "1", "3"};
    for (int i = 0; i < 4; ++i) {
        g.setTextMatrix(i + 2, 1, keys[i]);
        g.setTextMatrix(i + 2, 2, second[i]);
        g.setCellBackColor(i + 2, 2, 100 + i);
    }
    g.select(4, 1, 4, 2); // one row, a two-column key
    g.sort(grid::SortGenericAscending);
    EXPECT_EQ(column(g, 1), (QStringList{"Kopf", "zz", "a", "a", "b", "b"}));
    EXPECT_EQ(column(g, 2), (QStringList{"", "", "3", "9", "1", "2"}));
    EXPECT_EQ(g.cellBackColor(2, 2), 103); // the colour moved with its row
}

TEST(GridStoreSort, SortIsStableForEqualKeys)
{
    GridStore g = makeGrid(5, 2);
    const QStringList keys{"LK", "LK", "5a", "LK"};
    for (int i = 0; i < 4; ++i) {
        g.setTextMatrix(i + 1, 0, keys[i]);
        g.setTextMatrix(i + 1, 1, QString::number(i));
    }
    g.select(1, 0);
    g.sort(grid::SortStringAscending);
    EXPECT_EQ(column(g, 1), (QStringList{"", "2", "0", "1", "3"}));
}

TEST(GridStoreMerge, FixedOnlyMergeEndsWhenTheRowIsNoLongerFixed)
{
    GridStore g = makeGrid(3, 5, 1, 1);
    for (int c = 1; c < 5; ++c)
        g.setTextMatrix(0, c, c < 4 ? "1. SchA" : "2. SchA");
    g.setMergeCells(grid::MergeFixedOnly);
    g.setMergeRow(0, true);
    int c1, c2;
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c1, 1);
    EXPECT_EQ(c2, 3);
    g.setFixedRows(0);
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c1, 2);
    EXPECT_EQ(c2, 2);
    g.setMergeCells(grid::MergeFree);
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c2, 3);
}

// Free merging joins equal neighbouring texts of a row switched on, never empty texts, never
// across the line between fixed and scrollable columns, never in rows switched off.
TEST(GridStoreMerge, FreeMergeJoinsOnlyEqualNeighboursOnOneSideOfTheFixedColumns)
{
    //                      0     1     2     3     4     5     6     7
    const QStringList zeile{"Okt", "Okt", "Okt", "Okt", "",    "",    "Nov", "Okt"};
    GridStore g = makeGrid(3, 8, 1, 2);
    for (int c = 0; c < 8; ++c) {
        g.setTextMatrix(0, c, zeile[c]);
        g.setTextMatrix(1, c, zeile[c]);
    }
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    g.setMergeRow(7, true); // beyond the rows: ignored
    const struct {
        int r, c, c1, c2;
    } faelle[] = {{0, 0, 0, 1}, {0, 1, 0, 1}, {0, 2, 2, 3}, {0, 3, 2, 3}, {0, 4, 4, 4}, {0, 5, 5, 5},
                  {0, 6, 6, 6}, {0, 7, 7, 7}, {1, 2, 2, 2}, {2, 0, 0, 0}};
    for (const auto &f : faelle) {
        int c1 = -1, c2 = -1;
        g.mergedSpan(f.r, f.c, c1, c2);
        EXPECT_EQ(std::make_pair(c1, c2), std::make_pair(f.c1, f.c2)) << f.r << "," << f.c;
    }
    EXPECT_FALSE(g.mergeRow(7));

    // Shrinking drops the row's merging; the row made again does not merge.
    g.setRows(0);
    g.setRows(1);
    g.setTextMatrix(0, 2, "Okt");
    g.setTextMatrix(0, 3, "Okt");
    int c1, c2;
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c2, 2);
    g.setMergeRow(0, true);
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c2, 3);
    g.setMergeCells(grid::MergeNever);
    g.mergedSpan(0, 2, c1, c2);
    EXPECT_EQ(c2, 2);
}

TEST(GridStoreBorders, EdgesNotNamedKeepTheirState)
{
    GridStore g = makeGrid(4, 4);
    g.cellBorderRange(1, 1, 3, 1, 0xFF0000, 2, grid::BorderKeep, grid::BorderKeep, grid::BorderKeep);
    g.cellBorderRange(2, 0, 2, 3, 0, grid::BorderKeep, 1, grid::BorderKeep, grid::BorderKeep);
    const grid::CellBorders b = g.cellBorders(2, 1);
    EXPECT_EQ(b.left.width, 2);
    EXPECT_EQ(b.left.color, 0xFF0000u);
    EXPECT_EQ(b.top.width, 1);
    EXPECT_EQ(g.cellBorders(3, 1).top.width, 0);
    g.cellBorderRange(1, 1, 3, 1, 0xFFFFFF, 0, grid::BorderKeep, grid::BorderKeep, grid::BorderKeep);
    EXPECT_EQ(g.cellBorders(2, 1).left.width, 0);
    EXPECT_EQ(g.cellBorders(2, 1).top.width, 1);
}

TEST(GridStoreBorders, EachCellKeepsItsOwnEdgesThroughOverlapsClearsAndCuts)
{
    GridStore g = makeGrid(3, 6);
    using B = grid::CellBorders;
    struct Step {
        std::function<void()> change;
        const char *top, *left, *right; // row 1
    };
    const grid::BorderEdge B::*top = &B::top;
    const Step steps[] = {
        {[&] { g.cellBorderRange(1, 0, 1, 5, 0xFF, grid::BorderKeep, 1, grid::BorderKeep, grid::BorderKeep); },
         "111111", "000000", "000000"},
        {[&] { g.cellBorderRange(1, 2, 1, 3, 0xAA, 2, 2, grid::BorderKeep, grid::BorderKeep); }, "112211", "002000",
         "000000"},
        {[&] { g.clearRange(1, 3, 1, 4, grid::ClearFormatting); }, "112001", "002000", "000000"},
        {[&] { g.clearRange(1, 0, 1, 5, grid::ClearText); }, "112001", "002000", "000000"},
        {[&] { g.cellBorderRange(0, 1, 2, 4, 0xBB, 3, grid::BorderKeep, 3, grid::BorderKeep, 1); }, "112001",
         "031110", "011130"},
        {[&] {
             g.setCols(4);
             g.setCols(6);
         },
         "112000", "031100", "011100"},
    };
    for (const Step &s : steps) {
        s.change();
        EXPECT_EQ(edges(g, 1, top), s.top);
        EXPECT_EQ(edges(g, 1, &B::left), s.left);
        EXPECT_EQ(edges(g, 1, &B::right), s.right);
    }
    EXPECT_EQ(g.cellBorders(1, 2).top.color, 0xAAu);
    EXPECT_EQ(g.cellBorders(1, 1).top.color, 0xFFu);
    EXPECT_EQ(g.cellBorders(1, 1).left.color, 0xBBu);
    EXPECT_EQ(edges(g, 2, &B::left), "031100");
    EXPECT_EQ(edges(g, 2, top), "000000");
    g.removeItem(1);
    EXPECT_EQ(edges(g, 1, &B::left), "031100");
    EXPECT_TRUE(g.hasBorders());
    g.setRows(0);
    EXPECT_FALSE(g.hasBorders());
}

TEST(GridStoreCopy, RangeTextLeavesOutHiddenColumnsAndRows)
{
    GridStore g = makeGrid(4, 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            g.setTextMatrix(r, c, QString("%1%2").arg(r).arg(c));
    g.setColHidden(1, true);
    g.setColWidth(2, 0);
    g.setRowHeight(2, 0);
    EXPECT_EQ(g.rangeText(1, 0, 3, 3), "10\t13\r\n30\t33");
    g.select(1, 1);
    g.pasteText(1, 2, "a\tb\tc\r\nd\r\n");
    EXPECT_EQ(g.textMatrix(1, 2), "a");
    EXPECT_EQ(g.textMatrix(1, 3), "b"); // "c" falls outside the grid
    EXPECT_EQ(g.textMatrix(2, 2), "d");
}

TEST(GridStoreSelection, ListRowsArePickedIndependently)
{
    GridStore g = makeGrid(4, 1, 0);
    g.setIsSelected(1, true);
    g.setIsSelected(3, true);
    EXPECT_EQ(g.selectedRows(), 2);
    EXPECT_EQ(g.selectedRow(1), 3);
    g.setRows(0);
    g.addItem("*");
    EXPECT_EQ(g.selectedRows(), 0);
}
