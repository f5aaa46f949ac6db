#include "platform/xlsxbook.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QHashFunctions>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace xlsx {

// ------------------------------------------------------------------------------------ shared pieces

QString xlsxPath(const QString &path)
{
    if (path.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        return path + QLatin1Char('x');
    return path;
}

uint32_t rgbFromBgr(long bgr)
{
    return uint32_t(((bgr & 0xff) << 16) | (bgr & 0xff00) | ((bgr >> 16) & 0xff));
}

uint32_t rgbFromColorIndex(int index)
{
    // Excel's standard palette, colour indexes 1 to 56.
    static const uint32_t palette[56] = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
        0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
        0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
        0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
        0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    return index >= 1 && index <= 56 ? palette[index - 1] : Automatic;
}

bool plainNumber(const QString &text, double &value, int &decimals)
{
    // -?(0|[1-9][0-9]{0,14})([.,][0-9]{1,10})? : no leading zeros ("007" and "01234" stay texts).
    // Called for every cell of a grid: plain character tests, no expressions.
    const qsizetype n = text.size();
    if (n == 0 || n > 27)
        return false;
    char buf[32];
    qsizetype i = 0;
    int out = 0;
    if (text[0] == QLatin1Char('-'))
        buf[out++] = text[i++].toLatin1();
    const qsizetype intStart = i;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9')
        buf[out++] = char(text[i++].unicode());
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 15 || (intDigits > 1 && text[intStart] == QLatin1Char('0')))
        return false;
    int frac = 0;
    if (i < n) {
        if (text[i] != QLatin1Char('.') && text[i] != QLatin1Char(','))
            return false;
        buf[out++] = '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            buf[out++] = char(text[i++].unicode());
            ++frac;
        }
        if (i < n || frac == 0 || frac > 10)
            return false;
    }
    double v = 0;
    if (std::from_chars(buf, buf + out, v).ec != std::errc())
        return false;
    value = v;
    decimals = frac;
    return true;
}

// ------------------------------------------------------------------------------------------- ranges

Range::Range(int r1, int c1, int r2, int c2)
    : row1(std::min(r1, r2)), col1(std::min(c1, c2)), row2(std::max(r1, r2)), col2(std::max(c1, c2))
{
}

namespace {

QString columnLetters(int col)
{
    QString s;
    for (int c = col; c > 0; c = (c - 1) / 26)
        s.prepend(QChar('A' + (c - 1) % 26));
    return s;
}

} // namespace

QString Range::address() const
{
    const QString a = columnLetters(col1) + QString::number(row1);
    if (row1 == row2 && col1 == col2)
        return a;
    return a + QLatin1Char(':') + columnLetters(col2) + QString::number(row2);
}

bool Style::operator==(const Style &o) const
{
    return fontName == o.fontName && fontSize == o.fontSize && bold == o.bold && italic == o.italic
           && underline == o.underline && fontColor == o.fontColor && fill == o.fill && left == o.left
           && top == o.top && right == o.right && bottom == o.bottom && numberFormat == o.numberFormat
           && hAlign == o.hAlign && vAlign == o.vAlign && wrap == o.wrap;
}

// ------------------------------------------------------------------------------------------- values

Worksheet::Cell &Worksheet::cell(int r, int c) { return m_cells[key(r, c)]; }

const Worksheet::Cell *Worksheet::findCell(int r, int c) const
{
    const auto it = m_cells.find(key(r, c));
    return it == m_cells.end() ? nullptr : &it->second;
}

void Worksheet::setValue(int row, int col, const QVariant &value)
{
    if (row < 1 || col < 1)
        return;
    if (!value.isValid() || value.isNull()) {
        clear(row, col);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Long: case QMetaType::Short:
        setNumber(row, col, value.toDouble());
        return;
    case QMetaType::Bool:
        setText(row, col, value.toBool() ? QStringLiteral("WAHR") : QStringLiteral("FALSCH"));
        return;
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        Cell &c = cell(row, col);
        c.value = value.toDateTime();
        if (style(row, col).numberFormat.isEmpty())
            setNumberFormat(Range(row, col), value.typeId() == QMetaType::QDate ? QStringLiteral("dd.mm.yyyy")
                                                                                  : QStringLiteral("dd.mm.yyyy hh:mm"));
        return;
    }
    default:
        break;
    }
    const QString text = value.toString();
    if (text.isEmpty()) {
        clear(row, col);
        return;
    }
    if (text.startsWith(QLatin1Char('\''))) {
        setText(row, col, text.mid(1));
        return;
    }
    double number = 0;
    int decimals = 0;
    if (plainNumber(text, number, decimals)) {
        setNumber(row, col, number);
        return;
    }
    setText(row, col, text);
}

void Worksheet::setText(int row, int col, const QString &text)
{
    if (row < 1 || col < 1)
        return;
    if (text.isEmpty()) {
        clear(row, col);
        return;
    }
    cell(row, col).value = text;
    // Excel wraps a text with a line feed.
    if (text.contains(QLatin1Char('\n')) && !style(row, col).wrap)
        setWrap(Range(row, col));
}

void Worksheet::setNumber(int row, int col, double value, const QString &numberFormat)
{
    if (row < 1 || col < 1)
        return;
    cell(row, col).value = value;
    if (!numberFormat.isEmpty())
        setNumberFormat(Range(row, col), numberFormat);
}

void Worksheet::clear(int row, int col)
{
    const auto it = m_cells.find(key(row, col));
    if (it == m_cells.end())
        return;
    if (it->second.style < 0)
        m_cells.erase(it);
    else
        it->second.value = QVariant();
}

QVariant Worksheet::value(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return c ? c->value : QVariant();
}

namespace {

// The text a cell shows: numbers with a decimal comma and the decimals of a "0.0…" format.
QString shownText(const QVariant &v, const QString &numberFormat)
{
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        const int dot = numberFormat.indexOf(QLatin1Char('.'));
        if (dot >= 0 && numberFormat.startsWith(QLatin1Char('0'))) {
            const int decimals = int(numberFormat.size()) - dot - 1;
            return QString::number(d, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
        }
        return QString::number(d, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return numberFormat.contains(QLatin1Char('h')) ? dt.toString(QStringLiteral("dd.MM.yyyy hh:mm"))
                                                      : dt.toString(QStringLiteral("dd.MM.yyyy"));
    }
    return v.toString();
}

} // namespace

QString Worksheet::text(int row, int col) const
{
    const Cell *c = findCell(row, col);
    if (!c || !c->value.isValid())
        return QString();
    return shownText(c->value, c->style >= 0 ? m_styles[size_t(c->style)].numberFormat : QString());
}

bool Worksheet::isEmpty(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return !c || !c->value.isValid();
}

int Worksheet::lastRow() const
{
    for (auto it = m_cells.rbegin(); it != m_cells.rend(); ++it)
        if (it->second.value.isValid())
            return int(it->first >> 32);
    return 0;
}

int Worksheet::lastCol() const
{
    int last = 0;
    for (const auto &[k, c] : m_cells)
        if (c.value.isValid())
            last = std::max(last, int(k & 0xffffffffu));
    return last;
}

// ------------------------------------------------------------------------------------------ formats

size_t qHash(const Style &s, size_t seed)
{
    return qHashMulti(seed, s.fontName, s.fontSize, s.bold, s.italic, s.underline, s.fontColor, s.fill, s.left.weight,
                      s.left.color, s.top.weight, s.top.color, s.right.weight, s.right.color, s.bottom.weight,
                      s.bottom.color, s.numberFormat, s.hAlign, s.vAlign, s.wrap);
}

int Worksheet::styleIndex(const Style &s)
{
    std::vector<int> &same = m_styleLookup[qHash(s)];
    for (int i : same)
        if (m_styles[size_t(i)] == s)
            return i;
    m_styles.push_back(s);
    same.push_back(int(m_styles.size() - 1));
    return int(m_styles.size() - 1);
}

void Worksheet::setCellSource(int rows, int cols, std::function<void(CellSink &)> fill)
{
    m_source = std::move(fill);
    m_sourceCells = m_source ? qint64(std::max(0, rows)) * std::max(0, cols) : 0;
}

Style Worksheet::style(int row, int col) const
{
    const Cell *c = findCell(row, col);
    return c && c->style >= 0 ? m_styles[size_t(c->style)] : Style();
}

template <class Fn> void Worksheet::changeStyle(int r, int c, Fn fn)
{
    if (r < 1 || c < 1)
        return;
    Cell &cl = cell(r, c);
    Style s = cl.style >= 0 ? m_styles[size_t(cl.style)] : Style();
    fn(s);
    cl.style = styleIndex(s);
}

template <class Fn> void Worksheet::changeStyles(const Range &r, Fn fn)
{
    for (int row = r.row1; row <= r.row2; ++row)
        for (int col = r.col1; col <= r.col2; ++col)
            changeStyle(row, col, fn);
}

void Worksheet::setFont(const Range &r, const QString &name, double size)
{
    changeStyles(r, [&](Style &s) {
        s.fontName = name;
        s.fontSize = size;
    });
}

void Worksheet::setBold(const Range &r, bool bold)
{
    changeStyles(r, [&](Style &s) { s.bold = bold; });
}

void Worksheet::setFontColor(const Range &r, uint32_t rgb)
{
    changeStyles(r, [&](Style &s) { s.fontColor = rgb; });
}

void Worksheet::setFill(const Range &r, uint32_t rgb)
{
    changeStyles(r, [&](Style &s) { s.fill = rgb; });
}

void Worksheet::setFillIndex(const Range &r, int colorIndex) { setFill(r, rgbFromColorIndex(colorIndex)); }

void Worksheet::setNumberFormat(const Range &r, const QString &format)
{
    changeStyles(r, [&](Style &s) { s.numberFormat = format; });
}

void Worksheet::setAlignment(const Range &r, int hAlign, int vAlign)
{
    changeStyles(r, [&](Style &s) {
        s.hAlign = hAlign;
        s.vAlign = vAlign;
    });
}

void Worksheet::setWrap(const Range &r, bool wrap)
{
    changeStyles(r, [&](Style &s) { s.wrap = wrap; });
}

void Worksheet::setBorder(const Range &r, Edge edge, int weight, uint32_t color)
{
    const BorderLine line{weight, color};
    auto set = [&](int row, int col, BorderLine Style::*side) {
        changeStyle(row, col, [&](Style &s) { s.*side = line; });
    };
    // A line between two cells belongs to both of them.
    auto horizontal = [&](int above, int c1, int c2) {
        for (int c = c1; c <= c2; ++c) {
            set(above, c, &Style::bottom);
            set(above + 1, c, &Style::top);
        }
    };
    auto vertical = [&](int leftCol, int r1, int r2) {
        for (int row = r1; row <= r2; ++row) {
            set(row, leftCol, &Style::right);
            set(row, leftCol + 1, &Style::left);
        }
    };
    switch (edge) {
    case EdgeTop:
        horizontal(r.row1 - 1, r.col1, r.col2);
        break;
    case EdgeBottom:
        horizontal(r.row2, r.col1, r.col2);
        break;
    case EdgeLeft:
        vertical(r.col1 - 1, r.row1, r.row2);
        break;
    case EdgeRight:
        vertical(r.col2, r.row1, r.row2);
        break;
    case InsideHorizontal:
        for (int row = r.row1; row < r.row2; ++row)
            horizontal(row, r.col1, r.col2);
        break;
    case InsideVertical:
        for (int col = r.col1; col < r.col2; ++col)
            vertical(col, r.row1, r.row2);
        break;
    }
}

void Worksheet::setBorders(const Range &r, int outer, int inner, uint32_t color)
{
    if (outer != NoBorder)
        for (Edge e : {EdgeLeft, EdgeTop, EdgeBottom, EdgeRight})
            setBorder(r, e, outer, color);
    if (inner != NoBorder) {
        setBorder(r, InsideVertical, inner, color);
        setBorder(r, InsideHorizontal, inner, color);
    }
}

// ---------------------------------------------------------------------------------- comments, merging

void Worksheet::addComment(int row, int col, const QString &text, const QString &author)
{
    if (row >= 1 && col >= 1)
        m_comments[key(row, col)] = {text, author};
}

QString Worksheet::comment(int row, int col) const
{
    const auto it = m_comments.find(key(row, col));
    return it == m_comments.end() ? QString() : it->second.first;
}

void Worksheet::merge(const Range &r)
{
    if (r.row1 >= 1 && r.col1 >= 1 && (r.row1 != r.row2 || r.col1 != r.col2))
        m_merges.push_back(r);
}

// -------------------------------------------------------------------------------------------- sizes

void Worksheet::setColumnWidth(int col, double width)
{
    if (col >= 1)
        m_cols[col].width = std::max(0.0, width);
}

double Worksheet::columnWidth(int col) const
{
    const auto it = m_cols.find(col);
    return it == m_cols.end() || it->second.width < 0 ? Workbook::defaultColumnWidth() : it->second.width;
}

void Worksheet::setColumnHidden(int col, bool hidden)
{
    if (col >= 1)
        m_cols[col].hidden = hidden;
}

namespace {

QFont fontOf(const QString &name, double size, bool bold)
{
    QFont f(name.isEmpty() ? Workbook::defaultFontName() : name);
    // Excel measures at 96 dpi whatever the screen says.
    f.setPixelSize(std::max(1, int(std::lround((size > 0 ? size : Workbook::defaultFontSize()) * 96.0 / 72.0))));
    f.setBold(bold);
    return f;
}

// The width of one digit of the default font: Excel's character unit (7 pixels for Calibri 11).
double digitWidth()
{
    static const double w = [] {
        const QFontMetricsF fm(fontOf(QString(), 0, false));
        const double d = fm.horizontalAdvance(QLatin1Char('0'));
        return d > 0 ? d : 7.0;
    }();
    return w;
}

double lineHeightPoints(double size)
{
    // Calibri 11 -> 15, Arial 10 -> 12.75: about 1.36 times the size, in steps of 0.75 pt (1 px).
    const double pt = (size > 0 ? size : Workbook::defaultFontSize()) * 15.0 / 11.0;
    return std::ceil(pt / 0.75 - 1e-9) * 0.75;
}

bool inMerge(const std::vector<Range> &merges, int r, int c)
{
    return std::any_of(merges.begin(), merges.end(), [&](const Range &m) { return m.contains(r, c); });
}

} // namespace

double Worksheet::fitWidth(const QString &text, const QString &fontName, double fontSize, bool bold)
{
    const QFontMetricsF fm(fontOf(fontName, fontSize, bold));
    double px = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        px = std::max(px, fm.horizontalAdvance(line));
    if (px <= 0)
        return 0;
    // In units of 7 pixels, with Excel's few pixels of room; a 1/256 of a character is its step.
    const double chars = (px * 7.0 / digitWidth() + 2.0) / 7.0;
    return std::ceil(chars * 256.0) / 256.0;
}

void Worksheet::autoFitColumn(int col)
{
    if (col < 1)
        return;
    double width = 0;
    for (const auto &[k, c] : m_cells) {
        if (int(k & 0xffffffffu) != col || !c.value.isValid())
            continue;
        const int row = int(k >> 32);
        if (inMerge(m_merges, row, col))
            continue;
        const Style s = c.style >= 0 ? m_styles[size_t(c.style)] : Style();
        width = std::max(width, fitWidth(shownText(c.value, s.numberFormat), s.fontName, s.fontSize, s.bold));
    }
    m_cols[col].width = width > 0 ? width : Workbook::defaultColumnWidth();
}

void Worksheet::autoFitColumns(int col1, int col2)
{
    for (int c = col1; c <= col2; ++c)
        autoFitColumn(c);
}

void Worksheet::setRowHeight(int row, double points)
{
    if (row >= 1)
        m_rows[row].height = std::max(0.0, points);
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rows.find(row);
    return it == m_rows.end() ? 0 : it->second.height;
}

void Worksheet::setRowHidden(int row, bool hidden)
{
    if (row >= 1)
        m_rows[row].hidden = hidden;
}

void Worksheet::autoFitRow(int row)
{
    if (row < 1)
        return;
    double height = lineHeightPoints(0);
    for (auto it = m_cells.lower_bound(key(row, 0)); it != m_cells.end() && int(it->first >> 32) == row; ++it) {
        const Cell &c = it->second;
        const int col = int(it->first & 0xffffffffu);
        const Style s = c.style >= 0 ? m_styles[size_t(c.style)] : Style();
        int lines = 1;
        if (c.value.isValid() && !inMerge(m_merges, row, col)) {
            const QString t = shownText(c.value, s.numberFormat);
            if (s.wrap) {
                // Each line of the text, broken again where it is wider than the column.
                const double room = std::max(1.0, columnWidth(col) - 0.3);
                lines = 0;
                for (const QString &line : t.split(QLatin1Char('\n')))
                    lines += std::max(1, int(std::ceil(fitWidth(line, s.fontName, s.fontSize, s.bold) / room - 1e-9)));
            }
        }
        height = std::max(height, lines * lineHeightPoints(s.fontSize));
    }
    m_rows[row].height = height;
}

// ------------------------------------------------------------------------------- filter, panes, page

void Worksheet::setAutoFilter(const Range &r)
{
    m_hasFilter = true;
    m_filter = r;
}

Range Worksheet::currentRegion(int row, int col) const
{
    Range r(row, col);
    auto filled = [&](int r1, int c1, int r2, int c2) {
        for (int y = std::max(1, r1); y <= r2; ++y)
            for (int x = std::max(1, c1); x <= c2; ++x)
                if (!isEmpty(y, x))
                    return true;
        return false;
    };
    // Grow the block while a neighbouring row or column (corners included) holds a value. Each side
    // grows as far as it goes before the next is looked at, so a long list costs its rows once, not
    // a column's height for every row.
    for (bool grown = true; grown;) {
        grown = false;
        for (; r.row1 > 1 && filled(r.row1 - 1, r.col1 - 1, r.row1 - 1, r.col2 + 1); grown = true)
            --r.row1;
        for (; filled(r.row2 + 1, r.col1 - 1, r.row2 + 1, r.col2 + 1); grown = true)
            ++r.row2;
        for (; r.col1 > 1 && filled(r.row1 - 1, r.col1 - 1, r.row2 + 1, r.col1 - 1); grown = true)
            --r.col1;
        for (; filled(r.row1 - 1, r.col2 + 1, r.row2 + 1, r.col2 + 1); grown = true)
            ++r.col2;
    }
    return r;
}

void Worksheet::setAutoFilterAround(int row, int col)
{
    const Range r = currentRegion(row, col);
    if (r.row1 == r.row2 && r.col1 == r.col2 && isEmpty(row, col))
        return;
    setAutoFilter(r);
}

void Worksheet::freezePanes(int row, int col)
{
    m_freezeRow = std::max(0, row);
    m_freezeCol = std::max(0, col);
}

// ------------------------------------------------------------------------------------------ workbook

Workbook::Workbook() { m_sheets.push_back(std::make_unique<Worksheet>(QStringLiteral("Tabelle1"))); }
Workbook::Workbook(Workbook &&) noexcept = default;
Workbook &Workbook::operator=(Workbook &&) noexcept = default;
Workbook::~Workbook() = default;

Worksheet &Workbook::sheet(int index) { return *m_sheets.at(size_t(index - 1)); }
const Worksheet &Workbook::sheet(int index) const { return *m_sheets.at(size_t(index - 1)); }

QString Workbook::defaultFontName() { return QStringLiteral("Calibri"); }
double Workbook::defaultFontSize() { return 11.0; }

} // namespace xlsx
