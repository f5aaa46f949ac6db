#pragma once
// A workbook built in memory the way the program drives Excel (values first, then fonts,
// colours, borders and widths on ranges, in any order) and written as .xlsx with libxlsxwriter
// in one go. Rows and columns count from 1, as Excel counts them.
//
//   xlsx::Workbook book;                       // one sheet "Tabelle1", like a new Excel workbook
//   xlsx::Worksheet &ws = book.sheet(1);
//   ws.setValue(3, 1, "Klasse");               // text as typed: "10" becomes a number, "'10" stays text
//   ws.setNumber(4, 3, 2.5, "0.0");
//   ws.autoFitColumns(1, 6);                   // measured now, from what the cells hold now
//   ws.setBorders(xlsx::Range(3, 1, 9, 4), xlsx::Medium, xlsx::Thin);
//   ws.setFillIndex(xlsx::Range(4, 1, 4, 4), 15);
//   ws.setAutoFilterAround(3, 1);              // Range("A3").AutoFilter
//   book.save(path);                           // "….xls" is written as "….xlsx"
//   book.openUnsaved("Lehrerliste", &err, &h); // temp folder + docs::handOver
#include "platform/docopener.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace xlsx {

// ---- pieces shared with the grid's workbook saving ------------------------------------------------
// The file actually written for a path: "….xls" gets ".xlsx", other names stay.
QString xlsxPath(const QString &path);
// The program's blue-green-red colour long as 0xRRGGBB.
uint32_t rgbFromBgr(long bgr);
// Excel's colour index (1 … 56 of the standard palette) as 0xRRGGBB; Automatic for others.
uint32_t rgbFromColorIndex(int index);
// A plain decimal ("12", "-3", "2,50", "4.5", no leading zeros) read as a number, with its decimals.
bool plainNumber(const QString &text, double &value, int &decimals);

constexpr uint32_t Automatic = 0xFFFFFFFFu; // the automatic (default) colour

// Border weights (Excel's xlHairline, xlThin, xlMedium, xlThick).
enum Weight { NoBorder = 0, Hairline = 1, Thin = 2, Medium = 3, Thick = 4 };
// Border indexes as Excel numbers them.
enum Edge { EdgeLeft = 7, EdgeTop = 8, EdgeBottom = 9, EdgeRight = 10, InsideVertical = 11, InsideHorizontal = 12 };
enum HAlign { AlignGeneral = 0, AlignLeft, AlignCenter, AlignRight };
enum VAlign { VAlignDefault = 0, VAlignTop, VAlignCenter, VAlignBottom };

// A block of cells (row1, col1) … (row2, col2), counted from 1; corners in any order.
struct Range {
    int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
    Range() = default;
    Range(int r1, int c1, int r2, int c2);
    Range(int r, int c) : Range(r, c, r, c) {}
    bool contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
    // "A3", "B2:D9"
    QString address() const;
};

struct BorderLine {
    int weight = NoBorder;
    uint32_t color = Automatic;
    bool operator==(const BorderLine &o) const { return weight == o.weight && color == o.color; }
};

// Everything a cell's look is made of; cells without a style of their own use the default.
struct Style {
    QString fontName;            // "" = the workbook's default font
    double fontSize = 0;         // 0 = default size
    bool bold = false, italic = false, underline = false;
    uint32_t fontColor = Automatic;
    uint32_t fill = Automatic;   // solid fill colour
    BorderLine left, top, right, bottom;
    QString numberFormat;        // "" = General
    int hAlign = AlignGeneral, vAlign = VAlignDefault;
    bool wrap = false;
    bool operator==(const Style &o) const;
};
size_t qHash(const Style &s, size_t seed = 0);

// A workbook of more cells than this is written row by row straight to the disk (libxlsxwriter's
// constant memory mode, each text in its cell instead of one shared table): a whole table's grid
// then costs no second copy of its cells. A block merged over several rows or a comment keeps a
// workbook in memory, as libxlsxwriter writes those only there.
constexpr qint64 RowByRowCells = 200000;

// Takes a sheet's cells while the workbook is being written (Worksheet::setCellSource). Rows come
// one after the other from the top (a row's cells in any order); style -1 is the default look.
class CellSink {
public:
    // The number of a look for the cells given to this sink; ask once for each look.
    virtual int style(const Style &s) = 0;
    virtual void number(int row, int col, double value, int style) = 0;
    virtual void text(int row, int col, const QString &text, int style) = 0; // "" leaves the cell empty
    virtual void blank(int row, int col, int style) = 0; // an empty cell with a look
    // Columns col1 … col2 of the row shown as one cell; what (row, col1) holds is given after it.
    virtual void mergeInRow(int row, int col1, int col2, int style) = 0;

protected:
    ~CellSink() = default;
};

struct PageSetup {
    bool landscape = false;
    int paperSize = 9;                       // 9 = A4 (libxlsxwriter's paper codes)
    int fitWidth = 0, fitHeight = 0;         // fit to pages (0 = no fitting)
    int scale = 100;
    double marginLeft = -1, marginRight = -1, marginTop = -1, marginBottom = -1; // inches, -1 default
    bool centerHorizontally = false, centerVertically = false;
    bool printGridlines = false;
    QString header, footer;                  // Excel's header/footer codes (&P, &N, &D …)
    int titleRowFirst = 0, titleRowLast = 0; // rows repeated at top (0 = none)
    int titleColFirst = 0, titleColLast = 0; // columns repeated at left (0 = none)
    Range printArea;                         // used when printAreaSet
    bool printAreaSet = false;
};

class Worksheet {
public:
    explicit Worksheet(const QString &name) : m_name(name) {}

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // ---- values
    // Like assigning Excel's Cells(r, c).Value: a text that reads as a plain number becomes a
    // number, a leading apostrophe keeps the rest as text, "" empties the cell; numbers, dates
    // (written with "dd.mm.yyyy") and Null as they are.
    void setValue(int row, int col, const QVariant &value);
    void setText(int row, int col, const QString &text);   // always text, no conversion
    void setNumber(int row, int col, double value, const QString &numberFormat = QString());
    void clear(int row, int col);
    // Text as stored (numbers as written by QString::number), Null for an empty cell.
    QVariant value(int row, int col) const;
    QString text(int row, int col) const;
    bool isEmpty(int row, int col) const;
    int lastRow() const; // last row/column holding a value; 0 when the sheet is empty
    int lastCol() const;
    // Cells not kept in the sheet but handed over while the workbook is written: `fill` is called
    // once for each writing and gives rows 1 … rows of up to `cols` columns to the sink, in place
    // of the cells and merged blocks kept in the sheet. For a grid of a whole table, which would
    // otherwise stand in memory a second time.
    void setCellSource(int rows, int cols, std::function<void(CellSink &)> fill);

    // ---- formats on ranges (each call changes only what it names)
    void setFont(const Range &r, const QString &name, double size);
    void setBold(const Range &r, bool bold = true);
    void setFontColor(const Range &r, uint32_t rgb);
    void setFill(const Range &r, uint32_t rgb);     // solid pattern; Automatic removes the fill
    void setFillIndex(const Range &r, int colorIndex); // Interior.ColorIndex with a solid pattern
    void setNumberFormat(const Range &r, const QString &format);
    void setAlignment(const Range &r, int hAlign, int vAlign = VAlignDefault);
    void setWrap(const Range &r, bool wrap = true);
    // Range.Borders(edge).Weight: the outer edges and inside lines as Excel numbers them.
    // A line shared by two cells is set on both, so the last call wins.
    void setBorder(const Range &r, Edge edge, int weight, uint32_t color = Automatic);
    // The four outer edges with `outer`, the inside lines with `inner` (NoBorder leaves them).
    void setBorders(const Range &r, int outer, int inner = NoBorder, uint32_t color = Automatic);
    Style style(int row, int col) const;

    // ---- comments, merging
    // A note shown when the pointer rests on the cell (not permanently).
    void addComment(int row, int col, const QString &text, const QString &author = QString());
    QString comment(int row, int col) const;
    void merge(const Range &r);

    // ---- sizes (column widths in Excel's character units, row heights in points)
    void setColumnWidth(int col, double width);
    double columnWidth(int col) const; // the default width (8.43) when none was set
    void setColumnHidden(int col, bool hidden = true);
    // Columns(c).AutoFit: width from the cells' texts as they stand now, measured with QFontMetrics
    // in each cell's font; merged cells are left out; an empty column gets the default width.
    void autoFitColumn(int col);
    void autoFitColumns(int col1, int col2);
    void setRowHeight(int row, double points);
    double rowHeight(int row) const; // 0 = Excel's automatic height
    void setRowHidden(int row, bool hidden = true);
    // Rows(r).AutoFit: the height the row's tallest cell needs (lines × line height of its font).
    void autoFitRow(int row);
    // The width in character units that Excel's auto-fit would give this text in the default or given font.
    static double fitWidth(const QString &text, const QString &fontName = QString(), double fontSize = 0,
                           bool bold = false);

    // ---- filter, panes, page setup
    void setAutoFilter(const Range &r);
    // Range(cell).AutoFilter: the filter over the block of filled cells around the cell
    // (Excel's current region); nothing when the cell and its neighbours are empty.
    void setAutoFilterAround(int row, int col);
    Range currentRegion(int row, int col) const;
    bool hasAutoFilter() const { return m_hasFilter; }
    Range autoFilter() const { return m_filter; }
    void freezePanes(int row, int col); // the first `row` rows and `col` columns stay in view
    PageSetup &pageSetup() { return m_page; }
    const PageSetup &pageSetup() const { return m_page; }

private:
    friend class Workbook;
    friend class SheetWriter;
    struct Cell {
        QVariant value;          // QString, double or QDateTime; invalid = empty
        int style = -1;          // index into m_styles
    };
    struct RowInfo {
        double height = 0;
        bool hidden = false;
    };
    struct ColInfo {
        double width = -1;
        bool hidden = false;
    };
    static quint64 key(int r, int c) { return (quint64(quint32(r)) << 32) | quint32(c); }
    Cell &cell(int r, int c);
    const Cell *findCell(int r, int c) const;
    template <class Fn> void changeStyle(int r, int c, Fn fn);
    template <class Fn> void changeStyles(const Range &r, Fn fn);
    int styleIndex(const Style &s);

    QString m_name;
    std::map<quint64, Cell> m_cells;      // ordered by row, then column
    std::vector<Style> m_styles;
    std::unordered_map<size_t, std::vector<int>> m_styleLookup; // hash of a style -> its indexes
    std::map<quint64, std::pair<QString, QString>> m_comments; // text, author
    std::vector<Range> m_merges;
    std::map<int, RowInfo> m_rows;
    std::map<int, ColInfo> m_cols;
    std::function<void(CellSink &)> m_source;
    qint64 m_sourceCells = 0; // rows x columns of the source
    bool m_hasFilter = false;
    Range m_filter;
    int m_freezeRow = 0, m_freezeCol = 0;
    PageSetup m_page;
};

class Workbook {
public:
    // A new workbook with one sheet "Tabelle1", as Excel adds one.
    Workbook();
    Workbook(Workbook &&) noexcept;
    Workbook &operator=(Workbook &&) noexcept;
    ~Workbook();

    Worksheet &sheet(int index);              // 1-based, like Sheets(1)
    const Worksheet &sheet(int index) const;

    // The default font of every cell without a font of its own (Excel's "Calibri" 11).
    static QString defaultFontName();
    static double defaultFontSize();
    static double defaultColumnWidth() { return 8.43; }

    // Writes the workbook under xlsxPath(path) through safefile: an existing file is replaced in
    // one step, and stays whole when the write fails (false, the file and a German reason in *error).
    bool save(const QString &path, QString *error = nullptr) const;
    // What Excel leaves "open and unsaved": saved in the temporary folder as "<name>.xlsx"
    // ("<name> (2).xlsx" … when that exists) and handed to the desktop's default application;
    // *handover tells whether anything opened it. Returns the written path, "" when the save failed
    // (then nothing was handed over).
    QString openUnsaved(const QString &name, QString *error, docs::Handover *handover) const;

private:
    // libxlsxwriter writes the package into `file`; false on any failure (errno tells why).
    bool write(const QString &file, QString *badSheetName) const;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
};

} // namespace xlsx
