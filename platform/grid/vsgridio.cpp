// The grid's clipboard, printing and workbook saving, each only when a window asks for it.
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/grid/vsgridview.h"
#include "platform/safefile.h"
#include "platform/units.h"
#include "platform/xlsxbook.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QHashFunctions>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <unordered_map>

// ------------------------------------------------------------------------------------------ clipboard

QString VSGrid::clip() const
{
    if (rows() == 0 || cols() == 0)
        return QString();
    return m_store.rangeText(m_store.selTop(), m_store.selLeft(), m_store.selBottom(), m_store.selRight());
}

void VSGrid::copySelection() const
{
    if (rows() == 0 || cols() == 0)
        return;
    auto *mime = new QMimeData;
    mime->setText(clip());
    mime->setHtml(m_store.rangeHtml(m_store.selTop(), m_store.selLeft(), m_store.selBottom(), m_store.selRight()));
    QApplication::clipboard()->setMimeData(mime);
}

void VSGrid::pasteText(const QString &text)
{
    const int r0 = row(), c0 = col();
    if (r0 < 0 || c0 < 0)
        return;
    const QList<QStringList> lines = GridStore::splitClipText(text);
    for (int i = 0; i < lines.size() && r0 + i < rows(); ++i)
        for (int j = 0; j < lines[i].size() && c0 + j < cols(); ++j)
            setTextMatrix(r0 + i, c0 + j, lines[i][j]);
}

void VSGrid::pasteAtCurrent() { pasteText(QApplication::clipboard()->text()); }

// ------------------------------------------------------------------------------------------- printing

int VSGrid::print(const QString &docName, bool landscape, const QString &pdfPath, QString *error,
                  QString *fallbackPdf)
{
    if (m_editor)
        endEdit(true);
    QPrinter printer(QPrinter::HighResolution);
    QString target = pdfPath;
    if (target.isEmpty() && QPrinterInfo::defaultPrinter().isNull())
        target = folders::join(folders::tempFolder(), (docName.isEmpty() ? QStringLiteral("Druck") : docName)
                                                          + QStringLiteral(".pdf"));
    printer.setDocName(docName);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);

    int pages = -1;
    auto drucken = [&] {
        QPainter p;
        if (!p.begin(&printer))
            return false;
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        pages = printPages(p, page.size(), [&] { printer.newPage(); });
        return p.end();
    };
    if (target.isEmpty()) {
        if (!drucken()) {
            if (error)
                *error = QStringLiteral("Der Drucker \"%1\" kann nicht angesprochen werden.")
                             .arg(printer.printerName());
            return -1;
        }
        return pages;
    }
    // A PDF is written like every other file: a file that cannot be written stays as it was.
    printer.setOutputFormat(QPrinter::PdfFormat);
    const bool ok = safefile::writeWith(
        target,
        [&](const QString &temp) {
            printer.setOutputFileName(temp);
            return drucken();
        },
        error);
    if (!ok)
        return -1;
    if (pdfPath.isEmpty() && fallbackPdf)
        *fallbackPdf = target;
    return pages;
}

int VSGrid::printPages(QPainter &p, const QSize &page, const std::function<void()> &newPage)
{
    // Lay the pages out in screen pixels and scale them onto the device.
    const double devDpi = p.device()->logicalDpiY() > 0 ? p.device()->logicalDpiY() : m_dpiY;
    const double scale = devDpi / m_dpiY;
    const int pageW = int(page.width() / scale), pageH = int(page.height() / scale);

    std::vector<grid::AxisItem> fixedRowItems, fixedColItems;
    int fixedH = 0, fixedW = 0;
    for (int r = 0; r < std::min(fixedRows(), rows()); ++r)
        if (const int h = rowPx(r); h > 0) {
            fixedRowItems.push_back({r, fixedH, h});
            fixedH += h;
        }
    for (int c = 0; c < std::min(fixedCols(), cols()); ++c)
        if (const int w = colPx(c); w > 0) {
            fixedColItems.push_back({c, fixedW, w});
            fixedW += w;
        }
    // Slices of scrollable rows and columns, each filling one page.
    auto slices = [](const std::vector<std::pair<int, int>> &items, int room) {
        std::vector<std::vector<std::pair<int, int>>> out(1);
        int used = 0;
        for (const auto &it : items) {
            if (used + it.second > room && !out.back().empty()) {
                out.emplace_back();
                used = 0;
            }
            out.back().push_back(it);
            used += it.second;
        }
        return out;
    };
    std::vector<std::pair<int, int>> bodyRows, bodyCols;
    for (int r = fixedRows(); r < rows(); ++r)
        if (const int h = rowPx(r); h > 0)
            bodyRows.push_back({r, h});
    for (int c = fixedCols(); c < cols(); ++c)
        if (const int w = colPx(c); w > 0)
            bodyCols.push_back({c, w});
    const auto rowPages = slices(bodyRows, std::max(1, pageH - fixedH));
    const auto colPages = slices(bodyCols, std::max(1, pageW - fixedW));

    int pages = 0;
    grid::PaintContext ctx = paintContext();
    // The device resolves points at its own dpi and the painter scales once more: give the font
    // the point size that comes out at the screen's pixels before scaling.
    if (ctx.font.pointSizeF() > 0)
        ctx.font.setPointSizeF(ctx.font.pointSizeF() * m_dpiY / devDpi);
    for (const auto &rp : rowPages) {
        for (const auto &cp : colPages) {
            if (pages > 0)
                newPage();
            grid::PaintView v;
            v.showSelection = false;
            v.rows = fixedRowItems;
            v.cols = fixedColItems;
            int y = fixedH, x = fixedW;
            for (const auto &it : rp) {
                v.rows.push_back({it.first, y, it.second});
                y += it.second;
            }
            for (const auto &it : cp) {
                v.cols.push_back({it.first, x, it.second});
                x += it.second;
            }
            v.area = QRect(0, 0, std::min(x, pageW), std::min(y, pageH));
            p.save();
            p.scale(scale, scale);
            grid::paintCells(p, ctx, v);
            p.restore();
            ++pages;
        }
    }
    return pages;
}

// ---------------------------------------------------------------------------------------- the workbook

namespace {

int borderWeight(int width)
{
    return width <= 0 ? xlsx::NoBorder : (width == 1 ? xlsx::Thin : (width == 2 ? xlsx::Medium : xlsx::Thick));
}

xlsx::BorderLine borderLine(const grid::BorderEdge &e)
{
    xlsx::BorderLine l;
    l.weight = borderWeight(e.width);
    if (l.weight != xlsx::NoBorder)
        l.color = xlsx::rgbFromBgr(long(e.color));
    return l;
}

} // namespace

void VSGrid::toWorkbook(xlsx::Worksheet &ws) const
{
    for (int c = 0; c < cols(); ++c) {
        // Excel shows a width of w characters as 7 w + 5 pixels (12 w below one character).
        const double px = m_store.colWidth(c) / 15.0;
        ws.setColumnWidth(c + 1, px >= 12 ? (px - 5) / 7.0 : px / 12.0);
        if (!m_store.colShown(c))
            ws.setColumnHidden(c + 1);
    }
    for (int r = 0; r < rows(); ++r)
        if (!m_store.rowShown(r) || m_store.rowHeight(r) != m_store.defaultRowHeight()) {
            ws.setRowHeight(r + 1, m_store.rowHeight(r) / 20.0);
            if (!m_store.rowShown(r))
                ws.setRowHidden(r + 1);
        }
    if (fixedRows() > 0 || fixedCols() > 0)
        ws.freezePanes(std::min(fixedRows(), rows()), std::min(fixedCols(), cols()));
    // The cells go from the grid straight to the file, row by row: a grid of a whole table is not
    // copied into the sheet first.
    ws.setCellSource(rows(), cols(), [this](xlsx::CellSink &out) { writeCells(out); });
}

void VSGrid::writeCells(xlsx::CellSink &out) const
{
    const long fixedBack = units::fromQColor(grid::fixedBackColor());
    // Cells of the same look share one style; the look of a cell is worked out once per kind.
    struct Look {
        long back, fore;
        int align, decimals;
        bool bold, fixed;
        grid::CellBorders b;
        bool operator==(const Look &o) const
        {
            auto same = [](const grid::BorderEdge &x, const grid::BorderEdge &y) {
                return x.width == y.width && x.color == y.color;
            };
            return back == o.back && fore == o.fore && align == o.align && decimals == o.decimals && bold == o.bold
                   && fixed == o.fixed && same(b.left, o.b.left) && same(b.top, o.b.top)
                   && same(b.right, o.b.right) && same(b.bottom, o.b.bottom);
        }
    };
    struct LookHash {
        size_t operator()(const Look &k) const
        {
            return qHashMulti(0, k.back, k.fore, k.align, k.decimals, k.bold, k.fixed, k.b.left.width, k.b.left.color,
                              k.b.top.width, k.b.top.color, k.b.right.width, k.b.right.color, k.b.bottom.width,
                              k.b.bottom.color);
        }
    };
    std::unordered_map<Look, int, LookHash> styles;
    auto styleOf = [&](int r, int c, int decimals) {
        const int cellAlign = m_store.cellAlignment(r, c);
        const Look k{m_store.cellBackColor(r, c), m_store.cellForeColor(r, c),
                     cellAlign >= 0 ? cellAlign : m_store.colAlignment(c), decimals, m_store.cellFontBold(r, c),
                     r < fixedRows() || c < fixedCols(), m_store.cellBorders(r, c)};
        if (auto it = styles.find(k); it != styles.end())
            return it->second;
        xlsx::Style s;
        if (k.back || k.fixed)
            s.fill = xlsx::rgbFromBgr(k.back ? k.back : fixedBack);
        if (k.fore)
            s.fontColor = xlsx::rgbFromBgr(k.fore);
        s.bold = k.bold;
        if (k.align >= 0) {
            const int h = k.align / 3, v = k.align % 3;
            s.hAlign = h == 0 ? xlsx::AlignLeft : (h == 1 ? xlsx::AlignCenter : xlsx::AlignRight);
            s.vAlign = v == 0 ? xlsx::VAlignTop : (v == 1 ? xlsx::VAlignCenter : xlsx::VAlignBottom);
        }
        s.left = borderLine(k.b.left);
        s.top = borderLine(k.b.top);
        s.right = borderLine(k.b.right);
        s.bottom = borderLine(k.b.bottom);
        // A number keeps the decimals the grid shows ("2,50").
        if (decimals >= 0)
            s.numberFormat = decimals ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral("0");
        const int index = s == xlsx::Style() ? -1 : out.style(s);
        styles.emplace(k, index);
        return index;
    };

    for (int r = 0; r < rows(); ++r) {
        for (int c = 0; c < cols(); ++c) {
            int s1, s2;
            m_store.mergedSpan(r, c, s1, s2);
            const QString text = m_store.textMatrix(r, c);
            double number = 0;
            int decimals = -1;
            const bool isNumber = xlsx::plainNumber(text, number, decimals);
            const int style = styleOf(r, c, isNumber ? decimals : -1);
            if (s2 > c)
                out.mergeInRow(r + 1, c + 1, s2 + 1, style);
            if (isNumber)
                out.number(r + 1, c + 1, number, style);
            else
                out.text(r + 1, c + 1, text, style);
            c = std::max(c, s2);
        }
    }
}

bool VSGrid::saveXlsx(const QString &path, QString *error) const
{
    xlsx::Workbook book;
    toWorkbook(book.sheet(1));
    return book.save(path, error);
}
