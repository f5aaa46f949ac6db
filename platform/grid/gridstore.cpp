#include "platform/grid/gridstore.h"

#include <climits>

namespace {

constexpr uint32_t BoldBit = 1u;
constexpr int CheckShift = 1;
constexpr uint32_t CheckMask = 3u << CheckShift;
constexpr int AlignShift = 3;
constexpr uint32_t AlignMask = 15u << AlignShift;

// A Boolean column's text as a check state: empty, "0" and "Falsch"/"False" read as unticked.
int booleanTextState(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("0") || t.compare(QLatin1String("falsch"), Qt::CaseInsensitive) == 0
        || t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return grid::Unchecked;
    return grid::Checked;
}

void applyEdge(grid::BorderEdge &edge, uint32_t color, int width)
{
    if (width < 0)
        return;
    edge.width = width;
    edge.color = width > 0 ? color : 0;
}

// Most rows hold every column, so the entry of column c is first looked for at index c.
template <typename T> auto atColumn(std::vector<T> &cells, int c)
{
    if (c >= 0 && size_t(c) < cells.size() && cells[size_t(c)].col == c)
        return cells.begin() + c;
    return std::lower_bound(cells.begin(), cells.end(), c, [](const T &cell, int col) { return cell.col < col; });
}
template <typename T> auto atColumn(const std::vector<T> &cells, int c)
{
    if (c >= 0 && size_t(c) < cells.size() && cells[size_t(c)].col == c)
        return cells.begin() + c;
    return std::lower_bound(cells.begin(), cells.end(), c, [](const T &cell, int col) { return cell.col < col; });
}

// The entry of column c, inserted when missing; rows are mostly filled from left to right.
template <typename T> T &entry(std::vector<T> &cells, int c)
{
    if (cells.empty() || cells.back().col < c) {
        cells.emplace_back().col = c;
        return cells.back();
    }
    auto it = atColumn(cells, c);
    if (it == cells.end() || it->col != c) {
        it = cells.insert(it, T());
        it->col = c;
    }
    return *it;
}

template <typename T> void eraseColumns(std::vector<T> &cells, int c1, int c2)
{
    auto first = atColumn(cells, c1);
    auto last = first;
    while (last != cells.end() && last->col <= c2)
        ++last;
    cells.erase(first, last);
}

} // namespace

GridStore::GridStore() = default;

// Edits the formats of rows r1..r2. Rows that shared one list before share the edited one after, so
// a colour given to a column of many rows costs one list, not one per row.
template <typename F> void GridStore::editFormats(int r1, int r2, bool create, F edit)
{
    const Formats *before = nullptr; // the list of the row edited last, as it was
    std::shared_ptr<Formats> after;
    bool first = true;
    for (int r = r1; r <= r2; ++r) {
        std::shared_ptr<Formats> &f = m_rows[size_t(r)].formats;
        if (!f && !create)
            continue;
        if (!first && f.get() == before) {
            f = after;
            continue;
        }
        first = false;
        before = f.get();
        if (!f)
            f = std::make_shared<Formats>();
        else if (f.use_count() > 1)
            f = std::make_shared<Formats>(*f);
        edit(*f);
        if (f->empty())
            f.reset();
        after = f;
    }
}

template <typename F> void GridStore::editFormat(int r, int c, F edit)
{
    if (valid(r, c))
        editFormats(r, r, true, [&](Formats &f) { edit(entry(f, c)); });
}

// ---------------------------------------------------------------------------------------------- size

void GridStore::setRows(int n)
{
    ++m_layoutStamp;
    n = std::max(0, n);
    for (int r = n; r < rows(); ++r)
        dropRow(m_rows[size_t(r)]);
    m_rows.resize(size_t(n));
    if (m_mergeRows.size() > size_t(n))
        m_mergeRows.resize(size_t(n));
    clampSelection();
}

void GridStore::setCols(int n)
{
    ++m_layoutStamp;
    n = std::max(0, n);
    if (n < m_cols) {
        for (Row &row : m_rows) {
            row.texts.erase(n, m_cols - 1);
            if (row.data)
                eraseColumns(*row.data, n, m_cols - 1);
            if (!row.borders)
                continue;
            std::vector<BorderRun> &runs = *row.borders;
            while (!runs.empty() && runs.back().c1 >= n)
                runs.pop_back();
            if (!runs.empty()) {
                runs.back().c2 = std::min(runs.back().c2, n - 1);
            } else {
                row.borders.reset();
                --m_borderCount;
            }
        }
        const int old = m_cols;
        editFormats(0, rows() - 1, false, [&](Formats &f) { eraseColumns(f, n, old - 1); });
    }
    m_cols = n;
    m_colProps.resize(size_t(n));
    clampSelection();
}

void GridStore::setFixedRows(int n)
{
    m_fixedRows = std::max(0, n);
    ++m_layoutStamp;
}

void GridStore::setFixedCols(int n)
{
    m_fixedCols = std::max(0, n);
    ++m_layoutStamp;
}

int GridStore::addItem(const QString &item, int row)
{
    ++m_layoutStamp;
    if (row < 0 || row > rows())
        row = rows();
    m_rows.insert(m_rows.begin() + row, Row());
    if (!item.isEmpty()) {
        const QStringList parts = item.split(QLatin1Char('\t'));
        for (int c = 0; c < parts.size() && c < m_cols; ++c)
            setTextMatrix(row, c, parts[c]);
    }
    clampSelection();
    return row;
}

void GridStore::removeItem(int row)
{
    ++m_layoutStamp;
    if (row < 0 || row >= rows())
        return;
    dropRow(m_rows[size_t(row)]);
    m_rows.erase(m_rows.begin() + row);
    clampSelection();
}

void GridStore::dropRow(Row &row)
{
    m_borderCount -= int(bool(row.borders));
    row.borders.reset();
}

bool GridStore::clampRange(int &r1, int &c1, int &r2, int &c2) const
{
    if (r1 > r2)
        std::swap(r1, r2);
    if (c1 > c2)
        std::swap(c1, c2);
    r1 = std::max(r1, 0);
    c1 = std::max(c1, 0);
    r2 = std::min(r2, rows() - 1);
    c2 = std::min(c2, m_cols - 1);
    return r1 <= r2 && c1 <= c2;
}

void GridStore::clear(grid::ClearWhere where, grid::ClearWhat what)
{
    if (rows() == 0 || m_cols == 0)
        return;
    if (where == grid::ClearSelection)
        clearRange(selTop(), selLeft(), selBottom(), selRight(), what);
    else
        clearRange(0, 0, rows() - 1, m_cols - 1, what);
}

void GridStore::clearRange(int r1, int c1, int r2, int c2, grid::ClearWhat what)
{
    if (!clampRange(r1, c1, r2, c2))
        return;
    // A cleared cell reads as one never written.
    if (what != grid::ClearFormatting)
        for (int r = r1; r <= r2; ++r) {
            m_rows[size_t(r)].texts.erase(c1, c2);
            if (m_rows[size_t(r)].data)
                eraseColumns(*m_rows[size_t(r)].data, c1, c2);
        }
    if (what != grid::ClearText) {
        editFormats(r1, r2, false, [&](Formats &f) { eraseColumns(f, c1, c2); });
        for (int r = r1; r <= r2; ++r)
            if (m_rows[size_t(r)].borders)
                editBorders(m_rows[size_t(r)], c1, c2, [](grid::CellBorders &b) { b = grid::CellBorders(); });
    }
}

// --------------------------------------------------------------------------------------------- cells

const grid::CellText *GridStore::textPtr(int r, int c) const
{
    return valid(r, c) ? m_rows[size_t(r)].texts.find(c) : nullptr;
}

const GridStore::FormatCell *GridStore::formatPtr(int r, int c) const
{
    if (!valid(r, c) || !m_rows[size_t(r)].formats)
        return nullptr;
    const Formats &f = *m_rows[size_t(r)].formats;
    auto it = atColumn(f, c);
    return it != f.end() && it->col == c ? &*it : nullptr;
}

QString GridStore::textMatrix(int r, int c) const
{
    const grid::CellText *cell = textPtr(r, c);
    return cell ? cell->toString() : QString();
}

const grid::CellText &GridStore::cellText(int r, int c) const
{
    static const grid::CellText leer;
    const grid::CellText *cell = textPtr(r, c);
    return cell ? *cell : leer;
}

void GridStore::setTextMatrix(int r, int c, const QString &text)
{
    if (!valid(r, c))
        return;
    grid::RowTexts &texts = m_rows[size_t(r)].texts;
    // An empty text needs no cell (a cell never written reads empty too).
    if (text.isEmpty()) {
        if (grid::CellText *cell = texts.find(c))
            *cell = grid::CellText();
        return;
    }
    texts.cell(c) = grid::CellText(text);
}

void GridStore::setTextMatrix(int r, int c, QString &&text) { setTextMatrix(r, c, static_cast<const QString &>(text)); }

void GridStore::setRowTexts(int r, const QStringList &texts)
{
    if (r < 0 || r >= rows())
        return;
    const int n = std::min(int(texts.size()), m_cols);
    grid::RowTexts &cells = m_rows[size_t(r)].texts;
    if (!cells.isEmpty()) {
        for (int c = 0; c < n; ++c)
            setTextMatrix(r, c, texts[c]);
        return;
    }
    // An empty row gets its cells at once.
    cells.reserve(n);
    for (int c = 0; c < n; ++c)
        cells.append(texts[c]);
}

void GridStore::setRowTexts(int r, grid::RowTexts &&texts)
{
    if (r < 0 || r >= rows())
        return;
    texts.erase(m_cols, INT_MAX);
    m_rows[size_t(r)].texts = std::move(texts);
}

bool GridStore::setTextChanged(int r, int c, const QString &text)
{
    if (!valid(r, c))
        return false;
    const grid::CellText *old = textPtr(r, c);
    if (old ? old->equals(text) : text.isEmpty())
        return false;
    setTextMatrix(r, c, text);
    return true;
}

QVariant GridStore::cellData(int r, int c) const
{
    if (!valid(r, c) || !m_rows[size_t(r)].data)
        return QVariant();
    const std::vector<DataCell> &data = *m_rows[size_t(r)].data;
    auto it = atColumn(data, c);
    return it != data.end() && it->col == c ? it->data : QVariant();
}

void GridStore::setCellData(int r, int c, const QVariant &value)
{
    if (!valid(r, c))
        return;
    std::unique_ptr<std::vector<DataCell>> &data = m_rows[size_t(r)].data;
    if (!data)
        data = std::make_unique<std::vector<DataCell>>();
    entry(*data, c).data = value;
}

long GridStore::cellBackColor(int r, int c) const
{
    const FormatCell *cell = formatPtr(r, c);
    return cell ? long(cell->back) : 0;
}

void GridStore::setCellBackColor(int r, int c, long color)
{
    editFormat(r, c, [&](FormatCell &f) { f.back = int32_t(color); });
}

void GridStore::setCellBackColor(int r1, int c1, int r2, int c2, long color)
{
    if (!clampRange(r1, c1, r2, c2))
        return;
    editFormats(r1, r2, true, [&](Formats &f) {
        for (int c = c1; c <= c2; ++c)
            entry(f, c).back = int32_t(color);
    });
}

void GridStore::copyRowFormats(int from, int r1, int r2)
{
    if (from < 0 || from >= rows())
        return;
    const std::shared_ptr<Formats> f = m_rows[size_t(from)].formats;
    for (int r = std::max(r1, 0); r <= r2 && r < rows(); ++r)
        m_rows[size_t(r)].formats = f;
}

long GridStore::cellForeColor(int r, int c) const
{
    const FormatCell *cell = formatPtr(r, c);
    return cell ? long(cell->fore) : 0;
}

void GridStore::setCellForeColor(int r, int c, long color)
{
    editFormat(r, c, [&](FormatCell &f) { f.fore = int32_t(color); });
}

bool GridStore::cellFontBold(int r, int c) const
{
    const FormatCell *cell = formatPtr(r, c);
    return cell && (cell->flags & BoldBit);
}

void GridStore::setCellFontBold(int r, int c, bool bold)
{
    editFormat(r, c, [&](FormatCell &f) { f.flags = uint16_t(bold ? (f.flags | BoldBit) : (f.flags & ~BoldBit)); });
}

int GridStore::cellPicture(int r, int c) const
{
    const FormatCell *cell = formatPtr(r, c);
    return cell ? cell->picture : 0;
}

void GridStore::setCellPicture(int r, int c, int handle)
{
    editFormat(r, c, [&](FormatCell &f) { f.picture = handle; });
}

int GridStore::cellChecked(int r, int c) const
{
    if (!valid(r, c))
        return grid::NoCheckbox;
    if (r >= m_fixedRows && m_colProps[size_t(c)].dataType == grid::TypeBoolean)
        return booleanTextState(textMatrix(r, c));
    const FormatCell *cell = formatPtr(r, c);
    return cell ? int((cell->flags & CheckMask) >> CheckShift) : grid::NoCheckbox;
}

void GridStore::setCellChecked(int r, int c, int state)
{
    if (!valid(r, c) || state < 0 || state > 2)
        return;
    if (r >= m_fixedRows && m_colProps[size_t(c)].dataType == grid::TypeBoolean) {
        setTextMatrix(r, c, state == grid::Checked ? QStringLiteral("1")
                            : state == grid::Unchecked ? QStringLiteral("0") : QString());
        return;
    }
    editFormat(r, c, [&](FormatCell &f) { f.flags = uint16_t((f.flags & ~CheckMask) | (uint32_t(state) << CheckShift)); });
}

int GridStore::cellAlignment(int r, int c) const
{
    const FormatCell *cell = formatPtr(r, c);
    return cell ? int((cell->flags & AlignMask) >> AlignShift) - 1 : -1;
}

void GridStore::setCellAlignment(int r, int c, int alignment)
{
    if (alignment < -1 || alignment > 8)
        alignment = -1;
    editFormat(r, c,
               [&](FormatCell &f) { f.flags = uint16_t((f.flags & ~AlignMask) | (uint32_t(alignment + 1) << AlignShift)); });
}

int GridStore::effectiveAlignment(int r, int c) const
{
    int a = cellAlignment(r, c);
    if (a < 0)
        a = colAlignment(c);
    return a < 0 ? grid::AlignLeftCenter : a;
}

// ------------------------------------------------------------------------------------ columns, rows

int GridStore::colWidth(int c) const
{
    if (c < 0 || c >= m_cols)
        return 0;
    const int w = m_colProps[size_t(c)].width;
    return w < 0 ? m_defaultColWidth : w;
}

void GridStore::setColWidth(int c, int twips)
{
    ++m_layoutStamp;
    if (c >= 0 && c < m_cols)
        m_colProps[size_t(c)].width = std::max(-1, twips);
}

int GridStore::rowHeight(int r) const
{
    if (r < 0 || r >= rows())
        return 0;
    const int h = m_rows[size_t(r)].height;
    return h < 0 ? m_defaultRowHeight : h;
}

void GridStore::setRowHeight(int r, int twips)
{
    ++m_layoutStamp;
    if (r >= 0 && r < rows())
        m_rows[size_t(r)].height = std::max(-1, twips);
}

bool GridStore::colHidden(int c) const { return c >= 0 && c < m_cols && m_colProps[size_t(c)].hidden; }

void GridStore::setColHidden(int c, bool hidden)
{
    ++m_layoutStamp;
    if (c >= 0 && c < m_cols)
        m_colProps[size_t(c)].hidden = hidden;
}

bool GridStore::rowHidden(int r) const { return r >= 0 && r < rows() && m_rows[size_t(r)].hidden; }

void GridStore::setRowHidden(int r, bool hidden)
{
    ++m_layoutStamp;
    if (r >= 0 && r < rows())
        m_rows[size_t(r)].hidden = hidden;
}

int GridStore::colAlignment(int c) const { return c >= 0 && c < m_cols ? m_colProps[size_t(c)].alignment : -1; }

void GridStore::setColAlignment(int c, int alignment)
{
    if (c >= 0 && c < m_cols)
        m_colProps[size_t(c)].alignment = (alignment < -1 || alignment > 8) ? -1 : alignment;
}

int GridStore::colDataType(int c) const { return c >= 0 && c < m_cols ? m_colProps[size_t(c)].dataType : 0; }

void GridStore::setColDataType(int c, int type)
{
    if (c >= 0 && c < m_cols)
        m_colProps[size_t(c)].dataType = type;
}

// ------------------------------------------------------------------------------------------- merging

bool GridStore::mergeRow(int r) const { return r >= 0 && size_t(r) < m_mergeRows.size() && m_mergeRows[size_t(r)]; }

void GridStore::setMergeRow(int r, bool on)
{
    if (r < 0 || r >= rows())
        return;
    if (m_mergeRows.size() <= size_t(r))
        m_mergeRows.resize(size_t(r) + 1, false);
    m_mergeRows[size_t(r)] = on;
}

void GridStore::mergedSpan(int r, int c, int &c1, int &c2) const
{
    c1 = c2 = c;
    if (m_mergeMode == grid::MergeNever || !mergeRow(r) || !valid(r, c))
        return;
    if (m_mergeMode == grid::MergeFixedOnly && r >= m_fixedRows)
        return;
    if (m_mergeMode != grid::MergeFree && m_mergeMode != grid::MergeFixedOnly)
        return;
    const grid::CellText *cell = textPtr(r, c);
    if (!cell || cell->isEmpty())
        return;
    const grid::CellText &text = *cell;
    // A merge never crosses the line between fixed and scrollable columns.
    const int lo = c < m_fixedCols ? 0 : m_fixedCols;
    const int hi = c < m_fixedCols ? m_fixedCols - 1 : m_cols - 1;
    auto sameText = [&](int col) {
        const grid::CellText *other = textPtr(r, col);
        return other && *other == text;
    };
    while (c1 > lo && sameText(c1 - 1))
        --c1;
    while (c2 < hi && sameText(c2 + 1))
        ++c2;
}

// ------------------------------------------------------------------------------------------- borders

void GridStore::cellBorderRange(int r1, int c1, int r2, int c2, long color, int left, int top, int right,
                                int bottom, int vertical, int horizontal)
{
    if (!clampRange(r1, c1, r2, c2))
        return;
    const uint32_t col = uint32_t(color);
    // Per row: the first column, the inner columns and the last column each get one set of edges.
    auto apply = [&](Row &row, int a, int b, int l, int rt, int t, int bt) {
        if (a > b || (l < 0 && rt < 0 && t < 0 && bt < 0))
            return;
        editBorders(row, a, b, [&](grid::CellBorders &e) {
            applyEdge(e.left, col, l);
            applyEdge(e.right, col, rt);
            applyEdge(e.top, col, t);
            applyEdge(e.bottom, col, bt);
        });
    };
    for (int r = r1; r <= r2; ++r) {
        Row &row = m_rows[size_t(r)];
        const int t = r == r1 ? top : horizontal;
        const int b = r == r2 ? bottom : horizontal;
        if (c1 == c2) {
            apply(row, c1, c1, left, right, t, b);
            continue;
        }
        apply(row, c1, c1, left, vertical, t, b);
        apply(row, c1 + 1, c2 - 1, vertical, vertical, t, b);
        apply(row, c2, c2, vertical, right, t, b);
    }
}

// Applies `edit` to the borders of columns [c1, c2] of a row, splitting and joining runs as needed.
template <typename F> void GridStore::editBorders(Row &row, int c1, int c2, F edit)
{
    const bool had = bool(row.borders);
    static const std::vector<BorderRun> keine;
    const std::vector<BorderRun> &runs = had ? *row.borders : keine;
    std::vector<BorderRun> out;
    out.reserve(runs.size() + 3);
    auto put = [&out](int a, int b, const grid::CellBorders &e) {
        if (a > b || !e.any())
            return;
        if (!out.empty() && out.back().c2 + 1 == a && out.back().borders == e)
            out.back().c2 = b;
        else
            out.push_back({a, b, e});
    };
    auto changed = [&edit](grid::CellBorders e) {
        edit(e);
        return e;
    };
    int next = c1; // first column of [c1, c2] not yet edited
    for (const BorderRun &run : runs) {
        if (run.c2 < c1 || run.c1 > c2) {
            if (run.c1 > c2 && next <= c2) {
                put(next, c2, changed(grid::CellBorders()));
                next = c2 + 1;
            }
            put(run.c1, run.c2, run.borders);
            continue;
        }
        put(run.c1, c1 - 1, run.borders);
        put(next, run.c1 - 1, changed(grid::CellBorders()));
        const int a = std::max(run.c1, c1), b = std::min(run.c2, c2);
        put(a, b, changed(run.borders));
        next = b + 1;
        put(c2 + 1, run.c2, run.borders);
    }
    if (next <= c2)
        put(next, c2, changed(grid::CellBorders()));
    if (out.empty())
        row.borders.reset();
    else
        row.borders = std::make_unique<std::vector<BorderRun>>(std::move(out));
    m_borderCount += int(bool(row.borders)) - int(had);
}

grid::CellBorders GridStore::cellBorders(int r, int c) const
{
    if (!valid(r, c) || !m_rows[size_t(r)].borders)
        return grid::CellBorders();
    const std::vector<BorderRun> &runs = *m_rows[size_t(r)].borders;
    auto it = std::lower_bound(runs.begin(), runs.end(), c, [](const BorderRun &run, int col) { return run.c2 < col; });
    return it != runs.end() && it->c1 <= c ? it->borders : grid::CellBorders();
}

// ---------------------------------------------------------------------------------------- selection

void GridStore::clampSelection()
{
    auto clampTo = [](int v, int n) { return n <= 0 ? -1 : std::clamp(v, 0, n - 1); };
    m_row = clampTo(m_row, rows());
    m_rowSel = clampTo(m_rowSel, rows());
    m_col = clampTo(m_col, m_cols);
    m_colSel = clampTo(m_colSel, m_cols);
}

void GridStore::select(int r1, int c1, int r2, int c2)
{
    m_row = r1;
    m_col = c1;
    m_rowSel = r2 < 0 ? r1 : r2;
    m_colSel = c2 < 0 ? c1 : c2;
    clampSelection();
}

void GridStore::setRow(int r)
{
    m_row = m_rowSel = r;
    clampSelection();
}

void GridStore::setCol(int c)
{
    m_col = m_colSel = c;
    clampSelection();
}

void GridStore::setRowSel(int r)
{
    m_rowSel = r;
    clampSelection();
}

void GridStore::setColSel(int c)
{
    m_colSel = c;
    clampSelection();
}

bool GridStore::inSelection(int r, int c) const
{
    return r >= selTop() && r <= selBottom() && c >= selLeft() && c <= selRight() && r >= 0 && c >= 0;
}

bool GridStore::isSelected(int r) const { return r >= 0 && r < rows() && m_rows[size_t(r)].picked; }

void GridStore::setIsSelected(int r, bool on)
{
    if (r >= 0 && r < rows())
        m_rows[size_t(r)].picked = on;
}

int GridStore::selectedRows() const
{
    int n = 0;
    for (const Row &row : m_rows)
        n += row.picked ? 1 : 0;
    return n;
}

int GridStore::selectedRow(int i) const
{
    for (int r = 0; r < rows(); ++r)
        if (m_rows[size_t(r)].picked && i-- == 0)
            return r;
    return -1;
}
