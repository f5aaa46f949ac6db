#pragma once
// Inserts many rows through one prepared statement (the generator writes up to a few hundred
// thousand rows; preparing each one again would dominate). Values go in their stored forms.
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3_stmt;
namespace zdb { class Db; }

namespace demo {

class BulkInsert {
public:
    BulkInsert(zdb::Db &db, const QString &table, const QStringList &columns);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;
    void add(const QVariantList &values);
    int count() const { return m_count; }

private:
    zdb::Db &m_db;
    sqlite3_stmt *m_stmt = nullptr;
    int m_columns = 0;
    int m_count = 0;
};

} // namespace demo
