#include "platform/grid/gridstore.h"
#include "platform/grid/vsgridview.h"
#include "platform/units.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPixmap>

namespace grid {

QColor fixedBackColor() { return QColor(236, 236, 236); }
QColor gridLineColor() { return QColor(200, 200, 200); }
QColor fixedLineColor() { return QColor(140, 140, 140); }

namespace {

const QColor White(255, 255, 255);
const QColor SelectionOverlay(0, 90, 200, 80);
const QColor PickedBack(0, 90, 200);

int textFlags(int alignment)
{
    const int h = alignment / 3, v = alignment % 3;
    int f = Qt::TextSingleLine;
    f |= h == 0 ? Qt::AlignLeft : (h == 1 ? Qt::AlignHCenter : Qt::AlignRight);
    f |= v == 0 ? Qt::AlignTop : (v == 1 ? Qt::AlignVCenter : Qt::AlignBottom);
    return f;
}

void drawCheckBox(QPainter &p, const QRect &box, bool ticked)
{
    p.fillRect(box, White);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (ticked) {
        QPen pen(QColor(0, 0, 0));
        pen.setWidthF(std::max(1.5, box.width() / 7.0));
        p.setPen(pen);
        const QPointF a(box.left() + box.width() * 0.2, box.top() + box.height() * 0.5);
        const QPointF b(box.left() + box.width() * 0.42, box.top() + box.height() * 0.75);
        const QPointF c(box.left() + box.width() * 0.8, box.top() + box.height() * 0.25);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawLine(a, b);
        p.drawLine(b, c);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}

struct CellPainter {
    QPainter &p;
    const PaintContext &ctx;
    const PaintView &view;
    const GridStore &s;
    QFont boldFont;
    bool boldActive = false;
    int pad;
    int boxSize;
    int lineHeight;
    std::vector<QLine> gridLines, fixedLines;

    CellPainter(QPainter &painter, const PaintContext &c, const PaintView &v)
        : p(painter), ctx(c), view(v), s(*c.store), boldFont(c.font)
    {
        boldFont.setBold(true);
        pad = std::max(1, int(2 * ctx.scale + 0.5));
        boxSize = std::max(9, int(13 * ctx.scale + 0.5));
        lineHeight = QFontMetrics(ctx.font).height();
    }

    bool isFixed(int r, int c) const { return r < s.fixedRows() || c < s.fixedCols(); }

    bool rowMerges(int r) const
    {
        const int mode = s.mergeCells();
        if (mode == MergeNever || !s.mergeRow(r))
            return false;
        return mode == MergeFree || (mode == MergeFixedOnly && r < s.fixedRows());
    }

    void paintCell(int r, int c, const QRect &rect)
    {
        const bool fixed = isFixed(r, c);
        const long back = s.cellBackColor(r, c);
        const bool picked = view.listBox && view.showSelection && !fixed && s.isSelected(r);
        QColor bg = picked ? PickedBack : (back ? units::toQColor(back) : (fixed ? fixedBackColor() : White));
        p.fillRect(rect, bg);
        const QRect inner = rect.adjusted(0, 0, -1, -1);
        (fixed ? fixedLines : gridLines).push_back(QLine(inner.topRight(), inner.bottomRight()));
        (fixed ? fixedLines : gridLines).push_back(QLine(inner.bottomLeft(), inner.bottomRight()));

        QRect content = inner.adjusted(pad, 0, -pad, 0);
        const int check = s.cellChecked(r, c);
        const bool boolCol = check != NoCheckbox && r >= s.fixedRows() && s.colDataType(c) == TypeBoolean;
        if (check != NoCheckbox && content.width() > 2) {
            const int size = std::min({boxSize, inner.height() - 2, inner.width() - 2});
            if (size > 3) {
                const int x = boolCol ? inner.left() + (inner.width() - size) / 2 : content.left();
                const QRect box(x, inner.top() + (inner.height() - size) / 2, size, size);
                drawCheckBox(p, box, check == Checked);
                content.setLeft(box.right() + 1 + pad);
            }
        }
        if (const int pic = s.cellPicture(r, c); pic > 0 && ctx.pictures && size_t(pic) <= ctx.pictures->size()) {
            const QPixmap &pm = (*ctx.pictures)[size_t(pic - 1)];
            const int h = std::min(pm.height(), inner.height());
            const int w = std::min(pm.width(), std::max(0, content.width()));
            if (w > 0 && h > 0) {
                p.save();
                p.setClipRect(inner, Qt::IntersectClip);
                p.drawPixmap(QPoint(content.left(), inner.top() + (inner.height() - pm.height()) / 2), pm);
                p.restore();
                content.setLeft(content.left() + pm.width() + pad);
            }
        }
        if (boolCol)
            return;
        const QString text = s.textMatrix(r, c);
        // A row lower than a third of a text line (a separator row) shows no text: clipped to it,
        // only stray bits of the glyphs would show, and at fractional scalings beside the row.
        if (text.isEmpty() || content.width() <= 0 || inner.height() * 3 < lineHeight)
            return;
        const bool bold = s.cellFontBold(r, c);
        if (bold != boldActive) {
            p.setFont(bold ? boldFont : ctx.font);
            boldActive = bold;
        }
        const long fore = s.cellForeColor(r, c);
        p.setPen(picked ? White : units::toQColor(fore));
        const int alignment = s.effectiveAlignment(r, c);
        p.drawText(content, textFlags(alignment), shapedPart(text, alignment));
    }

    void paintRows()
    {
        const int top = s.selTop(), bottom = s.selBottom(), left = s.selLeft(), right = s.selRight();
        const bool multi = top != bottom || left != right;
        std::vector<QRect> overlays;
        QRect current;
        for (const AxisItem &ri : view.rows) {
            const int r = ri.index;
            const bool merges = rowMerges(r);
            const auto &cols = view.cols;
            for (size_t i = 0; i < cols.size(); ++i) {
                const int c = cols[i].index;
                size_t j = i;
                if (merges) {
                    int c1, c2;
                    s.mergedSpan(r, c, c1, c2);
                    while (j + 1 < cols.size() && cols[j + 1].index >= c1 && cols[j + 1].index <= c2)
                        ++j;
                }
                const QRect rect(cols[i].pos, ri.pos, cols[j].pos + cols[j].size - cols[i].pos, ri.size);
                paintCell(r, c, rect);
                if (view.showSelection && !view.listBox && !isFixed(r, c)) {
                    const bool inRows = r >= top && r <= bottom;
                    const bool sel = inRows && (view.byRow || (c >= left && c <= right));
                    if (r == s.row() && c == s.col())
                        current = rect;
                    else if (sel && (multi || view.byRow))
                        overlays.push_back(rect);
                }
                i = j;
            }
        }
        if (boldActive)
            p.setFont(ctx.font);
        p.setPen(gridLineColor());
        p.drawLines(gridLines.data(), int(gridLines.size()));
        p.setPen(fixedLineColor());
        p.drawLines(fixedLines.data(), int(fixedLines.size()));
        for (const QRect &o : overlays)
            p.fillRect(o, SelectionOverlay);
        if (!current.isNull()) {
            QPen pen(QColor(0, 0, 0));
            pen.setStyle(Qt::DotLine);
            p.setPen(pen);
            p.drawRect(current.adjusted(1, 1, -2, -2));
        }
    }

    void paintBorders()
    {
        if (!s.hasBorders())
            return;
        for (const AxisItem &ri : view.rows) {
            for (const AxisItem &ci : view.cols) {
                const CellBorders b = s.cellBorders(ri.index, ci.index);
                if (!b.any())
                    continue;
                const QRect cell(ci.pos, ri.pos, ci.size, ri.size);
                auto edge = [&](const BorderEdge &e, QRect rect) {
                    if (e.width > 0)
                        p.fillRect(rect, units::toQColor(long(e.color)));
                };
                const int wl = std::min(b.left.width, cell.width()), wr = std::min(b.right.width, cell.width());
                const int wt = std::min(b.top.width, cell.height()), wb = std::min(b.bottom.width, cell.height());
                edge(b.left, QRect(cell.left(), cell.top(), wl, cell.height()));
                edge(b.right, QRect(cell.right() - wr + 1, cell.top(), wr, cell.height()));
                edge(b.top, QRect(cell.left(), cell.top(), cell.width(), wt));
                edge(b.bottom, QRect(cell.left(), cell.bottom() - wb + 1, cell.width(), wb));
            }
        }
    }
};

} // namespace

void paintCells(QPainter &p, const PaintContext &ctx, const PaintView &view)
{
    p.save();
    p.setClipRect(view.area);
    p.setFont(ctx.font);
    CellPainter cp(p, ctx, view);
    cp.paintRows();
    cp.paintBorders();
    p.restore();
}

} // namespace grid
