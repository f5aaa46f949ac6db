#pragma once
// Thin layer over an SQLite file that stands in for an Access database.
// Every statement is prepared, run to its end and finalised inside one call:
// no statement stays open across user actions.
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace zdb {

using Params = QVariantList;

// Thrown for every failed statement. kind tells the caller whether the file or its place is at
// fault (busy, missing, read-only, damaged, not a database, disk full, an I/O error such as a
// network folder gone away: the user is told and the program goes on) or whether it is an
// unexpected fault of the program (Other).
class DbError : public std::runtime_error {
public:
    enum Kind { Busy, NotFound, ReadOnly, Damaged, NotADatabase, DiskFull, IoError, Other };
    DbError(Kind k, int code, const QString &msg, const QString &sql = {}, const QString &file = {});
    Kind kind() const { return m_kind; }
    int code() const { return m_code; }
    QString message() const { return m_msg; }
    QString sql() const { return m_sql; }
    QString file() const { return m_file; }
    // The German text shown to the user: the file and what is wrong with it, then the
    // technical detail.
    QString germanText() const;

private:
    Kind m_kind;
    int m_code;
    QString m_msg;
    QString m_sql;
    QString m_file;
};

// The rows of one finished query. Values: Null = invalid QVariant, INTEGER = qlonglong,
// REAL = double, TEXT = QString. typedValue() turns stored forms back into the declared
// type (DATE/DATETIME text -> QDate/QDateTime, a Yes/No column (isYesNoColumn) -> bool).
struct Result {
    QStringList columns;
    QStringList declTypes; // upper-cased declared type of each column ("" for expressions)
    QVector<bool> yesNoColumns; // each column is a Yes/No column of its table (isYesNoColumn)
    QVector<QVariantList> rows;

    int rowCount() const { return rows.size(); }
    int columnCount() const { return columns.size(); }
    int columnIndex(const QString &name) const; // case-insensitive, -1 when absent
    const QVariant &value(int row, int col) const { return rows[row][col]; }
    QVariant value(int row, const QString &col) const;
    QVariant typedValue(int row, int col) const;
    bool isEmpty() const { return rows.isEmpty(); }
};

// One row of Db::forEachRow, read column by column in its stored type, so that a big read
// builds no QVariant per value. Valid only inside the row handler.
class Row {
public:
    enum Type { Integer = 1, Real = 2, Text = 3, Blob = 4, Null = 5 }; // SQLite's type codes
    explicit Row(void *stmt) : m_st(stmt) {}
    int columnCount() const;
    Type type(int col) const;
    bool isNull(int col) const { return type(col) == Null; }
    qint64 int64(int col) const;
    // The value as UTF-8 text. A number is converted by SQLite, and type() and value() then see
    // text: read them first.
    QByteArrayView utf8(int col) const;
    QString text(int col) const { return QString::fromUtf8(utf8(col)); }
    QVariant value(int col) const;      // as query() gives it

private:
    void *m_st;
};

class Db {
public:
    enum Mode { ReadWrite, ReadOnly };
    Db() = default;
    ~Db();
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    // Opens an existing file, never creates one. Throws DbError: NotFound when missing, IoError
    // when its place cannot be reached (a network folder gone away), NotADatabase or Damaged when
    // its first page cannot be read as a database.
    void open(const QString &path, Mode mode = ReadWrite, int busyTimeoutMs = 5000);
    // Creates a new file (demo generator and test fixtures only).
    void create(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }
    void setBusyTimeout(int ms);

    // Runs one statement (or, without params, several separated by ';'); returns changed rows.
    int exec(const QString &sql, const Params &params = {});
    Result query(const QString &sql, const Params &params = {}, int maxRows = -1);
    // Streams rows without collecting them; return false from fn to stop.
    void forEach(const QString &sql, const Params &params,
                 const std::function<bool(const QVariantList &row)> &fn);
    // The same with typed access to the columns.
    void forEachRow(const QString &sql, const Params &params, const std::function<bool(const Row &row)> &fn);
    // First column of the first row, Null when there is none.
    QVariant scalar(const QString &sql, const Params &params = {});
    qint64 lastInsertId() const;

    bool tableExists(const QString &table);
    QStringList columnsOf(const QString &table); // declared order
    bool columnExists(const QString &table, const QString &column);

    // Write transactions take the write lock at once (BEGIN IMMEDIATE), so a
    // look-up-then-write pass never loses to another workstation.
    void beginImmediate();
    void commit();
    void rollback();
    bool inTransaction() const;

private:
    void prepareAndRun(const QString &sql, const Params &params,
                       const std::function<bool(void *stmt)> &onRow, int *changes);
    [[noreturn]] void fail(int rc, const QString &sql = {});
    bool nurFreigabeGescheitert(sqlite3_stmt *st, bool eigeneTransaktion) const;
    void verbindungEinrichten(int busyTimeoutMs);
    void seitenVerwerfen();

    sqlite3 *m_db = nullptr;
    // A read failed: the pages read from the file since may hold the zeros of a short read.
    bool m_seitenVerdaechtig = false;
    QString m_path;
};

// Commits on commit(), rolls back when it goes out of scope without one.
class WriteTransaction {
public:
    explicit WriteTransaction(Db &db) : m_db(db) { m_db.beginImmediate(); }
    ~WriteTransaction();
    void commit();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

private:
    Db &m_db;
    bool m_done = false;
};

// Stored forms of values.
QString isoDate(const QDate &d);
QString isoDateTime(const QDateTime &dt);
QVariant toStored(const QVariant &v); // QDate/QDateTime -> ISO text, bool -> 0/1, others as they are
QDate dateFromStored(const QVariant &v);         // invalid when not a date
QDateTime dateTimeFromStored(const QVariant &v); // date only gives midnight
bool yesNo(const QVariant &v);                   // any non-zero is true
// Whether a column holds Yes/No values: the one decision that reading, comparing, showing and
// writing use. Yes/No is a column declared BIT, BOOL, BOOLEAN, YESNO or LOGICAL, and a Yes/No column
// of the grade manager or of the own database whatever its declared type: a file converted from
// Access declares these INTEGER and holds 0/1 or -1/0. table and column are the column's own names
// (not an alias); empty for a value that is no column.
bool isYesNoColumn(const QString &declType, const QString &table = {}, const QString &column = {});
// The value a Yes/No column stores for Yes: -1 where the column already holds -1 (as Access and some
// converters write it), else 1.
qint64 storedYes(Db &db, const QString &table, const QString &column);
// An SQL expression that is 1 where yesNo reads `expr` as true, else 0 ("Falsch", an empty text and
// Null are No): through the registered IIf, which reads its condition with yesNo.
QString yesNoSql(const QString &expr);

// The kind of fault an SQLite result code stands for (Other for a fault of the statement).
DbError::Kind kindOfCode(int rc);
// The error for a failed call on connection `db` of `file`: only a file that is damaged is called
// damaged, not one whose read failed; a missing file whose folder cannot be reached is an IoError.
DbError errorOf(sqlite3 *db, int rc, const QString &sql, const QString &file);

// Quotes a name for SQL ("Index" -> "[Index]"-free form "\"Index\"").
QString quoteName(const QString &name);

} // namespace zdb
