// Sorting, copying and pasting of the cell store.
#include "platform/grid/gridstore.h"
#include "platform/accessfuncs.h"

#include <numeric>

namespace {

// A text that reads wholly as a number (blanks around it, "." or "," as decimal sign).
bool wholeNumber(const QString &text, double &value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int digits = 0, seps = 0;
    for (int i = 0; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch.isDigit() && ch.unicode() < 128)
            ++digits;
        else if (ch == QLatin1Char(',') || ch == QLatin1Char('.'))
            ++seps;
        else if ((ch == QLatin1Char('-') || ch == QLatin1Char('+')) && i == 0)
            continue;
        else
            return false;
    }
    if (digits == 0 || seps > 1)
        return false;
    bool ok = false;
    value = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok;
}

// One key cell, prepared once per sort: empty first, then numbers by value, then texts.
struct KeyCell {
    int kind = 0; // 0 empty, 1 number, 2 text
    double number = 0;
    QString text;
};

KeyCell makeKey(const QString &s, bool generic)
{
    KeyCell k;
    if (s.isEmpty())
        return k;
    if (generic && wholeNumber(s, k.number)) {
        k.kind = 1;
        return k;
    }
    k.kind = 2;
    k.text = s;
    return k;
}

int compareKeys(const KeyCell &a, const KeyCell &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (a.kind == 1)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    if (a.kind == 2) // the one German order: case only parts otherwise equal texts
        return accessfn::germanCompare(a.text, b.text);
    return 0;
}

} // namespace

int GridStore::compareGeneric(const QString &a, const QString &b)
{
    return compareKeys(makeKey(a, true), makeKey(b, true));
}

int GridStore::compareString(const QString &a, const QString &b)
{
    return compareKeys(makeKey(a, false), makeKey(b, false));
}

void GridStore::sort(int order)
{
    if (order != grid::SortGenericAscending && order != grid::SortStringAscending)
        return;
    if (rows() == 0 || m_cols == 0 || m_row < 0 || m_col < 0)
        return;
    int r1 = selTop(), r2 = selBottom();
    if (r1 == r2) {
        r1 = m_fixedRows;
        r2 = rows() - 1;
    }
    r1 = std::max(r1, m_fixedRows);
    if (r2 <= r1)
        return;
    const int c1 = selLeft(), c2 = selRight();
    const int n = r2 - r1 + 1, k = c2 - c1 + 1;
    const bool generic = order == grid::SortGenericAscending;

    std::vector<KeyCell> keys;
    keys.reserve(size_t(n) * size_t(k));
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            keys.push_back(makeKey(textMatrix(r, c), generic));

    std::vector<int> idx(static_cast<size_t>(n));
    std::iota(idx.begin(), idx.end(), 0);
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
        for (int j = 0; j < k; ++j) {
            const int cmp = compareKeys(keys[size_t(a) * size_t(k) + size_t(j)], keys[size_t(b) * size_t(k) + size_t(j)]);
            if (cmp != 0)
                return cmp < 0;
        }
        return false;
    });

    std::vector<Row> moved;
    moved.reserve(size_t(n));
    for (int i : idx)
        moved.push_back(std::move(m_rows[size_t(r1 + i)]));
    for (int i = 0; i < n; ++i)
        m_rows[size_t(r1 + i)] = std::move(moved[size_t(i)]);
    ++m_layoutStamp;
}

// --------------------------------------------------------------------------------------- copy, paste

namespace {

void orderRange(int &r1, int &c1, int &r2, int &c2)
{
    if (r1 > r2)
        std::swap(r1, r2);
    if (c1 > c2)
        std::swap(c1, c2);
}

} // namespace

QString GridStore::rangeText(int r1, int c1, int r2, int c2) const
{
    orderRange(r1, c1, r2, c2);
    QString out;
    bool firstRow = true;
    for (int r = std::max(r1, 0); r <= r2 && r < rows(); ++r) {
        if (!rowShown(r))
            continue;
        if (!firstRow)
            out += QLatin1String("\r\n");
        firstRow = false;
        bool firstCol = true;
        for (int c = std::max(c1, 0); c <= c2 && c < m_cols; ++c) {
            if (!colShown(c))
                continue;
            if (!firstCol)
                out += QLatin1Char('\t');
            firstCol = false;
            out += textMatrix(r, c);
        }
    }
    return out;
}

QString GridStore::rangeHtml(int r1, int c1, int r2, int c2) const
{
    orderRange(r1, c1, r2, c2);
    QString out = QStringLiteral("<table>");
    for (int r = std::max(r1, 0); r <= r2 && r < rows(); ++r) {
        if (!rowShown(r))
            continue;
        out += QLatin1String("<tr>");
        for (int c = std::max(c1, 0); c <= c2 && c < m_cols; ++c) {
            if (!colShown(c))
                continue;
            out += QLatin1String("<td>") + textMatrix(r, c).toHtmlEscaped() + QLatin1String("</td>");
        }
        out += QLatin1String("</tr>");
    }
    out += QLatin1String("</table>");
    return out;
}

QList<QStringList> GridStore::splitClipText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    QList<QStringList> out;
    if (t.isEmpty() && text.isEmpty())
        return out;
    for (const QString &line : t.split(QLatin1Char('\n')))
        out.append(line.split(QLatin1Char('\t')));
    return out;
}

void GridStore::pasteText(int r, int c, const QString &text)
{
    if (!valid(r, c))
        return;
    const QList<QStringList> lines = splitClipText(text);
    for (int i = 0; i < lines.size() && r + i < rows(); ++i)
        for (int j = 0; j < lines[i].size() && c + j < m_cols; ++j)
            setTextMatrix(r + i, c + j, lines[i][j]);
}
