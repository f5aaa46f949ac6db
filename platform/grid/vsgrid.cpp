// The grid widget: properties, geometry, scrolling and painting. Input and editing: vsgridinput.cpp;
// clipboard, printing and the workbook: vsgridio.cpp.
#include "platform/grid/vsgrid.h"
#include "platform/grid/vsgridview.h"

#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

VSGrid::VSGrid(QWidget *parent) : QAbstractScrollArea(parent)
{
    // A default font that a row of 240 twips shows unclipped.
    QFont f = font();
    f.setPointSizeF(8.0);
    setFont(f);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    m_dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
}

VSGrid::~VSGrid() = default;

// ------------------------------------------------------------------------------------------ updating

void VSGrid::changed()
{
    if (m_redraw)
        viewport()->update();
}

void VSGrid::layoutChanged()
{
    m_layoutDirty = true;
    if (m_redraw) {
        updateScrollBars();
        viewport()->update();
    }
}

void VSGrid::setRedraw(bool on)
{
    m_redraw = on;
    if (on) {
        updateScrollBars();
        viewport()->update();
    }
}

// ------------------------------------------------------------------------------------ size, structure

void VSGrid::setRows(int n)
{
    if (m_editor)
        endEdit(false);
    m_store.setRows(n);
    layoutChanged();
}

void VSGrid::setCols(int n)
{
    if (m_editor)
        endEdit(false);
    m_store.setCols(n);
    layoutChanged();
}

void VSGrid::setFixedRows(int n)
{
    m_store.setFixedRows(n);
    layoutChanged();
}

void VSGrid::setFixedCols(int n)
{
    m_store.setFixedCols(n);
    layoutChanged();
}

int VSGrid::addItem(const QString &item, int row)
{
    const int r = m_store.addItem(item, row);
    layoutChanged();
    return r;
}

void VSGrid::removeItem(int row)
{
    if (m_editor)
        endEdit(false);
    m_store.removeItem(row);
    layoutChanged();
}

void VSGrid::clear(grid::ClearWhere where, grid::ClearWhat what)
{
    m_store.clear(where, what);
    changed();
}

void VSGrid::clearRange(int r1, int c1, int r2, int c2, grid::ClearWhat what)
{
    m_store.clearRange(r1, c1, r2, c2, what);
    changed();
}

// --------------------------------------------------------------------------------------------- cells

void VSGrid::setTextMatrix(int r, int c, const QString &text)
{
    if (!m_store.setTextChanged(r, c, text))
        return;
    changed();
    emit cellChanged(r, c);
}

void VSGrid::setCellBackColor(int r, int c, long color)
{
    m_store.setCellBackColor(r, c, color);
    changed();
}

namespace {
template <typename F> void forRange(const GridStore &s, int r1, int c1, int r2, int c2, F f)
{
    if (r1 > r2)
        std::swap(r1, r2);
    if (c1 > c2)
        std::swap(c1, c2);
    for (int r = std::max(r1, 0); r <= r2 && r < s.rows(); ++r)
        for (int c = std::max(c1, 0); c <= c2 && c < s.cols(); ++c)
            f(r, c);
}
} // namespace

void VSGrid::setCellBackColor(int r1, int c1, int r2, int c2, long color)
{
    m_store.setCellBackColor(r1, c1, r2, c2, color);
    changed();
}

void VSGrid::setCellForeColor(int r, int c, long color)
{
    m_store.setCellForeColor(r, c, color);
    changed();
}

void VSGrid::setCellForeColor(int r1, int c1, int r2, int c2, long color)
{
    forRange(m_store, r1, c1, r2, c2, [&](int r, int c) { m_store.setCellForeColor(r, c, color); });
    changed();
}

void VSGrid::setCellFontBold(int r, int c, bool bold)
{
    m_store.setCellFontBold(r, c, bold);
    changed();
}

void VSGrid::setCellFontBold(int r1, int c1, int r2, int c2, bool bold)
{
    forRange(m_store, r1, c1, r2, c2, [&](int r, int c) { m_store.setCellFontBold(r, c, bold); });
    changed();
}

int VSGrid::pictureHandle(const QPixmap &picture)
{
    if (picture.isNull())
        return 0;
    for (size_t i = 0; i < m_pictures.size(); ++i)
        if (m_pictures[i].cacheKey() == picture.cacheKey())
            return int(i) + 1;
    m_pictures.push_back(picture);
    return int(m_pictures.size());
}

QPixmap VSGrid::cellPicture(int r, int c) const
{
    const int h = m_store.cellPicture(r, c);
    return h > 0 && size_t(h) <= m_pictures.size() ? m_pictures[size_t(h - 1)] : QPixmap();
}

void VSGrid::setCellPicture(int r, int c, const QPixmap &picture)
{
    m_store.setCellPicture(r, c, pictureHandle(picture));
    changed();
}

void VSGrid::setCellChecked(int r, int c, int state)
{
    const int before = m_store.cellChecked(r, c);
    m_store.setCellChecked(r, c, state);
    changed();
    if (m_store.cellChecked(r, c) != before)
        emit cellChanged(r, c);
}

void VSGrid::setCellChecked(int r1, int c1, int r2, int c2, int state)
{
    forRange(m_store, r1, c1, r2, c2, [&](int r, int c) { setCellChecked(r, c, state); });
}

void VSGrid::setCellAlignment(int r, int c, int alignment)
{
    m_store.setCellAlignment(r, c, alignment);
    changed();
}

void VSGrid::setCellAlignment(int r1, int c1, int r2, int c2, int alignment)
{
    forRange(m_store, r1, c1, r2, c2, [&](int r, int c) { m_store.setCellAlignment(r, c, alignment); });
    changed();
}

// ------------------------------------------------------------------------------------- columns, rows

void VSGrid::setColWidth(int c, int twips)
{
    m_store.setColWidth(c, twips);
    layoutChanged();
}

void VSGrid::setRowHeight(int r, int twips)
{
    m_store.setRowHeight(r, twips);
    layoutChanged();
}

void VSGrid::setColHidden(int c, bool hidden)
{
    m_store.setColHidden(c, hidden);
    layoutChanged();
}

void VSGrid::setRowHidden(int r, bool hidden)
{
    m_store.setRowHidden(r, hidden);
    layoutChanged();
}

void VSGrid::setColAlignment(int c, int alignment)
{
    m_store.setColAlignment(c, alignment);
    changed();
}

void VSGrid::setColDataType(int c, int type)
{
    m_store.setColDataType(c, type);
    changed();
}

int VSGrid::textWidthTwips(const QString &text, bool bold) const
{
    QFont f = font();
    f.setBold(bold);
    const QFontMetrics fm(f);
    const int px = fm.horizontalAdvance(text) + int(4 * m_dpiX / 96.0 + 0.5) + 2;
    return int(px * 1440.0 / m_dpiX + 0.5);
}

// ------------------------------------------------------------------------------- merging, borders

void VSGrid::setMergeCells(int mode)
{
    m_store.setMergeCells(mode);
    changed();
}

void VSGrid::setMergeRow(int r, bool on)
{
    m_store.setMergeRow(r, on);
    changed();
}

void VSGrid::cellBorderRange(int r1, int c1, int r2, int c2, long color, int left, int top, int right,
                             int bottom, int vertical, int horizontal)
{
    m_store.cellBorderRange(r1, c1, r2, c2, color, left, top, right, bottom, vertical, horizontal);
    changed();
}

// ---------------------------------------------------------------------------------------- selection

void VSGrid::setRow(int r)
{
    m_store.setRow(r);
    changed();
}

void VSGrid::setCol(int c)
{
    m_store.setCol(c);
    changed();
}

void VSGrid::setRowSel(int r)
{
    m_store.setRowSel(r);
    changed();
}

void VSGrid::setColSel(int c)
{
    m_store.setColSel(c);
    changed();
}

void VSGrid::select(int r1, int c1, int r2, int c2)
{
    m_store.select(r1, c1, r2, c2);
    changed();
}

void VSGrid::setSelectionMode(int mode)
{
    m_selectionMode = mode;
    changed();
}

void VSGrid::setIsSelected(int r, bool on)
{
    m_store.setIsSelected(r, on);
    changed();
}

void VSGrid::sort(int order)
{
    if (m_editor)
        endEdit(true);
    m_store.sort(order);
    changed();
}

// ------------------------------------------------------------------------------------------ geometry

int VSGrid::colPx(int c) const { return m_store.colShown(c) ? grid::twipsPx(m_store.colWidth(c), m_dpiX) : 0; }
int VSGrid::rowPx(int r) const { return m_store.rowShown(r) ? grid::twipsPx(m_store.rowHeight(r), m_dpiY) : 0; }

int VSGrid::fixedWidthPx() const
{
    int w = 0;
    for (int c = 0; c < std::min(fixedCols(), cols()); ++c)
        w += colPx(c);
    return w;
}

int VSGrid::fixedHeightPx() const
{
    int h = 0;
    for (int r = 0; r < std::min(fixedRows(), rows()); ++r)
        h += rowPx(r);
    return h;
}

int VSGrid::maxTopRow() const
{
    const int avail = viewport()->height() - fixedHeightPx();
    const int first = std::min(fixedRows(), rows());
    int r = rows() - 1, used = 0;
    while (r >= first) {
        used += rowPx(r);
        if (used > avail)
            return std::max(first, std::min(r + 1, rows() - 1));
        --r;
    }
    return first;
}

int VSGrid::maxLeftCol() const
{
    const int avail = viewport()->width() - fixedWidthPx();
    const int first = std::min(fixedCols(), cols());
    int c = cols() - 1, used = 0;
    while (c >= first) {
        used += colPx(c);
        if (used > avail)
            return std::max(first, std::min(c + 1, cols() - 1));
        --c;
    }
    return first;
}

grid::PaintView VSGrid::buildView(const QRect &area) const
{
    grid::PaintView v;
    v.area = area;
    v.listBox = m_selectionMode == SelectionListBox;
    v.byRow = m_selectionMode == SelectionByRow;
    int y = 0;
    for (int r = 0; r < std::min(fixedRows(), rows()) && y < area.height(); ++r)
        if (const int h = rowPx(r); h > 0) {
            v.rows.push_back({r, y, h});
            y += h;
        }
    for (int r = std::max(m_topRow, fixedRows()); r < rows() && y < area.height(); ++r)
        if (const int h = rowPx(r); h > 0) {
            v.rows.push_back({r, y, h});
            y += h;
        }
    int x = 0;
    for (int c = 0; c < std::min(fixedCols(), cols()) && x < area.width(); ++c)
        if (const int w = colPx(c); w > 0) {
            v.cols.push_back({c, x, w});
            x += w;
        }
    for (int c = std::max(m_leftCol, fixedCols()); c < cols() && x < area.width(); ++c)
        if (const int w = colPx(c); w > 0) {
            v.cols.push_back({c, x, w});
            x += w;
        }
    return v;
}

grid::PaintContext VSGrid::paintContext() const
{
    grid::PaintContext ctx;
    ctx.store = &m_store;
    ctx.font = font();
    ctx.scale = m_dpiX / 96.0;
    ctx.pictures = &m_pictures;
    return ctx;
}

bool VSGrid::cellAt(const QPoint &pos, int &r, int &c) const
{
    r = c = -1;
    const QPoint vp = pos - viewport()->geometry().topLeft();
    if (!viewport()->rect().contains(vp))
        return false;
    const grid::PaintView v = buildView(viewport()->rect());
    for (const auto &ri : v.rows)
        if (vp.y() >= ri.pos && vp.y() < ri.pos + ri.size)
            r = ri.index;
    for (const auto &ci : v.cols)
        if (vp.x() >= ci.pos && vp.x() < ci.pos + ci.size)
            c = ci.index;
    if (r < 0 || c < 0)
        r = c = -1;
    return r >= 0;
}

QRect VSGrid::cellRect(int r, int c) const
{
    const grid::PaintView v = buildView(viewport()->rect());
    QRect rect;
    for (const auto &ri : v.rows)
        if (ri.index == r)
            for (const auto &ci : v.cols)
                if (ci.index == c)
                    rect = QRect(ci.pos, ri.pos, ci.size, ri.size);
    return rect.isNull() ? QRect() : rect.translated(viewport()->geometry().topLeft());
}

// ----------------------------------------------------------------------------------------- scrolling

void VSGrid::updateScrollBars()
{
    m_layoutDirty = false;
    m_seenLayout = m_store.layoutStamp();
    m_inScrollSync = true;
    const int firstRow = std::min(fixedRows(), rows()), firstCol = std::min(fixedCols(), cols());
    const int maxTop = maxTopRow(), maxLeft = maxLeftCol();
    m_topRow = std::clamp(m_topRow, firstRow, std::max(firstRow, maxTop));
    m_leftCol = std::clamp(m_leftCol, firstCol, std::max(firstCol, maxLeft));
    verticalScrollBar()->setRange(firstRow, maxTop);
    verticalScrollBar()->setPageStep(std::max(1, (viewport()->height() - fixedHeightPx()) / std::max(1, grid::twipsPx(m_store.defaultRowHeight(), m_dpiY))));
    verticalScrollBar()->setValue(m_topRow);
    horizontalScrollBar()->setRange(firstCol, maxLeft);
    horizontalScrollBar()->setPageStep(std::max(1, (viewport()->width() - fixedWidthPx()) / std::max(1, grid::twipsPx(m_store.defaultColWidth(), m_dpiX))));
    horizontalScrollBar()->setValue(m_leftCol);
    m_inScrollSync = false;
}

void VSGrid::setTopLeft(int top, int left, bool fromScrollBar)
{
    if (m_layoutDirty || m_seenLayout != m_store.layoutStamp())
        updateScrollBars();
    const int firstRow = std::min(fixedRows(), rows()), firstCol = std::min(fixedCols(), cols());
    top = std::clamp(top, firstRow, std::max(firstRow, maxTopRow()));
    left = std::clamp(left, firstCol, std::max(firstCol, maxLeftCol()));
    const int oldTop = m_topRow, oldLeft = m_leftCol;
    if (top == oldTop && left == oldLeft)
        return;
    if (m_editor)
        endEdit(true);
    m_topRow = top;
    m_leftCol = left;
    if (!fromScrollBar) {
        m_inScrollSync = true;
        verticalScrollBar()->setValue(top);
        horizontalScrollBar()->setValue(left);
        m_inScrollSync = false;
    }
    changed();
    emit afterScroll(oldTop, oldLeft, top, left);
}

void VSGrid::setTopRow(int r) { setTopLeft(r, m_leftCol, false); }
void VSGrid::setLeftCol(int c) { setTopLeft(m_topRow, c, false); }

void VSGrid::scrollContentsBy(int, int)
{
    if (!m_inScrollSync)
        setTopLeft(verticalScrollBar()->value(), horizontalScrollBar()->value(), true);
}

int VSGrid::bottomRow() const
{
    const grid::PaintView v = buildView(viewport()->rect());
    return v.rows.empty() ? -1 : v.rows.back().index;
}

int VSGrid::rightCol() const
{
    const grid::PaintView v = buildView(viewport()->rect());
    return v.cols.empty() ? -1 : v.cols.back().index;
}

void VSGrid::showCell(int r, int c)
{
    int top = m_topRow, left = m_leftCol;
    if (r >= fixedRows() && r < rows()) {
        if (r < top)
            top = r;
        else {
            const int avail = viewport()->height() - fixedHeightPx();
            int used = 0;
            for (int i = r; i >= fixedRows(); --i) {
                used += rowPx(i);
                if (used > avail) {
                    top = std::max(top, i + 1);
                    break;
                }
            }
        }
    }
    if (c >= fixedCols() && c < cols()) {
        if (c < left)
            left = c;
        else {
            const int avail = viewport()->width() - fixedWidthPx();
            int used = 0;
            for (int i = c; i >= fixedCols(); --i) {
                used += colPx(i);
                if (used > avail) {
                    left = std::max(left, i + 1);
                    break;
                }
            }
        }
    }
    setTopLeft(top, left, false);
}

// ------------------------------------------------------------------------------------------ painting

void VSGrid::paintEvent(QPaintEvent *event)
{
    if (!m_redraw)
        return;
    if (m_layoutDirty || m_seenLayout != m_store.layoutStamp())
        updateScrollBars();
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(event->rect(), palette().color(QPalette::Window));
    grid::PaintView v = buildView(area);
    grid::paintCells(p, paintContext(), v);
}

void VSGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

QImage VSGrid::grabCells()
{
    if (m_layoutDirty || m_seenLayout != m_store.layoutStamp())
        updateScrollBars();
    QImage img(viewport()->size(), QImage::Format_RGB32);
    img.fill(palette().color(QPalette::Window));
    QPainter p(&img);
    grid::paintCells(p, paintContext(), buildView(img.rect()));
    return img;
}
