#include "tools/demo/bulkinsert.h"

#include "platform/db.h"

#include <sqlite3.h>
#include <stdexcept>

namespace demo {

namespace {
[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}
} // namespace

BulkInsert::BulkInsert(zdb::Db &db, const QString &table, const QStringList &columns)
    : m_db(db), m_columns(int(columns.size()))
{
    QStringList names, marks;
    for (const QString &c : columns) {
        names << zdb::quoteName(c);
        marks << QStringLiteral("?");
    }
    const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(zdb::quoteName(table), names.join(','), marks.join(','))
                               .toUtf8();
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &m_stmt, nullptr) != SQLITE_OK)
        fail(db.handle(), QString::fromUtf8(sql));
}

BulkInsert::~BulkInsert() { sqlite3_finalize(m_stmt); }

void BulkInsert::add(const QVariantList &values)
{
    sqlite3_reset(m_stmt);
    for (int i = 0; i < m_columns; ++i) {
        const QVariant v = i < values.size() ? zdb::toStored(values[i]) : QVariant();
        int rc;
        if (!v.isValid() || v.isNull())
            rc = sqlite3_bind_null(m_stmt, i + 1);
        else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            rc = sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt ||
                 v.typeId() == QMetaType::ULongLong || v.typeId() == QMetaType::Bool)
            rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
        else {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            fail(m_db.handle(), QStringLiteral("bind"));
    }
    if (sqlite3_step(m_stmt) != SQLITE_DONE)
        fail(m_db.handle(), QStringLiteral("insert"));
    ++m_count;
}

} // namespace demo
