#pragma once
// Internal to the grid: which rows and columns a paint covers and where, shared by screen and print.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

class GridStore;
class QPainter;
class QPixmap;

namespace grid {

struct AxisItem {
    int index; // row or column of the store
    int pos;   // pixels from the painted area's origin
    int size;  // pixels
};

struct PaintView {
    std::vector<AxisItem> rows; // fixed rows first, then scrollable ones
    std::vector<AxisItem> cols; // fixed columns first, then scrollable ones
    QRect area;                 // the painted area
    bool showSelection = true;  // screen: selection, current cell, picked rows
    bool listBox = false;       // picked rows drawn as selected
    bool byRow = false;         // selection covers whole rows
};

struct PaintContext {
    const GridStore *store = nullptr;
    QFont font;
    double scale = 1.0; // pixels per 96-dpi pixel, for boxes and padding
    const std::vector<QPixmap> *pictures = nullptr;
};

// Paints the cells of the view: backgrounds, grid lines, texts, check boxes, pictures, merged
// ranges, selection, then borders over the grid lines.
void paintCells(QPainter &p, const PaintContext &ctx, const PaintView &view);

// Pixel size of a twips size; 0 when hidden.
inline int twipsPx(int twips, double dpi) { return twips <= 0 ? 0 : int(twips * dpi / 1440.0 + 0.5); }

// A cell shows one line, so only its first characters (as many as a worksheet cell holds) are
// shaped for painting and sizing: a text of millions of characters would take seconds each time.
constexpr int ShapedChars = 32767;
// The part of a cell text that is shaped; alignment as the store keeps it (0-2 left, 6-8 right).
inline QString shapedPart(const QString &text, int alignment = 0)
{
    if (text.size() <= ShapedChars)
        return text;
    const int h = alignment / 3;
    return h == 0 ? text.left(ShapedChars)
                  : h == 2 ? text.right(ShapedChars) : text.mid((text.size() - ShapedChars) / 2, ShapedChars);
}

// Default colours of the grid (Qt colours, painting only).
QColor fixedBackColor();
QColor gridLineColor();
QColor fixedLineColor();

} // namespace grid
