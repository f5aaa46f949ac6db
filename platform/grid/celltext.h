#pragma once
// Compact cell texts. A grid of a whole table holds millions of cells, most of them empty, a
// digit or two, a short code or a number; a QString per cell (24 bytes and a block of its own)
// would cost several times the texts themselves.
//   CellText  one text in 8 bytes: up to 7 Latin-1 characters (grades, codes, "Falsch") or up to 14
//             of digits and number signs (numbers, dates, times) inside the 8 bytes themselves, 4
//             bits a digit; any other text in one block of its own (UTF-16).
//   RowTexts  the texts of one row: dense (column i at index i) while the row is filled from the
//             left, sparse (columns listed) when only a few far-apart columns hold a text.
//   TextTable rows of texts as a query delivers them, which a grid takes over row by row.
// An empty text and a cell never written are the same.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>
#include <cstdint>
#include <utility>
#include <vector>

namespace grid {

class CellText {
public:
    CellText() = default;
    explicit CellText(QStringView text);
    CellText(const CellText &other);
    CellText(CellText &&other) noexcept : m_v(other.m_v) { other.m_v = 0; }
    CellText &operator=(const CellText &other);
    CellText &operator=(CellText &&other) noexcept;
    ~CellText() { release(); }

    bool isEmpty() const { return m_v == 0; }
    qsizetype size() const;
    char16_t at(qsizetype i) const;
    QString toString() const;
    bool equals(QStringView text) const;
    bool operator==(const CellText &other) const;
    // A short text's 8 bytes, which tell it apart from every other short text; 0 for a long one.
    quint64 shortKey() const { return isShort() ? m_v : 0; }
    // A long text's characters, valid until the cell changes; empty for a short one.
    QStringView longText() const;
    // Bytes held beside the 8 bytes of the cell.
    qsizetype extraBytes() const;

private:
    bool isShort() const { return (m_v & 1u) != 0; }
    void release();
    quint64 m_v = 0; // 0 empty; odd: a short text (celltext.cpp); else the address of a block
};

class RowTexts {
public:
    RowTexts() = default;
    RowTexts(RowTexts &&other) noexcept : m_b(other.m_b) { other.m_b = nullptr; }
    RowTexts &operator=(RowTexts &&other) noexcept;
    RowTexts(const RowTexts &other);
    RowTexts &operator=(const RowTexts &other);
    ~RowTexts() { clear(); }

    // The text of column c, or nullptr when none was written.
    const CellText *find(int c) const;
    CellText *find(int c) { return const_cast<CellText *>(std::as_const(*this).find(c)); }
    // The cell of column c, made when missing.
    CellText &cell(int c);
    // Appends the text of the next column to a dense row (the row must hold columns 0..count-1 only).
    void append(QStringView text);
    void reserve(int n);
    // Empties the columns c1..c2.
    void erase(int c1, int c2);
    // Keeps the row in its smaller form without room to spare: a row of mostly empty cells lists
    // its written ones.
    void compact();
    void clear();
    bool isEmpty() const { return count() == 0; }
    // The written columns' texts in column order, empty ones included, with their columns.
    int count() const { return m_b ? int(m_b->count) : 0; }
    int column(int i) const { return m_b->sparse ? cols()[i] : i; }
    const CellText &at(int i) const { return cells()[i]; }
    // Bytes held for the row's texts.
    qsizetype bytes() const;

private:
    // One block: this head, the cells, and for a sparse row their columns.
    struct Head {
        uint32_t count;
        uint32_t capacity;
        uint32_t sparse;
        uint32_t unused;
    };
    CellText *cells() const { return reinterpret_cast<CellText *>(m_b + 1); }
    int *cols() const { return reinterpret_cast<int *>(cells() + m_b->capacity); }
    void grow(uint32_t need);
    // Room for one cell more at index i (the cells from i on move up), empty.
    CellText &insertAt(uint32_t i, int c);
    void makeSparse();
    Head *m_b = nullptr;
};

class TextTable {
public:
    int size() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // Rows are kept compact (RowTexts::compact).
    void append(RowTexts &&row);
    void append(const QStringList &row);
    void clear()
    {
        std::vector<RowTexts>().swap(m_rows);
        m_width = 0;
    }
    // A row's texts as a list of as many columns as the widest row appended.
    QStringList operator[](int r) const;
    QString text(int r, int c) const;
    // Hands a row over (to the grid); the row stays, empty.
    RowTexts take(int r) { return std::move(m_rows[size_t(r)]); }
    bool operator==(const QVector<QStringList> &rows) const;
    // All rows as lists (for comparisons and small results).
    operator QVector<QStringList>() const;
    // The rows as lists, one made at a time.
    class Iterator {
    public:
        Iterator(const TextTable *t, int r) : m_t(t), m_r(r) {}
        QStringList operator*() const { return (*m_t)[m_r]; }
        Iterator &operator++()
        {
            ++m_r;
            return *this;
        }
        bool operator!=(const Iterator &o) const { return m_r != o.m_r; }

    private:
        const TextTable *m_t;
        int m_r;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

private:
    std::vector<RowTexts> m_rows;
    int m_width = 0;
};

} // namespace grid
