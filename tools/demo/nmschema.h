#pragma once
// The outside tables the program reads and writes, declared as data: the grade manager's
// database (current and older layout), the four tables of the own database that must already
// exist, and WinSV's data file sd.df1. The demo generator and every test fixture create their
// files from here, so all of them agree on names and types.
//
// Stored forms (platform/db.h): dates ISO text in DATE columns, Yes/No as 0/1 in BIT columns
// (NOT NULL DEFAULT 0). Text columns of the grade manager and the own database compare
// without regard to case (COLLATE NOCASE), as Access does; no other collation is declared.
#include <QString>
#include <QStringList>
#include <QVector>

namespace zdb { class Db; }

namespace nmschema {

// Older layout: four Schulaufgaben (no sa5/sa6 in Unterricht and Noten); LNW.Spalte runs 0..15.
enum class Layout { Current, Older };

struct Column {
    QString name;
    QString type;          // declared SQLite type: INTEGER, DOUBLE, REAL, DATE, BIT, TEXT, VARCHAR(n)
    bool primaryKey = false;
    bool notNull = false;
    QString defaultValue;  // SQL literal, empty for none
    bool nocase = false;   // COLLATE NOCASE

    QString definition() const; // "\"Name\" TYPE ..." for CREATE TABLE
};

struct Table {
    QString name;
    QVector<Column> columns;

    const Column *column(const QString &name) const; // case-insensitive, nullptr when absent
    QStringList columnNames() const;
    QString createSql() const;
};

struct Index {
    QString name;
    QString table;
    QStringList columns;
    QString createSql() const;
};

// ---- grade manager (nmdaten04.mdb)
// SYS_Settings, Lehrkräfte, Schüler, Klassen, Unterricht, Noten, LNW, Adressen, fehltage,
// Fächer, FächerGym, ZD1, ZD2, Verweise.
QVector<Table> gradeManagerTables(Layout layout = Layout::Current);
// The indexes on Noten.UIndex and LNW.UIndex.
QVector<Index> gradeManagerIndexes();
// Creates every table (and, unless withIndexes is false, the indexes) in an empty database.
void createGradeManager(zdb::Db &db, Layout layout = Layout::Current, bool withIndexes = true);

// The 18 test fields of a course/grade row: sa1..sa6 (sa1..sa4 in the older layout), ka1..ka4, ex1..ex8.
QStringList testFields(Layout layout);
// Highest LNW.Spalte: 17 (current) or 15 (older).
int maxSpalte(Layout layout);

// ---- own database (Zandrel.mdb): the four tables that must exist before the program starts.
// tbl_Noten, tbl_Schüler, tbl_Fachbetreuer, tbl_SQL_LIKE. The other own tables belong to the
// program's schema upgrade (core/schema.h).
QVector<Table> ownPreparedTables();
void createOwnPrepared(zdb::Db &db);

// ---- WinSV (sd.df1): DSchueler, DKlassen, DZeugnis. Every value is stored as text.
QVector<Table> winsvTables();
void createWinSV(zdb::Db &db);
// "Z_01" .. "Z_90"
QStringList zeugnisFields();

// Looks a table up by name (case-insensitive) in a list; nullptr when absent.
const Table *findTable(const QVector<Table> &tables, const QString &name);
// Creates the given tables in db, in one transaction.
void createTables(zdb::Db &db, const QVector<Table> &tables, const QVector<Index> &indexes = {});

} // namespace nmschema
