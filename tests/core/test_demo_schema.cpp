// The outside schema as data: both layouts create, every listed table and column exists,
// Yes/No columns default to 0 and no collation but NOCASE lands in a stored schema.
#include "platform/db.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <gtest/gtest.h>

using nmschema::Layout;

namespace {

void expectTablesExist(zdb::Db &db, const QVector<nmschema::Table> &tables)
{
    for (const nmschema::Table &t : tables) {
        ASSERT_TRUE(db.tableExists(t.name)) << t.name.toStdString();
        EXPECT_EQ(db.columnsOf(t.name), t.columnNames()) << t.name.toStdString();
    }
}

void expectOnlyNocase(zdb::Db &db)
{
    zdb::Result r = db.query(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE sql IS NOT NULL"));
    ASSERT_GT(r.rowCount(), 0);
    for (const QVariantList &row : r.rows) {
        QString sql = row[1].toString().toUpper();
        int pos = 0;
        while ((pos = sql.indexOf(QStringLiteral("COLLATE"), pos)) >= 0) {
            pos += 7;
            EXPECT_EQ(sql.mid(pos).trimmed().left(6), QStringLiteral("NOCASE")) << row[0].toString().toStdString();
        }
    }
}

} // namespace

TEST(DemoSchema, GradeManagerCreatesInBothLayouts)
{
    testsupport::Sandbox box;
    for (Layout layout : {Layout::Current, Layout::Older}) {
        zdb::Db db;
        db.create(box.file(layout == Layout::Current ? "cur.mdb" : "old.mdb"));
        nmschema::createGradeManager(db, layout);
        expectTablesExist(db, nmschema::gradeManagerTables(layout));
        const bool current = layout == Layout::Current;
        for (const char *t : {"Unterricht", "Noten"}) {
            EXPECT_EQ(db.columnExists(t, "sa5"), current) << t;
            EXPECT_EQ(db.columnExists(t, "sa6"), current) << t;
            EXPECT_TRUE(db.columnExists(t, "ex8")) << t;
        }
        EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name IN ('Noten','LNW') "
                            "AND name LIKE 'idx%'").toInt(), 2);
        expectOnlyNocase(db);
    }
}

TEST(DemoSchema, TablesTheProgramNamesAreListed)
{
    auto nm = nmschema::gradeManagerTables();
    for (const char *t : {"SYS_Settings", "Lehrkräfte", "Schüler", "Klassen", "Unterricht", "Noten", "LNW",
                          "Adressen", "fehltage", "Fächer", "FächerGym", "ZD1", "ZD2", "Verweise"})
        EXPECT_NE(nmschema::findTable(nm, QString::fromUtf8(t)), nullptr) << t;
    const auto *ad = nmschema::findTable(nm, QStringLiteral("Adressen"));
    ASSERT_NE(ad->column(QStringLiteral("Straße")), nullptr);
    EXPECT_EQ(ad->column(QStringLiteral("Hauptansprechpartner"))->type, QStringLiteral("BIT"));
    EXPECT_TRUE(nmschema::findTable(nm, QStringLiteral("Unterricht"))->column(QStringLiteral("Index"))->primaryKey);
    EXPECT_EQ(nmschema::maxSpalte(Layout::Older), 15);
    EXPECT_EQ(nmschema::testFields(Layout::Older).size(), 16);
    EXPECT_EQ(nmschema::testFields(Layout::Current).size(), 18);
}

TEST(DemoSchema, YesNoColumnsStoreZeroByDefault)
{
    testsupport::Sandbox box;
    zdb::Db db;
    db.create(box.file("nm.mdb"));
    nmschema::createGradeManager(db);
    db.exec(QStringLiteral("INSERT INTO Adressen (SchülerNr) VALUES (1)"));
    zdb::Result r = db.query(QStringLiteral("SELECT Hauptansprechpartner, gilt1 FROM Adressen"));
    EXPECT_EQ(r.value(0, 0).toInt(), 0);
    EXPECT_EQ(r.typedValue(0, 0).typeId(), QMetaType::Bool);
}

TEST(DemoSchema, OwnPreparedAndWinSVCreate)
{
    testsupport::Sandbox box;
    zdb::Db own, sv;
    own.create(box.file("Zandrel.mdb"));
    nmschema::createOwnPrepared(own);
    expectTablesExist(own, nmschema::ownPreparedTables());
    expectOnlyNocase(own);
    sv.create(box.file("sd.df1"));
    nmschema::createWinSV(sv);
    expectTablesExist(sv, nmschema::winsvTables());
    EXPECT_TRUE(sv.columnExists("DZeugnis", "Z_90"));
    EXPECT_TRUE(sv.columnExists("DSchueler", "_SCHUELER_ID"));
}
