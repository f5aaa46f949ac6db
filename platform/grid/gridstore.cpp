#include "platform/grid/gridstore.h"

GridStore::GridStore() = default;

void GridStore::setRows(int n) { m_rows.resize(size_t(std::max(0, n))); }
void GridStore::setCols(int n) { m_cols = std::max(0, n); m_colProps.resize(size_t(m_cols)); }
void GridStore::setFixedRows(int n) { m_fixedRows = std::max(0, n); }
void GridStore::setFixedCols(int n) { m_fixedCols = std::max(0, n); }
int GridStore::addItem(const QString &, int row) { (void)row; m_rows.emplace_back(); return rows() - 1; }
void GridStore::removeItem(int row) { if (row >= 0 && row < rows()) m_rows.erase(m_rows.begin() + row); }
void GridStore::clear(grid::ClearWhere, grid::ClearWhat) {}
void GridStore::clearRange(int, int, int, int, grid::ClearWhat) {}
QString GridStore::textMatrix(int, int) const { return {}; }
void GridStore::setTextMatrix(int, int, const QString &) {}
bool GridStore::setTextChanged(int, int, const QString &) { return false; }
QVariant GridStore::cellData(int, int) const { return {}; }
void GridStore::setCellData(int, int, const QVariant &) {}
long GridStore::cellBackColor(int, int) const { return 0; }
void GridStore::setCellBackColor(int, int, long) {}
long GridStore::cellForeColor(int, int) const { return 0; }
void GridStore::setCellForeColor(int, int, long) {}
bool GridStore::cellFontBold(int, int) const { return false; }
void GridStore::setCellFontBold(int, int, bool) {}
int GridStore::cellPicture(int, int) const { return 0; }
void GridStore::setCellPicture(int, int, int) {}
int GridStore::cellChecked(int, int) const { return 0; }
void GridStore::setCellChecked(int, int, int) {}
int GridStore::cellAlignment(int, int) const { return -1; }
void GridStore::setCellAlignment(int, int, int) {}
int GridStore::effectiveAlignment(int, int) const { return 1; }
int GridStore::colWidth(int) const { return m_defaultColWidth; }
void GridStore::setColWidth(int, int) {}
int GridStore::rowHeight(int) const { return m_defaultRowHeight; }
void GridStore::setRowHeight(int, int) {}
bool GridStore::colHidden(int) const { return false; }
void GridStore::setColHidden(int, bool) {}
bool GridStore::rowHidden(int) const { return false; }
void GridStore::setRowHidden(int, bool) {}
int GridStore::colAlignment(int) const { return -1; }
void GridStore::setColAlignment(int, int) {}
int GridStore::colDataType(int) const { return 0; }
void GridStore::setColDataType(int, int) {}
bool GridStore::mergeRow(int) const { return false; }
void GridStore::setMergeRow(int, bool) {}
void GridStore::mergedSpan(int, int c, int &c1, int &c2) const { c1 = c2 = c; }
void GridStore::cellBorderRange(int, int, int, int, long, int, int, int, int, int, int) {}
grid::CellBorders GridStore::cellBorders(int, int) const { return {}; }
void GridStore::select(int r1, int c1, int r2, int c2) { m_row = r1; m_col = c1; m_rowSel = r2 < 0 ? r1 : r2; m_colSel = c2 < 0 ? c1 : c2; }
void GridStore::setRow(int r) { m_row = m_rowSel = r; }
void GridStore::setCol(int c) { m_col = m_colSel = c; }
void GridStore::setRowSel(int r) { m_rowSel = r; }
void GridStore::setColSel(int c) { m_colSel = c; }
bool GridStore::inSelection(int, int) const { return false; }
bool GridStore::isSelected(int) const { return false; }
void GridStore::setIsSelected(int, bool) {}
int GridStore::selectedRows() const { return 0; }
int GridStore::selectedRow(int) const { return -1; }
void GridStore::sort(int) {}
int GridStore::compareGeneric(const QString &a, const QString &b) { return a.compare(b); }
int GridStore::compareString(const QString &a, const QString &b) { return a.compare(b); }
QString GridStore::rangeText(int, int, int, int) const { return {}; }
QString GridStore::rangeHtml(int, int, int, int) const { return {}; }
void GridStore::pasteText(int, int, const QString &) {}
