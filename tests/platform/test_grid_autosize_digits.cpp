// Sizing a column of numbers gives the width of measuring every cell, in a font that kerns digit
// pairs (the program's dialog font kerns "11") and in one that does not.
#include "platform/grid/vsgrid.h"

#include <QFont>
#include <QFontMetricsF>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {

bool kerntZiffern(const QFont &f)
{
    const QFontMetricsF fm(f);
    for (char a = '0'; a <= '9'; ++a)
        for (char b = '0'; b <= '9'; ++b) {
            const char paar[] = {a, b, 0};
            if (fm.horizontalAdvance(QLatin1String(paar)) !=
                fm.horizontalAdvance(QLatin1Char(a)) + fm.horizontalAdvance(QLatin1Char(b)))
                return true;
        }
    return false;
}

// Column 1: numbers of one to seven digits; 2: six-digit strings of the digits 1 and 7 only, whose
// widths differ by their pairs alone; 3: numbers, some of them bold; 4: numbers beside texts.
std::unique_ptr<VSGrid> zahlenGitter(const QFont &f)
{
    constexpr int Zeilen = 600;
    auto g = std::make_unique<VSGrid>();
    g->setFont(f);
    g->setRows(Zeilen + 1);
    g->setCols(5);
    g->setFixedRows(1);
    g->setFixedCols(1);
    g->resize(500, 300);
    g->show();
    for (int r = 1; r <= Zeilen; ++r) {
        g->setTextMatrix(r, 1, QString::number((r * 7919L) % 10000000L >> (r % 5 * 3)));
        QString einsSieben;
        for (int i = 0; i < 6; ++i)
            einsSieben += ((r >> i) & 1) ? QLatin1Char('1') : QLatin1Char('7');
        g->setTextMatrix(r, 2, einsSieben);
        g->setTextMatrix(r, 3, QString::number(100000 + r * 37));
        g->setCellFontBold(r, 3, r % 50 == 0);
        g->setTextMatrix(r, 4, r % 3 ? QString::number(r * 13) : QStringLiteral("%1,5").arg(r));
    }
    return g;
}

int gemessen(VSGrid &g, int c)
{
    int breitest = 0;
    for (int r = 0; r < g.rows(); ++r)
        breitest = std::max(breitest, g.textWidthTwips(g.textMatrix(r, c), g.cellFontBold(r, c)));
    return breitest;
}

} // namespace

TEST(GridWidgetSizes, NumberColumnsGetTheWidthOfMeasuringEveryCellWhetherTheFontKernsDigitsOrNot)
{
    QFont dialog(QStringLiteral("Liberation Sans"));
    dialog.setPointSize(8);
    QFont gross(QStringLiteral("Liberation Sans"));
    gross.setPointSize(13);
    const QFont mono(QStringLiteral("DejaVu Sans Mono"), 9);
    bool einerKernt = false, einerNicht = false;
    for (const QFont &f : {dialog, gross, mono}) {
        (kerntZiffern(f) ? einerKernt : einerNicht) = true;
        auto g = zahlenGitter(f);
        g->autoSize(1, 4);
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(g->colWidth(c), gemessen(*g, c)) << f.family().toStdString() << ' ' << f.pointSize() << ", column " << c;
        // Once more after the widest number is gone: the width follows the cells, not the font's digits.
        for (int r = 1; r < g->rows(); ++r)
            if (g->textWidthTwips(g->textMatrix(r, 2)) == g->colWidth(2))
                g->setTextMatrix(r, 2, QStringLiteral("111"));
        g->autoSize(2);
        EXPECT_EQ(g->colWidth(2), gemessen(*g, 2)) << f.family().toStdString() << ' ' << f.pointSize();
    }
    EXPECT_TRUE(einerKernt) << "no installed font kerns digits: the test would not reach that case";
    EXPECT_TRUE(einerNicht);
}
