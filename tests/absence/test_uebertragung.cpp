// Transfer of the monthly totals into the grade manager's fehltage, and the period check.
#include "absence/frm_fehltage_uebertragen.h"
#include "absence/uebertragung.h"
#include "absence/zeitraum.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"

#include <QCheckBox>
#include <gtest/gtest.h>

using namespace absence;

namespace {

class Transfer : public ::testing::Test {
protected:
    void eintragen(const QString &id, const QDate &tag, const QVariant &zaehlt)
    {
        mdl::dbEigen.exec("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt) VALUES (?, ?, 'kr', ?)",
                          {id, zdb::isoDate(tag), zaehlt});
    }
    QVariant monat(qint64 nr, const QString &spalte)
    {
        return s.nm.scalar("SELECT " + zdb::quoteName(spalte) + " FROM fehltage WHERE schülernr = ?", {nr});
    }
    static Uebertragung::Monate nur(std::initializer_list<int> m)
    {
        Uebertragung::Monate a{};
        for (int i : m)
            a[i] = true;
        return a;
    }
    int uebertragen(const Uebertragung::Monate &m)
    {
        EXPECT_TRUE(mdl::NMDatenbankOeffnen());
        const int n = Uebertragung::uebertragen(mdl::dbEigen, mdl::dbNM(), m);
        mdl::NMDatenbankSchliessen();
        return n;
    }
    absencetest::Schule s;
};

} // namespace

TEST_F(Transfer, TickedMonthsGetTheSumsOtherMonthsKeepTheirValues)
{
    s.nm.exec("INSERT INTO fehltage (schülernr, jan, okt) VALUES (5, 3, 9)");
    eintragen("5", QDate(2024, 10, 14), "1,0");
    eintragen("5", QDate(2024, 10, 15), "1,0");
    eintragen("5", QDate(2024, 11, 3), "0,5");
    eintragen("7", QDate(2023, 9, 20), "0,7");
    eintragen("7", QDate(2024, 9, 20), "0,7");
    EXPECT_EQ(uebertragen(nur({9, 10, 11})), 2);
    EXPECT_EQ(monat(5, "okt").toDouble(), 2.0);
    EXPECT_EQ(monat(5, "nov").toDouble(), 0.5);
    EXPECT_EQ(monat(5, "jan").toDouble(), 3.0); // not ticked
    EXPECT_EQ(monat(7, "sept").toDouble(), 1.4); // both years, without binary remainders
    EXPECT_TRUE(monat(7, "jan").isNull());
    EXPECT_EQ(monat(7, "sept").typeId(), QMetaType::Double);
}

TEST_F(Transfer, EmptyCountIsAWholeDayAndIsRepairedTeachersAreLeftAlone)
{
    eintragen("12", QDate(2024, 12, 2), QVariant());
    eintragen(" 12", QDate(2024, 12, 3), " ");
    eintragen("12", QDate(2024, 12, 4), "0,0");
    eintragen("MÜ", QDate(2024, 12, 4), QVariant());
    eintragen("1A", QDate(2024, 12, 4), "1,0");
    EXPECT_EQ(uebertragen(nur({12})), 1);
    EXPECT_EQ(monat(12, "dez").toDouble(), 2.0); // " 12" is the same pupil
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehltage WHERE zaehlt = '1,0'"), 3);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehltage WHERE S_Id = 'MÜ' AND zaehlt IS NULL"), 1);
    EXPECT_EQ(s.nm.scalar("SELECT COUNT(*) FROM fehltage").toInt(), 1);
}

// The transfer counts exactly the records the views show for a pupil: a zero-padded number is
// not hers, and a teacher's id that reads like no number is never counted.
TEST_F(Transfer, APupilGetsTheRecordsTheViewsShowForHer)
{
    s.schueler(990001, "Abel", "Anna", "5a");
    s.lehrer("Yıl", "Yıldırım", "Ada");
    for (int d : {14, 15, 16})
        eintragen("990001", QDate(2024, 10, d), "1,0");
    eintragen(" 990001 ", QDate(2024, 10, 18), "0,5");
    eintragen("0990001", QDate(2024, 10, 17), "1,0");
    eintragen("YIL", QDate(2024, 10, 17), "1,0");
    EXPECT_EQ(uebertragen(nur({10})), 1);
    EXPECT_EQ(monat(990001, "okt").toDouble(), 3.5);
    EXPECT_EQ(s.nm.scalar("SELECT COUNT(*) FROM fehltage").toInt(), 1);
}

// A pupil whose number a teacher's abbreviation equals but for blanks shares its records with her:
// they count for the pupil, whichever spelling the teacher has.
TEST_F(Transfer, ANumberSharedWithATeacherCountsForThePupil)
{
    s.nm.exec("DROP TABLE Schüler");
    s.nm.exec("CREATE TABLE Schüler (SchülerNr TEXT, Name TEXT, Vorname TEXT, Klasse TEXT)");
    s.nm.exec("INSERT INTO Schüler VALUES (' 990001', 'Abel', 'Anna', '5a')");
    s.lehrer("990001", "Zahl", "Zora");
    eintragen("990001", QDate(2024, 10, 14), "1,0");
    EXPECT_EQ(uebertragen(nur({10})), 1);
    EXPECT_EQ(monat(990001, "okt").toDouble(), 1.0);
}

TEST_F(Transfer, NoTickedMonthStillAddsMissingPupils)
{
    s.nm.exec("INSERT INTO fehltage (schülernr, nov) VALUES (5, 4)");
    eintragen("5", QDate(2024, 11, 4), "1,0");
    eintragen("6", QDate(2024, 11, 4), "1,0");
    EXPECT_EQ(uebertragen(nur({})), 2);
    EXPECT_EQ(monat(5, "nov").toDouble(), 4.0);
    EXPECT_EQ(s.nm.scalar("SELECT COUNT(*) FROM fehltage WHERE schülernr = 6 AND nov IS NULL").toInt(), 1);
}

TEST_F(Transfer, ALockedGradeManagerWritesNothing)
{
    eintragen("5", QDate(2024, 11, 4), "1,0");
    zdb::Db andere;
    andere.open(s.nmPfad);
    andere.beginImmediate();
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    mdl::dbNM().setBusyTimeout(50);
    EXPECT_THROW(Uebertragung::uebertragen(mdl::dbEigen, mdl::dbNM(), nur({11})), zdb::DbError);
    mdl::NMDatenbankSchliessen();
    andere.rollback();
    EXPECT_EQ(s.nm.scalar("SELECT COUNT(*) FROM fehltage").toInt(), 0);
}

// Each database is written in one transaction: when its last statement fails (a trigger refuses
// the last row), nothing of the earlier statements stays.
TEST_F(Transfer, AFailingLastStatementLeavesNothingOfTheEarlierOnes)
{
    s.nm.exec("INSERT INTO fehltage (schülernr, okt) VALUES (5, 9)");
    eintragen("5", QDate(2024, 10, 14), QVariant());
    eintragen("6", QDate(2024, 10, 14), QVariant());
    eintragen("7", QDate(2024, 10, 14), "1,0");
    s.nm.exec("CREATE TRIGGER kaputt BEFORE INSERT ON fehltage WHEN NEW.schülernr = 7 "
              "BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    EXPECT_THROW(uebertragen(nur({10})), zdb::DbError);
    mdl::NMDatenbankSchliessen();
    EXPECT_EQ(monat(5, "okt").toDouble(), 9.0);
    EXPECT_EQ(s.nm.scalar("SELECT COUNT(*) FROM fehltage").toInt(), 1);
    s.nm.exec("DROP TRIGGER kaputt");

    // The own database's repair of empty counts was its own transaction and stays; undo it here.
    mdl::dbEigen.exec("UPDATE tbl_Fehltage SET zaehlt = NULL WHERE S_Id IN ('5', '6')");
    mdl::dbEigen.exec("CREATE TRIGGER kaputt BEFORE UPDATE ON tbl_Fehltage WHEN rtrim(OLD.S_Id) = '6' "
                      "BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    EXPECT_THROW(uebertragen(nur({10})), zdb::DbError);
    mdl::NMDatenbankSchliessen();
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehltage WHERE zaehlt IS NULL"), 2);
    mdl::dbEigen.exec("DROP TRIGGER kaputt");
}

TEST_F(Transfer, WindowTicksAllMonthsAndReportsTheCount)
{
    eintragen("5", QDate(2024, 8, 14), "1,0");
    frm_Fehltage_Uebertragen w;
    w.show();
    EXPECT_FALSE(w.chk_Monat[8]->isVisible());
    w.chk_AlleMonate->setChecked(true);
    w.chk_AlleMonate_Click();
    EXPECT_TRUE(w.chk_Monat[8]->isChecked());
    testsupport::MsgRecorder rec;
    w.cmd_uebertragen_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Die Fehltage von 1 Schülern wurden in die Notenmanagerdatenbank übertragen!"}));
    EXPECT_EQ(monat(5, "aug").toDouble(), 1.0);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(mdl::nmOeffnungen(), 0);

    mdl::dbEigen.exec("DELETE FROM tbl_Fehltage");
    frm_Fehltage_Uebertragen leer;
    leer.cmd_uebertragen_Click();
    EXPECT_TRUE(rec.contains(
        "Aus unbekannten Gründen wurden KEINE Fehltage in die Notenmanagerdatenbank übertragen!"));
}

// The grade manager's folder is gone while the days are transferred: the message says that none were
// transferred, with the file, the window stays, and the same click transfers them once it is back.
TEST_F(Transfer, AFolderGoneAwayTransfersNothingAndSaysSo)
{
    eintragen("5", QDate(2024, 9, 14), "1,0");
    frm_Fehltage_Uebertragen w;
    w.show();
    w.chk_Monat[9]->setChecked(true);
    testsupport::MsgRecorder rec;
    {
        testsupport::Netzausfall netz;
        netz.nur({zdb::Dateiaufruf::Schreiben, zdb::Dateiaufruf::Sync});
        netz.ausfallen(true);
        w.cmd_uebertragen_Click();
        netz.ausfallen(false);
    }
    ASSERT_EQ(rec.texts().size(), 1);
    EXPECT_TRUE(rec.texts()[0].startsWith("Es wurden keine Fehltage in die Notenmanagerdatenbank übertragen.\r"
                                          "Die Datenbank\r" + s.nmPfad + "\rkann nicht gelesen oder geschrieben werden"))
        << rec.texts()[0].toStdString();
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_TRUE(monat(5, "sept").isNull());
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    w.cmd_uebertragen_Click();
    EXPECT_EQ(rec.texts().last(), "Die Fehltage von 1 Schülern wurden in die Notenmanagerdatenbank übertragen!");
    EXPECT_EQ(monat(5, "sept").toDouble(), 1.0);
}

TEST(Zeitraum, BothDaysWithinTheSchoolYear)
{
    const QDate beginn(2024, 8, 1);
    const QString ende = "31.07.2025";
    EXPECT_TRUE(Zeitraum::pruefen("01.08.2024", "31.07.2025", beginn, ende));
    EXPECT_TRUE(Zeitraum::pruefen("07.10.2024", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("31.07.2024", "31.07.2025", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("01.08.2024", "01.08.2025", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("08.10.2024", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("01.08.2024", "abc", beginn, ende));
}
