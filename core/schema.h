#pragma once
// The own database's schema as data, and the upgrade that brings any file up to it.
// The upgrade looks at the file (table_info), not at a stored version, and runs as one
// write transaction, so several workstations starting at once all end in the same state.
#include "platform/db.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

namespace schema {

struct Column {
    QString name;
    QString type;          // declared type as stored ("varchar(6)", "date", "bit" …)
    QString defaultSql;    // DEFAULT clause value as SQL ("0", "'XS LK'"); empty for none
    bool notNull = false;
    QVariant valueWhenAdded; // written into existing rows when the column is added later
};

struct Table {
    QString name;
    QVector<Column> columns;
    QString primaryKey;              // an autonumber key column, or empty
    QVector<QVariantList> createRows; // rows added when the table is created (in column order)
    QStringList indexes;             // "name(col, col)", a partial one with " WHERE …" after it
};

// The tables the upgrade creates and completes, in creation order.
const QVector<Table> &tables();
const Table *table(const QString &name);
// The tables that must already exist in the file (the upgrade never creates them).
const QStringList &requiredTables();

// The rights columns of the settings row and the value each is created with.
struct RightsColumn {
    QString column;
    QString creationValue;
};
const QVector<RightsColumn> &rightsColumns();

// A required table is missing: the German text names it and the file.
class MissingTable : public std::runtime_error {
public:
    MissingTable(const QString &table, const QString &germanText);
    QString table() const { return m_table; }
    QString germanText() const { return m_text; }

private:
    QString m_table, m_text;
};

// Checks the required tables, creates missing tables and columns, rebuilds a table whose key
// column is not its key (rows kept), creates the indexes, adds the default rows and the settings
// row, and deletes the class-has-reported marks that are not from `today`. All in one transaction.
// Throws MissingTable, or zdb::DbError when the file is busy or unwritable (nothing changed then).
void DatenbankAktualisieren(zdb::Db &db, const QDate &today = QDate::currentDate());

// The CREATE TABLE statement of a declared table (also used by test fixtures).
QString createSql(const Table &t);

} // namespace schema
