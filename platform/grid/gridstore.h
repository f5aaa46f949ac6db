#pragma once
// The cells of one grid, without any widget: texts, data values, colours, check boxes, sizes in twips,
// merging, borders, selection and sorting. VSGrid paints it; logic classes and tests may use it alone.
// Rows and columns count from 0 and include the fixed ones. Out-of-range reads give empty values,
// out-of-range writes are ignored.
#include "platform/grid/celltext.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace grid {

// Alignment values of the program: column digit 0 left, 1 centre, 2 right; row digit 0 top, 1 centre,
// 2 bottom; value = 3 * column digit + row digit (1 left-centre, 4 centre-centre, 7 right-centre).
enum Alignment { AlignLeftCenter = 1, AlignCenterCenter = 4, AlignRightCenter = 7, AlignDefault = -1 };
// Check box state of a cell.
enum CheckState { NoCheckbox = 0, Checked = 1, Unchecked = 2 };
// Column data types the grid knows; a Boolean column shows "1"/"0" texts as check boxes.
enum DataType { TypeDefault = 0, TypeBoolean = 11 };
// Merge modes: free merging in the rows switched on, or fixed cells only.
enum MergeMode { MergeNever = 0, MergeFree = 1, MergeFixedOnly = 5 };
// Sort orders as the program sets them.
enum SortOrder { SortNone = 0, SortGenericAscending = 1, SortStringAscending = 7 };
// What clear() removes.
enum ClearWhat { ClearEverything = 0, ClearText = 1, ClearFormatting = 2 };
// Where clear() works.
enum ClearWhere { ClearEverywhere = 0, ClearSelection = 2 };
// Border width that leaves an edge as it is.
constexpr int BorderKeep = -1;
// Default row height in twips.
constexpr int DefaultRowHeight = 240;
// Default column width in twips.
constexpr int DefaultColWidth = 960;

struct BorderEdge {
    uint32_t color = 0;
    int width = 0; // pixels; 0 no line
    bool operator==(const BorderEdge &) const = default;
};
struct CellBorders {
    BorderEdge left, top, right, bottom;
    bool any() const { return left.width || top.width || right.width || bottom.width; }
    bool operator==(const CellBorders &) const = default;
};

} // namespace grid

class GridStore {
public:
    GridStore();

    // Changes with every change of the rows' and columns' count, sizes, hidden flags or order, so that
    // a view knows when to lay itself out again.
    uint64_t layoutStamp() const { return m_layoutStamp; }

    // --- size -------------------------------------------------------------------------------
    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    void setRows(int n);
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n);
    void setFixedCols(int n);
    // Inserts an empty row at position `row` (appends when row < 0 or >= rows()) with the tab-separated
    // texts of `item`; the rows below move down with all their properties. Returns the new row's index.
    int addItem(const QString &item = QString(), int row = -1);
    // Removes a row; the rows below move up with all their properties.
    void removeItem(int row);
    // Clears texts and/or formats (colours, bold, pictures, check boxes, alignment, borders, data values).
    void clear(grid::ClearWhere where = grid::ClearEverywhere, grid::ClearWhat what = grid::ClearEverything);
    void clearRange(int r1, int c1, int r2, int c2, grid::ClearWhat what = grid::ClearEverything);

    // --- cells ------------------------------------------------------------------------------
    QString textMatrix(int r, int c) const;
    // False when no cell of the row has a colour, check box, picture, bold font or alignment of its own.
    bool rowHasFormats(int r) const { return r >= 0 && r < rows() && m_rows[size_t(r)].formats; }
    // The cell's text as kept, for passes over many cells; valid until the cell changes.
    const grid::CellText &cellText(int r, int c) const;
    void setTextMatrix(int r, int c, const QString &text);
    void setTextMatrix(int r, int c, QString &&text);
    // The texts put into the columns 0, 1, ... of row r (those beyond the last column are left out).
    void setRowTexts(int r, const QStringList &texts);
    // A row of a query result taken over as it is kept: it replaces all texts of row r.
    void setRowTexts(int r, grid::RowTexts &&texts);
    // Returns true when the text changed.
    bool setTextChanged(int r, int c, const QString &text);
    QVariant cellData(int r, int c) const;
    void setCellData(int r, int c, const QVariant &value);
    // BGR longs; 0 = no colour of its own (reads 0), setting 0 removes it.
    long cellBackColor(int r, int c) const;
    void setCellBackColor(int r, int c, long color);
    // A range at once: rows with the same formats before keep sharing them.
    void setCellBackColor(int r1, int c1, int r2, int c2, long color);
    // Rows r1..r2 get the cell formats of row `from` (colours, bold, check boxes, alignment, pictures),
    // shared until one of them changes; their texts and borders stay.
    void copyRowFormats(int from, int r1, int r2);
    long cellForeColor(int r, int c) const;
    void setCellForeColor(int r, int c, long color);
    bool cellFontBold(int r, int c) const;
    void setCellFontBold(int r, int c, bool bold);
    // Picture handle given by the widget (0 none).
    int cellPicture(int r, int c) const;
    void setCellPicture(int r, int c, int handle);
    // 0 none, 1 ticked, 2 unticked. In a Boolean column it reads and writes the "1"/"0" text.
    int cellChecked(int r, int c) const;
    void setCellChecked(int r, int c, int state);
    // -1 = the column's alignment.
    int cellAlignment(int r, int c) const;
    void setCellAlignment(int r, int c, int alignment);
    // The alignment that applies: the cell's own, else the column's, else left-centre.
    int effectiveAlignment(int r, int c) const;

    // --- columns and rows (twips) -----------------------------------------------------------
    int colWidth(int c) const;            // the width as set, or the default width
    void setColWidth(int c, int twips);   // < 0 back to the default
    int rowHeight(int r) const;
    void setRowHeight(int r, int twips);
    bool colHidden(int c) const;
    void setColHidden(int c, bool hidden);
    bool rowHidden(int r) const;
    void setRowHidden(int r, bool hidden);
    bool colShown(int c) const { return !colHidden(c) && colWidth(c) > 0; }
    bool rowShown(int r) const { return !rowHidden(r) && rowHeight(r) > 0; }
    int colAlignment(int c) const;
    void setColAlignment(int c, int alignment);
    int colDataType(int c) const;
    void setColDataType(int c, int type);
    int defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(int twips)
    {
        m_defaultColWidth = twips;
        ++m_layoutStamp;
    }
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int twips)
    {
        m_defaultRowHeight = twips;
        ++m_layoutStamp;
    }

    // --- merging ------------------------------------------------------------------------------
    int mergeCells() const { return m_mergeMode; }
    void setMergeCells(int mode) { m_mergeMode = mode; }
    bool mergeRow(int r) const;
    void setMergeRow(int r, bool on);
    // The columns [c1, c2] that cell (r, c) shows as one cell with; c1 == c2 == c when not merged.
    void mergedSpan(int r, int c, int &c1, int &c2) const;

    // --- borders (pixels) ---------------------------------------------------------------------
    // Edges of the range's outline (left of c1, top of r1, right of c2, bottom of r2) and the inner lines
    // (vertical between the columns, horizontal between the rows); BorderKeep leaves an edge, 0 removes it.
    void cellBorderRange(int r1, int c1, int r2, int c2, long color, int left, int top, int right, int bottom,
                         int vertical = grid::BorderKeep, int horizontal = grid::BorderKeep);
    grid::CellBorders cellBorders(int r, int c) const;
    bool hasBorders() const { return m_borderCount > 0; }

    // --- current cell, selection --------------------------------------------------------------
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    // Current cell (r1, c1) and selection end (r2, c2); r2/c2 < 0 mean r1/c1. Clamped to the grid.
    void select(int r1, int c1, int r2 = -1, int c2 = -1);
    void setRow(int r);
    void setCol(int c);
    void setRowSel(int r);
    void setColSel(int c);
    // Ordered selection bounds.
    int selTop() const { return std::min(m_row, m_rowSel); }
    int selBottom() const { return std::max(m_row, m_rowSel); }
    int selLeft() const { return std::min(m_col, m_colSel); }
    int selRight() const { return std::max(m_col, m_colSel); }
    bool inSelection(int r, int c) const;
    // Rows picked in a list-box grid (independent of the range selection).
    bool isSelected(int r) const;
    void setIsSelected(int r, bool on);
    int selectedRows() const;
    int selectedRow(int i) const;

    // --- sorting ------------------------------------------------------------------------------
    // Sorts the selected rows (one selected row: all scrollable rows) by the selected columns, left to
    // right, stable, ascending. Fixed rows never move; a row moves with all its properties.
    void sort(int order);
    // Comparisons of the two orders (<0, 0, >0).
    static int compareGeneric(const QString &a, const QString &b);
    static int compareString(const QString &a, const QString &b);

    // --- copy ---------------------------------------------------------------------------------
    // Texts of a range: tab between cells, CR LF between rows; hidden and zero-size rows/columns left out.
    QString rangeText(int r1, int c1, int r2, int c2) const;
    QString rangeHtml(int r1, int c1, int r2, int c2) const;
    // Writes tab/line separated text from (r, c) on, within the grid's size.
    void pasteText(int r, int c, const QString &text);
    // Clipboard text as rows of cells (CR LF, LF or CR between rows, tab between cells).
    static QList<QStringList> splitClipText(const QString &text);

private:
    // A row keeps only the cells written to, by column: the large calendars are mostly empty.
    struct DataCell {
        QVariant data;
        int col = 0;
    };
    struct FormatCell {
        int32_t back = 0; // the program's 32-bit colour longs, system colours included
        int32_t fore = 0;
        int picture = 0;
        uint16_t flags = 0; // bit0 bold, bits1-2 check, bits3-6 alignment+1
        int col = 0;
    };
    using Formats = std::vector<FormatCell>;
    // Columns [c1, c2] of a row with the same borders; only runs with a line are kept.
    struct BorderRun {
        int c1 = 0, c2 = 0;
        grid::CellBorders borders;
    };
    struct Row {
        grid::RowTexts texts;
        std::unique_ptr<std::vector<DataCell>> data; // null: none (rare)
        std::shared_ptr<Formats> formats; // null: none; rows given the same formats at once share them
        std::unique_ptr<std::vector<BorderRun>> borders; // null: none; by column, not overlapping
        int height = -1;
        bool hidden = false;
        bool picked = false;
    };
    struct Column {
        int width = -1;
        bool hidden = false;
        int alignment = -1;
        int dataType = 0;
    };

    const grid::CellText *textPtr(int r, int c) const;
    const FormatCell *formatPtr(int r, int c) const;
    template <typename F> void editFormat(int r, int c, F edit);
    template <typename F> void editFormats(int r1, int r2, bool create, F edit);
    template <typename F> void editBorders(Row &row, int c1, int c2, F edit);
    void dropRow(Row &row);
    void clampSelection();
    bool valid(int r, int c) const { return r >= 0 && c >= 0 && r < rows() && c < m_cols; }
    // Orders a range's corners and cuts it to the grid; false when nothing of it is left.
    bool clampRange(int &r1, int &c1, int &r2, int &c2) const;

    std::vector<Row> m_rows;
    std::vector<Column> m_colProps;
    std::vector<bool> m_mergeRows;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    int m_mergeMode = grid::MergeNever;
    int m_defaultColWidth = grid::DefaultColWidth;
    int m_defaultRowHeight = grid::DefaultRowHeight;
    int m_borderCount = 0; // rows with borders
    uint64_t m_layoutStamp = 0;
};
