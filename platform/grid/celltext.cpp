#include "platform/grid/celltext.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace grid {

namespace {

// Short forms, told apart by the lowest bit (a block's address is even): bits 1-3 hold the length
// of a Latin-1 text of 1 to 7 characters in bytes 1-7; a 0 there marks a text of 8 to 14 characters
// of the digit alphabet, its length in bits 4-7 and 4 bits a character from bit 8 on. Each text
// has exactly one form, so two short texts are equal when their 8 bytes are.
constexpr qsizetype Latin1Max = 7;
constexpr qsizetype DigitsMax = 14;
constexpr char16_t Digits[16] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',
                                 u'8', u'9', u',', u'.', u'-', u':', u' ', u'/'};

int digitCode(char16_t u)
{
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    for (int i = 10; i < 16; ++i)
        if (Digits[i] == u)
            return i;
    return -1;
}

struct Block {
    qsizetype size;
    char16_t chars[1];
};

Block *blockOf(quint64 v) { return reinterpret_cast<Block *>(static_cast<uintptr_t>(v)); }

quint64 newBlock(const char16_t *chars, qsizetype size)
{
    void *p = std::malloc(offsetof(Block, chars) + sizeof(char16_t) * size_t(size));
    if (!p)
        throw std::bad_alloc();
    auto *b = static_cast<Block *>(p);
    b->size = size;
    std::memcpy(b->chars, chars, sizeof(char16_t) * size_t(size));
    return static_cast<quint64>(reinterpret_cast<uintptr_t>(b));
}

} // namespace

CellText::CellText(QStringView text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    if (n <= Latin1Max) {
        quint64 v = 1u | (quint64(n) << 1);
        bool latin1 = true;
        for (qsizetype i = 0; i < n && latin1; ++i) {
            const char16_t u = text[i].unicode();
            latin1 = u < 0x100;
            v |= quint64(u & 0xFF) << (8 * (i + 1));
        }
        if (latin1) {
            m_v = v;
            return;
        }
    } else if (n <= DigitsMax) {
        quint64 v = 1u | (quint64(n) << 4);
        bool digits = true;
        for (qsizetype i = 0; i < n && digits; ++i) {
            const int d = digitCode(text[i].unicode());
            digits = d >= 0;
            v |= quint64(d & 15) << (8 + 4 * i);
        }
        if (digits) {
            m_v = v;
            return;
        }
    }
    m_v = newBlock(reinterpret_cast<const char16_t *>(text.utf16()), n);
}

CellText::CellText(const CellText &other)
    : m_v(other.isShort() || !other.m_v ? other.m_v : newBlock(blockOf(other.m_v)->chars, blockOf(other.m_v)->size))
{
}

CellText &CellText::operator=(const CellText &other)
{
    if (this != &other) {
        CellText copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CellText &CellText::operator=(CellText &&other) noexcept
{
    if (this != &other) {
        release();
        m_v = other.m_v;
        other.m_v = 0;
    }
    return *this;
}

void CellText::release()
{
    if (m_v && !isShort())
        std::free(blockOf(m_v));
    m_v = 0;
}

qsizetype CellText::size() const
{
    if (!m_v)
        return 0;
    if (!isShort())
        return blockOf(m_v)->size;
    const qsizetype latin1 = qsizetype((m_v >> 1) & 7u);
    return latin1 ? latin1 : qsizetype((m_v >> 4) & 15u);
}

char16_t CellText::at(qsizetype i) const
{
    if (!isShort())
        return blockOf(m_v)->chars[i];
    if ((m_v >> 1) & 7u)
        return char16_t((m_v >> (8 * (i + 1))) & 0xFF);
    return Digits[(m_v >> (8 + 4 * i)) & 15u];
}

QStringView CellText::longText() const
{
    if (!m_v || isShort())
        return {};
    const Block *b = blockOf(m_v);
    return QStringView(b->chars, b->size);
}

QString CellText::toString() const
{
    if (!m_v)
        return QString();
    if (!isShort())
        return longText().toString();
    const qsizetype n = size();
    QString s(n, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(s.data());
    for (qsizetype i = 0; i < n; ++i)
        d[i] = at(i);
    return s;
}

bool CellText::equals(QStringView text) const
{
    const qsizetype n = size();
    if (text.size() != n)
        return false;
    if (!isShort())
        return n == 0 || longText() == text;
    for (qsizetype i = 0; i < n; ++i)
        if (text[i].unicode() != at(i))
            return false;
    return true;
}

bool CellText::operator==(const CellText &other) const
{
    // A text that fits the 8 bytes is always kept there, so a short and a long one always differ.
    if (isShort() || other.isShort() || !m_v || !other.m_v)
        return m_v == other.m_v;
    return longText() == other.longText();
}

qsizetype CellText::extraBytes() const
{
    // The block and the allocator's own word, rounded as it rounds.
    return !m_v || isShort() ? 0 : qsizetype((offsetof(Block, chars) + 2 * size_t(size()) + 8 + 15) & ~size_t(15));
}

// ------------------------------------------------------------------------------------------ RowTexts
// A cell is a single word that owns its block: cells move by copying their bytes, and a moved-from
// slot is simply forgotten.

namespace {

void moveCells(CellText *to, const CellText *from, size_t n)
{
    std::memmove(static_cast<void *>(to), static_cast<const void *>(from), n * sizeof(CellText));
}

} // namespace

RowTexts &RowTexts::operator=(RowTexts &&other) noexcept
{
    if (this != &other) {
        clear();
        m_b = other.m_b;
        other.m_b = nullptr;
    }
    return *this;
}

RowTexts::RowTexts(const RowTexts &other)
{
    if (!other.m_b)
        return;
    const bool sparse = other.m_b->sparse;
    const uint32_t n = other.m_b->count;
    m_b = static_cast<Head *>(std::malloc(sizeof(Head) + std::max<uint32_t>(n, 1) * (sizeof(CellText) + (sparse ? sizeof(int) : 0))));
    if (!m_b)
        throw std::bad_alloc();
    *m_b = Head{0, std::max<uint32_t>(n, 1), uint32_t(sparse), 0};
    if (sparse)
        std::memcpy(cols(), other.cols(), n * sizeof(int));
    for (; m_b->count < n; ++m_b->count)
        new (cells() + m_b->count) CellText(other.cells()[m_b->count]);
}

RowTexts &RowTexts::operator=(const RowTexts &other)
{
    if (this != &other)
        *this = RowTexts(other);
    return *this;
}

void RowTexts::grow(uint32_t need)
{
    const uint32_t old = m_b ? m_b->capacity : 0;
    if (need <= old)
        return;
    // Rows filled cell by cell grow by half; a row of a query is reserved at its size.
    const uint32_t cap = std::max(need, old + old / 2);
    const bool sparse = m_b && m_b->sparse;
    void *p = std::realloc(m_b, sizeof(Head) + cap * (sizeof(CellText) + (sparse ? sizeof(int) : 0)));
    if (!p)
        throw std::bad_alloc();
    const bool neu = !m_b;
    m_b = static_cast<Head *>(p);
    if (neu)
        *m_b = Head{0, 0, 0, 0};
    if (sparse) // the columns follow the cells
        std::memmove(reinterpret_cast<int *>(cells() + cap), reinterpret_cast<int *>(cells() + old),
                     m_b->count * sizeof(int));
    m_b->capacity = cap;
}

void RowTexts::reserve(int n)
{
    if (n > 0)
        grow(uint32_t(n));
}

void RowTexts::append(QStringView text)
{
    grow(uint32_t(count()) + 1);
    new (cells() + m_b->count) CellText(text);
    ++m_b->count;
}

const CellText *RowTexts::find(int c) const
{
    if (c < 0 || !m_b)
        return nullptr;
    if (!m_b->sparse)
        return uint32_t(c) < m_b->count ? cells() + c : nullptr;
    const int *first = cols(), *last = cols() + m_b->count;
    const int *it = std::lower_bound(first, last, c);
    return it != last && *it == c ? cells() + (it - first) : nullptr;
}

CellText &RowTexts::insertAt(uint32_t i, int c)
{
    grow(m_b ? m_b->count + 1 : 1);
    const uint32_t n = m_b->count;
    moveCells(cells() + i + 1, cells() + i, n - i);
    new (cells() + i) CellText();
    if (m_b->sparse) {
        std::memmove(cols() + i + 1, cols() + i, (n - i) * sizeof(int));
        cols()[i] = c;
    }
    ++m_b->count;
    return cells()[i];
}

void RowTexts::makeSparse()
{
    // Only the written cells stay: the empty ones of a dense row are dropped.
    uint32_t k = 0;
    for (uint32_t i = 0; i < m_b->count; ++i)
        k += cells()[i].isEmpty() ? 0 : 1;
    auto *b = static_cast<Head *>(std::malloc(sizeof(Head) + std::max<uint32_t>(k, 1) * (sizeof(CellText) + sizeof(int))));
    if (!b)
        throw std::bad_alloc();
    *b = Head{k, std::max<uint32_t>(k, 1), 1, 0};
    auto *to = reinterpret_cast<CellText *>(b + 1);
    int *toCols = reinterpret_cast<int *>(to + b->capacity);
    uint32_t j = 0;
    for (uint32_t i = 0; i < m_b->count; ++i)
        if (!cells()[i].isEmpty()) {
            moveCells(to + j, cells() + i, 1);
            toCols[j++] = int(i);
        }
    std::free(m_b); // what was not moved was empty
    m_b = b;
}

CellText &RowTexts::cell(int c)
{
    if (!m_b || !m_b->sparse) {
        const uint32_t n = uint32_t(count());
        if (uint32_t(c) < n)
            return cells()[c];
        // A dense row stays dense while the gap to fill costs less than listing the columns would.
        if (uint32_t(c) - n <= 4 + n / 2) {
            grow(uint32_t(c) + 1);
            for (uint32_t i = n; i <= uint32_t(c); ++i)
                new (cells() + i) CellText();
            m_b->count = uint32_t(c) + 1;
            return cells()[c];
        }
        if (!m_b)
            grow(1);
        makeSparse();
    }
    const int *first = cols(), *last = cols() + m_b->count;
    const int *it = std::lower_bound(first, last, c);
    if (it != last && *it == c)
        return cells()[it - first];
    return insertAt(uint32_t(it - first), c);
}

void RowTexts::erase(int c1, int c2)
{
    c1 = std::max(c1, 0);
    if (!m_b || c1 > c2)
        return;
    uint32_t i = 0, j = 0; // the cells [i, j) go
    if (!m_b->sparse) {
        i = std::min<uint32_t>(uint32_t(c1), m_b->count);
        j = std::min<uint32_t>(uint32_t(c2) + 1, m_b->count);
        if (j < m_b->count) { // a dense row keeps its later columns where they are
            for (uint32_t k = i; k < j; ++k)
                cells()[k] = CellText();
            return;
        }
    } else {
        const int *first = cols(), *last = cols() + m_b->count;
        i = uint32_t(std::lower_bound(first, last, c1) - first);
        j = uint32_t(std::upper_bound(first, last, c2) - first);
        std::memmove(cols() + i, cols() + j, (m_b->count - j) * sizeof(int));
    }
    for (uint32_t k = i; k < j; ++k)
        cells()[k].~CellText();
    moveCells(cells() + i, cells() + j, m_b->count - j);
    m_b->count -= j - i;
    if (m_b->count == 0)
        clear();
}

void RowTexts::compact()
{
    if (!m_b)
        return;
    if (!m_b->sparse) {
        uint32_t written = 0;
        for (uint32_t i = 0; i < m_b->count; ++i)
            written += cells()[i].isEmpty() ? 0 : 1;
        if (written * (sizeof(CellText) + sizeof(int)) < m_b->count * sizeof(CellText)) {
            makeSparse();
            if (written == 0)
                clear();
            return;
        }
    }
    if (m_b->capacity > m_b->count) {
        const bool sparse = m_b->sparse;
        const uint32_t n = m_b->count;
        if (sparse) // the columns move down to follow the fewer cells
            std::memmove(reinterpret_cast<int *>(cells() + n), cols(), n * sizeof(int));
        m_b->capacity = n;
        if (void *p = std::realloc(m_b, sizeof(Head) + n * (sizeof(CellText) + (sparse ? sizeof(int) : 0))))
            m_b = static_cast<Head *>(p);
    }
}

void RowTexts::clear()
{
    if (!m_b)
        return;
    for (uint32_t i = 0; i < m_b->count; ++i)
        cells()[i].~CellText();
    std::free(m_b);
    m_b = nullptr;
}

qsizetype RowTexts::bytes() const
{
    if (!m_b)
        return 0;
    qsizetype n = qsizetype(sizeof(Head) + m_b->capacity * (sizeof(CellText) + (m_b->sparse ? sizeof(int) : 0)));
    for (int i = 0; i < count(); ++i)
        n += at(i).extraBytes();
    return n;
}

// ----------------------------------------------------------------------------------------- TextTable

void TextTable::append(RowTexts &&row)
{
    if (row.count() > 0)
        m_width = std::max(m_width, row.column(row.count() - 1) + 1);
    row.compact();
    m_rows.push_back(std::move(row));
}

void TextTable::append(const QStringList &row)
{
    RowTexts r;
    r.reserve(int(row.size()));
    for (const QString &s : row)
        r.append(s);
    append(std::move(r));
}

QStringList TextTable::operator[](int r) const
{
    QStringList out;
    const RowTexts &row = m_rows[size_t(r)];
    for (int i = 0; i < row.count(); ++i) {
        while (out.size() < row.column(i))
            out.append(QString());
        out.append(row.at(i).toString());
    }
    while (out.size() < m_width)
        out.append(QString());
    return out;
}

QString TextTable::text(int r, int c) const
{
    if (r < 0 || r >= size())
        return QString();
    const CellText *t = m_rows[size_t(r)].find(c);
    return t ? t->toString() : QString();
}

TextTable::operator QVector<QStringList>() const
{
    QVector<QStringList> out;
    out.reserve(size());
    for (int r = 0; r < size(); ++r)
        out.append((*this)[r]);
    return out;
}

bool TextTable::operator==(const QVector<QStringList> &rows) const
{
    if (rows.size() != size())
        return false;
    for (int r = 0; r < size(); ++r)
        if ((*this)[r] != rows[r])
            return false;
    return true;
}

} // namespace grid
