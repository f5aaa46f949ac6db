#pragma once
// WinSV's data file "sd.df1": an SQLite file read through unixODBC, the SQLite ODBC driver
// ("SQLite3") and Qt's ODBC driver, read only. The file is never created or written.
#include "platform/db.h"

#include <QString>
#include <stdexcept>

namespace winsvdb {

class WinsvError : public std::runtime_error {
public:
    enum Kind { NotFound, Busy, DriverMissing, Unreadable };
    WinsvError(Kind k, const QString &path, const QString &detail = {});
    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    QString detail() const { return m_detail; }
    // The German message shown to the user; it names the file.
    QString germanText() const;

private:
    Kind m_kind;
    QString m_path;
    QString m_detail;
};

// "Driver=SQLite3;Database=file:<percent-encoded path>?mode=ro;NoCreat=1;Timeout=<ms>;"
// Blanks, umlauts and ";" in the path are percent-encoded, so they survive both the
// connection-string parser and the URI.
QString connectionString(const QString &path, int timeoutMs);

// One read-only connection, used for one piece of work and released with the object.
class Connection {
public:
    static constexpr int DefaultTimeoutMs = 2000;
    // Opens with the user "Verwalter" and an empty password. Throws WinsvError.
    explicit Connection(const QString &path, int timeoutMs = DefaultTimeoutMs);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Runs a statement and returns its rows: Null as an invalid QVariant, dates as QDate,
    // date-times as QDateTime, bit columns as bool, numbers and texts as the driver gives them.
    // declTypes holds "BIT", "DATE", "DATETIME", "TIME", "INTEGER", "DOUBLE" or "TEXT".
    zdb::Result query(const QString &sql);
    // The same with "?" placeholders bound to params (user and file values never go into the text).
    zdb::Result query(const QString &sql, const QVariantList &params);
    QString path() const { return m_path; }

private:
    QString m_name;
    QString m_path;
};

} // namespace winsvdb
