#include "platform/winsvodbc.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace winsvdb {

namespace {

// ODBC SQL type codes as the driver reports them (sql.h, sqlext.h).
enum : int {
    SqlBit = -7, SqlTinyInt = -6, SqlBigInt = -5, SqlInteger = 4, SqlSmallInt = 5,
    SqlNumeric = 2, SqlDecimal = 3, SqlFloat = 6, SqlReal = 7, SqlDouble = 8,
    SqlDate = 9, SqlTime = 10, SqlTimestamp = 11, SqlTypeDate = 91, SqlTypeTime = 92, SqlTypeTimestamp = 93,
};

QString typeName(int odbcType)
{
    switch (odbcType) {
    case SqlBit: return QStringLiteral("BIT");
    case SqlDate: case SqlTypeDate: return QStringLiteral("DATE");
    case SqlTimestamp: case SqlTypeTimestamp: return QStringLiteral("DATETIME");
    case SqlTime: case SqlTypeTime: return QStringLiteral("TIME");
    case SqlTinyInt: case SqlBigInt: case SqlInteger: case SqlSmallInt: return QStringLiteral("INTEGER");
    case SqlNumeric: case SqlDecimal: case SqlFloat: case SqlReal: case SqlDouble: return QStringLiteral("DOUBLE");
    default: return QStringLiteral("TEXT");
    }
}

WinsvError::Kind kindOf(const QSqlError &e)
{
    const QString t = e.databaseText() + QLatin1Char(' ') + e.driverText();
    if (t.contains(QLatin1String("locked"), Qt::CaseInsensitive) || t.contains(QLatin1String("busy"), Qt::CaseInsensitive))
        return WinsvError::Busy;
    if (t.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive)
        || t.contains(QLatin1String("Data source name not found"), Qt::CaseInsensitive))
        return WinsvError::DriverMissing;
    return WinsvError::Unreadable;
}

QString detailOf(const QSqlError &e)
{
    QString d = e.databaseText().trimmed();
    return d.isEmpty() ? e.driverText().trimmed() : d;
}

QAtomicInt s_counter;

} // namespace

WinsvError::WinsvError(Kind k, const QString &path, const QString &detail)
    : std::runtime_error(QString(path + QLatin1String(": ") + detail).toStdString()), m_kind(k), m_path(path), m_detail(detail)
{
}

QString WinsvError::germanText() const
{
    switch (m_kind) {
    case NotFound:
        return QStringLiteral("Die angegebene SD.DF1 - Datei wurde nicht gefunden.");
    case Busy:
        return QStringLiteral("Die SD.DF1 - Datei \"%1\" ist zur Zeit gesperrt und kann nicht gelesen werden.\r"
                              "Bitte versuchen Sie es später noch einmal.").arg(m_path);
    case DriverMissing:
        return QStringLiteral("Die SD.DF1 - Datei \"%1\" kann nicht gelesen werden: der ODBC-Treiber \"SQLite3\" "
                              "ist nicht installiert.").arg(m_path);
    case Unreadable:
        break;
    }
    QString t = QStringLiteral("Die SD.DF1 - Datei \"%1\" kann nicht gelesen werden.").arg(m_path);
    if (!m_detail.isEmpty())
        t += QLatin1Char('\r') + m_detail;
    return t;
}

QString connectionString(const QString &path, int timeoutMs)
{
    const QString abs = QFileInfo(path).absoluteFilePath();
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(abs, QByteArrayLiteral("/")));
    return QStringLiteral("Driver=SQLite3;Database=file:%1?mode=ro;NoCreat=1;Timeout=%2;").arg(encoded).arg(timeoutMs);
}

Connection::Connection(const QString &path, int timeoutMs) : m_path(path)
{
    if (path.trimmed().isEmpty() || !QFileInfo(path).isFile())
        throw WinsvError(WinsvError::NotFound, path);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        throw WinsvError(WinsvError::DriverMissing, path, QStringLiteral("QODBC"));
    m_name = QStringLiteral("winsv-%1").arg(s_counter.fetchAndAddRelaxed(1));
    bool opened = false;
    QSqlError error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
        db.setDatabaseName(connectionString(path, timeoutMs));
        db.setUserName(QStringLiteral("Verwalter"));
        db.setPassword(QString());
        opened = db.open();
        if (!opened)
            error = db.lastError();
    }
    if (!opened) {
        QSqlDatabase::removeDatabase(m_name);
        throw WinsvError(kindOf(error), path, detailOf(error));
    }
}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

zdb::Result Connection::query(const QString &sql) { return query(sql, {}); }

zdb::Result Connection::query(const QString &sql, const QVariantList &params)
{
    zdb::Result result;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = false;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else if (q.prepare(sql)) {
        for (const QVariant &p : params)
            q.addBindValue(p);
        ok = q.exec();
    }
    if (!ok)
        throw WinsvError(kindOf(q.lastError()), m_path, detailOf(q.lastError()));
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    QVector<int> kinds(n);
    for (int i = 0; i < n; ++i) {
        result.columns << rec.fieldName(i);
        result.declTypes << typeName(rec.field(i).typeID());
        kinds[i] = rec.field(i).typeID();
    }
    while (q.next()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i) {
            QVariant v = q.value(i);
            if (v.isNull())
                v = QVariant();
            else if (kinds[i] == SqlBit)
                v = QVariant(v.toLongLong() != 0);
            row.append(v);
        }
        result.rows.append(row);
    }
    if (q.lastError().isValid())
        throw WinsvError(kindOf(q.lastError()), m_path, detailOf(q.lastError()));
    return result;
}

} // namespace winsvdb
