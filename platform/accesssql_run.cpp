#include "platform/accesssql_run.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QDate>
#include <QHash>
#include <memory>
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
    if (t == QLatin1String("BIT") || t == QLatin1String("YESNO") || t == QLatin1String("BOOLEAN"))
        return Shown::YesNo;
    return Shown::Plain;
}

struct Statement {
    sqlite3_stmt *st = nullptr;
    ~Statement() { sqlite3_finalize(st); }
};

ColumnType typeByDecl(const char *decl)
{
    if (!decl)
        return ColumnType::Unknown;
    switch (shownByDeclType(decl)) {
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
    return typeByDecl(sqlite3_column_decltype(s.st, 0));
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
        out[i] = shownByDeclType(decl);
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

QString cellText(sqlite3_stmt *st, int i, Shown shown)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(st, i);
        if (shown == Shown::YesNo)
            return v != 0 ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
        return QString::number(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(st, i);
        if (shown == Shown::YesNo)
            return v != 0.0 ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
        return vt::numberText(v);
    }
    default: {
        const QString s = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        if (shown == Shown::Date)
            return dateText(s);
        if (shown == Shown::YesNo)
            return vt::valueText(zdb::yesNo(s));
        return s;
    }
    }
}

// Memory of one cell text held in a list: the string object and its characters.
qint64 cellBytes(const QString &s) { return qint64(sizeof(QString)) + (s.isEmpty() ? 0 : 24 + 2 * s.size()); }

struct Progress {
    const std::function<bool()> *goOn = nullptr;
    static int handler(void *p)
    {
        const auto *self = static_cast<Progress *>(p);
        return (*self->goOn)() ? 0 : 1;
    }
};

// Removes the progress handler however the read ends.
struct ProgressGuard {
    sqlite3 *db;
    ~ProgressGuard() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
};

} // namespace

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
        throw zdb::DbError(zdb::kindOfCode(sqlite3_errcode(h)), sqlite3_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)),
                           t.sql, db.path());
    // One statement only: the translation never gives more, and nothing after it is run.
    if (!QByteArray(tail).trimmed().isEmpty() || !sqlite3_stmt_readonly(s.st))
        throw zdb::DbError(zdb::DbError::Other, SQLITE_MISUSE, QStringLiteral("nur eine Abfrage erlaubt"), t.sql);

    const int n = sqlite3_column_count(s.st);
    for (int i = 0; i < n; ++i)
        out.columns << QString::fromUtf8(sqlite3_column_name(s.st, i));
    const QVector<Shown> shown = shownColumns(h, s.st, t);

    Progress progress{&limits.goOn};
    ProgressGuard guard{h};
    if (limits.goOn)
        sqlite3_progress_handler(h, 1000, &Progress::handler, &progress);

    qint64 bytes = 0;
    for (;;) {
        if (limits.maxRows >= 0 && out.rows.size() >= limits.maxRows) {
            if (sqlite3_step(s.st) == SQLITE_ROW)
                out.status = ReadResult::Cut;
            break;
        }
        const int rc = sqlite3_step(s.st);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_INTERRUPT || (rc != SQLITE_ROW && limits.goOn && !limits.goOn())) {
            out.rows.clear();
            out.status = ReadResult::Stopped;
            return out;
        }
        if (rc != SQLITE_ROW)
            throw zdb::DbError(zdb::kindOfCode(rc), rc, QString::fromUtf8(sqlite3_errmsg(h)), t.sql, db.path());
        QStringList row;
        row.reserve(n);
        bytes += 64;
        for (int i = 0; i < n; ++i) {
            row << cellText(s.st, i, shown[i]);
            bytes += cellBytes(row.last());
        }
        out.rows << row;
        if (limits.maxBytes >= 0 && bytes > limits.maxBytes) {
            out.rows.clear();
            out.rows.squeeze();
            out.status = ReadResult::TooBig;
            return out;
        }
        // The handler counts the engine's steps only; converting the rows takes time too.
        if (limits.goOn && (out.rows.size() & 1023) == 0 && !limits.goOn()) {
            out.rows.clear();
            out.status = ReadResult::Stopped;
            return out;
        }
    }
    return out;
}

} // namespace accesssql
