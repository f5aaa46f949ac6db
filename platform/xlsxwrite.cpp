// Writing the in-memory workbook as .xlsx with libxlsxwriter, and handing it over unsaved.
#include "platform/docopener.h"
#include "platform/folders.h"
#include "platform/safefile.h"
#include "platform/xlsxbook.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <map>
#include <vector>

#include <xlsxwriter.h>

namespace xlsx {

namespace {

uint8_t lineStyle(int weight)
{
    switch (weight) {
    case Hairline: return LXW_BORDER_HAIR;
    case Thin: return LXW_BORDER_THIN;
    case Medium: return LXW_BORDER_MEDIUM;
    case Thick: return LXW_BORDER_THICK;
    default: return LXW_BORDER_NONE;
    }
}

lxw_format *makeFormat(lxw_workbook *wb, const Style &s)
{
    lxw_format *f = workbook_add_format(wb);
    if (!s.fontName.isEmpty())
        format_set_font_name(f, s.fontName.toUtf8().constData());
    if (s.fontSize > 0)
        format_set_font_size(f, s.fontSize);
    if (s.bold)
        format_set_bold(f);
    if (s.italic)
        format_set_italic(f);
    if (s.underline)
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (s.fontColor != Automatic)
        format_set_font_color(f, s.fontColor);
    if (s.fill != Automatic) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, s.fill);
    }
    auto edge = [&](const BorderLine &l, void (*setStyle)(lxw_format *, uint8_t),
                    void (*setColor)(lxw_format *, lxw_color_t)) {
        if (l.weight == NoBorder)
            return;
        setStyle(f, lineStyle(l.weight));
        if (l.color != Automatic)
            setColor(f, l.color);
    };
    edge(s.left, format_set_left, format_set_left_color);
    edge(s.top, format_set_top, format_set_top_color);
    edge(s.right, format_set_right, format_set_right_color);
    edge(s.bottom, format_set_bottom, format_set_bottom_color);
    if (!s.numberFormat.isEmpty())
        format_set_num_format(f, s.numberFormat.toUtf8().constData());
    if (s.hAlign != AlignGeneral)
        format_set_align(f, s.hAlign == AlignLeft ? LXW_ALIGN_LEFT
                                                  : (s.hAlign == AlignCenter ? LXW_ALIGN_CENTER : LXW_ALIGN_RIGHT));
    if (s.vAlign != VAlignDefault)
        format_set_align(f, s.vAlign == VAlignTop ? LXW_ALIGN_VERTICAL_TOP
                                                  : (s.vAlign == VAlignCenter ? LXW_ALIGN_VERTICAL_CENTER
                                                                              : LXW_ALIGN_VERTICAL_BOTTOM));
    if (s.wrap)
        format_set_text_wrap(f);
    return f;
}

lxw_datetime excelDate(const QDateTime &dt)
{
    lxw_datetime d = {};
    d.year = dt.date().year();
    d.month = dt.date().month();
    d.day = dt.date().day();
    d.hour = dt.time().hour();
    d.min = dt.time().minute();
    d.sec = dt.time().second();
    return d;
}

// A worksheet cell holds at most 32,767 characters; libxlsxwriter writes nothing at all for a
// longer text. Cut it as Excel does, so the cell keeps what fits instead of standing empty.
// A NUL would end the C string anyway: drop it so the text after it stays.
QByteArray cellText(QString t)
{
    constexpr qsizetype MaxChars = 32767;
    t.remove(QChar(u'\0'));
    if (t.size() > MaxChars) {
        qsizetype n = 0, i = 0;
        // libxlsxwriter counts code points, not UTF-16 units.
        while (i < t.size() && n < MaxChars) {
            i += (t.at(i).isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) ? 2 : 1;
            ++n;
        }
        t.truncate(i);
    }
    return t.toUtf8();
}

} // namespace

bool Workbook::save(const QString &path, QString *error) const
{
    const QString file = xlsxPath(path);
    QString badName;
    const bool ok = safefile::writeWith(
        file, [&](const QString &temp) { return write(temp, &badName); }, error);
    if (!ok && !badName.isEmpty() && error)
        *error = safefile::failureText(file, QStringLiteral("Der Tabellenname \"%1\" ist ungültig.").arg(badName));
    return ok;
}

// Puts a sheet's cells into libxlsxwriter. Written row by row, libxlsxwriter keeps only the row
// at hand, so cells, row heights and merged blocks must come in row order.
class SheetWriter final : public CellSink {
public:
    SheetWriter(lxw_workbook *wb, lxw_worksheet *ws, const Worksheet &src, bool rowByRow)
        : m_wb(wb), m_ws(ws), m_src(src), m_rowByRow(rowByRow), m_nextRow(src.m_rows.begin())
    {
    }

    int style(const Style &s) override
    {
        if (const auto it = m_styles.constFind(s); it != m_styles.constEnd())
            return *it;
        m_formats.push_back(makeFormat(m_wb, s));
        return *m_styles.insert(s, int(m_formats.size() - 1));
    }
    void number(int row, int col, double value, int style) override
    {
        if (at(row, col))
            worksheet_write_number(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), value, format(style));
    }
    void text(int row, int col, const QString &text, int style) override
    {
        if (text.isEmpty())
            blank(row, col, style);
        else if (at(row, col))
            worksheet_write_string(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), cellText(text).constData(),
                                   format(style));
    }
    void blank(int row, int col, int style) override
    {
        if (lxw_format *f = format(style); f && at(row, col))
            worksheet_write_blank(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), f);
    }
    void mergeInRow(int row, int col1, int col2, int style) override { merge(Range(row, col1, row, col2), style); }

    void date(int row, int col, const QDateTime &value, int style)
    {
        if (!at(row, col))
            return;
        lxw_datetime d = excelDate(value);
        worksheet_write_datetime(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), &d, format(style));
    }
    // libxlsxwriter fills the block with empty cells of the look; the first cell's value follows.
    void merge(const Range &r, int style)
    {
        if ((r.row1 != r.row2 || r.col1 != r.col2) && at(r.row1, r.col1))
            worksheet_merge_range(m_ws, lxw_row_t(r.row1 - 1), lxw_col_t(r.col1 - 1), lxw_row_t(r.row2 - 1),
                                  lxw_col_t(r.col2 - 1), "", format(style));
    }

    // The cells and merged blocks kept in the sheet, in row order, each block where its first cell is.
    void keptCells()
    {
        std::vector<int> styles;
        styles.reserve(m_src.m_styles.size());
        for (const Style &s : m_src.m_styles)
            styles.push_back(style(s));
        auto styleOf = [&](const Worksheet::Cell *c) { return c && c->style >= 0 ? styles[size_t(c->style)] : -1; };
        auto put = [&](int row, int col, const Worksheet::Cell &c) {
            const QVariant &v = c.value;
            const int st = styleOf(&c);
            if (!v.isValid())
                blank(row, col, st);
            else if (v.typeId() == QMetaType::Double)
                number(row, col, v.toDouble(), st);
            else if (v.typeId() == QMetaType::QDateTime)
                date(row, col, v.toDateTime(), st);
            else
                text(row, col, v.toString(), st);
        };
        std::vector<Range> merges = m_src.m_merges;
        std::stable_sort(merges.begin(), merges.end(), [](const Range &a, const Range &b) {
            return Worksheet::key(a.row1, a.col1) < Worksheet::key(b.row1, b.col1);
        });
        QHash<quint64, bool> mergedCells;
        auto next = merges.cbegin();
        auto mergesUpTo = [&](quint64 key) {
            for (; next != merges.cend() && Worksheet::key(next->row1, next->col1) <= key; ++next) {
                const Worksheet::Cell *first = m_src.findCell(next->row1, next->col1);
                merge(*next, styleOf(first));
                if (first && !mergedCells.contains(Worksheet::key(next->row1, next->col1)))
                    put(next->row1, next->col1, *first);
                for (int r = next->row1; r <= next->row2; ++r)
                    for (int c = next->col1; c <= next->col2; ++c)
                        mergedCells.insert(Worksheet::key(r, c), true);
            }
        };
        for (const auto &[k, c] : m_src.m_cells) {
            mergesUpTo(k);
            if (!mergedCells.contains(k))
                put(int(k >> 32), int(k & 0xffffffffu), c);
        }
        mergesUpTo(~quint64(0));
    }
    // Heights and hidden flags of the rows up to `row`, in order.
    void rowsUpTo(int row)
    {
        for (; m_nextRow != m_src.m_rows.end() && m_nextRow->first <= row; ++m_nextRow) {
            const auto &[r, info] = *m_nextRow;
            lxw_row_col_options opt = {};
            opt.hidden = info.hidden;
            worksheet_set_row_opt(m_ws, lxw_row_t(r - 1), info.height > 0 ? info.height : LXW_DEF_ROW_HEIGHT, nullptr,
                                  &opt);
        }
    }

private:
    lxw_format *format(int style) const
    {
        return style >= 0 && style < int(m_formats.size()) ? m_formats[size_t(style)] : nullptr;
    }
    // Moves on to `row`; false for a cell outside the sheet, or in a row already written.
    bool at(int row, int col)
    {
        if (row < 1 || col < 1 || (m_rowByRow && row < m_row))
            return false;
        if (row > m_row) {
            rowsUpTo(row);
            m_row = row;
        }
        return true;
    }

    lxw_workbook *m_wb;
    lxw_worksheet *m_ws;
    const Worksheet &m_src;
    const bool m_rowByRow;
    int m_row = 0;
    std::map<int, Worksheet::RowInfo>::const_iterator m_nextRow;
    std::vector<lxw_format *> m_formats;
    QHash<Style, int> m_styles;
};

bool Workbook::write(const QString &file, QString *badSheetName) const
{
    // Row by row when the cells are many, unless a block merged over rows or a comment needs them
    // all at hand (libxlsxwriter leaves comments out when it writes row by row).
    qint64 cells = 0;
    bool needsAll = false;
    for (const auto &sheetPtr : m_sheets) {
        const Worksheet &src = *sheetPtr;
        cells += src.m_source ? src.m_sourceCells : qint64(src.m_cells.size());
        needsAll = needsAll || !src.m_comments.empty();
        if (!src.m_source)
            for (const Range &m : src.m_merges)
                needsAll = needsAll || m.row1 != m.row2;
    }
    lxw_workbook_options options = {};
    options.constant_memory = cells > RowByRowCells && !needsAll ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(file).constData(), &options);
    if (!wb)
        return false;

    for (const auto &sheetPtr : m_sheets) {
        const Worksheet &src = *sheetPtr;
        // Written row by row, a sheet starts with a temporary file of its own, which may fail. The
        // workbook is dropped unwritten then: closing it would try once more and fall over.
        const QByteArray name = src.name().toUtf8();
        const bool badName = workbook_validate_sheet_name(wb, name.constData()) != LXW_NO_ERROR;
        lxw_worksheet *ws = badName ? nullptr : workbook_add_worksheet(wb, name.constData());
        if (!ws) {
            const int err = badName ? EINVAL : (errno ? errno : EIO);
            lxw_workbook_free(wb);
            if (badName && badSheetName)
                *badSheetName = src.name();
            errno = err;
            return false;
        }
        for (const auto &[c, info] : src.m_cols) {
            lxw_row_col_options opt = {};
            opt.hidden = info.hidden;
            const double w = info.width < 0 ? Workbook::defaultColumnWidth() : info.width;
            worksheet_set_column_opt(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), w, nullptr, &opt);
        }
        SheetWriter out(wb, ws, src, options.constant_memory);
        if (src.m_source)
            src.m_source(out);
        else
            out.keptCells();
        out.rowsUpTo(std::numeric_limits<int>::max());
        for (const auto &[k, note] : src.m_comments) {
            lxw_comment_options opt = {};
            const QByteArray author = note.second.toUtf8();
            if (!note.second.isEmpty())
                opt.author = const_cast<char *>(author.constData());
            opt.visible = LXW_COMMENT_DISPLAY_HIDDEN;
            worksheet_write_comment_opt(ws, lxw_row_t((k >> 32) - 1), lxw_col_t((k & 0xffffffffu) - 1),
                                        cellText(note.first).constData(), &opt);
        }
        if (src.m_hasFilter)
            worksheet_autofilter(ws, lxw_row_t(src.m_filter.row1 - 1), lxw_col_t(src.m_filter.col1 - 1),
                                 lxw_row_t(src.m_filter.row2 - 1), lxw_col_t(src.m_filter.col2 - 1));
        if (src.m_freezeRow > 0 || src.m_freezeCol > 0)
            worksheet_freeze_panes(ws, lxw_row_t(src.m_freezeRow), lxw_col_t(src.m_freezeCol));

        const PageSetup &p = src.m_page;
        if (p.landscape)
            worksheet_set_landscape(ws);
        worksheet_set_paper(ws, uint8_t(p.paperSize));
        if (p.marginLeft >= 0 || p.marginRight >= 0 || p.marginTop >= 0 || p.marginBottom >= 0)
            worksheet_set_margins(ws, p.marginLeft, p.marginRight, p.marginTop, p.marginBottom);
        if (p.fitWidth > 0 || p.fitHeight > 0)
            worksheet_fit_to_pages(ws, uint16_t(p.fitWidth), uint16_t(p.fitHeight));
        else if (p.scale != 100)
            worksheet_set_print_scale(ws, uint16_t(p.scale));
        if (p.centerHorizontally)
            worksheet_center_horizontally(ws);
        if (p.centerVertically)
            worksheet_center_vertically(ws);
        if (p.printGridlines)
            worksheet_gridlines(ws, LXW_SHOW_PRINT_GRIDLINES);
        if (!p.header.isEmpty())
            worksheet_set_header(ws, p.header.toUtf8().constData());
        if (!p.footer.isEmpty())
            worksheet_set_footer(ws, p.footer.toUtf8().constData());
        if (p.titleRowFirst > 0)
            worksheet_repeat_rows(ws, lxw_row_t(p.titleRowFirst - 1),
                                  lxw_row_t(std::max(p.titleRowFirst, p.titleRowLast) - 1));
        if (p.titleColFirst > 0)
            worksheet_repeat_columns(ws, lxw_col_t(p.titleColFirst - 1),
                                     lxw_col_t(std::max(p.titleColFirst, p.titleColLast) - 1));
        if (p.printAreaSet)
            worksheet_print_area(ws, lxw_row_t(p.printArea.row1 - 1), lxw_col_t(p.printArea.col1 - 1),
                                 lxw_row_t(p.printArea.row2 - 1), lxw_col_t(p.printArea.col2 - 1));
    }
    // The library's own error texts are not for the user: the writer reports errno in German.
    return workbook_close(wb) == LXW_NO_ERROR;
}

QString Workbook::openUnsaved(const QString &name, QString *error, docs::Handover *handover) const
{
    const QString folder = folders::tempFolder();
    QString path = folders::join(folder, name + QStringLiteral(".xlsx"));
    // Each list is a new workbook: never write over one the user may still have open.
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = folders::join(folder, QStringLiteral("%1 (%2).xlsx").arg(name).arg(i));
    if (!save(path, error))
        return QString();
    const docs::Handover h = docs::handOver(path);
    if (handover)
        *handover = h;
    return path;
}

} // namespace xlsx
