// Printing a grid of the performance-record overview's shape to PDF: 1x and 20x rows.
#include "bench/bench.h"
#include "platform/grid/vsgrid.h"

#include <QTemporaryDir>
#include <memory>

namespace {

constexpr int Cols = 30;

std::unique_ptr<VSGrid> lnwGitter(int rows)
{
    auto g = std::make_unique<VSGrid>();
    g->setRedraw(false);
    g->setRows(2 + rows);
    g->setCols(Cols);
    g->setFixedRows(2);
    g->setFixedCols(3);
    for (int c = 0; c < Cols; ++c) {
        g->setColWidth(c, c < 3 ? 900 : 450);
        g->setTextMatrix(0, c, QStringLiteral("SA %1").arg(c));
        g->setTextMatrix(1, c, QStringLiteral("Schnitt"));
    }
    for (int r = 2; r < 2 + rows; ++r) {
        g->setTextMatrix(r, 0, QStringLiteral("M"));
        g->setTextMatrix(r, 1, QStringLiteral("%1a").arg(5 + r % 6));
        g->setTextMatrix(r, 2, QStringLiteral("Lehrer %1").arg(r % 70));
        for (int c = 3; c < Cols; ++c) {
            g->setTextMatrix(r, c, QStringLiteral("%1,%2").arg(1 + (r + c) % 5).arg((r * c) % 10));
            if ((r + c) % 9 == 0)
                g->setCellBackColor(r, c, 255);
        }
    }
    g->setRedraw(true);
    return g;
}

} // namespace

ZBENCH("print")
{
    QTemporaryDir dir;
    for (const int faktor : {1, 20}) {
        auto g = lnwGitter(300 * faktor);
        int seiten = 0;
        const double ms = bench::medianMs([&] { seiten = g->print("LNW", true, dir.filePath("LNW.pdf")); },
                                          faktor == 1 ? 5 : 1);
        const QString n = QStringLiteral("%1x").arg(faktor);
        bench::report("print " + QString::number(300 * faktor) + " x 30 grid to PDF (" + n + ")", ms, "ms");
        bench::report("print pages (" + n + ")", seiten, "pages");
        bench::report("print per page (" + n + ")", ms / std::max(1, seiten), "ms");
        if (faktor == 1)
            bench::aimBelow("print per page (1x)", ms / std::max(1, seiten), 100);
    }
}
