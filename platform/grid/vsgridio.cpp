// The grid's clipboard, printing and workbook saving, each only when a window asks for it.
#include "platform/docopener.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/grid/vsgridview.h"
#include "platform/units.h"
#include "platform/xlsxbook.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHash>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <xlsxwriter.h>

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

int VSGrid::print(const QString &docName, bool landscape, const QString &pdfPath)
{
    if (m_editor)
        endEdit(true);
    QPrinter printer(QPrinter::HighResolution);
    QString target = pdfPath;
    if (target.isEmpty() && QPrinterInfo::defaultPrinter().isNull())
        target = folders::join(folders::tempFolder(), (docName.isEmpty() ? QStringLiteral("Druck") : docName)
                                                          + QStringLiteral(".pdf"));
    if (!target.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    }
    printer.setDocName(docName);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);

    QPainter p;
    if (!p.begin(&printer))
        return -1;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int pages = printPages(p, page.size(), [&] { printer.newPage(); });
    if (!p.end())
        return -1;
    if (pdfPath.isEmpty() && !target.isEmpty())
        docs::openDocument(target);
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

lxw_color_t rgbOf(long bgr) { return xlsx::rgbFromBgr(bgr); }

uint8_t borderStyle(int width)
{
    return width <= 1 ? LXW_BORDER_THIN : (width == 2 ? LXW_BORDER_MEDIUM : LXW_BORDER_THICK);
}

struct FormatKey {
    long back = 0, fore = 0;
    bool bold = false;
    int align = -1;
    grid::CellBorders borders;
    bool fixed = false;
    QString numFormat;
    QByteArray key() const
    {
        return QStringLiteral("%1|%2|%3|%4|%5:%6|%7:%8|%9:%10|%11:%12|%13|%14")
            .arg(back).arg(fore).arg(bold).arg(align)
            .arg(borders.left.width).arg(borders.left.color).arg(borders.top.width).arg(borders.top.color)
            .arg(borders.right.width).arg(borders.right.color).arg(borders.bottom.width).arg(borders.bottom.color)
            .arg(fixed).arg(numFormat).toUtf8();
    }
};

} // namespace

bool VSGrid::saveXlsx(const QString &path) const
{
    const QString file = xlsx::xlsxPath(path);
    const QFileInfo info(file);
    if (info.exists() && !info.isWritable())
        return false;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = nullptr;
    lxw_workbook *wb = workbook_new_opt(file.toUtf8().constData(), &options);
    if (!wb)
        return false;
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Tabelle1");
    if (!ws) {
        workbook_close(wb);
        return false;
    }
    QHash<QByteArray, lxw_format *> formats;
    auto formatFor = [&](const FormatKey &k) -> lxw_format * {
        const QByteArray key = k.key();
        if (auto it = formats.constFind(key); it != formats.constEnd())
            return it.value();
        lxw_format *f = workbook_add_format(wb);
        if (k.back || k.fixed) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, k.back ? rgbOf(k.back) : rgbOf(units::fromQColor(grid::fixedBackColor())));
        }
        if (k.fore)
            format_set_font_color(f, rgbOf(k.fore));
        if (k.bold)
            format_set_bold(f);
        if (k.align >= 0) {
            const int h = k.align / 3, v = k.align % 3;
            format_set_align(f, h == 0 ? LXW_ALIGN_LEFT : (h == 1 ? LXW_ALIGN_CENTER : LXW_ALIGN_RIGHT));
            format_set_align(f, v == 0 ? LXW_ALIGN_VERTICAL_TOP
                                       : (v == 1 ? LXW_ALIGN_VERTICAL_CENTER : LXW_ALIGN_VERTICAL_BOTTOM));
        }
        auto edge = [&](const grid::BorderEdge &e, void (*setStyle)(lxw_format *, uint8_t),
                        void (*setColor)(lxw_format *, lxw_color_t)) {
            if (e.width > 0) {
                setStyle(f, borderStyle(e.width));
                setColor(f, rgbOf(long(e.color)));
            }
        };
        edge(k.borders.left, format_set_left, format_set_left_color);
        edge(k.borders.top, format_set_top, format_set_top_color);
        edge(k.borders.right, format_set_right, format_set_right_color);
        edge(k.borders.bottom, format_set_bottom, format_set_bottom_color);
        if (!k.numFormat.isEmpty())
            format_set_num_format(f, k.numFormat.toUtf8().constData());
        formats.insert(key, f);
        return f;
    };
    auto keyOf = [&](int r, int c) {
        FormatKey k;
        k.back = m_store.cellBackColor(r, c);
        k.fore = m_store.cellForeColor(r, c);
        k.bold = m_store.cellFontBold(r, c);
        k.align = m_store.cellAlignment(r, c) >= 0 ? m_store.cellAlignment(r, c) : m_store.colAlignment(c);
        k.borders = m_store.cellBorders(r, c);
        k.fixed = r < fixedRows() || c < fixedCols();
        return k;
    };

    for (int c = 0; c < cols(); ++c) {
        lxw_row_col_options opt = {};
        opt.hidden = !m_store.colShown(c);
        const double chars = m_store.colWidth(c) / 1440.0 * 96.0 / 7.0;
        worksheet_set_column_opt(ws, lxw_col_t(c), lxw_col_t(c), std::max(0.0, chars), nullptr, &opt);
    }
    for (int r = 0; r < rows(); ++r) {
        if (!m_store.rowShown(r) || m_store.rowHeight(r) != m_store.defaultRowHeight()) {
            lxw_row_col_options opt = {};
            opt.hidden = !m_store.rowShown(r);
            worksheet_set_row_opt(ws, lxw_row_t(r), m_store.rowHeight(r) / 20.0, nullptr, &opt);
        }
        int c = 0;
        while (c < cols()) {
            int s1, s2;
            m_store.mergedSpan(r, c, s1, s2);
            const QString text = m_store.textMatrix(r, c);
            FormatKey k = keyOf(r, c);
            if (s2 > c) {
                const QByteArray utf = text.toUtf8();
                worksheet_merge_range(ws, lxw_row_t(r), lxw_col_t(c), lxw_row_t(r), lxw_col_t(s2), utf.constData(),
                                      formatFor(k));
                c = s2 + 1;
                continue;
            }
            double number = 0;
            int decimals = 0;
            const bool isNumber = xlsx::plainNumber(text, number, decimals);
            if (isNumber)
                k.numFormat = decimals ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral("0");
            const bool formatted = k.back || k.fore || k.bold || k.align >= 0 || k.borders.any() || k.fixed;
            lxw_format *f = formatted || isNumber ? formatFor(k) : nullptr;
            if (isNumber)
                worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), number, f);
            else if (!text.isEmpty())
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), text.toUtf8().constData(), f);
            else if (f)
                worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), f);
            ++c;
        }
    }
    if (fixedRows() > 0 || fixedCols() > 0)
        worksheet_freeze_panes(ws, lxw_row_t(std::min(fixedRows(), rows())), lxw_col_t(std::min(fixedCols(), cols())));
    return workbook_close(wb) == LXW_NO_ERROR;
}
