#include "platform/grid/vsgrid.h"

#include <QImage>
#include <QLineEdit>
#include <QPaintEvent>

VSGrid::VSGrid(QWidget *parent) : QAbstractScrollArea(parent) {}
VSGrid::~VSGrid() = default;

void VSGrid::changed() { if (m_redraw) viewport()->update(); }
void VSGrid::layoutChanged() { changed(); }
void VSGrid::setRows(int n) { m_store.setRows(n); layoutChanged(); }
void VSGrid::setCols(int n) { m_store.setCols(n); layoutChanged(); }
void VSGrid::setFixedRows(int n) { m_store.setFixedRows(n); layoutChanged(); }
void VSGrid::setFixedCols(int n) { m_store.setFixedCols(n); layoutChanged(); }
int VSGrid::addItem(const QString &item, int row) { int r = m_store.addItem(item, row); layoutChanged(); return r; }
void VSGrid::removeItem(int row) { m_store.removeItem(row); layoutChanged(); }
void VSGrid::clear(grid::ClearWhere where, grid::ClearWhat what) { m_store.clear(where, what); changed(); }
void VSGrid::clearRange(int r1, int c1, int r2, int c2, grid::ClearWhat what) { m_store.clearRange(r1, c1, r2, c2, what); changed(); }
void VSGrid::setTextMatrix(int r, int c, const QString &text) { m_store.setTextMatrix(r, c, text); changed(); }
void VSGrid::setCellBackColor(int r, int c, long color) { m_store.setCellBackColor(r, c, color); changed(); }
void VSGrid::setCellBackColor(int, int, int, int, long) {}
void VSGrid::setCellForeColor(int r, int c, long color) { m_store.setCellForeColor(r, c, color); changed(); }
void VSGrid::setCellForeColor(int, int, int, int, long) {}
void VSGrid::setCellFontBold(int r, int c, bool bold) { m_store.setCellFontBold(r, c, bold); changed(); }
void VSGrid::setCellFontBold(int, int, int, int, bool) {}
QPixmap VSGrid::cellPicture(int, int) const { return {}; }
void VSGrid::setCellPicture(int, int, const QPixmap &) {}
void VSGrid::setCellChecked(int r, int c, int state) { m_store.setCellChecked(r, c, state); changed(); }
void VSGrid::setCellChecked(int, int, int, int, int) {}
void VSGrid::setCellAlignment(int r, int c, int a) { m_store.setCellAlignment(r, c, a); changed(); }
void VSGrid::setCellAlignment(int, int, int, int, int) {}
QRect VSGrid::cellRect(int, int) const { return {}; }
void VSGrid::setColWidth(int c, int twips) { m_store.setColWidth(c, twips); layoutChanged(); }
void VSGrid::setRowHeight(int r, int twips) { m_store.setRowHeight(r, twips); layoutChanged(); }
void VSGrid::setColHidden(int c, bool h) { m_store.setColHidden(c, h); layoutChanged(); }
void VSGrid::setRowHidden(int r, bool h) { m_store.setRowHidden(r, h); layoutChanged(); }
void VSGrid::setColAlignment(int c, int a) { m_store.setColAlignment(c, a); changed(); }
void VSGrid::setColDataType(int c, int t) { m_store.setColDataType(c, t); changed(); }
void VSGrid::autoSize(int, int) {}
int VSGrid::textWidthTwips(const QString &, bool) const { return 0; }
void VSGrid::setMergeCells(int mode) { m_store.setMergeCells(mode); changed(); }
void VSGrid::setMergeRow(int r, bool on) { m_store.setMergeRow(r, on); changed(); }
void VSGrid::cellBorderRange(int r1, int c1, int r2, int c2, long color, int l, int t, int rr, int b, int v, int h)
{ m_store.cellBorderRange(r1, c1, r2, c2, color, l, t, rr, b, v, h); changed(); }
void VSGrid::setRow(int r) { m_store.setRow(r); changed(); }
void VSGrid::setCol(int c) { m_store.setCol(c); changed(); }
void VSGrid::setRowSel(int r) { m_store.setRowSel(r); changed(); }
void VSGrid::setColSel(int c) { m_store.setColSel(c); changed(); }
void VSGrid::select(int r1, int c1, int r2, int c2) { m_store.select(r1, c1, r2, c2); changed(); }
void VSGrid::setSelectionMode(int mode) { m_selectionMode = mode; }
void VSGrid::setIsSelected(int r, bool on) { m_store.setIsSelected(r, on); changed(); }
void VSGrid::sort(int order) { m_store.sort(order); changed(); }
void VSGrid::setTopRow(int r) { m_topRow = r; }
void VSGrid::setLeftCol(int c) { m_leftCol = c; }
int VSGrid::bottomRow() const { return m_topRow; }
int VSGrid::rightCol() const { return m_leftCol; }
void VSGrid::showCell(int, int) {}
bool VSGrid::cellAt(const QPoint &, int &r, int &c) const { r = c = -1; return false; }
void VSGrid::setRedraw(bool on) { m_redraw = on; changed(); }
void VSGrid::editCell() {}
void VSGrid::finishEditing() {}
void VSGrid::setOleDropMode(int mode) { setAcceptDrops(mode != 0); }
QString VSGrid::clip() const { return {}; }
void VSGrid::copySelection() const {}
void VSGrid::pasteAtCurrent() {}
void VSGrid::pasteText(const QString &) {}
int VSGrid::print(const QString &, bool, const QString &) { return -1; }
bool VSGrid::saveXlsx(const QString &) const { return false; }
QImage VSGrid::grabCells() { return {}; }
void VSGrid::paintEvent(QPaintEvent *) {}
void VSGrid::resizeEvent(QResizeEvent *e) { QAbstractScrollArea::resizeEvent(e); }
void VSGrid::scrollContentsBy(int, int) {}
void VSGrid::mousePressEvent(QMouseEvent *) {}
void VSGrid::mouseReleaseEvent(QMouseEvent *) {}
void VSGrid::mouseMoveEvent(QMouseEvent *) {}
void VSGrid::mouseDoubleClickEvent(QMouseEvent *) {}
void VSGrid::keyPressEvent(QKeyEvent *) {}
void VSGrid::keyReleaseEvent(QKeyEvent *) {}
void VSGrid::dragEnterEvent(QDragEnterEvent *) {}
void VSGrid::dragMoveEvent(QDragMoveEvent *) {}
void VSGrid::dropEvent(QDropEvent *) {}
bool VSGrid::eventFilter(QObject *w, QEvent *e) { return QAbstractScrollArea::eventFilter(w, e); }
