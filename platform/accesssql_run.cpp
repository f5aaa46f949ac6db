#include "platform/accesssql_run.h"
#include "platform/accesssql_tokens.h"
#include "platform/accessfuncs.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include <sqlite3.h>

namespace accesssql {

namespace {

enum class Shown { Plain, Date, YesNo };

Shown shownByDeclType(const char *decl)
{
    if (!decl)
        return Shown::Plain;
    const QString t = QString::fromUtf8(decl).section('(', 0, 0).trimmed().toUpper();
    if (t == QLatin1String("DATE") || t == QLatin1String("DATETIME") || t == QLatin1String("TIMESTAMP"))
        return Shown::Date;
    return Shown::Plain;
}

// How result column i is shown by the column behind it: Yes/No as zdb::isYesNoColumn decides.
Shown shownByColumn(sqlite3_stmt *st, int i)
{
    const char *decl = sqlite3_column_decltype(st, i);
    if (zdb::isYesNoColumn(QString::fromUtf8(decl), QString::fromUtf8(sqlite3_column_table_name(st, i)),
                           QString::fromUtf8(sqlite3_column_origin_name(st, i))))
        return Shown::YesNo;
    return shownByDeclType(decl);
}

struct Statement {
    sqlite3_stmt *st = nullptr;
    ~Statement() { sqlite3_finalize(st); }
};

ColumnType typeByColumn(sqlite3_stmt *st, int i)
{
    const char *decl = sqlite3_column_decltype(st, i);
    if (!decl)
        return ColumnType::Unknown;
    switch (shownByColumn(st, i)) {
    case Shown::Date:
        return ColumnType::Date;
    case Shown::YesNo:
        return ColumnType::YesNo;
    case Shown::Plain:
        break;
    }
    const QString t = QString::fromUtf8(decl).toUpper();
    for (const char *n : {"INT", "DOUBLE", "REAL", "FLOAT", "NUMERIC", "DECIMAL", "CURRENCY", "SINGLE", "BYTE",
                          "LONG", "SHORT", "COUNTER", "MONEY"})
        if (t.contains(QLatin1String(n)))
            return ColumnType::Number;
    for (const char *n : {"CHAR", "TEXT", "CLOB", "MEMO", "STRING"})
        if (t.contains(QLatin1String(n)))
            return ColumnType::Text;
    return ColumnType::Unknown;
}

// The declared type of a column, named as the statement names it, in a FROM clause: SQLite
// resolves the name (aliases, sub-selects) and reports its declared type.
ColumnType declaredType(sqlite3 *db, const QString &column, const QString &from)
{
    if (!db || from.isEmpty())
        return ColumnType::Missing;
    const QByteArray sql = ("SELECT " + column + " FROM " + from).toUtf8();
    Statement s;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &s.st, nullptr) != SQLITE_OK || !s.st ||
        sqlite3_column_count(s.st) != 1)
        return ColumnType::Missing;
    return typeByColumn(s.st, 0);
}

// How each result column is shown: its declared type, else the type of its select item.
QVector<Shown> shownColumns(sqlite3 *db, sqlite3_stmt *st, const Translation &t)
{
    const int n = sqlite3_column_count(st);
    QVector<Shown> out(n);
    QVector<const Item *> itemOf(n, nullptr);
    // Items before the first star and after the last one stand for one column each.
    int first = 0;
    while (first < t.items.size() && !t.items[first].star)
        ++first;
    if (first == t.items.size() && t.items.size() == n) {
        for (int i = 0; i < n; ++i)
            itemOf[i] = &t.items[i];
    } else if (first < t.items.size()) {
        for (int i = 0; i < first && i < n; ++i)
            itemOf[i] = &t.items[i];
        for (int k = int(t.items.size()) - 1, c = n - 1; k >= 0 && !t.items[k].star && c >= first; --k, --c)
            itemOf[c] = &t.items[k];
    }
    for (int i = 0; i < n; ++i) {
        const char *decl = sqlite3_column_decltype(st, i);
        out[i] = shownByColumn(st, i);
        if (decl || !itemOf[i])
            continue;
        const Item &item = *itemOf[i];
        if (item.date || (!item.dateIf.isEmpty() && declaredType(db, item.dateIf, t.from) == ColumnType::Date))
            out[i] = Shown::Date;
    }
    return out;
}

QString dateText(const QString &stored)
{
    const QDateTime dt = zdb::dateTimeFromStored(stored);
    return dt.isValid() ? vt::dateTimeText(dt) : stored;
}

using GoOn = std::function<bool(RunPhase)>;

// Values longer than this are converted piece by piece, asking between the pieces.
constexpr qint64 ChunkBytes = qint64(1) << 20;

// UTF-8 as text, as QString::fromUtf8 reads it. A long value is decoded in pieces, asking between
// them, so that converting it can be stopped; false when it was. Pieces end before a character's
// first byte, so no character is split; only the first piece drops a byte order mark.
bool utf8Text(const char *data, qint64 size, const GoOn &goOn, QString *out)
{
    if (size <= ChunkBytes) {
        *out = QString::fromUtf8(data, size);
        return true;
    }
    QStringDecoder later(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString s;
    s.reserve(size); // never more characters than bytes
    for (qint64 pos = 0; pos < size;) {
        if (!goOn(RunPhase::Values))
            return false;
        qint64 end = std::min(pos + ChunkBytes, size);
        for (int k = 0; k < 3 && end < size && (uchar(data[end]) & 0xC0) == 0x80; ++k)
            --end;
        const QByteArrayView piece(data + pos, end - pos);
        s += pos == 0 ? QString::fromUtf8(piece) : QString(later.decode(piece));
        pos = end;
    }
    *out = std::move(s);
    return true;
}

enum class Cell { Read, Stopped, TooBig };

// Texts of numbers and of short values met before, shared by their cells: a big list repeats its
// codes, grades and keys many times, and a shared text needs no memory of its own.
class Shared {
public:
    const QString &number(qint64 v)
    {
        Slot &slot = m_numbers[size_t(quint64(v) % Slots)];
        if (!slot.used || slot.key != quint64(v)) {
            slot = {quint64(v), 0, true, QString::number(v)};
        }
        return slot.text;
    }
    // A UTF-8 value of up to 8 bytes, or nullptr when it is longer.
    const QString *shortText(const char *data, int size)
    {
        if (size > 8 || size < 0)
            return nullptr;
        quint64 key = 0;
        std::memcpy(&key, data, size_t(size));
        Slot &slot = m_texts[size_t((key * 0x9E3779B97F4A7C15ull) >> 52) % Slots];
        if (!slot.used || slot.key != key || slot.size != size)
            slot = {key, size, true, QString::fromUtf8(data, size)};
        return &slot.text;
    }

private:
    static constexpr size_t Slots = 4096;
    struct Slot {
        quint64 key = 0;
        int size = 0;
        bool used = false;
        QString text;
    };
    std::vector<Slot> m_numbers = std::vector<Slot>(Slots), m_texts = std::vector<Slot>(Slots);
};

// The cell's text from its value (read while the connection's lock is held); Stopped when the run
// was given up while converting it, TooBig when the engine had no memory left for the value as text.
Cell cellText(sqlite3_value *value, int type, Shown shown, const GoOn &goOn, Shared &shared, QString *out)
{
    switch (type) {
    case SQLITE_NULL:
        *out = QString();
        return Cell::Read;
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_value_int64(value);
        if (shown == Shown::YesNo)
            *out = v != 0 ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
        else
            *out = shared.number(v);
        return Cell::Read;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_value_double(value);
        if (shown == Shown::YesNo)
            *out = v != 0.0 ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
        else
            *out = vt::numberText(v);
        return Cell::Read;
    }
    default: {
        QString s;
        const char *data = reinterpret_cast<const char *>(sqlite3_value_text(value));
        const int size = sqlite3_value_bytes(value);
        if (!data && size > 0)
            return Cell::TooBig;
        if (shown == Shown::Plain && data) {
            if (const QString *kurz = shared.shortText(data, size)) {
                *out = *kurz;
                return Cell::Read;
            }
        }
        if (!utf8Text(data, size, goOn, &s))
            return Cell::Stopped;
        if (shown == Shown::Date)
            *out = dateText(s);
        else if (shown == Shown::YesNo)
            *out = vt::valueText(zdb::yesNo(s));
        else
            *out = std::move(s);
        return Cell::Read;
    }
    }
}

// Memory of one cell text held in a list: the string object and its characters.
// Memory of one cell text as the rows keep it (grid::CellText): the cell, and a block for a long text.
qint64 textBytes(qint64 chars) { return qint64(sizeof(grid::CellText)) + (chars <= 7 ? 0 : 24 + 2 * chars); }

// Asked by the engine between its steps and before each call of a registered function. It also
// ends the run as too big when the engine's memory (sorting, distinct values) and the texts read
// so far together pass the limit: a sort of huge values fills memory before the first row.
struct Progress {
    const GoOn *goOn = nullptr;
    qint64 maxBytes = -1;
    const qint64 *textBytes = nullptr;
    qint64 engineAtStart = 0;
    bool stopped = false;
    bool tooBig = false;
    static int handler(void *p)
    {
        auto *self = static_cast<Progress *>(p);
        if (!self->tooBig && self->maxBytes >= 0)
            self->tooBig = sqlite3_memory_used() - self->engineAtStart + *self->textBytes > self->maxBytes;
        self->stopped = self->stopped || self->tooBig || !(*self->goOn)(RunPhase::Engine);
        return self->stopped ? 1 : 0;
    }
};

// The connection's lock, taken once for the reads of a row's values instead of once for each call.
struct RowLock {
    sqlite3_mutex *m;
    explicit RowLock(sqlite3 *db) : m(sqlite3_db_mutex(db)) { sqlite3_mutex_enter(m); }
    ~RowLock() { sqlite3_mutex_leave(m); }
    RowLock(const RowLock &) = delete;
    RowLock &operator=(const RowLock &) = delete;
};

// Puts back the connection's progress handler, its value limit and the engine's heap limit
// however the read ends.
struct ConnectionGuard {
    sqlite3 *db;
    int oldLength = -1;
    sqlite3_int64 oldHeap = -1;
    ~ConnectionGuard()
    {
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
        if (oldLength >= 0)
            sqlite3_limit(db, SQLITE_LIMIT_LENGTH, oldLength);
        if (oldHeap >= 0)
            sqlite3_hard_heap_limit64(oldHeap);
    }
};

} // namespace

void Interrupt::stop()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped.store(true, std::memory_order_relaxed);
    if (m_db)
        sqlite3_interrupt(m_db);
}

// Names the connection to an interrupt for as long as the engine may run on it: the connection
// is never interrupted after the run has let go of it.
class InterruptTarget {
public:
    InterruptTarget(Interrupt *i, sqlite3 *db) : m_i(i)
    {
        if (!m_i)
            return;
        const std::lock_guard<std::mutex> lock(m_i->m_mutex);
        m_i->m_db = db;
    }
    ~InterruptTarget()
    {
        if (!m_i)
            return;
        const std::lock_guard<std::mutex> lock(m_i->m_mutex);
        m_i->m_db = nullptr;
    }
    InterruptTarget(const InterruptTarget &) = delete;
    InterruptTarget &operator=(const InterruptTarget &) = delete;

private:
    Interrupt *m_i;
};

ColumnTypes columnTypes(zdb::Db &db)
{
    auto known = std::make_shared<QHash<QString, ColumnType>>();
    sqlite3 *h = db.handle();
    return [h, known](const QString &column, const QString &from) {
        const QString key = column + QChar(0) + from;
        const auto it = known->constFind(key);
        if (it != known->constEnd())
            return *it;
        const ColumnType t = declaredType(h, column, from);
        known->insert(key, t);
        return t;
    };
}

NameSpelling nameSpelling(zdb::Db &db)
{
    // Every spelling the file has, and for each folded name the first of them: a name spelled as
    // one of its tables spells it stays as typed (another table may spell it in other capitals).
    struct Names {
        QSet<QString> exact;
        QHash<QString, QString> folded;
        bool read = false;
        void add(const QString &name)
        {
            exact.insert(name);
            const QString key = name.toCaseFolded();
            if (!folded.contains(key))
                folded.insert(key, name);
        }
    };
    auto names = std::make_shared<Names>();
    sqlite3 *h = db.handle();
    return [h, names](const QString &name) {
        if (!names->read && h) {
            names->read = true;
            QStringList tables;
            Statement s;
            if (sqlite3_prepare_v2(h, "SELECT name FROM sqlite_master WHERE type IN ('table', 'view')", -1, &s.st,
                                   nullptr) == SQLITE_OK)
                while (sqlite3_step(s.st) == SQLITE_ROW)
                    tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.st, 0)));
            for (const QString &table : tables) {
                names->add(table);
                Statement c;
                const QByteArray sql = "SELECT name FROM pragma_table_info(" + lex::sqlString(table).toUtf8() + ')';
                if (sqlite3_prepare_v2(h, sql.constData(), -1, &c.st, nullptr) == SQLITE_OK)
                    while (sqlite3_step(c.st) == SQLITE_ROW)
                        names->add(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(c.st, 0))));
            }
        }
        if (names->exact.contains(name))
            return name;
        return names->folded.value(name.toCaseFolded(), name);
    };
}

ReadResult readTexts(zdb::Db &db, const Translation &t, const ReadLimits &limits)
{
    ReadResult out;
    sqlite3 *h = db.handle();
    if (!h)
        throw zdb::DbError(zdb::DbError::NotFound, SQLITE_MISUSE, QStringLiteral("Datenbank ist nicht geöffnet"), t.sql);
    const QByteArray sql = t.sql.toUtf8();
    Statement s;
    const char *tail = nullptr;
    // A fault of the file (busy, unreadable, gone away) keeps its kind; a fault of the text is Other.
    if (sqlite3_prepare_v2(h, sql.constData(), int(sql.size()), &s.st, &tail) != SQLITE_OK || !s.st)
        throw zdb::errorOf(h, sqlite3_errcode(h), t.sql, db.path());
    // One statement only: the translation never gives more, and nothing after it is run.
    if (!QByteArray(tail).trimmed().isEmpty() || !sqlite3_stmt_readonly(s.st))
        throw zdb::DbError(zdb::DbError::Other, SQLITE_MISUSE, QStringLiteral("nur eine Abfrage erlaubt"), t.sql);

    const int n = sqlite3_column_count(s.st);
    for (int i = 0; i < n; ++i)
        out.columns << QString::fromUtf8(sqlite3_column_name(s.st, i));
    const QVector<Shown> shown = shownColumns(h, s.st, t);

    Interrupt *const interrupt = limits.interrupt;
    const GoOn goOn = [interrupt, asked = limits.goOn](RunPhase p) {
        return !(interrupt && interrupt->stopped()) && (!asked || asked(p));
    };
    qint64 bytes = 0; // the texts read so far
    Progress progress{&goOn, limits.maxBytes, &bytes, sqlite3_memory_used()};
    ConnectionGuard guard{h};
    const bool asking = limits.goOn || limits.maxBytes >= 0 || interrupt;
    if (asking)
        sqlite3_progress_handler(h, 1000, &Progress::handler, &progress);
    // Costly function calls ask too: a short statement may make huge values in few steps.
    std::function<bool()> callsGoOn;
    if (asking)
        callsGoOn = [&progress] { return Progress::handler(&progress) == 0; };
    const accessfn::GoOnCheck calls(callsGoOn);
    // Some of the engine's work takes much memory in one step (merging sorted runs of huge
    // values): its memory may grow by the limit at most, and the run then ends as too big. The
    // heap limit is the engine's, for every connection; work elsewhere in the meantime is small.
    if (limits.maxBytes >= 0) {
        guard.oldHeap = sqlite3_hard_heap_limit64(-1);
        const sqlite3_int64 heap = sqlite3_memory_used() + limits.maxBytes;
        sqlite3_hard_heap_limit64(guard.oldHeap > 0 ? std::min(heap, guard.oldHeap) : heap);
    }
    // Set after preparing: the limit is for the values the run makes, not for the statement text.
    if (limits.maxValueBytes >= 0) {
        guard.oldLength = sqlite3_limit(h, SQLITE_LIMIT_LENGTH, -1);
        sqlite3_limit(h, SQLITE_LIMIT_LENGTH, int(std::clamp<qint64>(limits.maxValueBytes, 1, guard.oldLength)));
    }

    // After the guard: the handler and limits are put back only once the engine can no longer be
    // interrupted from outside.
    const InterruptTarget target(interrupt, h);
    Shared shared;
    const auto endAs = [&out](ReadResult::Status status) {
        out.rows.clear();
        out.status = status;
        return out;
    };
    for (;;) {
        if (!goOn(RunPhase::Rows))
            return endAs(ReadResult::Stopped);
        if (limits.maxRows >= 0 && out.rows.size() >= limits.maxRows) {
            // One step more tells whether rows were left; given up there, nothing is shown.
            const int rc = sqlite3_step(s.st);
            if ((rc == SQLITE_INTERRUPT || progress.stopped) && !progress.tooBig)
                return endAs(ReadResult::Stopped);
            if (rc == SQLITE_ROW || rc == SQLITE_TOOBIG || rc == SQLITE_NOMEM || progress.tooBig)
                out.status = ReadResult::Cut;
            break;
        }
        const int rc = sqlite3_step(s.st);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_TOOBIG || rc == SQLITE_NOMEM || progress.tooBig)
            return endAs(ReadResult::TooBig);
        if (rc == SQLITE_INTERRUPT || progress.stopped)
            return endAs(ReadResult::Stopped);
        if (rc != SQLITE_ROW)
            throw zdb::errorOf(h, rc, t.sql, db.path());
        grid::RowTexts row;
        row.reserve(n);
        bytes += 64;
        // The connection's lock held for the whole row: its values are read as the engine holds them.
        const RowLock lock(h);
        for (int i = 0; i < n; ++i) {
            // A value is counted before it is converted: one too big for the limit is never copied.
            sqlite3_value *value = sqlite3_column_value(s.st, i);
            const int type = sqlite3_value_type(value);
            if (limits.maxBytes >= 0 && (type == SQLITE_TEXT || type == SQLITE_BLOB) &&
                bytes + textBytes(sqlite3_value_bytes(value)) > limits.maxBytes)
                return endAs(ReadResult::TooBig);
            QString text;
            switch (cellText(value, type, shown[i], goOn, shared, &text)) {
            case Cell::Stopped:
                return endAs(ReadResult::Stopped);
            case Cell::TooBig:
                return endAs(ReadResult::TooBig);
            case Cell::Read:
                break;
            }
            row.append(text);
            bytes += qint64(sizeof(grid::CellText)) + row.at(row.count() - 1).extraBytes();
        }
        out.rows.append(std::move(row));
        if (limits.maxBytes >= 0 && bytes > limits.maxBytes)
            return endAs(ReadResult::TooBig);
    }
    return out;
}

} // namespace accesssql
