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
        mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt) VALUES (?, ?, 'kr', ?)"),
                          {id, zdb::isoDate(tag), zaehlt});
    }
    QVariant monat(qint64 nr, const QString &spalte)
    {
        return s.nm.scalar(QStringLiteral("SELECT ") + zdb::quoteName(spalte) + QStringLiteral(" FROM fehltage WHERE schülernr = ?"),
                           {nr});
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
    s.nm.exec(QStringLiteral("INSERT INTO fehltage (schülernr, jan, okt) VALUES (5, 3, 9)"));
    eintragen(QStringLiteral("5"), QDate(2024, 10, 14), QStringLiteral("1,0"));
    eintragen(QStringLiteral("5"), QDate(2024, 10, 15), QStringLiteral("1,0"));
    eintragen(QStringLiteral("5"), QDate(2024, 11, 3), QStringLiteral("0,5"));
    eintragen(QStringLiteral("7"), QDate(2023, 9, 20), QStringLiteral("0,7"));
    eintragen(QStringLiteral("7"), QDate(2024, 9, 20), QStringLiteral("0,7"));
    EXPECT_EQ(uebertragen(nur({9, 10, 11})), 2);
    EXPECT_EQ(monat(5, QStringLiteral("okt")).toDouble(), 2.0);
    EXPECT_EQ(monat(5, QStringLiteral("nov")).toDouble(), 0.5);
    EXPECT_EQ(monat(5, QStringLiteral("jan")).toDouble(), 3.0); // not ticked
    EXPECT_EQ(monat(7, QStringLiteral("sept")).toDouble(), 1.4); // both years, without binary remainders
    EXPECT_TRUE(monat(7, QStringLiteral("jan")).isNull());
    EXPECT_EQ(monat(7, QStringLiteral("sept")).typeId(), QMetaType::Double);
}

TEST_F(Transfer, EmptyCountIsAWholeDayAndIsRepairedTeachersAreLeftAlone)
{
    eintragen(QStringLiteral("12"), QDate(2024, 12, 2), QVariant());
    eintragen(QStringLiteral(" 12"), QDate(2024, 12, 3), QStringLiteral(" "));
    eintragen(QStringLiteral("12"), QDate(2024, 12, 4), QStringLiteral("0,0"));
    eintragen(QStringLiteral("MÜ"), QDate(2024, 12, 4), QVariant());
    eintragen(QStringLiteral("1A"), QDate(2024, 12, 4), QStringLiteral("1,0"));
    EXPECT_EQ(uebertragen(nur({12})), 1);
    EXPECT_EQ(monat(12, QStringLiteral("dez")).toDouble(), 2.0); // " 12" is the same pupil
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage WHERE zaehlt = '1,0'")), 3);
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage WHERE S_Id = 'MÜ' AND zaehlt IS NULL")), 1);
    EXPECT_EQ(s.nm.scalar(QStringLiteral("SELECT COUNT(*) FROM fehltage")).toInt(), 1);
}

TEST_F(Transfer, NoTickedMonthStillAddsMissingPupils)
{
    s.nm.exec(QStringLiteral("INSERT INTO fehltage (schülernr, nov) VALUES (5, 4)"));
    eintragen(QStringLiteral("5"), QDate(2024, 11, 4), QStringLiteral("1,0"));
    eintragen(QStringLiteral("6"), QDate(2024, 11, 4), QStringLiteral("1,0"));
    EXPECT_EQ(uebertragen(nur({})), 2);
    EXPECT_EQ(monat(5, QStringLiteral("nov")).toDouble(), 4.0);
    EXPECT_EQ(s.nm.scalar(QStringLiteral("SELECT COUNT(*) FROM fehltage WHERE schülernr = 6 AND nov IS NULL")).toInt(), 1);
}

TEST_F(Transfer, ALockedGradeManagerWritesNothing)
{
    eintragen(QStringLiteral("5"), QDate(2024, 11, 4), QStringLiteral("1,0"));
    zdb::Db andere;
    andere.open(s.nmPfad);
    andere.beginImmediate();
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    mdl::dbNM().setBusyTimeout(50);
    EXPECT_THROW(Uebertragung::uebertragen(mdl::dbEigen, mdl::dbNM(), nur({11})), zdb::DbError);
    mdl::NMDatenbankSchliessen();
    andere.rollback();
    EXPECT_EQ(s.nm.scalar(QStringLiteral("SELECT COUNT(*) FROM fehltage")).toInt(), 0);
}

TEST_F(Transfer, WindowTicksAllMonthsAndReportsTheCount)
{
    eintragen(QStringLiteral("5"), QDate(2024, 8, 14), QStringLiteral("1,0"));
    frm_Fehltage_Uebertragen w;
    w.show();
    EXPECT_FALSE(w.chk_Monat[8]->isVisible());
    w.chk_AlleMonate->setChecked(true);
    w.chk_AlleMonate_Click();
    EXPECT_TRUE(w.chk_Monat[8]->isChecked());
    testsupport::MsgRecorder rec;
    w.cmd_uebertragen_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Die Fehltage von 1 Schülern wurden in die Notenmanagerdatenbank übertragen!"}));
    EXPECT_EQ(monat(5, QStringLiteral("aug")).toDouble(), 1.0);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(mdl::nmOeffnungen(), 0);

    mdl::dbEigen.exec(QStringLiteral("DELETE FROM tbl_Fehltage"));
    frm_Fehltage_Uebertragen leer;
    leer.cmd_uebertragen_Click();
    EXPECT_TRUE(rec.contains(
        QStringLiteral("Aus unbekannten Gründen wurden KEINE Fehltage in die Notenmanagerdatenbank übertragen!")));
}

TEST(Zeitraum, BothDaysWithinTheSchoolYear)
{
    const QDate beginn(2024, 8, 1);
    const QString ende = QStringLiteral("31.07.2025");
    EXPECT_TRUE(Zeitraum::pruefen("01.08.2024", "31.07.2025", beginn, ende));
    EXPECT_TRUE(Zeitraum::pruefen("07.10.2024", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("31.07.2024", "31.07.2025", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("01.08.2024", "01.08.2025", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("08.10.2024", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("", "07.10.2024", beginn, ende));
    EXPECT_FALSE(Zeitraum::pruefen("01.08.2024", "abc", beginn, ende));
}
