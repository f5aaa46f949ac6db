// Subject supervisors: exact writes and deletes, two workstations, who sees which subject.
#include "records/fachbetreuer.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <gtest/gtest.h>

using namespace fachbetreuer;

namespace {

struct Eigen {
    testsupport::Sandbox box;
    zdb::Db db;
    Eigen()
    {
        db.create(box.file("Zandrel.mdb"));
        nmschema::createOwnPrepared(db);
    }
    QStringList alle()
    {
        QStringList out;
        for (const Eintrag &e : laden(db))
            out << e.fach.toString() + "=" + e.betreuer.toString();
        return out;
    }
};

} // namespace

TEST(Fachbetreuer, FirstWriteAddsTheRecordLaterWritesUpdateIt)
{
    Eigen e;
    schreiben(e.db, "M", "AB");
    schreiben(e.db, "M", "AB CD");
    schreiben(e.db, "D", " ef ");
    EXPECT_EQ(e.alle(), QStringList({"D= ef ", "M=AB CD"}));
}

TEST(Fachbetreuer, WritesMatchTheCodeExactly)
{
    Eigen e;
    e.db.exec("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES ('m', 'XY')");
    schreiben(e.db, "M", "AB");
    EXPECT_EQ(e.db.scalar("SELECT COUNT(*) FROM tbl_Fachbetreuer").toInt(), 2);
    EXPECT_EQ(e.db.scalar("SELECT Fachbetreuer FROM tbl_Fachbetreuer WHERE Fachkürzel = 'm' COLLATE BINARY").toString(), "XY");
}

TEST(Fachbetreuer, DeleteMatchesExactlyAndUnknownCodeChangesNothing)
{
    Eigen e;
    schreiben(e.db, "M", "AB");
    schreiben(e.db, "m", "CD");
    EXPECT_EQ(loeschen(e.db, "Ma"), 0);
    EXPECT_EQ(loeschen(e.db, ""), 0);
    EXPECT_EQ(loeschen(e.db, "M"), 1);
    EXPECT_EQ(e.alle(), QStringList({"m=CD"}));
}

TEST(Fachbetreuer, TwoWorkstationsAddingOneSubjectMakeOneRecord)
{
    Eigen e;
    zdb::Db zweiter;
    zweiter.open(e.db.path());
    schreiben(e.db, "Ph", "AB");
    schreiben(zweiter, "Ph", "CD");
    EXPECT_EQ(e.alle(), QStringList({"Ph=CD"}));
}

TEST(Fachbetreuer, WriteOnABusyFileFailsWithoutChange)
{
    Eigen e;
    schreiben(e.db, "M", "AB");
    zdb::Db zweiter;
    zweiter.open(e.db.path(), zdb::Db::ReadWrite, 50);
    e.db.beginImmediate();
    EXPECT_THROW(schreiben(zweiter, "M", "CD"), zdb::DbError);
    e.db.rollback();
    EXPECT_EQ(e.alle(), QStringList({"M=AB"}));
}

TEST(Fachbetreuer, SupervisorSeesSubjectsWhereHisAbbreviationIsAWholeWord)
{
    QVector<Eintrag> liste{{"D", "xy ab"}, {"E", "ABC"}, {"M", " AB  CD "}, {"Ph", QVariant()}, {QVariant(), "AB"},
                           {"  ", "AB"}};
    EXPECT_EQ(faecherFuer(liste, "ab", false), QStringList({"D", "M"}));
    EXPECT_EQ(faecherFuer(liste, " cd ", false), QStringList({"M"}));
    EXPECT_EQ(faecherFuer(liste, "A", false), QStringList());
    EXPECT_EQ(faecherFuer(liste, "", false), QStringList());
    EXPECT_EQ(faecherFuer(liste, "X", true), QStringList({"*", "D", "E", "M", "Ph"}));
}
