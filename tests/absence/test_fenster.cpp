// The absence window offscreen: class list, calendar, ticks, entry and person panel.
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"

#include <QElapsedTimer>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {
using Fenster = absencetest::FensterTest;
} // namespace

TEST_F(Fenster, AdministratorSeesEveryClassAndTheSchoolYearCalendar)
{
    s.fehltag("12", QDate(2024, 9, 16), "kr");
    s.fehltag("123", QDate(2024, 9, 17), "un"); // another class
    s.fehltag(" 13", QDate(2024, 9, 18), "bf");
    s.fehltag("13", QDate(2024, 7, 31), "ab"); // last school year
    mdl::dbEigen.exec("INSERT INTO tbl_Fehltage (S_Id, Grund) VALUES ('12', 'vs')");
    oeffnen("X", "5a");
    EXPECT_EQ(klassen(), QStringList({"5a", "5b", "6b", "10a", "AUS", "LK"}));
    EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Unchecked);
    EXPECT_EQ(f->fgKlassen->cellChecked(6, 2), grid::NoCheckbox);
    EXPECT_EQ(f->txtStartTag->text(), "01.08.2024");
    EXPECT_EQ(f->txtEndeTag->text(), "31.07.2025");

    VSGrid *g = f->fgSchueler;
    ASSERT_EQ(g->cols(), 379);
    ASSERT_EQ(g->rows(), 10);
    EXPECT_EQ(g->textMatrix(3, 3), "01.08.2024");
    EXPECT_EQ(g->textMatrix(3, 378), "11.08.2025");
    EXPECT_EQ(g->textMatrix(0, 3), "August 2024");
    EXPECT_EQ(g->rowHeight(3), 0);
    EXPECT_EQ(g->colWidth(2), 0);
    EXPECT_EQ(g->textMatrix(4, 1), "Abel, Anna");
    EXPECT_EQ(g->textMatrix(4, 2), "12");

    const int cHeute = spalte(heute), cEinheit = spalte(QDate(2024, 10, 3)), cSamstag = spalte(QDate(2024, 10, 5));
    EXPECT_EQ(g->textMatrix(2, cSamstag), "Sa");
    EXPECT_EQ(g->colWidth(cSamstag), 30);
    EXPECT_EQ(g->colWidth(cHeute), 350);
    EXPECT_EQ(g->cellBackColor(4, cHeute), 0xC0FFC0);
    EXPECT_EQ(g->cellBackColor(9, cHeute), 0xC0FFC0);
    EXPECT_EQ(g->cellBackColor(2, cHeute), 0); // headers are not coloured
    EXPECT_EQ(g->cellBackColor(5, cEinheit), 255);
    EXPECT_EQ(g->cellBackColor(5, cSamstag), 65535);
    EXPECT_EQ(g->leftCol(), cHeute - 7);

    EXPECT_EQ(g->textMatrix(4, spalte(QDate(2024, 9, 16))), "kr");
    EXPECT_EQ(g->textMatrix(5, spalte(QDate(2024, 9, 18))), "bf");
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

    klicken("AUS");
    ASSERT_EQ(g->rows(), 5);
    EXPECT_EQ(g->textMatrix(4, 0), "AUS1");
}

TEST_F(Fenster, ClassTeacherSeesHisClassesAndMayNotOpenAUS)
{
    oeffnen("mü");
    EXPECT_EQ(klassen(), QStringList({"5a", "AUS"}));
    testsupport::MsgRecorder rec;
    klicken("AUS");
    ASSERT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(rec.boxes[0].text, "Sie können nur Ihre eigene Klasse, in der Sie Klassenleiter sind, aufrufen!");
    EXPECT_EQ(f->fgSchueler->rows(), 1);
    klicken("5a");
    EXPECT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(f->fgSchueler->rows(), 4 + 6);
    EXPECT_FALSE(f->Label3->isVisible()); // the right-click hint is for the office only
}

TEST_F(Fenster, TickIsStoredAndAnotherWorkstationsTickAppears)
{
    const QString gemeldet = "SELECT COUNT(*) FROM tbl_KlasseGemeldet";
    oeffnen("X");
    klicken("LK", 2); // no check box: nothing happens
    EXPECT_EQ(s.anzahl(gemeldet), 0);
    klicken("5a", 2);
    EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Checked);
    const QString zeit = f->fgKlassen->textMatrix(1, 2);
    EXPECT_EQ(zeit.size(), 5);
    EXPECT_EQ(f->fgSchueler->rows(), 1); // a tick does not load the class
    EXPECT_EQ(s.anzahl(gemeldet + " WHERE klasse = '5a' AND meldezeit = ?", {zeit}), 1);

    auto andere = s.zweiterArbeitsplatz();
    andere->exec("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES ('5B', ?, '09:15')",
                 {zdb::isoDate(heute)});
    f->Timer1_Timer();
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Checked);
    EXPECT_EQ(f->fgKlassen->textMatrix(2, 2), "09:15");
    EXPECT_EQ(f->Timer1->interval(), 10000);
    EXPECT_TRUE(f->Timer1->isActive());

    {
        testsupport::MsgRecorder nein([](const msg::Request &) { return int(msg::No); });
        klicken("5b", 2);
        EXPECT_EQ(nein.boxes.size(), 1);
        EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Checked);
    }
    testsupport::MsgRecorder ja([](const msg::Request &) { return int(msg::Yes); });
    klicken("5b", 2);
    EXPECT_EQ(ja.boxes[0].text, "Soll das Häkchen wirklich wieder entfernt werden?");
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Unchecked);
    EXPECT_EQ(andere->scalar("SELECT meldezeit FROM tbl_KlasseGemeldet WHERE klasse = '5B'").toString(), QString());
    EXPECT_EQ(f->fgKlassen->col(), 0);
}

// Another workstation holds the own database: the 10-second refresh gives up at once, silently,
// and keeps the ticks shown; once the database is free, its next run shows the new ones.
TEST_F(Fenster, TickRefreshDoesNotWaitWhileAnotherWorkstationHoldsTheDatabase)
{
    oeffnen("X");
    klicken("5a", 2);
    const QString zeit = f->fgKlassen->textMatrix(1, 2);
    auto andere = s.zweiterArbeitsplatz();
    andere->exec("BEGIN EXCLUSIVE");
    andere->exec("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES ('5B', ?, '09:15')",
                 {zdb::isoDate(heute)});
    testsupport::MsgRecorder boxes;
    QElapsedTimer uhr;
    uhr.start();
    f->Timer1_Timer();
    f->Timer1_Timer();
    EXPECT_LT(uhr.elapsed(), 2500); // a full busy wait each would be 10 s
    EXPECT_EQ(boxes.texts(), QStringList());
    EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Checked);
    EXPECT_EQ(f->fgKlassen->textMatrix(1, 2), zeit);
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Unchecked);
    // Other steps still wait for the other workstation as long as before.
    EXPECT_EQ(mdl::dbEigen.busyTimeout(), 5000);
    andere->exec("COMMIT");
    f->Timer1_Timer();
    EXPECT_EQ(f->fgKlassen->cellChecked(2, 2), grid::Checked);
    EXPECT_EQ(f->fgKlassen->textMatrix(2, 2), "09:15");
    EXPECT_EQ(f->fgKlassen->textMatrix(1, 2), zeit);
}

// Another program holds a lock on the whole file: the same, without a word.
TEST_F(Fenster, TickRefreshGivesUpAtOnceOnAFileAnotherProgramLocks)
{
    oeffnen("X");
    klicken("5a", 2);
    testsupport::MsgRecorder boxes;
    {
        testsupport::FremdeSperre sperre(s.eigenPfad, testsupport::FremdeSperre::Posix);
        ASSERT_TRUE(sperre.haelt());
        QElapsedTimer uhr;
        uhr.start();
        f->Timer1_Timer();
        EXPECT_LT(uhr.elapsed(), 2500);
        EXPECT_EQ(f->fgKlassen->cellChecked(1, 2), grid::Checked);
    }
    EXPECT_EQ(boxes.texts(), QStringList());
    auto andere = s.zweiterArbeitsplatz();
    andere->exec("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES ('5B', ?, '09:20')",
                 {zdb::isoDate(heute)});
    f->Timer1_Timer();
    EXPECT_EQ(f->fgKlassen->textMatrix(2, 2), "09:20");
}

TEST_F(Fenster, PanelSavesListsAndShowsTheRecord)
{
    oeffnen("X", "5a");
    f->lblSNr->setText("12");
    f->txtStd[0]->setText("un");
    // No day chosen yet: the count box answers, nothing is written.
    f->txt_Zaehlt->setText("1");
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), "1,0");
    f->txtBemerkung_LostFocus();
    f->chk_entschuldigt_MouseUp();
    f->lblTag->setText("07.10.2024");
    f->txt_Zaehlt->setText("abc"); // not a number and no record: the box empties
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), QString());
    EXPECT_EQ(s.fehltage(), 0);

    f->txtStd[3]->setText("kr");
    f->txtBemerkung->setText("Zahnarzt");
    f->txt_Zaehlt->setText("0.5");
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), "0,5");
    EXPECT_EQ(f->lblFehltage->text(), "1");
    VSGrid *liste = f->fgSchuelerAbsenzen;
    EXPECT_EQ(QStringList({liste->textMatrix(1, 0), liste->textMatrix(1, 1), liste->textMatrix(1, 4),
                           liste->textMatrix(1, 12), liste->textMatrix(1, 13), liste->textMatrix(1, 14)}),
              QStringList({"07.10.24", "un", "kr", "0", "0,5", "Zahnarzt"}));
    auto andere = s.zweiterArbeitsplatz();
    EXPECT_EQ(andere->scalar("SELECT Grund FROM tbl_Fehltage WHERE S_Id = '12'").toString(), "un");

    // Not a number: nothing saved, the box shows the stored value again.
    f->txt_Zaehlt->setText("abc");
    f->txt_Zaehlt_LostFocus();
    EXPECT_EQ(f->txt_Zaehlt->text(), "0,5");

    f->chk_entschuldigt->setChecked(true);
    f->chk_entschuldigt_MouseUp();
    EXPECT_EQ(liste->textMatrix(1, 12), "1");

    f->GanztagAbsenzSpeichern("12", QDate(2024, 10, 9), "kr");
    klicken("5a");
    EXPECT_EQ(f->fgSchueler->textMatrix(4, spalte(montag)), "un");
    EXPECT_EQ(f->fgSchueler->textMatrix(4, spalte(QDate(2024, 10, 9))), "kr");
    EXPECT_EQ(liste->rows(), 1); // a class click empties the person's list
}

TEST_F(Fenster, KrRecordLocksTheRemarkUntilAnotherReasonIsLoaded)
{
    s.fehltag("12", QDate(2024, 10, 1), " KR");
    s.fehltag("12", QDate(2024, 10, 2), "un");
    oeffnen("X");
    f->FehltagLaden("12", QDate(2024, 10, 1));
    EXPECT_FALSE(f->txtBemerkung->isEnabled());
    EXPECT_EQ(f->txtBemerkung->text(), "Bei 'kr' darf keine Bemerkung gespeichert werden.");
    f->FehltagLaden("12", QDate(2024, 10, 4)); // no record: unchanged
    EXPECT_FALSE(f->txtBemerkung->isEnabled());
    f->FehltagLaden("12", QDate(2024, 10, 2));
    EXPECT_TRUE(f->txtBemerkung->isEnabled());
    EXPECT_EQ(f->txt_Zaehlt->text(), QString());
}

TEST_F(Fenster, DisplayOptionsAreStoredAsZeroAndOne)
{
    oeffnen("X");
    EXPECT_FALSE(f->chkGrund->isChecked());
    EXPECT_TRUE(f->chkGrundKlartext->isChecked());
    EXPECT_TRUE(f->chkBemerkung->isChecked());
    EXPECT_FALSE(f->chkLK->isChecked());
    f->chkGrund->click();
    f->chkBemerkung->click();
    EXPECT_EQ(settings::getSetting("frm_Fehltage", "chkGrund"), "1");
    EXPECT_EQ(settings::getSetting("frm_Fehltage", "chkBemerkung"), "0");
    f->chkGrund->setChecked(false);
    f->formActivate();
    EXPECT_TRUE(f->chkGrund->isChecked());
    EXPECT_FALSE(f->chkBemerkung->isChecked());
}

TEST_F(Fenster, SearchShowsPupilsOfAllClassesAndTheContactPanelFollowsThePerson)
{
    s.fehltag("123", QDate(2024, 9, 17), "un");
    oeffnen("mü"); // the search applies no class rights
    f->txtSuche->setText("öz");
    EXPECT_EQ(f->fgSchueler->rows(), 1);
    f->txtSuche->setText("öz ");
    ASSERT_EQ(f->fgSchueler->rows(), 5);
    EXPECT_EQ(f->fgSchueler->textMatrix(4, 1), "Özdemir, Ayla");
    EXPECT_EQ(f->fgSchueler->textMatrix(4, spalte(QDate(2024, 9, 17))), "un");

    f->KontaktdatenAnzeigen("123");
    EXPECT_EQ(f->lblName->text(), "und - Özdemir, Ayla");
    EXPECT_EQ(f->lblName1->text(), "Özdemir, Murat");
    EXPECT_EQ(f->lblSName->text(), "Özdemir, Ayla");
    EXPECT_EQ(f->lblSKlasse->text(), "6b");
    // No address row (a teacher, a pupil without one): nothing of the previous person stays.
    f->KontaktdatenAnzeigen("MÜ");
    EXPECT_EQ(f->lblName->text(), QString());
    EXPECT_EQ(f->lblName1->text(), QString());
    EXPECT_EQ(f->txtTelefon->text(), QString());
    EXPECT_EQ(f->lblSName->text(), "Müller, Hans");
    EXPECT_EQ(f->lblSKlasse->text(), "LK");

    f->txtSuche->setText("O'B ");
    EXPECT_EQ(f->fgSchueler->rows(), 4);
}

// A number wider than its box shows its start, shown and when the box takes the focus.
TEST_F(Fenster, PhoneBoxesShowTheStartOfALongNumber)
{
    s.nm.exec(QStringLiteral("UPDATE Adressen SET Telefon = '0821 4567890-12 (tagsüber)', "
                             "ErzTelefon1 = '0171 23456789012', ErzTelefon2 = '+49 89 12345678 99' WHERE SchülerNr = 123"));
    oeffnen("X");
    f->KontaktdatenAnzeigen("123");
    for (QLineEdit *tel : {f->txtTelefon, f->txtTelefon1, f->txtTelefon2}) {
        ASSERT_FALSE(tel->text().isEmpty());
        // Wider than the box: shown from its end, the first digits would be cut off.
        EXPECT_GT(tel->fontMetrics().horizontalAdvance(tel->text()), tel->width()) << qPrintable(tel->text());
        EXPECT_EQ(tel->cursorPosition(), 0) << qPrintable(tel->text());
    }
    QFocusEvent hinein(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(f->txtTelefon1, &hinein);
    QCoreApplication::processEvents();
    EXPECT_EQ(f->txtTelefon1->selectedText(), "0171 23456789012");
    EXPECT_EQ(f->txtTelefon1->selectionStart(), 0);
    EXPECT_EQ(f->txtTelefon1->cursorPosition(), 0);
}

TEST_F(Fenster, OneClassLoadPerMouseClickOrKeyboardRowMove)
{
    oeffnen("X");
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
