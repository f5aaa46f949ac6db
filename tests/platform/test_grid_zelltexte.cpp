// The grid's compact cell texts: every kind of text reads back exactly as written, through edits,
// far-apart columns, cleared ranges, sorting and merging, and a query's rows taken over whole.
#include "platform/accesssql.h"
#include "platform/accesssql_run.h"
#include "platform/db.h"
#include "platform/grid/gridstore.h"
#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"

#include <QFont>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {

// Texts at the edges of what a cell keeps in its own 8 bytes, and beyond.
const QStringList &texte()
{
    static const QStringList t = {
        "", "1", "-12", "1,5", "Falsch", "1234567", "12345678", "01.02.2024", "12:30:00", "-1.234.567,25",
        "0815 4711/12", "12345678901234", "123456789012345", "01.02.2024 12:30", "1,5E+20", "12345678a",
        "Müßig", "ÄÖÜäöüß", "éàç ÿ",
        QString(7, QChar(0xFF)), "€", "ſ", QString(QChar(0x212A)) + "elvin", "ﬁ", "a\tb", QString(QChar(0)),
        QString::fromUtf16(u"\U0001F600"), " ", "  x  ", "Mathematik (MÜL)\nDeutsch", QString(5000, 'y'),
        QString(40000, QChar(0x20AC))};
    return t;
}

GridStore gitter(int rows, int cols)
{
    GridStore g;
    g.setRows(rows);
    g.setCols(cols);
    return g;
}

QStringList zeile(const GridStore &g, int r)
{
    QStringList out;
    for (int c = 0; c < g.cols(); ++c)
        out << g.textMatrix(r, c);
    return out;
}

} // namespace

TEST(GridCellTexts, EveryKindOfTextReadsBackExactlyAndOverwritesAnyOther)
{
    const QStringList &t = texte();
    GridStore g = gitter(int(t.size()), int(t.size()));
    // Each cell written twice, with two different kinds of text: the second one wins whole.
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c) {
            g.setTextMatrix(r, c, t[(r + c + 1) % t.size()]);
            g.setTextMatrix(r, c, t[(r * 7 + c) % t.size()]);
        }
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c) {
            const QString &soll = t[(r * 7 + c) % t.size()];
            ASSERT_EQ(g.textMatrix(r, c), soll) << r << "," << c;
            EXPECT_EQ(g.textMatrix(r, c).size(), soll.size());
            EXPECT_EQ(g.cellText(r, c).equals(soll), true);
        }
}

TEST(GridCellTexts, ChangeIsReportedOnlyWhenTheTextDiffers)
{
    GridStore g = gitter(2, 3);
    EXPECT_FALSE(g.setTextChanged(1, 1, ""));
    EXPECT_TRUE(g.setTextChanged(1, 1, "Wahr"));
    EXPECT_FALSE(g.setTextChanged(1, 1, QStringLiteral("Wa") + "hr"));
    EXPECT_TRUE(g.setTextChanged(1, 1, "wahr"));
    EXPECT_TRUE(g.setTextChanged(1, 1, "Wahrscheinlich"));
    EXPECT_FALSE(g.setTextChanged(1, 1, "Wahrscheinlich"));
    EXPECT_TRUE(g.setTextChanged(1, 1, "Wahrscheinlicher"));
    EXPECT_TRUE(g.setTextChanged(1, 1, "€"));
    EXPECT_TRUE(g.setTextChanged(1, 1, ""));
    EXPECT_EQ(g.textMatrix(1, 1), "");
}

// A calendar row holds a few texts far apart, a list row every column: both read the same,
// whatever order the columns are written in, and clearing or cutting columns leaves the others.
TEST(GridCellTexts, FarApartColumnsInAnyOrderClearAndCut)
{
    GridStore g = gitter(3, 400);
    const int spalten[] = {0, 1, 380, 17, 200, 2, 399, 150, 151, 3};
    for (int i = 0; i < 10; ++i)
        g.setTextMatrix(1, spalten[i], QStringLiteral("k%1").arg(spalten[i]));
    for (int c = 0; c < 400; ++c)
        g.setTextMatrix(2, c, QString::number(c));
    for (int c = 0; c < 400; ++c) {
        const bool geschrieben = std::find(std::begin(spalten), std::end(spalten), c) != std::end(spalten);
        ASSERT_EQ(g.textMatrix(1, c), geschrieben ? QStringLiteral("k%1").arg(c) : QString()) << c;
    }
    g.clearRange(1, 150, 2, 200, grid::ClearText);
    EXPECT_EQ(g.textMatrix(1, 151), "");
    EXPECT_EQ(g.textMatrix(1, 200), "");
    EXPECT_EQ(g.textMatrix(1, 380), "k380");
    EXPECT_EQ(g.textMatrix(2, 149), "149");
    EXPECT_EQ(g.textMatrix(2, 175), "");
    EXPECT_EQ(g.textMatrix(2, 201), "201");
    g.setTextMatrix(1, 160, "neu");
    EXPECT_EQ(g.textMatrix(1, 160), "neu");
    EXPECT_EQ(g.textMatrix(1, 17), "k17");
    g.setCols(100);
    g.setCols(400);
    EXPECT_EQ(g.textMatrix(1, 17), "k17");
    EXPECT_EQ(g.textMatrix(1, 380), "");
    EXPECT_EQ(g.textMatrix(2, 99), "99");
    EXPECT_EQ(g.textMatrix(2, 100), "");
    EXPECT_EQ(g.rangeText(1, 0, 1, 4), "k0\tk1\tk2\tk3\t");
}

// The rows of a query are kept compact from the read on (a row of mostly empty cells lists its
// written ones) and still read as rows of every column; the grid takes them over as they are.
TEST(GridCellTexts, QueryRowsKeepTheirWidthAndAreTakenOverWhole)
{
    grid::TextTable t;
    t.append(QStringList{"7", "", "", "", "", "", "Müller, Anna-Lena", ""});
    t.append(QStringList{"8", "2", "3-", "1,5", "", "Wahr", "", "€"});
    t.append(QStringList{"", "", "", "", "", "", "", ""});
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0], QStringList({"7", "", "", "", "", "", "Müller, Anna-Lena", ""}));
    EXPECT_EQ(t[2], QStringList(8, QString()));
    EXPECT_EQ(t.text(1, 7), "€");
    EXPECT_TRUE(t == QVector<QStringList>({{"7", "", "", "", "", "", "Müller, Anna-Lena", ""},
                                            {"8", "2", "3-", "1,5", "", "Wahr", "", "€"},
                                            QStringList(8, QString())}));

    GridStore g = gitter(4, 7); // one column fewer than the rows hold
    g.setTextMatrix(0, 0, "ID");
    for (int r = 0; r < t.size(); ++r)
        g.setRowTexts(r + 1, t.take(r));
    EXPECT_EQ(zeile(g, 1), QStringList({"7", "", "", "", "", "", "Müller, Anna-Lena"}));
    EXPECT_EQ(zeile(g, 2), QStringList({"8", "2", "3-", "1,5", "", "Wahr", ""}));
    EXPECT_EQ(zeile(g, 3), QStringList(7, QString()));
    g.setCols(8);
    EXPECT_EQ(g.textMatrix(2, 7), ""); // the column beyond the grid was not kept
    // Taken-over rows are edited like any other.
    g.setTextMatrix(1, 3, "neu");
    g.setTextMatrix(1, 6, "");
    EXPECT_EQ(zeile(g, 1), QStringList({"7", "", "", "neu", "", "", "", ""}));
}

// Rows sorted, inserted and removed take their texts along, short and long, dense and sparse.
TEST(GridCellTexts, RowsMoveWithTheirTexts)
{
    GridStore g = gitter(5, 300);
    g.setFixedRows(1);
    const QString lang = QString(100, 'z') + "ende";
    g.setRowTexts(1, {"10", "Zehn", lang});
    g.setTextMatrix(2, 0, "9");
    g.setTextMatrix(2, 299, "weit");
    g.setRowTexts(3, {"100", "€"});
    g.setRowTexts(4, {"-1,5", "", "", "x"});
    g.select(1, 0);
    g.sort(grid::SortGenericAscending);
    EXPECT_EQ(zeile(g, 1).mid(0, 4), QStringList({"-1,5", "", "", "x"}));
    EXPECT_EQ(g.textMatrix(2, 299), "weit");
    EXPECT_EQ(zeile(g, 3).mid(0, 3), QStringList({"10", "Zehn", lang}));
    EXPECT_EQ(g.textMatrix(4, 1), "€");
    g.select(1, 0);
    g.sort(grid::SortStringAscending); // as texts: "-1,5" < "10" < "100" < "9"
    EXPECT_EQ(g.textMatrix(4, 299), "weit");
    g.addItem("neu\teingefügt", 2);
    EXPECT_EQ(g.textMatrix(2, 1), "eingefügt");
    EXPECT_EQ(g.textMatrix(5, 299), "weit");
    g.removeItem(1);
    EXPECT_EQ(g.textMatrix(1, 0), "neu");
    EXPECT_EQ(g.textMatrix(4, 299), "weit");
}

// Neighbours merge when their texts are equal, however the texts are kept.
TEST(GridCellTexts, MergingComparesTextsOfEveryKind)
{
    GridStore g = gitter(1, 6);
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    const QString lang = QStringLiteral("Schuljahr 2024/25");
    g.setRowTexts(0, {"Mo", "Mo", lang, QString(lang), "€", "€"});
    int c1 = 0, c2 = 0;
    g.mergedSpan(0, 0, c1, c2);
    EXPECT_EQ(std::make_pair(c1, c2), std::make_pair(0, 1));
    g.mergedSpan(0, 3, c1, c2);
    EXPECT_EQ(std::make_pair(c1, c2), std::make_pair(2, 3));
    g.mergedSpan(0, 4, c1, c2);
    EXPECT_EQ(std::make_pair(c1, c2), std::make_pair(4, 5));
}

// Sizing reads the kept texts in place: short, long, non-Latin and bold ones give the width of
// measuring every cell.
TEST(GridCellTexts, SizingGivesTheWidthOfMeasuringEveryCell)
{
    auto g = std::make_unique<VSGrid>();
    g->setRows(9);
    g->setCols(3);
    g->resize(400, 300);
    const QStringList spalte0 = {"Falsch", "Wahr", "Falsch", "ÄÖÜ", "mmmmmmm", "iiiiiiii", "x", "Ωmega", "Wahr"};
    const QStringList spalte1 = {"1", "22", "333", "4444", "55555", "1,5", "", "7", "€"};
    for (int r = 0; r < 9; ++r) {
        g->setTextMatrix(r, 0, spalte0[r]);
        g->setTextMatrix(r, 1, spalte1[r]);
        g->setTextMatrix(r, 2, QString(r * 3, QChar(0x0416)));
    }
    g->setCellFontBold(6, 0, true);
    g->autoSize(0, 2);
    for (int c = 0; c < 3; ++c) {
        int breitest = 0;
        for (int r = 0; r < 9; ++r)
            breitest = std::max(breitest, g->textWidthTwips(g->textMatrix(r, c), g->cellFontBold(r, c)));
        EXPECT_EQ(g->colWidth(c), breitest) << c;
    }
}

// A query's memory limit counts the rows as they are kept: 3,600 rows of ten short values fit in
// 600 KB (a text per cell would have needed about 2 MB), one more long text per row does not.
TEST(GridCellTexts, AQueryIsCountedAsItsRowsAreKept)
{
    testsupport::Sandbox sb;
    zdb::Db db;
    db.create(sb.file("f.db"));
    db.exec("CREATE TABLE t (x INTEGER); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
            "WHERE i < 3600) INSERT INTO t SELECT i FROM n");
    accesssql::ReadLimits limits;
    limits.maxBytes = 600000;
    const auto lesen = [&](const char *sql) { return accesssql::readTexts(db, accesssql::translate(sql), limits); };
    const accesssql::ReadResult r =
        lesen("SELECT x, x Mod 7, 'Falsch', x * 3, '1,5', '', Null, 'ÄÖÜ', x Mod 2, '01.02.2024' FROM t");
    ASSERT_EQ(r.status, accesssql::ReadResult::Complete);
    ASSERT_EQ(r.rows.size(), 3600);
    EXPECT_EQ(r.rows[3599], QStringList({"3600", "2", "Falsch", "10800", "1,5", "", "", "ÄÖÜ", "0", "01.02.2024"}));
    EXPECT_EQ(lesen("SELECT x, x Mod 7, 'Falsch', x * 3, '1,5', '', Null, 'ÄÖÜ', x Mod 2, "
                    "'Mathematik und Informatik' FROM t")
                  .status,
              accesssql::ReadResult::TooBig);
}
