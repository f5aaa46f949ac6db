// A network folder that drops away and a power cut, made real in the file calls of SQLite: a read
// that fails is never called a damaged file, a commit that reached the file is saved, and every
// commit is synced in the order that leaves the old or the new state.
#include "platform/accesssql.h"
#include "platform/accesssql_run.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

using namespace zdb;
using A = zdb::Dateiaufruf;

namespace {

const QString kNichtErreichbar =
    QStringLiteral("sie ist im Moment nicht erreichbar (Lese-/Schreibfehler, z. B. weil die Verbindung zum "
                   "Netzwerkordner unterbrochen ist).\rSobald der Netzwerkordner wieder erreichbar ist, kann der "
                   "Schritt wiederholt werden.");

// A database of many pages, written by another connection: a new connection reads them from the file.
void anlegen(const QString &pfad, int zeilen = 300)
{
    Db c;
    c.create(pfad);
    c.exec("CREATE TABLE t (n INTEGER, x)");
    WriteTransaction tx(c);
    for (int i = 1; i <= zeilen; ++i)
        c.exec("INSERT INTO t VALUES (?, zeroblob(200))", {i});
    tx.commit();
}

// The error a step throws.
DbError fehlerVon(const std::function<void()> &schritt)
{
    try {
        schritt();
    } catch (const DbError &e) {
        return e;
    }
    ADD_FAILURE() << "kein Fehler";
    return DbError(DbError::Other, 0, QStringLiteral("kein Fehler"));
}

int zeilen(const QString &pfad)
{
    Db c;
    c.open(pfad);
    return c.scalar("SELECT count(*) FROM t").toInt();
}

} // namespace

// A read that fails (EIO as the system gives it, a lost connection, a read that brings nothing) is
// told as a file that cannot be read now, on opening and while reading; once the folder is back
// the same connection reads everything.
TEST(DbAusfall, AReadThatFailsIsNeverADamagedFile)
{
    testsupport::Netzausfall netz;
    const struct {
        const char *name;
        int code;
    } faelle[] = {
        {"EIO", SQLITE_IOERR_CORRUPTFS},
        {"Verbindung weg", SQLITE_IOERR_READ},
        {"nichts gelesen", SQLITE_IOERR_SHORT_READ},
    };
    for (const auto &f : faelle) {
        SCOPED_TRACE(f.name);
        testsupport::Sandbox sb;
        const QString pfad = sb.file("nmdaten04.mdb");
        anlegen(pfad);
        netz.nur({A::Lesen}, f.code);
        Db db;
        db.open(pfad);
        for (const bool beimOeffnen : {false, true}) {
            SCOPED_TRACE(beimOeffnen ? "beim Öffnen" : "beim Lesen");
            netz.ausfallen(true);
            const DbError e = fehlerVon([&] {
                if (beimOeffnen) {
                    Db zweite;
                    zweite.open(pfad);
                } else {
                    db.query("SELECT sum(length(x)) FROM t");
                }
            });
            netz.ausfallen(false);
            EXPECT_EQ(e.kind(), DbError::IoError);
            EXPECT_EQ(e.germanText(), "Die Datenbank\r" + pfad + "\rkann nicht gelesen oder geschrieben werden: "
                                          + kNichtErreichbar + "\r\r(disk I/O error)");
        }
        EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 300);
    }
}

// The share gone altogether: a read brings nothing and the file's size cannot be asked either.
// That is no damaged file, and once the share is back the zeros read are not kept for pages.
TEST(DbAusfall, AReadThatBringsNothingWhileTheSizeCannotBeAskedIsNoDamagedFileAndIsReadAnew)
{
    testsupport::Netzausfall netz;
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel.mdb");
    anlegen(pfad);
    Db db;
    db.open(pfad);
    // Inside a write transaction whose first page was read before the share went.
    db.beginImmediate();
    netz.nur({A::Lesen, A::Groesse}, SQLITE_IOERR_SHORT_READ);
    netz.ausfallen(true);
    const DbError e = fehlerVon([&] { db.query("SELECT sum(length(x)) FROM t"); });
    netz.ausfallen(false);
    db.rollback();
    EXPECT_EQ(e.kind(), DbError::IoError);
    EXPECT_FALSE(e.germanText().contains("beschädigt")) << e.germanText().toStdString();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 300);
}

// A typed list reads through its own statement loop: the same judgement.
TEST(DbAusfall, ATypedListWhoseReadFailsIsNotADamagedFile)
{
    testsupport::Netzausfall netz;
    testsupport::Sandbox sb;
    const QString pfad = sb.file("nmdaten04.mdb");
    anlegen(pfad);
    Db db;
    db.open(pfad, Db::ReadOnly);
    const accesssql::Translation t = accesssql::translate("SELECT n, Len(x) FROM t ORDER BY n");
    ASSERT_TRUE(t.ok);
    netz.nur({A::Lesen}, SQLITE_IOERR_CORRUPTFS);
    netz.ausfallen(true);
    const DbError e = fehlerVon([&] { accesssql::readTexts(db, t); });
    netz.ausfallen(false);
    EXPECT_EQ(e.kind(), DbError::IoError);
    EXPECT_FALSE(e.germanText().contains("beschädigt")) << e.germanText().toStdString();
    EXPECT_EQ(accesssql::readTexts(db, t).rows.size(), 300);
}

// The share gone at the moment of opening: the file cannot be reached, it was not "not found".
TEST(DbAusfall, AnOpenWithoutTheShareSaysTheFileCannotBeReached)
{
    testsupport::Sandbox sb;
    QDir().mkpath(sb.file("netz"));
    const QString pfad = sb.file("netz/Zandrel.mdb");
    anlegen(pfad, 1);
    const QString text = "Die Datenbank\r" + pfad + "\rkann nicht geöffnet werden: " + kNichtErreichbar;
    // The folder of the share is gone.
    ASSERT_TRUE(QDir().rename(sb.file("netz"), sb.file("weg")));
    Db db;
    const DbError weg = fehlerVon([&] { db.open(pfad); });
    EXPECT_EQ(weg.kind(), DbError::IoError);
    EXPECT_EQ(weg.germanText(), text + "\r\r(Der Ordner existiert nicht.)");
    ASSERT_TRUE(QDir().rename(sb.file("weg"), sb.file("netz")));
    // The file is listed, but opening it fails.
    {
        testsupport::Netzausfall netz;
        netz.nur({A::Oeffnen});
        netz.ausfallen(true);
        const DbError e = fehlerVon([&] { db.open(pfad); });
        EXPECT_EQ(e.kind(), DbError::IoError);
        EXPECT_TRUE(e.germanText().startsWith(text)) << e.germanText().toStdString();
    }
    // A file that is missing in a folder that is there is still not found.
    EXPECT_EQ(fehlerVon([&] { db.open(sb.file("netz/gibtsnicht.mdb")); }).kind(), DbError::NotFound);
    db.open(pfad);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 1);
}

// The share fails exactly as the lock is released after a commit, or reports a failure after the
// journal is gone: the rows are in the file, and the write is not reported as failed. A fault
// before that point is one.
TEST(DbAusfall, ACommitThatReachedTheFileIsSavedEvenWhenItsLockCannotBeReleased)
{
    testsupport::Netzausfall netz;
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel.mdb");
    anlegen(pfad, 1);
    Db db;
    db.open(pfad);
    const struct {
        const char *name;
        A::Art art;
        bool nachDemAufruf;
    } danach[] = {{"Sperre bleibt", A::Entsperren, false},
                  {"Sperre freigegeben, dann Fehler", A::Entsperren, true},
                  {"Journal entfernt, dann Fehler", A::Loeschen, true}};
    for (const auto &f : danach) {
        SCOPED_TRACE(f.name);
        netz.nur({f.art}, 0, f.nachDemAufruf);
        {
            WriteTransaction tx(db);
            db.exec("INSERT INTO t (n) VALUES (2)");
            netz.ausfallen(true);
            EXPECT_NO_THROW(tx.commit());
        }
        // A write in a transaction of its own, too.
        EXPECT_NO_THROW(db.exec("INSERT INTO t (n) VALUES (3)"));
        netz.ausfallen(false);
        EXPECT_FALSE(db.inTransaction());
        // The connection's next step lets go of a lock it may still hold; another one finds the rows.
        EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 3);
        EXPECT_EQ(zeilen(pfad), 3);
        db.exec("DELETE FROM t WHERE n > 1");
    }
    // The journal cannot be removed before the lock fails, or the database's sync fails: the
    // commit did not happen, it is told as failed, and the journal takes the file back.
    const struct {
        std::initializer_list<A::Art> arten;
        int n;
    } vorher[] = {{{A::Loeschen, A::Entsperren}, 4}, {{A::Loeschen}, 4}, {{A::Sync}, 5}};
    for (const auto &f : vorher) {
        netz.nur(f.arten);
        {
            WriteTransaction tx(db);
            db.exec("INSERT INTO t (n) VALUES (?)", {f.n});
            netz.ausfallen(true);
            EXPECT_EQ(fehlerVon([&] { tx.commit(); }).kind(), DbError::IoError);
        }
        netz.ausfallen(false);
    }
    // Its journal cannot be made: not a missing file either.
    netz.nur({A::Oeffnen});
    netz.ausfallen(true);
    const DbError ohneJournal = fehlerVon([&] { db.exec("INSERT INTO t (n) VALUES (6)"); });
    netz.ausfallen(false);
    EXPECT_EQ(ohneJournal.kind(), DbError::IoError);
    EXPECT_TRUE(ohneJournal.germanText().contains(kNichtErreichbar)) << ohneJournal.germanText().toStdString();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t WHERE n >= 4").toInt(), 0);
    EXPECT_EQ(zeilen(pfad), 1);
}

namespace {
// The share drops as the journal is to be removed after a commit: the journal stays, and asked
// whether it is there the folder gives no answer, which SQLite takes for "no journal".
class JournalBleibtUnbeantwortet : public testsupport::Netzausfall {
public:
    bool scharf = false;

protected:
    int vorher(const A &a) override
    {
        return scharf && a.art == A::Loeschen ? SQLITE_IOERR_DELETE : SQLITE_OK;
    }
    int nachher(const A &a, int rc) override
    {
        if (scharf && a.art == A::Zugriff && a.puffer)
            *static_cast<int *>(a.puffer) = 0;
        return rc;
    }
};
} // namespace

// A commit whose journal could not be removed did not happen, even when the folder cannot say
// whether the journal is still there: it is told as failed, and the journal takes the file back.
TEST(DbAusfall, ACommitWhoseJournalMayStillBeThereIsNotSaved)
{
    JournalBleibtUnbeantwortet netz;
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel.mdb");
    anlegen(pfad, 1);
    {
        Db db;
        db.open(pfad);
        netz.scharf = true;
        const DbError e = fehlerVon([&] { db.exec("INSERT INTO t (n) VALUES (2)"); });
        netz.scharf = false;
        EXPECT_EQ(e.kind(), DbError::IoError);
    }
    EXPECT_EQ(zeilen(pfad), 1);
}

// Power loss: the journal's records are on the disk before its header counts them, the journal
// before the database is written, the database before the journal goes. Every connection does
// so, whatever the library was built with.
TEST(DbAusfall, EveryCommitSyncsJournalAndDatabaseInTheOrderThatSurvivesAPowerCut)
{
    testsupport::Netzausfall netz;
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel.mdb");
    anlegen(pfad, 50);
    for (const bool neu : {false, true}) {
        SCOPED_TRACE(neu ? "neu angelegt" : "geöffnet");
        Db db;
        if (neu) {
            QFile::remove(sb.file("neu.mdb"));
            db.create(sb.file("neu.mdb"));
            db.exec("CREATE TABLE t (n INTEGER, x)");
            db.exec("INSERT INTO t VALUES (1, zeroblob(5000))");
        } else {
            db.open(pfad);
        }
        netz.protokollieren(true);
        {
            WriteTransaction tx(db);
            db.exec("UPDATE t SET n = n + 1");
            db.exec("INSERT INTO t VALUES (0, zeroblob(300))");
            tx.commit();
        }
        // Each run of calls of one kind on one file as one step.
        QStringList schritte;
        for (const QString &zeile : netz.protokoll()) {
            const QString schritt = zeile.section(' ', 0, 1);
            if (schritte.isEmpty() || schritte.last() != schritt)
                schritte << schritt;
        }
        EXPECT_EQ(schritte, (QStringList{"Schreiben journal", "Sync journal", "Schreiben journal", "Sync journal",
                                         "Schreiben datenbank", "Sync datenbank", "Loeschen journal"}))
            << netz.protokoll().join('\n').toStdString();
        netz.protokollieren(false);
    }
}
