#include "platform/accessfuncs.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

using namespace zdb;

TEST(DbLayer, OpenNeverCreatesAMissingFile)
{
    testsupport::Sandbox sb;
    Db db;
    EXPECT_THROW(db.open(sb.file("fehlt.mdb")), DbError);
    EXPECT_FALSE(QFileInfo::exists(sb.file("fehlt.mdb")));
}

TEST(DbLayer, LikeFoldsUmlautsAndAccessWildcards)
{
    testsupport::Sandbox sb;
    Db db;
    db.create(sb.file("t.db"));
    EXPECT_EQ(db.scalar("SELECT 'Özdemir' LIKE 'öz%'").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('Müller', 'M?LL*')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5a', '#[a-c]')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5d', '#[!a-c]')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5a', '#[!a-c]')").toInt(), 0);
}

TEST(DbLayer, StoredFormsOfDatesAndYesNo)
{
    testsupport::Sandbox sb;
    Db db;
    db.create(sb.file("t.db"));
    db.exec("CREATE TABLE t (d DATE, dt DATE, j BIT NOT NULL DEFAULT 0, n INTEGER)");
    db.exec("INSERT INTO t VALUES (?, ?, ?, ?)",
            {QDate(2024, 3, 5), QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9)), true, 123});
    Result r = db.query("SELECT d, dt, j, n FROM t");
    EXPECT_EQ(r.value(0, 0).toString(), QString("2024-03-05"));
    EXPECT_EQ(r.value(0, 1).toString(), QString("2024-03-05 08:07:09"));
    EXPECT_EQ(r.value(0, 2).toInt(), 1);
    EXPECT_EQ(r.typedValue(0, 0), QVariant(QDate(2024, 3, 5)));
    EXPECT_EQ(r.typedValue(0, 1), QVariant(QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9))));
    EXPECT_EQ(r.typedValue(0, 2), QVariant(true));
    EXPECT_EQ(r.value(0, 3).toString(), QString("123"));
    EXPECT_TRUE(yesNo(-1));
    EXPECT_TRUE(yesNo(QString("Wahr")));
    EXPECT_FALSE(yesNo(QVariant()));
    EXPECT_FALSE(yesNo(QString("0")));
    EXPECT_EQ(dateFromStored(QString("2024-03-05 10:00:00")), QDate(2024, 3, 5));
}

// One decision for Yes/No: a Yes/No declared type, or a known Yes/No column of its table whatever a
// converted file declares; never an alias that only borrows the name, nor another table's column.
TEST(DbLayer, YesNoColumnsByTypeAndByTheirTable)
{
    testsupport::Sandbox sb;
    Db db;
    db.create(sb.file("t.db"));
    db.exec("CREATE TABLE Adressen (SchülerNr INTEGER, gilt1 INTEGER, GILT2 varchar, Ort varchar, b BOOLEAN, l LOGICAL)");
    db.exec("CREATE TABLE Eigene (gilt1 INTEGER)");
    db.exec("INSERT INTO Adressen VALUES (1, -1, '0', 'Ort', 1, 0)");
    db.exec("INSERT INTO Eigene VALUES (1)");
    const Result r = db.query("SELECT a.gilt1, a.GILT2, a.Ort, a.b, a.l, a.SchülerNr AS gilt1, e.gilt1 "
                              "FROM Adressen a, Eigene e");
    EXPECT_EQ(r.yesNoColumns, (QVector<bool>{true, true, false, true, true, false, false}));
    EXPECT_EQ(r.typedValue(0, 0), QVariant(true));
    EXPECT_EQ(r.typedValue(0, 1), QVariant(false));
    EXPECT_EQ(r.typedValue(0, 5), QVariant(qlonglong(1)));
    EXPECT_TRUE(isYesNoColumn("bit"));
    EXPECT_TRUE(isYesNoColumn("INTEGER", "schüler", "lrs"));
    EXPECT_FALSE(isYesNoColumn("INTEGER", "Schüler", "WinSVSnr"));
    EXPECT_EQ(storedYes(db, "Adressen", "gilt1"), -1);
    EXPECT_EQ(storedYes(db, "Eigene", "gilt1"), 1);
}

TEST(DbLayer, WriteWaitsForAnotherWorkstationsLockAndSucceeds)
{
    testsupport::Sandbox sb;
    {
        Db c;
        c.create(sb.file("t.db"));
        c.exec("CREATE TABLE t (x)");
    }
    std::promise<void> gesperrt;
    std::thread andererArbeitsplatz([&] {
        Db halter;
        halter.open(sb.file("t.db"));
        halter.beginImmediate();
        halter.exec("INSERT INTO t VALUES (0)");
        gesperrt.set_value();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        halter.commit();
    });
    gesperrt.get_future().wait();
    Db db;
    db.open(sb.file("t.db"));
    {
        WriteTransaction tx(db);
        db.exec("INSERT INTO t VALUES (1)");
        tx.commit();
    }
    andererArbeitsplatz.join();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 2);
}

TEST(DbLayer, HeldWriteLockBeyondTheTimeoutGivesBusyAndNothingHalfWritten)
{
    testsupport::Sandbox sb;
    {
        Db c;
        c.create(sb.file("t.db"));
        c.exec("CREATE TABLE t (x)");
    }
    Db halter;
    halter.open(sb.file("t.db"));
    halter.beginImmediate();
    Db db;
    db.open(sb.file("t.db"), Db::ReadWrite, 300);
    try {
        WriteTransaction tx(db);
        db.exec("INSERT INTO t VALUES (1)");
        db.exec("INSERT INTO t VALUES (2)");
        tx.commit();
        FAIL() << "kein Fehler";
    } catch (const DbError &e) {
        EXPECT_EQ(e.kind(), DbError::Busy);
        EXPECT_EQ(e.germanText(), "Die Datenbank\r" + sb.file("t.db") +
                                      "\rwird gerade von einem anderen Arbeitsplatz benutzt.\r"
                                      "Bitte versuchen Sie es in einigen Sekunden noch einmal.\r\r(database is locked)");
    }
    halter.rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 0);
}

namespace {
// A file that cannot be read or written now: never "damaged", and the step can be repeated.
QString ioText(const QString &pfad, const QString &technisch = QStringLiteral("disk I/O error"))
{
    return QStringLiteral("Die Datenbank\r%1\rkann nicht gelesen oder geschrieben werden: sie ist im Moment nicht "
                          "erreichbar (Lese-/Schreibfehler, z. B. weil die Verbindung zum Netzwerkordner unterbrochen "
                          "ist).\rSobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt werden."
                          "\r\r(%2)")
        .arg(pfad, technisch);
}

// A file of many pages cut off after `groesse` bytes, then read.
void abgeschnittenLesen(Db &db, const QString &p, int groesse)
{
    {
        Db c;
        c.open(p);
        for (int i = 0; i < 40; ++i)
            c.exec("INSERT INTO t VALUES (zeroblob(1000))");
    }
    QFile f(p);
    f.resize(groesse);
    db.open(p);
    db.query("SELECT * FROM t");
}

void dateiSchreiben(const QString &pfad, const QByteArray &inhalt)
{
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
}
} // namespace

// Every fault of the file or its place names the file and what is wrong, then SQLite's words.
TEST(DbLayer, FaultsOfTheFileNameItAndSayWhatIsWrong)
{
    struct Fall {
        const char *name;
        DbError::Kind kind;
        std::function<void(Db &db, const QString &pfad)> tun;
        QString text; // %1: the file
    };
    const Fall faelle[] = {
        {"fehlt", DbError::NotFound, [](Db &db, const QString &p) { db.open(p + ".weg"); },
         "Die Datenbank\r%1.weg\rwurde nicht gefunden oder kann nicht geöffnet werden."},
        {"Text", DbError::NotADatabase,
         [](Db &db, const QString &p) {
             dateiSchreiben(p, "Name;Klasse\r\nAnna;5a\r\n");
             db.open(p);
         },
         "Die Datei\r%1\rist keine Datenbank oder ist beschädigt.\r\r(file is not a database)"},
        {"schreibgeschützt", DbError::ReadOnly,
         [](Db &db, const QString &p) {
             db.open(p, Db::ReadOnly);
             db.exec("INSERT INTO t VALUES (1)");
         },
         "Die Datenbank\r%1\rist schreibgeschützt: es kann nichts gespeichert werden.\r\r"
         "(attempt to write a readonly database)"},
        {"voll", DbError::DiskFull,
         [](Db &db, const QString &p) {
             db.open(p);
             db.exec("PRAGMA max_page_count = 3");
             db.exec("INSERT INTO t SELECT zeroblob(20000)");
         },
         "Die Datenbank\r%1\rkann nicht geschrieben werden: der Datenträger ist voll.\r\r"
         "(database or disk is full)"},
        // Only the first page is left.
        {"beschädigt", DbError::Damaged, [](Db &db, const QString &p) { abgeschnittenLesen(db, p, 4096); },
         "Die Datenbank\r%1\rist beschädigt und kann nicht gelesen werden.\r\r(database disk image is malformed)"},
        // Reading the second page gives fewer bytes: the file holds no more, it is no failed read.
        {"mitten in einer Seite abgeschnitten", DbError::Damaged,
         [](Db &db, const QString &p) { abgeschnittenLesen(db, p, 4096 + 1000); },
         "Die Datenbank\r%1\rist beschädigt und kann nicht gelesen werden.\r\r(database disk image is malformed)"},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.name);
        testsupport::Sandbox sb;
        const QString pfad = sb.file("nmdaten04.mdb");
        {
            Db c;
            c.create(pfad);
            c.exec("CREATE TABLE t (x)");
        }
        Db db;
        try {
            f.tun(db, pfad);
            ADD_FAILURE() << "kein Fehler";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), f.kind);
            EXPECT_EQ(e.germanText(), f.text.arg(pfad));
        }
    }
}

TEST(DbLayer, AFolderGoneAwayIsAnIoErrorNamingTheFileAndTheConnectionRecovers)
{
    testsupport::Netzausfall netz; // before the connections, which read and write through it
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel.mdb");
    {
        Db c;
        c.create(pfad);
        c.exec("CREATE TABLE t (x)");
        c.exec("INSERT INTO t VALUES (1)");
    }
    const QString text = ioText(pfad);
    Db db;
    db.open(pfad);
    netz.ausfallen(true);
    const std::function<void()> schritte[] = {
        [&] { db.query("SELECT x FROM t"); },
        [&] {
            WriteTransaction tx(db);
            db.exec("INSERT INTO t VALUES (2)");
            tx.commit();
        },
        [&] {
            Db zweite;
            zweite.open(pfad);
        },
    };
    for (const auto &schritt : schritte) {
        try {
            schritt();
            ADD_FAILURE() << "kein Fehler";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), DbError::IoError);
            EXPECT_EQ(e.germanText(), text);
        }
    }
    // The folder is back: the same connection reads and writes again, nothing half written.
    netz.ausfallen(false);
    EXPECT_FALSE(db.inTransaction());
    db.exec("INSERT INTO t VALUES (3)");
    EXPECT_EQ(db.query("SELECT x FROM t ORDER BY x").rows, (QVector<QVariantList>{{1LL}, {3LL}}));
}

TEST(DbLayer, RowHandlerThatThrowsLeavesNoReadLockBehind)
{
    testsupport::Sandbox sb;
    Db db;
    db.create(sb.file("t.db"));
    db.exec("CREATE TABLE t (x)");
    db.exec("INSERT INTO t VALUES (1), (2)");
    EXPECT_THROW(db.forEach("SELECT x FROM t", {}, [](const QVariantList &) -> bool { throw std::runtime_error("x"); }),
                 std::runtime_error);
    Db anderer;
    anderer.open(sb.file("t.db"), Db::ReadWrite, 200);
    WriteTransaction tx(anderer);
    anderer.exec("INSERT INTO t VALUES (3)");
    EXPECT_NO_THROW(tx.commit());
}

TEST(DbLayer, WriteTransactionTakesTheLockAtOnceAndRollsBackWhenLeftWithoutCommit)
{
    testsupport::Sandbox sb;
    {
        Db c;
        c.create(sb.file("t.db"));
        c.exec("CREATE TABLE t (x)");
    }
    Db db, anderer;
    db.open(sb.file("t.db"));
    anderer.open(sb.file("t.db"), Db::ReadWrite, 100);
    try {
        WriteTransaction tx(db);
        // Before its first write no other workstation may start writing.
        EXPECT_THROW(anderer.beginImmediate(), DbError);
        db.exec("INSERT INTO t VALUES (1)");
        throw std::runtime_error("Abbruch mitten im Schreiben");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 0);
    WriteTransaction tx(anderer);
    anderer.exec("INSERT INTO t VALUES (2)");
    EXPECT_NO_THROW(tx.commit());
}

TEST(DbLayer, FileInWalModeGetsTheRollbackJournal)
{
    testsupport::Sandbox sb;
    {
        Db c;
        c.create(sb.file("t.db"));
        c.exec("PRAGMA journal_mode=WAL");
        c.exec("CREATE TABLE t (x)");
    }
    Db db;
    db.open(sb.file("t.db"));
    EXPECT_EQ(db.scalar("PRAGMA journal_mode").toString(), QString("delete"));
}
