// The grid at the size of the absence calendar: 1,500 person rows by 379 day columns, each cell coloured.
#include "bench/bench.h"
#include "platform/grid/vsgrid.h"

#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <memory>

namespace {

constexpr int HeaderRows = 4;
constexpr int NameCols = 2;
constexpr int Days = 379;

void sizeViewport(VSGrid &g, QSize want)
{
    g.resize(want);
    g.show();
    for (int i = 0; i < 3; ++i)
        g.resize(g.size() + (want - g.viewport()->size()));
}

// Fills the grid as the calendar does, through the per-cell calls with redraw off.
void fill(VSGrid &g, int persons)
{
    static const QString codes[] = {QStringLiteral("kr"), QStringLiteral("bf"), QStringLiteral("un")};
    QRandomGenerator rnd(7);
    g.setRedraw(false);
    g.setRows(HeaderRows + persons);
    g.setCols(NameCols + Days);
    g.setFixedRows(HeaderRows);
    g.setFixedCols(NameCols);
    for (int c = NameCols; c < NameCols + Days; ++c) {
        g.setColWidth(c, 300);
        g.setTextMatrix(0, c, QStringLiteral("Monat %1").arg((c - NameCols) / 31));
    }
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    for (int r = HeaderRows; r < HeaderRows + persons; ++r) {
        g.setTextMatrix(r, 0, QStringLiteral("Name %1, Vorname").arg(rnd.bounded(100000)));
        g.setTextMatrix(r, 1, QStringLiteral("5a"));
        for (int c = NameCols; c < NameCols + Days; ++c) {
            const int day = c - NameCols;
            g.setCellBackColor(r, c, day % 7 >= 5 ? 65535 : 0xF0F0F0 + (day % 3));
            if ((r * 31 + c) % 23 == 0)
                g.setTextMatrix(r, c, codes[(r + c) % 3]);
        }
    }
    g.setRedraw(true);
}

// One paint event of the whole viewport (rendered into an image: offscreen windows are not exposed).
double paintMs(VSGrid &g, int repeats = 7)
{
    QImage img(g.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    g.viewport()->render(&img); // warm-up: fonts, glyphs
    std::vector<double> t;
    for (int i = 0; i < repeats; ++i)
        t.push_back(bench::timeMs([&] { g.viewport()->render(&img); }));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

ZBENCH("grid")
{
    const QSize view(1600, 1000);
    auto g = std::make_unique<VSGrid>();
    sizeViewport(*g, view);
    bench::report("fill 1500 x 379 coloured cells, redraw off", bench::timeMs([&] { fill(*g, 1500); }), "ms");
    const double top = paintMs(*g);
    bench::report("repaint 1600 x 1000 px viewport", top, "ms");
    g->setTopRow(700);
    g->setLeftCol(150);
    bench::report("repaint after scrolling", paintMs(*g), "ms");

    auto big = std::make_unique<VSGrid>();
    sizeViewport(*big, view);
    const double fuellen = bench::timeMs([&] { fill(*big, 30000); });
    bench::report("fill 30000 x 379 coloured cells, redraw off", fuellen, "ms");
    // Sizing the two name columns, as the calendar does after filling; it must not dominate the fill.
    // These names differ in their digits only, which are equally wide: each one has to be shaped,
    // the worst case for the sizing.
    const double groesse = bench::medianMs([&] { big->autoSize(0, 1); }, 3);
    bench::report("size the name columns of 30000 rows", groesse, "ms");
    bench::aimRatio("sizing / filling 30000 rows", groesse, fuellen, 1.0);
    const double bigTop = paintMs(*big);
    bench::report("repaint 1600 x 1000 px viewport, 20x rows", bigTop, "ms");
    big->setTopRow(15000);
    big->setLeftCol(150);
    bench::report("repaint after scrolling, 20x rows", paintMs(*big), "ms");
    bench::report("repaint 20x rows / 1x rows", 100.0 * bigTop / std::max(0.001, top), "%");
    big.reset();

    g->select(HeaderRows, 0);
    bench::report("sort 1500 rows by one column (generic)", bench::timeMs([&] { g->sort(grid::SortGenericAscending); }), "ms");
    g->select(HeaderRows, 0);
    bench::report("sort 1500 rows by one column (string)", bench::timeMs([&] { g->sort(grid::SortStringAscending); }), "ms");
    bench::report("peak memory", bench::peakMemoryMiB(), "MiB");
}
