#pragma once
// VSGrid: the one grid widget of every window, painting a GridStore (only the visible cells).
//
// Usage, as the windows read:
//   VSGrid fg(this);
//   fg.setRows(1); fg.setCols(3); fg.setFixedRows(1); fg.setFixedCols(0);
//   fg.setTextMatrix(0, 0, "Klasse");
//   fg.setColWidth(0, 800);                        // twips, kept exactly as set; 0 hides
//   fg.setRedraw(false);                           // around bulk changes
//   int r = fg.addItem("5a\tMüller");              // tab-separated texts
//   fg.setCellBackColor(r, 0, 65535);              // BGR long; 0 removes the colour
//   fg.setCellBackColor(1, 0, fg.rows() - 1, 2, 255); // a range: (r1, c1, r2, c2, colour)
//   fg.setRedraw(true);
//   connect(&fg, &VSGrid::mouseDown, this, [&](int button, int shift, double x, double y) {
//       int r = fg.mouseRow(), c = fg.mouseCol(); ... });
//   fg.select(1, 2); fg.sort(grid::SortGenericAscending);
//   if (!fg.saveXlsx(path)) ...;  fg.print("LNW", true);
// A new grid has no rows, no columns and no fixed ones: set them as the window's design has them.
// Rows and columns count from 0 and include the fixed ones. Event signals come from user actions only
// (clicks, keys, edits, scrolling); setting cells, the current cell or the selection by code raises none,
// except afterScroll (also after setTopRow/setLeftCol) and cellChanged (every text or check change).
// Mouse x, y of the signals are twips from the grid's top-left corner.
// Bulk writes may go straight to store() (no repaint, no signals) between setRedraw(false) and
// setRedraw(true), which repaints once.
#include "platform/grid/gridstore.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QRect>
#include <functional>
#include <vector>

class QLineEdit;
class QMimeData;
class QPainter;
namespace xlsx {
class CellSink;
class Worksheet;
}
namespace grid {
struct PaintView;
struct PaintContext;
} // namespace grid

class VSGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit VSGrid(QWidget *parent = nullptr);
    ~VSGrid() override;

    GridStore &store() { return m_store; }
    const GridStore &store() const { return m_store; }

    // --- size and structure -------------------------------------------------------------------
    int rows() const { return m_store.rows(); }
    int cols() const { return m_store.cols(); }
    void setRows(int n);
    void setCols(int n);
    int fixedRows() const { return m_store.fixedRows(); }
    int fixedCols() const { return m_store.fixedCols(); }
    void setFixedRows(int n);
    void setFixedCols(int n);
    // Inserts a row at `row` (appends when -1) with tab-separated texts; returns its index.
    int addItem(const QString &item = QString(), int row = -1);
    void removeItem(int row);
    void clear(grid::ClearWhere where = grid::ClearEverywhere, grid::ClearWhat what = grid::ClearEverything);
    void clearRange(int r1, int c1, int r2, int c2, grid::ClearWhat what = grid::ClearEverything);

    // --- cells ----------------------------------------------------------------------------------
    QString textMatrix(int r, int c) const { return m_store.textMatrix(r, c); }
    void setTextMatrix(int r, int c, const QString &text);
    // The current cell's text.
    QString text() const { return m_store.textMatrix(m_store.row(), m_store.col()); }
    void setText(const QString &text) { setTextMatrix(m_store.row(), m_store.col(), text); }
    QVariant cellData(int r, int c) const { return m_store.cellData(r, c); }
    void setCellData(int r, int c, const QVariant &value) { m_store.setCellData(r, c, value); }
    long cellBackColor(int r, int c) const { return m_store.cellBackColor(r, c); }
    void setCellBackColor(int r, int c, long color);
    void setCellBackColor(int r1, int c1, int r2, int c2, long color);
    long cellForeColor(int r, int c) const { return m_store.cellForeColor(r, c); }
    void setCellForeColor(int r, int c, long color);
    void setCellForeColor(int r1, int c1, int r2, int c2, long color);
    bool cellFontBold(int r, int c) const { return m_store.cellFontBold(r, c); }
    void setCellFontBold(int r, int c, bool bold);
    void setCellFontBold(int r1, int c1, int r2, int c2, bool bold);
    QPixmap cellPicture(int r, int c) const;
    void setCellPicture(int r, int c, const QPixmap &picture); // a null pixmap removes it
    // grid::NoCheckbox 0, grid::Checked 1, grid::Unchecked 2.
    int cellChecked(int r, int c) const { return m_store.cellChecked(r, c); }
    void setCellChecked(int r, int c, int state);
    void setCellChecked(int r1, int c1, int r2, int c2, int state);
    int cellAlignment(int r, int c) const { return m_store.cellAlignment(r, c); }
    void setCellAlignment(int r, int c, int alignment);
    void setCellAlignment(int r1, int c1, int r2, int c2, int alignment);
    // The cell's rectangle in the widget's coordinates (pixels); empty when not in view.
    QRect cellRect(int r, int c) const;

    // --- columns and rows (twips) ---------------------------------------------------------------
    int colWidth(int c) const { return m_store.colWidth(c); }
    void setColWidth(int c, int twips);
    int rowHeight(int r) const { return m_store.rowHeight(r); }
    void setRowHeight(int r, int twips);
    bool colHidden(int c) const { return m_store.colHidden(c); }
    void setColHidden(int c, bool hidden);
    bool rowHidden(int r) const { return m_store.rowHidden(r); }
    void setRowHidden(int r, bool hidden);
    int colAlignment(int c) const { return m_store.colAlignment(c); }
    void setColAlignment(int c, int alignment);
    int colDataType(int c) const { return m_store.colDataType(c); }
    void setColDataType(int c, int type);
    // Sizes columns c1..c2 (c2 < 0: c1 only) to their contents, fixed rows included. weiter, when
    // given, is asked every few thousand cells; false stops at once, the widths unchanged.
    bool autoSize(int c1, int c2 = -1, const std::function<bool()> &weiter = {});
    // The width in twips the text needs in this grid's font (with the cell padding).
    int textWidthTwips(const QString &text, bool bold = false) const;

    // --- merging and borders ----------------------------------------------------------------------
    int mergeCells() const { return m_store.mergeCells(); }
    void setMergeCells(int mode);
    bool mergeRow(int r) const { return m_store.mergeRow(r); }
    void setMergeRow(int r, bool on);
    // Colour and width (pixels) per edge; grid::BorderKeep leaves an edge as it is, 0 removes it.
    void cellBorderRange(int r1, int c1, int r2, int c2, long color, int left, int top, int right, int bottom,
                         int vertical = grid::BorderKeep, int horizontal = grid::BorderKeep);

    // --- current cell, selection, sorting ---------------------------------------------------------
    int row() const { return m_store.row(); }
    int col() const { return m_store.col(); }
    int rowSel() const { return m_store.rowSel(); }
    int colSel() const { return m_store.colSel(); }
    void setRow(int r);
    void setCol(int c);
    void setRowSel(int r);
    void setColSel(int c);
    void select(int r1, int c1, int r2 = -1, int c2 = -1);
    // 0 free cell ranges, 1 whole rows, 3 list box (each click picks or unpicks a row with Ctrl, extends with Shift).
    enum SelectionMode { SelectionFree = 0, SelectionByRow = 1, SelectionListBox = 3 };
    int selectionMode() const { return m_selectionMode; }
    void setSelectionMode(int mode);
    bool isSelected(int r) const { return m_store.isSelected(r); }
    void setIsSelected(int r, bool on);
    int selectedRows() const { return m_store.selectedRows(); }
    int selectedRow(int i) const { return m_store.selectedRow(i); }
    // grid::SortGenericAscending (1) or grid::SortStringAscending (7) over the selection.
    void sort(int order);

    // --- scrolling, mouse, drawing ------------------------------------------------------------------
    int topRow() const { return m_topRow; }
    void setTopRow(int r);
    int leftCol() const { return m_leftCol; }
    void setLeftCol(int c);
    int bottomRow() const;
    int rightCol() const;
    // Scrolls so that the cell is in view.
    void showCell(int r, int c);
    // The cell under the mouse at the last mouse event (fixed cells included; -1 outside).
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }
    // The cell at a point in widget coordinates; false (and -1) when none.
    bool cellAt(const QPoint &pos, int &r, int &c) const;
    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // --- editing ------------------------------------------------------------------------------------
    bool editable() const { return m_editable; }
    void setEditable(bool on) { m_editable = on; }
    // Starts editing the current cell (beforeEdit may cancel).
    void editCell();
    // Ends a pending edit, keeping the typed text, and raises afterEdit.
    void finishEditing();
    bool isEditing() const { return m_editor != nullptr && m_editRow >= 0; }
    // 0 no drops, 1 drops raise oleDragDrop.
    void setOleDropMode(int mode);

    // --- clipboard, print, save -------------------------------------------------------------------
    // The selection's texts (tab between cells, CR LF between rows; hidden cells left out).
    QString clip() const;
    // Puts the selection on the system clipboard as text and HTML.
    void copySelection() const;
    // Writes the clipboard's text from the current cell on, within the grid's size.
    void pasteAtCurrent();
    void pasteText(const QString &text);
    // Prints the shown rows and columns (fixed rows repeated, columns split over pages). Without pdfPath
    // it goes to the default printer, or, when there is none, into "<docName>.pdf" in the temporary
    // folder, which *fallbackPdf then names for the caller to hand over. Returns the number of pages;
    // -1 on failure, with the German reason (for a PDF "Datei: <path>\rGrund: <reason>") in *error.
    int print(const QString &docName, bool landscape, const QString &pdfPath = QString(), QString *error = nullptr,
              QString *fallbackPdf = nullptr);
    // The pages of print() on any device: page is the printable area in the device's pixels,
    // newPage() is called between two pages. Returns the number of pages.
    int printPages(QPainter &p, const QSize &page, const std::function<void()> &newPage);
    // Writes every cell (fixed ones included) as one worksheet ("….xls" as "….xlsx"); false, with
    // the file and a German reason in *error, when it cannot be written. The old file stays whole then.
    bool saveXlsx(const QString &path, QString *error = nullptr) const;
    // The sizes and fixed panes as a worksheet, its cells (looks and merged blocks with them) read
    // from the grid when the workbook is written: write it while the grid stands as it is.
    void toWorkbook(xlsx::Worksheet &ws) const;

    // Paints the whole visible area into an image (the same code as the screen).
    QImage grabCells();

signals:
    void beforeMouseDown(int button, int shift, double x, double y, bool &cancel);
    void mouseDown(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void click();
    void dblClick();
    void enterCell();
    void leaveCell();
    void rowColChange();
    void selChange();
    void keyDown(int &keyCode, int shift);
    void keyPress(int &keyAscii);
    void keyUp(int &keyCode, int shift);
    void beforeEdit(int row, int col, bool &cancel);
    void validateEdit(int row, int col, bool &cancel);
    void afterEdit(int row, int col);
    void cellChanged(int row, int col);
    void afterScroll(int oldTopRow, int oldLeftCol, int newTopRow, int newLeftCol);
    // A drop: the row under the mouse is mouseRow().
    void oleDragDrop(const QMimeData *data, int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void changed();
    void layoutChanged();
    void updateScrollBars();
    int colPx(int c) const;
    int rowPx(int r) const;
    int fixedWidthPx() const;
    int fixedHeightPx() const;
    int maxTopRow() const;
    int maxLeftCol() const;
    int pictureHandle(const QPixmap &picture);
    const QPixmap *pictureFor(int handle) const;
    void userSetCurrent(int r, int c, bool extend, bool toggle);
    void startEdit(int r, int c, const QString &initial, bool selectAll);
    void endEdit(bool commit);
    void toggleCheck(int r, int c);
    int buttonOf(Qt::MouseButtons b) const;
    int shiftOf(Qt::KeyboardModifiers m) const;
    double xTwips(int x) const;
    double yTwips(int y) const;
    void trackMouse(const QPoint &widgetPos);
    void setTopLeft(int topRow, int leftCol, bool fromScrollBar);
    grid::PaintView buildView(const QRect &area) const;
    grid::PaintContext paintContext() const;
    // Every cell with its look and merged blocks, row by row.
    void writeCells(xlsx::CellSink &out) const;

    GridStore m_store;
    std::vector<QPixmap> m_pictures;
    int m_topRow = 0;
    int m_leftCol = 0;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    bool m_redraw = true;
    bool m_editable = false;
    int m_selectionMode = SelectionFree;
    int m_listAnchor = -1;
    bool m_dragging = false;
    bool m_inScrollSync = false;
    bool m_layoutDirty = true;
    uint64_t m_seenLayout = ~uint64_t(0);
    int m_pressRow = -1;
    int m_pressCol = -1;
    int m_pressButton = 0;
    QLineEdit *m_editor = nullptr;
    int m_editRow = -1;
    int m_editCol = -1;
    double m_dpiX = 96.0;
    double m_dpiY = 96.0;
};
