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

#include <cerrno>

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

bool Workbook::write(const QString &file, QString *badSheetName) const
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(file).constData(), &options);
    if (!wb)
        return false;

    for (const auto &sheetPtr : m_sheets) {
        const Worksheet &src = *sheetPtr;
        lxw_worksheet *ws = workbook_add_worksheet(wb, src.name().toUtf8().constData());
        if (!ws) {
            workbook_close(wb);
            if (badSheetName)
                *badSheetName = src.name();
            errno = EINVAL;
            return false;
        }
        std::vector<lxw_format *> formats;
        formats.reserve(src.m_styles.size());
        for (const Style &s : src.m_styles)
            formats.push_back(makeFormat(wb, s));

        for (const auto &[c, info] : src.m_cols) {
            lxw_row_col_options opt = {};
            opt.hidden = info.hidden;
            const double w = info.width < 0 ? Workbook::defaultColumnWidth() : info.width;
            worksheet_set_column_opt(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), w, nullptr, &opt);
        }
        for (const auto &[r, info] : src.m_rows) {
            lxw_row_col_options opt = {};
            opt.hidden = info.hidden;
            worksheet_set_row_opt(ws, lxw_row_t(r - 1), info.height > 0 ? info.height : LXW_DEF_ROW_HEIGHT, nullptr,
                                  &opt);
        }
        // Merged blocks first: libxlsxwriter writes their first cell itself.
        QHash<quint64, bool> mergedCells;
        for (const Range &m : src.m_merges) {
            const auto *first = src.findCell(m.row1, m.col1);
            lxw_format *f = first && first->style >= 0 ? formats[size_t(first->style)] : nullptr;
            const QString t = src.text(m.row1, m.col1);
            worksheet_merge_range(ws, lxw_row_t(m.row1 - 1), lxw_col_t(m.col1 - 1), lxw_row_t(m.row2 - 1),
                                  lxw_col_t(m.col2 - 1), cellText(t).constData(), f);
            if (first && first->value.typeId() == QMetaType::Double)
                worksheet_write_number(ws, lxw_row_t(m.row1 - 1), lxw_col_t(m.col1 - 1), first->value.toDouble(), f);
            for (int r = m.row1; r <= m.row2; ++r)
                for (int c = m.col1; c <= m.col2; ++c)
                    mergedCells.insert(Worksheet::key(r, c), true);
        }
        for (const auto &[k, cl] : src.m_cells) {
            if (mergedCells.contains(k))
                continue;
            const auto r = lxw_row_t((k >> 32) - 1);
            const auto c = lxw_col_t((k & 0xffffffffu) - 1);
            lxw_format *f = cl.style >= 0 ? formats[size_t(cl.style)] : nullptr;
            const QVariant &v = cl.value;
            if (!v.isValid()) {
                if (f)
                    worksheet_write_blank(ws, r, c, f);
            } else if (v.typeId() == QMetaType::Double) {
                worksheet_write_number(ws, r, c, v.toDouble(), f);
            } else if (v.typeId() == QMetaType::QDateTime) {
                lxw_datetime d = excelDate(v.toDateTime());
                worksheet_write_datetime(ws, r, c, &d, f);
            } else {
                worksheet_write_string(ws, r, c, cellText(v.toString()).constData(), f);
            }
        }
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
