// The network folder of the own database drops away while an absence is saved or loaded: the
// message tells what really happened, with the file.
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"

#include <QLineEdit>

using namespace absencetest;
using A = zdb::Dateiaufruf;

namespace {

class Netzausfall : public FensterTest {
protected:
    void SetUp() override
    {
        FensterTest::SetUp();
        netz = std::make_unique<testsupport::Netzausfall>();
        mdl::dbEigen.open(s.eigenPfad); // from now on through the folder that can fail
        oeffnen("X", "5a");
    }
    void TearDown() override
    {
        mdl::dbEigen.close();
        netz.reset();
        mdl::dbEigen.open(s.eigenPfad);
        FensterTest::TearDown();
    }
    std::unique_ptr<testsupport::Netzausfall> netz;
};

} // namespace

// The folder fails exactly as the lock is released after the commit: the absence is in the file,
// and no message says that it was not saved.
TEST_F(Netzausfall, AnAbsenceWhoseLockCannotBeReleasedIsSaved)
{
    testsupport::MsgRecorder boxes;
    netz->nur({A::Entsperren});
    netz->ausfallen(true);
    f->GanztagAbsenzSpeichern("12", heute, "kr");
    f->txtStd[0]->setText("un");
    f->txt_Zaehlt->setText("0,5");
    f->AbsenzSpeichern("13", heute);
    netz->ausfallen(false);
    EXPECT_EQ(boxes.texts(), QStringList());
    // The next step of this workstation lets go of the lock; another one finds both.
    EXPECT_EQ(s.fehltage(), 2);
    auto andere = s.zweiterArbeitsplatz();
    EXPECT_EQ(andere->scalar("SELECT group_concat(S_Id || Grund || zaehlt, ' ') FROM tbl_Fehltage").toString(),
              "12kr1,0 13un0,5");
}

// A read that fails (EIO, as the system gives it for a dropped share) is told as a file that
// cannot be read now, never as a damaged one; a save refused by the folder says it was not saved.
TEST_F(Netzausfall, AFailingReadIsNotADamagedDatabase)
{
    s.fehltag("12", heute, "un");
    testsupport::MsgRecorder boxes;
    netz->nur({A::Lesen}, SQLITE_IOERR_CORRUPTFS);
    netz->ausfallen(true);
    f->FehltagLaden("12", heute);
    netz->nur({A::Schreiben, A::Sync});
    f->GanztagAbsenzSpeichern("13", heute, "kr");
    netz->ausfallen(false);
    const QString ausfall = "Die Datenbank\r" + s.eigenPfad
                            + "\rkann nicht gelesen oder geschrieben werden: sie ist im Moment nicht erreichbar";
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_TRUE(boxes.texts()[0].startsWith(ausfall)) << boxes.texts()[0].toStdString();
    EXPECT_TRUE(boxes.texts()[1].startsWith("Die Absenz konnte nicht gespeichert werden.\r" + ausfall))
        << boxes.texts()[1].toStdString();
    for (const QString &t : boxes.texts()) {
        EXPECT_FALSE(t.contains("beschädigt")) << t.toStdString();
        EXPECT_TRUE(t.contains("Sobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt werden."));
    }
    // Once the folder is back, the same step works.
    f->FehltagLaden("12", heute);
    EXPECT_EQ(f->txtStd[0]->text(), "un");
    EXPECT_EQ(s.fehltage("S_Id = '13'"), 0);
}

// A class's tick while the folder is gone: the tick goes back, the message says it was not saved,
// and the 10-second timer meets the same fault without a word and shows the ticks once it is back.
TEST_F(Netzausfall, ATickThatCannotBeSavedGoesBackAndSaysSo)
{
    testsupport::MsgRecorder boxes;
    const int r = int(klassen().indexOf("5a")) + 1;
    netz->ausfallen(true);
    klicken("5a", 2);
    f->Timer1_Timer();
    netz->ausfallen(false);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith("Die Meldung der Klasse wurde nicht gespeichert.\rDie Datenbank\r"
                                            + s.eigenPfad + "\rkann nicht gelesen oder geschrieben werden"))
        << boxes.texts()[0].toStdString();
    EXPECT_EQ(f->fgKlassen->cellChecked(r, 2), grid::Unchecked);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_KlasseGemeldet"), 0);
    klicken("5a", 2);
    EXPECT_EQ(boxes.texts().size(), 1);
    EXPECT_EQ(f->fgKlassen->cellChecked(r, 2), grid::Checked);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_KlasseGemeldet WHERE klasse = '5a'"), 1);
}
