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
        out.sort(); // "M" and "m" tie in the table's order
        return out;
    }
};

} // namespace

// Writes and deletes match the code exactly: "m" is another subject than "M".
TEST(Fachbetreuer, FirstWriteAddsLaterWritesUpdateDeleteRemovesOnlyTheExactCode)
{
    Eigen e;
    e.db.exec("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES ('m', 'XY')");
    schreiben(e.db, "M", "AB");
    schreiben(e.db, "M", "AB CD");
    schreiben(e.db, "D", " ef ");
    EXPECT_EQ(e.alle(), QStringList({"D= ef ", "M=AB CD", "m=XY"}));
    EXPECT_EQ(loeschen(e.db, "Ma"), 0);
    EXPECT_EQ(loeschen(e.db, ""), 0);
    EXPECT_EQ(loeschen(e.db, "M"), 1);
    EXPECT_EQ(e.alle(), QStringList({"D= ef ", "m=XY"}));
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
