// The absence window offscreen: class list, calendar, ticks, entry and person panel.
#include "absence/frm_fehltage.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QDate heute(2024, 10, 8); // a Tuesday; 03.10. is a public holiday, 05.10. a Saturday

class Fenster : public ::testing::Test {
protected:
    void SetUp() override
    {
        mdl::Ferien.clear();
        frm_Fehltage::setHeuteFuerTests(heute);
        s.lehrer(QStringLiteral("MÜ"), QStringLiteral("Müller"), QStringLiteral("Hans"));
        s.lehrer(QStringLiteral("HU"), QStringLiteral("Huber"), QStringLiteral("Eva"));
        s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QString());
        s.klasse(QStringLiteral("5a"), QStringLiteral("MÜ"));
        s.klasse(QStringLiteral("6b"), QStringLiteral("HU"));
        s.klasse(QStringLiteral("AUS"), QStringLiteral("MÜ"));
        const char *namen[] = {"Abel", "Bauer", "Cem", "Dorn", "Ernst", "Fink"};
        const int ids[] = {12, 121, 122, 124, 125, 126};
        for (int i = 0; i < 6; ++i)
            s.schueler(ids[i], QString::fromUtf8(namen[i]), QStringLiteral("V"), QStringLiteral("5a"));
        s.schueler(123, QStringLiteral("Özdemir"), QStringLiteral("Ayla"), QStringLiteral("6b"));
        s.schueler(300, QStringLiteral("Aus"), QStringLiteral("Tausch"), QStringLiteral("AUS1"));
        s.adresse(123, QStringLiteral("Herrn und Frau"), QStringLiteral("Özdemir"), QStringLiteral("Murat"));
    }
    void TearDown() override
    {
        f.reset();
        frm_Fehltage::setHeuteFuerTests(QDate());
        mdl::Benutzer = QStringLiteral("X");
    }
    frm_Fehltage &oeffnen(const QString &benutzer)
    {
        mdl::Benutzer = benutzer;
        f = std::make_unique<frm_Fehltage>();
        f->resize(1400, 900);
        f->formLoad();
        f->formActivate();
        return *f;
    }
    int zeileDerKlasse(const QString &k)
    {
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            if (f->fgKlassen->textMatrix(r, 0) == k)
                return r;
        return -1;
    }
    void klicken(const QString &klasse, int spalte = 0)
    {
        f->fgKlassen->select(zeileDerKlasse(klasse), spalte);
        emit f->fgKlassen->click();
    }
    QStringList klassen()
    {
        QStringList k;
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            k << f->fgKlassen->textMatrix(r, 0);
        return k;
    }

    absencetest::Schule s;
    std::unique_ptr<frm_Fehltage> f;
};

} // namespace

TEST_F(Fenster, AdministratorSeesEveryClassAUSAndTeachers)
{
    oeffnen(QStringLiteral("X"));
    EXPECT_EQ(klassen(), QStringList({"5a", "6b", "AUS", "LK"}));
    EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Unchecked);
    EXPECT_EQ(f->fgKlassen->cellChecked(4, 2), grid::NoCheckbox);
    EXPECT_EQ(f->txtStartTag->text(), QStringLiteral("01.08.2024"));
    EXPECT_EQ(f->txtEndeTag->text(), QStringLiteral("31.07.2025"));
}

TEST_F(Fenster, ClassTeacherSeesHisClassesAndMayNotOpenAUS)
{
    oeffnen(QStringLiteral("mü"));
    EXPECT_EQ(klassen(), QStringList({"5a", "AUS"}));
    testsupport::MsgRecorder rec;
    klicken(QStringLiteral("AUS"));
    ASSERT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(rec.boxes[0].text, QStringLiteral("Sie können nur Ihre eigene Klasse, in der Sie Klassenleiter sind, aufrufen!"));
    EXPECT_EQ(f->fgSchueler->rows(), 1);
    klicken(QStringLiteral("5a"));
    EXPECT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(f->fgSchueler->rows(), 4 + 6);
    EXPECT_FALSE(f->Label3->isVisible() && !f->Label3->isHidden());
}

TEST_F(Fenster, ClassClickFillsTheSchoolYearCalendar)
{
    s.fehltag(QStringLiteral("12"), QDate(2024, 9, 16), QStringLiteral("kr"));
    s.fehltag(QStringLiteral("123"), QDate(2024, 9, 17), QStringLiteral("un")); // another class
    s.fehltag(QStringLiteral(" 121"), QDate(2024, 9, 18), QStringLiteral("bf"));
    s.fehltag(QStringLiteral("121"), QDate(2024, 7, 31), QStringLiteral("ab"));  // last school year
    mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Grund) VALUES ('12', 'vs')"));
    oeffnen(QStringLiteral("X"));
    klicken(QStringLiteral("5a"));
    VSGrid *g = f->fgSchueler;
    ASSERT_EQ(g->cols(), 379);
    ASSERT_EQ(g->rows(), 10);
    EXPECT_EQ(g->textMatrix(3, 3), QStringLiteral("01.08.2024"));
    EXPECT_EQ(g->textMatrix(3, 378), QStringLiteral("11.08.2025"));
    EXPECT_EQ(g->textMatrix(0, 3), QStringLiteral("August 2024"));
    EXPECT_EQ(g->rowHeight(3), 0);
    EXPECT_EQ(g->colWidth(2), 0);
    EXPECT_EQ(g->textMatrix(4, 1), QStringLiteral("Abel, V"));
    EXPECT_EQ(g->textMatrix(4, 2), QStringLiteral("12"));

    const int cHeute = f->kalender().spalteVon(heute);
    const int cEinheit = f->kalender().spalteVon(QDate(2024, 10, 3));
    const int cSamstag = f->kalender().spalteVon(QDate(2024, 10, 5));
    EXPECT_EQ(g->textMatrix(2, cSamstag), QStringLiteral("Sa"));
    EXPECT_EQ(g->colWidth(cSamstag), 30);
    EXPECT_EQ(g->colWidth(cHeute), 350);
    EXPECT_EQ(g->cellBackColor(4, cHeute), 0xC0FFC0);
    EXPECT_EQ(g->cellBackColor(9, cHeute), 0xC0FFC0);
    EXPECT_EQ(g->cellBackColor(2, cHeute), 0); // headers are not coloured
    EXPECT_EQ(g->cellBackColor(5, cEinheit), 255);
    EXPECT_EQ(g->cellBackColor(5, cSamstag), 65535);
    EXPECT_EQ(g->leftCol(), cHeute - 7);

    EXPECT_EQ(g->textMatrix(4, f->kalender().spalteVon(QDate(2024, 9, 16))), QStringLiteral("kr"));
    EXPECT_EQ(g->textMatrix(5, f->kalender().spalteVon(QDate(2024, 9, 18))), QStringLiteral("bf"));
    int codes = 0;
    for (int r = 4; r < g->rows(); ++r)
        for (int c = 3; c < g->cols(); ++c)
            codes += g->textMatrix(r, c).isEmpty() ? 0 : 1;
    EXPECT_EQ(codes, 2);

    // Groups of five: a blue line above rows 4 and 9.
    EXPECT_EQ(g->store().cellBorders(4, 100).top.width, 1);
    EXPECT_EQ(g->store().cellBorders(4, 100).top.color, 0xFF0000u);
    EXPECT_EQ(g->store().cellBorders(9, 0).top.width, 1);
    EXPECT_EQ(g->store().cellBorders(5, 100).top.width, 0);
}

TEST_F(Fenster, TeachersRowAndAUSRow)
{
    oeffnen(QStringLiteral("XS"));
    klicken(QStringLiteral("LK"));
    VSGrid *g = f->fgSchueler;
    ASSERT_EQ(g->rows(), 4 + 2);
    EXPECT_EQ(g->textMatrix(4, 0), QStringLiteral("LK"));
    EXPECT_EQ(g->textMatrix(4, 1), QStringLiteral("Huber, Eva"));
    klicken(QStringLiteral("LK"), 2); // no check box: nothing happens
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_KlasseGemeldet")), 0);
    klicken(QStringLiteral("AUS"));
    ASSERT_EQ(g->rows(), 5);
    EXPECT_EQ(g->textMatrix(4, 0), QStringLiteral("AUS1"));
}

TEST_F(Fenster, TickIsStoredAndAnotherWorkstationsTickAppears)
{
    oeffnen(QStringLiteral("X"));
    klicken(QStringLiteral("5a"), 2);
    EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Checked);
    const QString zeit = f->fgKlassen->textMatrix(1, 2);
    EXPECT_EQ(zeit.size(), 5);
    EXPECT_EQ(f->fgSchueler->rows(), 1); // a tick does not load the class
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_KlasseGemeldet WHERE klasse = '5a' AND meldezeit = ?"),
                       {zeit}),
              1);

    auto andere = s.zweiterArbeitsplatz();
    andere->exec(QStringLiteral("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES ('6B', ?, '09:15')"),
                 {zdb::isoDate(heute)});
    f->Timer1_Timer();
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Checked);
    EXPECT_EQ(f->fgKlassen->textMatrix(2, 2), QStringLiteral("09:15"));
    EXPECT_EQ(f->Timer1->interval(), 10000);
    EXPECT_TRUE(f->Timer1->isActive());

    {
        testsupport::MsgRecorder nein([](const msg::Request &) { return int(msg::No); });
        klicken(QStringLiteral("6b"), 2);
        EXPECT_EQ(nein.boxes.size(), 1);
        EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Checked);
    }
    testsupport::MsgRecorder ja([](const msg::Request &) { return int(msg::Yes); });
    klicken(QStringLiteral("6b"), 2);
    EXPECT_EQ(ja.boxes[0].text, QStringLiteral("Soll das Häkchen wirklich wieder entfernt werden?"));
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Unchecked);
    EXPECT_EQ(andere->scalar(QStringLiteral("SELECT meldezeit FROM tbl_KlasseGemeldet WHERE klasse = '6B'")).toString(),
              QString());
    EXPECT_EQ(f->fgKlassen->col(), 0);
}

TEST_F(Fenster, PanelSavesListsAndShowsTheRecord)
{
    oeffnen(QStringLiteral("X"));
    klicken(QStringLiteral("5a"));
    f->lblSNr->setText(QStringLiteral("12"));
    f->lblTag->setText(QStringLiteral("07.10.2024"));
    f->txtStd[0]->setText(QStringLiteral("un"));
    f->txtStd[3]->setText(QStringLiteral("kr"));
    f->txtBemerkung->setText(QStringLiteral("Zahnarzt"));
    f->txt_Zaehlt->setText(QStringLiteral("0.5"));
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), QStringLiteral("0,5"));
    EXPECT_EQ(f->lblFehltage->text(), QStringLiteral("1"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 0), QStringLiteral("07.10.24"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 1), QStringLiteral("un"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 4), QStringLiteral("kr"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 12), QStringLiteral("0"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 13), QStringLiteral("0,5"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 14), QStringLiteral("Zahnarzt"));
    auto andere = s.zweiterArbeitsplatz();
    EXPECT_EQ(andere->scalar(QStringLiteral("SELECT Grund FROM tbl_Fehltage WHERE S_Id = '12'")).toString(),
              QStringLiteral("un"));

    // Not a number: nothing saved, the box shows the stored value again.
    f->txt_Zaehlt->setText(QStringLiteral("abc"));
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), QStringLiteral("0,5"));

    f->chk_entschuldigt->setChecked(true);
    f->chk_entschuldigt_MouseUp();
    EXPECT_EQ(f->fgSchuelerAbsenzen->textMatrix(1, 12), QStringLiteral("1"));

    f->GanztagAbsenzSpeichern(QStringLiteral("12"), QDate(2024, 10, 9), QStringLiteral("kr"));
    klicken(QStringLiteral("5a"));
    EXPECT_EQ(f->fgSchueler->textMatrix(4, f->kalender().spalteVon(QDate(2024, 10, 7))), QStringLiteral("un"));
    EXPECT_EQ(f->fgSchueler->textMatrix(4, f->kalender().spalteVon(QDate(2024, 10, 9))), QStringLiteral("kr"));
    EXPECT_EQ(f->fgSchuelerAbsenzen->rows(), 1); // a class click empties the person's list

    f->GanztagAbsenzSpeichern(QStringLiteral("12"), QDate(2024, 10, 9), QString());
    EXPECT_EQ(andere->scalar(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")).toInt(), 1);
}

TEST_F(Fenster, NothingIsWrittenWithoutAChosenDay)
{
    oeffnen(QStringLiteral("X"));
    f->lblSNr->setText(QStringLiteral("12"));
    f->txtStd[0]->setText(QStringLiteral("un"));
    f->txt_Zaehlt->setText(QStringLiteral("1"));
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), QStringLiteral("1,0"));
    f->txtBemerkung_LostFocus();
    f->chk_entschuldigt_MouseUp();
    f->lblTag->setText(QStringLiteral("07.10.2024"));
    f->txt_Zaehlt->setText(QStringLiteral("abc"));
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), QString());
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
}

TEST_F(Fenster, KrRecordLocksTheRemarkUntilAnotherReasonIsLoaded)
{
    s.fehltag(QStringLiteral("12"), QDate(2024, 10, 1), QStringLiteral(" KR"));
    s.fehltag(QStringLiteral("12"), QDate(2024, 10, 2), QStringLiteral("un"));
    oeffnen(QStringLiteral("X"));
    f->FehltagLaden(QStringLiteral("12"), QDate(2024, 10, 1));
    EXPECT_FALSE(f->txtBemerkung->isEnabled());
    EXPECT_EQ(f->txtBemerkung->text(), QStringLiteral("Bei 'kr' darf keine Bemerkung gespeichert werden."));
    f->FehltagLaden(QStringLiteral("12"), QDate(2024, 10, 4)); // no record: unchanged
    EXPECT_FALSE(f->txtBemerkung->isEnabled());
    f->FehltagLaden(QStringLiteral("12"), QDate(2024, 10, 2));
    EXPECT_TRUE(f->txtBemerkung->isEnabled());
    EXPECT_EQ(f->txt_Zaehlt->text(), QString());
}

TEST_F(Fenster, DisplayOptionsAreStoredAsZeroAndOne)
{
    oeffnen(QStringLiteral("X"));
    EXPECT_FALSE(f->chkGrund->isChecked());
    EXPECT_TRUE(f->chkGrundKlartext->isChecked());
    EXPECT_TRUE(f->chkBemerkung->isChecked());
    EXPECT_FALSE(f->chkLK->isChecked());
    f->chkGrund->click();
    f->chkBemerkung->click();
    EXPECT_EQ(settings::getSetting(QStringLiteral("frm_Fehltage"), QStringLiteral("chkGrund")), QStringLiteral("1"));
    EXPECT_EQ(settings::getSetting(QStringLiteral("frm_Fehltage"), QStringLiteral("chkBemerkung")), QStringLiteral("0"));
    f->chkGrund->setChecked(false);
    f->formActivate();
    EXPECT_TRUE(f->chkGrund->isChecked());
    EXPECT_FALSE(f->chkBemerkung->isChecked());
}

TEST_F(Fenster, SearchShowsPupilsOfAllClassesAndTheContactPanelFollowsThePerson)
{
    s.fehltag(QStringLiteral("123"), QDate(2024, 9, 17), QStringLiteral("un"));
    oeffnen(QStringLiteral("mü")); // the search applies no class rights
    f->txtSuche->setText(QStringLiteral("öz"));
    EXPECT_EQ(f->fgSchueler->rows(), 1);
    f->txtSuche->setText(QStringLiteral("öz "));
    ASSERT_EQ(f->fgSchueler->rows(), 5);
    EXPECT_EQ(f->fgSchueler->textMatrix(4, 1), QStringLiteral("Özdemir, Ayla"));
    EXPECT_EQ(f->fgSchueler->textMatrix(4, f->kalender().spalteVon(QDate(2024, 9, 17))), QStringLiteral("un"));

    f->KontaktdatenAnzeigen(QStringLiteral("123"));
    EXPECT_EQ(f->lblName->text(), QStringLiteral("und - Özdemir, Ayla"));
    EXPECT_EQ(f->lblName1->text(), QStringLiteral("Özdemir, Murat"));
    EXPECT_EQ(f->lblSName->text(), QStringLiteral("Özdemir, Ayla"));
    EXPECT_EQ(f->lblSKlasse->text(), QStringLiteral("6b"));
    f->KontaktdatenAnzeigen(QStringLiteral("MÜ"));
    EXPECT_EQ(f->lblName->text(), QString());
    EXPECT_EQ(f->lblName1->text(), QString());
    EXPECT_EQ(f->txtTelefon->text(), QString());
    EXPECT_EQ(f->lblSName->text(), QStringLiteral("Müller, Hans"));
    EXPECT_EQ(f->lblSKlasse->text(), QStringLiteral("LK"));

    f->txtSuche->setText(QStringLiteral("O'B "));
    EXPECT_EQ(f->fgSchueler->rows(), 4);
}

TEST_F(Fenster, OneClassLoadPerMouseClickOrKeyboardRowMove)
{
    oeffnen(QStringLiteral("X"));
    f->show();
    VSGrid *g = f->fgKlassen;
    auto klickAuf = [&](int r, int c) {
        const QPoint p = g->cellRect(r, c).center() - g->viewport()->geometry().topLeft();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    };
    klickAuf(1, 0);
    EXPECT_EQ(f->klassenLadungen(), 1);
    EXPECT_EQ(f->fgSchueler->rows(), 4 + 6);
    klickAuf(0, 0); // header
    klickAuf(2, 2); // tick: no load
    EXPECT_EQ(f->klassenLadungen(), 1);
    EXPECT_EQ(g->cellChecked(2, 2), grid::Checked);
    QTest::keyClick(g, Qt::Key_Left); // same row
    EXPECT_EQ(f->klassenLadungen(), 1);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(f->klassenLadungen(), 2);
    EXPECT_EQ(f->fgSchueler->rows(), 4 + 6);
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(f->klassenLadungen(), 3);
    EXPECT_EQ(f->fgSchueler->rows(), 4 + 1);
}
