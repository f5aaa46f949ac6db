#include "core/schema.h"
#include "ownfixture.h"
#include "support/testsupport.h"

#include <QFileInfo>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using corefixture::createPreparedOwnDb;
using corefixture::schemaDump;

namespace {

void createFreshSchema(const testsupport::Sandbox &sb)
{
    const QString p = sb.file("frisch.mdb");
    createPreparedOwnDb(p);
    zdb::Db db;
    db.open(p);
    schema::DatenbankAktualisieren(db);
}

// Two workstations start on the file at the same moment, each running the upgrade and then
// `danach`; returns how many of them succeeded.
int zweiStartsZugleich(const QString &p, const std::function<void(zdb::Db &)> &danach = {})
{
    std::atomic<int> ok{0};
    std::atomic<bool> go{false};
    auto run = [&] {
        zdb::Db db;
        db.open(p);
        while (!go)
            std::this_thread::yield();
        try {
            schema::DatenbankAktualisieren(db);
            if (danach)
                danach(db);
            ++ok;
        } catch (const std::exception &e) {
            ADD_FAILURE() << e.what();
        }
    };
    std::thread a(run), b(run);
    go = true;
    a.join();
    b.join();
    return ok.load();
}

} // namespace

TEST(SchemaUpgrade, FileWithOnlyThePreparedTablesGetsEveryTableAndTheDefaultRows)
{
    testsupport::Sandbox sb;
    createPreparedOwnDb(sb.file("Zandrel.mdb"));
    zdb::Db db;
    db.open(sb.file("Zandrel.mdb"));
    schema::DatenbankAktualisieren(db);

    for (const schema::Table &t : schema::tables())
        for (const schema::Column &c : t.columns)
            EXPECT_TRUE(db.columnExists(t.name, c.name)) << qPrintable(t.name + "." + c.name);

    zdb::Result r = db.query("SELECT kurz, lang, farbe, sort, fuer_Schueler, fuer_Lehrer FROM tbl_Fehlgrund ORDER BY sort");
    ASSERT_EQ(r.rowCount(), 6);
    EXPECT_EQ(r.value(3, 1).toString(), QString("Bus verspätet"));
    EXPECT_EQ(r.value(5, 0).toString(), QString("un"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.value(i, 2).toLongLong(), 0xFF0000);
        EXPECT_EQ(r.value(i, 3).toInt(), (i + 1) * 100);
        EXPECT_TRUE(zdb::yesNo(r.value(i, 4)));
        EXPECT_TRUE(zdb::yesNo(r.value(i, 5)));
    }

    zdb::Result s = db.query("SELECT * FROM tbl_Einstellungen");
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.value(0, "mnu_Fehltage").toString(), QString("XS LK"));
    EXPECT_EQ(s.value(0, "mnu_Kalender").toString(), QString("XS LK"));
    EXPECT_EQ(s.value(0, "mnu_Leistungsnachweise").toString(), QString("XS LK"));
    EXPECT_EQ(s.value(0, "mnu_Listen").toString(), QString("XS"));
    EXPECT_EQ(s.value(0, "mnu_Datenabgleich").toString(), QString("XS"));
    EXPECT_EQ(s.value(0, "mnu_Unterricht").toString(), QString("XS"));
    // The calendar stays locked for teachers until the administrator saves its settings.
    EXPECT_TRUE(s.value(0, "KalenderGesperrt").isNull());
    EXPECT_TRUE(s.value(0, "KalenderErsterTag").isNull());
}

TEST(SchemaUpgrade, OlderSchemaIsCompletedKeepingRowsAndValues)
{
    testsupport::Sandbox sb;
    createFreshSchema(sb);

    const QString p = sb.file("alt.mdb");
    createPreparedOwnDb(p);
    zdb::Db db;
    db.open(p);
    db.exec("CREATE TABLE tbl_Fehltage (S_Id varchar(6), Fehltag date, Grund char(2), s01 char(2), s02 char(2), "
            "s03 char(2), s04 char(2), s05 char(2), s06 char(2), s07 char(2), s08 char(2), s09 char(2), s10 char(2), "
            "Bemerkung varchar(50), Eintrag date, Edit date);"
            "INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund) VALUES ('1234', '2024-03-04', 'kr');"
            "CREATE TABLE tbl_Fehlgrund (kurz char(2), lang char(50), farbe long, sort integer);"
            "INSERT INTO tbl_Fehlgrund VALUES ('kr', 'krank', 255, 10);"
            "INSERT INTO tbl_Fehlgrund VALUES ('zz', 'Zahnarzt', 255, 20);"
            "CREATE TABLE tbl_Einstellungen (mnu_Fehltage varchar(20), Zeugnisart char(1));"
            "INSERT INTO tbl_Einstellungen VALUES ('XS', 'Z');");
    schema::DatenbankAktualisieren(db);

    EXPECT_EQ(db.scalar("SELECT Grund FROM tbl_Fehltage WHERE S_Id = '1234'").toString(), QString("kr"));
    EXPECT_EQ(db.scalar("SELECT entschuldigt FROM tbl_Fehltage").toInt(), 0);
    // An existing reasons table keeps its rows and gets no default reasons; its rows serve both groups.
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Fehlgrund").toInt(), 2);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Fehlgrund WHERE fuer_Schueler = 1 AND fuer_Lehrer = 1").toInt(), 2);
    zdb::Result s = db.query("SELECT * FROM tbl_Einstellungen");
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.value(0, "mnu_Fehltage").toString(), QString("XS"));
    EXPECT_EQ(s.value(0, "Zeugnisart").toString(), QString("Z"));
    EXPECT_EQ(s.value(0, "mnu_Kalender").toString(), QString("XS LK"));
    EXPECT_EQ(s.value(0, "mnu_Unterricht").toString(), QString("XS"));

    // Same columns as a fresh file, apart from the declared order of the older tables.
    auto sortedColumns = [](zdb::Db &d, const QString &t) {
        QStringList c = d.columnsOf(t);
        c.sort(Qt::CaseInsensitive);
        return c;
    };
    zdb::Db f;
    f.open(sb.file("frisch.mdb"));
    for (const schema::Table &t : schema::tables())
        EXPECT_EQ(sortedColumns(db, t.name), sortedColumns(f, t.name)) << qPrintable(t.name);
}

TEST(SchemaUpgrade, ColumnsSpelledInAnotherCaseAreTakenAsPresent)
{
    // Access names columns without regard to case: an older file, or one another program wrote,
    // may spell them differently. None is added twice, and their values stay.
    testsupport::Sandbox sb;
    createPreparedOwnDb(sb.file("alt.mdb"));
    zdb::Db db;
    db.open(sb.file("alt.mdb"));
    db.exec("CREATE TABLE tbl_Fehltage (s_id varchar(6), FEHLTAG date, Grund char(2), s01 char(2), s02 char(2), "
            "s03 char(2), s04 char(2), s05 char(2), s06 char(2), s07 char(2), s08 char(2), s09 char(2), S10 char(2), "
            "bemerkung varchar(50), Eintrag date, EDIT date, Entschuldigt bit, ZAEHLT char(3));"
            "INSERT INTO tbl_Fehltage (s_id, FEHLTAG, Grund, Entschuldigt, ZAEHLT) "
            "VALUES ('1234', '2024-03-04', 'kr', 1, '0,5');"
            "CREATE TABLE tbl_Fehlgrund (KURZ char(2), Lang char(50), Farbe long, SORT integer, "
            "Fuer_Schueler bit, FUER_LEHRER bit);"
            "INSERT INTO tbl_Fehlgrund VALUES ('kr', 'krank', 255, 10, 0, 1);"
            "CREATE TABLE tbl_Einstellungen (MNU_FEHLTAGE varchar(20), kalendereinfaerbenfarbe int, html_l char(255));"
            "INSERT INTO tbl_Einstellungen VALUES ('XS', 4259584, '/plaene/l.html');");
    ASSERT_NO_THROW(schema::DatenbankAktualisieren(db));

    for (const schema::Table &t : schema::tables())
        EXPECT_EQ(db.columnsOf(t.name).size(), t.columns.size()) << qPrintable(t.name);
    EXPECT_EQ(db.scalar("SELECT Entschuldigt || '/' || ZAEHLT FROM tbl_Fehltage").toString(), QString("1/0,5"));
    // Present, they keep their values (added, both would be set to Yes).
    EXPECT_EQ(db.scalar("SELECT Fuer_Schueler || '/' || FUER_LEHRER FROM tbl_Fehlgrund").toString(), QString("0/1"));
    EXPECT_EQ(db.scalar("SELECT kalendereinfaerbenfarbe || ' ' || html_l FROM tbl_Einstellungen").toString(),
              QString("4259584 /plaene/l.html"));
}

TEST(SchemaUpgrade, SecondRunChangesNothing)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    createPreparedOwnDb(p);
    zdb::Db db;
    db.open(p);
    schema::DatenbankAktualisieren(db);
    const QString first = schemaDump(db);
    db.exec("UPDATE tbl_Einstellungen SET mnu_Listen = 'XS LK'");
    schema::DatenbankAktualisieren(db);
    EXPECT_EQ(schemaDump(db), first);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Fehlgrund").toInt(), 6);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Einstellungen").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT mnu_Listen FROM tbl_Einstellungen").toString(), QString("XS LK"));
}

TEST(SchemaUpgrade, TwoWorkstationsStartingAtOnceBothSucceed)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    for (int round = 0; round < 5; ++round) {
        QFile::remove(p);
        createPreparedOwnDb(p);
        EXPECT_EQ(zweiStartsZugleich(p), 2);
        zdb::Db db;
        db.open(p);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Fehlgrund").toInt(), 6);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Einstellungen").toInt(), 1);
    }
}

TEST(SchemaUpgrade, KeepsOnlyTodaysCompleteClassReports)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    createPreparedOwnDb(p);
    zdb::Db db;
    db.open(p);
    schema::DatenbankAktualisieren(db, QDate(2024, 3, 4));
    db.exec("INSERT INTO tbl_KlasseGemeldet VALUES ('5a', '2024-03-05', '07:55');"
            "INSERT INTO tbl_KlasseGemeldet VALUES ('5b', '2024-03-05 00:00:00', '08:01');"
            "INSERT INTO tbl_KlasseGemeldet VALUES ('5c', '2024-03-04', '07:50');"
            "INSERT INTO tbl_KlasseGemeldet VALUES ('5d', NULL, '07:50');"
            "INSERT INTO tbl_KlasseGemeldet VALUES ('5e', '2024-03-05', NULL);"
            "INSERT INTO tbl_KlasseGemeldet VALUES ('6a', '2024-03-05', '');");
    schema::DatenbankAktualisieren(db, QDate(2024, 3, 5));
    zdb::Result r = db.query("SELECT klasse FROM tbl_KlasseGemeldet ORDER BY klasse");
    ASSERT_EQ(r.rowCount(), 2);
    EXPECT_EQ(r.value(0, 0).toString(), QString("5a"));
    EXPECT_EQ(r.value(1, 0).toString(), QString("5b"));
}

TEST(SchemaUpgrade, BusyFileGivesBusyErrorAndLeavesTheFileUntouched)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    createPreparedOwnDb(p);
    zdb::Db holder;
    holder.open(p);
    holder.beginImmediate();
    zdb::Db db;
    db.open(p, zdb::Db::ReadWrite, 200);
    try {
        schema::DatenbankAktualisieren(db);
        FAIL() << "no error";
    } catch (const zdb::DbError &e) {
        EXPECT_EQ(e.kind(), zdb::DbError::Busy);
    }
    holder.rollback();
    EXPECT_FALSE(db.tableExists("tbl_Fehltage"));
    EXPECT_FALSE(db.inTransaction());
}

namespace {

// tbl_Termin as a file converted from Access holds it: the AutoNumber a plain INTEGER without a key,
// days with their midnight, Yes/No as INTEGER, text as varchar, no index; with a column of the
// school's own. Ids: 1, 2, 2 again, none, "x", 7, then 8 .. from rows 7 on; row 4 has no Yes/No value.
void convertedExamTable(zdb::Db &db, int extraRows = 0)
{
    db.exec("CREATE TABLE `tbl_Termin` (`ID` INTEGER, `Datum` DateTime, `Klasse` varchar, `Fach` varchar, "
            "`Lehrkraft` varchar, `nichtInternet` INTEGER, `Bemerkung` varchar, `eingetragenDatum` DateTime, "
            "`eingetragenPerson` varchar, `geloeschtDatum` DateTime, `geloeschtPerson` varchar, `Raum` varchar)");
    const QVariantList ids{1, 2, 2, QVariant(), "x", 7};
    zdb::WriteTransaction tx(db);
    for (int i = 0; i < ids.size() + extraRows; ++i)
        db.exec("INSERT INTO tbl_Termin VALUES (?, '2025-09-15 00:00:00', '5a', 'M', 'Hub', ?, ?, "
                "'2025-09-01 07:50:00', 'Hub', NULL, NULL, ?)",
                {i < ids.size() ? ids[i] : QVariant(i + 2), i == 4 ? QVariant() : QVariant(i % 2), QStringLiteral("Zeile %1").arg(i),
                 QStringLiteral("R%1").arg(i)});
    tx.commit();
}

QString terminZeilen(zdb::Db &db)
{
    QStringList out;
    db.forEach("SELECT Bemerkung, Id, Datum, Klasse, nichtInternet, eingetragenDatum, Raum FROM tbl_Termin "
               "ORDER BY Bemerkung", {}, [&out](const QVariantList &r) {
        QStringList z;
        for (const QVariant &v : r)
            z << v.toString();
        out << z.join('|');
        return true;
    });
    return out.join('\n');
}

} // namespace

// A converted own database: the exam table gets its key with every row and column kept (ids that
// are no whole number, or that an earlier row holds, are given new ones), and every index the
// program's tables need is there.
TEST(SchemaUpgrade, ConvertedExamTableGetsItsKeyWithEveryRow)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    createPreparedOwnDb(p);
    zdb::Db db;
    db.open(p);
    convertedExamTable(db);
    schema::DatenbankAktualisieren(db);

    EXPECT_EQ(db.scalar("SELECT count(*) FROM pragma_table_info('tbl_Termin') WHERE name = 'Id' AND pk = 1 "
                        "AND upper(type) = 'INTEGER'").toInt(), 1);
    EXPECT_EQ(terminZeilen(db), "Zeile 0|1|2025-09-15 00:00:00|5a|0|2025-09-01 07:50:00|R0\n"
                                "Zeile 1|2|2025-09-15 00:00:00|5a|1|2025-09-01 07:50:00|R1\n"
                                "Zeile 2|8|2025-09-15 00:00:00|5a|0|2025-09-01 07:50:00|R2\n"
                                "Zeile 3|9|2025-09-15 00:00:00|5a|1|2025-09-01 07:50:00|R3\n"
                                "Zeile 4|10|2025-09-15 00:00:00|5a|0|2025-09-01 07:50:00|R4\n"
                                "Zeile 5|7|2025-09-15 00:00:00|5a|1|2025-09-01 07:50:00|R5");
    // A new entry gets the next number, and is found and deleted by it.
    db.exec("INSERT INTO tbl_Termin (Datum, Klasse, Fach) VALUES ('2025-09-16', '5a', 'D')");
    EXPECT_EQ(db.lastInsertId(), 11);
    EXPECT_EQ(db.exec("DELETE FROM tbl_Termin WHERE Id = 11"), 1);
    for (const schema::Table &t : schema::tables())
        for (const QString &ix : t.indexes)
            EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?",
                                {ix.section('(', 0, 0)}).toInt(), 1) << qPrintable(ix);
    // Once in shape, the next start leaves the table as it is.
    const QString vorher = schemaDump(db) + terminZeilen(db);
    schema::DatenbankAktualisieren(db);
    EXPECT_EQ(schemaDump(db) + terminZeilen(db), vorher);
}

// Two workstations start at the same moment on a converted file: one rebuilds, the other finds it
// done; no row is lost or doubled and both starts succeed.
TEST(SchemaUpgrade, TwoWorkstationsRebuildingTheKeyAtOnce)
{
    testsupport::Sandbox sb;
    const QString p = sb.file("Zandrel.mdb");
    QString erwartet;
    for (int round = 0; round < 6; ++round) {
        QFile::remove(p);
        createPreparedOwnDb(p);
        {
            zdb::Db db;
            db.open(p);
            convertedExamTable(db, 2000);
            if (round == 0) { // one workstation alone: the result both must reach
                schema::DatenbankAktualisieren(db);
                erwartet = terminZeilen(db);
                continue;
            }
        }
        // Right after its start each workstation enters an exam.
        EXPECT_EQ(zweiStartsZugleich(p, [](zdb::Db &db) {
                      db.exec("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Bemerkung) "
                              "VALUES ('2025-09-16', '5a', 'D', 'neu')");
                  }),
                  2);
        zdb::Db db;
        db.open(p);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Termin WHERE Bemerkung = 'neu'").toInt(), 2);
        EXPECT_EQ(db.scalar("SELECT count(DISTINCT Id) FROM tbl_Termin").toInt(), 2008);
        db.exec("DELETE FROM tbl_Termin WHERE Bemerkung = 'neu'");
        EXPECT_EQ(terminZeilen(db), erwartet);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE name LIKE 'tbl_Termin%' AND type = 'table'").toInt(), 1);
    }
}
