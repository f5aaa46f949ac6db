#include "records/lnwexport.h"

#include "platform/grid/gridstore.h"

#include <algorithm>
#include <vector>

namespace lnw {

namespace {

// Positions of the shown entries; `ziel[i]` is the copy's index of entry i, -1 when hidden.
std::vector<int> packen(int anzahl, const auto &gezeigt, std::vector<int> &ziel)
{
    std::vector<int> quellen;
    ziel.assign(size_t(anzahl), -1);
    for (int i = 0; i < anzahl; ++i)
        if (gezeigt(i)) {
            ziel[size_t(i)] = int(quellen.size());
            quellen.push_back(i);
        }
    return quellen;
}

int abgebildet(const std::vector<int> &ziel, int i)
{
    return i >= 0 && i < int(ziel.size()) && ziel[size_t(i)] >= 0 ? ziel[size_t(i)] : 0;
}

} // namespace

void sichtbarKopieren(const GridStore &q, GridStore &z)
{
    std::vector<int> zielZeile, zielSpalte;
    const std::vector<int> zeilen =
        packen(q.rows(), [&](int r) { return !q.rowHidden(r) && q.rowHeight(r) > 1; }, zielZeile);
    const std::vector<int> spalten =
        packen(q.cols(), [&](int c) { return !q.colHidden(c) && q.colWidth(c) > 1; }, zielSpalte);

    z.setRows(0);
    z.setCols(0);
    z.clear();
    z.setMergeCells(grid::MergeNever);
    z.setCols(int(spalten.size()));
    z.setRows(int(zeilen.size()));
    z.setFixedRows(std::min(q.fixedRows(), z.rows()));
    z.setFixedCols(std::min(q.fixedCols(), z.cols()));

    for (int j = 0; j < int(spalten.size()); ++j) {
        const int c = spalten[size_t(j)];
        z.setColWidth(j, q.colWidth(c));
        z.setColDataType(j, q.colDataType(c));
        z.setColAlignment(j, q.colAlignment(c));
    }
    for (int i = 0; i < int(zeilen.size()); ++i) {
        const int r = zeilen[size_t(i)];
        z.setRowHeight(i, q.rowHeight(r));
        for (int j = 0; j < int(spalten.size()); ++j) {
            const int c = spalten[size_t(j)];
            const QString text = q.textMatrix(r, c);
            if (!text.isEmpty())
                z.setTextMatrix(i, j, text);
            if (const long back = q.cellBackColor(r, c))
                z.setCellBackColor(i, j, back);
            if (const long fore = q.cellForeColor(r, c))
                z.setCellForeColor(i, j, fore);
        }
    }
    z.select(abgebildet(zielZeile, q.row()), abgebildet(zielSpalte, q.col()), abgebildet(zielZeile, q.rowSel()),
             abgebildet(zielSpalte, q.colSel()));
}

} // namespace lnw
