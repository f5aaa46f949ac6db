// The reasons editor: editing the list in its grid and saving it as a whole.
#include "absence/frm_fehltage.h"
#include "absence/frm_fehltage_grund.h"
#include "absence/grundliste.h"
#include "absencefixture.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"

#include <gtest/gtest.h>

namespace {

class Grundeditor : public ::testing::Test {
protected:
    void SetUp() override { e.formLoad(); }
    void TearDown() override { frm_Fehltage_Grund::setFarbwahl(nullptr); }
    QStringList kuerzel()
    {
        QStringList k;
        for (int r = 1; r < e.fg->rows(); ++r)
            k << e.fg->textMatrix(r, 0);
        return k;
    }
    void tippen(int r, int c, const QString &text)
    {
        e.fg->setTextMatrix(r, c, text);
        e.fg_AfterEdit(r, c);
    }
    absencetest::Schule s;
    frm_Fehltage_Grund e;
};

} // namespace

TEST_F(Grundeditor, EditedCellsAreCutAndDuplicatesWarned)
{
    testsupport::MsgRecorder rec;
    tippen(2, 0, "  krank");
    EXPECT_EQ(e.fg->textMatrix(2, 0), "kr");
    EXPECT_EQ(rec.texts(), QStringList({"Das bearbeitete Kürzel kommt bereits einmal vor. Bitte änders Sie es ab!"}));
    tippen(3, 0, " x ");
    EXPECT_EQ(e.fg->textMatrix(3, 0), "x");
    EXPECT_EQ(rec.boxes.size(), 1); // "KR" is another code: no warning either
    tippen(3, 1, QString(60, QLatin1Char('a')));
    EXPECT_EQ(e.fg->textMatrix(3, 1).size(), 50);
}

TEST_F(Grundeditor, RowsWithoutCodeAreNotSavedAndNamed)
{
    e.cmdNeu2_Click();
    e.cmdNeu2_Click();
    tippen(8, 0, "ku");
    tippen(8, 1, "Kur");
    testsupport::MsgRecorder rec;
    e.cmdSpeichern_Click();
    EXPECT_EQ(rec.texts(), QStringList({"1 Absenzgrund hat kein Kürzel. Dieser wurde nicht gespeichert."}));
    EXPECT_EQ(s.anzahl("SELECT sort FROM tbl_Fehlgrund WHERE kurz = 'ku' AND lang = 'Kur' AND farbe = ?",
                       {0xFF0000}), 8);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehlgrund"), 7);
}

TEST_F(Grundeditor, MovingInsertingAndDeletingChangeOnlyTheGrid)
{
    e.fg->select(1, 0);
    e.cmdNachOben_Click(); // the first one stays
    EXPECT_EQ(kuerzel().first(), "kr");
    frm_Fehltage_Grund::setFarbwahl([](long) { return std::optional<long>(0x00FF00); });
    e.fg->select(1, 2);
    e.fg_Click();
    e.fg->select(1, 3);
    e.fg->setCellChecked(1, 3, grid::Unchecked);
    e.fg->select(1, 0);
    e.cmdNachUnten_Click();
    e.cmdNachUnten_Click();
    EXPECT_EQ(kuerzel().mid(0, 3), QStringList({"bf", "ab", "kr"}));
    EXPECT_EQ(e.fg->row(), 3);
    EXPECT_EQ(e.fg->cellBackColor(3, 2), 0x00FF00);
    EXPECT_EQ(e.fg->cellChecked(3, 3), grid::Unchecked);
    EXPECT_EQ(e.fg->cellChecked(1, 3), grid::Checked);

    e.fg->select(2, 0);
    e.cmdNeu_Click();
    EXPECT_EQ(kuerzel().mid(0, 4), QStringList({"bf", "", "ab", "kr"}));
    e.fg->select(2, 0);
    testsupport::MsgRecorder ja([](const msg::Request &) { return int(msg::Yes); });
    e.cmdLoeschen_Click();
    EXPECT_EQ(ja.texts(), QStringList({"Soll der markierte Absenzgrund gelöscht werden?"}));
    EXPECT_EQ(kuerzel().size(), 6);
    EXPECT_EQ(s.anzahl("SELECT sort FROM tbl_Fehlgrund WHERE kurz = 'kr'"), 100);
}

TEST_F(Grundeditor, RedAndYellowAreRefused)
{
    testsupport::MsgRecorder rec;
    for (long farbe : {255L, 65535L, 254L}) {
        frm_Fehltage_Grund::setFarbwahl([farbe](long) { return std::optional<long>(farbe); });
        e.fg->select(2, 2);
        e.fg_Click();
    }
    EXPECT_EQ(rec.texts(), QStringList({"Rot und Gelb sind reserviert für Ferien und Feiertage!",
                                        "Rot und Gelb sind reserviert für Ferien und Feiertage!"}));
    EXPECT_EQ(e.fg->cellBackColor(2, 2), 254);
}

TEST_F(Grundeditor, SavingRefreshesAnOpenAbsenceWindowAndIsAtomic)
{
    frm_Fehltage f;
    f.ListeGrundErstellen();
    tippen(1, 0, "kk");
    {
        // Another workstation writes: nothing of the old list is lost, the editor stays open.
        auto andere = s.zweiterArbeitsplatz();
        andere->beginImmediate();
        mdl::dbEigen.setBusyTimeout(50);
        testsupport::MsgRecorder rec;
        EXPECT_TRUE(guarded([this] { e.cmdSpeichern_Click(); }));
        ASSERT_EQ(rec.boxes.size(), 1);
        EXPECT_TRUE(rec.texts()[0].startsWith("Die Absenzgründe wurden nicht gespeichert.\rDie Datenbank\r" + s.eigenPfad
                                              + "\rwird gerade von einem anderen Arbeitsplatz benutzt."))
            << rec.texts()[0].toStdString();
        EXPECT_EQ(e.fg->textMatrix(1, 0), "kk"); // what was typed is still there to save again
        andere->rollback();
        mdl::dbEigen.setBusyTimeout(5000);
    }
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehlgrund WHERE kurz = 'kr'"), 1);
    e.cmdSpeichern_Click();
    EXPECT_EQ(f.GrundKlartext("KK"), "krank");
}

TEST_F(Grundeditor, AFailingLastRowLeavesTheListAsItWas)
{
    const QString vorher = "kr,bf,ab,bu,vs,un";
    auto liste = [this] {
        return mdl::dbEigen.scalar("SELECT group_concat(kurz) FROM (SELECT kurz FROM tbl_Fehlgrund ORDER BY sort)")
            .toString();
    };
    ASSERT_EQ(liste(), vorher);
    mdl::dbEigen.exec("CREATE TRIGGER kaputt BEFORE INSERT ON tbl_Fehlgrund WHEN NEW.kurz = 'cc' "
                      "BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    EXPECT_THROW(absence::Grundliste::speichern(mdl::dbEigen, {{"aa", "A"}, {"bb", "B"}, {"cc", "C"}}), zdb::DbError);
    EXPECT_EQ(liste(), vorher);

    // Through the window: the message says that nothing was saved, with the file; the program goes
    // on, and the list is as it was.
    tippen(e.fg->rows() - 1, 0, "cc");
    testsupport::MsgRecorder rec;
    QStringList beendet;
    guard::setEndHandler([&](const QString &text) { beendet << text; });
    EXPECT_TRUE(guarded([this] { e.cmdSpeichern_Click(); }));
    guard::resetEndHandler();
    ASSERT_EQ(rec.boxes.size(), 1);
    EXPECT_TRUE(rec.texts()[0].startsWith("Die Absenzgründe wurden nicht gespeichert.\rDatenbankfehler in\r"
                                          + s.eigenPfad))
        << rec.texts()[0].toStdString();
    EXPECT_EQ(beendet.size(), 0);
    EXPECT_EQ(liste(), vorher);
    mdl::dbEigen.exec("DROP TRIGGER kaputt");
}
